#pragma once

#include <cstddef>

// Where HttpClient::Post puts an answer's body while it arrives, piece by
// piece, so that a body of any size costs no more memory than one piece.
class IResponseSink {
public:
    // Takes the next piece of the body. False refuses it: the transfer ends
    // there, and Post fails.
    virtual bool Write(const char* bytes, std::size_t size) = 0;

    // Where the reader may put the next piece, size bytes long, so that the
    // sink takes it without a copy; the reader then passes those bytes to
    // Write as any other. The buffer stays the sink's. Nothing: the reader
    // uses its own.
    virtual char* PieceBuffer(std::size_t /*size*/) { return nullptr; }

protected:
    ~IResponseSink() = default;
};
