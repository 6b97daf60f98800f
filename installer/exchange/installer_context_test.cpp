#include "exchange/installer_context.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "operation_test_support.h"
#include "platform/local_paths.h"
#include "scoped_registry_value.h"

namespace {

using ops_test::TestFolder;

constexpr char kRuviKey[] = "SOFTWARE\\Tarvano\\RUVI";
constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Points the temporary-files folder (TMP and TEMP) at a fresh folder of its
// own, where nothing of the installer's may appear.
class ScopedTempFolder {
public:
    ScopedTempFolder()
        : savedTmp_(Variable("TMP")),
          savedTemp_(Variable("TEMP")),
          folder_(RealTempFolder() + "ruvi-context-" + std::to_string(GetCurrentProcessId())) {
        std::filesystem::create_directory(folder_);
        SetEnvironmentVariableA("TMP", folder_.c_str());
        SetEnvironmentVariableA("TEMP", folder_.c_str());
    }
    ~ScopedTempFolder() {
        SetEnvironmentVariableA("TMP", savedTmp_ ? savedTmp_->c_str() : nullptr);
        SetEnvironmentVariableA("TEMP", savedTemp_ ? savedTemp_->c_str() : nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // The folder, without a trailing backslash.
    const std::string& Folder() const { return folder_; }

private:
    static std::optional<std::string> Variable(const char* name) {
        char value[1024];
        const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
        if (length == 0 || length >= sizeof value) return std::nullopt;
        return std::string(value, length);
    }
    static std::string RealTempFolder() {
        char path[MAX_PATH + 1];
        return std::string(path, GetTempPathA(sizeof path, path));
    }

    std::optional<std::string> savedTmp_;
    std::optional<std::string> savedTemp_;
    std::string folder_;
};

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST(ReadInstallPath, GivesTheStoredFolderFollowedByOneBackslash) {
    ScopedRegistryValue installPath(HKEY_LOCAL_MACHINE, kRuviKey, "InstallPath");
    installPath.SetText("C:\\Program Files\\Tarvano\\RUVI");
    EXPECT_EQ(ReadInstallPath("RUVI"), "C:\\Program Files\\Tarvano\\RUVI\\");

    // GBK stays GBK; a backslash already there is doubled, not merged.
    installPath.SetText("D:\\软件\\RUVI\\");
    EXPECT_EQ(ReadInstallPath("RUVI"), "D:\\\xc8\xed\xbc\xfe\\RUVI\\\\");

    // The type is not looked at, and no terminating zero is needed.
    installPath.SetBytes(REG_BINARY, "E:\\RUVI");
    EXPECT_EQ(ReadInstallPath("RUVI"), "E:\\RUVI\\");
}

TEST(ReadInstallPath, AFolderOfAnyLengthIsRead) {
    ScopedRegistryValue installPath(HKEY_LOCAL_MACHINE, kRuviKey, "InstallPath");
    for (const std::size_t length : {127u, 128u, 255u, 256u, 300u, 2000u}) {
        const std::string folder = "C:\\" + std::string(length - 3, 'd');
        installPath.SetText(folder);
        EXPECT_EQ(ReadInstallPath("RUVI"), folder + "\\") << length;
    }
}

TEST(ReadInstallPath, IsEmptyWithoutTheKeyOrTheValue) {
    EXPECT_EQ(ReadInstallPath("RUVI-never-installed"), "");

    ScopedRegistryValue other(HKEY_LOCAL_MACHINE, kRuviKey, "Version");
    other.SetText("1.0.0.1");
    ScopedRegistryValue installPath(HKEY_LOCAL_MACHINE, kRuviKey, "InstallPath");
    installPath.Remove();
    EXPECT_EQ(ReadInstallPath("RUVI"), "");
}

class InstallerContextTest : public ::testing::Test {
protected:
    InstallerContextTest() { installPath.SetText(install.Path()); }

    TestFolder install{"install"};  // before TMP points elsewhere
    ScopedTempFolder temp;
    ScopedRegistryValue installPath{HKEY_LOCAL_MACHINE, kRuviKey, "InstallPath"};
};

TEST_F(InstallerContextTest, BuildsItsPathsAndMakesTheWorkFolderInTheInstallFolder) {
    const CInstallerContext context;

    EXPECT_EQ(context.installerPath, install.PathOf("RUVInstaller.exe"));
    EXPECT_EQ(context.cacheDirectory, install.PathOf("Download"));
    EXPECT_TRUE(IsFolder(install.PathOf("Download")));
    // The user's temporary folder is not even looked at.
    EXPECT_TRUE(std::filesystem::is_empty(temp.Folder()));
    EXPECT_EQ(context.serverBaseUrl, "");
    EXPECT_FALSE(context.browserProxyEnabled);
    EXPECT_EQ(context.proxySettings, ProxySettings());
    EXPECT_FALSE(context.httpClient.useProxy);
}

TEST_F(InstallerContextTest, ItsOwnWorkFolderIsKeptWithWhatItHolds) {
    std::optional<CInstallerContext> first;
    first.emplace();
    // A partial download of an earlier run, which this one resumes.
    const std::string partial = install.PathOf("Download\\RUV_installer.EXE");
    std::ofstream(partial, std::ios::binary) << "partial";
    first.reset();

    const CInstallerContext second;
    EXPECT_EQ(second.cacheDirectory, install.PathOf("Download"));
    EXPECT_EQ(std::filesystem::file_size(partial), 7u);
}

TEST_F(InstallerContextTest, WithoutAnInstallFolderThereIsNoWorkFolder) {
    installPath.Remove();
    const CInstallerContext context;
    EXPECT_EQ(context.installerPath, "RUVInstaller.exe");
    EXPECT_EQ(context.cacheDirectory, "");
    EXPECT_TRUE(std::filesystem::is_empty(temp.Folder()));
}

class BrowserProxyTest : public InstallerContextTest {
protected:
    ScopedRegistryValue proxyEnable{HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable"};
    ScopedRegistryValue proxyServer{HKEY_CURRENT_USER, kInternetSettings, "ProxyServer"};
    CInstallerContext context;
};

TEST_F(BrowserProxyTest, TheProxyServerValueGivesHostAndPortFromItsFirstPieces) {
    struct Case {
        const char* value;
        const char* host;
        const char* port;
    };
    for (const Case& c :
         {Case{"proxy.example.com:8080", "proxy.example.com", "8080"},
          Case{"proxyhost", "proxyhost", ""},
          Case{"http=h1:81;https=h2:82", "http=h1", "81;https=h2"},
          Case{"::h:::8080:", "h", "8080"}, Case{"h:1:2:3", "h", "1"}, Case{"", "", ""}}) {
        proxyServer.SetText(c.value);
        context.ReadBrowserProxySettings();
        EXPECT_EQ(context.proxySettings.host, c.host) << c.value;
        EXPECT_EQ(context.proxySettings.port, c.port) << c.value;
    }
}

TEST_F(BrowserProxyTest, TheSwitchIsReadApartFromTheAddress) {
    proxyEnable.SetDword(0);
    proxyServer.SetText("proxy:3128");
    context.ReadBrowserProxySettings();
    EXPECT_FALSE(context.browserProxyEnabled);
    EXPECT_EQ(context.proxySettings.host, "proxy");
    EXPECT_EQ(context.proxySettings.port, "3128");

    proxyEnable.SetDword(2);
    context.ReadBrowserProxySettings();
    EXPECT_TRUE(context.browserProxyEnabled);

    // Missing, or wider than 32 bits: unreadable, so the switch stays.
    proxyEnable.Remove();
    context.ReadBrowserProxySettings();
    EXPECT_TRUE(context.browserProxyEnabled);
    proxyEnable.SetBytes(REG_QWORD, std::string(8, '\0'));
    context.ReadBrowserProxySettings();
    EXPECT_TRUE(context.browserProxyEnabled);
}

TEST_F(BrowserProxyTest, WhatCannotBeReadKeepsTheEarlierSettings) {
    const ProxySettings chosen{"host0", "80", "user", "secret"};
    context.ChooseProxy({false, chosen});
    proxyServer.Remove();
    context.ReadBrowserProxySettings();
    EXPECT_EQ(context.proxySettings, chosen);

    // Up to 1024 bytes are read, a value without a terminating zero too;
    // longer ones are not.
    proxyServer.SetText(std::string(1000, 'h') + ":" + std::string(22, '1'));
    context.ReadBrowserProxySettings();
    EXPECT_EQ(context.proxySettings.host, std::string(1000, 'h'));
    EXPECT_EQ(context.proxySettings.port, std::string(22, '1'));
    proxyServer.SetBytes(REG_BINARY, std::string(1019, 'g') + ":3128");
    context.ReadBrowserProxySettings();
    EXPECT_EQ(context.proxySettings.host, std::string(1019, 'g'));
    EXPECT_EQ(context.proxySettings.port, "3128");
    proxyServer.SetText(std::string(1020, 'x') + ":3128");
    context.ReadBrowserProxySettings();
    EXPECT_EQ(context.proxySettings.host, std::string(1019, 'g'));

    // User name and password are never the browser's.
    EXPECT_EQ(context.proxySettings.userName, "user");
    EXPECT_EQ(context.proxySettings.password, "secret");
}

TEST_F(BrowserProxyTest, TheChosenProxyIsUsedAndShownAgain) {
    const ProxySettings chosen{"host", "8080", "user", "secret"};
    context.ChooseProxy({true, chosen});
    EXPECT_TRUE(context.httpClient.useProxy);
    EXPECT_TRUE(context.browserProxyEnabled);
    EXPECT_EQ(context.httpClient.proxySettings, chosen);
    EXPECT_EQ(context.proxySettings, chosen);
}

}  // namespace
