#include "seal_tool.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "commands.h"
#include "core/message_error.h"
#include "terminal_text.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kWrongArguments = 2;

struct Command {
    std::string_view name;
    const char* usage;
    void (*run)(const CommandArguments&, std::ostream&);
};

constexpr Command kCommands[] = {
    {"seal", kSealUsage, RunSeal},
    {"open", kOpenUsage, RunOpen},
    {"make-config", kMakeConfigUsage, RunMakeConfig},
    {"check-config", kCheckConfigUsage, RunCheckConfig},
    {"des-encrypt", kDesEncryptUsage, RunDesEncrypt},
    {"keygen", kKeygenUsage, RunKeygen},
    {"hash-plan", kHashPlanUsage, RunHashPlan},
    {"layout", kLayoutUsage, RunLayout},
};

bool AsksForHelp(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int RunCommand(const Command& command, const CommandArguments& arguments, std::ostream& out,
               std::ostream& err) {
    const std::string prefix = std::string(kToolName) + ": " + std::string(command.name) + ": ";
    try {
        command.run(arguments, out);
        return kDone;
    } catch (const CUsageError& failure) {
        err << prefix << failure.what() << " (see '" << kToolName << ' ' << command.name
            << " --help')\n";
        return kWrongArguments;
    } catch (const CUnconfirmedRisk& failure) {
        err << prefix << failure.what() << '\n';
        return kWrongArguments;
    } catch (const CToolFailure& failure) {
        err << prefix << failure.what() << '\n';
    } catch (const CMessageError& failure) {
        err << prefix << ToTerminal(failure.Text()) << '\n';
    } catch (const std::exception& failure) {
        err << prefix << failure.what() << '\n';
    } catch (...) {
        err << prefix << "unexpected failure\n";
    }
    return kFailed;
}

}  // namespace

int RunSealTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        err << kToolUsage;
        return kWrongArguments;
    }
    if (arguments.front() == "--help" || arguments.front() == "-h" || arguments.front() == "help") {
        out << kToolUsage;
        return kDone;
    }
    const auto command =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const Command& c) { return c.name == arguments.front(); });
    if (command == std::end(kCommands)) {
        err << kToolName << ": " << kUnknownCommand << arguments.front() << " (see '" << kToolName
            << " --help')\n";
        return kWrongArguments;
    }
    const CommandArguments rest(arguments.begin() + 1, arguments.end());
    if (AsksForHelp(rest)) {
        out << command->usage;
        return kDone;
    }
    return RunCommand(*command, rest, out, err);
}
