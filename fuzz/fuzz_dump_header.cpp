// Dump images of arbitrary bytes: the field header reader and the root header search, which must
// end on any input and only point inside the dump.
// Input: byte 0 the order code handed to the search, byte 1 the root limit, then the dump.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_DumpHeaderInfo.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 2 || size > 0x100000) return 0;
    const unsigned char order = input[0];
    const uint32_t maxRoots = input[1] % 8;
    const std::vector<unsigned char> dump(input + 2, input + size);
    const auto length = static_cast<uint32_t>(dump.size());
    const unsigned char* bytes = dump.empty() ? nullptr : dump.data();

    MMS::T_DUMP_FIELD_HEADER field;
    unsigned char code = 0;
    if (MMS::DumpHeaderInfo::readFieldHeader(&field, &code, bytes, length) == 0) check(code <= 2);

    // Names: the first root header's own (when there is one), and one that is never present.
    char name[25] = {};
    if (length >= 80) std::memcpy(name, dump.data() + 52, 24);
    for (const char* wanted : {static_cast<const char*>(name), "\x01never"}) {
        const unsigned char* found = nullptr;
        MMS::T_DUMP_ROOT_HEADER out;
        const uint32_t r = MMS::DumpHeaderInfo::searchRootHeader(&found, &out, bytes, length, maxRoots, wanted, order);
        if (r == 0) {
            check(found >= dump.data() && found < dump.data() + dump.size());
            check(std::strncmp(out.name, wanted, sizeof(out.name)) == 0);
        } else {
            check(r == 0x80000002u || r == 0x80000007u);
        }
    }
    check(std::vector<unsigned char>(input + 2, input + size) == dump);
    return 0;
}
