#pragma once
// Direct access to the values of export images and dump images held in a caller's buffer, without
// a field: finding a root's image, resolving string and Fast addresses along its tags, reading and
// writing single values and ranges, node information and renaming, walking every tag, cutting out
// part of an image, merging one image into another and putting an image under new ancestors.
// Nothing here allocates (beyond the JVariant values themselves) or locks; callers that share a
// buffer between tasks serialise their access. Images are read in host order as they stand.
// Every position reached through the tags is checked against the image before it is touched:
// a crafted image is refused with 0x80000002 rather than read or written outside its buffer.
#include <cstdint>

#include "jlib/JVariant.h"
#include "mms_CollectionTagInfo.h"
#include "mms_IPeekCommand.h"

class JVariantArray;

namespace MMS {

// Node categories of a resolved address.
constexpr uint8_t kMmsNodeCollection = 0;
constexpr uint8_t kMmsNodeParameter = 1;

// One tag met on an address's path: its category and where its head or tag lies in the image
// (the bytes may be unaligned: read them with CollectionTagInfo::readCollTagInfo / readPrmTagInfo).
struct T_NODE_TAGINFO {
    uint8_t category = kMmsNodeCollection;
    const unsigned char* tag = nullptr;
};

// How a write treats the value: 0 writes it, 1 fills the element (or instance) with its low
// byte, 2 flag mode (0xFF or 0x00 per byte; a bit set or cleared).
enum CATEGORY_SETTYPE : uint8_t {
    SETTYPE_VALUE = 0,
    SETTYPE_FILL = 1,
    SETTYPE_FLAG = 2,
};

// Records the tags met while an address is resolved, the top collection first.
class IGetTagVisitor {
public:
    virtual ~IGetTagVisitor() = default;
    virtual void outputTagInfo(const T_COLLECTION_TAG* tag) = 0;
    virtual void outputTagInfo(const T_PARAMETER_TAG* tag) = 0;
    virtual const T_NODE_TAGINFO* tagInfo(uint32_t index) const = 0;
    virtual uint32_t tagNum() const = 0;
};

// Keeps the last tag only: tagNum is 1 once one was met; tagInfo answers it for any index.
class GetTagVisitorFor1Param final : public IGetTagVisitor {
public:
    void outputTagInfo(const T_COLLECTION_TAG* tag) override;
    void outputTagInfo(const T_PARAMETER_TAG* tag) override;
    const T_NODE_TAGINFO* tagInfo(uint32_t index) const override;
    uint32_t tagNum() const override { return m_count; }

private:
    T_NODE_TAGINFO m_info;
    uint32_t m_count = 0;
};

// Keeps the whole path: the top collection and one record per level, at most 6. A longer path
// is remembered as overflowing (its records past the sixth are dropped).
class GetTagVisitorForArray final : public IGetTagVisitor {
public:
    static constexpr uint32_t kMaxRecords = 6;

    void outputTagInfo(const T_COLLECTION_TAG* tag) override;
    void outputTagInfo(const T_PARAMETER_TAG* tag) override;
    // Null for an index not below tagNum.
    const T_NODE_TAGINFO* tagInfo(uint32_t index) const override;
    uint32_t tagNum() const override { return m_count; }
    bool overflowed() const { return m_overflow; }

private:
    void add(uint8_t category, const void* tag);

    T_NODE_TAGINFO m_info[kMaxRecords];
    uint32_t m_count = 0;
    bool m_overflow = false;
};

// The bytes a String or Binary write copies into an element.
class ISetJVariantStrategy {
public:
    virtual ~ISetJVariantStrategy() = default;
    virtual const unsigned char* getPtr(const JVariant& value) const = 0;
    virtual uint32_t getLength(const JVariant& value) const = 0;
};

// The text and its character count of a String (null and 0 for any other type).
class StringSetJVariantStrategy final : public ISetJVariantStrategy {
public:
    const unsigned char* getPtr(const JVariant& value) const override;
    uint32_t getLength(const JVariant& value) const override;
};

// The bytes and byte count of a Binary (null and 0 for any other type).
class BinarySetJVariantStrategy final : public ISetJVariantStrategy {
public:
    const unsigned char* getPtr(const JVariant& value) const override;
    uint32_t getLength(const JVariant& value) const override;
};

// The values an array write takes one after another; an invalid value ends the write.
class IGetArrayValueStrategy {
public:
    virtual ~IGetArrayValueStrategy() = default;
    virtual const JVariant& value() = 0;
};

// Element 0 of the array, copied when built, every time (invalid for an empty array).
class GetArrayValueStrategyForSameValue final : public IGetArrayValueStrategy {
public:
    explicit GetArrayValueStrategyForSameValue(const JVariantArray& values);
    const JVariant& value() override { return m_value; }

private:
    JVariant m_value;
};

// Elements 0, 1, 2, ... of the array in turn; an invalid value past its end.
class GetArrayValueStrategyForDiffValue final : public IGetArrayValueStrategy {
public:
    explicit GetArrayValueStrategyForDiffValue(const JVariantArray& values) : m_values(values) {}
    const JVariant& value() override;

private:
    const JVariantArray& m_values;
    uint32_t m_next = 0;
    JVariant m_value;
    JVariant m_invalid;
};

// Advances *cursor by n and shrinks *remaining: 0x80000000 (nothing moved) for a null pointer or
// fewer than n bytes left.
[[nodiscard]] uint32_t skip(const unsigned char** cursor, uint32_t* remaining, uint32_t n);

// Element writers over memory the caller has checked. The strategy form copies the strategy's
// bytes and zero-fills the rest of the element; no bytes, or more than elementSize, gives
// 0x80000001 and writes nothing. The typed form writes value as the image parameter type type
// (0x100: the bit at bitPosition of the byte): 0x80000001 for a type it cannot write.
[[nodiscard]] uint32_t setJVariant(unsigned char* element, uint32_t elementSize, const JVariant& value,
                                   const ISetJVariantStrategy& strategy);
[[nodiscard]] uint32_t setJVariant(unsigned char* element, uint32_t type, uint32_t elementSize,
                                   uint8_t bitPosition, const JVariant& value);
// Element reader of the image parameter type type: 0x80000001 for an unknown type or a text of
// more than 1023 characters, 0x80000002 for a null output.
[[nodiscard]] uint32_t getJVariant(JVariant* value, const unsigned char* element, uint32_t type,
                                   uint32_t elementSize, uint8_t bitPosition);

class DataAccessor {
public:
    DataAccessor() = delete;

    // Roots of an image: the root count of a dump, 1 for an export image, 0 for anything else.
    static uint32_t getRootNum(const void* image, uint32_t size);
    // The export image of the root at index: for a dump its bytes after the root header, its size
    // field and its 24-byte name; for an export image the whole buffer at index 0 and no name.
    // Each output may be null. 0x80000002 null buffer or size 0, 0x80000007 no such root,
    // 0x80000008 a root that reaches past the buffer.
    [[nodiscard]] static uint32_t getExportData(const void** rootImage, uint32_t* rootSize, const char** rootId,
                                                const void* image, uint32_t size, uint32_t index);
    [[nodiscard]] static uint32_t getExportData(void** rootImage, uint32_t* rootSize, const char** rootId, void* image,
                                                uint32_t size, uint32_t index);
    [[nodiscard]] static uint32_t getRootId(const char** rootId, const void* image, uint32_t size, uint32_t index);
    // The first root named rootName (24 bytes compared); null, or an export image, takes the first.
    [[nodiscard]] static uint32_t searchExportData(const void** rootImage, uint32_t* rootSize, const void* image,
                                                   uint32_t size, const char* rootName);
    [[nodiscard]] static uint32_t searchExportData(void** rootImage, uint32_t* rootSize, void* image, uint32_t size,
                                                   const char* rootName);
    // The 24-byte name field of the chosen root's top collection head.
    [[nodiscard]] static uint32_t getRootName(const char** name, const void* image, uint32_t size,
                                              const char* rootName);
    // The chosen root's data area and top collection head (unaligned bytes in the image).
    [[nodiscard]] static uint32_t getPrmArea(const void** data, const T_COLLECTION_TAG** topHead, const void* image,
                                             uint32_t size, const char* rootName);
    [[nodiscard]] static uint32_t getPrmArea(void** data, const T_COLLECTION_TAG** topHead, void* image,
                                             uint32_t size, const char* rootName);

    // One element of a parameter.
    [[nodiscard]] static uint32_t getPrm(JVariant* value, const void* image, uint32_t size, const char* rootName,
                                         const char* address, uint32_t addressLength, const uint32_t* indexVector,
                                         uint32_t depth);
    [[nodiscard]] static uint32_t getPrmFast(JVariant* value, const void* image, uint32_t size, const char* rootName,
                                             const uint32_t* nodeVector, const uint32_t* indexVector, uint32_t depth);
    // One element of a parameter, or (set types 1 and 2) one instance of a collection.
    [[nodiscard]] static uint32_t setPrm(const JVariant& value, void* image, uint32_t size, const char* rootName,
                                         const char* address, uint32_t addressLength, const uint32_t* indexVector,
                                         uint32_t depth, uint8_t setType);
    [[nodiscard]] static uint32_t setPrmFast(const JVariant& value, void* image, uint32_t size, const char* rootName,
                                             const uint32_t* nodeVector, const uint32_t* indexVector, uint32_t depth,
                                             uint8_t setType);

    // Node information; every output may be null. maxIndexes receives, per level below the top,
    // the highest index there when capacity covers the path.
    [[nodiscard]] static uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                              uint32_t* arraySize, uint32_t* maxIndexes, uint32_t* depthOut,
                                              uint32_t capacity, const void* image, uint32_t size,
                                              const char* rootName, const char* address, uint32_t addressLength);
    [[nodiscard]] static uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                                  uint32_t* arraySize, uint32_t* maxIndexes, uint32_t* depthOut,
                                                  uint32_t depth, const void* image, uint32_t size,
                                                  const char* rootName, const uint32_t* nodeVector);
    // 0x80000007 when the node has no type (a collection or an unknown type).
    [[nodiscard]] static uint32_t getPrmType(uint32_t* type, const void* image, uint32_t size, const char* rootName,
                                             const char* address, uint32_t addressLength);
    [[nodiscard]] static uint32_t getPrmTypeFast(uint32_t* type, const void* image, uint32_t size,
                                                 const char* rootName, const uint32_t* nodeVector, uint32_t depth);
    [[nodiscard]] static uint32_t getNodeDataSize(uint32_t* dataSize, const void* image, uint32_t size,
                                                  const char* rootName, const char* address, uint32_t addressLength);
    [[nodiscard]] static uint32_t getNodeDataSizeFast(uint32_t* dataSize, const void* image, uint32_t size,
                                                      const char* rootName, const uint32_t* nodeVector,
                                                      uint32_t depth);
    [[nodiscard]] static uint32_t getNodeCategory(uint8_t* category, const void* image, uint32_t size,
                                                  const char* rootName, const char* address, uint32_t addressLength);
    [[nodiscard]] static uint32_t getNodeCategoryFast(uint8_t* category, const void* image, uint32_t size,
                                                      const char* rootName, const uint32_t* nodeVector,
                                                      uint32_t depth);
    [[nodiscard]] static uint32_t getNodeArraySize(uint32_t* arraySize, const void* image, uint32_t size,
                                                   const char* rootName, const char* address, uint32_t addressLength);
    [[nodiscard]] static uint32_t getNodeArraySizeFast(uint32_t* arraySize, const void* image, uint32_t size,
                                                       const char* rootName, const uint32_t* nodeVector,
                                                       uint32_t depth);

    // Renames the node (1 to 23 characters) and clears the root image's MD5 text.
    [[nodiscard]] static uint32_t changeNodeName(const char* newName, void* image, uint32_t size, const char* rootName,
                                                 const char* address, uint32_t addressLength);
    [[nodiscard]] static uint32_t changeNodeNameFast(const char* newName, void* image, uint32_t size,
                                                     const char* rootName, const uint32_t* nodeVector, uint32_t depth);

    // Walks every tag of every root in order.
    [[nodiscard]] static uint32_t peekData(const void* image, uint32_t size, const IPeekCommand& command);
    static bool containsBitParameter(const void* image, uint32_t size);
    [[nodiscard]] static uint32_t countNodeTags(uint32_t* collectionTags, uint32_t* parameterTags, const void* image,
                                                uint32_t size);

    // Steps current like an odometer within first .. last, the last level fastest: 0 after a step,
    // 0x80000008 when every level carried (current is back at first). 0x80000002 for a null vector
    // or a last below its first, 0x80000006 for a current outside its bounds (nothing changed).
    [[nodiscard]] static uint32_t incrementVector(uint32_t* current, const uint32_t* first, const uint32_t* last,
                                                  uint32_t depth);

    // Ranges: first gives the first index per level, last the last (at or past a count: count - 1).
    [[nodiscard]] static uint32_t getPrmArray(JVariantArray* values, const void* image, uint32_t size,
                                              const char* rootName, const char* address, uint32_t addressLength,
                                              const uint32_t* first, const uint32_t* last, uint32_t depth);
    [[nodiscard]] static uint32_t getPrmArrayFast(JVariantArray* values, const void* image, uint32_t size,
                                                  const char* rootName, const uint32_t* nodeVector,
                                                  const uint32_t* first, const uint32_t* last, uint32_t depth);
    [[nodiscard]] static uint32_t setPrmArray(const JVariantArray& values, void* image, uint32_t size,
                                              const char* rootName, const char* address, uint32_t addressLength,
                                              const uint32_t* first, const uint32_t* last, uint32_t depth,
                                              uint8_t sameValue, uint8_t setType);
    [[nodiscard]] static uint32_t setPrmArrayFast(const JVariantArray& values, void* image, uint32_t size,
                                                  const char* rootName, const uint32_t* nodeVector,
                                                  const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                  uint8_t sameValue, uint8_t setType);
    // Either form: a non-empty string address wins over the node vector.
    [[nodiscard]] static uint32_t getArray(JVariantArray* values, const void* image, uint32_t size,
                                           const char* rootName, const char* address, uint32_t addressLength,
                                           const uint32_t* nodeVector, const uint32_t* first, const uint32_t* last,
                                           uint32_t depth);
    [[nodiscard]] static uint32_t setArray(const JVariantArray& values, void* image, uint32_t size,
                                           const char* rootName, const char* address, uint32_t addressLength,
                                           const uint32_t* nodeVector, const uint32_t* first, const uint32_t* last,
                                           uint32_t depth, uint8_t sameValue, uint8_t setType);

    // Partial export of a collection: its instance (all of them with wholeArray, from instance 0)
    // and, with withParents, the heads of its ancestors. The size is exactly what exportData writes.
    [[nodiscard]] static uint32_t getExportDataSize(uint32_t* sizeOut, const void* image, uint32_t size,
                                                    const char* rootName, const char* address,
                                                    uint32_t addressLength, uint8_t wholeArray, uint8_t withParents);
    [[nodiscard]] static uint32_t getExportDataSizeFast(uint32_t* sizeOut, const void* image, uint32_t size,
                                                        const char* rootName, const uint32_t* nodeVector,
                                                        uint32_t depth, uint8_t wholeArray, uint8_t withParents);
    // A destination below the size gives 0x80000002 with the size needed in *written.
    [[nodiscard]] static uint32_t exportData(void* destination, uint32_t* written, uint32_t capacity,
                                             const void* image, uint32_t size, const char* rootName,
                                             const char* address, uint32_t addressLength,
                                             const uint32_t* indexVector, uint32_t depth, uint8_t wholeArray,
                                             uint8_t withParents);
    [[nodiscard]] static uint32_t exportDataFast(void* destination, uint32_t* written, uint32_t capacity,
                                                 const void* image, uint32_t size, const char* rootName,
                                                 const uint32_t* nodeVector, const uint32_t* indexVector,
                                                 uint32_t depth, uint8_t wholeArray, uint8_t withParents);

    // Merges the values of the export image source into the addressed collection of the
    // destination, from its addressed instance: one block copy when the shapes agree, else by
    // name with type conversion; what does not match is skipped silently.
    [[nodiscard]] static uint32_t importData(void* image, uint32_t size, const void* source, uint32_t sourceSize,
                                             const char* rootName, const char* address, uint32_t addressLength,
                                             const uint32_t* indexVector, uint32_t depth);
    [[nodiscard]] static uint32_t importDataFast(void* image, uint32_t size, const void* source,
                                                 uint32_t sourceSize, const char* rootName,
                                                 const uint32_t* nodeVector, const uint32_t* indexVector,
                                                 uint32_t depth);

    // The export image under new ancestor collections, one per name of address (outermost
    // first); newTopName (may be null) renames the old top collection. 0x8000000a for an image
    // without "MMS".
    [[nodiscard]] static uint32_t getTopAddrChangedSize(uint32_t* sizeOut, const char* address,
                                                        uint32_t addressLength, const void* image,
                                                        uint32_t imageSize);
    [[nodiscard]] static uint32_t getTopAddrChangedData(void* destination, uint32_t* written, uint32_t capacity,
                                                        const char* address, uint32_t addressLength,
                                                        const void* image, uint32_t imageSize,
                                                        const char* newTopName);
};

}  // namespace MMS
