#pragma once

#include <string>

#include "core/installer_config.h"

// The decoded content of a configuration file: an XML document in GBK naming
// the server base URL and the mode, with the DES key in mode Des, and the
// trust key text unless it is empty. The texts are GBK and are stored as
// they stand, escaped where XML needs it.
std::string ConfigDocument(const std::string& serverUrl, CommEncryptMode mode,
                           const std::string& desKey, const std::string& trustKey = "");
