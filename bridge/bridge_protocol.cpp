#include "bridge_protocol.h"

#include "json_text.h"

namespace {

constexpr std::string_view kBadRequest = R"({"error":"bad-request"})";
constexpr std::string_view kDenied = R"({"error":"denied"})";

std::optional<BridgeMethod> MethodNamed(std::string_view name) {
    if (name == "GetInstallPath") {
        return BridgeMethod::kGetInstallPath;
    }
    if (name == "CheckIntegrity") {
        return BridgeMethod::kCheckIntegrity;
    }
    return std::nullopt;
}

}  // namespace

std::optional<BridgeRequest> ParseRequest(std::string_view message) {
    const auto members = ParseStringObject(message);
    if (!members || members->size() != 2) {
        return std::nullopt;
    }
    const auto method = members->find("method");
    const auto origin = members->find("origin");
    if (method == members->end() || origin == members->end()) {
        return std::nullopt;
    }
    const std::optional<BridgeMethod> known = MethodNamed(method->second);
    if (!known) {
        return std::nullopt;
    }
    return BridgeRequest{*known, origin->second};
}

std::string AnswerMessage(const std::optional<std::string>& message,
                          const InstallationRecords& records) {
    const std::optional<BridgeRequest> request = message ? ParseRequest(*message) : std::nullopt;
    if (!request) {
        return std::string(kBadRequest);
    }
    if (!records.AllowsOrigin(request->origin)) {
        return std::string(kDenied);
    }
    switch (request->method) {
        case BridgeMethod::kGetInstallPath:
            return R"({"result":)" + JsonString(records.InstallPath()) + "}";
        case BridgeMethod::kCheckIntegrity:
            return R"({"result":)" + std::to_string(records.CheckIntegrity()) + "}";
    }
    return std::string(kBadRequest);
}
