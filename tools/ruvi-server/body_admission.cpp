#include "body_admission.h"

#include <httplib.h>

#include <charconv>
#include <string>

namespace {

constexpr char kContentLength[] = "Content-Length";
constexpr char kTransferEncoding[] = "Transfer-Encoding";

bool IsDecimal(const std::string& text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

int BodyRefusal(const httplib::Request& request, std::uint64_t limit) {
    const std::size_t lengths = request.get_header_value_count(kContentLength);
    std::uint64_t length = 0;
    if (lengths > 1 ||
        (lengths == 1 && !IsDecimal(request.get_header_value(kContentLength), length))) {
        return 400;
    }
    const bool chunked = request.has_header(kTransferEncoding);
    if (request.method == "GET" || request.method == "HEAD") return chunked || length > 0 ? 400 : 0;
    if (request.method != "POST") return 405;
    if (chunked || lengths == 0) return 411;
    return length > limit ? 413 : 0;
}
