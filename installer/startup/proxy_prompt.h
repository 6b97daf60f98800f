#pragma once

#include "net/proxy_settings.h"
#include "operations/operator_base.h"

class CInstallerContext;

// Runs the initial exchange until it succeeds or the user declines to set
// a proxy: after each failure, whatever its cause, asks whether to set one
// and shows the proxy settings dialog. Returns the operations of the
// exchange that succeeded, none when the user declined; choice holds what
// the user last confirmed in the dialog.
OperationList RunExchangeWithProxyPrompt(CInstallerContext& context, ProxyChoice& choice);
