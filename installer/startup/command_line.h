#pragma once

#include <optional>
#include <string>
#include <vector>

// What the program was asked to do on its command line. Switches start
// with "/" or "-" and are read without regard to case:
//   /silent      run without a window or message box, and end with an exit
//                code that tells the outcome
//   /launch      with /silent: start the product after a run that succeeded
//   /log:PATH    write the install log to PATH instead of the log folder
//   /layout:DIR  write an offline layout of the plan into DIR, with no
//                window, and run nothing else
//   /source:DIR  run the plan of the offline layout in DIR instead of the
//                server's, without the network
struct CommandLine {
    bool silent = false;
    bool launch = false;
    std::string logPath;     // empty: the log folder
    std::string layoutPath;  // empty: no layout to write
    std::string sourcePath;  // empty: the server's plan
    // The first argument that is not one of the switches above (an unknown
    // switch, a word without "/" or "-", or a switch with ":" without a
    // path), or else the later of two that do not go together: /layout with
    // /source or with /launch.
    std::optional<std::string> badArgument;
};

// Reads the arguments after the program's name. A later /log:, /layout: or
// /source: wins over an earlier one of its kind.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The program's own arguments after its name, split as the C runtime
// splits them (quotes group, and are taken away), in the ANSI code page.
std::vector<std::string> ProgramArguments();
