#include "common/Lpc/LpcUzParameterStrategy.h"

#include <iterator>

#include "PDB/pdb_IParameterDB.h"
#include "common/Lpc/LpcPDB.h"

namespace LPC {

namespace {

constexpr T_DEFAULT_VALUE_PROC kCurrentDefaults[] = {
    {"/OBA/Label/Name", getDefaultValueProc_OBALabelName},
};

constexpr T_DEFAULT_VALUE_PROC kSetupDefaults[] = {
    {"/AuxIn/Label/Name", getDefaultValueProc_AuxInLabelName},
    {"/Binaural/ExternalIn/Label/Name", getDefaultValueProc_BinauralExternalInLabelName},
    {"/OBA/DirectOut/Label/Name", getDefaultValueProc_OBADirectOutLabelName},
    {"/OBA/RecOut/Label/Name", getDefaultValueProc_OBARecOutLabelName},
    {"/OBA/Zone/Label/Name", getDefaultValueProc_OBAZoneLabelName},
    {"/ToSpeaker/Label/Name", getDefaultValueProc_ToSpeakerLabelName},
    {"/OBA/Space/Position@xy@x", getDefaultValueProc_OBASpacePositionX},
    {"/OBA/Space/Position@xy@y", getDefaultValueProc_OBASpacePositionY},
    {"/3DRev/PEQ/F", getDefaultValueProc_3DRevPEQF},
};

}  // namespace

LpcUzParameterStrategyCurrent gUzParameterStrategyCurrent;
LpcUzParameterStrategySetup gUzParameterStrategySetup;

LpcUzParameterStrategyBase::LpcUzParameterStrategyBase(PDB::UniqId uniqId, const T_DEFAULT_VALUE_PROC* table,
                                                       uint32_t rowNum)
    : m_uniqId(uniqId), m_pTable(table), m_rowNum(rowNum)
{
}

LpcUzParameterStrategyBase::~LpcUzParameterStrategyBase() = default;

uint32_t LpcUzParameterStrategyBase::initialize(PDB::IParameterDB& db)
{
    if (!m_pTable) return JLIB::kFailed;
    // A component made again (a new database) must not be served through the old one's indexes.
    m_resolved.clear();
    for (uint32_t row = 0; row < m_rowNum; ++row) {
        const PDB::AddressId id = db.getAddressId(m_uniqId, m_pTable[row].address);
        JLIB_RETURN_IF_FAILED(pdb_addressCheck(id));
        m_resolved.emplace_back(id, m_pTable[row].proc);
    }
    return JLIB::kOk;
}

uint32_t LpcUzParameterStrategyBase::getDefaultValueProc(PDB::IParameterDB& db, uint32_t componentIndex,
                                                         uint32_t addressIndex, uint32_t x, uint32_t y,
                                                         const PDB::ParameterInfo& info, JVariant& value) const
{
    for (const auto& [id, proc] : m_resolved) {
        if (id.componentIndex() == componentIndex && id.addressIndex() == addressIndex && proc) {
            return proc(db, x, y, info, value);
        }
    }
    return JLIB::kOk;
}

LpcUzParameterStrategyCurrent::LpcUzParameterStrategyCurrent()
    : LpcUzParameterStrategyBase(PDB::UniqId(CATEGORY_PDBTYPE_UZCURRENT), kCurrentDefaults,
                                 static_cast<uint32_t>(std::size(kCurrentDefaults)))
{
}

LpcUzParameterStrategySetup::LpcUzParameterStrategySetup()
    : LpcUzParameterStrategyBase(PDB::UniqId(CATEGORY_PDBTYPE_UZSETUP), kSetupDefaults,
                                 static_cast<uint32_t>(std::size(kSetupDefaults)))
{
}

}  // namespace LPC
