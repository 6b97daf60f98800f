// The module's entry points as COM itself calls them, without registration.

#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "control/ocx_registration.h"
#include "platform/com_apartment.h"
#include "platform/loaded_library.h"
#include "ruvictrl_h.h"

using Microsoft::WRL::ComPtr;

namespace {

template <class Entry>
Entry Export(HMODULE module, const char* name) {
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ocx_);
        ASSERT_TRUE(getClassObject_);
        ASSERT_TRUE(canUnloadNow_);
    }

    ComPtr<IClassFactory> Factory(REFCLSID classId) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject_(classId, IID_IClassFactory, &factory), S_OK);
        return factory;
    }

    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

    OleApartment apartment_;
    const LoadedLibrary ocx_{LoadLibraryW(OcxPath().c_str())};
    const GetClassObject getClassObject_ = Export<GetClassObject>(ocx_.Get(), "DllGetClassObject");
    const CanUnloadNow canUnloadNow_ = Export<CanUnloadNow>(ocx_.Get(), "DllCanUnloadNow");
};

TEST_F(ModuleTest, StaysLoadedWhileObjectsOrLocksLive) {
    EXPECT_EQ(canUnloadNow_(), S_OK);
    ComPtr<IClassFactory> factory = Factory(CLSID_RUVICtrl);
    ASSERT_TRUE(factory);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);

    ComPtr<IDispatch> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &control), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    control.Reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "the lock is still held";

    factory = Factory(CLSID_RUVICtrl);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ModuleTest, ServesItsTwoClassesOnly) {
    const CLSID propertyPage = {
        0xF8067013, 0xD12C, 0x4400, {0xA9, 0xD8, 0xAE, 0x3C, 0xC1, 0x6A, 0x19, 0x12}};
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(Factory(propertyPage)->CreateInstance(nullptr, IID_IPropertyPage, &page), S_OK);

    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject_(CLSID_NULL, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(factory);

    ComPtr<IUnknown> outer;
    ASSERT_EQ(Factory(CLSID_RUVICtrl)->CreateInstance(nullptr, IID_IUnknown, &outer), S_OK);
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(Factory(CLSID_RUVICtrl)->CreateInstance(outer.Get(), IID_IUnknown, &aggregated),
              CLASS_E_NOAGGREGATION);
    ComPtr<IClassFactory> notAControl;
    EXPECT_EQ(Factory(CLSID_RUVICtrl)->CreateInstance(nullptr, IID_IClassFactory, &notAControl),
              E_NOINTERFACE);
}

}  // namespace
