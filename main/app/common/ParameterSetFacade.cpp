#include "common/ParameterSetFacade.h"

namespace PRMSET {

PDB::LocalParameterDB dummy;

ParameterSetFacade& ParameterSetFacade::getInstance()
{
    static ParameterSetFacade instance;
    return instance;
}

JLIB::JResult ParameterSetFacade::createParameterSet(ParameterSetHandle&, uint32_t, const char*, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::deleteParameterSet(const ParameterSetHandle&, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::addDevice(const ParameterSetHandle&, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::removeDevice(const ParameterSetHandle&, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::addComponent(const ParameterSetHandle&, const PDB::UniqId&, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::removeComponent(const ParameterSetHandle&, const PDB::UniqId&, uint32_t)
{
    return JLIB::kOk;
}
JLIB::JResult ParameterSetFacade::addParameter(const ParameterSetHandle&, const PDB::UniqId&, const char*, uint32_t,
                                               uint32_t, uint32_t)
{
    return JLIB::kOk;
}
JLIB::JResult ParameterSetFacade::removeParameter(const ParameterSetHandle&, const PDB::UniqId&, const char*, uint32_t,
                                                  uint32_t, uint32_t)
{
    return JLIB::kOk;
}
JLIB::JResult ParameterSetFacade::duplicateParameterSet(const ParameterSetHandle&, ParameterSetHandle&, uint32_t,
                                                        const char*, uint32_t)
{
    return JLIB::kOk;
}
JLIB::JResult ParameterSetFacade::setParameterSetId(const ParameterSetHandle&, uint32_t, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::setParameterSetName(const ParameterSetHandle&, const char*, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::setProtect(const ParameterSetHandle&, bool, uint32_t) { return JLIB::kOk; }

uint32_t ParameterSetFacade::parameterSetId(const ParameterSetHandle&) const { return 0; }
std::string ParameterSetFacade::parameterSetName(const ParameterSetHandle&) const { return std::string(); }
bool ParameterSetFacade::isProtect(const ParameterSetHandle&) const { return false; }
PDB::SnapshotContentsList ParameterSetFacade::contentsList(const ParameterSetHandle&) const
{
    return PDB::SnapshotContentsList();
}
ParameterSetHandle ParameterSetFacade::find(uint32_t) const { return ParameterSetHandle(); }
ParameterSetHandle ParameterSetFacade::find(const char*) const { return ParameterSetHandle(); }
ParameterSetHandle ParameterSetFacade::handle(uint32_t) const { return ParameterSetHandle(); }
uint32_t ParameterSetFacade::num() const { return 0; }

JLIB::JResult ParameterSetFacade::storeSnapshot(const ParameterSetHandle&, uint32_t, const char*, uint32_t)
{
    return JLIB::kOk;
}
JLIB::JResult ParameterSetFacade::recallSnapshot(const ParameterSetHandle&, uint32_t, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::clearSnapshot(const ParameterSetHandle&, uint32_t, uint32_t) { return JLIB::kOk; }
JLIB::JResult ParameterSetFacade::updateSnapshotInfo(const ParameterSetHandle&, uint32_t, uint32_t) { return JLIB::kOk; }
PDB::LocalParameterDB& ParameterSetFacade::snapshotInfo(const ParameterSetHandle&, uint32_t) { return dummy; }
const PDB::LocalParameterDB& ParameterSetFacade::snapshotInfo(const ParameterSetHandle&, uint32_t) const { return dummy; }

}  // namespace PRMSET
