#pragma once
// Filter images: export images (or dumps of several roots) of a root's definition whose data
// area holds flags instead of values; an element is flagged when any of its bytes is non-zero (a
// bit parameter's element when its bit is set). FilterDataModifier sets and clears flags and
// combines two filters. No state and no lock: callers serialise access to a shared buffer.
#include <cstdint>

namespace MMS {

// Combines count source bytes into the destination bytes.
class IFilterMergeCommand {
public:
    virtual ~IFilterMergeCommand() = default;
    virtual void execute(unsigned char* destination, const unsigned char* source, uint32_t count) const = 0;
};

// Each destination byte becomes (destination + source) modulo 256: two set bits at the same
// position carry into the next bit.
class AddCommand final : public IFilterMergeCommand {
public:
    void execute(unsigned char* destination, const unsigned char* source, uint32_t count) const override;
};

class OrCommand final : public IFilterMergeCommand {
public:
    void execute(unsigned char* destination, const unsigned char* source, uint32_t count) const override;
};

class FilterDataModifier {
public:
    FilterDataModifier() = delete;

    // The writes of DataAccessor in flag mode; their result is returned (unknown root 0x80000007,
    // address not found 0x80000006, bad image 0x80000002). A null rootName takes the first root.
    [[nodiscard]] static uint32_t allSet(void* filter, uint32_t size, const char* rootName);
    [[nodiscard]] static uint32_t allClear(void* filter, uint32_t size, const char* rootName);
    [[nodiscard]] static uint32_t set(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                      const uint32_t* indexVector, uint32_t depth, const char* rootName);
    [[nodiscard]] static uint32_t clear(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                        const uint32_t* indexVector, uint32_t depth, const char* rootName);
    [[nodiscard]] static uint32_t setArray(void* filter, uint32_t size, const char* address, uint32_t addressLength,
                                           const uint32_t* first, const uint32_t* last, uint32_t depth,
                                           const char* rootName);
    [[nodiscard]] static uint32_t clearArray(void* filter, uint32_t size, const char* address,
                                             uint32_t addressLength, const uint32_t* first, const uint32_t* last,
                                             uint32_t depth, const char* rootName);
    [[nodiscard]] static uint32_t setFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                          const uint32_t* indexVector, uint32_t depth, const char* rootName);
    [[nodiscard]] static uint32_t clearFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                            const uint32_t* indexVector, uint32_t depth, const char* rootName);
    [[nodiscard]] static uint32_t setArrayFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                               const uint32_t* first, const uint32_t* last, uint32_t depth,
                                               const char* rootName);
    [[nodiscard]] static uint32_t clearArrayFast(void* filter, uint32_t size, const uint32_t* nodeVector,
                                                 const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                 const char* rootName);

    // Merges every root of the destination with the source root of the same name (a single export
    // image takes the source's first root). Never an error: 0x200 is added when a source root is
    // missing, 0x100 when a pair cannot be merged (different definitions); those roots stay as
    // they were.
    [[nodiscard]] static uint32_t addFilters(void* destination, uint32_t size, const void* source,
                                             uint32_t sourceSize);
    [[nodiscard]] static uint32_t orFilters(void* destination, uint32_t size, const void* source,
                                            uint32_t sourceSize);
    [[nodiscard]] static uint32_t mergeFilters(void* destination, uint32_t size, const void* source,
                                               uint32_t sourceSize, const IFilterMergeCommand& command);
    // One root: 0x80000002 when either side has no such root image or the definitions differ.
    [[nodiscard]] static uint32_t mergeFilters(void* destination, uint32_t size, const void* source,
                                               uint32_t sourceSize, const char* rootName,
                                               const IFilterMergeCommand& command);
};

}  // namespace MMS
