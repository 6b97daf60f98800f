#pragma once

#include <cstdint>

class COperatorBase;

// The install log's lines of an operation: its start, and its end with the
// result and what the operation tells of its work (OperationFacts).
void LogOperationStart(const COperatorBase& operation);
void LogOperationEnd(const COperatorBase& operation, std::int64_t milliseconds);
