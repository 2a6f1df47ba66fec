#pragma once
// Attribute pair of one parameter and the option byte of a database subscriber.
// Plain values without locks; the database that holds them guards them.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace PDB {

// Area tag and flag bits of one parameter; its byte image is the two fields in order.
class ParamAttr {
public:
    static constexpr uint8_t kRecallable = 0x01;
    static constexpr uint8_t kNonVolatile = 0x02;
    static constexpr uint8_t kSyncable = 0x04;
    static constexpr uint8_t kNoEditMark = 0x08;
    static constexpr uint8_t kPrivate = 0x10;
    static constexpr uint32_t kByteSize = 2;

    explicit ParamAttr(char areaTag = 0, uint8_t flags = 0) : m_areaTag(areaTag), m_flags(flags) {}
    // Both fields start at 0, then the 2-byte image (may be null) is imported.
    explicit ParamAttr(const uint8_t* image);

    uint32_t set(char areaTag, uint8_t flags);
    uint32_t clear();
    char areaTag() const { return m_areaTag; }
    uint8_t flags() const { return m_flags; }

    bool isRecallable() const { return (m_flags & kRecallable) != 0; }
    bool isNonVolatile() const { return (m_flags & kNonVolatile) != 0; }
    bool isSyncable() const { return (m_flags & kSyncable) != 0; }
    bool hasNoEditMFlag() const { return (m_flags & kNoEditMark) != 0; }
    bool isPrivate() const { return (m_flags & kPrivate) != 0; }

    // 0x80000000 for a null pointer.
    [[nodiscard]] JLIB::JResult importData(const uint8_t* image);
    // 0x80000000 and nothing written for a null buffer or fewer than 2 bytes.
    [[nodiscard]] JLIB::JResult exportData(uint8_t* buffer, uint32_t length) const;

private:
    char m_areaTag;
    uint8_t m_flags;
};

// Option byte a subscriber registers with; exactly 1 means "dirty when recalled".
class SubscribeAttr {
public:
    SubscribeAttr(uint8_t value = 0) : m_value(value) {}

    uint32_t set(uint8_t value);
    uint32_t clear();
    uint32_t add(uint8_t bits);
    uint32_t remove(uint8_t bits);
    uint8_t value() const { return m_value; }
    bool dirtyWhenRecall() const { return m_value == 1; }

private:
    uint8_t m_value;
};

}  // namespace PDB
