#pragma once
// The leaf node of a root's tree: one named, typed array of values with its attributes (minimum,
// maximum, default, step, nominal, unit, scaling, kind, name format). It owns no value memory: the
// root lays out its memories once (setMemAddrInfo) and every later call passes their base pointers,
// the node working at the offsets it recorded. No virtual functions and no absolute addresses, so
// a node area can be copied byte for byte. No locks: used under the locks of the field that owns
// the root.
#include <cstdint>

#include "mms_Platform.h"
#include "mms_Result.h"
#include "mms_Types.h"

class JVariant;
class JVariantArray;

namespace MMS {

class IDirtyFlagHolder;
class ISetChecker;
class JVariantWrapper;
class SetOrderNotifyWrapper;
class SharedMemWrapper;

// Parameter type codes: high byte the kind, low byte the element size.
constexpr uint32_t kMmsTypeInt8 = 0x001;
constexpr uint32_t kMmsTypeInt16 = 0x002;
constexpr uint32_t kMmsTypeInt32 = 0x004;
constexpr uint32_t kMmsTypeBit = 0x100;
constexpr uint32_t kMmsTypeUInt8 = 0x101;
constexpr uint32_t kMmsTypeUInt16 = 0x102;
constexpr uint32_t kMmsTypeUInt32 = 0x104;
constexpr uint32_t kMmsTypeString = 0x201;
constexpr uint32_t kMmsTypeFloat = 0x304;

// Mode bits of the set operations: refuse with 0x80000008 instead of clamping or rounding.
constexpr uint16_t kMmsRefuseAboveMax = 1;
constexpr uint16_t kMmsRefuseBelowMin = 2;
constexpr uint16_t kMmsRefuseOffStep = 4;

class Parameter {
public:
    MMS_CLASS_ALLOCATORS

    // One attribute cell: the value's 32 bits as the type reads them (int32 for signed types,
    // uint32 for unsigned, bit and string types, float bits for float).
    union PrmPrivate {
        int32_t i32;
        uint32_t u32;
        float f32;
    };

    // *result 0, or 0x80000001 for a name that is not 1 to 23 characters, an array size of 0 or
    // above 65535, a type outside the table, or a string maximum above 65535 (a "PR" tag holds
    // 16-bit sizes). Attributes are applied in the order minimum, maximum, default, step,
    // nominal; one that is refused stays unset. Strings: maximum = slot size in bytes (UInt32),
    // default and nominal = string-memory offsets, no minimum or step. Scaling 0 becomes 1.
    Parameter(uint32_t* result, const char* name, uint32_t arraySize, uint32_t type, const JVariant* minimum,
              const JVariant* maximum, const JVariant* defaultValue, const JVariant* step, const JVariant* nominal,
              uint32_t unitOffset, uint32_t unitSize, uint32_t scaling, uint32_t kind, uint32_t nameFormatOffset,
              uint32_t nameFormatSize);
    ~Parameter() = default;

    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    // Destroys and frees a node made with the class allocator. 0.
    uint32_t release();
    // A leaf holds nothing outside its record. 0.
    uint32_t releaseItems(SharedMemWrapper* wrapper);

    // Attribute setters. A null argument sets nothing and gives 0 (setPrmMax of a string stores 0
    // then). 0x80000002 for a value outside the type's range, a failed conversion, or one that
    // contradicts a set minimum / maximum / default (step: 0, or not above 0 for float).
    [[nodiscard]] uint32_t setPrmMin(const JVariant* value);
    [[nodiscard]] uint32_t setPrmMax(const JVariant* value);
    [[nodiscard]] uint32_t setPrmDef(const JVariant* value);
    [[nodiscard]] uint32_t setPrmStep(const JVariant* value);
    [[nodiscard]] uint32_t setPrmNominal(const JVariant* value);

    // Attribute reads as the type's read-back kind: 0x80000002 for null out (and minimum / step of
    // a string), 0x80000005 when not set. A string's maximum reads as UInt32.
    [[nodiscard]] uint32_t getPrmMin(JVariant* out) const;
    [[nodiscard]] uint32_t getPrmMax(JVariant* out) const;
    [[nodiscard]] uint32_t getPrmStep(JVariant* out) const;
    // Strings: a String of at most maximum characters from stringMemory (0x80000005 when the
    // maximum is 0, 0x80000001 without string memory).
    [[nodiscard]] uint32_t getPrmDef(JVariant* out, const char* stringMemory) const;
    [[nodiscard]] uint32_t getPrmNominal(JVariant* out, const char* stringMemory) const;
    // Unit: size, or the text copied and terminated (buffer of size + 1); size 0 copies nothing;
    // no string memory 0x80000005; strings 0x80000002.
    [[nodiscard]] uint32_t getPrmUnitSize(uint32_t* out) const;
    [[nodiscard]] uint32_t getPrmUnit(char* buffer, const char* stringMemory) const;
    // Name format: size (0x80000002 for strings), or the text: buffer emptied first, 0x80000005
    // when the size is 0 or without string memory.
    [[nodiscard]] uint32_t getPrmNameFormatSize(uint32_t* out) const;
    [[nodiscard]] uint32_t getPrmNameFormat(char* buffer, const char* stringMemory) const;
    [[nodiscard]] uint32_t getPrmScaling(uint32_t* out) const;
    [[nodiscard]] uint32_t getPrmKind(uint32_t* out) const;
    [[nodiscard]] uint32_t getPrmType(uint32_t* out) const;

    // Node queries shared with the collection node; 0x80000002 for a null output.
    [[nodiscard]] uint32_t getNodeName(char* out) const;  // the 24 name bytes
    [[nodiscard]] uint32_t getChildNodeName(char* out, uint32_t nodeIndex) const;  // always 0x80000002
    [[nodiscard]] uint32_t getNodeArraySize(uint32_t* out) const;
    [[nodiscard]] uint32_t getNodeCategory(uint32_t* out) const;     // 1
    [[nodiscard]] uint32_t getNodePrmNum(uint32_t* out) const;       // 1 per element
    [[nodiscard]] uint32_t getNodeDirtyBitNum(uint32_t* out) const;  // 1 per element
    [[nodiscard]] uint32_t getNodeDataSize(uint32_t* out) const;     // element size (0 for bit)
    [[nodiscard]] uint32_t getNumOfChildNodes(uint32_t* out) const;  // 0
    // Adds the name's length and, when *size is not 0 or leadingSlash is set, 1 for a "/".
    [[nodiscard]] uint32_t getStrAddrSize(uint32_t* size, uint8_t leadingSlash) const;

    // Direct reads of the record for the collection node.
    const char* getName() const { return m_name; }
    uint32_t getArraySize() const { return m_arraySize; }
    uint32_t getType() const { return m_type; }
    const T_ADDR_INFO& getParamAddrInfo() const { return m_valueAddr; }
    const T_ADDR_INFO& getSerNumAddrInfo() const { return m_serialAddr; }
    const T_ADDR_INFO& getDirtyFlagAddrInfo() const { return m_dirtyAddr; }
    const T_ADDR_INFO& getTagAddrInfo() const { return m_tagAddr; }
    const T_ADDR_INFO& getScalarAddrInfo() const { return m_scalarAddr; }
    uint32_t getBitOffset() const { return m_bitOffset; }
    // Bytes of one element in the value memory: 1, 2, 4, the maximum for strings, 0 for bit.
    uint32_t getElementSize() const;

    // Lays the parameter out at the cursors and advances them. The bit cursor is the position
    // inside the current value byte; bit parameters share bytes, and any other parameter starts
    // on the next whole byte. The OR of the five steps' results (0x80000002 for a null cursor or
    // one that would pass 0xFFFFFFFF; the record is then left as it was).
    [[nodiscard]] uint32_t setMemAddrInfo(uint32_t* valueCursor, uint32_t* dirtyBitCursor,
                                          uint32_t* parameterIndexCursor, uint32_t* tagCursor,
                                          uint32_t* scalarCursor, uint32_t* bitCursor);
    [[nodiscard]] uint32_t setParamMemAddr(uint32_t* valueCursor, uint32_t* bitCursor);
    [[nodiscard]] uint32_t setDirtyFlagMemAddr(uint32_t* cursor);
    [[nodiscard]] uint32_t setParamSerNumMemAddr(uint32_t* cursor);
    [[nodiscard]] uint32_t setTagInfoMemAddr(uint32_t* cursor);
    [[nodiscard]] uint32_t setScalarInfoMemAddr(uint32_t* cursor);
    // record = (*cursor, unit); *cursor += unit x count.
    [[nodiscard]] static uint32_t setAddrInfo(T_ADDR_INFO& record, uint32_t* cursor, uint32_t unit, uint32_t count);

    // Writes the "PR" tag at tagArea + the tag offset; 0x80000001 for a null area.
    [[nodiscard]] uint32_t setImportTags(unsigned char* tagArea, uint32_t level) const;

    // Addressing. A parameter reached at depth d uses array index d - 1.
    [[nodiscard]] uint32_t cnvFastToStrAddr(char* buffer, uint32_t size, const T_FAST_ADDRESS* address,
                                            uint32_t depth) const;
    [[nodiscard]] uint32_t cnvFastToScalarAddr(uint32_t* out, uint32_t base, const T_FAST_ADDRESS* address,
                                               uint32_t depth) const;
    [[nodiscard]] uint32_t cnvScalarToFastAddr(uint32_t* nodes, uint32_t* depthOut, uint32_t capacity,
                                               uint32_t scalar, uint32_t depth) const;
    // 1 below this parameter's scalar number, 0 equal, 2 above.
    uint32_t isScalarRange(uint32_t scalar, uint32_t depth) const;
    // parameterIndex counts from the holding collection element's first index.
    [[nodiscard]] uint32_t cnvPrmIndexToFastAddr(uint32_t* nodes, uint32_t* indexVector, uint32_t* depthOut,
                                                 uint32_t maxDepth, uint32_t parameterIndex, uint32_t depth) const;
    // 1 below the first index, 0 inside, 2 above.
    uint32_t isPrmIndexRange(uint32_t parameterIndex, uint32_t depth) const;
    // 0 when element < array size, else 0x80000002.
    [[nodiscard]] uint32_t isChannelSize(uint32_t element) const;

    // Values. values, dirty bits, factors and the two bases are those of the collection element
    // that holds the parameter. Result bits: 0x100 changed, 0x200 clamped or rounded; 0x80000006
    // for a depth that does not match the address (or 0), 0x80000001 for a missing index vector,
    // 0x80000002 for an element outside the array or a value that does not convert, 0x80000008
    // for a value refused by a mode bit (nothing written then).
    [[nodiscard]] uint32_t setPrm(JVariant* oldValueOut, const JVariant& value, const T_FAST_ADDRESS* address,
                                  uint32_t depth, uint8_t factor, uint16_t mode, const ISetChecker* checker,
                                  unsigned char* values, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                  unsigned char* factors, SetOrderNotifyWrapper* notify, uint32_t parameterIndexBase);
    // Sets from[depth-1] .. to[depth-1], taking input value / factor *count (or the first with
    // oneValue / oneFactor); a missing input value skips the element. Refusals of single elements
    // are not reported. 0x80000006 without both vectors.
    [[nodiscard]] uint32_t setPrmArray(uint32_t* count, JVariantArray* oldValuesOut, const JVariantArray& newValues,
                                       const T_FAST_ADDRESS* from, const uint32_t* to, uint32_t depth,
                                       const unsigned char* factorsIn, uint8_t oneValue, uint8_t oneFactor,
                                       uint16_t mode, const ISetChecker* checker, unsigned char* values,
                                       IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors,
                                       SetOrderNotifyWrapper* notify, uint32_t parameterIndexBase);
    // Range and step handling in place, nothing written; a refused value is left as given.
    [[nodiscard]] uint32_t checkPrm(JVariant* value, const T_FAST_ADDRESS* address, uint32_t depth,
                                    uint16_t mode) const;
    // Reads one element; a stored value outside minimum .. maximum reads as the default, else the
    // nominal, else clamped. With clearFlag the dirty bit is cleared (0x100 when it was set).
    [[nodiscard]] uint32_t getPrm(JVariant* out, uint8_t* factorOut, const T_FAST_ADDRESS* address, uint32_t depth,
                                  uint8_t clearFlag, const unsigned char* values, unsigned char* dirtyBits,
                                  uint32_t dirtyBase, const unsigned char* factors) const;
    [[nodiscard]] uint32_t getPrm(JVariantWrapper* out, uint8_t* factorOut, const T_FAST_ADDRESS* address,
                                  uint32_t depth, uint8_t clearFlag, const unsigned char* values,
                                  unsigned char* dirtyBits, uint32_t dirtyBase, const unsigned char* factors) const;
    // Reads from[depth-1] .. to[depth-1] into out / factorsOut at *count on; dirtyBitsOut gets the
    // range's dirty bits from flag *count on, cleared once for the range with clearFlag.
    [[nodiscard]] uint32_t getPrmArray(uint32_t* count, JVariantArray* out, unsigned char* factorsOut,
                                       unsigned char* dirtyBitsOut, const T_FAST_ADDRESS* from, const uint32_t* to,
                                       uint32_t depth, uint8_t clearFlag, const unsigned char* values,
                                       unsigned char* dirtyBits, uint32_t dirtyBase,
                                       const unsigned char* factors) const;

    // Change queries over a task's dirty bits.
    [[nodiscard]] uint32_t isChanged(uint8_t* out, const T_FAST_ADDRESS* address, uint32_t depth, uint8_t clearFlag,
                                     unsigned char* dirtyBits, uint32_t dirtyBase) const;
    // 1 when an element in fromElement .. toElement - 1 has its bit set, else 0.
    uint32_t getChangedPrm(const void* dirtyBits, uint32_t dirtyBase, uint32_t fromElement,
                           uint32_t toElement) const;
    // The first changed element after the address's element (or from 0): 0x8000 and its index in
    // indexVectorOut[depth-1]; 0 when none is left.
    [[nodiscard]] uint32_t getChangedPrmAddr(JVariant* valueOut, uint8_t* factorOut, uint32_t* nodesOut,
                                             uint32_t* indexVectorOut, uint32_t* depthOut, uint32_t maxDepth,
                                             const T_FAST_ADDRESS* after, uint32_t depth, uint8_t clearFlag,
                                             const unsigned char* values, unsigned char* dirtyBits,
                                             uint32_t dirtyBase, const unsigned char* factors) const;

    // Writes the default into every element, marking changed ones through holder (with factors).
    // 0x80000005 without a default.
    [[nodiscard]] uint32_t setDefaultPrms(unsigned char* values, const char* stringMemory, uint32_t level,
                                          uint8_t factor, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                          unsigned char* factors);

    // Imports this parameter's part of an export image (host order) from its "PR" tag and the
    // sourceSize bytes of its values; every read of the source, and of a filter laid out like it,
    // stays within sourceSize. Elements that cannot be converted are skipped. 0x100 when anything
    // changed; 0x80000002 for a tag that is not a "PR" tag.
    [[nodiscard]] uint32_t importDataEx(uint8_t factor, const unsigned char* tag, uint32_t tagLength,
                                        const unsigned char* source, uint32_t sourceSize, unsigned char* values,
                                        const unsigned char* filter, E_FILTER_STRUCTURE filterStructure,
                                        IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors,
                                        const unsigned char* ownTagArea, uint32_t sourceBitOffset);

private:
    bool isStringType() const { return m_type == kMmsTypeString; }
    bool isAttribSet(uint8_t bit) const { return (m_attribFlags & bit) != 0; }

    [[nodiscard]] uint32_t dataTypeCompare(int* out, const JVariant& value, const PrmPrivate& cell) const;
    [[nodiscard]] uint32_t dataRangeCheck(const JVariant& value) const;
    [[nodiscard]] uint32_t getJVariant(PrmPrivate& cell, const JVariant* value) const;
    void setJVariant(JVariant* out, const PrmPrivate& cell) const;
    [[nodiscard]] uint32_t getStringAttrib(JVariant* out, const PrmPrivate& cell, uint8_t flag,
                                           const char* stringMemory) const;

    [[nodiscard]] uint32_t elementIndex(uint32_t* element, const T_FAST_ADDRESS* address, uint32_t depth) const;
    [[nodiscard]] uint32_t setPrmValue(unsigned char* values, const JVariant& value, uint32_t element);
    [[nodiscard]] uint32_t getPrmValue(JVariantWrapper* out, const unsigned char* values, uint32_t element) const;
    [[nodiscard]] uint32_t setValueRangeCheck(JVariant* out, const JVariant& value, uint16_t mode) const;
    [[nodiscard]] uint32_t limitChecker(JVariant* value, uint8_t* atLimit, uint16_t mode) const;
    [[nodiscard]] uint32_t limitChecker(JVariantWrapper* value, uint8_t* atLimit, uint16_t mode) const;
    [[nodiscard]] uint32_t roundChecker(JVariant* value, uint16_t mode) const;
    uint32_t markChanged(uint32_t element, uint8_t factor, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                         unsigned char* factors) const;
    uint32_t searchedChangePrm(uint8_t factor, const unsigned char* source, unsigned char* destination,
                               const unsigned char* filter, uint32_t size, IDirtyFlagHolder* holder,
                               uint32_t dirtyBase, unsigned char* factors);
    uint32_t setDiffPrmDirty(uint32_t* rest, uint32_t byteOffset, uint8_t factor, IDirtyFlagHolder* holder,
                             uint32_t dirtyBase, unsigned char* factors) const;
    uint32_t sizeDiffCopyData(uint8_t factor, uint32_t sourceElementSize, uint32_t sourceArraySize,
                              const unsigned char* source, uint32_t sourceSize, unsigned char* values,
                              const unsigned char* filter, E_FILTER_STRUCTURE filterStructure,
                              IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors,
                              uint32_t sourceBitOffset);

    char m_name[24];
    uint32_t m_arraySize = 0;
    uint32_t m_type = 0;
    PrmPrivate m_min{};
    PrmPrivate m_max{};
    PrmPrivate m_def{};
    PrmPrivate m_step{};
    PrmPrivate m_nominal{};
    uint32_t m_unitOffset = 0;
    uint32_t m_unitSize = 0;
    uint32_t m_scaling = 1;
    uint32_t m_kind = 0;
    uint32_t m_nameFormatOffset = 0;
    uint32_t m_nameFormatSize = 0;
    uint8_t m_attribFlags = 0;  // bit 0 minimum, 1 maximum, 2 default, 3 step, 4 nominal set
    T_ADDR_INFO m_valueAddr;    // byte offset, element size (0 for bit)
    T_ADDR_INFO m_serialAddr;   // first parameter index, 1
    T_ADDR_INFO m_dirtyAddr;    // first dirty bit, 1
    T_ADDR_INFO m_tagAddr;      // byte offset in the tag area, 32
    T_ADDR_INFO m_scalarAddr;   // scalar number, 1
    uint32_t m_bitOffset = 0;   // bit parameters: bit of element 0 in the byte at the value offset
};

}  // namespace MMS
