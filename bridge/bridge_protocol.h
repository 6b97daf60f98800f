#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the bridge is asked and what it answers, as the browser extension
// relays it for a page.

enum class BridgeMethod { kGetInstallPath, kCheckIntegrity };

// {"method":"GetInstallPath"|"CheckIntegrity","origin":"SCHEME://HOST[:PORT]"}:
// both members, strings, and no other. The origin is the page's as the
// browser states it; whether it is allowed is not decided here.
struct BridgeRequest {
    BridgeMethod method;
    std::string origin;  // UTF-8
};
std::optional<BridgeRequest> ParseRequest(std::string_view message);

// What the bridge tells pages of the machine, read afresh for each answer.
class InstallationRecords {
public:
    virtual ~InstallationRecords() = default;
    // Whether a page of this origin may ask.
    virtual bool AllowsOrigin(std::string_view origin) const = 0;
    // The install folder (UTF-8, ending in a backslash), empty when the
    // installer is not installed.
    virtual std::string InstallPath() const = 0;
    // The browser control's CheckIntegrity code, 0 to 4.
    virtual long CheckIntegrity() const = 0;
};

// The answer to a message (nothing: it could not be read whole):
// {"result":"C:\\...\\"}, {"result":N}, {"error":"denied"} for an origin
// that may not ask, {"error":"bad-request"} for anything that is not a
// request.
std::string AnswerMessage(const std::optional<std::string>& message,
                          const InstallationRecords& records);
