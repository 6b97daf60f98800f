#include "installed_installer.h"

#include <filesystem>

#include "core/byte_vector.h"
#include "core/secure_stream.h"
#include "skin_test_support.h"

using ops_test::CopyFileTo;
using ops_test::WindowsPathOf;
using ops_test::WriteTestFile;

InstalledInstaller::InstalledInstaller()
    : installerPath_(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvano\\RUVI", "InstallPath"),
      productPath_(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvano\\RUV", "InstallPath") {
    installerPath_.SetText(folder_.Path());
    productPath_.SetText(folder_.Path());
    CopyFileTo(WindowsPathOf(RUVI_INSTALLER_EXE), ProgramPath());
    CopyDefaultSkin(folder_.Path() + "\\", {});
}

void InstalledInstaller::Configure(const std::string& serverUrl, const std::string& trustKey) {
    const std::string trust = trustKey.empty() ? "" : "<TrustKey>" + trustKey + "</TrustKey>";
    const std::string document =
        "<RUVI><Server>" + serverUrl + "</Server><Encrypt Type=\"Secure\"/>" + trust + "</RUVI>";
    ByteVector sealed;
    SecureEncrypt(sealed, ByteVector(document.begin(), document.end()));
    WriteTestFile(folder_.PathOf("RUVI.config"), std::string(sealed.begin(), sealed.end()));
}

std::string PlanDocument(const std::string& operations) {
    return "<?xml version=\"1.0\" "
           "encoding=\"UTF-8\"?>\n<Response><VersionLimit>" RUVI_INSTALLER_VERSION
           "</VersionLimit><OperationList>" +
           operations + "</OperationList></Response>\n";
}

std::string Operation(const std::string& moduleName, const std::string& label,
                      const std::string& children, const std::string& attributes) {
    return "<Operation ModuleName=\"" + moduleName + "\" ModuleLabel=\"" + label +
           "\" Type=\"t\" Timeout=\"30s\" " + attributes + ">" + children + "</Operation>";
}

std::string OsCheck(const std::string& label, const std::string& attributes) {
    return Operation("OSCheck", label, "<BlackList><Item>none</Item></BlackList>", attributes);
}

std::string UserCheck(const std::string& label, const std::string& attributes) {
    return Operation("UserCheck", label, "", attributes);
}

std::string ProductCheck(const std::string& label, const std::string& version,
                         const std::string& attributes) {
    return Operation("RUVCheck", label, "<Version>" + version + "</Version>", attributes);
}

std::string Download(const std::string& label, const std::string& fileName,
                     const std::string& attributes) {
    return Operation("FileDownload", label,
                     "<URL>files/" + fileName + "</URL><SaveName>" + fileName + "</SaveName>",
                     attributes);
}

std::string SetupRun(const std::string& label, const std::string& fileName,
                     const std::string& attributes) {
    return Operation("SetupRun", label, "<ExecName>" + fileName + "</ExecName>", attributes);
}

PlanFolder::PlanFolder(TestServices& services) : folder_(services.MakeSharedFolder()) {}

void PlanFolder::Write(const std::string& document) { folder_.WriteFile("plan.xml", document); }

void PlanFolder::AddSetupProgram(const std::string& fileName) {
    std::filesystem::create_directories(folder_.windowsPath + "\\files");
    CopyFileTo(WindowsPathOf(RUVI_SETUP_PROGRAM), folder_.windowsPath + "\\files\\" + fileName);
}
