#pragma once
// Parameter strategies of the components "uzCurrent" and "uzSetup": they give the parameters
// listed in their default table the index-dependent defaults of LpcUzDefaultValueProc.h. A
// strategy serves the component whose unique id it holds; initialize resolves its table once
// the component exists, before the component is set to its defaults. The database then calls
// getDefaultValueProc on the defaulting task under its lock; the resolved list is only read there.
#include <cstdint>
#include <utility>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_ParameterStrategy.h"
#include "PDB/pdb_UniqId.h"
#include "common/Lpc/LpcUzDefaultValueProc.h"

namespace LPC {

struct T_DEFAULT_VALUE_PROC {
    const char* address;  // constant text
    DefaultValueProc proc;
};

class LpcUzParameterStrategyBase : public PDB::ParameterStrategy {
public:
    // The table is borrowed and constant for the whole run.
    LpcUzParameterStrategyBase(PDB::UniqId uniqId, const T_DEFAULT_VALUE_PROC* table, uint32_t rowNum);
    ~LpcUzParameterStrategyBase() override;

    // Resolves every row in the component in order, replacing an earlier resolution; the first
    // address that does not resolve stops it with 0x80000000 (the rows before stay resolved).
    // 0x80000000 for a null table.
    uint32_t initialize(PDB::IParameterDB& db) override;
    // The procedure of the first resolved row of this parameter overwrites or keeps the value;
    // its result. Without such a row: 0 and the value untouched.
    uint32_t getDefaultValueProc(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex, uint32_t x,
                                 uint32_t y, const PDB::ParameterInfo& info, JVariant& value) const override;

    const T_DEFAULT_VALUE_PROC* defaultTable() const { return m_pTable; }
    uint32_t rowNum() const { return m_rowNum; }

private:
    std::vector<std::pair<PDB::AddressId, DefaultValueProc>> m_resolved;
    PDB::UniqId m_uniqId;
    const T_DEFAULT_VALUE_PROC* m_pTable;
    uint32_t m_rowNum;
};

// Unique id 0, "uzCurrent": the object names.
class LpcUzParameterStrategyCurrent : public LpcUzParameterStrategyBase {
public:
    LpcUzParameterStrategyCurrent();
};

// Unique id 1, "uzSetup": channel and zone names, space boundaries, equaliser frequencies.
class LpcUzParameterStrategySetup : public LpcUzParameterStrategyBase {
public:
    LpcUzParameterStrategySetup();
};

// The one instance of each for the whole run, named by the component factory of the
// device-control thread.
extern LpcUzParameterStrategyCurrent gUzParameterStrategyCurrent;
extern LpcUzParameterStrategySetup gUzParameterStrategySetup;

}  // namespace LPC
