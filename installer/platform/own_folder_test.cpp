#include "platform/own_folder.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "platform/install_log.h"
#include "platform/local_memory.h"

namespace {

namespace fs = std::filesystem;

constexpr char kUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr char kOtherUser[] = "S-1-5-21-1004336348-1177238915-682003330-1002";
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;

using Descriptor = LocalMemory<PSECURITY_DESCRIPTOR>;
using Sid = LocalMemory<PSID>;

Descriptor DescriptorOf(const std::string& sddl) {
    Descriptor descriptor;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                     descriptor.Receive(), nullptr))
        << sddl;
    return descriptor;
}

// A path as the log quotes it: its backslashes doubled.
std::string EscapedForLog(const std::string& path) {
    return std::regex_replace(path, std::regex("\\\\"), "\\\\");
}

Sid SidOf(const char* text) {
    Sid sid;
    EXPECT_TRUE(ConvertStringSidToSidA(text, sid.Receive())) << text;
    return sid;
}

// The decision on the descriptors Windows keeps; Wine answers every file's
// owner and DACL from its Unix mode, so only this shows the owner rules.
TEST(IsOwnFolder, OnlyAFolderOfAdministratorsSystemOrTheInstallFoldersOwnerThatNoOneElseCanChange) {
    const std::string user = kUser;
    const struct {
        const char* name;
        std::string sddl;
        DWORD attributes;
        const char* installOwner;
        bool own;
    } cases[] = {
        {"made by the installer", "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", kFolder, "BA", true},
        {"owned by SYSTEM", "O:SYD:(A;OICI;FA;;;SY)", kFolder, "BA", true},
        {"others may read", "O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", kFolder, "BA", true},
        {"denials grant nothing", "O:BAD:(D;OICI;FA;;;AN)(A;OICI;FA;;;BA)", kFolder, "BA", true},
        {"a user made it first", "O:" + user + "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", kFolder, "BA",
         false},
        {"the install folder's owner's",
         "O:" + user + "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + user + ")", kFolder, kUser, true},
        {"another user's", "O:" + user + "D:(A;OICI;FA;;;" + user + ")", kFolder, kOtherUser,
         false},
        {"users may add files", "O:BAD:(A;OICI;FA;;;BA)(A;;0x2;;;BU)", kFolder, "BA", false},
        {"users may delete inside", "O:BAD:(A;OICI;FA;;;BA)(A;;0x40;;;BU)", kFolder, "BA", false},
        {"users may change the DACL", "O:BAD:(A;OICI;FA;;;BA)(A;;WD;;;BU)", kFolder, "BA", false},
        {"users may rename it", "O:BAD:(A;OICI;FA;;;BA)(A;;SD;;;BU)", kFolder, "BA", false},
        {"everyone may write", "O:BAD:(A;OICI;FA;;;BA)(A;OICI;GW;;;WD)", kFolder, "BA", false},
        // Not on the folder, but on every file made in it.
        {"inherited write for users", "O:BAD:(A;OICI;FA;;;BA)(A;OICIIO;FA;;;AU)", kFolder, "BA",
         false},
        {"no DACL", "O:BA", kFolder, "BA", false},
        {"a junction", "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
         kFolder | FILE_ATTRIBUTE_REPARSE_POINT, "BA", false},
        {"a file", "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", FILE_ATTRIBUTE_NORMAL, "BA", false},
    };
    for (const auto& c : cases) {
        const Descriptor descriptor = DescriptorOf(c.sddl);
        const Sid installOwner = SidOf(c.installOwner);
        EXPECT_EQ(IsOwnFolder({descriptor.Get(), c.attributes, installOwner.Get()}), c.own)
            << c.name;
    }

    // A null DACL lets everyone do everything.
    const Sid administrators = SidOf("BA");
    SECURITY_DESCRIPTOR nullDacl{};
    ASSERT_TRUE(InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&nullDacl, administrators.Get(), FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
    EXPECT_FALSE(IsOwnFolder({&nullDacl, kFolder, administrators.Get()}));
}

// An install folder of its own for a test, removed with everything in it.
class InstallFolder {
public:
    InstallFolder()
        : path_(fs::temp_directory_path() /
                ("ruvi-own-folder-" + std::to_string(GetCurrentProcessId()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~InstallFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    // With its trailing backslash, as the registry's install folder is read.
    std::string Text() const { return path_.string() + "\\"; }
    fs::path Path(const std::string& name) const { return path_ / name; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

TEST(PrepareOwnFolder, MakesTheFolderAndKeepsItWhileItIsOwn) {
    const InstallFolder install;
    OwnFolder made = PrepareOwnFolder(install.Text(), "Download");
    EXPECT_EQ(made.state, OwnFolderState::Created);
    EXPECT_EQ(made.path, install.Path("Download").string());
    EXPECT_TRUE(fs::is_directory(made.path));
    // Held while in use; Wine does not keep others from renaming a folder
    // that is open without delete sharing, as Windows does.
    EXPECT_TRUE(made.hold);
    std::ofstream(install.Path("Download") / "partial.bin", std::ios::binary) << "partial";
    made.hold.Reset();

    const OwnFolder again = PrepareOwnFolder(install.Text(), "Download");
    EXPECT_EQ(again.state, OwnFolderState::Used);
    EXPECT_EQ(fs::file_size(install.Path("Download") / "partial.bin"), 7u);
}

TEST(PrepareOwnFolder, AFolderOthersCanWriteToOrAFileIsSetAsideAndTheLogSaysWhere) {
    const InstallFolder install;
    const fs::path log = install.Path("run.log");
    ASSERT_TRUE(install_log::Open(log.string()));
    // Everyone may write: Wine keeps that as the Unix mode it turns into,
    // and shows the mode as that again.
    const std::string downloadPath = install.Path("Download").string();
    ASSERT_TRUE(CreateDirectoryA(downloadPath.c_str(), nullptr));
    const Descriptor anyone = DescriptorOf("D:(A;OICI;FA;;;WD)");
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(anyone.Get(), &present, &dacl, &defaulted));
    ASSERT_EQ(SetNamedSecurityInfoA(const_cast<char*>(downloadPath.c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    std::ofstream(install.Path("Download") / "planted.dll", std::ios::binary) << "planted";
    std::ofstream(install.Path("Logs"), std::ios::binary) << "a file";

    const OwnFolder download = PrepareOwnFolder(install.Text(), "Download");
    const OwnFolder logs = PrepareOwnFolder(install.Text(), "Logs");
    LogOwnFolder("work-folder", download);
    install_log::Close();

    for (const OwnFolder* folder : {&download, &logs}) {
        EXPECT_EQ(folder->state, OwnFolderState::Replaced) << folder->path;
        EXPECT_TRUE(fs::is_directory(folder->path)) << folder->path;
        EXPECT_TRUE(fs::is_empty(folder->path)) << folder->path;
        const std::string tag = folder->path + ".untrusted-";
        EXPECT_TRUE(
            folder->setAside.starts_with(tag) &&
            std::regex_match(folder->setAside.substr(tag.size()), std::regex("[0-9a-f]{16}")))
            << folder->setAside;
    }
    // Renamed, never deleted: nothing of it is used, nothing is lost.
    EXPECT_TRUE(fs::exists(fs::path(download.setAside) / "planted.dll"));
    EXPECT_TRUE(fs::is_regular_file(logs.setAside));
    std::ifstream in(log, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(text.find(" work-folder path=\"" + EscapedForLog(download.path) +
                        "\" state=\"replaced\" set-aside=\"" + EscapedForLog(download.setAside) +
                        "\"\r\n"),
              std::string::npos)
        << text;
}

TEST(PrepareOwnFolder, WithoutAnInstallFolderThereIsNone) {
    const InstallFolder install;
    for (const std::string& folder : {std::string(), install.Text() + "missing\\"}) {
        const OwnFolder none = PrepareOwnFolder(folder, "Download");
        EXPECT_FALSE(none.Usable()) << folder;
        EXPECT_FALSE(none.hold) << folder;
    }
    EXPECT_EQ(PrepareOwnFolder("", "Download").path, "");
    EXPECT_FALSE(fs::exists(install.Path("missing")));
}

}  // namespace
