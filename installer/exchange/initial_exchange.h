#pragma once

#include <cstddef>
#include <string>

#include "core/byte_vector.h"
#include "core/installer_config.h"
#include "exchange/layout_answer.h"
#include "operations/operator_base.h"

class CInstallerContext;

// The largest answer to the initial request. A real plan is a few
// kilobytes; the parser runs on the window thread before there is a window,
// so a large answer would hold the installer up with nothing on screen.
inline constexpr std::size_t kInitialAnswerLimit = 64 * 1024;

// What one attempt of the initial exchange ends with.
struct ExchangeOutcome {
    // The answer's operations; after a failure, those built before it.
    OperationList operations;
    // "初始化错误：" + the first failure's text; empty when the attempt
    // succeeded.
    std::string failure;
    // The answer as it came, for an offline layout to keep.
    RecordedAnswer answer;

    bool Succeeded() const { return failure.empty(); }
};

// Asks the server what to do: reads the configuration from the installer's
// install folder, posts once to the server's "ruvinstall" address, checks the
// answer's signature in trusted mode, decodes and checks the answer and
// builds its operations. With an offline layout in the context, the answer
// is the layout's (see layout_answer.h) and nothing goes to the network; in
// trusted mode its signature is checked over the nonce the layout names.
// Never throws.
ExchangeOutcome RunInitialExchange(CInstallerContext& context);

// plain receives the answer document that body carries in the given mode.
// Throws CMessageError.
void DecodeResponse(CommEncryptMode mode, const ByteVector& body, ByteVector& plain,
                    std::string key);

// Parses the answer document, checks the installer's version against the
// one it demands and appends the operations of its list. Throws
// CMessageError.
void ParseResponse(const char* document, std::size_t length, CInstallerContext& context,
                   OperationList& operationList);
