#pragma once

#include <string>

// An HTTP proxy as the user or the browser names it. Empty texts are
// settings not made.
struct ProxySettings {
    std::string host;
    std::string port;
    std::string userName;
    std::string password;

    bool operator==(const ProxySettings&) const = default;
};

// Whether requests go through the proxy, and which one.
struct ProxyChoice {
    bool enabled = false;
    ProxySettings settings;
};
