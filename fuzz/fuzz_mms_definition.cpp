// Definition files from arbitrary bytes: the XML reader with build option 3 into a fresh field, as
// the field factory parses its template. Nothing may crash or leak, the result must be one of the
// reader's codes, and a successful parse leaves a ready field whose root answers for itself.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "jlib/JHeap.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

// Counts in a definition size the root's memory; a device has little of it, so large blocks are
// refused here and the refusal paths are exercised instead of the fuzzer's own memory limit.
class SmallHeap : public JLIB::GlobalHeapManagerBase {
public:
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override
    {
        if (size > kMaxBlock) return nullptr;
        return GlobalHeapManagerBase::allocateMemory(size, debug, tag);
    }

private:
    static constexpr uint32_t kMaxBlock = 4u << 20;
};

SmallHeap g_heap;
const bool g_registered = JLIB::SubscribeHeapId(1, g_heap) == 0;

const T_MMS_SCRIPT_MACRO kMacros[] = {{"N", 3}, {"CH", 8}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    check(g_registered);
    if (size == 0) return 0;
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    const uint32_t r = MMS::XmlParser::Parse(&field, "Desc", 5, "Template", 9, reinterpret_cast<const char*>(data),
                                             static_cast<uint32_t>(size), MMS::BUILD_OPTION_FINISH, kMacros, 2);
    check(r == 0 || r == 0x80010010u || r == 0x80010011u || r == 0x80010000u || r == 0x80010080u);

    uint32_t roots = 0;
    check(field.getRootNum(&roots) == 0 && roots <= 1);
    if (r != 0 || roots == 0) return 0;
    uint8_t status = 0;
    check(field.getStatus(&status) == 0 && status == 2);
    char text[24] = {};
    check(field.getDescName(text, "Template") == 0 && std::strcmp(text, "Desc") == 0);
    // Every parameter the root counts can be named and read back.
    uint32_t parameters = 0;
    check(field.getPrmNum(&parameters, "Template") == 0);
    for (uint32_t i = 0; i < parameters && i < 64; ++i) {
        char address[256] = {};
        uint32_t indices[5] = {};
        uint32_t depth = 0;
        if (field.cnvPrmIndexToStrAddr(address, sizeof address, indices, &depth, 5, "Template", i, 0) & 0x80000000u)
            continue;
        JVariant value;
        (void)field.getPrm(&value, nullptr, "Template", address, static_cast<uint32_t>(std::strlen(address) + 1),
                           indices, depth, 0, 0);  // a parameter without default may refuse; it must not crash
    }
    return 0;
}
