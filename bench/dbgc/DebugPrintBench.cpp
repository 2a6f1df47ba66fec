// Cost of one debug print of a 60-character trace line with no console output registered, beside
// the plain way of doing the same: snprintf into a 400-byte buffer and fputs to standard output.
// Both write to the same standard output, sent to /dev/null; the results go to the original one.
#include <benchmark/benchmark.h>
#include <ext/stdio_filebuf.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "dbgc/dbgc_stdapi.h"

namespace {

// 60 characters once formatted.
constexpr const char* kFormat = "[i] DeviceControl::onTimer - tick %5d of thread %s done\n";
constexpr const char* kThread = "Sync";

void BM_dbgPrintf(benchmark::State& state)
{
    int tick = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dbgPrintf(kFormat, tick++ & 0x3FFF, kThread));
    }
}

void BM_SnprintfFputs(benchmark::State& state)
{
    int tick = 0;
    char buffer[400];
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, kFormat, tick++ & 0x3FFF, kThread));
        benchmark::DoNotOptimize(std::fputs(buffer, stdout));
    }
}

}  // namespace

BENCHMARK(BM_dbgPrintf)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_SnprintfFputs)->Threads(1)->Threads(4)->UseRealTime();

int main(int argc, char** argv)
{
    // Keep the results on the original standard output and discard what the prints write.
    const int results = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    if (results < 0 || devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) return 1;
    close(devNull);
    __gnu_cxx::stdio_filebuf<char> resultBuffer(results, std::ios::out);
    std::ostream resultStream(&resultBuffer);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::ConsoleReporter reporter(isatty(results) ? benchmark::ConsoleReporter::OO_Defaults
                                                        : benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&resultStream);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
