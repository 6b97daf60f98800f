// One download of a large file from ruvi-server by one reader, timed on its
// own, in a process of its own so that the peak working set is the reader's:
//   program     the installer program itself, installed and configured for a
//               server whose plan holds one FileDownload into SAVE_NAME (with
//               or without the file's size and hash): its window, its run
//               driver and operation thread, its progress bar; timed by the
//               operation's own line in the install log;
//   installer   the installer's download operation (COpFileDownload), run on
//               a worker thread while this thread handles the messages of a
//               window that shows the installer's progress bar; with SHA256,
//               the file's size and hash declared, as trusted plans do, so
//               that the operation checks them;
//   hash        no download: the file checked against its size and SHA-256 as
//               a held file is, read back in 1 MiB pieces (what a declared
//               download cost at its end before it hashed while writing);
//   loop-write  a bare WinINet loop with 1 MiB reads that writes each piece
//               to the file;
//   loop-read   the same loop, reading only.
// The loops send what the installer sends (its flags, headers and the sealed
// request for offset 0, which scripts/bench makes with ruvi-seal).
//
// Prints one line for scripts/bench: bytes, seconds, peak working set in
// bytes. Fails (exit 1) when the download comes back with another size.
//
// ruvi_download_bench program INSTALLER BYTES SAVE_NAME LOG
// ruvi_download_bench installer URL BYTES FILE [SHA256]
// ruvi_download_bench hash FILE BYTES SHA256
// ruvi_download_bench loop-write URL BYTES REQUEST_FILE FILE
// ruvi_download_bench loop-read URL BYTES REQUEST_FILE

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_measure.h"
#include "core/file_declaration.h"
#include "framework/worker_thread.h"
#include "installer_process.h"
#include "operation_test_support.h"
#include "operations/declared_file.h"
#include "operations/file_download.h"
#include "platform/internet_handle.h"
#include "platform/kernel_handle.h"
#include "platform/local_paths.h"
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
// The installer program's run: its start, the pause before the operation
// and the download itself.
constexpr unsigned kProgramRunDeadlineMs = 600000;

// What one reader's run measured.
struct Measured {
    std::uint64_t bytes = 0;
    double seconds = 0;
    std::uint64_t peakWorkingSet = 0;
};

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
// thread to its end; the size of the file it leaves.
Measured InstallerDownload(const std::string& url, const std::string& path,
                           const FileDeclaration& declaration) {
    const std::size_t slash = path.find_last_of('\\');
    COpFileDownload download("bench", "", path.substr(0, slash));
    download.url = url;
    download.saveName = path.substr(slash + 1);
    download.declaration = declaration;
    BenchProgressWindow window;
    download.PrepareRun({}, window.Sink());

    const BenchTimer watch;
    const CWorkerThread thread = CWorkerThread::Start([&download] { download.Run(); });
    if (!thread) Fail("cannot start the download thread");
    thread.WaitPumpingMessages();
    const double seconds = watch.Seconds();
    if (download.result.code != 0) {
        throw std::runtime_error("the download operation failed with code " +
                                 std::to_string(download.result.code));
    }
    return {FileSize(path), seconds, PeakWorkingSet()};
}

// The whole text of a file; empty when it cannot be read (yet).
std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The value of the field name=value in an install log line.
std::string LogField(const std::string& line, const std::string& name) {
    const std::string key = " " + name + "=";
    const std::size_t at = line.find(key);
    if (at == std::string::npos) return {};
    const std::size_t start = at + key.size();
    return line.substr(start, line.find(' ', start) - start);
}

// The install log's last line that ends a download operation.
std::string DownloadEndLine(const std::string& log) {
    std::istringstream lines(ReadTextFile(log));
    std::string line;
    std::string found;
    while (std::getline(lines, line)) {
        if (line.find(" operation-end ") != std::string::npos &&
            line.find(" kind=\"CFileDownload\"") != std::string::npos) {
            found = line;
        }
    }
    return found;
}

std::uint64_t PeakWorkingSetOf(DWORD processId) {
    const KernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!process || !GetProcessMemoryInfo(process.Get(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

// The installer program's run of a plan of one download into saveName, in
// the installer's own work folder (emptied of that file before and after):
// the bytes and the time its log gives for the operation, and the peak
// working set of its process. The program is ended once its run has.
Measured ProgramDownload(const std::string& installer, const std::string& saveName,
                         const std::string& log) {
    // The installer's work folder: "Download" in its install folder.
    const std::string cached = ReadInstallPath(kInstallerProductKey) + "Download\\" + saveName;
    DeleteFileA(cached.c_str());
    DeleteFileA(log.c_str());
    Measured measured;
    {
        const InstallerProcess program(installer, ops_test::Quoted("/log:" + log));
        const bool ended = ops_test::WaitUntil(
            [&] {
                return ReadTextFile(log).find(" run-end ") != std::string::npos ||
                       !program.Running();
            },
            kProgramRunDeadlineMs, 50);
        if (!ended || !program.Running())
            throw std::runtime_error("the installer's run did not end");
        measured.peakWorkingSet = PeakWorkingSetOf(program.Id());
    }
    DeleteFileA(cached.c_str());
    const std::string line = DownloadEndLine(log);
    if (LogField(line, "code") != "0") {
        throw std::runtime_error("the installer's download failed: " + line);
    }
    measured.bytes = std::strtoull(LogField(line, "bytes").c_str(), nullptr, 10);
    measured.seconds = std::strtod(LogField(line, "milliseconds").c_str(), nullptr) / 1000.0;
    return measured;
}

// The file checked as a held file is: its size, then its hash read back.
Measured HashAlone(const std::string& path, const FileDeclaration& declaration) {
    const BenchTimer watch;
    if (!MatchesDeclaration(path, declaration)) {
        throw std::runtime_error(path + " does not have the given size and SHA-256");
    }
    return {*declaration.size, watch.Seconds(), PeakWorkingSet()};
}

// The bare loop: posts body to url and reads the answer in 1 MiB pieces,
// writing each to the file at path unless path is empty. The bytes read.
std::uint64_t BareLoopBytes(const std::string& url, const std::string& body,
                            const std::string& path) {
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

Measured BareLoop(const std::string& url, const std::string& requestFile, const std::string& path) {
    const std::string body = ReadWholeFile(requestFile);
    const BenchTimer watch;
    const std::uint64_t bytes = BareLoopBytes(url, body, path);
    return {bytes, watch.Seconds(), PeakWorkingSet()};
}

int Usage() {
    std::fputs(
        "usage: ruvi_download_bench program INSTALLER BYTES SAVE_NAME LOG\n"
        "       ruvi_download_bench installer URL BYTES FILE [SHA256]\n"
        "       ruvi_download_bench hash FILE BYTES SHA256\n"
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
    const std::uint64_t expected = std::strtoull(args[2].c_str(), nullptr, 10);
    try {
        Measured measured;
        if (reader == "program" && args.size() == 5) {
            measured = ProgramDownload(args[1], args[3], args[4]);
        } else if (reader == "installer" && args.size() <= 5) {
            FileDeclaration declaration;
            if (args.size() == 5) declaration = {expected, DeclaredSha256(args[4])};
            measured = InstallerDownload(args[1], args[3], declaration);
        } else if (reader == "hash" && args.size() == 4) {
            measured = HashAlone(args[1], {expected, DeclaredSha256(args[3])});
        } else if (reader == "loop-write" && args.size() == 5) {
            measured = BareLoop(args[1], args[3], args[4]);
        } else if (reader == "loop-read" && args.size() == 4) {
            measured = BareLoop(args[1], args[3], std::string());
        } else {
            return Usage();
        }
        if (measured.bytes != expected) {
            std::fprintf(stderr, "%s: %llu bytes instead of %llu\n", reader.c_str(),
                         static_cast<unsigned long long>(measured.bytes),
                         static_cast<unsigned long long>(expected));
            return 1;
        }
        std::printf("%llu %.6f %llu\n", static_cast<unsigned long long>(measured.bytes),
                    measured.seconds, static_cast<unsigned long long>(measured.peakWorkingSet));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", reader.c_str(), error.what());
        return 1;
    }
}
