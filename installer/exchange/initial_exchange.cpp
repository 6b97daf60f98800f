#include "exchange/initial_exchange.h"

#include <xercesc/util/XMLString.hpp>

#include <utility>

#include "core/message_error.h"
#include "core/secure_stream.h"
#include "core/xml_document.h"
#include "exchange/answer_verifier.h"
#include "exchange/exchange_log.h"
#include "exchange/exchange_messages.h"
#include "exchange/installer_context.h"
#include "net/http_client.h"
#include "operations/operation_factory.h"
#include "platform/local_paths.h"
#include "platform/stopwatch.h"

namespace {

constexpr char kConfigFileName[] = "\\RUVI.config";
constexpr char kExchangeAddress[] = "ruvinstall";
constexpr char kAnswerBufferId[] = "RUV Installer Response";

bool IsOperationNode(const xercesc::DOMNode* node) {
    return xercesc::XMLString::equals(node->getNodeName(), u"Operation");
}

// The server's list must fit the window's rows; refuse a longer one before
// anything of it is built.
void CheckOperationCount(const xercesc::DOMNode* list, std::size_t alreadyListed) {
    std::size_t count = alreadyListed;
    for (const xercesc::DOMNode* node = list->getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (IsOperationNode(node)) ++count;
    }
    if (count > kMaxOperationCount) {
        throw CMessageError(exchange_messages::kInvalidOperationList);
    }
}

// The server's answer to the initial request, once its signature passed.
RecordedAnswer AskServer(CInstallerContext& context, ExchangeAttempt& attempt) {
    context.ReadBrowserProxySettings();
    context.serverBaseUrl = context.config.serverUrl;
    context.httpClient.responseLimit = kInitialAnswerLimit;
    attempt.url = context.serverBaseUrl + kExchangeAddress;
    const CAnswerVerifier verifier(context.config);
    verifier.PrepareRequest(context.httpClient);
    context.httpClient.Post(attempt.url, nullptr, ByteVector());
    // Invalid stays when the check throws.
    attempt.signature = SignatureVerdict::Invalid;
    attempt.signature = verifier.CheckAnswer(context.httpClient);
    return verifier.Record(context.httpClient);
}

// The offline layout's answer, once its signature passed.
RecordedAnswer ReadLayout(CInstallerContext& context, ExchangeAttempt& attempt) {
    context.serverBaseUrl = context.config.serverUrl;
    attempt.layout = context.offlineLayout;
    RecordedAnswer answer = ReadLayoutAnswer(context.offlineLayout, kInitialAnswerLimit);
    attempt.layoutAnswerBytes = answer.body.size();
    attempt.signature = SignatureVerdict::Invalid;
    attempt.signature = CAnswerVerifier(context.config).CheckRecordedAnswer(answer);
    return answer;
}

std::string RequiredVersion(const xercesc::DOMNode* root) {
    const xercesc::DOMNode* limit = FindChildElement("VersionLimit", root);
    if (limit == nullptr) throw CMessageError(exchange_messages::kVersionMissing);
    std::string version;
    if (!GetElementText(version, limit) || version.empty()) {
        throw CMessageError(exchange_messages::kVersionEmpty);
    }
    return version;
}

}  // namespace

void DecodeResponse(CommEncryptMode mode, const ByteVector& body, ByteVector& plain,
                    std::string key) {
    try {
        switch (mode) {
            case CommEncryptMode::Secure:
                SecureDecrypt(body, plain);
                return;
            case CommEncryptMode::Des:
                DesEcbDecrypt(body, plain, key);
                return;
        }
        throw CMessageError(exchange_messages::kUnknownEncryptionMode);
    } catch (const CMessageError&) {
        throw;
    } catch (...) {
        throw CMessageError(exchange_messages::kDecryptionFailed);
    }
}

void ParseResponse(const char* document, std::size_t length, CInstallerContext& context,
                   OperationList& operationList) {
    CXmlDocument answer;
    if (!ParseXmlBuffer(kAnswerBufferId, answer, document, length).empty()) {
        throw CMessageError(exchange_messages::kAnswerUnreadable);
    }
    if (!context.CheckVersion(RequiredVersion(answer.root))) {
        throw CMessageError(exchange_messages::kVersionRejected);
    }
    const xercesc::DOMNode* list = FindChildElement("OperationList", answer.root);
    if (list == nullptr) throw CMessageError(exchange_messages::kInvalidOperationList);
    CheckOperationCount(list, operationList.size());
    const OperationContext operationContext{context.serverBaseUrl, context.cacheDirectory,
                                            context.config.Trusted(), context.offlineLayout};
    for (const xercesc::DOMNode* node = list->getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (!IsOperationNode(node)) continue;
        operationList.push_back(CreateOperation(node, operationContext));
    }
    if (operationList.empty()) throw CMessageError(exchange_messages::kInvalidOperationList);
}

ExchangeOutcome RunInitialExchange(CInstallerContext& context) {
    ExchangeOutcome outcome;
    ExchangeAttempt attempt;
    const Stopwatch stopwatch;
    try {
        const std::string configPath = ReadInstallPath(kInstallerProductKey) + kConfigFileName;
        context.config.LoadConfig(configPath, true);
        LogConfiguration(context.config);
        outcome.answer = context.offlineLayout.empty() ? AskServer(context, attempt)
                                                       : ReadLayout(context, attempt);
        ByteVector plain;
        DecodeResponse(context.config.encryptionMode, outcome.answer.body, plain,
                       context.config.desKey);
        ParseResponse(plain.data(), plain.size(), context, outcome.operations);
    } catch (const CMessageError& error) {
        outcome.failure = exchange_messages::kExchangeFailedPrefix + error.Text();
    } catch (...) {
        outcome.failure = std::string(exchange_messages::kExchangeFailedPrefix) +
                          exchange_messages::kUnknownFailure;
    }
    LogExchangeAttempt(context, attempt, outcome.failure, stopwatch.Milliseconds());
    return outcome;
}
