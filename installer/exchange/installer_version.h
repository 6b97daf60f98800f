#pragma once

#include <string>

// "major.minor.build.revision" of the fixed version information of the file
// at path; empty when the file has none or cannot be read.
std::string FileVersionText(const std::string& path);
