#pragma once
// A copy of part of a field as an export image: the values (or defaults) of a root or of a node
// below it, read and changed element by element inside the copy, and written back into a field,
// optionally through a filter. Belongs to one task; the fields it reads and writes lock
// themselves. Results are 0 or 0x80000000.
#include <cstdint>
#include <memory>
#include <string>

#include "jlib/JVariant.h"
#include "mmsf_MMSAddress.h"

namespace MMS {
class IField;
}

namespace MMSFUNC {

class AbstractFilter;

class FieldCache {
public:
    FieldCache();
    // Copies name, address and image; on a failed allocation the copy holds no image.
    FieldCache(const FieldCache& other);
    FieldCache& operator=(const FieldCache& other);
    ~FieldCache();

    // The whole root's values.
    uint32_t storeFromField(MMS::IField* field, const char* rootName);
    // The values at a valid address (an any-channel level covers all its channels; an any
    // channel at the last level takes every channel of that node whatever allChannels says).
    uint32_t storeFromField(MMS::IField* field, const char* rootName, const MMSAddress& address, bool allChannels);
    // The same with every value at its default; the field is not changed. With any-channel
    // levels the defaults are laid out in a temporary field on the definition of field's first root.
    uint32_t makeDefaultField(MMS::IField* field, const char* rootName, const MMSAddress& address, bool allChannels);
    // Takes a ready image of the whole root or of the address. No image (or size 0) gives 0 and
    // keeps the cache; a failed allocation leaves it empty. field must be given.
    uint32_t importData(MMS::IField* field, const char* rootName, const void* image, unsigned int size);
    uint32_t importData(MMS::IField* field, const char* rootName, const MMSAddress& address, const void* image,
                        unsigned int size);
    // Writes the cached image into rootName of field (the caller's name, not the cached one),
    // through filter when it has an image. The import's mode byte: 0x10 with optionA, 0x02 without
    // optionB, 0x01 with optionC.
    uint32_t recallToField(MMS::IField* field, const char* rootName, const AbstractFilter* filter,
                           unsigned char factor, bool optionA, bool optionB, bool optionC);
    // The same placed at a valid address of field.
    uint32_t recallToField(MMS::IField* field, const char* rootName, const MMSAddress& address,
                           const AbstractFilter* filter, unsigned char factor, bool optionA, bool optionB,
                           bool optionC);

    // One element inside the image, at an address strictly below the cached one (its first
    // levels, as many as the cached address has, are dropped unseen).
    uint32_t setValue(const MMSAddress& address, const JVariant& value);
    // An invalid value on failure; the result through result when not null.
    JVariant getValue(const MMSAddress& address, unsigned int* result) const;
    // Renames the node at the text address inside the image.
    uint32_t changeNodeName(const char* newName, const char* address, unsigned int length);
    uint32_t uncache();

    bool isCached() const { return m_image && m_size != 0; }
    const void* exportData() const { return m_image.get(); }
    void* exportData() { return m_image.get(); }
    unsigned int exportDataSize() const { return m_size; }

private:
    struct ImageFree {
        void operator()(unsigned char* image) const;
    };
    using Image = std::unique_ptr<unsigned char, ImageFree>;

    uint32_t store(MMS::IField* field, const char* rootName, const MMSAddress& address, bool allChannels,
                   bool defaults);
    uint32_t take(const char* rootName, const MMSAddress* address, const void* image, unsigned int size);
    uint32_t resize(unsigned int size);
    void writeDefaultsIntoImage(const MMSAddress& at, const MMSAddress& cached);
    bool relative(const MMSAddress& address, const MMSAddress& cached, unsigned int* nodes, unsigned int* channels,
                  unsigned int& depth) const;

    std::string m_rootName;
    MMSAddress m_address;  // invalid for a whole root
    Image m_image;         // from the tree library's heap
    unsigned int m_size;
};

}  // namespace MMSFUNC
