#include "operations/attribute_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/message_error.h"
#include "operations/operation_messages.h"

namespace {

struct TimeCase {
    const char* text;
    int seconds;        // when accepted
    const char* error;  // when refused
};

std::string TimeOutcome(const std::string& text) {
    try {
        return std::to_string(ParseTimeValue(text));
    } catch (const CMessageError& error) {
        return error.Text();
    }
}

TEST(ParseTimeValueTest, AcceptsPositiveSecondsAndNamesTheFirstBrokenRule) {
    using namespace operation_messages;
    const TimeCase cases[] = {
        {"120s", 120, nullptr},
        {"12xs", 12, nullptr},  // the number ends at the first non-digit
        {" 7s", 7, nullptr},
        {"+5s", 5, nullptr},
        {"99999999999s", INT_MAX, nullptr},  // saturates, does not wrap to a negative
        {"", 0, kTimeUnparsable},
        {"2m", 0, kTimeUnsupported},
        {"s5s", 0, kTimeUnsupported},  // the first "s" must be the last character
        {"5ss", 0, kTimeUnsupported},
        {"5S", 0, kTimeUnsupported},
        {"5s ", 0, kTimeUnsupported},
        {"0s", 0, kTimeNotPositive},
        {"-3s", 0, kTimeNotPositive},
        {"s", 0, kTimeNotPositive},
        {"xs", 0, kTimeNotPositive},
    };
    for (const TimeCase& c : cases) {
        const std::string expected = c.error ? c.error : std::to_string(c.seconds);
        EXPECT_EQ(TimeOutcome(c.text), expected) << "value \"" << c.text << "\"";
    }
}

TEST(ParseTimeValueTest, FailureTextsAreTheSystemsGbkBytes) {
    EXPECT_EQ(TimeOutcome(""),
              "\xce\xde\xb7\xa8\xbd\xe2\xce\xf6\xb5\xc4\xca\xb1\xbc\xe4\xb8\xf1"
              "\xca\xbd\xa3\xa1");
}

// The factory's tests cover the ordinary values.
TEST(ParseLeadingIntegerTest, ReadsDecimalOnlyAndSaturates) {
    EXPECT_EQ(ParseLeadingInteger("0x10"), 0);
    EXPECT_EQ(ParseLeadingInteger("99999999999"), INT_MAX);
    EXPECT_EQ(ParseLeadingInteger("-99999999999"), INT_MIN);
}

}  // namespace
