#include "log_text.h"

#include <gtest/gtest.h>

namespace {

TEST(LogText, JsonStringsStayValidJsonOnOneLineWhateverTheBytes) {
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"", "\"\""},
        {"/RUVServer//RUVS?method=report", "\"/RUVServer//RUVS?method=report\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\nforged\r\t\x01\x7f", "\"line\\u000aforged\\u000d\\u0009\\u0001\\u007f\""},
        {"\xe4\xb8\xad\xf0\x9f\x98\x80", "\"\xe4\xb8\xad\xf0\x9f\x98\x80\""},  // 中 and an emoji
        {"\xd6\xd0", "\"\\u00d6\\u00d0\""},                                    // 中 in GBK
        {"\xc0\xaf", "\"\\u00c0\\u00af\""},                                    // overlong "/"
        {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},                         // a surrogate
        {"\xe4\xb8", "\"\\u00e4\\u00b8\""},                                    // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

TEST(LogText, LogTextStaysValidUtf8OnOneLineWhateverTheBytes) {
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"plain text", "plain text"},
        {"line\nforged\r\t\x01\x7f\\", "line\\nforged\\r\\t\\x01\\x7f\\\\"},
        {"\xe4\xb8\xad\xf0\x9f\x98\x80", "\xe4\xb8\xad\xf0\x9f\x98\x80"},  // 中 and an emoji
        {"\xd6\xd0", "\\xd6\\xd0"},                                        // 中 in GBK
        {"\xc0\xaf", "\\xc0\\xaf"},                                        // overlong "/"
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},                               // a surrogate
        {"\xe4\xb8", "\\xe4\\xb8"},                                        // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeLogText(c.text), c.escaped) << c.text;
}

}  // namespace
