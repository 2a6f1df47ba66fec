#pragma once
// A thread's shared-parameter changes not yet flushed, in the order first recorded. No lock:
// only its own thread uses it.
#include <cstdint>
#include <vector>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

class JVariantArray;

namespace TMS {

// One pending change: the name is borrowed from the caller.
class SystemInfoLocalItem {
public:
    SystemInfoLocalItem(const char* name, uint32_t index, const JVariant& value)
        : m_pName(name), m_index(index), m_value(value)
    {
    }
    const char* name() const { return m_pName; }
    uint32_t index() const { return m_index; }
    const JVariant& value() const { return m_value; }
    void setValue(const JVariant& value) { m_value = value; }

private:
    const char* m_pName;
    uint32_t m_index;
    JVariant m_value;
};

class SystemInfoLocalData {
public:
    static constexpr JLIB::JResult kNullArgument = 0x80000002u;
    static constexpr JLIB::JResult kNotPending = 0x80000009u;

    SystemInfoLocalData() = default;
    virtual ~SystemInfoLocalData() = default;

    // A change of the same name text and index replaces the earlier value in its place.
    [[nodiscard]] JLIB::JResult setParam(const char* name, uint32_t index, const JVariant& value);
    // The text as a String of at most 1024 characters.
    [[nodiscard]] JLIB::JResult setParam(const char* name, uint32_t index, const char* text);
    // One change per value from `first` on; the results OR'ed.
    [[nodiscard]] JLIB::JResult setParamArray(const char* name, uint32_t first, const JVariant* values, uint32_t count);
    [[nodiscard]] JLIB::JResult setParamArray(const char* name, uint32_t first, const JVariantArray& values);
    // The value is made invalid first; 0x80000009 when nothing is pending for it.
    [[nodiscard]] JLIB::JResult getParam(JVariant& value, const char* name, uint32_t index) const;
    // The item at that position, or null.
    const SystemInfoLocalItem* getParam(uint32_t position) const;
    uint32_t getParamNum() const { return static_cast<uint32_t>(m_items.size()); }
    JLIB::JResult clear();

private:
    std::vector<SystemInfoLocalItem> m_items;
};

}  // namespace TMS
