#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// Names of the direct subkeys, or of the values, of an open key, as stored.
std::vector<std::wstring> SubkeyNames(HKEY key);
std::vector<std::wstring> ValueNames(HKEY key);

// Names of the direct subkeys of HKEY_CLASSES_ROOT\path (all of HKCR for an
// empty path), upper-cased so that registry spellings compare equal.
std::set<std::wstring> ClassesSubkeys(const std::wstring& path);

// Every key below and including HKEY_CLASSES_ROOT\path, by its path relative
// to it ("" for the key itself, "InprocServer32", ...), with its values by
// name ("" for the default value). Values that are not strings appear as
// "<type N>". Empty when the key does not exist.
using RegistryTree = std::map<std::wstring, std::map<std::wstring, std::wstring>>;
RegistryTree ClassesTree(const std::wstring& path);
