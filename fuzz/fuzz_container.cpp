// Container images from memory and from a file: any block layout must give a result code.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FileCache/fcache_MBDF.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILECACHE::MBDF image;
    (void)image.readBynaryData(data, static_cast<uint32_t>(size));

    static const std::string path = "/tmp/uz_fuzz_container_" + std::to_string(getpid());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    (void)FILECACHE::MBDF::checkValidity(path.c_str());
    for (bool withData : {true, false}) {
        FILECACHE::MBDF container;
        if (container.readFile(path.c_str(), withData, nullptr, nullptr, false, 0) != 0) continue;
        for (auto it = container.begin(); it != container.end(); ++it) {
            if (container.cacheBlock(it, nullptr) == 0) (void)container.uncacheBlock(it);
        }
        (void)container.size();
    }
    return 0;
}
