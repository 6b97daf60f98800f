#pragma once

// The tool's own texts. The installer's failure texts (GBK) reach the user
// as they stand, converted for the terminal.

inline constexpr const char kToolName[] = "ruvi-seal";

inline constexpr const char kToolUsage[] =
    "usage: ruvi-seal COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  seal IN OUT             write the secure stream of IN to OUT\n"
    "  open IN OUT             write the payload of the secure stream IN to OUT\n"
    "  make-config --server URL (--des KEY | --secure) -o FILE\n"
    "                          write a sealed installer configuration\n"
    "  check-config FILE       read FILE as the installer does and show what it holds\n"
    "  des-encrypt KEY IN OUT  encrypt IN with DES-ECB under KEY, as a server does\n"
    "\n"
    "Run 'ruvi-seal COMMAND --help' for one command. Exit status: 0 done,\n"
    "1 refused or failed, 2 wrong arguments.\n";

inline constexpr const char kSealUsage[] =
    "usage: ruvi-seal seal IN OUT\n"
    "Writes the secure stream of the file IN (any bytes) to OUT.\n";
inline constexpr const char kOpenUsage[] =
    "usage: ruvi-seal open IN OUT\n"
    "Decodes the secure stream IN and writes its payload to OUT.\n";
inline constexpr const char kMakeConfigUsage[] =
    "usage: ruvi-seal make-config --server URL (--des KEY | --secure) -o FILE\n"
    "Writes a sealed installer configuration (RUVI.config) naming the server\n"
    "base URL and how the server's answers are encrypted: DES-ECB under the\n"
    "8-byte KEY, or the secure stream. The installer appends its request\n"
    "paths to URL, so it normally ends with '/'. What the installer would\n"
    "refuse is refused with the installer's reason.\n";
inline constexpr const char kCheckConfigUsage[] =
    "usage: ruvi-seal check-config FILE\n"
    "Decodes and reads FILE exactly as the installer does and shows the server\n"
    "URL and the mode, or the installer's failure text (exit status 1).\n";
inline constexpr const char kDesEncryptUsage[] =
    "usage: ruvi-seal des-encrypt KEY IN OUT\n"
    "Pads IN with spaces to a multiple of 8 bytes and encrypts it with DES-ECB\n"
    "under the 8-byte KEY, as a server answers in DES mode.\n";

inline constexpr const char kUnknownCommand[] = "unknown command: ";
inline constexpr const char kWrongArgumentCount[] = "wrong number of arguments";
inline constexpr const char kUnknownOption[] = "unknown option: ";
inline constexpr const char kOptionNeedsValue[] = "option needs a value: ";
inline constexpr const char kOptionRepeated[] = "option given twice: ";
inline constexpr const char kModeMissing[] = "give one of --des KEY and --secure";
inline constexpr const char kServerOptionMissing[] = "--server URL is missing";
inline constexpr const char kOutputOptionMissing[] = "-o FILE is missing";

inline constexpr const char kCannotRead[] = "cannot read ";
inline constexpr const char kCannotWrite[] = "cannot write ";
inline constexpr const char kNotARegularFile[] = "not a regular file: ";
inline constexpr const char kNotTerminalText[] = "not UTF-8 text that GBK can represent: ";
inline constexpr const char kControlCharacter[] =
    "a configuration cannot hold control characters: ";
inline constexpr const char kNotStorable[] =
    "the configuration would not hold this text unchanged: ";
inline constexpr const char kNothingToEncrypt[] = "nothing to encrypt: the input is empty";

inline constexpr const char kServerLabel[] = "server: ";
inline constexpr const char kModeLabel[] = "mode: ";
inline constexpr const char kKeyLabel[] = "key: ";
inline constexpr const char kModeDes[] = "DES";
inline constexpr const char kModeSecure[] = "Secure";
