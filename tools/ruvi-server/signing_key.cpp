#include "signing_key.h"

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
