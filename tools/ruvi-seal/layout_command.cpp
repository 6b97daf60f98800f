#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "answer_sealer.h"
#include "command_files.h"
#include "commands.h"
#include "core/xml_document.h"
#include "declared_downloads.h"
#include "file_output.h"
#include "installation_plan.h"
#include "key_files.h"
#include "save_name.h"
#include "terminal_text.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {

constexpr std::size_t kDesKeyLength = 8;
constexpr char kAnswerFile[] = "answer";
constexpr char kNonceFile[] = "answer.nonce";
constexpr char kSignatureFile[] = "answer.signature";
constexpr char kFilesFolder[] = "files";

struct LayoutOptions {
    std::filesystem::path plan;
    std::filesystem::path output;
    std::optional<std::string> signingKey;
    AnswerSealing sealing = AnswerSealing::Secure;
    std::string desKey;
};

LayoutOptions ParseOptions(const CommandArguments& arguments) {
    std::optional<std::string> plan, output, signingKey, mode, desKey;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "-o" || name == "--output") {
            SetOptionOnce(output, name, arguments, i);
        } else if (name == "--signing-key") {
            SetOptionOnce(signingKey, name, arguments, i);
        } else if (name == "--mode") {
            SetOptionOnce(mode, name, arguments, i);
        } else if (name == "--des-key") {
            SetOptionOnce(desKey, name, arguments, i);
        } else if (name.starts_with("-")) {
            throw CUsageError(kUnknownOption + name);
        } else if (plan) {
            throw CUsageError(kWrongArgumentCount);
        } else {
            plan = name;
        }
    }
    if (!plan) throw CUsageError(kPlanFolderMissing);
    if (!output) throw CUsageError(kOutputFolderMissing);
    if (mode && *mode != "secure" && *mode != "des") throw CUsageError(kLayoutModeUnknown);
    const bool des = mode == "des";
    if (des != desKey.has_value()) throw CUsageError(des ? kDesKeyMissing : kDesKeyWithoutDes);
    LayoutOptions options{
        *plan, *output, signingKey, des ? AnswerSealing::Des : AnswerSealing::Secure, {}};
    if (des) {
        options.desKey = GbkArgument(*desKey);
        if (options.desKey.size() != kDesKeyLength) throw CUsageError(kDesKeyLength8);
    }
    return options;
}

// A file of the layout's files/ folder: its name there (as the file system
// names it) and the plan's file it is a copy of.
struct LayoutFile {
    std::string name;
    std::filesystem::path source;
};

// The name as Windows tells names apart: ASCII letters without case.
std::string FoldedName(const std::string& gbk) {
    std::string folded = gbk;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte >= 0x80) {
            ++i;  // a double-byte character, as IsPlainSaveName found it
        } else {
            folded[i] = static_cast<char>(std::tolower(byte));
        }
    }
    return folded;
}

// Each FileDownload's file by its save name. Every download must come from
// the plan folder, its declared Size and Sha256 must match, and its save
// name must be one a folder can hold; two downloads may share a save name
// only when they fetch the same file.
std::vector<LayoutFile> LayoutFiles(const CInstallationPlan& plan,
                                    const std::filesystem::path& folder) {
    const std::vector<CLocalDownload> downloads =
        LocalDownloads(plan, folder, kDefaultBasePath, nullptr);
    CFileFactsCache facts;
    CheckDeclaredDownloads(plan, downloads, facts);
    std::vector<LayoutFile> files;
    std::vector<std::string> foldedNames;
    for (std::size_t i = 0; i < plan.operations.size(); ++i) {
        const CPlanOperation& operation = plan.operations[i];
        if (!operation.IsDownload()) continue;
        const CLocalDownload* download = FindLocalDownload(downloads, i);
        if (download == nullptr) {
            throw CToolFailure(kNotOfThePlanFolder + ToTerminal(operation.url) + "\"");
        }
        const std::string name = ToTerminal(operation.saveName);
        if (!IsPlainSaveName(operation.saveName) || FromTerminal(name) != operation.saveName) {
            throw CToolFailure(kNotAPlainSaveName + name + "\"");
        }
        const std::string folded = FoldedName(operation.saveName);
        const auto same = std::find(foldedNames.begin(), foldedNames.end(), folded);
        if (same == foldedNames.end()) {
            foldedNames.push_back(folded);
            files.push_back({name, download->file});
        } else if (!std::filesystem::equivalent(files[same - foldedNames.begin()].source,
                                                download->file)) {
            throw CToolFailure(kSaveNameTwice + name + "\"");
        }
    }
    return files;
}

ByteVector Line(const std::string& text) {
    ByteVector line(text.begin(), text.end());
    line.push_back('\n');
    return line;
}

// An unsigned layout keeps no signature of an earlier one beside it.
void RemoveStale(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) throw CToolFailure(kCannotRemove + file.string());
}

}  // namespace

void RunLayout(const CommandArguments& arguments, std::ostream& out) {
    const LayoutOptions options = ParseOptions(arguments);
    CXmlRuntime runtime;
    const CInstallationPlan plan = LoadInstallationPlan(options.plan);
    const std::vector<LayoutFile> files = LayoutFiles(plan, options.plan);
    const ByteVector answer = SealAnswer(plan.document, options.sealing, options.desKey);
    std::optional<CAnswerSignature> signature;
    if (options.signingKey) signature = SignAnswerWithKeyFile(*options.signingKey, answer);

    const std::filesystem::path& layout = options.output;
    std::error_code error;
    std::filesystem::create_directories(layout / kFilesFolder, error);
    if (error) throw CToolFailure(kCannotWrite + (layout / kFilesFolder).string());
    CStagedFiles staged;
    staged.Write((layout / kAnswerFile).string(), answer);
    if (signature) {
        staged.Write((layout / kNonceFile).string(), Line(signature->nonce));
        staged.Write((layout / kSignatureFile).string(), Line(signature->signature));
    }
    for (const LayoutFile& file : files) {
        staged.Copy((layout / kFilesFolder / file.name).string(), file.source.string());
    }
    staged.Place();
    if (!signature) {
        RemoveStale(layout / kNonceFile);
        RemoveStale(layout / kSignatureFile);
    }

    out << kAnswerFile << ": " << answer.size() << kBytesUnit
        << (signature ? kSignedOverNonce + signature->nonce : std::string()) << '\n';
    for (const LayoutFile& file : files) {
        out << kFilesFolder << '/' << file.name << ": " << std::filesystem::file_size(file.source)
            << kBytesUnit << '\n';
    }
}
