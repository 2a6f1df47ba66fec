#pragma once
// A selection of project items by index, with the choice whether protected items are
// overwritten; travels inside a thread message. One task uses one selection at a time.
#include <cstdint>
#include <memory>

namespace TMS {
class AbstractMessage;
}

namespace MMSFUNC {

class LoadItemSelector {
public:
    LoadItemSelector() = default;
    explicit LoadItemSelector(uint32_t count);
    explicit LoadItemSelector(const TMS::AbstractMessage& message);
    LoadItemSelector(const LoadItemSelector& other);
    // Copies only into a selection of the same count (one without flags first takes the source's).
    LoadItemSelector& operator=(const LoadItemSelector& other);
    virtual ~LoadItemSelector();

    // 0x80000000 when flags exist, for a count of 0 or when memory is exhausted.
    uint32_t allocateSelectors(uint32_t count);
    virtual uint32_t setOverwriteProtectedItems(bool on);
    virtual bool overwritesProtectedItems() const { return m_overwriteProtectedItems; }
    // Without flags: 0 and nothing changes; 0x80000000 for an index not below the count.
    virtual uint32_t setSelector(uint32_t index, bool on);
    virtual bool isSelected(uint32_t index) const;
    // Adds "overrides" (0 or 1) and "selectors" (one byte per item); 0x80000000 without flags.
    virtual uint32_t toMessage(TMS::AbstractMessage& message) const;
    // 0x80000000, changing nothing, when a value does not convert or the counts differ.
    virtual uint32_t fromMessage(const TMS::AbstractMessage& message);

    bool isValid() const { return m_pSelectors != nullptr; }
    uint32_t count() const { return m_count; }

private:
    bool m_overwriteProtectedItems = true;
    std::unique_ptr<uint8_t[]> m_pSelectors;
    uint32_t m_count = 0;
};

}  // namespace MMSFUNC
