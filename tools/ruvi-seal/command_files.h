#pragma once

#include <optional>
#include <string>

#include "commands.h"
#include "core/byte_vector.h"

// Helpers the commands share for their positional arguments and files.

// Throws CUsageError unless there are exactly count arguments.
void ExpectArgumentCount(const CommandArguments& arguments, std::size_t count);

// Takes the value after the option at arguments[index] into option and
// steps over it. Throws CUsageError when the option was given before or has
// no value.
void SetOptionOnce(std::optional<std::string>& option, const std::string& name,
                   const CommandArguments& arguments, std::size_t& index);

// The bytes of the file at path; throws CToolFailure when it cannot be read.
ByteVector ReadInputFile(const std::string& path);

// A command-line text in GBK; throws CToolFailure when it has no GBK form.
std::string GbkArgument(const std::string& argument);
