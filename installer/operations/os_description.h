#pragma once

#include <windows.h>

#include <string>

// One line that names the running system the way the server's black lists
// and the launcher's report expect it. Empty when the system cannot be
// queried.
std::string GetOSDescription();

// The two forms, by which version query answered: the extended record, or
// only the basic one (whose first five values the record carries).
std::string FormatExtendedOSDescription(const OSVERSIONINFOEXA& info);
std::string FormatBasicOSDescription(const OSVERSIONINFOEXA& info);
