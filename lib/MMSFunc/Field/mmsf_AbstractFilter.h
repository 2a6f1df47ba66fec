#pragma once
// A filter for recalling cached images into a field: an export image of a field's first root
// whose values are flags, set for the elements that take part. Owned by one task; the field it
// reads locks itself. Results are 0 or 0x80000000.
#include <cstdint>
#include <memory>

namespace MMSFUNC {

class FieldCollection;
class MMSAddress;

class AbstractFilter {
public:
    AbstractFilter();
    // An empty filter, then this class's own copy of other.
    AbstractFilter(const AbstractFilter& other);
    // The virtual copy.
    AbstractFilter& operator=(const AbstractFilter& other);
    virtual ~AbstractFilter();

    // Takes the image of the first root of the collection's field at fieldIndex, every flag set
    // (setAll) or cleared. Once only: 0x80000000 when the filter already has an image, and for no
    // collection, no field, an image that cannot be exported or allocated. The used flag stays.
    virtual uint32_t initialize(FieldCollection* collection, unsigned int fieldIndex, bool setAll);
    // Every flag set (used) or cleared (not used); 0x80000000 without image.
    virtual uint32_t setAll();
    virtual uint32_t clearAll();
    // The flags of every element the address covers, every any-channel level expanded; set
    // marks the filter used. 0x80000000 without image, for an invalid address or a failed write.
    virtual uint32_t set(const MMSAddress& address);
    virtual uint32_t clear(const MMSAddress& address);
    // ORs other's flags in, tag by tag; used when either was.
    virtual uint32_t merge(const AbstractFilter& other);
    // other's image (none when it has none) and used flag.
    virtual uint32_t copy(const AbstractFilter& other);
    // Imports nothing: no layout is defined to import into. 0 when data with a size is given.
    virtual uint32_t import(const void* data, unsigned int size);
    virtual const unsigned char* filter() const;
    virtual unsigned int filterSize() const;
    virtual uint32_t refresh();
    virtual bool isUsed() const;

    // Sets or clears the flags of the address, expanding its any-channel levels from firstLevel on.
    uint32_t setFlag(unsigned int firstLevel, const MMSAddress& address, bool set);

private:
    struct ImageFree {
        void operator()(unsigned char* image) const;
    };

    std::unique_ptr<unsigned char, ImageFree> m_image;  // from the tree library's heap
    unsigned int m_size;
    bool m_used;
};

}  // namespace MMSFUNC
