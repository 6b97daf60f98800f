#include "answer_sealer.h"

#include <algorithm>

#include "core/des_ecb.h"
#include "core/message_error.h"
#include "core/secure_stream.h"
#include "plan_error.h"

namespace {

constexpr std::size_t kDesGroup = 8;

ByteVector SealWithDes(ByteVector document, const std::string& key) {
    // A one-byte space is white space only in encodings that keep ASCII as
    // it is; in UTF-16 or UTF-32 it would leave a broken last character.
    if (std::find(document.begin(), document.end(), '\0') != document.end()) {
        throw CPlanError(
            "DES answers need plan.xml in an ASCII-compatible encoding (UTF-8 or GBK)");
    }
    document.resize((document.size() + kDesGroup - 1) / kDesGroup * kDesGroup, ' ');
    ByteVector sealed;
    DesEcbEncrypt(document, sealed, key);
    return sealed;
}

}  // namespace

ByteVector SealAnswer(const ByteVector& document, AnswerSealing sealing,
                      const std::string& desKey) {
    try {
        if (sealing == AnswerSealing::Des) return SealWithDes(document, desKey);
        ByteVector sealed;
        SecureEncrypt(sealed, document);
        return sealed;
    } catch (const CMessageError& error) {
        throw CPlanError("cannot seal plan.xml: " + error.Text());
    }
}
