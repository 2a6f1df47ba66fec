// Dump image headers: preparing, converting, reading and searching them.
#include "mms_DumpHeaderInfo.h"

#include <cstring>

#include "mms_CollectionTagInfo.h"

namespace MMS {

namespace {

uint32_t reverse32(uint32_t v)
{
    return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
}

bool isMark(const char* mark, const char* text) { return memcmp(mark, text, 4) == 0; }

// The byte order the host does not use, as a code: the code a dump needs conversion for.
unsigned char foreignOrderCode() { return CollectionTagInfo::isHostBigEndian() ? kMmsByteOrderLittle : kMmsByteOrderBig; }

}  // namespace

uint32_t DumpHeaderInfo::prepareFieldHeader(T_DUMP_FIELD_HEADER* header)
{
    if (header == nullptr) return kMmsBadArgument;
    memset(header, 0, sizeof(*header));
    memcpy(header->magic, "MDF", 3);
    header->length = kMmsDumpFieldHeaderSize;
    return kMmsOk;
}

uint32_t DumpHeaderInfo::prepareRootHeader(T_DUMP_ROOT_HEADER* header)
{
    if (header == nullptr) return kMmsBadArgument;
    memset(header, 0, sizeof(*header));
    memcpy(header->magic, "MDR", 3);
    header->length = kMmsDumpRootHeaderSize;
    return kMmsOk;
}

uint32_t DumpHeaderInfo::setProductInfo(T_DUMP_FIELD_HEADER* header, const char* name, const char* version)
{
    if (header == nullptr) return kMmsBadArgument;
    memset(header->productName, 0, sizeof(header->productName));
    memset(header->productVersion, 0, sizeof(header->productVersion));
    if (name != nullptr) memcpy(header->productName, name, strnlen(name, sizeof(header->productName) - 1));
    if (version != nullptr) {
        memcpy(header->productVersion, version, strnlen(version, sizeof(header->productVersion) - 1));
    }
    return kMmsOk;
}

uint32_t DumpHeaderInfo::adjustEndian(T_DUMP_FIELD_HEADER* header, unsigned char byteOrder)
{
    if (header == nullptr || byteOrder > kMmsByteOrderBig) return kMmsBadArgument;
    if (CollectionTagInfo::isEndianConvert(byteOrder)) header->rootCount = reverse32(header->rootCount);
    bool big = byteOrder == kMmsByteOrderBig;
    if (byteOrder == kMmsByteOrderHost) big = CollectionTagInfo::isHostBigEndian();
    memcpy(header->byteOrder, big ? "BIG" : "LIT", 4);
    return kMmsOk;
}

uint32_t DumpHeaderInfo::adjustEndian(T_DUMP_ROOT_HEADER* header, unsigned char byteOrder)
{
    if (header == nullptr || byteOrder > kMmsByteOrderBig) return kMmsBadArgument;
    if (CollectionTagInfo::isEndianConvert(byteOrder)) header->size = reverse32(header->size);
    return kMmsOk;
}

void DumpHeaderInfo::swapEndian(T_DUMP_FIELD_HEADER* header)
{
    if (header == nullptr) return;
    header->rootCount = reverse32(header->rootCount);
    if (isMark(header->byteOrder, "BIG")) {
        memcpy(header->byteOrder, "LIT", 4);
    } else if (isMark(header->byteOrder, "LIT")) {
        memcpy(header->byteOrder, "BIG", 4);
    }
}

void DumpHeaderInfo::swapEndian(T_DUMP_ROOT_HEADER* header)
{
    if (header == nullptr) return;
    header->size = reverse32(header->size);
}

uint32_t DumpHeaderInfo::readFieldHeader(T_DUMP_FIELD_HEADER* out, unsigned char* orderOut,
                                         const unsigned char* dump, uint32_t length)
{
    if (out == nullptr || orderOut == nullptr || dump == nullptr || length < 8) return kMmsBadArgument;
    if (memcmp(dump, "MDF", 3) != 0) return kMmsBadArgument;
    const char* mark = reinterpret_cast<const char*>(dump + 4);
    const bool big = isMark(mark, "BIG");
    if (!big && !isMark(mark, "LIT")) return kMmsBadArgument;
    uint32_t count = dump[3];
    if (count > sizeof(*out)) count = sizeof(*out);
    if (count > length) count = length;
    memset(out, 0, sizeof(*out));
    memcpy(out, dump, count);
    if (big == CollectionTagInfo::isHostBigEndian()) {
        *orderOut = kMmsByteOrderHost;
    } else {
        swapEndian(out);
        *orderOut = big ? kMmsByteOrderBig : kMmsByteOrderLittle;
    }
    return kMmsOk;
}

uint32_t DumpHeaderInfo::readRootHeader(T_DUMP_ROOT_HEADER* out, const unsigned char* at, uint32_t length,
                                        unsigned char orderCode)
{
    if (out == nullptr || at == nullptr || length < 4) return kMmsBadArgument;
    uint32_t count = at[3];
    if (count > sizeof(*out)) count = sizeof(*out);
    if (count > length) count = length;
    memset(out, 0, sizeof(*out));
    memcpy(out, at, count);
    if (orderCode == foreignOrderCode()) swapEndian(out);
    return kMmsOk;
}

uint32_t DumpHeaderInfo::searchRootHeader(const unsigned char** found, T_DUMP_ROOT_HEADER* out,
                                          const unsigned char* dump, uint32_t length, uint32_t maxRoots,
                                          const char* rootName, unsigned char orderCode)
{
    if (dump == nullptr || length == 0 || rootName == nullptr) return kMmsBadArgument;
    uint64_t position = 0;
    T_DUMP_FIELD_HEADER field{};
    unsigned char fieldOrder = 0;
    if (mmsIsSuccess(readFieldHeader(&field, &fieldOrder, dump, length))) {
        if (length < field.length) return kMmsBadArgument;
        position = field.length;
        if (orderCode == 0xFF) orderCode = fieldOrder;
    }
    uint32_t count = 0;
    while (position < length && (maxRoots == 0 || count < maxRoots)) {
        T_DUMP_ROOT_HEADER header{};
        const uint32_t left = static_cast<uint32_t>(length - position);
        if (mmsIsFailure(readRootHeader(&header, dump + position, left, orderCode))) return kMmsNotFound;
        ++count;
        if (strncmp(header.name, rootName, sizeof(header.name)) == 0) {
            if (found != nullptr) *found = dump + position;
            if (out != nullptr) *out = header;
            return kMmsOk;
        }
        // 64 bits: a huge size must not wrap round; a step of 0 would never end.
        const uint64_t step = static_cast<uint64_t>(header.length) + header.size;
        if (step == 0 || step >= left) break;
        position += step;
    }
    return kMmsNotFound;
}

}  // namespace MMS
