#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/own_folder.h"

// Where the install logs live: one file per run,
// "RUVInstaller-YYYYMMDD-HHMMSS-PID.log" (local time), in the install
// folder's "Logs" (a folder the installer keeps as its own, see
// own_folder.h), of which the newest kInstallLogsKept stay.

inline constexpr std::size_t kInstallLogsKept = 10;

// The file name of the log of the process pid started at localTime.
std::string InstallLogFileName(const SYSTEMTIME& localTime, DWORD pid);

// Whether name is a log's file name of that pattern.
bool IsInstallLogFileName(const std::string& name);

// Deletes all but the newest keep logs in folder (newest by the time in
// their names). Files of other names are never touched.
void PruneInstallLogs(const std::string& folder, std::size_t keep);

// Opens this run's log: at path when one is given (nothing is returned
// then); otherwise a new file in the log folder of installFolder (which ends
// with a backslash), which is prepared as the installer's own and pruned.
// Returns the log folder as it was prepared, for the log to tell; without an
// install folder it is unavailable and no log is written. A log that cannot
// be opened leaves the run without one.
std::optional<OwnFolder> OpenInstallLog(const std::string& path, const std::string& installFolder);
