// Runs the operating system check in a process of its own, so that a test
// can have Wine report another Windows version to just this program.
// Writes the description the check sees to OUTFILE and exits with the
// check's result code.
// Usage: os_check_probe OUTFILE [BLACK-LISTED-DESCRIPTION...]
#include <fstream>

#include "operations/os_check.h"
#include "operations/os_description.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    COpOSCheck check("", "", "");
    for (int i = 2; i < argc; ++i) check.blackList.insert(argv[i]);
    std::ofstream(argv[1], std::ios::binary) << GetOSDescription();
    check.Run();
    return check.result.code;
}
