#include "answer_signature.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "startup_error.h"

std::unique_ptr<CP256Signer> LoadSigningKey(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    const std::string pem(std::istreambuf_iterator<char>(stream), {});
    if (!stream) throw CStartupError("cannot read the signing key " + file.string());
    try {
        return std::make_unique<CP256Signer>(pem);
    } catch (const CKeyError& error) {
        throw CStartupError("the signing key " + file.string() + ": " + error.what());
    }
}

bool IsAnswerNonce(std::string_view text) {
    return text.size() == 2 * kNonceBytes && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}
