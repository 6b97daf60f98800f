// What the bridge answers to each message: only a well-formed request from
// an allowed origin learns anything, and everything else is one of two
// errors.

#include "bridge_protocol.h"

#include <gtest/gtest.h>

namespace {

constexpr char kAllowedOrigin[] = "http://127.0.0.1:8080";
constexpr char kBadRequest[] = R"({"error":"bad-request"})";
constexpr char kDenied[] = R"({"error":"denied"})";

class FakeRecords final : public InstallationRecords {
public:
    bool AllowsOrigin(std::string_view origin) const override { return origin == kAllowedOrigin; }
    std::string InstallPath() const override { return installPath; }
    long CheckIntegrity() const override { return integrity; }

    std::string installPath = "C:\\Program Files\\Tarvano\\RUVI\\";
    long integrity = 4;
};

std::string Answer(const std::optional<std::string>& message,
                   const FakeRecords& records = FakeRecords()) {
    return AnswerMessage(message, records);
}

TEST(BridgeProtocol, OnlyAWellFormedRequestIsAnswered) {
    const struct {
        const char* name;
        std::optional<std::string> message;
        std::string answer;
    } cases[] = {
        {"install path", R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080"})",
         R"({"result":"C:\\Program Files\\Tarvano\\RUVI\\"})"},
        {"integrity", R"({"method":"CheckIntegrity","origin":"http://127.0.0.1:8080"})",
         R"({"result":4})"},
        {"members the other way round, white space",
         " \r\n{ \"origin\" : \"http://127.0.0.1:8080\" ,\t\"method\":\"CheckIntegrity\" }\n",
         R"({"result":4})"},
        {"escapes in names and texts",
         R"({"m\u0065thod":"\u0047etInstallPath","origin":"http:\/\/127.0.0.1:8080"})",
         R"({"result":"C:\\Program Files\\Tarvano\\RUVI\\"})"},
        {"another origin", R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8081"})",
         kDenied},
        {"an empty origin", R"({"method":"CheckIntegrity","origin":""})", kDenied},
        {"a message that could not be read", std::nullopt, kBadRequest},
        {"an empty message", "", kBadRequest},
        {"not JSON", "GetInstallPath", kBadRequest},
        {"an empty object", "{}", kBadRequest},
        {"an array", R"(["GetInstallPath","http://127.0.0.1:8080"])", kBadRequest},
        {"another method", R"({"method":"AboutBox","origin":"http://127.0.0.1:8080"})",
         kBadRequest},
        {"a method spelt otherwise",
         R"({"method":"getinstallpath","origin":"http://127.0.0.1:8080"})", kBadRequest},
        {"no origin", R"({"method":"GetInstallPath"})", kBadRequest},
        {"an extra member",
         R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080","id":"1"})", kBadRequest},
        {"a name twice",
         R"({"method":"AboutBox","method":"GetInstallPath","origin":"http://127.0.0.1:8080"})",
         kBadRequest},
        {"an origin that is not a string", R"({"method":"GetInstallPath","origin":null})",
         kBadRequest},
        {"a method that is a number", R"({"method":1,"origin":"http://127.0.0.1:8080"})",
         kBadRequest},
        {"a nested object",
         R"({"method":"GetInstallPath","origin":{"origin":"http://127.0.0.1:8080"}})", kBadRequest},
        {"something after the object",
         R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080"}{})", kBadRequest},
        {"a zero byte after the object",
         std::string(R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080"})") + '\0',
         kBadRequest},
        {"an unterminated string", R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080)",
         kBadRequest},
        {"a missing comma", R"({"method":"GetInstallPath" "origin":"http://127.0.0.1:8080"})",
         kBadRequest},
        {"a trailing comma", R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080",})",
         kBadRequest},
        {"single quotes", R"({'method':'GetInstallPath','origin':'http://127.0.0.1:8080'})",
         kBadRequest},
        {"a raw line feed in a string", "{\"method\":\"GetInstallPath\",\"origin\":\"http://\n\"}",
         kBadRequest},
        {"an unknown escape", R"({"method":"GetInstallPath","origin":"http:\x2f\x2f"})",
         kBadRequest},
        {"a lone surrogate", R"({"method":"GetInstallPath","origin":"\ud800"})", kBadRequest},
        {"a short \\u escape", R"({"method":"GetInstallPath","origin":"\u12"})", kBadRequest},
        {"bytes that are not UTF-8", "{\"method\":\"GetInstallPath\",\"origin\":\"\xc0\xaf\"}",
         kBadRequest},
        {"a UTF-8 surrogate", "{\"method\":\"GetInstallPath\",\"origin\":\"\xed\xa0\x80\"}",
         kBadRequest},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(Answer(test.message), test.answer) << test.name;
    }
}

TEST(BridgeProtocol, InstallPathsAndCodesAreAnsweredAsTheyAre) {
    const std::string request = R"({"method":"GetInstallPath","origin":"http://127.0.0.1:8080"})";
    const struct {
        std::string installPath;
        std::string answer;
    } paths[] = {
        {"", R"({"result":""})"},
        // D:\软件\RUVI\ in UTF-8: passed on as it is.
        {"D:\\\xe8\xbd\xaf\xe4\xbb\xb6\\RUVI\\",
         "{\"result\":\"D:\\\\\xe8\xbd\xaf\xe4\xbb\xb6\\\\RUVI\\\\\"}"},
        {"C:\\a\"b\x01\t\\", R"({"result":"C:\\a\"b\u0001\t\\"})"},
    };
    for (const auto& test : paths) {
        FakeRecords records;
        records.installPath = test.installPath;
        EXPECT_EQ(Answer(request, records), test.answer);
    }

    const std::string check = R"({"method":"CheckIntegrity","origin":"http://127.0.0.1:8080"})";
    for (long code = 0; code <= 4; ++code) {
        FakeRecords records;
        records.integrity = code;
        EXPECT_EQ(Answer(check, records), R"({"result":)" + std::to_string(code) + "}");
    }
}

TEST(BridgeProtocol, SurrogatePairsBecomeOneCharacter) {
    const std::optional<BridgeRequest> request =
        ParseRequest(R"({"method":"CheckIntegrity","origin":"\ud83d\ude00\u00e9"})");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, BridgeMethod::kCheckIntegrity);
    EXPECT_EQ(request->origin, "\xf0\x9f\x98\x80\xc3\xa9");
}

}  // namespace
