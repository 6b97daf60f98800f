#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Where each element of an XML document lies in its bytes, for edits that
// leave every other byte as it was. Reads documents in encodings that keep
// ASCII as it is (UTF-8, GBK: no byte of a multi-byte character is "<", ">"
// or a quote). The document must be well-formed (parse it first); one with
// a DOCTYPE is refused, as its entities could make a parser read elements
// that these positions do not show.
struct CElementSpan {
    std::string name;
    std::size_t begin = 0;         // its "<"
    std::size_t contentBegin = 0;  // after its start tag
    std::size_t contentEnd = 0;    // at its end tag (contentBegin when self-closing)
    std::size_t end = 0;           // after its end tag
    bool selfClosing = false;
    std::vector<CElementSpan> children;  // its child elements, in order

    // The first child of that name, or null.
    const CElementSpan* FirstChild(std::string_view childName) const;
};

// The document's root element. Throws CToolFailure.
CElementSpan ScanElements(std::string_view document);
