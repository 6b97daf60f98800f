#pragma once

#include <xercesc/dom/DOM.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>

#include <cstddef>
#include <memory>
#include <string>

// Starts the XML runtime for its lifetime. Every holder must be destroyed
// before the runtime stops. Guards may nest. On Windows the first one comes
// before any other thread that reads HKEY_CLASSES_ROOT
// (core/xml_machine_charsets.h).
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

// Parses length bytes at data into holder. Returns "" on success, else the
// error text: the collected warning, error and fatal-error lines when the
// parser counted an error, or the failure's own text. bufferId only names
// the document in the parser's messages. Nothing outside the bytes is read:
// a document that needs an external DTD, entity or schema fails.
std::string ParseXmlBuffer(const char* bufferId, CXmlDocument& holder, const void* data,
                           std::size_t length);

// First direct child of parent whose node name equals name, or null.
xercesc::DOMNode* FindChildElement(const char* name, const xercesc::DOMNode* parent);

// Attribute value in the local code page; absent reads as "" (and true).
// False, with out untouched, when element is not an element.
bool GetAttributeText(std::string& out, const xercesc::DOMNode* element, const char* name);

// Direct text-node children joined, in the local code page (CDATA sections,
// comments and nested elements are not part of it). False, with out
// untouched, when node is not an element.
bool GetElementText(std::string& out, const xercesc::DOMNode* node);
