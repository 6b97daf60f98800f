#pragma once

#include <string>

// The value rules of the Operation element's attributes.

// Leading white space, an optional sign, then digits up to the first other
// character; no digits reads as 0. Values beyond int saturate instead of
// wrapping.
int ParseLeadingInteger(const std::string& text);

// Seconds written as a positive decimal number followed by one lower-case
// "s" at the very end ("120s"). Throws CMessageError with the time-format
// text of the first rule the value breaks.
int ParseTimeValue(const std::string& text);

// Only the exact text "true" is true.
bool ParseFlag(const std::string& text);
