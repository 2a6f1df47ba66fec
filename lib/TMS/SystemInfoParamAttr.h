#pragma once
// The attributes of one shared system parameter as a table keeps them. A plain value.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace TMS {

struct SystemInfoNodeStruct;

class SystemInfoParamAttr {
public:
    static constexpr uint32_t kTypeSigned = 1;
    static constexpr uint32_t kTypeUnsigned = 2;
    static constexpr uint32_t kTypeText = 3;
    static constexpr JLIB::JResult kBadRow = 0x80000002u;

    // Builds from a row. Type 0 is refused and leaves the attributes; another unknown type
    // clears them and is refused.
    [[nodiscard]] JLIB::JResult set(const SystemInfoNodeStruct& row);
    void clear();
    // Same name text, count, second word, type, minimum, maximum and default.
    bool operator==(const SystemInfoParamAttr& other) const;
    bool operator!=(const SystemInfoParamAttr& other) const { return !(*this == other); }

    const char* name() const { return m_pName; }
    uint32_t num() const { return m_num; }
    uint32_t reserved() const { return m_reserved; }
    uint32_t type() const { return m_type; }
    const JVariant& minimum() const { return m_min; }
    const JVariant& maximum() const { return m_max; }
    const JVariant& defaultValue() const { return m_default; }

private:
    const char* m_pName = nullptr;  // borrowed from the row
    uint32_t m_num = 0;
    uint32_t m_reserved = 0;
    uint32_t m_type = 0;
    JVariant m_min;
    JVariant m_max;
    JVariant m_default;
};

}  // namespace TMS
