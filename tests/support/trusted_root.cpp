#include "trusted_root.h"

#include <windows.h>
// after windows.h
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"

namespace {

struct CertStoreTraits {
    using Handle = HCERTSTORE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle store) { CertCloseStore(store, 0); }
};
using CertStore = UniqueHandle<CertStoreTraits>;

struct CertContextTraits {
    using Handle = PCCERT_CONTEXT;
    static Handle Empty() { return nullptr; }
    static void Close(Handle context) { CertFreeCertificateContext(context); }
};
using CertContext = UniqueHandle<CertContextTraits>;

std::vector<BYTE> ReadDer(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<BYTE> der((std::istreambuf_iterator<char>(file)), {});
    if (der.empty()) throw std::runtime_error("cannot read the certificate " + path);
    return der;
}

// The registry's part of the store, where an added certificate is kept: Wine
// deletes from the system store as a whole only in memory, and the
// certificate would come back with the next program.
CertStore OpenRootStore() {
    CertStore store(CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0,
                                  CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root"));
    if (!store) throw std::runtime_error("cannot open the LocalMachine Root store");
    return store;
}

}  // namespace

void AddTrustedRoot(const std::string& derPath) {
    const std::vector<BYTE> der = ReadDer(derPath);
    const CertStore store = OpenRootStore();
    if (!CertAddEncodedCertificateToStore(store.Get(), X509_ASN_ENCODING, der.data(),
                                          static_cast<DWORD>(der.size()),
                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
        throw std::runtime_error("the Root store refused the certificate " + derPath);
    }
}

void RemoveTrustedRoot(const std::string& derPath) {
    const std::vector<BYTE> der = ReadDer(derPath);
    const CertContext certificate(CertCreateCertificateContext(X509_ASN_ENCODING, der.data(),
                                                               static_cast<DWORD>(der.size())));
    if (!certificate) throw std::runtime_error("not a certificate: " + derPath);
    const CertStore store = OpenRootStore();
    // Deleting frees the found context, whatever the outcome.
    const PCCERT_CONTEXT found = CertFindCertificateInStore(
        store.Get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate.Get(), nullptr);
    if (found != nullptr && !CertDeleteCertificateFromStore(found)) {
        throw std::runtime_error("the Root store kept the certificate " + derPath);
    }
}

ScopedTrustedRoot::ScopedTrustedRoot(std::string derPath) : derPath_(std::move(derPath)) {
    AddTrustedRoot(derPath_);
}

ScopedTrustedRoot::~ScopedTrustedRoot() {
    try {
        RemoveTrustedRoot(derPath_);
    } catch (const std::exception&) {
        // The certificate expires in two days; nothing else relies on it.
    }
}
