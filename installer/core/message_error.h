#pragma once

#include <exception>
#include <string>

// A failure that carries one message text in the local code page (GBK).
// Layers may catch it, put their own prefix in front and throw or store it
// again; anything that is not a CMessageError becomes a fixed text of the
// layer that catches it.
class CMessageError : public std::exception {
public:
    explicit CMessageError(std::string text) : text_(std::move(text)) {}

    const std::string& Text() const noexcept { return text_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};
