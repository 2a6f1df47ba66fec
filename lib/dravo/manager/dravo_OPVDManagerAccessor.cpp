#include "dravo/manager/dravo_OPVDManagerAccessor.h"

#include <cstring>
#include <new>

#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_UniqId.h"
#include "dravo/manager/dravo_SCPMeterData.h"
#include "dravo/manager/dravo_convertDRAVOValue.h"
#include "jlib/JVariant.h"
#include "parray/ArrayAccessorForServer.h"

namespace DRAVO {

namespace {

PDB::IParameterDB& audioComponentDB()
{
    return PDB::gPDBCollection.getPDB(kAudioComponentDBInstanceId);
}

// A clamped value is a status, not a failure.
uint32_t writeResult(JLIB::JResult result)
{
    return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace

OPVDManagerAccessor::~OPVDManagerAccessor()
{
    (void)finalize();  // always 0
}

JLIB::JResult OPVDManagerAccessor::initialize(uint32_t uniqID, uint32_t numX, uint32_t numY,
                                              PARRAY::ArrayAccessorForServer* coef,
                                              PARRAY::ArrayAccessorForServer* rawMeter,
                                              PARRAY::ArrayAccessorForServer* normalMeter,
                                              PARRAY::ArrayAccessorForServer* holdMeter)
{
    (void)finalize();  // always 0; gives back an earlier component's use mark
    PDB::IParameterDB& db = audioComponentDB();
    const PDB::UniqId id(uniqID);
    {
        PDB::MutexReadLocker guard(db);
        m_componentIndex = db.getComponentIndex(id);
        const PDB::IComponent& live = static_cast<const PDB::IParameterDB&>(db)._getComponent(m_componentIndex);
        m_component = live;  // the null component of an unknown id leaves the emptied copy as it is
    }
    m_uniqID = uniqID;
    m_numX = numX;
    m_numY = numY;
    m_pCoef = coef;
    m_pRawMeter = rawMeter;
    m_pNormalMeter = normalMeter;
    m_pHoldMeter = holdMeter;
    (void)db.useComponent(id);  // refused only for an id the database does not hold: nothing to keep
    return JLIB::kOk;
}

JLIB::JResult OPVDManagerAccessor::finalize()
{
    if (m_uniqID != kNoComponent) {
        (void)audioComponentDB().releaseComponent(PDB::UniqId(m_uniqID));  // refused only for an id not held
    }
    (void)m_component.clear();  // always 0: every address now reads as missing
    m_uniqID = kNoComponent;
    m_componentIndex = kNoComponent;
    m_numX = 0;
    m_numY = 0;
    m_pCoef = nullptr;
    m_pRawMeter = nullptr;
    m_pNormalMeter = nullptr;
    m_pHoldMeter = nullptr;
    return JLIB::kOk;
}

JLIB::JResult OPVDManagerAccessor::refrectChangedParameter(uint32_t ai, uint32_t x, uint32_t y)
{
    if (m_uniqID == kNoComponent) return JLIB::kOk;
    const PDB::IParameterDB& db = audioComponentDB();
    // Writers change the live component under the write lock.
    PDB::MutexReadLocker guard(db);
    return m_component.reflectChange(ai, x, y, db._getComponent(m_componentIndex));
}

uint32_t OPVDManagerAccessor::getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_component.getUInt32(ai, x, y, nullptr);
}

int32_t OPVDManagerAccessor::getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_component.getSInt32(ai, x, y, nullptr);
}

float OPVDManagerAccessor::getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_component.getFloat(ai, x, y, nullptr);
}

bool OPVDManagerAccessor::getParamBool(uint32_t ai, uint32_t x, uint32_t y) const
{
    return m_component.getBool(ai, x, y, nullptr);
}

uint32_t OPVDManagerAccessor::getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer, uint32_t size) const
{
    if (!buffer) return JLIB::kFailed;
    std::memset(buffer, 0, size);
    JVariant value;
    if (JLIB::isFailure(m_component.getVariant(value, ai, x, y, nullptr))) return JLIB::kOk;
    if (value.getType() != JVariant::kTypeString || !value.toString() || size == 0) return JLIB::kOk;
    const char* text = value.toString();
    std::memcpy(buffer, text, strnlen(text, size - 1));  // the zero fill ends it
    return JLIB::kOk;
}

uint32_t OPVDManagerAccessor::getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer, uint32_t size) const
{
    if (!buffer) return JLIB::kFailed;
    JVariant value;
    if (JLIB::isFailure(m_component.getVariant(value, ai, x, y, nullptr))) return JLIB::kOk;
    if (value.getType() != JVariant::kTypeBinary || !value.toBinary()) return JLIB::kOk;
    const uint32_t length = value.getBinaryLength();
    if (length <= size) std::memcpy(buffer, value.toBinary(), length);
    return JLIB::kOk;
}

uint32_t OPVDManagerAccessor::getParamNumX(uint32_t ai) const
{
    return m_component.paramInfo(ai).numX;
}

uint32_t OPVDManagerAccessor::getParamNumY(uint32_t ai) const
{
    return m_component.paramInfo(ai).numY;
}

uint32_t OPVDManagerAccessor::getParamMin(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_component.paramInfo(ai).min, value);
}

uint32_t OPVDManagerAccessor::getParamMax(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_component.paramInfo(ai).max, value);
}

uint32_t OPVDManagerAccessor::getParamDefault(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_component.paramInfo(ai).def, value);
}

uint32_t OPVDManagerAccessor::getParamNominal(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_component.paramInfo(ai).nominal, value);
}

uint32_t OPVDManagerAccessor::getParamStep(uint32_t ai, VariantType& value) const
{
    return convertPDBToDRAVOValue(m_component.paramInfo(ai).step, value);
}

template <typename T>
uint32_t OPVDManagerAccessor::setCoef(uint32_t n, uint32_t x, uint32_t y, uint32_t z, T value) const
{
    // Libraries take 1 as "written"; a refused element is not theirs to handle.
    if (m_pCoef) (void)m_pCoef->setParam<T>(n, x, y, z, value);
    return 1;
}

uint32_t OPVDManagerAccessor::setCoefUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, uint32_t value) const
{
    return setCoef(n, x, y, z, value);
}

uint32_t OPVDManagerAccessor::setCoefSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, int32_t value) const
{
    return setCoef(n, x, y, z, value);
}

uint32_t OPVDManagerAccessor::setCoefFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z, float value) const
{
    return setCoef(n, x, y, z, value);
}

uint32_t OPVDManagerAccessor::setCoefDouble(uint32_t n, uint32_t x, uint32_t y, uint32_t z, double value) const
{
    return setCoef(n, x, y, z, value);
}

uint32_t OPVDManagerAccessor::getMeterUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pRawMeter ? m_pRawMeter->getParam<uint32_t>(n, x, y, z) : 0;
}

int32_t OPVDManagerAccessor::getMeterSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pRawMeter ? m_pRawMeter->getParam<int32_t>(n, x, y, z) : 0;
}

float OPVDManagerAccessor::getMeterFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pRawMeter ? m_pRawMeter->getParam<float>(n, x, y, z) : 0.0f;
}

uint8_t OPVDManagerAccessor::getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pNormalMeter ? m_pNormalMeter->getParam<uint8_t>(n, x, y, z) : kSCPMeterNoSignal;
}

uint8_t OPVDManagerAccessor::getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pHoldMeter ? m_pHoldMeter->getParam<uint8_t>(n, x, y, z) : kSCPMeterNoSignal;
}

uint8_t OPVDManagerAccessor::getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const
{
    return m_pNormalMeter ? m_pNormalMeter->getParam<uint8_t>(n, x, y, z) : kSCPMeterGRCleared;
}

uint32_t OPVDManagerAccessor::setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    if (m_componentIndex == kNoComponent) return JLIB::kFailed;
    return writeResult(audioComponentDB().setUInt32(m_componentIndex, ai, x, y, value, kWriteTag));
}

uint32_t OPVDManagerAccessor::setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const
{
    if (m_componentIndex == kNoComponent) return JLIB::kFailed;
    return writeResult(audioComponentDB().setSInt32(m_componentIndex, ai, x, y, value, kWriteTag));
}

uint32_t OPVDManagerAccessor::setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const
{
    if (m_componentIndex == kNoComponent) return JLIB::kFailed;
    return writeResult(audioComponentDB().setFloat(m_componentIndex, ai, x, y, value, kWriteTag));
}

uint32_t OPVDManagerAccessor::setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const
{
    if (m_componentIndex == kNoComponent) return JLIB::kFailed;
    return writeResult(audioComponentDB().setBool(m_componentIndex, ai, x, y, value != 0, kWriteTag));
}

uint32_t OPVDManagerAccessor::setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const
{
    if (m_componentIndex == kNoComponent) return JLIB::kFailed;
    return writeResult(audioComponentDB().setString(m_componentIndex, ai, x, y, text, kWriteTag));
}

uint32_t OPVDManagerAccessor::setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                             uint32_t length) const
{
    if (m_componentIndex == kNoComponent) return JLIB::kFailed;
    return writeResult(audioComponentDB().setBinary(m_componentIndex, ai, x, y, bytes, length, kWriteTag));
}

IManagerAccessor_V1* createManagerAccessor(uint32_t uniqID, uint32_t numX, uint32_t numY,
                                           PARRAY::ArrayAccessorForServer* coef,
                                           PARRAY::ArrayAccessorForServer* rawMeter,
                                           PARRAY::ArrayAccessorForServer* normalMeter,
                                           PARRAY::ArrayAccessorForServer* holdMeter)
{
    auto* accessor = new (std::nothrow) OPVDManagerAccessor;
    if (!accessor) return nullptr;
    (void)accessor->initialize(uniqID, numX, numY, coef, rawMeter, normalMeter, holdMeter);  // always 0
    return accessor;
}

JLIB::JResult destroyManagerAccessor(IManagerAccessor_V1*& accessor)
{
    if (!accessor) return JLIB::kOk;
    if (auto* own = dynamic_cast<OPVDManagerAccessor*>(accessor)) (void)own->finalize();  // always 0
    delete accessor;
    accessor = nullptr;
    return JLIB::kOk;
}

JLIB::JResult refrectParamChangeToManagerAccessor(IManagerAccessor_V1* accessor, uint32_t ai, uint32_t x, uint32_t y)
{
    auto* own = dynamic_cast<OPVDManagerAccessor*>(accessor);
    // The element is fetched again on the next change; the engine has nothing to do about it.
    if (own) (void)own->refrectChangedParameter(ai, x, y);
    return JLIB::kOk;
}

}  // namespace DRAVO
