#include "mms_FilterDataModifier.h"

#include <cstring>

#include "internal/mms_DataAccessorImage.h"
#include "jlib/JVariantArray.h"
#include "mms_DataAccessor.h"
#include "mms_Result.h"

namespace MMS {

void AddCommand::execute(unsigned char* destination, const unsigned char* source, uint32_t count) const
{
    for (uint32_t i = 0; i < count; ++i) destination[i] = static_cast<unsigned char>(destination[i] + source[i]);
}

void OrCommand::execute(unsigned char* destination, const unsigned char* source, uint32_t count) const
{
    for (uint32_t i = 0; i < count; ++i) destination[i] = static_cast<unsigned char>(destination[i] | source[i]);
}

namespace {

uint32_t flagRange(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                   const uint32_t* nodeVector, const uint32_t* first, const uint32_t* last, uint32_t depth,
                   const char* rootName, int flag)
{
    JVariantArray values(JVariant::kTypeInt32, 4, 1);
    (void)values.setPrimitiveValue(0, flag);
    return DataAccessor::setArray(values, filter, size, rootName, address, addressLength, nodeVector, first, last,
                                  depth, 1, SETTYPE_FLAG);
}

}  // namespace

uint32_t FilterDataModifier::allSet(void* filter, uint32_t size, const char* rootName)
{
    return DataAccessor::setPrm(JVariant(1), filter, size, rootName, "", 0, nullptr, 0, SETTYPE_FLAG);
}

uint32_t FilterDataModifier::allClear(void* filter, uint32_t size, const char* rootName)
{
    return DataAccessor::setPrm(JVariant(0), filter, size, rootName, "", 0, nullptr, 0, SETTYPE_FLAG);
}

uint32_t FilterDataModifier::set(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                 const uint32_t* indexVector, uint32_t depth, const char* rootName)
{
    return DataAccessor::setPrm(JVariant(1), filter, size, rootName, address, addressLength, indexVector, depth,
                                SETTYPE_FLAG);
}

uint32_t FilterDataModifier::clear(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                   const uint32_t* indexVector, uint32_t depth, const char* rootName)
{
    return DataAccessor::setPrm(JVariant(0), filter, size, rootName, address, addressLength, indexVector, depth,
                                SETTYPE_FLAG);
}

uint32_t FilterDataModifier::setArray(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                      const uint32_t* first, const uint32_t* last, uint32_t depth,
                                      const char* rootName)
{
    return flagRange(filter, size, address == nullptr ? "" : address, addressLength, nullptr, first, last, depth,
                     rootName, 1);
}

uint32_t FilterDataModifier::clearArray(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                        const uint32_t* first, const uint32_t* last, uint32_t depth,
                                        const char* rootName)
{
    return flagRange(filter, size, address == nullptr ? "" : address, addressLength, nullptr, first, last, depth,
                     rootName, 0);
}

uint32_t FilterDataModifier::setFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                     const uint32_t* indexVector, uint32_t depth, const char* rootName)
{
    return DataAccessor::setPrmFast(JVariant(1), filter, size, rootName, nodeVector, indexVector, depth,
                                    SETTYPE_FLAG);
}

uint32_t FilterDataModifier::clearFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                       const uint32_t* indexVector, uint32_t depth, const char* rootName)
{
    return DataAccessor::setPrmFast(JVariant(0), filter, size, rootName, nodeVector, indexVector, depth,
                                    SETTYPE_FLAG);
}

uint32_t FilterDataModifier::setArrayFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                          const uint32_t* first, const uint32_t* last, uint32_t depth,
                                          const char* rootName)
{
    return flagRange(filter, size, nullptr, 0, nodeVector, first, last, depth, rootName, 1);
}

uint32_t FilterDataModifier::clearArrayFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                            const uint32_t* first, const uint32_t* last, uint32_t depth,
                                            const char* rootName)
{
    return flagRange(filter, size, nullptr, 0, nodeVector, first, last, depth, rootName, 0);
}

uint32_t FilterDataModifier::mergeFilters(void* destination, uint32_t size, const void* source, uint32_t sourceSize,
                                          const char* rootName, const IFilterMergeCommand& command)
{
    internal::ImageView to;
    internal::ImageView from;
    if (internal::openRoot(&to, destination, size, rootName) != kMmsOk ||
        internal::openRoot(&from, source, sourceSize, rootName) != kMmsOk) {
        return kMmsBadArgument;
    }
    const uint32_t below = to.top.parameterTagsSize + to.top.childTagsSize;
    if (to.top.parameterTagsSize != from.top.parameterTagsSize || to.top.childTagsSize != from.top.childTagsSize ||
        to.top.elementDataSize != from.top.elementDataSize ||
        std::memcmp(to.topAt() + to.top.length, from.topAt() + from.top.length, below) != 0) {
        return kMmsBadArgument;
    }
    // Both instances must lie inside their images before a byte is combined.
    const uint32_t bytes = to.top.elementDataSize;
    if (bytes > to.dataSize || bytes > from.dataSize) return kMmsBadArgument;
    command.execute(to.data(), from.data(), bytes);
    return kMmsOk;
}

uint32_t FilterDataModifier::mergeFilters(void* destination, uint32_t size, const void* source, uint32_t sourceSize,
                                          const IFilterMergeCommand& command)
{
    uint32_t flags = 0;
    internal::RootCursor roots(destination, size);
    for (;;) {
        const void* rootImage = nullptr;
        uint32_t rootSize = 0;
        const char* id = nullptr;
        if (roots.next(&rootImage, &rootSize, &id) != kMmsOk) break;
        char name[25] = {};
        if (id != nullptr) std::memcpy(name, id, 24);
        const void* sourceRoot = nullptr;
        uint32_t sourceRootSize = 0;
        if (DataAccessor::searchExportData(&sourceRoot, &sourceRootSize, source, sourceSize,
                                           id != nullptr ? name : nullptr) != kMmsOk) {
            flags |= 0x200;
            continue;
        }
        // The pair is merged as two single images, so the names need not be looked up again.
        if (mergeFilters(const_cast<void*>(rootImage), rootSize, sourceRoot, sourceRootSize, nullptr, command) !=
            kMmsOk) {
            flags |= 0x100;
        }
    }
    return flags;
}

uint32_t FilterDataModifier::addFilters(void* destination, uint32_t size, const void* source, uint32_t sourceSize)
{
    return mergeFilters(destination, size, source, sourceSize, AddCommand());
}

uint32_t FilterDataModifier::orFilters(void* destination, uint32_t size, const void* source, uint32_t sourceSize)
{
    return mergeFilters(destination, size, source, sourceSize, OrCommand());
}

}  // namespace MMS
