#include <filesystem>

#include "child_text_edits.h"
#include "command_files.h"
#include "commands.h"
#include "core/xml_document.h"
#include "declared_downloads.h"
#include "element_spans.h"
#include "file_output.h"
#include "installation_plan.h"
#include "terminal_text.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {

// The Operation elements in the bytes, in the order the plan lists them.
std::vector<const CElementSpan*> OperationSpans(const CElementSpan& root, std::size_t expected) {
    std::vector<const CElementSpan*> spans;
    if (const CElementSpan* list = root.FirstChild("OperationList")) {
        for (const CElementSpan& child : list->children) {
            if (child.name == "Operation") spans.push_back(&child);
        }
    }
    if (spans.size() != expected) throw CToolFailure(kPlanMarkupUnreadable);
    return spans;
}

class CPlanHasher {
public:
    CPlanHasher(const std::filesystem::path& folder, std::ostream& out)
        : plan_(LoadInstallationPlan(folder)),
          text_(plan_.document.begin(), plan_.document.end()),
          out_(out) {
        // Markup bytes can be found by their value only where ASCII stays
        // ASCII; UTF-16 and UTF-32 carry zero bytes.
        if (text_.find('\0') != std::string::npos) throw CToolFailure(kPlanNotAsciiCompatible);
        downloads_ = LocalDownloads(plan_, folder, kDefaultBasePath, nullptr);
    }

    const std::string& Original() const { return text_; }

    // plan.xml as it should read.
    std::string Hashed() {
        const CElementSpan root = ScanElements(text_);
        const auto spans = OperationSpans(root, plan_.operations.size());
        for (std::size_t i = 0; i < plan_.operations.size(); ++i) {
            const CPlanOperation& operation = plan_.operations[i];
            if (operation.IsDownload() && !operation.url.empty()) HashDownload(i, *spans[i]);
            if (operation.IsSetupRun()) HashSetupRun(i, *spans[i]);
        }
        return ApplyEdits(text_, edits_);
    }

private:
    void HashDownload(std::size_t index, const CElementSpan& span) {
        const std::string url = ToTerminal(plan_.operations[index].url);
        const CLocalDownload* download = FindLocalDownload(downloads_, index);
        if (download == nullptr) {
            out_ << url << kNotHashed << '\n';
            return;
        }
        const CFileFacts& facts = files_.Of(download->file);
        const std::string hex = HexOf(facts.sha256);
        Add(SetChildTexts(text_, span, {{"Sha256", hex}, {"Size", std::to_string(facts.size)}}));
        out_ << url << ": " << facts.size << kBytesLabel << hex << '\n';
    }

    void HashSetupRun(std::size_t index, const CElementSpan& span) {
        const auto runs = DownloadRunBy(plan_, index);
        const CLocalDownload* download = runs ? FindLocalDownload(downloads_, *runs) : nullptr;
        if (download == nullptr) return;
        const std::string hex = HexOf(files_.Of(download->file).sha256);
        Add(SetChildTexts(text_, span, {{"Sha256", hex}}));
        out_ << kSetupRunLabel << ToTerminal(plan_.operations[index].execName) << kSha256Label
             << hex << '\n';
    }

    void Add(const std::vector<CTextEdit>& edits) {
        edits_.insert(edits_.end(), edits.begin(), edits.end());
    }

    const CInstallationPlan plan_;
    const std::string text_;
    std::ostream& out_;
    std::vector<CLocalDownload> downloads_;
    CFileFactsCache files_;
    std::vector<CTextEdit> edits_;
};

}  // namespace

// A plan that already holds the right values is left untouched.
void RunHashPlan(const CommandArguments& arguments, std::ostream& out) {
    ExpectArgumentCount(arguments, 1);
    const std::filesystem::path folder = arguments[0];
    CXmlRuntime runtime;
    CPlanHasher hasher(folder, out);
    const std::string hashed = hasher.Hashed();
    if (hashed != hasher.Original()) {
        WriteFileReplacing((folder / "plan.xml").string(),
                           ByteVector(hashed.begin(), hashed.end()));
    }
}
