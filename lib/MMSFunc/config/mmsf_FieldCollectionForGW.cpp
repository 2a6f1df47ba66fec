#include "MMSFunc/config/mmsf_FieldCollectionForGW.h"

#include <mutex>

#include "devctrl/devctrl_InstanceBroker.h"
#include "oswrap/oswrap_semaphore.h"

namespace MMSFUNC {

const FieldInfo FieldCollectionForGW::m_FieldInfo[kFieldCount] = {
    {0, "Mixing", "Mixing", 1, 1},
    {1, "Processing", "Process", 1, 1},
    {2, "FX", "FX", 1, 1},
    {3, "Setup", "Setup", 0, 1},
    {4, "StaticSetup", "Static", 0, 3},
    {5, "Security", "Security", 0, 1},
    {6, "Volatile", "Volatile", 0, 0},
    {7, "Status", "Status", 0, 0},
    {8, "Calibration", "Calib", 0, 4},
    {9, "Property", "Property", 0, 0},
    {10, "SceneList", "SceneList", 0, 2},
    {11, "SceneStatus", "SceneStatus", 0, 0},
    {12, "SceneInfo", "Scene", 0, 1},
    {13, "PresetInfo", "Preset", 0, 1},
    {14, "ProjectInfo", "Project", 0, 0},
    {15, "ConsoleSetup", "CnsSetup", 0, 1},
    {16, "Diagnostics", "Diag", 0, 0},
    {17, "ConsoleStatus", "CnsStatus", 0, 0},
};

MMS::IField* FieldCollectionForGW::m_FieldCacheTable[kFieldCount] = {};

std::atomic<uint16_t> FieldCollectionForGW::m_SemaphoreId{0};

namespace {

// Whether the cache holds a broker reference for the slot. A slot can keep a field without one
// after finalize (other holders keep it alive); handing that back again would take another
// holder's reference. Guarded by the semaphore like the slots.
bool s_held[FieldCollectionForGW::kFieldCount] = {};

bool isFailure(uint32_t result) { return (result & 0x80000000u) != 0; }

// Two first initialize calls on two tasks must not make two semaphores, each guarding its own
// half of the callers. A failed attempt leaves the id 0, so a later call tries again.
uint32_t makeSemaphoreOnce(std::atomic<uint16_t>& semaphoreId)
{
    static std::mutex making;
    const std::lock_guard<std::mutex> guard(making);
    if (semaphoreId.load() != 0) return 0;
    const T_OSW_CSEM record = {nullptr, 0, 1, "FieldCollectionForGW"};
    uint16_t id = 0;
    if (isFailure(oswrap_AcreSem(&id, &record)) || id == 0) return FieldCollectionForGW::kFailed;
    semaphoreId.store(id);
    return 0;
}

}  // namespace

uint32_t FieldCollectionForGW::initialize()
{
    // The broker is made on first use, so there always is one; one that is not initialised yet
    // hands out no field and leaves every slot null.
    DeviceControl::MMSInstanceBroker& broker = DeviceControl::MMSInstanceBroker::getInstance();
    if (isFailure(makeSemaphoreOnce(m_SemaphoreId))) return kFailed;

    (void)beginMutex();  // the id is valid from here on
    for (unsigned i = 0; i < kFieldCount; ++i) {
        if (s_held[i]) continue;
        MMS::IField* field = nullptr;
        const bool got = !isFailure(broker.getField(&field, m_FieldInfo[i].name)) && field;
        m_FieldCacheTable[i] = got ? field : nullptr;
        s_held[i] = got;
    }
    (void)endMutex();
    return 0;
}

uint32_t FieldCollectionForGW::finalize()
{
    DeviceControl::MMSInstanceBroker& broker = DeviceControl::MMSInstanceBroker::getInstance();
    if (m_SemaphoreId.load() == 0) return kFailed;

    (void)beginMutex();
    for (unsigned i = 0; i < kFieldCount; ++i) {
        if (!m_FieldCacheTable[i] || !s_held[i]) continue;
        // A refused hand-back keeps the reference, so a later finalize can try again.
        if (!isFailure(broker.releaseField(&m_FieldCacheTable[i], m_FieldInfo[i].name))) s_held[i] = false;
    }
    (void)endMutex();
    return 0;
}

MMS::IField* FieldCollectionForGW::field(unsigned index) const
{
    if (m_SemaphoreId.load() == 0 || index >= kFieldCount) return nullptr;
    (void)beginMutex();
    MMS::IField* const found = m_FieldCacheTable[index];
    (void)endMutex();
    return found;
}

const FieldInfo* FieldCollectionForGW::fieldInfo(unsigned index) const
{
    if (index >= fieldNum()) return &m_NullInfo;
    return &m_FieldInfo[index];
}

uint32_t FieldCollectionForGW::beginMutex() const { return oswrap_WaiSem(m_SemaphoreId.load()); }

uint32_t FieldCollectionForGW::endMutex() const { return oswrap_SigSem(m_SemaphoreId.load()); }

}  // namespace MMSFUNC
