#pragma once

#include "net/proxy_settings.h"
#include "operations/operation_result.h"

class CInstallerContext;

// Starts the installed product, without waiting for it; when it cannot be
// started, the launcher reports to the server through the chosen proxy
// (never when the run came from an offline layout). Writes the launch and
// its outcome to the install log.
OperationResult LaunchProduct(const CInstallerContext& context, const ProxyChoice& choice);
