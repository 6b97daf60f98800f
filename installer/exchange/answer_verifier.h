#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/byte_vector.h"
#include "exchange/exchange_attempt.h"
#include "exchange/layout_answer.h"

class CInstallerConfig;
class HttpClient;

// Whether signatureText, the value of the answer's signature header, is the
// base64 (strict) of a DER ECDSA P-256 SHA-256 signature by the public key
// X || Y (trustKey) over SignedBytes(nonce, body) (see signed_answer.h).
bool IsAnswerSignedFor(const ByteVector& trustKey, std::string_view nonce,
                       const std::optional<std::string>& signatureText, const ByteVector& body);

// The request for the answer of one attempt, and the check of that answer.
// In trusted mode the request carries a nonce drawn for this attempt alone,
// and only an answer that the configured key signed over that very nonce
// passes. Outside it nothing is added to the request, and a signature that
// comes with the answer is not looked at.
class CAnswerVerifier {
public:
    // Draws the nonce in trusted mode. Throws std::runtime_error when the
    // system's random generator fails.
    explicit CAnswerVerifier(const CInstallerConfig& config);

    // Adds the nonce header to the client's request and has the client keep
    // the signature header of the answer; clears both outside trusted mode.
    void PrepareRequest(HttpClient& client) const;

    // Checks the client's latest answer before anything decodes it: Valid
    // in trusted mode, Unsigned outside it. Throws CMessageError with
    // "服务器应答签名无效" when the signature is missing, malformed, or not
    // the trust key's over this nonce and body.
    SignatureVerdict CheckAnswer(const HttpClient& client) const;

    // The client's latest answer as an offline layout keeps it: in trusted
    // mode with this attempt's nonce and the signature that came.
    RecordedAnswer Record(const HttpClient& client) const;

    // Checks an answer an offline layout kept, as CheckAnswer checks one
    // from the server, but over the nonce the layout names; that must have
    // the form installers send (32 lower-case hex digits).
    SignatureVerdict CheckRecordedAnswer(const RecordedAnswer& answer) const;

private:
    ByteVector trustKey_;  // empty outside trusted mode
    std::string nonce_;    // 32 lower-case hex digits
};
