#include "core/xml_document.h"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>

#include "core/dom_err_handler.h"
#include "core/xml_local_text.h"
#ifdef _WIN32
#include "core/xml_machine_charsets.h"
#endif
#include "core/xml_messages.h"
#include "core/xml_parse_settings.h"

namespace {

std::string ParseInto(CXmlDocument& holder, const CDOMErrHandler& handler,
                      xercesc::InputSource& source) {
    holder.parser->parse(source);
    if (holder.parser->getErrorCount() > 0) {
        return handler.GetWarnings() + handler.GetErrors() + handler.GetFatalErrors();
    }
    holder.document = holder.parser->getDocument();
    if (holder.document == nullptr) return kXmlNoRoot;
    holder.document->normalize();
    holder.root = holder.document->getDocumentElement();
    if (holder.root == nullptr) return kXmlNoRoot;
    return {};
}

}  // namespace

CXmlRuntime::CXmlRuntime() {
#ifdef _WIN32
    StartXmlLibraryWithMachineCharsets();
#else
    xercesc::XMLPlatformUtils::Initialize();
#endif
}

CXmlRuntime::~CXmlRuntime() { xercesc::XMLPlatformUtils::Terminate(); }

CXmlDocument::CXmlDocument()
    : parser(std::make_unique<xercesc::XercesDOMParser>(
          nullptr, xercesc::XMLPlatformUtils::fgMemoryManager, nullptr)) {}

CXmlDocument::~CXmlDocument() {
    root = nullptr;
    document = nullptr;
    parser.reset();
}

std::string ParseXmlBuffer(const char* bufferId, CXmlDocument& holder, const void* data,
                           std::size_t length) {
    try {
        CDOMErrHandler handler;
        xercesc::MemBufInputSource source(static_cast<const XMLByte*>(data), length, bufferId,
                                          false);
        CXmlParseSettings settings(*holder.parser, handler);
        return ParseInto(holder, handler, source);
    } catch (const xercesc::XMLException& exception) {
        return XmlToLocal(exception.getMessage());
    } catch (const xercesc::DOMException& exception) {
        return XmlToLocal(exception.getMessage());
    } catch (...) {
        return kXmlUnknownException;
    }
}

xercesc::DOMNode* FindChildElement(const char* name, const xercesc::DOMNode* parent) {
    if (parent == nullptr || name == nullptr || !parent->hasChildNodes()) return nullptr;
    const auto wanted = LocalToXml(name);
    if (!wanted) return nullptr;
    for (xercesc::DOMNode* child = parent->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (xercesc::XMLString::equals(child->getNodeName(), wanted->c_str())) return child;
    }
    return nullptr;
}

bool GetAttributeText(std::string& out, const xercesc::DOMNode* element, const char* name) {
    if (element == nullptr || element->getNodeType() != xercesc::DOMNode::ELEMENT_NODE) {
        return false;
    }
    out.clear();
    const auto wanted = name != nullptr ? LocalToXml(name) : std::nullopt;
    if (!wanted) return true;
    const xercesc::DOMAttr* attribute =
        static_cast<const xercesc::DOMElement*>(element)->getAttributeNode(wanted->c_str());
    if (attribute != nullptr) out = XmlToLocal(attribute->getValue());
    return true;
}

bool GetElementText(std::string& out, const xercesc::DOMNode* node) {
    if (node == nullptr || node->getNodeType() != xercesc::DOMNode::ELEMENT_NODE) return false;
    out.clear();
    for (const xercesc::DOMNode* child = node->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() == xercesc::DOMNode::TEXT_NODE) {
            out += XmlToLocal(child->getNodeValue());
        }
    }
    return true;
}
