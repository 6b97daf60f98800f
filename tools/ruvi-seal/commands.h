#pragma once

#include <ostream>
#include <string>
#include <vector>

// The tool's commands. Each gets the arguments after its name, writes what
// it has to show to out, and fails by throwing CUsageError, CToolFailure or
// the installer's CMessageError.

using CommandArguments = std::vector<std::string>;

void RunSeal(const CommandArguments& arguments, std::ostream& out);
void RunOpen(const CommandArguments& arguments, std::ostream& out);
void RunMakeConfig(const CommandArguments& arguments, std::ostream& out);
void RunCheckConfig(const CommandArguments& arguments, std::ostream& out);
void RunDesEncrypt(const CommandArguments& arguments, std::ostream& out);
void RunKeygen(const CommandArguments& arguments, std::ostream& out);
void RunHashPlan(const CommandArguments& arguments, std::ostream& out);
void RunLayout(const CommandArguments& arguments, std::ostream& out);
