#include "mms_ExportDataAnalyzer.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "mms_Result.h"

namespace MMS {

namespace {

// Overlapping elements would be reversed twice or in pieces, so a second conversion would not
// restore the image: within one element of a collection, the parameters and the stored instances
// of each child collection must occupy separate bytes. Malformed tags are left to the conversion,
// which refuses them; this walk only stops at them.
class OverlapCheck {
public:
    OverlapCheck(const unsigned char* tags, uint32_t size, bool foreign)
        : m_tags(tags), m_size(size), m_foreign(foreign)
    {
    }

    // False when two stored parts of one element share bytes.
    bool separate() const
    {
        uint32_t used = 0;
        return walk(0, m_size, 1, &used);
    }

private:
    bool readHead(uint32_t pos, uint32_t end, T_COLLECTION_TAG* head) const
    {
        if (mmsIsFailure(CollectionTagInfo::readCollTagInfo(head, m_tags + pos, end - pos, m_foreign))) return false;
        return head->length >= kMmsCollectionTagSize &&
               uint64_t{head->length} + head->parameterTagsSize + head->childTagsSize <= end - pos;
    }

    // Walks the tag sequence at pos; *used is its size. True also for tags it cannot walk.
    bool walk(uint32_t pos, uint32_t end, uint32_t level, uint32_t* used) const
    {
        *used = 0;
        T_COLLECTION_TAG head;
        if (level > kMmsMaxCollectionLevels || !readHead(pos, end, &head)) return true;
        *used = head.length + head.parameterTagsSize + head.childTagsSize;
        uint32_t p = pos + head.length;
        const uint32_t parametersEnd = p + head.parameterTagsSize;
        uint64_t offset = 0;
        uint32_t bit = 0;
        while (p < parametersEnd) {
            T_PARAMETER_TAG prm;
            if (mmsIsFailure(CollectionTagInfo::readPrmTagInfo(&prm, m_tags + p, parametersEnd - p, m_foreign)) ||
                prm.length < kMmsParameterTagSize) {
                return true;
            }
            if (prm.dataClass == kMmsClassUnsigned && prm.elementSize == 0) {
                offset += (bit + uint64_t{prm.arraySize}) / 8;
                bit = (bit + prm.arraySize) % 8;
            } else {
                if (bit != 0) ++offset;
                bit = 0;
                offset += uint64_t{prm.elementSize} * prm.arraySize;
            }
            p += prm.length;
        }
        std::vector<std::pair<uint64_t, uint64_t>> parts;  // [begin, end) inside one element
        if (bit != 0) ++offset;
        if (offset != 0) parts.emplace_back(0, offset);
        const uint32_t childrenEnd = parametersEnd + head.childTagsSize;
        while (p < childrenEnd) {
            T_COLLECTION_TAG child;
            if (!readHead(p, childrenEnd, &child)) return true;
            const uint64_t bytes = uint64_t{child.elementDataSize} * child.arraySize;
            if (bytes != 0) parts.emplace_back(child.dataOffset, child.dataOffset + bytes);
            uint32_t childUsed = 0;
            if (!walk(p, childrenEnd, level + 1, &childUsed)) return false;
            if (childUsed == 0) return true;  // too deep to walk: the conversion refuses it
            p += childUsed;
        }
        std::sort(parts.begin(), parts.end());
        for (size_t i = 1; i < parts.size(); ++i) {
            if (parts[i].first < parts[i - 1].second) return false;
        }
        return true;
    }

    const unsigned char* m_tags;
    uint32_t m_size;
    bool m_foreign;
};

}  // namespace

uint32_t ExportDataAnalyzer::readExportTagHeader(T_EXPORT_TAG* header, unsigned char* order,
                                                 const unsigned char* image, unsigned size)
{
    if (header == nullptr || order == nullptr || image == nullptr || size <= 2) return kMmsBadArgument;
    std::memset(header, 0, sizeof(*header));
    return CollectionTagInfo::readExportTagHeader(header, order, image, size);
}

uint32_t ExportDataAnalyzer::convertEndian(unsigned char* image, unsigned size)
{
    if (image == nullptr) return kMmsBadArgument;
    T_EXPORT_TAG header;
    unsigned char order = 0;
    const uint32_t r = readExportTagHeader(&header, &order, image, size);
    if (mmsIsFailure(r)) return r;
    const uint32_t headerLength = header.length;
    // The 88-byte record is written back over the header: a shorter one would overwrite tags.
    if (headerLength < kMmsExportHeaderSize) return kMmsBadArgument;
    if (uint64_t{headerLength} + header.tagSize + header.dataSize > size) return kMmsBadArgument;
    if (header.tagSize < kMmsCollectionTagSize) return kMmsBadArgument;
    unsigned char* tags = image + headerLength;
    unsigned char* data = tags + header.tagSize;
    if (!OverlapCheck(tags, header.tagSize, order != kMmsByteOrderHost).separate()) return kMmsBadArgument;
    // Both conversions check every tag and element before they write anything.
    const uint32_t tagSize = header.tagSize;
    const uint32_t dataSize = header.dataSize;
    if (order != kMmsByteOrderHost) {
        if (mmsIsFailure(CollectionTagInfo::endianCnvOfImportData(tags, tagSize, data, dataSize, order))) {
            return kMmsBadArgument;
        }
    } else {
        const uint8_t other = CollectionTagInfo::isHostBigEndian() ? kMmsByteOrderLittle : kMmsByteOrderBig;
        if (mmsIsFailure(CollectionTagInfo::endianCnvOfExportData(tags, tagSize, data, dataSize, other))) {
            return kMmsBadArgument;
        }
        (void)CollectionTagInfo::endianCnvOfExportTagInfo(&header);  // not null
    }
    // Bytes of a longer header beyond the record stay as they are.
    std::memcpy(image, &header, kMmsExportHeaderSize);
    return kMmsOk;
}

}  // namespace MMS
