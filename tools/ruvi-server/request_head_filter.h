#pragma once

#include <cstddef>
#include <optional>
#include <string>

// A request's head on its way to the HTTP layer, byte by byte: the request
// line, header lines, and the empty line (CR LF) that ends it, where the
// HTTP layer ends it too.
//
// Range and If-Range lines are held back. The HTTP layer would apply a
// Range to whatever the answer is (to a POST's download too, where
// overlapping ranges multiply what one request sends and counts) and answer
// 416 to one it cannot parse, whatever the method. The server applies them
// itself where they mean something: it reads them here.
class CRequestHeadFilter {
public:
    enum class Step { Going, Ended, TooLong };

    // A head of more than limit bytes is refused.
    explicit CRequestHeadFilter(std::size_t limit) : limit_(limit) {}

    // Takes the next byte of the head and appends what passes on to out.
    // Not to be called once the head has ended or was refused.
    Step Take(char byte, std::string& out);

    // The value of the Range line, as sent (white space around it dropped);
    // none when there was no such line or more than one.
    std::optional<std::string> Range() const;
    bool IfRangeSent() const { return ifRangeLines_ > 0; }

private:
    enum class State { RequestLine, LineStart, Passing, Holding };

    void EndHeldLine();

    std::size_t limit_;
    std::size_t taken_ = 0;
    State state_ = State::RequestLine;
    std::string lineStart_;  // of a header line, until its name is known
    bool holdingRange_ = false;
    std::string heldValue_;
    std::string rangeValue_;
    int rangeLines_ = 0;
    int ifRangeLines_ = 0;
};
