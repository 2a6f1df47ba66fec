// Arbitrary bytes as export images: the header reader and the in-place byte-order conversion.
// A conversion either refuses and leaves the image untouched, or succeeds and a second one
// restores the image byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_ExportDataAnalyzer.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 0xFFFFFFFFu) return 0;
    const unsigned length = static_cast<unsigned>(size);
    // An exact-size copy so that the sanitizer sees any byte read or written past the image.
    std::vector<uint8_t> image(data, data + size);

    MMS::T_EXPORT_TAG header;
    unsigned char order = 0;
    const uint32_t read = MMS::ExportDataAnalyzer::readExportTagHeader(&header, &order, image.data(), length);
    check((read & 0x80000000u) != 0 || order <= 2);

    const uint32_t first = MMS::ExportDataAnalyzer::convertEndian(image.data(), length);
    if ((first & 0x80000000u) != 0) {
        check(std::memcmp(image.data(), data, size) == 0);
        return 0;
    }
    check(read == 0);
    const uint32_t second = MMS::ExportDataAnalyzer::convertEndian(image.data(), length);
    check(second == 0);
    check(std::memcmp(image.data(), data, size) == 0);
    return 0;
}
