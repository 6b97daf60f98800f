// Makes the demo's CA trusted, or no longer, in the Wine prefix it runs in
// (the demo's own): WinINet then accepts the demo server's certificate.
// Prints nothing on success; exit code 0, 1 on failure, 2 for wrong usage.
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "trusted_root.h"

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "add") != 0 && std::strcmp(argv[1], "remove") != 0)) {
        std::fprintf(stderr, "usage: demo_trust_root add|remove CA.der\n");
        return 2;
    }
    try {
        if (std::strcmp(argv[1], "add") == 0) {
            AddTrustedRoot(argv[2]);
        } else {
            RemoveTrustedRoot(argv[2]);
        }
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
