#pragma once
// The shared core of DataAccessor and FilterDataModifier: one root's export image opened and
// checked, address resolution along its tags, and element access that checks every position
// against the data area before touching it.
#include <cstdint>

#include "../mms_DataAccessor.h"
#include "../mms_Types.h"

namespace MMS::internal {

// One root's export image. The data area is bounded both by the buffer and by the header's
// data-area size, so no walk of the tags can lead outside the image.
struct ImageView {
    unsigned char* base = nullptr;
    uint32_t size = 0;
    uint32_t headerLength = 0;
    T_COLLECTION_TAG top{};
    uint32_t topTreeSize = 0;  // head + parameter tags + child trees
    uint32_t dataStart = 0;
    uint32_t dataSize = 0;

    unsigned char* data() const { return base + dataStart; }
    const unsigned char* topAt() const { return base + headerLength; }
};

// The roots of an image one after another, each read from where the one before it ended: a dump's
// roots in order, or anything else as one export image (the whole buffer, no name).
class RootCursor {
public:
    RootCursor(const void* image, uint32_t size);
    // The next root: 0x80000002 null buffer or size 0, 0x80000007 past the last root, 0x80000008
    // a root that reaches past the buffer (and 0x80000002 for a root header too short to step by).
    uint32_t next(const void** rootImage, uint32_t* rootSize, const char** rootId);
    // Roots the image announces, and roots handed out so far.
    uint32_t count() const { return m_count; }
    uint32_t index() const { return m_index; }

private:
    const unsigned char* m_bytes;
    uint32_t m_size;
    bool m_dump = false;
    unsigned char m_order = 0;
    uint32_t m_count = 0;
    uint32_t m_index = 0;
    uint64_t m_position = 0;
};

// Where an element lies: a byte offset from the data area's start and, for bits, a bit position.
struct Position {
    uint64_t offset = 0;
    uint8_t bit = 0;
};

// An address in either form: by name (address, length) or by node numbers (nodes).
struct Address {
    bool byName = false;
    const char* text = nullptr;
    uint32_t length = 0;
    const uint32_t* nodes = nullptr;
    const uint32_t* indexes = nullptr;
    uint32_t depth = 0;
};

// A recorded tag read back into host records.
struct NodeTag {
    uint8_t category = kMmsNodeCollection;
    const unsigned char* at = nullptr;
    T_COLLECTION_TAG col{};
    T_PARAMETER_TAG prm{};
};

inline bool isBitParameter(const T_PARAMETER_TAG& tag)
{
    return tag.dataClass == kMmsClassUnsigned && tag.elementSize == 0;
}

// The image parameter type of a node: 0 for a collection or an unknown type.
uint32_t nodeType(const NodeTag& node);
// Bytes one element (parameter) or instance (collection) occupies; 0 for a bit.
uint32_t nodeDataSize(const NodeTag& node);
uint32_t nodeCount(const NodeTag& node);

// Opens a root's export image: "MMS", a header of at least 88 bytes, a top "COL" head whose tag
// tree lies inside the image. 0x80000002 otherwise.
uint32_t openRootImage(ImageView* view, const void* rootImage, uint32_t rootSize);
// Chooses the root by name (null: the first) and opens it; search failures are passed on.
uint32_t openRoot(ImageView* view, const void* image, uint32_t size, const char* rootName);

// Resolves the address below the top collection and records the path with the visitor.
// On success *position is the element or instance the address names and *last its node.
uint32_t resolve(const ImageView& view, IGetTagVisitor& visitor, const Address& address, Position* position,
                 NodeTag* last);
// Reads a recorded tag back; false for a record that is not a valid tag inside the image.
bool loadNode(const ImageView& view, const T_NODE_TAGINFO* info, NodeTag* node);

// Element access with the bounds check: 0x80000002 for a position outside the data area.
uint32_t readElement(JVariant* value, const ImageView& view, const NodeTag& node, const Position& position);
uint32_t writeElement(const JVariant& value, const ImageView& view, const NodeTag& node, const Position& position,
                      uint8_t setType);

// Unaligned 32-bit fields of a head in an image.
inline uint32_t loadU32(const unsigned char* at)
{
    uint32_t v;
    __builtin_memcpy(&v, at, 4);
    return v;
}
inline void storeU32(unsigned char* at, uint32_t v) { __builtin_memcpy(at, &v, 4); }

// Offsets of the numbers in a collection head and in an export header.
constexpr uint32_t kHeadParameterTags = 28;
constexpr uint32_t kHeadChildTags = 32;
constexpr uint32_t kHeadOffset = 36;
constexpr uint32_t kHeadInstanceBytes = 40;
constexpr uint32_t kHeadCount = 44;
constexpr uint32_t kHeaderMd5 = 44;
constexpr uint32_t kHeaderMd5Size = 36;
constexpr uint32_t kHeaderTagSize = 80;
constexpr uint32_t kHeaderDataSize = 84;

}  // namespace MMS::internal
