#include "request_head_filter.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

constexpr std::string_view kRange = "Range";
constexpr std::string_view kIfRange = "If-Range";
// A line start longer than this without a colon names neither.
constexpr std::size_t kLongestHeldName = kIfRange.size();

bool SameName(std::string_view name, std::string_view wanted) {
    return std::equal(name.begin(), name.end(), wanted.begin(), wanted.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

std::string_view TrimmedValue(std::string_view value) {
    constexpr std::string_view kSpace = " \t\r";
    const auto first = value.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return value.substr(first, value.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

CRequestHeadFilter::Step CRequestHeadFilter::Take(char byte, std::string& out) {
    if (++taken_ > limit_) return Step::TooLong;
    switch (state_) {
        case State::RequestLine:
        case State::Passing:
            out += byte;
            if (byte == '\n') state_ = State::LineStart;
            return Step::Going;
        case State::Holding:
            if (byte == '\n') {
                EndHeldLine();
                state_ = State::LineStart;
            } else {
                heldValue_ += byte;
            }
            return Step::Going;
        case State::LineStart:
            break;
    }
    lineStart_ += byte;
    if (byte == '\n') {
        // An empty line ends the head; a line without a colon means nothing
        // to the HTTP layer either.
        const bool ended = lineStart_ == "\r\n";
        out += lineStart_;
        lineStart_.clear();
        return ended ? Step::Ended : Step::Going;
    }
    if (byte == ':') {
        const std::string_view name(lineStart_.data(), lineStart_.size() - 1);
        if (SameName(name, kRange) || SameName(name, kIfRange)) {
            holdingRange_ = SameName(name, kRange);
            heldValue_.clear();
            state_ = State::Holding;
            lineStart_.clear();
            return Step::Going;
        }
    }
    if (byte == ':' || lineStart_.size() > kLongestHeldName) {
        out += lineStart_;
        lineStart_.clear();
        state_ = State::Passing;
    }
    return Step::Going;
}

void CRequestHeadFilter::EndHeldLine() {
    if (holdingRange_) {
        ++rangeLines_;
        rangeValue_ = TrimmedValue(heldValue_);
    } else {
        ++ifRangeLines_;
    }
}

std::optional<std::string> CRequestHeadFilter::Range() const {
    if (rangeLines_ != 1) return std::nullopt;
    return rangeValue_;
}
