#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Where the install logs live: one file per run,
// "RUVInstaller-YYYYMMDD-HHMMSS-PID.log" (local time), in
// %ProgramData%\Tarvano\RUVI\Logs, of which the newest kInstallLogsKept stay.

inline constexpr std::size_t kInstallLogsKept = 10;

// The log folder, without a trailing backslash; empty when the system names
// no ProgramData folder.
std::string InstallLogFolder();

// The file name of the log of the process pid started at localTime.
std::string InstallLogFileName(const SYSTEMTIME& localTime, DWORD pid);

// Whether name is a log's file name of that pattern.
bool IsInstallLogFileName(const std::string& name);

// Deletes all but the newest keep logs in folder (newest by the time in
// their names). Files of other names are never touched.
void PruneInstallLogs(const std::string& folder, std::size_t keep);

// Opens this run's log: at path when one is given; otherwise a new file in
// the log folder, which is created with its parents and closed to programs
// that do not run as administrator, and pruned. False when no log could be
// opened: the run goes on without one.
bool OpenInstallLog(const std::string& path);
