// Container write/read against plain stdio of the same bytes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDF.h"

namespace {

const uint8_t kUuid[16] = {1};
constexpr uint32_t kBlockBytes = 64 * 1024;

std::string benchPath(const char* name) { return "/tmp/uz_bench_" + std::to_string(getpid()) + name; }

FILECACHE::MBDF& container(int64_t totalBytes)
{
    static FILECACHE::MBDF c;
    static int64_t built = 0;
    if (built != totalBytes) {
        (void)c.initialize("Backup", "Vexalume", 1, kUuid, 16);
        std::vector<uint8_t> data(kBlockBytes, 0x5A);
        FILECACHE::MBDFAbstractBlock block;
        (void)block.setBlockTag("#BENCH");
        (void)block.setData(data.data(), kBlockBytes);
        for (int64_t done = 0; done < totalBytes; done += kBlockBytes) (void)c.addBlock(block);
        built = totalBytes;
    }
    return c;
}

void BM_ContainerWrite(benchmark::State& state)
{
    FILECACHE::MBDF& c = container(state.range(0));
    const std::string path = benchPath("w.mbdf");
    for (auto _ : state) benchmark::DoNotOptimize(c.writeFile(path.c_str(), nullptr, nullptr, false));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::remove(path.c_str());
}

void BM_ContainerRead(benchmark::State& state)
{
    const std::string path = benchPath("r.mbdf");
    (void)container(state.range(0)).writeFile(path.c_str(), nullptr, nullptr, false);
    FILECACHE::MBDF back;
    for (auto _ : state) benchmark::DoNotOptimize(back.readFile(path.c_str(), true, nullptr, nullptr, false, 0));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::remove(path.c_str());
}

void BM_PlainWrite(benchmark::State& state)
{
    std::vector<uint8_t> data(kBlockBytes, 0x5A);
    const std::string path = benchPath("pw.bin");
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        for (int64_t done = 0; done < state.range(0); done += kBlockBytes) std::fwrite(data.data(), 1, kBlockBytes, f);
        std::fflush(f);
        fsync(fileno(f));  // the container syncs before it renames
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::remove(path.c_str());
}

void BM_PlainRead(benchmark::State& state)
{
    std::vector<uint8_t> data(kBlockBytes, 0x5A);
    const std::string path = benchPath("pr.bin");
    FILE* f = std::fopen(path.c_str(), "wb");
    for (int64_t done = 0; done < state.range(0); done += kBlockBytes) std::fwrite(data.data(), 1, kBlockBytes, f);
    std::fclose(f);
    for (auto _ : state) {
        FILE* in = std::fopen(path.c_str(), "rb");
        std::vector<std::vector<uint8_t>> blocks;
        for (int64_t done = 0; done < state.range(0); done += kBlockBytes) {
            blocks.emplace_back(kBlockBytes);
            benchmark::DoNotOptimize(std::fread(blocks.back().data(), 1, kBlockBytes, in));
        }
        std::fclose(in);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::remove(path.c_str());
}

}  // namespace

BENCHMARK(BM_ContainerWrite)->Arg(1 << 20)->Arg(10 << 20);
BENCHMARK(BM_PlainWrite)->Arg(1 << 20)->Arg(10 << 20);
BENCHMARK(BM_ContainerRead)->Arg(1 << 20)->Arg(10 << 20);
BENCHMARK(BM_PlainRead)->Arg(1 << 20)->Arg(10 << 20);
