#pragma once

#include <windows.h>

#include <xercesc/dom/DOMNode.hpp>

#include <string>

#include "net/file_declaration.h"

// Reading an operation's declaration of its file (the children Size and
// Sha256, see net/file_declaration.h) and checking the file against it.

// Reads the child into declaration. False when the child is there but is no
// such value, or when it is required and missing.
bool ReadDeclaredSize(const xercesc::DOMNode* element, bool required, FileDeclaration& declaration);
bool ReadDeclaredSha256(const xercesc::DOMNode* element, bool required,
                        FileDeclaration& declaration);

// Whether the open file, read from its start to its end (in large pieces,
// however large it is), has the declared size and digest; a part that is
// not declared is not checked. False when the file cannot be read.
bool MatchesDeclaration(HANDLE file, const FileDeclaration& declaration);
// The same for the file at path, opened for reading while others may only
// read it.
bool MatchesDeclaration(const std::string& path, const FileDeclaration& declaration);
