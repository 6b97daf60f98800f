#pragma once

#include <string>

#include "commands.h"
#include "core/byte_vector.h"

// Helpers the commands share for their positional arguments and files.

// Throws CUsageError unless there are exactly count arguments.
void ExpectArgumentCount(const CommandArguments& arguments, std::size_t count);

// The bytes of the file at path; throws CToolFailure when it cannot be read.
ByteVector ReadInputFile(const std::string& path);

// A command-line text in GBK; throws CToolFailure when it has no GBK form.
std::string GbkArgument(const std::string& argument);
