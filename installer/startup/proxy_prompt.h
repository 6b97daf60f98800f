#pragma once

#include "operations/operator_base.h"
#include "startup/proxy_choice.h"

class CInstallerContext;

// Runs the initial exchange until it succeeds or the user declines to set
// a proxy: after each failure, whatever its cause, asks whether to set one
// and shows the proxy settings dialog. operations is empty when the user
// declined; choice holds what the user last confirmed in the dialog.
void RunExchangeWithProxyPrompt(CInstallerContext& context, OperationList& operations,
                                ProxyChoice& choice);
