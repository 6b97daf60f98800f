#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_vector.h"
#include "net/proxy_settings.h"

class IProgressSink;
class IResponseSink;

// What an answer begins with: enough to judge it before its body is read.
struct AnswerHead {
    int status = 0;
    std::optional<std::string> contentRange;
    std::optional<std::uint64_t> contentLength;
};

// Where the body of an answer goes, chosen once its head has arrived; null
// refuses the answer, which is then given up unread.
using BodySinkChooser = std::function<IResponseSink*(const AnswerHead& head)>;

// One HTTP request per call over WinINet: a POST that sends a body held in
// memory, or a GET of a file from a plain HTTP server; the answer goes into
// response, or to a sink as it arrives. Keeps no connection between calls.
class HttpClient {
public:
    // Body of the latest successful Post.
    ByteVector response;
    // HTTP status of the latest request's answer; 0 when none came.
    int lastStatus = 0;
    // Send through the explicit proxy in proxySettings; callers set it directly.
    bool useProxy = false;
    ProxySettings proxySettings;
    // The longest body a Post takes; callers set it directly. A longer one
    // fails with "服务器应答数据过大" as soon as its first byte past the limit
    // has arrived, so an endless answer costs no more than the limit. Bytes
    // past it never reach response or a sink.
    std::size_t responseLimit = std::numeric_limits<std::size_t>::max();
    // Header lines ("Name: value\r\n") that follow the fixed block; callers
    // set it directly.
    std::string extraHeaders;
    // The answer header whose value Post keeps in responseHeader; none when
    // empty. Callers set it directly.
    std::string keptHeaderName;
    // Its value in the latest successful Post's answer; nothing when that
    // answer had no such header.
    std::optional<std::string> responseHeader;

    // POSTs body to url (http[s]://host[:port]/path) with the fixed header
    // block and extraHeaders; the answer's body goes into response. Only
    // status 200 succeeds; redirections are not followed; a certificate
    // error is a network failure. While the body arrives, the progress
    // moves one step for each multiple of 400000 bytes that the body goes
    // past (progressWindow, the main window's progress bar, may be null).
    // Throws CMessageError with the failure's text after every handle it
    // opened is closed; the handles of an answer it gives up on before the
    // end of its body are left open instead, never read again (see
    // unread_answer.h).
    void Post(std::string url, IProgressSink* progressWindow, ByteVector body);
    // The same, but the body goes to sink in large pieces as they arrive and
    // response stays empty. What sink took before a failure stays taken; a
    // piece that sink refuses ends the transfer as cancelled.
    void Post(std::string url, IProgressSink* progressWindow, ByteVector body, IResponseSink& sink);

    // GETs url with the fixed header block and extraHeaders, no body, never
    // from the platform's cache, and for rangeStart > 0 with
    // "Range: bytes=rangeStart-". Redirections are not followed. Once the
    // answer's head is in, choose names the sink for its body (whatever its
    // status); when it names none, Get fails with "服务器内部错误" and the
    // answer is left unread. Otherwise as Post with a sink: the limit, the
    // progress, the failures.
    void Get(std::string url, IProgressSink* progressWindow, std::uint64_t rangeStart,
             const BodySinkChooser& choose);

private:
    void Exchange(const std::string& url, const char* verb, const std::string& headers,
                  const ByteVector& body, IProgressSink* progressWindow,
                  const BodySinkChooser& choose);
    void Send(const std::string& url, const char* verb, const std::string& headers,
              const ByteVector& body, IProgressSink* progressWindow, const BodySinkChooser& choose);
    std::string ProxyAddress() const;
};
