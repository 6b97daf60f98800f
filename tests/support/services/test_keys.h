#pragma once

#include <string>

// Keys and certificates for trusted installs, made by the openssl command
// (independent of the project's own key code) into a folder that the
// caller owns. Each returns "name=value" lines; throws std::runtime_error
// when openssl fails.

// An ECDSA P-256 signing key: privateKeyUnix (PEM, for ruvi-server
// --signing-key), privateKey (the same as Windows programs see it), and
// trustKey, the configuration's TrustKey text of its public part.
std::string MakeSigningKey(const std::string& folder);

// A test CA and a server certificate for DNS:localhost that it signed (RSA
// 2048, valid for two days): caCertUnix and caCert (PEM), caCertDerUnix and
// caCertDer (DER, as crypt32 adds it to a store); the forms without "Unix"
// are the paths Windows programs see. certUnix and keyUnix (PEM) are for
// ruvi-server --tls-cert and --tls-key.
std::string MakeTlsCertificate(const std::string& folder);
