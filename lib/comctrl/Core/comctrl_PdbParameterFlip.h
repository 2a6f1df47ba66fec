#pragma once
// Received parameter elements written together on a flip. Members of one multi-value element
// are gathered and written in one linked write; the application installs the hook that knows
// multi-value addresses and the linked write, plain database access stands in until then.
// Process-wide; used from the thread that owns the link units only.
#include <cstdint>
#include <vector>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterDB;
}

namespace ComControl {

struct ParameterFlipItem {
    uint32_t uniqId = 0;
    uint32_t addressIndex = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    JVariant value;  // invalid by default
    uint32_t factor = 0;
};

// The application's view of multi-value parameters and of the linked write.
struct PdbFlipHook {
    // true with member index and member count when the address carries a multi-value post-fix.
    bool (*isAtomicParameter)(PDB::IParameterDB& db, uint32_t ci, uint32_t ai, uint32_t* member,
                              uint32_t* count) = nullptr;
    // Writes values at consecutive address indexes from ai, in one linked write.
    JLIB::JResult (*setParamWithLink)(PDB::IParameterDB& db, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                      const std::vector<JVariant>& values, uint8_t factor) = nullptr;
};

class PdbParameterFlip {
public:
    static PdbParameterFlip& getInstance();
    // Null members take the plain database access.
    static void installHook(const PdbFlipHook& hook);

    JLIB::JResult initialize(uint32_t instanceId);
    JLIB::JResult clear();
    JLIB::JResult addParameter(uint32_t uniqId, uint32_t addressIndex, uint32_t x, uint32_t y, const JVariant& value,
                               uint32_t factor);
    // Writes and empties the buffer; 0x80000000 (items kept) when the database is missing.
    JLIB::JResult update();

    uint32_t instanceId() const { return m_instanceId; }
    const std::vector<ParameterFlipItem>& items() const { return m_items; }

private:
    PdbParameterFlip() = default;

    uint32_t m_instanceId = 0;
    std::vector<ParameterFlipItem> m_items;
};

}  // namespace ComControl
