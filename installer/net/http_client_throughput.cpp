// Measures how fast HttpClient::Post brings a large file from ruvi-server
// into memory under Wine, asked for the way the download asks (a sealed
// request for offset 0) and with a progress bar to step. Prints MiB/s per
// run; asserts nothing.
//
// tests/support/run-with-services scripts/wine-run ruvi_http_throughput.exe [MiB] [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "minimal_plan.h"
#include "net/http_client.h"
#include "net/secure_stream.h"
#include "scripted_pattern.h"
#include "test_progress_window.h"
#include "test_services.h"

namespace {

constexpr char kDownloadRequest[] =
    "<Request><Offset>0</Offset><BufferSize>0</BufferSize></Request>";

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

std::string PatternFile(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = ScriptedByte(i);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::size_t size = mebibytes << 20;

    TestServices services;
    const SharedFolder plan = services.MakeSharedFolder();
    plan.WriteFile("plan.xml", kMinimalPlanXml);
    plan.WriteFile("files/large.bin", PatternFile(size));
    const RuviServer server = services.StartRuviServer(plan.unixPath);

    ByteVector request;
    SecureEncrypt(request,
                  ByteVector(kDownloadRequest, kDownloadRequest + sizeof kDownloadRequest - 1));
    TestProgressWindow window;

    std::vector<double> rates;
    for (int run = 0; run < runs; ++run) {
        HttpClient client;
        window.ProgressBar().SetPos(0);
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        client.Post(server.url + "files/large.bin", &window, request);
        QueryPerformanceCounter(&end);
        if (client.response.size() != size) {
            std::fprintf(stderr, "run %d: %zu bytes instead of %zu\n", run + 1,
                         client.response.size(), size);
            return 1;
        }
        const double seconds = Seconds(start, end);
        rates.push_back(static_cast<double>(mebibytes) / seconds);
        std::printf("run %d: %zu MiB in %.2f s = %.1f MiB/s (bar at %d)\n", run + 1, mebibytes,
                    seconds, rates.back(), window.ProgressBar().GetPos());
    }
    std::sort(rates.begin(), rates.end());
    std::printf("median %.1f MiB/s, best %.1f MiB/s over %d runs\n", rates[rates.size() / 2],
                rates.back(), runs);
    return 0;
}
