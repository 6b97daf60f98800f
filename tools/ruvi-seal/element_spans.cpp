#include "element_spans.h"

#include <algorithm>

#include "tool_failure.h"
#include "tool_messages.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n";

// The position just after the end of the markup that starts at start.
std::size_t After(std::string_view document, std::size_t start, std::string_view terminator) {
    const std::size_t found = document.find(terminator, start);
    if (found == std::string_view::npos) throw CToolFailure(kPlanMarkupUnreadable);
    return found + terminator.size();
}

// The ">" that ends the start tag at start, skipping quoted attribute values.
std::size_t StartTagEnd(std::string_view document, std::size_t start) {
    char quote = 0;
    for (std::size_t i = start; i < document.size(); ++i) {
        const char c = document[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    throw CToolFailure(kPlanMarkupUnreadable);
}

std::string_view TagName(std::string_view tag) {
    const std::size_t end = tag.find_first_of(" \t\r\n/>");
    return tag.substr(0, end);
}

class CScanner {
public:
    explicit CScanner(std::string_view document) : document_(document) {}

    CElementSpan Run() {
        std::size_t position = 0;
        while ((position = document_.find('<', position)) != std::string_view::npos) {
            position = Markup(position);
        }
        if (!open_.empty() || done_.empty()) throw CToolFailure(kPlanMarkupUnreadable);
        return std::move(done_.front());
    }

private:
    // Takes the markup at the "<" at start; returns the position after it.
    std::size_t Markup(std::size_t start) {
        const std::string_view rest = document_.substr(start);
        if (rest.starts_with("<!--")) return After(document_, start + 4, "-->");
        if (rest.starts_with("<![CDATA[")) return After(document_, start + 9, "]]>");
        if (rest.starts_with("<?")) return After(document_, start + 2, "?>");
        if (rest.starts_with("<!")) throw CToolFailure(kPlanHasDoctype);
        if (rest.starts_with("</")) return EndTag(start);
        return StartTag(start);
    }

    std::size_t StartTag(std::size_t start) {
        const std::size_t close = StartTagEnd(document_, start + 1);
        CElementSpan span;
        span.name = std::string(TagName(document_.substr(start + 1, close - start - 1)));
        span.begin = start;
        span.contentBegin = close + 1;
        span.selfClosing = document_[close - 1] == '/';
        if (span.selfClosing) {
            span.contentEnd = span.end = span.contentBegin;
            Close(std::move(span));
        } else {
            open_.push_back(std::move(span));
        }
        return close + 1;
    }

    std::size_t EndTag(std::size_t start) {
        const std::size_t close = After(document_, start + 2, ">");
        std::string_view name = document_.substr(start + 2, close - start - 3);
        name = name.substr(0, name.find_last_not_of(kWhiteSpace) + 1);
        if (open_.empty() || open_.back().name != name) throw CToolFailure(kPlanMarkupUnreadable);
        CElementSpan span = std::move(open_.back());
        open_.pop_back();
        span.contentEnd = start;
        span.end = close;
        Close(std::move(span));
        return close;
    }

    void Close(CElementSpan span) {
        if (open_.empty()) {
            done_.push_back(std::move(span));
        } else {
            open_.back().children.push_back(std::move(span));
        }
    }

    std::string_view document_;
    std::vector<CElementSpan> open_;
    std::vector<CElementSpan> done_;
};

}  // namespace

const CElementSpan* CElementSpan::FirstChild(std::string_view childName) const {
    const auto found =
        std::find_if(children.begin(), children.end(),
                     [&](const CElementSpan& child) { return child.name == childName; });
    return found == children.end() ? nullptr : &*found;
}

CElementSpan ScanElements(std::string_view document) { return CScanner(document).Run(); }
