// One download of a large file from ruvi-server by one reader, timed on its
// own, in a process of its own so that the peak working set is the reader's:
//   installer   the installer's download operation (COpFileDownload), run on
//               a worker thread while this thread handles the messages of a
//               window that shows the installer's progress bar; with SHA256,
//               the file's size and hash declared, as trusted plans do, so
//               that the operation checks them;
//   loop-write  a bare WinINet loop with 1 MiB reads that writes each piece
//               to the file;
//   loop-read   the same loop, reading only.
// The loops send what the installer sends (its flags, headers and the sealed
// request for offset 0, which scripts/bench makes with ruvi-seal).
//
// Prints one line for scripts/bench: bytes, seconds, peak working set in
// bytes. Fails (exit 1) when the download comes back with another size.
//
// ruvi_download_bench installer URL BYTES FILE [SHA256]
// ruvi_download_bench loop-write URL BYTES REQUEST_FILE FILE
// ruvi_download_bench loop-read URL BYTES REQUEST_FILE

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_measure.h"
#include "framework/worker_thread.h"
#include "net/file_declaration.h"
#include "operations/file_download.h"
#include "platform/internet_handle.h"
#include "platform/kernel_handle.h"
#include "platform/unique_window.h"
#include "skin/progress_bmp_ctrl.h"
#include "window/progress_bar_sink.h"

namespace {

// What the installer's HTTP client puts on every request.
constexpr char kAgent[] = "RUVInstaller";
constexpr char kRequestHeaders[] = "Accept: text/*\r\nUser-Agent: Ruvex Installer\r\n";
constexpr DWORD kPostFlags =
    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_CACHE_WRITE;

constexpr DWORD kPieceSize = 1 << 20;

// Stands in for the installer's main window: a shown window that the
// installer's progress bar paints, as large as the bar is there.
class BenchProgressWindow final {
public:
    BenchProgressWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 360, 19, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr)) {
        if (!window_ || !bar_.SubclassWindow(window_.Get())) {
            throw std::runtime_error("cannot make the progress window");
        }
        bar_.SetRange(0, 100);
    }

    IProgressSink* Sink() { return &sink_; }

private:
    UniqueWindow window_;
    CProgressBmpCtrl bar_;  // goes first, letting go of the window
    CProgressBarSink sink_{bar_};
};

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA status;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &status)) return 0;
    return (static_cast<std::uint64_t>(status.nFileSizeHigh) << 32) | status.nFileSizeLow;
}

std::string ReadWholeFile(const std::string& path) {
    const KernelHandle file = AdoptFileHandle(CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) Fail("cannot open " + path);
    std::string bytes(static_cast<std::size_t>(FileSize(path)), '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        Fail("cannot read " + path);
    }
    return bytes;
}

// The installer's download operation into path (a folder and a plain file
// name), with what a plan declares of the file, timed from the start of its
// thread; the size of the file it leaves.
std::uint64_t InstallerDownload(const std::string& url, const std::string& path,
                                const FileDeclaration& declaration, BenchTimer& watch) {
    const std::size_t slash = path.find_last_of('\\');
    COpFileDownload download("bench", "", path.substr(0, slash));
    download.url = url;
    download.saveName = path.substr(slash + 1);
    download.declaration = declaration;
    BenchProgressWindow window;
    download.ownerWindow = window.Sink();

    watch.Restart();
    const CWorkerThread thread = CWorkerThread::Start([&download] { download.Run(); });
    if (!thread) Fail("cannot start the download thread");
    thread.WaitPumpingMessages();
    if (download.result.code != 0) {
        throw std::runtime_error("the download operation failed with code " +
                                 std::to_string(download.result.code));
    }
    return FileSize(path);
}

// The bare loop: posts body to url and reads the answer in 1 MiB pieces,
// writing each to the file at path unless path is empty. The bytes read.
std::uint64_t BareLoop(const std::string& url, const std::string& body, const std::string& path) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) Fail("cannot read the URL " + url);
    const std::string host(parts.lpszHostName, parts.dwHostNameLength);
    const std::string object(parts.lpszUrlPath, parts.dwUrlPathLength);

    // Declared in this order, the handles close request first, session last.
    const InternetHandle session(
        InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) Fail("InternetOpen failed");
    const InternetHandle connection(InternetConnectA(
        session.Get(), host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection) Fail("InternetConnect failed");
    const InternetHandle request(HttpOpenRequestA(connection.Get(), "POST", object.c_str(), nullptr,
                                                  nullptr, nullptr, kPostFlags, 1));
    if (!request) Fail("HttpOpenRequest failed");
    if (!HttpSendRequestA(request.Get(), kRequestHeaders, sizeof kRequestHeaders - 1,
                          const_cast<char*>(body.data()), static_cast<DWORD>(body.size()))) {
        Fail("HttpSendRequest failed");
    }
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &statusSize, nullptr) ||
        status != HTTP_STATUS_OK) {
        throw std::runtime_error("the server answered " + std::to_string(status));
    }

    KernelHandle file;
    if (!path.empty()) {
        file = AdoptFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) Fail("cannot create " + path);
    }
    std::vector<char> piece(kPieceSize);
    std::uint64_t received = 0;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.Get(), piece.data(), kPieceSize, &read)) Fail("read failed");
        if (read == 0) return received;
        received += read;
        DWORD written = 0;
        if (file &&
            (!WriteFile(file.Get(), piece.data(), read, &written, nullptr) || written != read)) {
            Fail("cannot write " + path);
        }
    }
}

int Usage() {
    std::fputs(
        "usage: ruvi_download_bench installer URL BYTES FILE [SHA256]\n"
        "       ruvi_download_bench loop-write URL BYTES REQUEST_FILE FILE\n"
        "       ruvi_download_bench loop-read URL BYTES REQUEST_FILE\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 4) return Usage();
    const std::string& reader = args[0];
    const std::string& url = args[1];
    const std::uint64_t expected = std::strtoull(args[2].c_str(), nullptr, 10);
    try {
        std::uint64_t received = 0;
        BenchTimer watch;
        if (reader == "installer" && args.size() <= 5) {
            FileDeclaration declaration;
            if (args.size() == 5) declaration = {expected, DeclaredSha256(args[4])};
            received = InstallerDownload(url, args[3], declaration, watch);
        } else if ((reader == "loop-write" && args.size() == 5) ||
                   (reader == "loop-read" && args.size() == 4)) {
            const std::string body = ReadWholeFile(args[3]);
            const std::string path = reader == "loop-write" ? args[4] : std::string();
            watch.Restart();
            received = BareLoop(url, body, path);
        } else {
            return Usage();
        }
        const double seconds = watch.Seconds();
        if (received != expected) {
            std::fprintf(stderr, "%s: %llu bytes instead of %llu\n", reader.c_str(),
                         static_cast<unsigned long long>(received),
                         static_cast<unsigned long long>(expected));
            return 1;
        }
        std::printf("%llu %.6f %llu\n", static_cast<unsigned long long>(received), seconds,
                    static_cast<unsigned long long>(PeakWorkingSet()));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", reader.c_str(), error.what());
        return 1;
    }
}
