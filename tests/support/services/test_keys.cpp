#include "test_keys.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "child_process.h"
#include "service_files.h"

namespace {

constexpr char kOpenssl[] = "/usr/bin/openssl";

void Openssl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), kOpenssl);
    if (RunToEnd(arguments) != 0)
        throw std::runtime_error("openssl " + arguments.at(1) + " failed");
}

std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string BothForms(const std::string& name, const std::string& unixPath) {
    return name + "Unix=" + unixPath + "\n" + name + "=" + WindowsPathOf(unixPath) + "\n";
}

}  // namespace

std::string MakeSigningKey(const std::string& folder) {
    const std::string key = folder + "/signing.pem";
    const std::string der = folder + "/signing.pub.der";
    const std::string text = folder + "/signing.pub.b64";
    Openssl({"genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", key});
    Openssl({"pkey", "-in", key, "-pubout", "-outform", "DER", "-out", der});
    Openssl({"base64", "-A", "-in", der, "-out", text});
    return BothForms("privateKey", key) + "trustKey=" + WithoutLineEnd(ReadWholeFile(text)) + "\n";
}

std::string MakeTlsCertificate(const std::string& folder) {
    const std::string ca = folder + "/ca.pem";
    const std::string caKey = folder + "/ca.key";
    const std::string caDer = folder + "/ca.der";
    const std::string cert = folder + "/localhost.pem";
    const std::string key = folder + "/localhost.key";
    const std::string request = folder + "/localhost.csr";
    const std::string extensions = folder + "/localhost.ext";
    Openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", caKey, "-out", ca, "-days",
             "2", "-subj", "/CN=ruvi test CA"});
    Openssl({"x509", "-in", ca, "-outform", "DER", "-out", caDer});
    Openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", request, "-subj",
             "/CN=localhost"});
    // Wine matches the certificate's DNS names, never an IP address.
    std::ofstream(extensions) << "subjectAltName=DNS:localhost\n"
                                 "extendedKeyUsage=serverAuth\n";
    Openssl({"x509", "-req", "-in", request, "-CA", ca, "-CAkey", caKey, "-CAcreateserial", "-out",
             cert, "-days", "2", "-extfile", extensions});
    return BothForms("caCert", ca) + BothForms("caCertDer", caDer) + "certUnix=" + cert +
           "\nkeyUnix=" + key + "\n";
}
