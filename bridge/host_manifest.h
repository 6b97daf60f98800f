#pragma once

#include <string>
#include <string_view>

// How browsers find the bridge: the host's name, the manifest that names
// the program, and the one extension that may start it.

inline constexpr char kHostName[] = "com.tarvano.ruvi";
inline constexpr char kHostManifestFileName[] = "com.tarvano.ruvi.json";
// Fixed by the public key in extension/manifest.json.
inline constexpr char kExtensionId[] = "cfgaipiljjdnmgdjgjabjopllgpaekkh";

// The manifest for the program at programPath (UTF-8, absolute).
std::string HostManifest(std::string_view programPath);
