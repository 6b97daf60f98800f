#pragma once

#include <string>
#include <vector>

#include "operations/operator_base.h"

// The proxy the user chose in the proxy settings dialog. The operations and
// the product launcher send through it; unattended runs have none.
struct ProxyChoice {
    bool enabled = false;
    // Host, port, user name, password; empty unless the user confirmed.
    std::vector<std::string> settings;

    void ApplyTo(COperatorBase& operation) const {
        operation.useProxy = enabled;
        // Kept by the operation only when it holds all four strings.
        if (settings.size() == 4) operation.proxySettings = settings;
    }
};
