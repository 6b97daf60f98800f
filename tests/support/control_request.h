#pragma once

#include <map>
#include <string>

// One control request to the services host: a POST of pathAndQuery to
// controlUrl ("http://127.0.0.1:PORT"), made with WinHTTP so that it shares
// nothing with the WinINet code under test. Returns the answer's
// "name=value" lines; throws std::runtime_error with the host's reason when
// the request fails or is refused.
std::map<std::string, std::string> CallServices(const std::string& controlUrl,
                                                const std::string& pathAndQuery);

// The body of a GET of path from a server on 127.0.0.1:port, made with
// WinHTTP as above; throws std::runtime_error when the status is not 200.
std::string GetFromLoopback(int port, const std::string& path);

// text with everything but letters, digits and "-._~" percent-encoded.
std::string QueryEscaped(const std::string& text);
