// The field core's dump images: a field header, then per root a root header and the root's whole
// export image.
#include <cstring>
#include <new>

#include "jlib/jlib_result.h"
#include "mms_Base.h"
#include "mms_DumpHeaderInfo.h"
#include "mms_Result.h"
#include "mms_Root.h"
#include "mms_RootList.h"

namespace MMS {

uint32_t Base::getDumpSizeFast(uint32_t* size)
{
    if (!isReady()) return kMmsWrongState;
    if (size == nullptr) return kMmsBadArgument;
    if (m_pRootList == nullptr) return kMmsMissing;
    uint32_t total = 0;
    const uint32_t count = m_pRootList->getNum();
    for (uint32_t i = 0; i < count; ++i) {
        Root* root = m_pRootList->get(i);
        uint32_t rootSize = 0;
        // A root that cannot tell its size is left out of the dump, as getDumpFast leaves it.
        if (root == nullptr || mmsIsFailure(root->getExportDataSizeFast(&rootSize, nullptr, 0, 1))) continue;
        total += kMmsDumpRootHeaderSize + rootSize;
    }
    if (total != 0) total += kMmsDumpFieldHeaderSize;
    *size = total;
    return kMmsOk;
}

uint32_t Base::getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty,
                           uint8_t byteOrder, uint32_t taskId)
{
    if (!isReady()) return kMmsWrongState;
    if (buffer == nullptr || bufferSize == 0 || written == nullptr || byteOrder > kMmsByteOrderBig ||
        bufferSize < kMmsDumpFieldHeaderSize) {
        return kMmsBadArgument;
    }
    if (m_pRootList == nullptr) return kMmsMissing;
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t position = kMmsDumpFieldHeaderSize;
    T_DUMP_ROOT_HEADER header;
    JLIB_RETURN_IF_FAILED(DumpHeaderInfo::prepareRootHeader(&header));
    uint32_t writtenRoots = 0;
    const uint32_t count = m_pRootList->getNum();
    // The image simply ends where the next root header no longer fits.
    for (uint32_t i = 0; i < count && bufferSize - position >= kMmsDumpRootHeaderSize; ++i) {
        Root* root = m_pRootList->get(i);
        if (root == nullptr) return kMmsMissing;
        memset(header.name, 0, sizeof(header.name));
        JLIB_RETURN_IF_FAILED(m_pRootList->getIdentifier(header.name, i));
        uint32_t length = 0;
        const uint32_t room = bufferSize - position - kMmsDumpRootHeaderSize;
        JLIB_RETURN_IF_FAILED(root->exportDataFast(out + position + kMmsDumpRootHeaderSize, &length, nullptr, room,
                                                   nullptr, nullptr, 0, 1, clearDirty, 1, byteOrder, taskId));
        header.size = length;
        JLIB_RETURN_IF_FAILED(DumpHeaderInfo::adjustEndian(&header, byteOrder));
        memcpy(out + position, &header, sizeof(header));
        position += kMmsDumpRootHeaderSize + length;
        ++writtenRoots;
    }
    T_DUMP_FIELD_HEADER field;
    JLIB_RETURN_IF_FAILED(DumpHeaderInfo::prepareFieldHeader(&field));
    field.rootCount = writtenRoots;
    JLIB_RETURN_IF_FAILED(DumpHeaderInfo::adjustEndian(&field, byteOrder));
    memcpy(out, &field, sizeof(field));
    *written = position;
    return kMmsOk;
}

uint32_t Base::setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
                           uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                           const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    if (!isReady()) return kMmsWrongState;
    if (image == nullptr || imageSize == 0 || (filterDump == nullptr) != (filterSize == 0)) return kMmsBadArgument;
    if (m_pRootList == nullptr) return kMmsMissing;
    auto* dump = static_cast<unsigned char*>(image);
    const auto* filter = static_cast<const unsigned char*>(filterDump);
    T_DUMP_FIELD_HEADER field;
    unsigned char order = 0;
    JLIB_RETURN_IF_FAILED(DumpHeaderInfo::readFieldHeader(&field, &order, dump, imageSize));
    // A size byte below the header's own size would start the walk inside the header.
    if (field.length < kMmsDumpFieldHeaderSize || field.length > imageSize) return kMmsBadArgument;
    const uint32_t mode = setOption2notifyMode(notifyOptions, notifyMode);
    uint64_t position = field.length;
    for (uint32_t k = 0; k < field.rootCount; ++k) {
        const uint64_t left = imageSize - position;
        T_DUMP_ROOT_HEADER header;
        JLIB_RETURN_IF_FAILED(
            DumpHeaderInfo::readRootHeader(&header, dump + position, static_cast<uint32_t>(left), order));
        // Checked before the import, which converts the data in place: a header that would not
        // advance the walk, or data running past the image, is refused.
        if (header.length < kMmsDumpRootHeaderSize || static_cast<uint64_t>(header.length) + header.size > left) {
            return kMmsBadArgument;
        }
        char name[sizeof(header.name) + 1] = {};
        memcpy(name, header.name, sizeof(header.name));

        const unsigned char* rootFilter = nullptr;
        uint32_t rootFilterSize = 0;
        const unsigned char* entry = nullptr;
        T_DUMP_ROOT_HEADER filterHeader;
        if (filter != nullptr && mmsIsSuccess(DumpHeaderInfo::searchRootHeader(&entry, &filterHeader, filter,
                                                                               filterSize, 0, name, 0xFF))) {
            const uint64_t filterLeft = filterSize - static_cast<uint64_t>(entry - filter);
            if (filterHeader.length < kMmsDumpRootHeaderSize ||
                static_cast<uint64_t>(filterHeader.length) + filterHeader.size > filterLeft) {
                return kMmsBadArgument;
            }
            rootFilter = entry + filterHeader.length;
            rootFilterSize = filterHeader.size;
        }

        Root* root = m_pRootList->get(name);
        if (root != nullptr) {
            const uint32_t result = root->importDataFast(dump + position + header.length, header.size, rootFilter,
                                                         rootFilterSize, nullptr, nullptr, 0, factor,
                                                         includeOriginator, notifyOptions, originatorId, checker,
                                                         mode, externalArg);
            // Unlike a single root's import, notify option 0x02 does not hold this event back.
            if (mmsIsSuccess(result) && (result & kMmsChanged) != 0) {
                (void)sendRootEvent(root, includeOriginator, originatorId);
            }
            // A root that refuses its part is passed over; the other roots still import.
        }
        position += static_cast<uint64_t>(header.length) + header.size;
    }
    return kMmsOk;
}

uint32_t Base::setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
                                          uint32_t filterSize, uint8_t factor, uint8_t includeOriginator,
                                          uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                                          uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    if (!isReady()) return kMmsWrongState;
    if (image == nullptr || imageSize == 0) {
        return setDumpFast(nullptr, imageSize, filterDump, filterSize, factor, includeOriginator, notifyOptions,
                           originatorId, checker, notifyMode, externalArg);
    }
    auto* copy = new (std::nothrow) unsigned char[imageSize];
    if (copy == nullptr) return kMmsNoMemory;
    memcpy(copy, image, imageSize);
    const uint32_t result = setDumpFast(copy, imageSize, filterDump, filterSize, factor, includeOriginator,
                                        notifyOptions, originatorId, checker, notifyMode, externalArg);
    delete[] copy;
    return result;
}

}  // namespace MMS
