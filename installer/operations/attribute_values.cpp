#include "operations/attribute_values.h"

#include <climits>
#include <cstdlib>

#include "core/message_error.h"
#include "operations/operation_messages.h"

int ParseLeadingInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int ParseTimeValue(const std::string& text) {
    if (text.empty()) throw CMessageError(operation_messages::kTimeUnparsable);
    const std::size_t unit = text.find('s');
    if (unit == std::string::npos || unit + 1 != text.size()) {
        throw CMessageError(operation_messages::kTimeUnsupported);
    }
    const int seconds = ParseLeadingInteger(text.substr(0, unit));
    if (seconds <= 0) throw CMessageError(operation_messages::kTimeNotPositive);
    return seconds;
}

bool ParseFlag(const std::string& text) { return text == "true"; }
