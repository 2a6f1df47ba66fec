#pragma once
// Headers of a dump image: a 48-byte field header ("MDF") followed, for each root, by a 32-byte
// root header ("MDR") and that root's export image. DumpHeaderInfo prepares, converts, reads and
// searches these headers; it holds no state and its operations may run on any task. Reading never
// writes into the dump: every conversion happens in the caller's header copies.
#include <cstdint>

#include "mms_Platform.h"
#include "mms_Result.h"

namespace MMS {

struct T_DUMP_FIELD_HEADER {
    char magic[3];            // "MDF"
    uint8_t length;           // 48
    char byteOrder[4];        // "BIG" or "LIT" and a NUL
    char productName[24];     // NUL-padded, at most 23 characters
    char productVersion[12];  // NUL-padded, at most 11 characters
    uint32_t rootCount;       // dump byte order
};

struct T_DUMP_ROOT_HEADER {
    char magic[3];    // "MDR"
    uint8_t length;   // 32
    char name[24];    // NUL-padded
    uint32_t size;    // bytes of the export image that follows, dump byte order
};

static_assert(sizeof(T_DUMP_FIELD_HEADER) == 48, "field header layout");
static_assert(sizeof(T_DUMP_ROOT_HEADER) == 32, "root header layout");

constexpr uint32_t kMmsDumpFieldHeaderSize = 48;
constexpr uint32_t kMmsDumpRootHeaderSize = 32;

class DumpHeaderInfo {
public:
    MMS_CLASS_ALLOCATORS

    virtual ~DumpHeaderInfo() = default;

    // Clears the header and writes magic and length; 0x80000002 for null.
    [[nodiscard]] static uint32_t prepareFieldHeader(T_DUMP_FIELD_HEADER* header);
    [[nodiscard]] static uint32_t prepareRootHeader(T_DUMP_ROOT_HEADER* header);
    // Clears both fields and copies at most 23 / 11 characters (null: left empty); 0x80000002 for
    // a null header.
    [[nodiscard]] static uint32_t setProductInfo(T_DUMP_FIELD_HEADER* header, const char* name,
                                                 const char* version);
    // Brings a host-order header into the order of the code (0 host, 1 little, 2 big) and, for the
    // field header, sets the mark. Codes above 2: 0x80000002, header unchanged.
    [[nodiscard]] static uint32_t adjustEndian(T_DUMP_FIELD_HEADER* header, unsigned char byteOrder);
    [[nodiscard]] static uint32_t adjustEndian(T_DUMP_ROOT_HEADER* header, unsigned char byteOrder);
    // Reverse the numbers (the field header's mark "BIG" and "LIT" swapped too).
    static void swapEndian(T_DUMP_FIELD_HEADER* header);
    static void swapEndian(T_DUMP_ROOT_HEADER* header);

    // A host-order copy of the dump's field header; *orderOut 0 for a dump in host order, else 2
    // (big-endian dump) or 1 (little-endian dump). 0x80000002 for null, a length below 8, no
    // "MDF" or an unknown mark.
    [[nodiscard]] static uint32_t readFieldHeader(T_DUMP_FIELD_HEADER* out, unsigned char* orderOut,
                                                  const unsigned char* dump, uint32_t length);
    // A host-order copy of the root header at at (the magic is not examined); 0x80000002 for null
    // or a length below 4.
    [[nodiscard]] static uint32_t readRootHeader(T_DUMP_ROOT_HEADER* out, const unsigned char* at, uint32_t length,
                                                 unsigned char orderCode);
    // Finds the root header named rootName (at most 24 characters compared) among the first
    // maxRoots (0: all); order code 255 takes the field header's. 0x80000002 for null arguments or
    // a dump shorter than its field header, 0x80000007 when the root is not found.
    [[nodiscard]] static uint32_t searchRootHeader(const unsigned char** found, T_DUMP_ROOT_HEADER* out,
                                                   const unsigned char* dump, uint32_t length, uint32_t maxRoots,
                                                   const char* rootName, unsigned char orderCode);
};

}  // namespace MMS
