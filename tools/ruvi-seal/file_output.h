#pragma once

#include <string>

#include "core/byte_vector.h"

// Writes bytes to the file at path (local code page) completely or not at
// all: they go to a new file beside it, which then replaces it. A link is
// followed; an existing file keeps its permissions. Throws CToolFailure when
// the file cannot be written or path is not a file; nothing has changed then.
void WriteFileReplacing(const std::string& path, const ByteVector& bytes);

// A name for a new file beside path, where an output is written before it
// takes path's place: path, ".new-" and a random number.
std::string PathBeside(const std::string& path);
