// The control as a web page uses it: created by its ProgID and called by
// name through IDispatch, against a real registry value and real manifests.

#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "control/dispatch_call.h"
#include "control/ocx_registration.h"
#include "control/scoped_installer_records.h"
#include "control/scoped_temp_folder.h"
#include "control/window_creation_block.h"
#include "platform/com_apartment.h"
#include "platform/kernel_handle.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr char kManifest[] = "RUVI.FileList.Manifest";

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(apartment_.Result(), S_OK);
        CLSID classId{};
        ASSERT_EQ(CLSIDFromProgID(L"RUVICTRL.RUVICtrlCtrl.1", &classId), S_OK);
        ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX(0x17), IID_IDispatch, &control_), S_OK);
        // An installation with two files and a folder.
        folder_.WriteFile("RUVInstaller.exe", "MZ");
        folder_.MakeFolder("skin");
        folder_.WriteFile("skin\\0.png", "png");
    }

    // The registry value is the folder without its trailing backslash.
    void RecordInstallation() {
        records_.SetInstallPath(folder_.Path().substr(0, folder_.Path().size() - 1));
    }

    std::wstring InstallPath() {
        ScopedVariant result;
        EXPECT_EQ(CallByName(control_.Get(), L"GetInstallPath", result.get()), S_OK);
        EXPECT_EQ(result.type(), VT_BSTR);
        return result.type() == VT_BSTR ? std::wstring(result.text()) : std::wstring(L"<none>");
    }

    LONG Integrity() {
        ScopedVariant result;
        EXPECT_EQ(CallByName(control_.Get(), L"CheckIntegrity", result.get()), S_OK);
        EXPECT_EQ(result.type(), VT_I4);
        return result.number();
    }

    LONG IntegrityWithManifest(const std::string& manifest) {
        folder_.WriteFile(kManifest, manifest);
        return Integrity();
    }

    OcxRegistration registration_;
    OleApartment apartment_;
    ScopedInstallerRecords records_;
    ScopedTempFolder folder_;
    ComPtr<IDispatch> control_;
};

std::wstring Wide(const std::string& ansi) {
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(),
                                    int(wide.size())));
    return wide;
}

TEST_F(DispatchTest, InstallPathIsEmptyWithoutTheRecordAndCheckSaysNotInstalled) {
    folder_.WriteFile(kManifest, "RUVInstaller.exe\r\n");
    records_.RemoveKey();
    EXPECT_EQ(InstallPath(), L"");
    EXPECT_EQ(Integrity(), 1);

    RecordInstallation();
    records_.RemoveInstallPath();  // the key alone is not an installation
    EXPECT_EQ(InstallPath(), L"");
    EXPECT_EQ(Integrity(), 1);
}

TEST_F(DispatchTest, InstallPathIsTheRecordedFolderWithABackslash) {
    records_.SetInstallPath("C:\\Program Files\\Tarvano\\RUVI");
    EXPECT_EQ(InstallPath(), L"C:\\Program Files\\Tarvano\\RUVI\\");

    records_.SetInstallPath("D:\\\xc8\xed\xbc\xfe\\RUVI");  // D:\软件\RUVI in GBK
    EXPECT_EQ(InstallPath(), L"D:\\\u8f6f\u4ef6\\RUVI\\");
}

TEST_F(DispatchTest, InstallPathOfAnyLengthIsKept) {
    for (size_t length : {127u, 128u, 300u}) {
        const std::string folder = "C:\\" + std::string(length - 3, 'x');
        records_.SetInstallPath(folder);
        EXPECT_EQ(InstallPath(), Wide(folder) + L"\\") << length;
    }
}

TEST_F(DispatchTest, ManifestsWhoseEntriesAllExistAreIntact) {
    RecordInstallation();
    const char* manifests[] = {
        "RUVInstaller.exe\r\nskin\\0.png\r\n",              // CR LF
        "RUVInstaller.exe\nskin\\0.png\n",                  // LF
        "RUVInstaller.exe\nskin\\0.png",                    // no final line end
        "\r\n\nRUVInstaller.exe\r\n\r\n\nskin\\0.png\n\n",  // empty lines
        "skin\r\n",                                         // a folder
    };
    for (const char* manifest : manifests) {
        EXPECT_EQ(IntegrityWithManifest(manifest), 0) << manifest;
    }
}

TEST_F(DispatchTest, AMissingEntryIsFoundWhereverItIs) {
    RecordInstallation();
    EXPECT_EQ(IntegrityWithManifest("RUVInstaller.exe\r\nRUV.exe\r\nskin\\0.png\r\n"), 4);
    EXPECT_EQ(IntegrityWithManifest("RUVInstaller.exe\nRUV.exe"), 4);  // last line, no line end
    EXPECT_EQ(IntegrityWithManifest("skin\\missing\\\n"), 4);
    EXPECT_EQ(IntegrityWithManifest(" RUVInstaller.exe\n"), 4);  // blanks are part of the name
}

TEST_F(DispatchTest, ManifestWithoutEntriesIsEmpty) {
    RecordInstallation();
    EXPECT_EQ(IntegrityWithManifest(""), 3);
    EXPECT_EQ(IntegrityWithManifest("\r\n\n\r\n"), 3);
}

TEST_F(DispatchTest, ManifestThatCannotBeOpenedIsReported) {
    RecordInstallation();
    EXPECT_EQ(Integrity(), 2);  // none written

    folder_.WriteFile(kManifest, "RUVInstaller.exe\n");
    const std::string manifest = folder_.Path() + kManifest;
    const HANDLE locked =
        CreateFileA(manifest.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    const KernelHandle lock(locked);
    EXPECT_EQ(Integrity(), 2);
}

TEST_F(DispatchTest, ManifestOpenForWritingElsewhereIsStillRead) {
    RecordInstallation();
    folder_.WriteFile(kManifest, "RUVInstaller.exe\n");
    const std::string manifest = folder_.Path() + kManifest;
    const HANDLE writer =
        CreateFileA(manifest.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const KernelHandle open(writer);
    EXPECT_EQ(Integrity(), 0);
}

TEST_F(DispatchTest, EntriesAreAnsiPaths) {
    RecordInstallation();
    folder_.WriteFile("\xce\xc4\xbc\xfe.dat", "x");  // 文件.dat in GBK
    EXPECT_EQ(IntegrityWithManifest("\xce\xc4\xbc\xfe.dat\r\n"), 0);
}

TEST_F(DispatchTest, LongInstallFolderIsChecked) {
    ScopedTempFolder deep;
    std::string relative;
    while ((deep.Path() + relative).size() < 160) {
        relative += std::string(20, 'd') + "\\";
        deep.MakeFolder(relative);
    }
    deep.WriteFile(relative + "RUV.exe", "MZ");
    deep.WriteFile(relative + kManifest, "RUV.exe\r\n");
    const std::string folder = deep.Path() + relative;
    records_.SetInstallPath(folder.substr(0, folder.size() - 1));

    EXPECT_EQ(InstallPath(), Wide(folder));
    EXPECT_EQ(Integrity(), 0);
}

TEST_F(DispatchTest, MethodsAreKnownByNameAndTakeNoArguments) {
    const struct {
        const wchar_t* name;
        DISPID id;
    } methods[] = {{L"getinstallpath", 1}, {L"CheckIntegrity", 2}, {L"AboutBox", -552}};
    for (const auto& method : methods) {
        LPOLESTR name = const_cast<LPOLESTR>(method.name);
        DISPID id = 0;
        ASSERT_EQ(control_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &id), S_OK);
        EXPECT_EQ(id, method.id) << method.name;
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"SetInstallPath");
    DISPID id = 0;
    EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_SYSTEM_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);

    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_I4;
    DISPPARAMS oneArgument = {&argument, nullptr, 1, 0};
    ScopedVariant result;
    EXPECT_EQ(control_->Invoke(2, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &oneArgument,
                               &result.get(), nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(control_->Invoke(3, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &none,
                               &result.get(), nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(control_->Invoke(1, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYPUT, &none,
                               &result.get(), nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

// Reading AboutBox as a property must not block the page with a modal box.
TEST_F(DispatchTest, ScriptsMayReadTheAnswersAsPropertiesButNotTheAboutBox) {
    RecordInstallation();
    folder_.WriteFile(kManifest, "RUVInstaller.exe\n");
    ScopedVariant result;
    ASSERT_EQ(CallByName(control_.Get(), L"CheckIntegrity", result.get(),
                         DISPATCH_METHOD | DISPATCH_PROPERTYGET),
              S_OK);
    EXPECT_EQ(result.type(), VT_I4);
    EXPECT_EQ(result.number(), 0);

    const WindowCreationBlock block;
    EXPECT_EQ(CallByName(control_.Get(), L"AboutBox", result.get(), DISPATCH_PROPERTYGET),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(block.Attempts(), 0);
}

}  // namespace
