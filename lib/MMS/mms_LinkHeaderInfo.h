#pragma once
// The link image of a root: an "MLH" header, then per link an "MLC" tag followed by one "MLI" tag
// per member, written directly behind the root's export image in that image's byte order. Readers
// find it behind an export image, accept member tags with any number of address slots and never
// read past the length they are given. Also turns a member's node indexes into a text address by
// the names of the export image it came with. No state: any task may call.
#include <cstdint>

#include "MMS/Common/mms_Result.h"

namespace MMS {

struct T_LINK_COLLECTION;
struct T_LINK_ITEM;
struct T_COLLECTION_TAG;

// The tags as they lie in an image (no padding: every field sits on its natural boundary).
struct T_LINK_INFO_HEADER {
    char magic[3];  // "MLH"
    uint8_t length;  // 12
    uint32_t bodyLength;  // bytes of link blocks behind the header
    uint32_t slots;       // address slots per member tag: 5 when written
};

struct T_LINK_COLL_TAG {
    char magic[3];  // "MLC"
    uint8_t length;  // 16
    uint32_t linkId;
    uint16_t linkType;
    uint16_t onOff;
    uint32_t itemLength;  // 52 x members
};

struct T_LINK_ITEM_TAG {
    char magic[3];  // "MLI"
    uint8_t length;  // 52
    uint32_t depth;
    uint32_t value;  // Int32 for value kind 4, else Float
    uint32_t nodeIndexes[5];
    uint32_t arrayIndexes[5];
};

constexpr uint32_t kLinkHeaderSize = 12;
constexpr uint32_t kLinkCollTagSize = 16;
constexpr uint32_t kLinkItemTagSize = 52;
constexpr uint32_t kLinkTextSize = 120;  // a member's text address while it is translated

class LinkHeaderInfo {
public:
    LinkHeaderInfo() = default;
    virtual ~LinkHeaderInfo() = default;

    // Whether a writer given this byte-order code must reverse the numbers.
    static bool isEndianConvert(uint8_t byteOrder);

    // Writers: the tag at dest (unaligned is fine) in the order the byte-order code asks; 0, or
    // 0x80000002 for a null argument.
    [[nodiscard]] static uint32_t writeLinkHeaderData(unsigned char* dest, uint32_t bodyLength, uint8_t byteOrder);
    [[nodiscard]] static uint32_t writeLinkCollectionData(unsigned char* dest, const T_LINK_COLLECTION* link,
                                                          uint32_t itemLength, uint8_t byteOrder);
    // The remembered value as Int32 for value kind 4, else as Float (the same 32-bit cell).
    [[nodiscard]] static uint32_t writeLinkItemData(unsigned char* dest, const T_LINK_ITEM* member,
                                                    uint32_t valueKind, uint8_t byteOrder);

    // Reverse the multi-byte fields in place; 0x80000002 for null.
    [[nodiscard]] static uint32_t endianCnvLinkHeaderTag(T_LINK_INFO_HEADER* tag);
    [[nodiscard]] static uint32_t endianCnvLinkCllTag(T_LINK_COLL_TAG* tag);
    [[nodiscard]] static uint32_t endianCnvLinkItemTag(T_LINK_ITEM_TAG* tag);

    // The bytes behind the export image at the start of image (null and 0 when there are none);
    // same: the image's UUID equals uuid (36 bytes); convert: the export header was in the other
    // order. 0x80000002 for a null argument, 0x80000001 for an unreadable export header.
    [[nodiscard]] static uint32_t getLinkData(const unsigned char** area, uint32_t* areaLength, uint8_t* same,
                                              uint8_t* convert, const unsigned char* image, uint32_t imageLength,
                                              const char* uuid);
    // Skips framed foreign tags up to "MLH" and hands out its body, body length and slot count;
    // 0 with the outputs untouched when there is none. 0x80000002 for a null argument or an "MLH"
    // header or body longer than the area.
    [[nodiscard]] static uint32_t linkHeaderCheck(const unsigned char** body, uint32_t* bodyLength,
                                                  uint32_t* slots, const unsigned char* area, uint32_t areaLength,
                                                  uint8_t convert);
    // One link tag: the link gets its id, link type and on/off. 0x80000002 for a null argument, a
    // wrong magic, a tag shorter than 16 bytes or longer than the data, or member tags longer than
    // the bytes behind it.
    [[nodiscard]] static uint32_t readLinkCollectionData(T_LINK_COLLECTION* link, uint32_t* tagLength,
                                                         uint32_t* itemLength, const unsigned char* data,
                                                         uint32_t length, uint8_t convert);
    // One member tag of `slots` address slots: the member gets depth, both index vectors and the
    // value cell. 0x80000002 for a null argument, a wrong magic or a tag shorter than 12 + 8 x
    // slots or longer than the data; 0x80000006 for a depth above 5 or above the slot count.
    [[nodiscard]] static uint32_t readLinkItemData(T_LINK_ITEM* member, uint32_t* tagLength,
                                                   const unsigned char* data, uint32_t length, uint32_t slots,
                                                   uint8_t convert);

    // The text address of a member (node indexes, depth) by the names of the export image: "a/b/x"
    // for depth 3, "/x" for depth 1. text holds kLinkTextSize bytes and is always terminated; a
    // path that does not fit gives 0x80000006. named: 0 when the parameter has no name (then the
    // text ends at its collection). 0x80000006 for a bad argument or a node index that names no
    // child, 0x80000002 for a parameter where a collection is needed or the reverse, or the
    // failure of a tag that cannot be read.
    [[nodiscard]] static uint32_t cnvLinkPrmAddrRoot(char* text, uint8_t* named, const uint32_t* nodes,
                                                     uint32_t depth, const unsigned char* image,
                                                     uint32_t imageLength);
    [[nodiscard]] static uint32_t cnvLinkPrmAddrCollection(char* text, uint8_t* named, const T_COLLECTION_TAG* tag,
                                                           const unsigned char* area, uint32_t areaLength,
                                                           const uint32_t* nodes, uint32_t depth, uint32_t level,
                                                           bool convert);
};

}  // namespace MMS
