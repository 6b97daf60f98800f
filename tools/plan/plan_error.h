#pragma once

#include <stdexcept>

// A plan folder that cannot be served as it is; the text names the reason
// and is shown to the operator.
class CPlanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
