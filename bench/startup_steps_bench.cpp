// The installer's start-up steps on their own, each timed, in the order the
// installer takes them and in a fresh process, so that each pays its
// first-use costs (libraries loaded, caches filled) as it does there: the
// set-up (common controls, GDI+, the work folder, the XML runtime),
// RunInitialExchange, then LoadSkinImage on every picture of the main
// window's folders. Then splits the exchange by repeating it and its two
// last steps, now warm, on the answer it got: the decode (DecodeResponse)
// and the parse (ParseResponse: the XML, the version check and the
// operation factory).
//
// Needs what the installer needs: an installed installer whose configuration
// names a running server. Prints one "milliseconds<TAB>step" line per step
// for scripts/bench; fails (exit 1) when a step fails.

#include <windows.h>
// needs windows.h before it
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_measure.h"
#include "core/xml_document.h"
#include "exchange/initial_exchange.h"
#include "exchange/installer_context.h"
#include "platform/file_search.h"
#include "platform/local_paths.h"
#include "skin/gdiplus_session.h"
#include "skin/load_skin_image.h"
#include "skin/skin_files.h"

namespace {

constexpr DWORD kAllCommonControlClasses = 0xFF;
constexpr int kWarmRepeats = 5;

// The median time of kWarmRepeats calls of work.
double WarmMilliseconds(const std::function<void()>& work) {
    std::vector<double> times;
    for (int repeat = 0; repeat < kWarmRepeats; ++repeat) {
        const BenchTimer watch;
        work();
        times.push_back(watch.Milliseconds());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Exchange(CInstallerContext& context) {
    const ExchangeOutcome outcome = RunInitialExchange(context);
    if (!outcome.Succeeded()) throw std::runtime_error("the exchange failed: " + outcome.failure);
}

// Every picture of the main window's skin folders; their number.
int LoadMainWindowSkin() {
    const std::string skin = ReadInstallPath(kInstallerProductKey) + skin_files::kSkinFolder;
    int loaded = 0;
    // The main window's buttons borrow two sets from the dialogs' shared folder.
    for (const char* folder : {skin_files::kRuviFolder, "Public\\"}) {
        const std::string pattern = skin + folder + "*" + skin_files::kPictureExtension;
        WIN32_FIND_DATAA found;
        const FileSearch search(FindFirstFileA(pattern.c_str(), &found));
        if (!search) throw std::runtime_error("no pictures: " + pattern);
        do {
            if (!LoadSkinImage(skin + folder + found.cFileName)) {
                throw std::runtime_error(std::string("cannot load ") + found.cFileName);
            }
            ++loaded;
        } while (FindNextFileA(search.Get(), &found));
    }
    return loaded;
}

void TimeSteps() {
    BenchTimer watch;
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    InitCommonControlsEx(&controls);
    const CGdiplusSession gdiplus;
    CInstallerContext context;
    const CXmlRuntime xmlRuntime;
    PrintStage(watch.Milliseconds(), "set-up: common controls, GDI+, work folder, XML runtime");

    watch.Restart();
    Exchange(context);
    PrintStage(watch.Milliseconds(),
               "exchange: RunInitialExchange, first call (configuration, post, decode, parse)");

    watch.Restart();
    const int pictures = LoadMainWindowSkin();
    PrintStage(watch.Milliseconds(), "skin: LoadSkinImage on the main window's " +
                                         std::to_string(pictures) + " pictures");

    PrintStage(WarmMilliseconds([&context] { Exchange(context); }),
               "exchange: RunInitialExchange, again");
    const ByteVector answer = context.httpClient.response;
    ByteVector plain;
    PrintStage(WarmMilliseconds([&] {
                   plain.clear();
                   DecodeResponse(context.config.encryptionMode, answer, plain,
                                  context.config.desKey);
               }),
               "  of which decode: DecodeResponse");
    PrintStage(WarmMilliseconds([&] {
                   OperationList operations;
                   ParseResponse(plain.data(), plain.size(), context, operations);
               }),
               "  of which parse: ParseResponse (XML, version check, operation factory)");
}

}  // namespace

int main() {
    try {
        TimeSteps();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
