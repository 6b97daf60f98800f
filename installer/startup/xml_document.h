#pragma once

#include <xercesc/dom/DOM.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>

#include <cstddef>
#include <memory>
#include <sstream>
#include <string>

// Starts the XML runtime for its lifetime. Every holder must be destroyed
// before the runtime stops.
class CXmlRuntime {
public:
    CXmlRuntime();
    ~CXmlRuntime();
    CXmlRuntime(const CXmlRuntime&) = delete;
    CXmlRuntime& operator=(const CXmlRuntime&) = delete;
};

// Holds one parsed document; node pointers handed out by the readers are
// valid while the holder lives. A holder is used for exactly one parse.
class CXmlDocument {
public:
    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    xercesc::DOMElement* root = nullptr;
    std::unique_ptr<xercesc::XercesDOMParser> parser;
    xercesc::DOMDocument* document = nullptr;
};

// (CDOMErrHandler is declared here by the implementation.)

// Parses length bytes at data into holder. Returns "" on success, else the
// error text. bufferId only names the document in the parser's messages.
std::string ParseXmlBuffer(const char* bufferId, CXmlDocument& holder, const void* data,
                           std::size_t length);

// First direct child of parent whose node name equals name, or null.
xercesc::DOMNode* FindChildElement(const char* name, const xercesc::DOMNode* parent);

// Attribute value in the local code page; absent reads as "" (and true).
bool GetAttributeText(std::string& out, const xercesc::DOMNode* element, const char* name);

// Direct text-node children joined, in the local code page.
bool GetElementText(std::string& out, const xercesc::DOMNode* node);
