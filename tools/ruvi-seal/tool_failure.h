#pragma once

#include <stdexcept>

// How a command fails. The installer's own failures arrive as CMessageError
// (GBK); these carry the tool's texts, already fit for the terminal (paths
// as they were given).

// The command was given what it cannot work with: exit status 1.
class CToolFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command line itself is wrong: exit status 2, with a hint to --help.
class CUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command line asks for something unsafe without saying it means it:
// exit status 2. The text names the option that says so, so no hint follows.
class CUnconfirmedRisk : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
