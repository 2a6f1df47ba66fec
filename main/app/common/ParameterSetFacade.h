#pragma once
// The parameter-set facade of the hardware products: every operation does nothing and reports
// success or an empty answer. The editor link's parameter-set commands work on the device's own
// data instead. Any task.
#include <cstdint>
#include <string>

#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_SnapshotFile.h"
#include "PDB/pdb_UniqId.h"
#include "common/ParameterSetHandle.h"
#include "jlib/jlib_result.h"

namespace PRMSET {

// The shared empty database handed out as snapshot information; built at program start.
extern PDB::LocalParameterDB dummy;

class ParameterSetFacade {
public:
    static ParameterSetFacade& getInstance();

    JLIB::JResult createParameterSet(ParameterSetHandle& handle, uint32_t id, const char* name, uint32_t factor);
    JLIB::JResult deleteParameterSet(const ParameterSetHandle& handle, uint32_t factor);
    JLIB::JResult addDevice(const ParameterSetHandle& handle, uint32_t factor);
    JLIB::JResult removeDevice(const ParameterSetHandle& handle, uint32_t factor);
    JLIB::JResult addComponent(const ParameterSetHandle& handle, const PDB::UniqId& component, uint32_t factor);
    JLIB::JResult removeComponent(const ParameterSetHandle& handle, const PDB::UniqId& component, uint32_t factor);
    JLIB::JResult addParameter(const ParameterSetHandle& handle, const PDB::UniqId& component, const char* address,
                               uint32_t x, uint32_t y, uint32_t factor);
    JLIB::JResult removeParameter(const ParameterSetHandle& handle, const PDB::UniqId& component, const char* address,
                                  uint32_t x, uint32_t y, uint32_t factor);
    JLIB::JResult duplicateParameterSet(const ParameterSetHandle& source, ParameterSetHandle& created, uint32_t id,
                                        const char* name, uint32_t factor);
    JLIB::JResult setParameterSetId(const ParameterSetHandle& handle, uint32_t id, uint32_t factor);
    JLIB::JResult setParameterSetName(const ParameterSetHandle& handle, const char* name, uint32_t factor);
    JLIB::JResult setProtect(const ParameterSetHandle& handle, bool protect, uint32_t factor);

    uint32_t parameterSetId(const ParameterSetHandle& handle) const;
    std::string parameterSetName(const ParameterSetHandle& handle) const;
    bool isProtect(const ParameterSetHandle& handle) const;
    PDB::SnapshotContentsList contentsList(const ParameterSetHandle& handle) const;
    ParameterSetHandle find(uint32_t id) const;
    ParameterSetHandle find(const char* name) const;
    ParameterSetHandle handle(uint32_t index) const;
    uint32_t num() const;

    JLIB::JResult storeSnapshot(const ParameterSetHandle& handle, uint32_t number, const char* name, uint32_t factor);
    JLIB::JResult recallSnapshot(const ParameterSetHandle& handle, uint32_t number, uint32_t factor);
    JLIB::JResult clearSnapshot(const ParameterSetHandle& handle, uint32_t number, uint32_t factor);
    JLIB::JResult updateSnapshotInfo(const ParameterSetHandle& handle, uint32_t number, uint32_t factor);
    PDB::LocalParameterDB& snapshotInfo(const ParameterSetHandle& handle, uint32_t number);
    const PDB::LocalParameterDB& snapshotInfo(const ParameterSetHandle& handle, uint32_t number) const;
};

}  // namespace PRMSET
