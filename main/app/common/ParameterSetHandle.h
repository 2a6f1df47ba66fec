#pragma once
// The identifier of a parameter set: 16 bytes and a valid flag. A plain value; not locked.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PRMSET {

class ParameterSetHandle {
public:
    static constexpr uint32_t kUuidSize = 16;

    ParameterSetHandle();
    // As set; a failed set leaves the handle empty.
    ParameterSetHandle(const uint8_t* bytes, uint32_t length);
    // Bytes of a Binary value; any other value type leaves the handle empty.
    explicit ParameterSetHandle(const JVariant& value);
    ParameterSetHandle(const ParameterSetHandle& other) = default;
    ParameterSetHandle& operator=(const ParameterSetHandle& other) = default;
    virtual ~ParameterSetHandle();

    // Zeroes the identifier, copies the first min(length, 16) bytes and marks the handle valid;
    // 0x80000000 (and no change) for null bytes or length 0.
    [[nodiscard]] JLIB::JResult set(const uint8_t* bytes, uint32_t length);
    void clear();

    // Equal when both valid flags and all 16 bytes are equal.
    bool operator==(const ParameterSetHandle& other) const;
    bool operator!=(const ParameterSetHandle& other) const { return !(*this == other); }

    bool isValid() const { return m_valid; }
    const uint8_t* uuid() const { return m_uuid; }
    // Copies min(length, 16) bytes; 0x80000000 for null bytes or length 0.
    [[nodiscard]] JLIB::JResult uuid(uint8_t* bytes, uint32_t length) const;
    static uint32_t uuidSize() { return kUuidSize; }

private:
    uint8_t m_uuid[kUuidSize];
    bool m_valid;
};

}  // namespace PRMSET
