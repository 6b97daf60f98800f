#pragma once

#include <string>

#include "operation_test_support.h"
#include "scoped_registry_value.h"
#include "test_services.h"

// A machine on which the installer is installed: an install folder that the
// registry names for the installer ("RUVI") and for the product ("RUV", where
// the message box and the proxy dialog find their skin), holding a copy of
// the built RUVInstaller.exe (so its version is the one the plans demand),
// the default skin and a sealed RUVI.config. Everything goes again with the
// object, the registry values included.
class InstalledInstaller {
public:
    InstalledInstaller();

    // RUVI.config naming this server base URL, answers in the secure stream;
    // with a trust key text, in trusted mode.
    void Configure(const std::string& serverUrl, const std::string& trustKey = "");
    // The registry no longer names the installer's install folder (the
    // program file stays where it is).
    void ForgetInstallFolder() { installerPath_.Remove(); }

    // The install folder, without a trailing backslash.
    std::string Folder() const { return folder_.Path(); }
    std::string ProgramPath() const { return folder_.PathOf("RUVInstaller.exe"); }
    // Where the installer keeps its downloads and its logs.
    std::string WorkFolder() const { return folder_.PathOf("Download"); }
    std::string LogFolder() const { return folder_.PathOf("Logs"); }

private:
    ops_test::TestFolder folder_{"e2e install"};
    ScopedRegistryValue installerPath_;
    ScopedRegistryValue productPath_;
};

// The answer document of a plan: the installer's own version and these
// Operation elements.
std::string PlanDocument(const std::string& operations);

// One Operation element. attributes are added as they stand
// (e.g. "Block=\"true\"").
std::string Operation(const std::string& moduleName, const std::string& label,
                      const std::string& children = "", const std::string& attributes = "");

// Kinds with the children they need.
std::string OsCheck(const std::string& label, const std::string& attributes = "");
std::string UserCheck(const std::string& label, const std::string& attributes = "");
std::string ProductCheck(const std::string& label, const std::string& version,
                         const std::string& attributes = "");
std::string Download(const std::string& label, const std::string& fileName,
                     const std::string& attributes = "");
std::string SetupRun(const std::string& label, const std::string& fileName,
                     const std::string& attributes = "");

// A plan folder for ruvi-server: plan.xml and files/ with the setup program
// under each name given.
class PlanFolder {
public:
    explicit PlanFolder(TestServices& services);

    void Write(const std::string& document);
    void AddSetupProgram(const std::string& fileName);
    const SharedFolder& Shared() const { return folder_; }

private:
    SharedFolder folder_;
};
