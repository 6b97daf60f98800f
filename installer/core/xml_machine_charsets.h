#pragma once

// Windows only. The encodings a document may declare beyond the XML library's
// own (UTF-8, UTF-16, ASCII, Latin-1 and their kind) are the charsets of the
// system's MIME database, each decoded with a Windows code page. The library
// would read that list from HKEY_CLASSES_ROOT, whole, at every start: a view
// the user's own classes take part in, and over a thousand registry reads.
// The installer runs elevated, so a declared name is looked up in the
// machine's list alone, and only when a document declares it.

#include <windows.h>

#include <optional>
#include <string>

// The code page of the charset called name in a list laid out as the MIME
// database is (one key per name), under the XML library's rules: an entry
// counts when its "Codepage" is installed, and decodes with its
// "InternetEncoding"; an entry with "AliasForCharset" stands for the entry it
// names, when that one is not an alias itself. Names differ only in case.
std::optional<UINT> CharsetCodePage(HKEY charsets, const std::wstring& name);

// Starts the XML library (one more start when it runs already) with
// declared encodings looked up in the machine's list. While the library
// starts, HKEY_CLASSES_ROOT is another key for every thread of the process:
// the first start comes before any other thread that may read it.
void StartXmlLibraryWithMachineCharsets();
