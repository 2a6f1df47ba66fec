// Export and import of a root's values as export images: sizing and writing an image of an
// instance or a range of instances, and importing one with its filter, plug-in pass and links.
#include "mms_Root.h"

#include <cstddef>
#include <cstring>

#include "mms_Collection.h"
#include "mms_DirtyFlagList.h"
#include "mms_ExternalSetArg.h"
#include "mms_IChannelLinker.h"
#include "mms_ISetChecker.h"
#include "mms_Platform.h"

namespace MMS {

namespace {

// A heap copy of an image, freed when the operation ends.
class ImageCopy {
public:
    ImageCopy() = default;
    ~ImageCopy() { (void)mmsFree(m_pBytes); }
    ImageCopy(const ImageCopy&) = delete;
    ImageCopy& operator=(const ImageCopy&) = delete;
    unsigned char* take(const void* source, uint32_t size)
    {
        m_pBytes = static_cast<unsigned char*>(mmsMalloc(size));
        if (m_pBytes != nullptr) memcpy(m_pBytes, source, size);
        return m_pBytes;
    }

private:
    unsigned char* m_pBytes = nullptr;
};

}  // namespace

uint32_t Root::getExportArraySizeFast(uint32_t* sizeOut, const uint32_t* nodes, const uint32_t* first,
                                      const uint32_t* last, uint32_t depth, uint8_t withPath) const
{
    if (sizeOut == nullptr || (nodes == nullptr && depth != 0) || depth > kMmsMaxDepth) return kMmsBadArgument;
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    // Absent first indices count as 0.
    const uint32_t zeros[kMmsMaxDepth] = {};
    const T_FAST_ADDRESS address{nodes, first != nullptr ? first : zeros, depth};
    uint32_t size = 0;
    const uint32_t result = m_pTop->getExportDataSize(&size, &address, last, 0, 1, withPath);
    if (mmsIsFailure(result)) return result;
    if (size > 0xFFFFFFFFu - kMmsExportHeaderSize) return kMmsBadArgument;
    *sizeOut = kMmsExportHeaderSize + size;
    return kMmsOk;
}

uint32_t Root::getExportDataSizeFast(uint32_t* sizeOut, const uint32_t* nodes, uint32_t depth,
                                     uint8_t allOfLast) const
{
    if (depth > kMmsMaxDepth) return kMmsBadArgument;
    uint32_t last[kMmsMaxDepth] = {};
    if (allOfLast != 0 && depth > 0) last[depth - 1] = 0xFFFFFFFFu;
    return getExportArraySizeFast(sizeOut, nodes, nullptr, last, depth, 0);
}

uint32_t Root::getExportDataSize(uint32_t* sizeOut, const char* address, uint32_t length, uint8_t allOfLast) const
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length);
    if (mmsIsFailure(result)) return result;
    return getExportDataSizeFast(sizeOut, nodes, depth, allOfLast);
}

uint32_t Root::getExportArraySize(uint32_t* sizeOut, const char* address, uint32_t length, const uint32_t* first,
                                  const uint32_t* last, uint32_t indexCount, uint8_t withPath) const
{
    (void)indexCount;  // sizing never reads beyond the converted depth's entries
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length);
    if (mmsIsFailure(result)) return result;
    return getExportArraySizeFast(sizeOut, nodes, first, last, depth, withPath);
}

uint32_t Root::exportArrayFast(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut, uint32_t factorCount,
                               uint32_t capacity, const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                               uint32_t depth, uint8_t withPath, uint8_t clearDirty, uint8_t clearImport,
                               uint8_t byteOrder, uint32_t taskId)
{
    if (buffer == nullptr || sizeOut == nullptr || (nodes == nullptr && depth != 0) || depth > kMmsMaxDepth) {
        return kMmsBadArgument;
    }
    if (withPath == 0) {
        for (uint32_t k = 0; k + 1 < depth; ++k) {
            const uint32_t from = first != nullptr ? first[k] : 0;
            if (last == nullptr || last[k] != from) return kMmsBadArgument;
        }
    }
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    unsigned char* dirty = m_taskList.getTaskDirtyMem(taskId);
    unsigned char* searchers = m_taskList.getTaskImportSearcherMem(taskId);
    unsigned char* flags = m_taskList.getTaskImportFlagMem(taskId);
    if (capacity < kMmsExportHeaderSize) return kMmsBadArgument;
    const unsigned char* tagArea = m_tagInfo.getTagInfoPointer();
    if (tagArea == nullptr) return kMmsMissing;

    const uint32_t zeros[kMmsMaxDepth] = {};
    const T_FAST_ADDRESS address{nodes, first != nullptr ? first : zeros, depth};
    uint32_t tagSize = 0;
    uint32_t result = m_pTop->getExportTagSize(&tagSize, &address, 0, withPath);
    if (mmsIsFailure(result)) return result;
    if (tagSize > capacity - kMmsExportHeaderSize) return kMmsBadArgument;

    auto* image = static_cast<unsigned char*>(buffer);
    unsigned char* tagOut = image + kMmsExportHeaderSize;
    unsigned char* dataOut = tagOut + tagSize;
    uint32_t tagsWritten = 0;
    uint32_t dataWritten = 0;
    uint32_t factorsWritten = 0;
    result = m_pTop->exportData(tagOut, dataOut, &tagsWritten, &dataWritten, factorsOut, &factorsWritten,
                                factorsOut != nullptr ? factorCount : 0, tagSize,
                                capacity - kMmsExportHeaderSize - tagSize, &address, last, 0, 1, withPath, clearDirty,
                                clearImport, m_pValues, dirty, 0, searchers, flags, 0, m_pFactors, tagArea);
    if (mmsIsFailure(result)) return result;
    // The values sit right behind the tags written, which may be fewer than the size asked.
    if (tagsWritten < tagSize) memmove(tagOut + tagsWritten, dataOut, dataWritten);
    const uint32_t converted =
        CollectionTagInfo::endianCnvOfExportData(tagOut, tagsWritten, tagOut + tagsWritten, dataWritten, byteOrder);
    if (mmsIsFailure(converted)) return converted;
    const uint32_t header = m_tagInfo.getExportTagInfo(image, tagsWritten, dataWritten, byteOrder);
    if (mmsIsFailure(header)) return header;
    *sizeOut = kMmsExportHeaderSize + tagsWritten + dataWritten;
    return result;
}

uint32_t Root::exportDataFast(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut, uint32_t capacity,
                              const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t allOfLast,
                              uint8_t clearDirty, uint8_t clearImport, uint8_t byteOrder, uint32_t taskId)
{
    if (depth > kMmsMaxDepth || (indices == nullptr && depth != 0)) return kMmsBadArgument;
    uint32_t last[kMmsMaxDepth] = {};
    for (uint32_t k = 0; k < depth; ++k) last[k] = indices[k];
    if (allOfLast != 0 && depth > 0) last[depth - 1] = 0xFFFFFFFFu;
    return exportArrayFast(buffer, sizeOut, factorsOut, factorsOut != nullptr ? 1 : 0, capacity, nodes, indices,
                           last, depth, 0, clearDirty, clearImport, byteOrder, taskId);
}

uint32_t Root::exportData(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut, uint32_t capacity,
                          const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                          uint8_t allOfLast, uint8_t clearDirty, uint8_t clearImport, uint8_t byteOrder,
                          uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length, indexCount);
    if (mmsIsFailure(result)) return result;
    return exportDataFast(buffer, sizeOut, factorsOut, capacity, nodes, indices, depth, allOfLast, clearDirty,
                          clearImport, byteOrder, taskId);
}

uint32_t Root::exportArray(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut, uint32_t factorCount,
                           uint32_t capacity, const char* address, uint32_t length, const uint32_t* first,
                           const uint32_t* last, uint32_t indexCount, uint8_t withPath, uint8_t clearDirty,
                           uint8_t clearImport, uint8_t byteOrder, uint32_t taskId)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length, indexCount);
    if (mmsIsFailure(result)) return result;
    return exportArrayFast(buffer, sizeOut, factorsOut, factorCount, capacity, nodes, first, last, depth, withPath,
                           clearDirty, clearImport, byteOrder, taskId);
}

uint32_t Root::importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                              const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor,
                              uint8_t markOwnTask, uint8_t options, uint32_t taskId, const ISetChecker* checker,
                              uint32_t subscribeMode, const ExternalSetArg* externalArg)
{
    if (((nodes == nullptr || indices == nullptr) && depth != 0) || image == nullptr || imageSize == 0 ||
        depth > kMmsMaxDepth) {
        return kMmsBadArgument;
    }
    if (!isReady() || m_pTop == nullptr) return kMmsWrongState;
    const ExternalSetArg defaultArg;
    if (externalArg == nullptr) externalArg = &defaultArg;
    const IFactorModifier* modifier = externalArg->m_pModifier;

    unsigned char same = 0;
    unsigned char* tags = nullptr;
    uint32_t tagSize = 0;
    unsigned char* data = nullptr;
    uint32_t dataSize = 0;
    unsigned char order = 0;
    uint32_t result = m_tagInfo.readImportData(&same, &tags, &tagSize, &data, &dataSize, &order, image, imageSize);
    if (mmsIsFailure(result)) return result;
    if (order != kMmsByteOrderHost) {
        result = CollectionTagInfo::endianCnvOfImportData(tags, tagSize, data, dataSize, order);
        if (mmsIsFailure(result)) return result;
    }

    if (checker != nullptr && tags != nullptr && tagSize >= kMmsCollectionTagSize && memcmp(tags, "COL", 3) == 0) {
        // The image's name field need not end in a NUL: the checker gets a terminated copy.
        char imageTop[25] = {};
        memcpy(imageTop, tags + offsetof(T_COLLECTION_TAG, name), 24);
        if (checker->isImportBlocked(imageTop, m_pTop->getName())) return kMmsOk;
    }

    const unsigned char* filterData = nullptr;
    E_FILTER_STRUCTURE layout = E_FILTER_STRUCTURE_VALUES;
    if (filter != nullptr) {
        uint32_t filterDataSize = 0;
        uint32_t own = m_tagInfo.readImportFilterData(nullptr, nullptr, &filterData, &filterDataSize, nullptr, filter,
                                                      filterSize);
        if (mmsIsSuccess(own) && filterDataSize != 0 && filterDataSize != m_valueSize) own = kMmsBadArgument;
        if (mmsIsSuccess(own)) {
            if (filterDataSize == 0) filterData = nullptr;  // an empty value area filters nothing
        } else if (filterSize == imageSize) {
            const unsigned char* filterTags = nullptr;
            uint32_t filterTagSize = 0;
            unsigned char filterOrder = 0;
            const uint32_t asImage = m_tagInfo.readImportFilterData(&filterTags, &filterTagSize, &filterData,
                                                                    &filterDataSize, &filterOrder, filter, filterSize);
            if (mmsIsFailure(asImage)) return asImage;
            if (filterOrder != kMmsByteOrderHost) {
                filterData = nullptr;  // its flags would need swapping: imported without filter
            } else if (filterTagSize != tagSize || memcmp(filterTags, tags, tagSize) != 0 ||
                       filterDataSize != dataSize) {
                return kMmsBadArgument;
            } else {
                layout = E_FILTER_STRUCTURE_IMAGE;
            }
        } else {
            return own;
        }
    }

    const unsigned char* tagArea = m_tagInfo.getTagInfoPointer();
    if (tagArea == nullptr) return kMmsMissing;

    DirtyFlagHolder holder(&m_taskList, subscribeMode, markOwnTask, taskId);
    (void)holder.changeLocalFlagMode(1);
    T_FAST_ADDRESS address{nodes, indices, depth};
    uint8_t currentFactor = factor;
    uint32_t mode = subscribeMode;
    bool localOff = false;
    bool firstPass = true;
    IChannelLink* link = nullptr;
    result = kMmsOk;
    for (;;) {
        uint32_t pass = m_pTop->importData(same, &address, 0, currentFactor, tags, tagSize, data, dataSize, checker,
                                           m_pValues, filterData, layout, &holder, 0, 0, m_pFactors, tagArea);
        if (mmsIsSuccess(pass) && (pass & kMmsChanged) != 0 && (options & 0x10) != 0) {
            mode |= 1u;
            const uint8_t pluginFactor = modifier != nullptr ? modifier->modifyFactor(factor, mode) : factor;
            (void)holder.changeSubscribeMode(mode);
            if (!localOff) {
                (void)holder.changeLocalFlagMode(0);
                localOff = true;
            }
            auto* marks = const_cast<uint8_t*>(m_taskList.getDummyMemory());
            const uint32_t plugins = marks != nullptr ? pluginDriver(&holder, pluginFactor, marks) : kMmsOk;
            if (mmsIsSuccess(plugins)) pass |= plugins;
        }
        if (mmsIsFailure(pass)) return pass;
        result |= pass;
        if (m_pChannelLinker == nullptr) return result;

        if (firstPass) {
            bool noLink = false;
            link = m_pChannelLinker->getFirstLink(&address, nullptr, &noLink);
            if (link == nullptr && noLink) m_pChannelLinker->notifyUnlinked(&address);
            firstPass = false;
        } else {
            link = m_pChannelLinker->getNextLink(&address, link);
        }
        if (link == nullptr) return result;
        address.nodes = link->getNodes();
        address.indexes = link->getIndices();
        (void)holder.changeSubscribeMode(mode | 1u);
        if (modifier != nullptr) currentFactor = modifier->modifyFactor(factor, mode | 1u);
    }
}

uint32_t Root::importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
                                             uint32_t filterSize, const uint32_t* nodes, const uint32_t* indices,
                                             uint32_t depth, uint8_t factor, uint8_t markOwnTask, uint8_t options,
                                             uint32_t taskId, const ISetChecker* checker, uint32_t subscribeMode,
                                             const ExternalSetArg* externalArg)
{
    if (image == nullptr || imageSize == 0) return kMmsBadArgument;
    ImageCopy copy;
    unsigned char* bytes = copy.take(image, imageSize);
    if (bytes == nullptr) return kMmsNoMemory;
    return importDataFast(bytes, imageSize, filter, filterSize, nodes, indices, depth, factor, markOwnTask, options,
                          taskId, checker, subscribeMode, externalArg);
}

uint32_t Root::importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                          const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                          uint8_t factor, uint8_t markOwnTask, uint8_t options, uint32_t taskId,
                          const ISetChecker* checker, uint32_t subscribeMode, const ExternalSetArg* externalArg)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length, indexCount);
    if (mmsIsFailure(result)) return result;
    return importDataFast(image, imageSize, filter, filterSize, nodes, indices, depth, factor, markOwnTask, options,
                          taskId, checker, subscribeMode, externalArg);
}

uint32_t Root::importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
                                         uint32_t filterSize, const char* address, uint32_t length,
                                         const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                         uint8_t markOwnTask, uint8_t options, uint32_t taskId,
                                         const ISetChecker* checker, uint32_t subscribeMode,
                                         const ExternalSetArg* externalArg)
{
    uint32_t nodes[kMmsMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t result = convertAddress(nodes, &depth, address, length, indexCount);
    if (mmsIsFailure(result)) return result;
    return importDataUsingMuchMemoryFast(image, imageSize, filter, filterSize, nodes, indices, depth, factor,
                                         markOwnTask, options, taskId, checker, subscribeMode, externalArg);
}

}  // namespace MMS
