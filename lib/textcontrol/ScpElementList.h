#pragma once
// The elements of one command or notification in raw-line order, each with its roles. The list
// borrows its elements: they are members of the same command object.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "textcontrol/ScpElement.h"

namespace SCP {

class ScpElementList {
public:
    static constexpr uint32_t kCapacity = 64;
    static constexpr uint32_t kNotFound = 0xFFFFFFFFu;
    // Roles of an entry.
    static constexpr uint8_t kArgument = 1;
    static constexpr uint8_t kReply = 2;
    static constexpr uint8_t kNotification = 4;

    // 0x80000001 when 64 entries are in use.
    [[nodiscard]] JLIB::JResult append(ScpElement& element, uint8_t typeMask);
    // Null when the index is not below the number in use.
    ScpElement* at(uint32_t index) const;
    uint32_t size() const { return m_count; }
    bool checkType(uint32_t index, uint8_t mask) const;
    // The first entry whose tag equals the text exactly, or 0xFFFFFFFF.
    uint32_t find(const char* tag) const;
    // Clears every element in use; the entries stay.
    void clear();

private:
    struct Entry {
        ScpElement* element = nullptr;  // owned by the command object that owns the list
        uint8_t typeMask = 0;
    };

    Entry m_entries[kCapacity];
    uint32_t m_count = 0;
};

}  // namespace SCP
