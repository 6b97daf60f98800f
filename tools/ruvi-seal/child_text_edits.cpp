#include "child_text_edits.h"

#include <algorithm>

namespace {

std::string Element(const std::string& name, const std::string& text) {
    return "<" + name + ">" + text + "</" + name + ">";
}

// The white space just before the element at position.
std::string_view LeadingSpace(std::string_view document, std::size_t position) {
    const std::size_t start = document.find_last_not_of(" \t\r\n", position - 1);
    const std::size_t from = start == std::string_view::npos ? 0 : start + 1;
    return document.substr(from, position - from);
}

}  // namespace

std::vector<CTextEdit> SetChildTexts(
    std::string_view document, const CElementSpan& parent,
    const std::vector<std::pair<std::string, std::string>>& texts) {
    std::vector<CTextEdit> edits;
    std::string added;
    const CElementSpan* last = parent.children.empty() ? nullptr : &parent.children.back();
    const std::string_view separator =
        last == nullptr ? std::string_view() : LeadingSpace(document, last->begin);
    for (const auto& [name, text] : texts) {
        const CElementSpan* child = parent.FirstChild(name);
        if (child == nullptr) {
            added += std::string(separator) + Element(name, text);
        } else if (child->selfClosing) {
            edits.push_back({child->begin, child->end, Element(name, text)});
        } else {
            edits.push_back({child->contentBegin, child->contentEnd, text});
        }
    }
    if (!added.empty()) {
        const std::size_t at = last == nullptr ? parent.contentEnd : last->end;
        edits.push_back({at, at, added});
    }
    return edits;
}

std::string ApplyEdits(std::string_view document, std::vector<CTextEdit> edits) {
    std::sort(edits.begin(), edits.end(),
              [](const CTextEdit& a, const CTextEdit& b) { return a.begin < b.begin; });
    std::string edited;
    std::size_t copied = 0;
    for (const CTextEdit& edit : edits) {
        edited.append(document.substr(copied, edit.begin - copied));
        edited += edit.text;
        copied = edit.end;
    }
    edited.append(document.substr(copied));
    return edited;
}
