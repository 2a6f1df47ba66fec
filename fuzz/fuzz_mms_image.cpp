// Export and filter images of the parameter tree library read from arbitrary bytes: the import
// reader, the filter reader and the byte-order conversions of whole tag and data areas.
// Input: an image; the same bytes are also split into a tag area and a data area at the position
// the first two bytes name.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_CollectionTagInfo.h"

namespace {

using MMS::CollectionTagInfo;

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

bool sameBytes(const unsigned char* a, const unsigned char* b, size_t n) { return n == 0 || std::memcmp(a, b, n) == 0; }

const uint8_t kOtherOrder = CollectionTagInfo::isHostBigEndian() ? 1 : 2;

// Converts areas to host order: a refusal leaves them unchanged, and what was accepted converts
// back the other way.
void convertBothWays(unsigned char* tags, uint32_t tagSize, unsigned char* data, uint32_t dataSize, uint8_t order)
{
    const std::vector<unsigned char> tagsBefore(tags, tags + tagSize);
    const std::vector<unsigned char> dataBefore(data, data + dataSize);
    const uint32_t r = CollectionTagInfo::endianCnvOfImportData(tags, tagSize, data, dataSize, order);
    if (r & 0x80000000u) {
        check(sameBytes(tags, tagsBefore.data(), tagSize));
        check(sameBytes(data, dataBefore.data(), dataSize));
        return;
    }
    check(CollectionTagInfo::endianCnvOfExportData(tags, tagSize, data, dataSize, order) == 0);
    check(sameBytes(tags, tagsBefore.data(), tagSize));  // tag numbers are swapped and back
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size > 0xFFFFFFu) return 0;
    const auto length = static_cast<uint32_t>(size);

    // A root whose UUID is taken over the first bytes, so the UUID comparisons run too.
    CollectionTagInfo info;
    if (size != 0) check(info.joint(input, length < 64 ? length : 64) == 0);

    std::vector<unsigned char> image(input, input + size);
    unsigned char same = 0;
    unsigned char order = 0;
    unsigned char* tags = nullptr;
    unsigned char* data = nullptr;
    uint32_t tagSize = 0;
    uint32_t dataSize = 0;
    const uint32_t r = info.readImportData(&same, &tags, &tagSize, &data, &dataSize, &order, image.data(), length);
    if (r & 0x80000000u) {
        check(sameBytes(image.data(), input, size));
    } else {
        check(tags >= image.data() && uint64_t(tags - image.data()) + tagSize + dataSize <= size);
        check(order == 0 || same == 0);
        if (order != 0) {
            // The reader checked the areas before it rewrote the header.
            check(CollectionTagInfo::endianCnvOfImportData(tags, tagSize, data, dataSize, order) == 0);
            check(CollectionTagInfo::endianCnvOfExportData(tags, tagSize, data, dataSize, order) == 0);
        } else {
            convertBothWays(tags, tagSize, data, dataSize, kOtherOrder);
        }
    }

    const unsigned char* filterTags = nullptr;
    const unsigned char* filterData = nullptr;
    uint32_t filterTagSize = 0;
    uint32_t filterDataSize = 0;
    unsigned char filterOrder = 0;
    if ((info.readImportFilterData(&filterTags, &filterTagSize, &filterData, &filterDataSize, &filterOrder, input,
                                   length) &
         0x80000000u) == 0 &&
        filterData != nullptr) {
        check(filterData >= input && uint64_t(filterData - input) + filterDataSize <= size);
        check(filterTags >= input && uint64_t(filterTags - input) + filterTagSize <= size);
    }
    (void)info.readImportFilterData(nullptr, nullptr, &filterData, &filterDataSize, nullptr, input, length);

    // The bytes as bare areas, in either direction.
    if (size >= 2) {
        std::vector<unsigned char> areas(input + 2, input + size);
        const uint32_t split = (uint32_t(input[0]) | uint32_t(input[1]) << 8) % uint32_t(areas.size() + 1);
        convertBothWays(areas.data(), split, areas.data() + split, uint32_t(areas.size()) - split, kOtherOrder);
        const std::vector<unsigned char> before = areas;
        const uint32_t e = CollectionTagInfo::endianCnvOfExportData(areas.data(), split, areas.data() + split,
                                                                    uint32_t(areas.size()) - split, kOtherOrder);
        if (e & 0x80000000u) check(areas == before);
    }
    return 0;
}
