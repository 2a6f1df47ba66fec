// Export images and dumps of arbitrary bytes through the image accessors: resolution, reads,
// writes, range walks, node information, renaming, the tag walk, partial export, import,
// re-rooting and filter merges. Every buffer has exactly its size, so a stray access is caught.
// Input: 16 control bytes (address choice, node and index vectors, flags), then the image.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_DataAccessor.h"
#include "MMS/Common/mms_FilterDataModifier.h"
#include "jlib/JVariantArray.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

using Bytes = std::vector<unsigned char>;

// The first top collection's child names, as a string address of up to depth names, taken from
// the image itself so that resolution gets past the first level.
std::vector<char> addressFrom(const Bytes& image, uint32_t pick)
{
    std::vector<char> text;
    for (size_t at = 0; at + 28 <= image.size() && text.size() < 80; at += 4) {
        if (std::memcmp(image.data() + at, "COL", 3) != 0 && std::memcmp(image.data() + at, "PR", 2) != 0) continue;
        const size_t name = at + (image[at] == 'C' ? 4 : 8);
        if (name + 24 > image.size() || pick-- == 0) break;
        if (!text.empty()) text.push_back('/');
        for (size_t i = 0; i < 24 && image[name + i] != 0; ++i) text.push_back(static_cast<char>(image[name + i]));
    }
    text.push_back('\0');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 16 || size > 0x10000) return 0;
    const uint8_t* control = input;
    const Bytes original(input + 16, input + size);
    if (original.empty()) return 0;
    const auto length = static_cast<uint32_t>(original.size());
    const uint32_t depth = control[0] % 7;
    uint32_t nodes[6], first[6], last[6];
    for (int i = 0; i < 6; ++i) {
        nodes[i] = control[1 + i] % 16;
        first[i] = control[7 + i] % 4;
        last[i] = first[i] + control[13 + i % 3] % 8;
    }
    const uint8_t flags = control[15];
    const std::vector<char> address = addressFrom(original, control[0] / 7);
    const auto addressLength = static_cast<uint32_t>(std::strlen(address.data()));

    std::vector<unsigned char> image(original);
    auto* bytes = image.data();
    (void)MMS::DataAccessor::getRootNum(bytes, length);
    uint32_t collections = 0, parameters = 0;
    (void)MMS::DataAccessor::countNodeTags(&collections, &parameters, bytes, length);
    (void)MMS::DataAccessor::containsBitParameter(bytes, length);
    const char* name = nullptr;
    if (MMS::DataAccessor::getRootName(&name, bytes, length, nullptr) == 0) {
        check(reinterpret_cast<const unsigned char*>(name) >= bytes &&
              reinterpret_cast<const unsigned char*>(name) + 24 <= bytes + length);
    }

    // Single values and node information in both address forms.
    JVariant value;
    (void)MMS::DataAccessor::getPrm(&value, bytes, length, nullptr, address.data(), addressLength, first, depth);
    (void)MMS::DataAccessor::getPrmFast(&value, bytes, length, nullptr, nodes, first, depth);
    uint8_t category = 0;
    uint32_t type = 0, dataSize = 0, arraySize = 0, maxIndexes[6] = {}, levels = 0;
    (void)MMS::DataAccessor::getNodeInfoFast(&category, &type, &dataSize, &arraySize, maxIndexes, &levels, depth, bytes,
                                             length, nullptr, nodes);
    (void)MMS::DataAccessor::getNodeInfo(&category, &type, &dataSize, &arraySize, maxIndexes, &levels, 6, bytes,
                                         length, nullptr, address.data(), addressLength);
    const JVariant written[] = {JVariant(-1), JVariant(2.5f), JVariant("text", 8)};
    (void)MMS::DataAccessor::setPrmFast(written[flags % 3], bytes, length, nullptr, nodes, first, depth, flags % 4);
    (void)MMS::DataAccessor::setPrm(written[(flags >> 2) % 3], bytes, length, nullptr, address.data(), addressLength,
                                    nullptr, 0, (flags >> 4) % 4);

    // Range walks.
    JVariantArray array(JVariant::kTypeInt32, 4, 64);
    (void)MMS::DataAccessor::getPrmArrayFast(&array, bytes, length, nullptr, nodes, first, last, depth);
    (void)MMS::DataAccessor::setPrmArrayFast(array, bytes, length, nullptr, nodes, first, last, depth, flags & 1,
                                             (flags >> 1) % 3);

    // Partial export: the size announced is the size written.
    uint32_t exportSize = 0;
    const uint8_t whole = flags & 1, parents = (flags >> 1) & 1;
    const uint32_t sized =
        MMS::DataAccessor::getExportDataSizeFast(&exportSize, bytes, length, nullptr, nodes, depth, whole, parents);
    if (sized == 0 && exportSize <= 0x40000) {
        Bytes out(exportSize == 0 ? 1 : exportSize);
        uint32_t outSize = 0;
        const uint32_t zeros[6] = {};
        if (MMS::DataAccessor::exportDataFast(out.data(), &outSize, exportSize, bytes, length, nullptr, nodes, zeros,
                                              depth, whole, parents) == 0) {
            check(outSize == exportSize);
            // Back into the image it came from.
            (void)MMS::DataAccessor::importDataFast(bytes, length, out.data(), outSize, nullptr, nodes, zeros, depth);
        }
    }
    const Bytes other(original);
    (void)MMS::DataAccessor::importData(bytes, length, other.data(), length, nullptr, "", 0, nullptr, 0);

    // Re-rooting.
    uint32_t rerooted = 0;
    if (MMS::DataAccessor::getTopAddrChangedSize(&rerooted, "A/B", 3, bytes, length) == 0 && rerooted <= 0x40000) {
        Bytes out(rerooted);
        uint32_t outSize = 0;
        if (MMS::DataAccessor::getTopAddrChangedData(out.data(), &outSize, rerooted, "A/B", 3, bytes, length,
                                                     "Top") == 0) {
            check(outSize == rerooted);
            (void)MMS::DataAccessor::getPrm(&value, out.data(), outSize, nullptr, "A/B", 3, nullptr, 0);
        }
    }

    // Filters.
    (void)MMS::FilterDataModifier::orFilters(bytes, length, other.data(), length);
    (void)MMS::FilterDataModifier::addFilters(bytes, length, other.data(), length);
    (void)MMS::FilterDataModifier::setArrayFast(bytes, length, nodes, first, last, depth, nullptr);
    if (flags & 0x80) (void)MMS::FilterDataModifier::allSet(bytes, length, nullptr);
    (void)MMS::DataAccessor::changeNodeNameFast("Renamed", bytes, length, nullptr, nodes, depth);
    return 0;
}
