#pragma once

#include <filesystem>
#include <string>

// How the answer document travels: the installer's configuration names one
// of the two, and the server has to match it.
enum class AnswerSealing { Secure, Des };

struct ServerOptions {
    std::filesystem::path planDirectory;
    std::string host = "127.0.0.1";
    int port = 0;  // 0: the system picks a free port
    std::string basePath = "/RUVServer/";
    AnswerSealing sealing = AnswerSealing::Secure;
    std::string desKey;
};

extern const char kServerUsage[];

// Reads "PLAN_DIR [--listen HOST:PORT] [--base PATH] [--mode secure|des
// --des-key KEY]". Throws CUsageError naming the first problem.
ServerOptions ParseServerOptions(int argc, const char* const argv[]);
