#include "fuzz_console_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = oswrap_init(nullptr, 0, 0) == 0;  // dbgPrintf's lock needs it
    (void)started;
    Dice dice(data, size);
    walkCommand(data, size, dice);
    return 0;
}
