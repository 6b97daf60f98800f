#include "machine_records.h"

#include "installer_records.h"
#include "integrity_check.h"
#include "site_origin.h"
#include "webcheck_names.h"
#include "wide_text.h"

bool MachineRecords::AllowsOrigin(std::string_view origin) const {
    const std::optional<std::wstring> wide = Utf8ToWide(origin);
    return wide && IsOriginAllowed(*wide, ReadAllowedSites(kInstallerProductKey));
}

std::string MachineRecords::InstallPath() const {
    return WideToUtf8(ReadInstallPathText(kInstallerProductKey));
}

long MachineRecords::CheckIntegrity() const { return CheckInstallation(); }
