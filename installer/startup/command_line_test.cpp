#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SwitchesTakeSlashOrDashInAnyCaseAndAnythingElseIsBad) {
    struct Case {
        std::vector<std::string> arguments;
        bool silent;
        bool launch;
        std::string logPath;
        std::optional<std::string> bad;
    };
    const Case cases[] = {
        {{}, false, false, "", std::nullopt},
        {{"/silent"}, true, false, "", std::nullopt},
        {{"-SILENT", "/Launch"}, true, true, "", std::nullopt},
        {{"/launch"}, false, true, "", std::nullopt},
        {{"/log:C:\\Logs\\run 1.log"}, false, false, "C:\\Logs\\run 1.log", std::nullopt},
        {{"-LOG:a.log", "/silent", "/log:b.log"}, true, false, "b.log", std::nullopt},
        {{"/log:"}, false, false, "", "/log:"},
        {{"/log"}, false, false, "", "/log"},
        {{"/silent", "/quiet", "-x"}, true, false, "", "/quiet"},
        {{"silent"}, false, false, "", "silent"},
        {{"/silentx"}, false, false, "", "/silentx"},
        {{"/"}, false, false, "", "/"},
        {{""}, false, false, "", ""},
        {{"/layout:"}, false, false, "", "/layout:"},
        {{"-SOURCE:"}, false, false, "", "-SOURCE:"},
        // A layout is made, never run or launched.
        {{"/layout:D:\\l", "/silent", "/source:E:\\l"}, true, false, "", "/source:E:\\l"},
        {{"/Source:E:\\l", "-LAYOUT:D:\\l"}, false, false, "", "-LAYOUT:D:\\l"},
        {{"/launch", "/layout:D:\\l"}, false, true, "", "/layout:D:\\l"},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = ParseCommandLine(c.arguments);
        const std::string name = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(parsed.silent, c.silent) << name;
        EXPECT_EQ(parsed.launch, c.launch) << name;
        EXPECT_EQ(parsed.logPath, c.logPath) << name;
        EXPECT_EQ(parsed.badArgument, c.bad) << name;
    }

    const CommandLine layout = ParseCommandLine({"/LAYOUT:C:\\a b", "-silent", "/layout:D:\\l"});
    EXPECT_EQ(layout.layoutPath, "D:\\l");
    EXPECT_EQ(layout.sourcePath, "");
    EXPECT_FALSE(layout.badArgument.has_value());
    const CommandLine source =
        ParseCommandLine({"-Source:\\\\share\\layout", "/silent", "/launch"});
    EXPECT_EQ(source.sourcePath, "\\\\share\\layout");
    EXPECT_TRUE(source.launch);
    EXPECT_FALSE(source.badArgument.has_value());
}

}  // namespace
