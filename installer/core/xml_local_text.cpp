#include "core/xml_local_text.h"

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>

#include <array>
#include <cstring>
#include <memory>
#include <stdexcept>

#ifdef _WIN32

// On Windows the library's own local transcoder is the ANSI code page, which
// is the installer's code page.
namespace {
struct XmlStringRelease {
    template <typename Char>
    void operator()(Char* text) const {
        xercesc::XMLString::release(&text);
    }
};
}  // namespace

std::string XmlToLocal(const XMLCh* text) {
    if (text == nullptr) return {};
    std::unique_ptr<char, XmlStringRelease> local(xercesc::XMLString::transcode(text));
    return local ? std::string(local.get()) : std::string();
}

std::optional<XmlString> LocalToXml(const char* text) {
    if (text == nullptr) return std::nullopt;
    std::unique_ptr<XMLCh, XmlStringRelease> wide(xercesc::XMLString::transcode(text));
    if (!wide) return std::nullopt;
    return XmlString(wide.get());
}

#else

// The host has no ANSI code page of its own to rely on: the installer's texts
// are GBK there as well, so the conversion names it.
namespace {
constexpr const char kLocalEncoding[] = "GBK";
constexpr XMLSize_t kTranscoderBlock = 1024;

std::unique_ptr<xercesc::XMLTranscoder> MakeLocalTranscoder() {
    xercesc::XMLTransService::Codes result = xercesc::XMLTransService::Ok;
    std::unique_ptr<xercesc::XMLTranscoder> transcoder(
        xercesc::XMLPlatformUtils::fgTransService->makeNewTranscoderFor(kLocalEncoding, result,
                                                                        kTranscoderBlock));
    if (!transcoder || result != xercesc::XMLTransService::Ok) {
        throw std::runtime_error("the XML library has no GBK transcoder");
    }
    return transcoder;
}
}  // namespace

std::string XmlToLocal(const XMLCh* text) {
    if (text == nullptr) return {};
    const XMLSize_t length = xercesc::XMLString::stringLen(text);
    if (length == 0) return {};
    auto transcoder = MakeLocalTranscoder();
    std::string local;
    std::array<XMLByte, 4 * kTranscoderBlock> chunk;
    XMLSize_t done = 0;
    while (done < length) {
        XMLSize_t eaten = 0;
        // Substitute rather than fail, as the Windows conversion does.
        const XMLSize_t written =
            transcoder->transcodeTo(text + done, length - done, chunk.data(), chunk.size(), eaten,
                                    xercesc::XMLTranscoder::UnRep_RepChar);
        if (eaten == 0) break;
        local.append(reinterpret_cast<const char*>(chunk.data()), written);
        done += eaten;
    }
    return local;
}

std::optional<XmlString> LocalToXml(const char* text) {
    if (text == nullptr) return std::nullopt;
    try {
        xercesc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(text), std::strlen(text),
                                       kLocalEncoding);
        return XmlString(wide.str(), wide.length());
    } catch (const xercesc::XMLException&) {
        return std::nullopt;
    }
}

#endif
