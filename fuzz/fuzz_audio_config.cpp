// The reader of compile result documents into the audio configuration.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dravo/manager/dravo_parseAudioConfigJSON.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const DRAVO::AudioConfig config = DRAVO::parseAudioConfigJSON(text);
    (void)config;
    return 0;
}
