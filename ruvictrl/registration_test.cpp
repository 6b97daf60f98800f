#include <windows.h>

#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "control/ocx_registration.h"
#include "control/registry_snapshot.h"
#include "platform/com_apartment.h"
#include "platform/loaded_library.h"
#include "platform/registry_key.h"
#include "ruvictrl_h.h"

using Microsoft::WRL::ComPtr;

namespace {

const std::wstring kControlClass = L"{64A8E836-CA7B-4646-8CCD-81CE23BDC3D1}";
const std::wstring kPageClass = L"{F8067013-D12C-4400-A9D8-AE3CC16A1912}";
const std::wstring kTypeLib = L"{11C44966-F3A2-46C6-93E1-17FCDD900054}";
const std::wstring kDispatch = L"{A8C6DFFE-7F5B-43F1-B375-2716DA6DB1C2}";
const std::wstring kEvents = L"{6A869A03-730C-4E30-BE27-5CF3A8635F74}";

// The parts of HKEY_CLASSES_ROOT that self-registration can touch.
struct ClassesSnapshot {
    std::set<std::wstring> top = ClassesSubkeys(L"");
    std::set<std::wstring> classes = ClassesSubkeys(L"CLSID");
    std::set<std::wstring> typeLibs = ClassesSubkeys(L"TypeLib");
    std::set<std::wstring> interfaces = ClassesSubkeys(L"Interface");
};

std::set<std::wstring> Added(const std::set<std::wstring>& before,
                             const std::set<std::wstring>& after) {
    std::set<std::wstring> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::inserter(added, added.end()));
    return added;
}

std::wstring ModuleFullPath() {
    wchar_t full[MAX_PATH];
    GetFullPathNameW(OcxPath().c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Registration tests start from an unregistered control and leave none.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { RunRegsvr32(L"/u /s \"" + OcxPath() + L"\""); }
    void TearDown() override { RunRegsvr32(L"/u /s \"" + OcxPath() + L"\""); }
};

TEST_F(RegistrationTest, Regsvr32AddsExactlyTheControlsKeysAndUnregisterRemovesThem) {
    const ClassesSnapshot before;

    ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
    const ClassesSnapshot registered;
    EXPECT_EQ(Added(before.top, registered.top),
              std::set<std::wstring>({L"RUVICTRL.RUVICTRLCTRL.1"}));
    EXPECT_EQ(Added(before.classes, registered.classes),
              std::set<std::wstring>({kControlClass, kPageClass}));
    EXPECT_EQ(Added(before.typeLibs, registered.typeLibs), std::set<std::wstring>({kTypeLib}));
    EXPECT_EQ(Added(before.interfaces, registered.interfaces),
              std::set<std::wstring>({kDispatch, kEvents}));

    ASSERT_EQ(RunRegsvr32(L"/u /s \"" + OcxPath() + L"\""), 0);
    const ClassesSnapshot unregistered;
    EXPECT_EQ(unregistered.top, before.top);
    EXPECT_EQ(unregistered.classes, before.classes);
    EXPECT_EQ(unregistered.typeLibs, before.typeLibs);
    EXPECT_EQ(unregistered.interfaces, before.interfaces);
}

TEST_F(RegistrationTest, ControlClassIsAnApartmentThreadedInProcessControl) {
    ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
    const std::wstring module = ModuleFullPath();

    const RegistryTree expected = {
        {L"", {{L"", L"RUVICtrl Control"}}},
        {L"Control", {}},
        {L"InprocServer32", {{L"", module}, {L"ThreadingModel", L"Apartment"}}},
        {L"MiscStatus", {{L"", L"131473"}}},
        {L"ProgID", {{L"", L"RUVICTRL.RUVICtrlCtrl.1"}}},
        {L"ToolboxBitmap32", {{L"", module + L", 1"}}},
        {L"TypeLib", {{L"", kTypeLib}}},
        {L"Version", {{L"", L"1.0"}}},
    };
    EXPECT_EQ(ClassesTree(L"CLSID\\" + kControlClass), expected);

    const RegistryTree progId = {
        {L"", {{L"", L"RUVICtrl Control"}}},
        {L"CLSID", {{L"", kControlClass}}},
    };
    EXPECT_EQ(ClassesTree(L"RUVICTRL.RUVICtrlCtrl.1"), progId);

    OleApartment apartment;
    CLSID resolved{};
    ASSERT_EQ(CLSIDFromProgID(L"RUVICTRL.RUVICtrlCtrl.1", &resolved), S_OK);
    EXPECT_EQ(resolved, CLSID_RUVICtrl);
    DWORD status = 0;
    ASSERT_EQ(OleRegGetMiscStatus(CLSID_RUVICtrl, DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status,
              DWORD(OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                    OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE));
}

TEST_F(RegistrationTest, PropertyPageClassHasItsTypeNameAndServer) {
    ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
    const RegistryTree expected = {
        {L"", {{L"", L"RUVICtrl Property Page"}}},
        {L"InprocServer32", {{L"", ModuleFullPath()}, {L"ThreadingModel", L"Apartment"}}},
    };
    EXPECT_EQ(ClassesTree(L"CLSID\\" + kPageClass), expected);
}

TEST_F(RegistrationTest, TypeLibraryIsRegisteredWithItsGbkHelpString) {
    ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);

    // Readers in the ANSI code page see the GBK bytes.
    const std::string key = "TypeLib\\{11C44966-F3A2-46C6-93E1-17FCDD900054}\\1.0";
    char help[128] = {};
    LONG size = sizeof help;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), help, &size), ERROR_SUCCESS);
    EXPECT_STREQ(help, "RUVICtrl ActiveX \xbf\xd8\xbc\xfe\xc4\xa3\xbf\xe9");

    OleApartment apartment;
    ComPtr<ITypeLib> typeLib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_RUVICtrlLib, 1, 0, 1033, &typeLib), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(typeLib->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->lcid, LCID(1033));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    typeLib->ReleaseTLibAttr(attributes);
}

HRESULT CallExport(const char* name) {
    const LoadedLibrary ocx(LoadLibraryW(OcxPath().c_str()));
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto entry =
        ocx ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(ocx.Get(), name)))
            : nullptr;
    return entry ? entry() : E_UNEXPECTED;
}

// A type library that is already gone counts as removed: the classes go all
// the same, and so does whatever is left when nothing is registered at all.
TEST_F(RegistrationTest, UnregisteringWithTheTypeLibraryAlreadyGoneRemovesTheClasses) {
    ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
    const std::wstring typeLibKey = L"TypeLib\\" + kTypeLib;
    ASSERT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, typeLibKey.c_str()), ERROR_SUCCESS);

    EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(ClassesTree(L"CLSID\\" + kControlClass).empty());
    EXPECT_TRUE(ClassesTree(L"CLSID\\" + kPageClass).empty());
    EXPECT_TRUE(ClassesTree(L"RUVICTRL.RUVICtrlCtrl.1").empty());

    EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);

    // Deleting the library's key by hand left its interfaces' keys, which only
    // unregistering the library removes; registering once more lets the
    // teardown remove them.
    EXPECT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
}

// A volatile key cannot hold the lasting subkey that registration writes
// under the ProgID, near its end; what was written before is taken back.
TEST_F(RegistrationTest, RegistrationThatFailsPartWayLeavesNothingBehind) {
    const ClassesSnapshot before;
    RegistryKey blocker;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"RUVICTRL.RUVICtrlCtrl.1", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_READ, nullptr, blocker.Receive(), nullptr),
              ERROR_SUCCESS);
    blocker.Reset();

    EXPECT_EQ(CallExport("DllRegisterServer"), SELFREG_E_CLASS);
    const ClassesSnapshot after;
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.classes, before.classes);
    EXPECT_EQ(after.typeLibs, before.typeLibs);
    EXPECT_EQ(after.interfaces, before.interfaces);
}

}  // namespace
