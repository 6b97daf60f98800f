#pragma once

#include <string>
#include <vector>

// The Windows tests' side of the test-services host. Programs under Wine
// cannot start Linux programs, so ruvi-test-services does it for them: each
// test case registered with ruvi_add_service_test runs under
// tests/support/run-with-services, which starts a services host of its own
// and names it in RUVI_TEST_SERVICES. Everything a test starts through it is
// stopped when its lease ends, and at the latest with the test case.
//
// Every call throws std::runtime_error (failing the test with the host's
// reason) when the host cannot do what was asked.

class TestServices;

// Stops one started service when it goes away.
class ServiceLease {
public:
    ServiceLease(std::string controlUrl, int id);
    ~ServiceLease();

    ServiceLease(ServiceLease&& other) noexcept;
    ServiceLease& operator=(ServiceLease&&) = delete;
    ServiceLease(const ServiceLease&) = delete;
    ServiceLease& operator=(const ServiceLease&) = delete;

    // Ends the service at once, as a crash would: a ruvi-server is killed in
    // the middle of the answers it is sending. The lease is over then.
    void Kill();

private:
    std::string controlUrl_;
    int id_;
};

// The text of the file at path once it contains needle, for logs that a
// server writes just after its client had the answer; empty when no such
// text came in time.
std::string WaitForTextInFile(const std::string& path, const std::string& needle);

// A ruvi-server serving a plan folder on its own loopback port.
struct RuviServer {
    ServiceLease lease;
    std::string url;  // the server base URL, e.g. http://127.0.0.1:PORT/RUVServer/
    int port = 0;
    std::string accessLogPath;  // Z:\... its standard output, as this program sees it

    // The access log once it contains needle (see WaitForTextInFile).
    std::string WaitForLogLine(const std::string& needle) const;
    // Its GET /metrics.
    std::string Metrics() const;
};

// nginx with the shipped configuration (deploy/nginx/ruvi.conf) in front of
// ruvi-server instances, over plain HTTP on its own loopback port.
struct NginxProxy {
    ServiceLease lease;
    std::string url;  // the server base URL through nginx
    int port = 0;
    std::string accessLogPath;  // Z:\... as this program sees it
};

// A squid proxy with Basic authentication for one account.
struct SquidProxy {
    ServiceLease lease;
    int port = 0;
    std::string accessLogPath;  // Z:\... as this program sees it

    // "127.0.0.1:PORT", the form a proxy setting takes.
    std::string Address() const;

    // The access log once a line of it contains needle (see
    // WaitForTextInFile): squid writes a line when it has finished a request.
    std::string WaitForLogLine(const std::string& needle) const;
};

// A folder both sides see: the Windows test writes into windowsPath, a
// Linux program reads unixPath. Removed with the test case.
struct SharedFolder {
    std::string unixPath;
    std::string windowsPath;  // with no trailing backslash

    // Writes bytes to relativePath ("plan.xml", "files/setup.exe"),
    // creating the folders on the way.
    void WriteFile(const std::string& relativePath, const std::string& bytes) const;
};

// One fixed answer, from the services host, to every request whose URL
// starts with url: for answers that no real server of the system gives, such
// as a body of arbitrary bytes or a recorded answer played back.
struct CannedAnswer {
    SharedFolder folder;
    std::string url;  // ends with "/"; whatever follows is answered alike

    // The latest request as it arrived: method and target, one
    // "Name: value" line per header, an empty line, the body.
    std::string LastRequest() const;
};

// The services host's endless answer (services/scripted_answers.h): 200
// announcing 2^40 bytes, to every request below url, sent as fast as the
// client takes them.
struct EndlessAnswer {
    std::string url;  // ends with "/"
    int hostPort = 0;

    struct Counts {
        int requests = 0;
        unsigned long long sent = 0;  // body bytes the host's system took
        bool sending = false;         // an answer's send is under way
    };
    Counts Read() const;
};

// An ECDSA P-256 signing key made on the host by the openssl command.
struct SigningKey {
    std::string privateKeyUnixPath;  // PEM, for RuviServerSettings::signingKey
    std::string privateKeyPath;      // the same, Z:\... as this program sees it
    std::string trustKey;            // the configuration's TrustKey text
};

// A test CA and a server certificate for DNS:localhost that it signed, made
// on the host. Trust the CA in the prefix (crypt32, the "Root" store) to
// make WinINet accept the server.
struct TlsCertificate {
    std::string caCertPath;     // PEM, Z:\... as this program sees it
    std::string caCertDerPath;  // DER, Z:\...
    std::string caCertUnixPath;
    std::string certUnixPath;  // for RuviServerSettings::tlsCert
    std::string keyUnixPath;   // for RuviServerSettings::tlsKey
};

// How a ruvi-server is started; Unix paths, as the host sees them.
struct RuviServerSettings {
    std::string mode = "secure";  // or "des"
    std::string desKey;           // with mode "des"
    std::string base = "/RUVServer/";
    std::string signingKey;  // PEM: answers signed over the request's nonce
    std::string tlsCert;     // with tlsKey: HTTPS, and the server's URL names
    std::string tlsKey;      // "localhost" (Wine matches no IP address)

    // HTTPS with that certificate.
    RuviServerSettings& Tls(const TlsCertificate& certificate);
};

// A loopback port that nothing listened on a moment ago: for requests that
// must find no server.
int UnusedLoopbackPort();

class TestServices {
public:
    // The host named in RUVI_TEST_SERVICES.
    TestServices();

    // mode "secure" or "des" (then desKey is the key).
    RuviServer StartRuviServer(const std::string& planUnixPath, const std::string& mode = "secure",
                               const std::string& desKey = "",
                               const std::string& base = "/RUVServer/");
    RuviServer StartRuviServer(const std::string& planUnixPath, const RuviServerSettings& settings);

    // Each call makes a new one, removed with the test case.
    SigningKey MakeSigningKey();
    TlsCertificate MakeTlsCertificate();

    // With originPort, the proxy sends every request to 127.0.0.1:originPort
    // whatever its URL names (for a URL fixed at build time, such as the
    // proxy test's default server address).
    SquidProxy StartSquid(const std::string& user, const std::string& password, int originPort = 0);

    // With bytesPerSecond, nginx reads each instance's answers no faster
    // than that (after the first second's worth): a download slowed down
    // can be caught part-way. With filesUnixPath, its mirror serves that
    // folder's files (a plan folder's files/) at url + "files/NAME".
    NginxProxy StartNginx(const std::vector<int>& upstreamPorts, long long bytesPerSecond = 0,
                          const std::string& filesUnixPath = "");

    // The URL of one of the host's scripted answers (see
    // services/scripted_answers.h), e.g. "status/404", "bytes/1000",
    // "cut/100000/5000", "echo".
    std::string ScriptedUrl(const std::string& answer) const;

    EndlessAnswer ServeEndless() const;

    // status, the header lines ("Name: value\r\n") and body, to every
    // request below its URL.
    CannedAnswer ServeCanned(int status, const std::string& body, const std::string& headers = "");

    SharedFolder MakeSharedFolder();

private:
    std::string controlUrl_;
};
