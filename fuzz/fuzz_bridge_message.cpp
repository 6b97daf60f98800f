// The bridge's standard input as anything that starts it may write it:
// framing, JSON and the request checks, never more than one answer of the
// protocol's. A request that reads is answered the same when its JSON is
// written back by the bridge's own writer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bridge_protocol.h"
#include "json_text.h"
#include "message_framing.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

class AnyRecords final : public InstallationRecords {
public:
    bool AllowsOrigin(std::string_view origin) const override { return origin.size() % 2 == 0; }
    std::string InstallPath() const override { return "C:\\\"\x01\\"; }
    long CheckIntegrity() const override { return 2; }
};

bool IsProtocolAnswer(const std::string& answer) {
    return answer == R"({"error":"bad-request"})" || answer == R"({"error":"denied"})" ||
           answer == R"({"result":2})" || answer == R"({"result":"C:\\\"\u0001\\"})";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const AnyRecords records;

    std::istringstream framed(bytes);
    Require(IsProtocolAnswer(AnswerMessage(ReadMessage(framed), records)));

    Require(IsProtocolAnswer(AnswerMessage(bytes, records)));
    if (const auto request = ParseRequest(bytes)) {
        const char* method =
            request->method == BridgeMethod::kGetInstallPath ? "GetInstallPath" : "CheckIntegrity";
        const std::string written = "{\"method\":" + JsonString(method) +
                                    ",\"origin\":" + JsonString(request->origin) + "}";
        const auto again = ParseRequest(written);
        Require(again && again->method == request->method && again->origin == request->origin);
    }
    return 0;
}
