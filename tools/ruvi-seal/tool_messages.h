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
    "              (--trust-key TEXT | --trust-key-file KEY.pem | --untrusted)\n"
    "                          write a sealed installer configuration\n"
    "  check-config FILE       read FILE as the installer does and show what it holds\n"
    "  des-encrypt KEY IN OUT  encrypt IN with DES-ECB under KEY, as a server does\n"
    "  keygen -o KEY.pem       make a signing key; prints its TrustKey text\n"
    "  hash-plan PLAN_DIR      write the Sha256 and Size of the plan's downloads\n"
    "  layout PLAN_DIR -o DIR [--signing-key KEY.pem]\n"
    "         [--mode secure|des --des-key KEY]\n"
    "                          write an offline layout of the plan into DIR\n"
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
    "                 (--trust-key TEXT | --trust-key-file KEY.pem | --untrusted)\n"
    "Writes a sealed installer configuration (RUVI.config) naming the server\n"
    "base URL and how the server's answers are encrypted: DES-ECB under the\n"
    "8-byte KEY, or the secure stream. The installer appends its request\n"
    "paths to URL, so it normally ends with '/'. A trust key (the text keygen\n"
    "prints, or the public part of a PEM key file, private or public; the\n"
    "file only in the Linux build) makes installers demand answers signed by\n"
    "that key and downloads with declared hashes. Without one, anyone who can\n"
    "answer in the server's place runs programs as administrator on every\n"
    "installer: such a configuration is written only with --untrusted. What\n"
    "the installer would refuse is refused with the installer's reason.\n";
inline constexpr const char kCheckConfigUsage[] =
    "usage: ruvi-seal check-config FILE\n"
    "Decodes and reads FILE exactly as the installer does and shows the server\n"
    "URL, the mode and the trust key's fingerprint (SHA256:, then the unpadded\n"
    "base64 of the SHA-256 of the DER public key), or the installer's failure\n"
    "text (exit status 1).\n";
inline constexpr const char kDesEncryptUsage[] =
    "usage: ruvi-seal des-encrypt KEY IN OUT\n"
    "Pads IN with spaces to a multiple of 8 bytes and encrypts it with DES-ECB\n"
    "under the 8-byte KEY, as a server answers in DES mode.\n";
inline constexpr const char kKeygenUsage[] =
    "usage: ruvi-seal keygen -o KEY.pem\n"
    "Makes a new ECDSA P-256 signing key, writes it to KEY.pem (PEM, readable\n"
    "by its owner only; an existing file is never replaced) and prints the\n"
    "TrustKey text of its public part for make-config --trust-key. Only in\n"
    "the Linux build. Keep KEY.pem for ruvi-server --signing-key.\n";
inline constexpr const char kHashPlanUsage[] =
    "usage: ruvi-seal hash-plan PLAN_DIR\n"
    "Writes into PLAN_DIR/plan.xml the Sha256 and Size of every FileDownload\n"
    "whose URL names a file under PLAN_DIR/files/ (files/NAME), and the Sha256\n"
    "of every SetupRun that runs such a download (its ExecName is the\n"
    "download's SaveName). Everything else in plan.xml stays byte for byte;\n"
    "the plan must be UTF-8 or GBK, without a DOCTYPE. Absolute URLs are left\n"
    "as they are.\n";

inline constexpr const char kLayoutUsage[] =
    "usage: ruvi-seal layout PLAN_DIR -o DIR [--signing-key KEY.pem]\n"
    "                        [--mode secure|des --des-key KEY]\n"
    "Writes into DIR (made when missing) an offline layout of the plan that\n"
    "installers run without a network:\n"
    "  answer            plan.xml sealed as ruvi-server sends it, in the mode the\n"
    "                    installers are configured with (default secure; des\n"
    "                    with the 8-character KEY)\n"
    "  answer.nonce      with --signing-key: a fresh nonce (32 hex digits) ...\n"
    "  answer.signature  ... and the X-Ruvi-Signature ruvi-server would send\n"
    "                    with the answer for it (Linux build only)\n"
    "  files/SAVENAME    for each FileDownload, a copy of the plan's file its URL\n"
    "                    files/NAME names, under the download's SaveName\n"
    "Every download must come from PLAN_DIR/files/, match the Size and Sha256\n"
    "the plan declares, and save under a plain file name. Files of these names in\n"
    "DIR are replaced, all of them or none; an unsigned layout removes an old\n"
    "answer.nonce and answer.signature.\n";

inline constexpr const char kUnknownCommand[] = "unknown command: ";
inline constexpr const char kWrongArgumentCount[] = "wrong number of arguments";
inline constexpr const char kUnknownOption[] = "unknown option: ";
inline constexpr const char kOptionNeedsValue[] = "option needs a value: ";
inline constexpr const char kOptionRepeated[] = "option given twice: ";
inline constexpr const char kModeMissing[] = "give one of --des KEY and --secure";
inline constexpr const char kServerOptionMissing[] = "--server URL is missing";
inline constexpr const char kOutputOptionMissing[] = "-o FILE is missing";
inline constexpr const char kOutputFolderMissing[] = "-o DIR is missing";
inline constexpr const char kPlanFolderMissing[] = "PLAN_DIR is missing";
inline constexpr const char kLayoutModeUnknown[] = "--mode must be secure or des";
inline constexpr const char kDesKeyMissing[] = "--mode des needs --des-key";
inline constexpr const char kDesKeyWithoutDes[] = "--des-key applies only to --mode des";
inline constexpr const char kDesKeyLength8[] = "--des-key must be exactly 8 characters";

inline constexpr const char kCannotRead[] = "cannot read ";
inline constexpr const char kCannotWrite[] = "cannot write ";
inline constexpr const char kCannotCopy[] = "cannot copy ";
inline constexpr const char kCannotRemove[] = "cannot remove ";
inline constexpr const char kNotARegularFile[] = "not a regular file: ";
inline constexpr const char kNotTerminalText[] = "not UTF-8 text that GBK can represent: ";
inline constexpr const char kControlCharacter[] =
    "a configuration cannot hold control characters: ";
inline constexpr const char kNotStorable[] =
    "the configuration would not hold this text unchanged: ";
inline constexpr const char kNothingToEncrypt[] = "nothing to encrypt: the input is empty";
inline constexpr const char kTrustKeyTwice[] =
    "give at most one of --trust-key and --trust-key-file";
inline constexpr const char kUntrustedWithKey[] = "--untrusted and a trust key exclude each other";
inline constexpr const char kTrustKeyMissing[] =
    "a configuration without a trust key lets anyone on the network run programs as "
    "administrator; pass --untrusted to write one anyway";
inline constexpr const char kTrustKeyOffCurve[] =
    "--trust-key is not a point of the P-256 curve (a mistyped character?)";
inline constexpr const char kKeyExists[] = "a key is never replaced; remove it first: ";
inline constexpr const char kOnlyInLinuxBuild[] =
    " is only in the Linux build of ruvi-seal (it needs OpenSSL)";
inline constexpr const char kPlanNotAsciiCompatible[] =
    "plan.xml must be UTF-8 or GBK for hash-plan to edit it";
inline constexpr const char kPlanHasDoctype[] =
    "plan.xml has a DOCTYPE; hash-plan edits only plans without one";
inline constexpr const char kPlanMarkupUnreadable[] = "plan.xml: markup hash-plan cannot follow";
inline constexpr const char kNotOfThePlanFolder[] =
    "a layout holds only the plan folder's files (URL files/NAME), not the download URL \"";
inline constexpr const char kNotAPlainSaveName[] =
    "a download's save name must be a plain file name, not \"";
inline constexpr const char kSaveNameTwice[] =
    "two downloads save different files under the name \"";

inline constexpr const char kServerLabel[] = "server: ";
inline constexpr const char kModeLabel[] = "mode: ";
inline constexpr const char kKeyLabel[] = "key: ";
inline constexpr const char kModeDes[] = "DES";
inline constexpr const char kModeSecure[] = "Secure";
inline constexpr const char kTrustKeyLabel[] = "trust key: ";
inline constexpr const char kNoTrustKey[] = "none";
inline constexpr const char kBytesLabel[] = " bytes, SHA-256 ";
inline constexpr const char kSetupRunLabel[] = "SetupRun ";
inline constexpr const char kSha256Label[] = ": SHA-256 ";
inline constexpr const char kNotHashed[] = ": left as it is (another server's file)";
inline constexpr const char kBytesUnit[] = " bytes";
inline constexpr const char kSignedOverNonce[] = ", signed over the nonce ";
