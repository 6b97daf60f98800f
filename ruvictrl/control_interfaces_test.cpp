// What containers and browsers ask of the control besides drawing and its
// methods: persistence, class information, the event source, property pages.
// (Scripting safety, which depends on the page, is in site_lock_test.cpp.)

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "control/ocx_registration.h"
#include "platform/com_apartment.h"
#include "platform/unique_window.h"
#include "ruvictrl_h.h"

using Microsoft::WRL::ComPtr;

namespace {

const CLSID kPropertyPage = {
    0xF8067013, 0xD12C, 0x4400, {0xA9, 0xD8, 0xAE, 0x3C, 0xC1, 0x6A, 0x19, 0x12}};

class ControlInterfacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(apartment_.Result(), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_RUVICtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   &control_),
                  S_OK);
    }

    template <class Interface>
    ComPtr<Interface> As() {
        ComPtr<Interface> face;
        EXPECT_EQ(control_.As(&face), S_OK);
        return face;
    }

    OcxRegistration registration_;
    OleApartment apartment_;
    ComPtr<IUnknown> control_;
};

// A property bag that keeps what it is given, as a browser's would.
class RecordingBag final : public IPropertyBag {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
            *object = static_cast<IPropertyBag*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        const auto found = values.find(name);
        if (found == values.end()) {
            return E_INVALIDARG;
        }
        V_VT(value) = VT_I4;
        V_I4(value) = found->second;
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        if (V_VT(value) != VT_I4) {
            return E_INVALIDARG;
        }
        values[name] = V_I4(value);
        return S_OK;
    }

    std::map<std::wstring, LONG> values;
};

// An event sink that accepts the control's event interface when asked to.
class EventSink final : public IDispatch {
public:
    explicit EventSink(bool speaksEvents) : speaksEvents_(speaksEvents) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch ||
            (speaksEvents_ && riid == DIID__DRUVICtrlEvents)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    ULONG references = 1;

private:
    bool speaksEvents_;
};

std::vector<BYTE> StreamBytes(IStream* stream) {
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream, &memory);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(memory));
    std::vector<BYTE> copy(bytes, bytes + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
    return copy;
}

TEST_F(ControlInterfacesTest, PersistsOnlyItsVersionStamp) {
    auto persist = As<IPersistStreamInit>();
    ASSERT_TRUE(persist);
    CLSID classId{};
    EXPECT_EQ(persist->GetClassID(&classId), S_OK);
    EXPECT_EQ(classId, CLSID_RUVICtrl);
    EXPECT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(StreamBytes(stream.Get()), (std::vector<BYTE>{0x00, 0x00, 0x01, 0x00}));
    ULARGE_INTEGER size{};
    EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart, 4u);

    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);
    EXPECT_NE(persist->Load(stream.Get()), S_OK) << "read past the stamp";

    auto bagPersist = As<IPersistPropertyBag>();
    ASSERT_TRUE(bagPersist);
    RecordingBag bag;
    EXPECT_EQ(bagPersist->Load(&bag, nullptr), S_OK) << "a page without parameters";
    ASSERT_EQ(bagPersist->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.values, (std::map<std::wstring, LONG>{{L"_Version", 0x10000}}));
    EXPECT_EQ(bagPersist->Load(&bag, nullptr), S_OK);
}

TEST_F(ControlInterfacesTest, DescribesItselfThroughItsTypeLibrary) {
    auto classInfo = As<IProvideClassInfo2>();
    ASSERT_TRUE(classInfo);
    GUID source{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID__DRUVICtrlEvents);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(&coclass), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, CLSID_RUVICtrl);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_EQ(attributes->wTypeFlags & (TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL),
              TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
    ASSERT_EQ(attributes->cImplTypes, 2);
    coclass->ReleaseTypeAttr(attributes);
    for (UINT index = 0; index < 2; ++index) {
        INT flags = 0;
        coclass->GetImplTypeFlags(index, &flags);
        HREFTYPE reference = 0;
        coclass->GetRefTypeOfImplType(index, &reference);
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(coclass->GetRefTypeInfo(reference, &implemented), S_OK);
        BSTR name = nullptr;
        BSTR help = nullptr;
        implemented->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr);
        if (flags & IMPLTYPEFLAG_FSOURCE) {
            EXPECT_STREQ(name, L"_DRUVICtrlEvents");
            EXPECT_STREQ(help, L"RUVICtrl Control \u7684\u4e8b\u4ef6\u63a5\u53e3");
        } else {
            EXPECT_STREQ(name, L"_DRUVICtrl");
            EXPECT_STREQ(help, L"RUVICtrl Control \u7684\u8c03\u5ea6\u63a5\u53e3");
        }
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
        SysFreeString(name);
        SysFreeString(help);
    }

    auto dispatch = As<IDispatch>();
    ComPtr<ITypeInfo> methods;
    ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_SYSTEM_DEFAULT, &methods), S_OK);
    ASSERT_EQ(methods->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, DIID__DRUVICtrl);
    const WORD functions = attributes->cFuncs;
    methods->ReleaseTypeAttr(attributes);
    std::map<MEMBERID, VARTYPE> results;
    for (WORD index = 0; index < functions; ++index) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(methods->GetFuncDesc(index, &function), S_OK);
        EXPECT_EQ(function->cParams, 0);
        results[function->memid] = function->elemdescFunc.tdesc.vt;
        methods->ReleaseFuncDesc(function);
    }
    EXPECT_EQ(results,
              (std::map<MEMBERID, VARTYPE>{{DISPID_ABOUTBOX, VT_VOID}, {1, VT_BSTR}, {2, VT_I4}}));
}

TEST_F(ControlInterfacesTest, EventSourceAcceptsSinksOfItsEventInterface) {
    auto container = As<IConnectionPointContainer>();
    ASSERT_TRUE(container);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point),
              CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(DIID__DRUVICtrlEvents, &point), S_OK);
    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, DIID__DRUVICtrlEvents);

    EventSink sink(true);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_GT(sink.references, 1u) << "the sink is held while connected";
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.references, 1u);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);

    EventSink stranger(false);
    EXPECT_EQ(point->Advise(&stranger, &cookie), CONNECT_E_CANNOTCONNECT);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
    ComPtr<IConnectionPoint> only;
    ULONG fetched = 0;
    ASSERT_EQ(points->Next(1, &only, &fetched), S_OK);
    ASSERT_EQ(fetched, 1u);
    ComPtr<IConnectionPoint> another;
    EXPECT_EQ(points->Next(1, &another, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(only->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, DIID__DRUVICtrlEvents);
    ComPtr<IConnectionPointContainer> owner;
    ASSERT_EQ(only->GetConnectionPointContainer(&owner), S_OK);
    EXPECT_EQ(owner.Get(), container.Get());
}

TEST_F(ControlInterfacesTest, TellsContainersHowToTreatIt) {
    auto object = As<IOleObject>();
    ASSERT_TRUE(object);
    DWORD status = 0;
    EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20191u);
    CLSID classId{};
    EXPECT_EQ(object->GetUserClassID(&classId), S_OK);
    EXPECT_EQ(classId, CLSID_RUVICtrl);

    SIZEL extent = {5000, 2500};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
    SIZEL read{};
    EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, &read), S_OK);
    EXPECT_EQ(read.cx, 5000);
    EXPECT_EQ(read.cy, 2500);

    // Without a site there is nowhere to activate.
    EXPECT_TRUE(
        FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr)));
}

TEST_F(ControlInterfacesTest, NamesItsPropertyPage) {
    auto specify = As<ISpecifyPropertyPages>();
    ASSERT_TRUE(specify);
    CAUUID pages{};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_EQ(pages.pElems[0], kPropertyPage);
    CoTaskMemFree(pages.pElems);
}

TEST(PropertyPage, ShowsItsNoteUnderTheGeneralCaption) {
    OcxRegistration registration;
    OleApartment apartment;
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(
        CoCreateInstance(kPropertyPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, &page),
        S_OK);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszTitle, L"\u5e38\u89c4");  // 常规
    EXPECT_GT(info.size.cx, 0);
    EXPECT_GT(info.size.cy, 0);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);

    const UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr,
                                              nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent);
    const RECT area = {0, 0, info.size.cx, info.size.cy};
    ASSERT_EQ(page->Activate(parent.Get(), &area, TRUE), S_OK);
    HWND dialog = GetWindow(parent.Get(), GW_CHILD);
    ASSERT_TRUE(dialog);
    HWND note = GetWindow(dialog, GW_CHILD);
    ASSERT_TRUE(note);
    EXPECT_EQ(GetWindow(note, GW_HWNDNEXT), nullptr) << "one static text only";
    wchar_t className[32] = {};
    GetClassNameW(note, className, 32);
    EXPECT_STREQ(className, L"Static");
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace
