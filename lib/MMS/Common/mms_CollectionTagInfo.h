#pragma once
// Export images of a root: an 88-byte "MMS" header, a tag area describing the tree ("COL" tags of
// 48 bytes and "PR" tags of 32 bytes in pre-order) and a data area with the values. A
// CollectionTagInfo owns one root's tag area and its UUID (the MD5 text of the tags), writes export
// headers and reads export and filter headers back; its static operations write, read and compare
// tags and convert whole images between byte orders. Used under the locks of the field that owns
// the root; the static operations hold no state and may run on any task.
#include <cstdint>

#include "mms_Platform.h"
#include "mms_Result.h"

namespace MMS {

class SharedMemWrapper;

// The header of an export image; numbers in the image's byte order (host order once read).
struct T_EXPORT_TAG {
    char magic[3];           // "MMS"
    uint8_t length;          // 88
    char byteOrder[4];       // "BIG" or "LIT" and a NUL
    char projectName[24];    // NUL-padded, at most 23 characters
    char projectVersion[12]; // NUL-padded, at most 11 characters
    char uuid[36];           // MD5 text of the tag area as stored in the image, then 4 NUL
    uint32_t tagSize;
    uint32_t dataSize;
};

// A collection tag.
struct T_COLLECTION_TAG {
    char magic[3];            // "COL"
    uint8_t length;           // 48
    char name[24];
    uint32_t parameterTagsSize;  // 32 x number of parameters
    uint32_t childTagsSize;      // the child collections' tag sequences that follow those
    uint32_t dataOffset;         // of the collection inside one element of its parent (0 at the top)
    uint32_t elementDataSize;    // bytes of one element
    uint32_t arraySize;          // elements the image holds
};

// A parameter tag.
struct T_PARAMETER_TAG {
    char magic[2];         // "PR"
    uint8_t length;        // 32
    uint8_t dataClass;     // 0 string and anything else, 1 signed, 2 unsigned or bit, 3 float
    uint16_t elementSize;  // 0 for bit
    uint16_t arraySize;
    char name[24];
};

constexpr uint32_t kMmsExportHeaderSize = 88;
constexpr uint32_t kMmsCollectionTagSize = 48;
constexpr uint32_t kMmsParameterTagSize = 32;
// Collection levels an image may nest: a root has at most five levels below its top.
constexpr uint32_t kMmsMaxCollectionLevels = 6;

// Data classes of a parameter tag.
constexpr uint8_t kMmsClassString = 0;
constexpr uint8_t kMmsClassSigned = 1;
constexpr uint8_t kMmsClassUnsigned = 2;
constexpr uint8_t kMmsClassFloat = 3;

class CollectionTagInfo {
public:
    MMS_CLASS_ALLOCATORS

    CollectionTagInfo();
    // Frees nothing: the owner gives an owned area back with destroy first.
    virtual ~CollectionTagInfo();

    CollectionTagInfo(const CollectionTagInfo&) = delete;
    CollectionTagInfo& operator=(const CollectionTagInfo&) = delete;

    // Clear the field and copy at most 23 / 11 characters; null leaves it empty.
    void setProjectName(const char* name);
    void setProjectVersion(const char* version);
    // Copy the 24 / 12 bytes of the field; 0x80000002 for null.
    [[nodiscard]] uint32_t getProjectName(char* out) const;
    [[nodiscard]] uint32_t getProjectVersion(char* out) const;

    // A cleared owned tag area of size bytes: 0x80000001 for size 0 or without a wrapper,
    // 0x80000003 when the wrapper has no block. An existing area is released first.
    [[nodiscard]] uint32_t createMemoryArea(SharedMemWrapper* wrapper, uint32_t size);
    [[nodiscard]] uint32_t allocMemoryPool(SharedMemWrapper* wrapper, uint32_t size);
    // Sets the UUID to the MD5 text of the tag area (empty without an area).
    void createMD5();
    // An owned copy of tags with its UUID; 0x80000002 for no tags or size 0.
    [[nodiscard]] uint32_t restore(SharedMemWrapper* wrapper, const unsigned char* tags, uint32_t size);
    // Adopts another root's tags without owning them (they must outlive this object or a
    // release); 0x80000002 for no tags or size 0, 0x80000001 while an owned area is held.
    [[nodiscard]] uint32_t joint(const unsigned char* tags, uint32_t size);
    // Frees an owned area through the wrapper (0x80000001 for an owned area without a wrapper,
    // nothing changed then) and forgets the area and its UUID; a joined area is only forgotten.
    [[nodiscard]] uint32_t releaseMemoryPool(SharedMemWrapper* wrapper);
    // releaseMemoryPool whose result does not matter to a root going away; always 0.
    uint32_t destroy(SharedMemWrapper* wrapper);

    unsigned char* getTagInfoPointer() const { return m_pTags; }
    uint32_t getTagInfoSize() const { return m_tagSize; }
    bool isOwner() const { return m_owner != 0; }

    // Copies the 36 UUID bytes; 0x80000002 for null.
    [[nodiscard]] uint32_t getUuid(char* out) const;
    // True when this UUID and uuid are both non-empty and their 36 bytes are equal.
    bool isSameUuid(const char* uuid) const;

    // Writes the header of an image whose tag area (tagSize bytes at image + 88) and data area are
    // in place and already in the requested order; the UUID is the MD5 text of those tag bytes.
    // 0x80000002 for a null image.
    [[nodiscard]] uint32_t getExportTagInfo(unsigned char* image, uint32_t tagSize, uint32_t dataSize,
                                            uint8_t byteOrder) const;

    // Reads an image to import of length bytes. On success: *tags / *data point into the image,
    // *orderOut is the conversion code (0: host order) and *sameOut is 1 only for an image in host
    // order whose UUID equals this root's. An image in the other order has its header rewritten in
    // host order; its areas were checked, so endianCnvOfImportData on them then succeeds.
    // 0x80000002 for a null argument, a bad header, a header shorter than 88 bytes, an image
    // shorter than its header says or (other order) a tag or data area that cannot be converted;
    // a refused image is left unchanged.
    [[nodiscard]] uint32_t readImportData(unsigned char* sameOut, unsigned char** tags, uint32_t* tagSize,
                                          unsigned char** data, uint32_t* dataSize, unsigned char* orderOut,
                                          void* image, uint32_t length) const;
    // Reads a filter image. data and dataSize are required (0x80000002) and set to null / 0 first;
    // no image gives 0 and no filter. Optional outputs that are given are filled; when none is
    // given the filter must belong to this root's definition (its UUID non-empty, in host order,
    // equal to this root's UUID, or with the same tag-area size when this root has no UUID).
    [[nodiscard]] uint32_t readImportFilterData(const unsigned char** tags, uint32_t* tagSize,
                                                const unsigned char** data, uint32_t* dataSize,
                                                unsigned char* orderOut, const void* image, uint32_t length) const;

    // Tag writers (host order). The name is copied with StringConverter::nodeNameCopy, whose
    // result is returned (nothing written then); 0x80000001 for a null destination.
    // appendParameterTag refuses sizes beyond the tag's 16 bits with 0x80000002.
    [[nodiscard]] static uint32_t appendCollectionTag(unsigned char* at, const char* name, uint32_t parameterTagsSize,
                                                      uint32_t childTagsSize, uint32_t dataOffset,
                                                      uint32_t elementDataSize, uint32_t arraySize);
    [[nodiscard]] static uint32_t appendParameterTag(unsigned char* at, const char* name, uint32_t elementSize,
                                                     uint32_t arraySize, uint32_t type);
    // The data class of a parameter type code.
    static uint8_t dataTypeConverter(uint32_t type);

    // Tags in a root's own (trusted) tag memory: the tag at tags + position when it begins with its
    // magic, else null. The bytes may be unaligned: read them with readCollTagInfo / readPrmTagInfo.
    static const unsigned char* getCollectionTag(const unsigned char* tags, uint32_t position);
    static const unsigned char* getParameterTag(const unsigned char* tags, uint32_t position);
    // 48 + both following sizes of the "COL" tag there: 0x80000001 when there is none,
    // 0x80000002 for null out.
    [[nodiscard]] static uint32_t getCollectionTagSize(uint32_t* out, const unsigned char* tags, uint32_t position);
    // Copies the collection's whole tag sequence to out as a new top: data offset 0, array size
    // replaced when arraySize is not 0. 0x80000002 for null, 0x80000001 when no "COL" tag is there.
    [[nodiscard]] static uint32_t getCollectionTags(unsigned char* out, const unsigned char* tags, uint32_t position,
                                                    uint32_t arraySize);

    // Reads an image header: copies min(length byte, 88, length) bytes into a cleared record,
    // converts it to host order and reports in *orderOut the conversion code: 0 host order,
    // 2 a "BIG" image on a little-endian host, 1 a "LIT" image on a big-endian host.
    // 0x80000002 for null, length 2 or less, no "MMS", no length byte or an unknown order mark.
    [[nodiscard]] static uint32_t readExportTagHeader(T_EXPORT_TAG* out, unsigned char* orderOut,
                                                      const unsigned char* image, uint32_t length);
    // Read one tag of at most length bytes: copy min(length byte, 48 / 32) bytes into a cleared
    // record and convert its numbers when asked. 0x80000002 for null, a missing magic, no length
    // byte, a length byte of 0 or a tag that does not fit in length.
    [[nodiscard]] static uint32_t readCollTagInfo(T_COLLECTION_TAG* out, const unsigned char* at, uint32_t length,
                                                  bool convert);
    [[nodiscard]] static uint32_t readPrmTagInfo(T_PARAMETER_TAG* out, const unsigned char* at, uint32_t length,
                                                 bool convert);
    // Reverse the numbers of a record (the header's mark "BIG" and "LIT" swapped too);
    // 0x80000002 for null.
    [[nodiscard]] static uint32_t endianCnvOfExportTagInfo(T_EXPORT_TAG* header);
    [[nodiscard]] static uint32_t endianCnvOfCollTagInfo(T_COLLECTION_TAG* tag);
    [[nodiscard]] static uint32_t endianCnvOfPrmTagInfo(T_PARAMETER_TAG* tag);

    // Own tags against an image's: the bytes after the 48-byte "COL" tag at position equal those
    // after other's first 48 bytes (otherSize bytes in all) / the otherSize bytes of parameter
    // tags equal those at position + 48. False for null or an otherSize below 48 (first form).
    static bool isChildTagMemcmp(const unsigned char* tags, uint32_t position, const unsigned char* other,
                                 uint32_t otherSize);
    static bool isChildPrmTagMemcmp(const unsigned char* tags, uint32_t position, const unsigned char* other,
                                    uint32_t otherSize);
    static bool isSameImportDataType(const T_PARAMETER_TAG& tag, uint32_t type);

    // True when the byte-order code names the order the host does not use.
    static bool isEndianConvert(uint8_t byteOrder);
    static bool isHostBigEndian();

    // Whole-area conversions; nothing happens (0) unless isEndianConvert(byteOrder). Both check
    // the areas first and convert nothing when they refuse them: every tag must lie within its
    // area, nesting stay within 6 collection levels, every collection's elements within the
    // element of its parent (the data area for the top) and the parameters within their element;
    // a collection whose element size or array size is 0 visits no data.
    // Export: host-order areas into the given order (data first, then tags); 0x80000001 for a
    // tag area shorter than 48 bytes or a missing tag, 0x80000002 for any other refusal.
    [[nodiscard]] static uint32_t endianCnvOfExportData(unsigned char* tags, uint32_t tagSize, unsigned char* data,
                                                        uint32_t dataSize, uint8_t byteOrder);
    // Import: areas in the given order into host order (tags first, then data); 0x80000002 for
    // any refusal.
    [[nodiscard]] static uint32_t endianCnvOfImportData(unsigned char* tags, uint32_t tagSize, unsigned char* data,
                                                        uint32_t dataSize, uint8_t byteOrder);

private:
    uint8_t m_owner = 0;
    char m_projectName[24];
    char m_projectVersion[12];
    char m_uuid[36];
    unsigned char* m_pTags = nullptr;  // owned when m_owner is 1, else another root's
    uint32_t m_tagSize = 0;
    uint8_t m_hostBigEndian;
};

}  // namespace MMS
