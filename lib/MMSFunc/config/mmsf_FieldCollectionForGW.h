#pragma once
// The parameter fields of the GW console family: a fixed table of 18 named fields fetched from
// the instance broker by name into one process-wide cache. Every instance shares that cache and
// carries no data of its own. Any task: the cache is read and written only under the semaphore
// "FieldCollectionForGW", made by the first initialize and never destroyed.
#include <atomic>
#include <cstdint>

#include "MMSFunc/Field/mmsf_FieldCollection.h"

namespace MMSFUNC {

class FieldCollectionForGW : public FieldCollection {
public:
    static constexpr unsigned kFieldCount = 18;
    static constexpr uint32_t kFailed = 0x80000000u;

    FieldCollectionForGW() = default;
    ~FieldCollectionForGW() override = default;

    // Fills every slot with the broker's field of the row's name, or null when the broker hands
    // out none (the result is still 0). The cache takes one broker reference per field and keeps
    // it until finalize: a slot already holding one is left as it is. 0x80000000 when the
    // semaphore cannot be made (nothing touched).
    [[nodiscard]] uint32_t initialize();
    // Hands the references taken by initialize back to the broker; each slot keeps what the
    // broker leaves in it (null once the last holder let go). 0x80000000 before the first
    // initialize. A second call hands back nothing.
    [[nodiscard]] uint32_t finalize();

    // The cached field, without a broker reference of its own (the caller relies on the one taken
    // by initialize); null before the first initialize or for an index above 17.
    MMS::IField* field(unsigned index) const override;
    // m_NullInfo for an index not below fieldNum.
    const FieldInfo* fieldInfo(unsigned index) const override;
    unsigned fieldNum() const override { return kFieldCount; }
    // Does nothing; 0.
    uint32_t releaseAll() override { return 0; }

    // Wait on and signal the semaphore; the OS layer's result (a failure before the first
    // initialize). Not recursive: do not call field, initialize or finalize in between.
    uint32_t beginMutex() const;
    uint32_t endMutex() const;

protected:
    static const FieldInfo m_FieldInfo[kFieldCount];
    static MMS::IField* m_FieldCacheTable[kFieldCount];
    static std::atomic<uint16_t> m_SemaphoreId;  // 0 while none has been made
};

}  // namespace MMSFUNC
