#include "startup/product_launch.h"

#include "exchange/installer_context.h"
#include "operations/ruv_invoker.h"
#include "platform/install_log.h"
#include "platform/stopwatch.h"

OperationResult LaunchProduct(const CInstallerContext& context, const ProxyChoice& choice) {
    COpRUVInvoker invoker(context.serverBaseUrl, context.cacheDirectory);
    invoker.offlineLayout = context.offlineLayout;
    invoker.PrepareRun(choice, nullptr);
    const Stopwatch stopwatch;
    invoker.Run();
    LogFields fields = {{"program", invoker.programPath},
                        {"code", invoker.result.code},
                        {"message", invoker.result.message},
                        {"milliseconds", stopwatch.Milliseconds()}};
    if (!invoker.report.empty()) fields.emplace_back("report", invoker.report);
    install_log::Write("launch", fields);
    return invoker.result;
}
