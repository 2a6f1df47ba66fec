// The meters of the synchronised link: the "Sync" thread asks the device for the meters of every
// component the editor registered, and holds the decoder of the device's meter blocks. Own task.
#include <cstring>
#include <string>

#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_MeterPool.h"
#include "editor/KavoriClientSyncThread.h"
#include "editor/KavoriEventMaker.h"
#include "editor/VDMeterContainer.h"

namespace KAVORI {

JLIB::JResult KavoriClientSyncThread::meterRequest()
{
    if (m_connectStatus != kEditorSynchronized) return JLIB::kOk;
    const VDevice::VDMeterContainer& meters = VDevice::VDMeterContainer::getInstance();
    // The event carries 8 bits: an interval above 255 ms wraps, as the device expects.
    const uint8_t interval = static_cast<uint8_t>(meters.getIntervalTime());
    for (const uint32_t id : meters.componentIDList()) {
        std::string key;
        std::string value;
        if (JLIB::isFailure(KavoriEventMaker::setMeterRequest(key, value, interval, static_cast<uint16_t>(id)))) {
            continue;
        }
        (void)sendUnitEvent(key, value, kUnitFactor);  // a lost request is asked again in 5 s
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::decodeMeterPacket(const JMDP::MeterDataBlockHeaderEx& header,
                                                        const uint8_t* values, uint32_t size)
{
    if (header.isLittleEndianData() != DRAVO::MeterPool::isLittleEndian()) return JLIB::kFailed;
    const JMDP::MeterId meterId = header.getMeterId();
    const uint32_t componentId = uint32_t{meterId.getId1()} | uint32_t{meterId.getId2()} << 8;
    DRAVO::AudioComponentCollection* collection = DRAVO::AudioComponentCollection::singleton();
    DRAVO::AudioComponent* component = collection ? collection->component(componentId) : nullptr;
    if (!component) return JLIB::kFailed;
    return decodeMeterBlock(component->meterPool(), header, values, size);
}

JLIB::JResult KavoriClientSyncThread::decodeMeterBlock(DRAVO::MeterPool& pool,
                                                       const JMDP::MeterDataBlockHeaderEx& header,
                                                       const uint8_t* values, uint32_t size)
{
    if (header.isLittleEndianData() != DRAVO::MeterPool::isLittleEndian()) return JLIB::kFailed;
    const JMDP::MeterId meterId = header.getMeterId();
    PARRAY::ArrayAccessorForServer* table = nullptr;
    switch (header.getDataFormat()) {
    case 0:
    case 2:
    case 5: table = &pool.normalMeterArrayAccessor(); break;
    case 1: table = &pool.holdMeterArrayAccessor(); break;
    default: return JLIB::kOk;  // formats without a table here are taken and dropped
    }
    const uint32_t arrayId = meterId.getId3();
    if (arrayId >= table->arrayIDNum()) return JLIB::kFailed;
    void* data = nullptr;
    uint32_t arraySize = 0;
    if (JLIB::isFailure(table->getArrayPointer(data, arraySize, arrayId))) return JLIB::kFailed;
    // Compared in 64 bits: a large count must not wrap past the end of the array.
    const uint32_t start = header.getStartPos();
    if (uint64_t{start} + size > arraySize) return JLIB::kFailed;
    if (size == 0) return JLIB::kOk;
    if (!data || !values) return JLIB::kFailed;
    std::memcpy(static_cast<uint8_t*>(data) + start, values, size);
    return JLIB::kOk;
}

}  // namespace KAVORI
