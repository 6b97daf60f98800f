#pragma once

#include <stdexcept>

// The server cannot start: a bad command line, a plan that does not check
// out, a port that cannot be bound. The text is shown to the operator.
class CStartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command line itself is wrong; the usage text follows the message.
class CUsageError : public CStartupError {
public:
    using CStartupError::CStartupError;
};
