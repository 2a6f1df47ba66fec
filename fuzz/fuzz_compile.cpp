// The configuration compiler: the input holds the component, connection and DSP system database
// texts, in that order, separated by NUL bytes. Every compile must end, and every written result
// must be JSON.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "compiler/compiler_CompilerForNativeCPU.h"
#include "compiler/compiler_ICompilerCallbackForNativeCPU.h"

namespace {

// Cancels at a call count taken from the input, so the cancel path is reached too.
class Progress : public Compiler::ICompilerCallbackForNativeCPU {
public:
    explicit Progress(uint32_t cancelAt) : m_cancelAt(cancelAt) {}
    uint32_t onCompileProgress(bool& cancel) override
    {
        cancel = ++m_calls == m_cancelAt;
        return 0;
    }

private:
    uint32_t m_cancelAt;
    uint32_t m_calls = 0;
};

// The next text up to a NUL byte or the end.
std::string cut(const uint8_t*& data, const uint8_t* end)
{
    const uint8_t* start = data;
    while (data < end && *data != 0) ++data;
    std::string text(reinterpret_cast<const char*>(start), static_cast<size_t>(data - start));
    if (data < end) ++data;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* end = data + size;
    // A leading byte above 0x7F is no JSON; it chooses a cancel point instead.
    uint32_t cancelAt = 0;
    if (size > 0 && data[0] >= 0x80) cancelAt = *data++ & 0x7F;
    const std::string componentDB = cut(data, end);
    const std::string connectionDB = cut(data, end);
    const std::string dspSystemDB = cut(data, end);

    Compiler::CompilerForNativeCPU compiler;
    Progress progress(cancelAt);
    std::string result;
    const uint32_t code = compiler.compile(componentDB, connectionDB, dspSystemDB, &progress, result);
    const bool written = code != 0x80000001u && code != 0x80000000u;
    if (written != !result.empty()) __builtin_trap();
    if (written && !nlohmann::json::accept(result)) __builtin_trap();
    return 0;
}
