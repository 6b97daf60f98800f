#pragma once

#include <windows.h>

#include <xercesc/dom/DOMNode.hpp>

#include <string>

#include "core/file_declaration.h"
#include "platform/kernel_handle.h"

class CCacheFileDigest;

// Reading an operation's declaration of its file (the children Size and
// Sha256, see net/file_declaration.h) and checking the file against it.

// Reads the child into declaration. False when the child is there but is no
// such value, or when it is required and missing.
bool ReadDeclaredSize(const xercesc::DOMNode* element, bool required, FileDeclaration& declaration);
bool ReadDeclaredSha256(const xercesc::DOMNode* element, bool required,
                        FileDeclaration& declaration);

// The file at path, open for reading while others may only read it: as long
// as the handle is open, nobody can change, rename or delete the file. Empty
// when it cannot be opened.
KernelHandle OpenHeldFile(const std::string& path);

// Whether the file, held open, read from its start to its end (in large
// pieces, however large it is), has the declared size and digest; a part
// that is not declared is not checked. False when it cannot be read.
bool MatchesDeclaration(HANDLE heldFile, const FileDeclaration& declaration);
// The same for the file at path, held while it is checked.
bool MatchesDeclaration(const std::string& path, const FileDeclaration& declaration);
// The same, with the digest of the file's bytes from digest, which has
// followed every write into the file: nothing is read back that it was
// shown.
bool MatchesDeclaration(const std::string& path, const FileDeclaration& declaration,
                        CCacheFileDigest& digest);
