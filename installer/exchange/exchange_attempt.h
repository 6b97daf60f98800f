#pragma once

#include <cstddef>
#include <string>

// What the check of an answer's signature found: Unsigned when there was
// none to check (no trusted key configured).
enum class SignatureVerdict { Unsigned, Valid, Invalid };

// What one attempt of the initial exchange did, for the install log.
struct ExchangeAttempt {
    std::string url;  // empty when the attempt ended before its request
    SignatureVerdict signature = SignatureVerdict::Unsigned;
    // From an offline layout: its folder and the answer's size.
    std::string layout;
    std::size_t layoutAnswerBytes = 0;
};
