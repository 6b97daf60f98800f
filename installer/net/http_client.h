#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_vector.h"
#include "net/proxy_settings.h"

class IProgressSink;
class IResponseSink;

// One HTTP POST per call over WinINet: sends a body held in memory and reads
// the answer into response, or hands it to a sink as it arrives. Keeps no
// connection between calls.
class HttpClient {
public:
    // Body of the latest successful Post.
    ByteVector response;
    // HTTP status of the latest Post's answer; 0 when none came.
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

private:
    void Exchange(const std::string& url, IProgressSink* progressWindow, const ByteVector& body,
                  IResponseSink& sink);
    std::string ProxyAddress() const;
};
