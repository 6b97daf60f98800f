#pragma once

#include <cstdint>
#include <string>

class COperatorBase;

// The install log's lines of an operation: its start, and its end with the
// result and what the operation tells of its work (OperationFacts).
void LogOperationStart(const COperatorBase& operation);
void LogOperationEnd(const COperatorBase& operation, std::int64_t milliseconds);

// One source a download tried: where, from which offset, the answer's HTTP
// status (0 when none came), the bytes it wrote into the file and how long
// it took.
void LogDownloadSource(const std::string& label, const std::string& url, std::int64_t offset,
                       int status, std::uint64_t bytes, std::int64_t milliseconds);
