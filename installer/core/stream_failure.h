#pragma once

#include <exception>
#include <ios>
#include <string>

// The stream failure the secure stream raises. It keeps its text apart, as
// what() of the standard failure may append a description of its own error
// code, and the wrappers must report exactly the text that was raised.
class CStreamFailure : public std::ios_base::failure {
public:
    // text must outlive the failure (the texts are string constants).
    explicit CStreamFailure(const char* text) : std::ios_base::failure(text), text_(text) {}

    const char* Text() const noexcept { return text_; }

private:
    const char* text_;
};

// The text a failure reports: a stream failure's own text, otherwise what().
inline std::string FailureText(const std::exception& failure) {
    if (const auto* stream = dynamic_cast<const CStreamFailure*>(&failure)) return stream->Text();
    return failure.what();
}
