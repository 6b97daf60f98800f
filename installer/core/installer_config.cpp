#include "core/installer_config.h"

#include <optional>

#include "core/config_messages.h"
#include "core/file_bytes.h"
#include "core/message_error.h"
#include "core/secure_stream.h"
#include "core/trust_key.h"
#include "core/xml_document.h"

namespace {

std::string ServerUrlOf(const xercesc::DOMNode* root) {
    const xercesc::DOMNode* server = FindChildElement(kConfigServerElement, root);
    if (server == nullptr) throw CMessageError(kConfigServerMissing);
    std::string url;
    if (!GetElementText(url, server) || url.empty()) throw CMessageError(kConfigServerEmpty);
    return url;
}

const xercesc::DOMNode* EncryptElementOf(const xercesc::DOMNode* root) {
    const xercesc::DOMNode* encrypt = FindChildElement(kConfigEncryptElement, root);
    if (encrypt == nullptr) throw CMessageError(kConfigEncryptMissing);
    return encrypt;
}

CommEncryptMode ModeOf(const xercesc::DOMNode* encrypt) {
    std::string type;
    if (!GetAttributeText(type, encrypt, kConfigEncryptTypeAttribute) || type.empty()) {
        throw CMessageError(kConfigEncryptTypeUnknown);
    }
    return type == kConfigDesType ? CommEncryptMode::Des : CommEncryptMode::Secure;
}

std::string DesKeyOf(const xercesc::DOMNode* encrypt) {
    std::string key;
    if (!GetElementText(key, encrypt) || key.empty()) throw CMessageError(kConfigDesKeyMissing);
    return key;
}

// An element that is there but empty is refused like any other text that is
// not a key: whoever wrote it meant to pin one.
ByteVector TrustKeyOf(const xercesc::DOMNode* root) {
    const xercesc::DOMNode* element = FindChildElement(kConfigTrustKeyElement, root);
    if (element == nullptr) return {};
    std::string text;
    std::optional<ByteVector> point;
    if (GetElementText(text, element)) point = ParseTrustKey(text);
    if (!point) throw CMessageError(kConfigTrustKeyInvalid);
    return *point;
}

// Each field is stored as soon as it is read, so a later failure leaves the
// earlier fields filled.
void ReadFields(CInstallerConfig& config, const xercesc::DOMNode* root) {
    config.serverUrl = ServerUrlOf(root);
    const xercesc::DOMNode* encrypt = EncryptElementOf(root);
    config.encryptionMode = ModeOf(encrypt);
    if (config.encryptionMode == CommEncryptMode::Des) {
        config.desKey = DesKeyOf(encrypt);
        if (config.desKey.size() != kConfigDesKeyLength) {
            throw CMessageError(kConfigDesKeyLengthWrong);
        }
    }
    config.trustKey = TrustKeyOf(root);
}

}  // namespace

void CInstallerConfig::LoadConfig(const std::string& path, bool encoded) {
    LoadConfigFrom(ReadFileBytes(path).value_or(ByteVector()), encoded);
}

// A trust key from an earlier file never outlives a file that fails to read.
void CInstallerConfig::LoadConfigFrom(const ByteVector& fileBytes, bool encoded) {
    trustKey.clear();
    if (fileBytes.empty()) throw CMessageError(kConfigReadFailed);
    ByteVector decoded;
    if (encoded) SecureDecrypt(fileBytes, decoded);
    const ByteVector& content = encoded ? decoded : fileBytes;

    CXmlDocument holder;
    if (!ParseXmlBuffer(kConfigBufferId, holder, content.data(), content.size()).empty()) {
        throw CMessageError(kConfigFormatWrong);
    }
    try {
        ReadFields(*this, holder.root);
    } catch (const CMessageError&) {
        throw;
    } catch (...) {
        throw CMessageError(kConfigUnknownFailure);
    }
}
