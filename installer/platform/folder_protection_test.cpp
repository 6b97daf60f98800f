#include "platform/folder_protection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// What the installer asked the system for, copied out of its descriptor.
struct DaclRequest {
    std::string path;
    SECURITY_INFORMATION what = 0;
    std::vector<BYTE> acl;
};
DaclRequest asked;

bool RecordRequest(const std::string& path, SECURITY_INFORMATION what, PACL dacl) {
    const auto* bytes = reinterpret_cast<const BYTE*>(dacl);
    asked = {path, what, std::vector<BYTE>(bytes, bytes + dacl->AclSize)};
    return false;  // refused: the caller hears of it
}

TEST(FolderProtection, AsksForAProtectedDaclOfSystemAndAdministratorsOnly) {
    EXPECT_FALSE(
        ProtectFolderForAdministrators("C:\\users\\u\\Temp\\\\Tarvano\\RUVI", &RecordRequest));
    EXPECT_EQ(asked.path, "C:\\users\\u\\Temp\\\\Tarvano\\RUVI");
    EXPECT_EQ(asked.what, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION);

    ASSERT_FALSE(asked.acl.empty());
    const auto acl = reinterpret_cast<PACL>(asked.acl.data());
    ASSERT_EQ(acl->AceCount, 2);
    const WELL_KNOWN_SID_TYPE grantees[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid};
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* entry = nullptr;
        ASSERT_TRUE(GetAce(acl, index, &entry));
        const auto* allow = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        EXPECT_EQ(allow->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << index;
        // Inherited by files and folders inside, and itself not inherited.
        EXPECT_EQ(allow->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << index;
        EXPECT_EQ(allow->Mask, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS)) << index;
        EXPECT_TRUE(IsWellKnownSid(const_cast<DWORD*>(&allow->SidStart), grantees[index])) << index;
    }
}

TEST(FolderProtection, TheSystemTakesItAndAdministratorsStillWriteThere) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("ruvi-protected-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(ProtectFolderForAdministrators(folder.string()));
    EXPECT_TRUE(std::ofstream(folder / "partial.bin", std::ios::binary) << "written");
    std::filesystem::remove_all(folder);
}

}  // namespace
