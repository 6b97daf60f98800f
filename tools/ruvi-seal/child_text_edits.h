#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "element_spans.h"

// One replacement in a document's bytes: [begin, end) becomes text.
struct CTextEdit {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string text;
};

// Edits that give parent's first child of each name the text given (already
// escaped), replacing what that child holds. Children that are missing are
// added after the last child element, in the order given, each preceded by
// the white space that precedes that last child, so they take its line and
// indentation (or at the end of the content of a parent without children;
// parent is not self-closing).
std::vector<CTextEdit> SetChildTexts(std::string_view document, const CElementSpan& parent,
                                     const std::vector<std::pair<std::string, std::string>>& texts);

// The document with the edits made; edits must not overlap.
std::string ApplyEdits(std::string_view document, std::vector<CTextEdit> edits);
