#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The resume offset a download request asks for. The body is a secure
// stream around "<Request><Offset>N</Offset><BufferSize>0</BufferSize>
// </Request>"; BufferSize is always 0 and means nothing to the server.
// nullopt when the body does not open, the document does not parse, or
// Offset is not a non-negative decimal number. The XML runtime must be
// running.
std::optional<std::uint64_t> ReadDownloadOffset(const std::string& body);
