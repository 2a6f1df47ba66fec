#include "comctrl_PdbParameterFlip.h"

#include <map>
#include <tuple>

#include "PDB/pdb_ParameterDBCollection.h"

namespace ComControl {

namespace {

bool plainIsAtomic(PDB::IParameterDB&, uint32_t, uint32_t, uint32_t*, uint32_t*)
{
    return false;
}

JLIB::JResult plainSet(PDB::IParameterDB& db, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                       const std::vector<JVariant>& values, uint8_t factor)
{
    JLIB::JResult first = JLIB::kOk;
    for (uint32_t i = 0; i < values.size(); ++i) {
        const JLIB::JResult r = db.setVariant(ci, ai + i, x, y, values[i], factor);
        if (JLIB::isSuccess(first) && JLIB::isFailure(r)) first = r;
    }
    return first;
}

PdbFlipHook& hook()
{
    static PdbFlipHook h{&plainIsAtomic, &plainSet};
    return h;
}

}  // namespace

PdbParameterFlip& PdbParameterFlip::getInstance()
{
    static PdbParameterFlip instance;
    return instance;
}

void PdbParameterFlip::installHook(const PdbFlipHook& installed)
{
    hook().isAtomicParameter = installed.isAtomicParameter ? installed.isAtomicParameter : &plainIsAtomic;
    hook().setParamWithLink = installed.setParamWithLink ? installed.setParamWithLink : &plainSet;
}

JLIB::JResult PdbParameterFlip::initialize(uint32_t instanceId)
{
    m_instanceId = instanceId;
    m_items.clear();
    return JLIB::kOk;
}

JLIB::JResult PdbParameterFlip::clear()
{
    m_items.clear();
    return JLIB::kOk;
}

JLIB::JResult PdbParameterFlip::addParameter(uint32_t uniqId, uint32_t addressIndex, uint32_t x, uint32_t y,
                                             const JVariant& value, uint32_t factor)
{
    m_items.push_back(ParameterFlipItem{uniqId, addressIndex, x, y, value, factor});
    return JLIB::kOk;
}

JLIB::JResult PdbParameterFlip::update()
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(m_instanceId);
    if (!db.isValid()) return JLIB::kFailed;
    struct Group {
        std::vector<JVariant> values;
        uint8_t factor = 0;
    };
    // (component index, first address index, x, y): groups are written in this order.
    std::map<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>, Group> groups;
    const PdbFlipHook& h = hook();
    for (const ParameterFlipItem& item : m_items) {
        const uint32_t ci = db.getComponentIndex(PDB::UniqId(item.uniqId));
        uint32_t member = 0, count = 0;
        if (h.isAtomicParameter(db, ci, item.addressIndex, &member, &count) && member < count &&
            member <= item.addressIndex) {
            const auto key = std::make_tuple(ci, item.addressIndex - member, item.x, item.y);
            auto found = groups.find(key);
            if (found == groups.end()) {
                Group group;
                group.values.resize(count);
                group.factor = static_cast<uint8_t>(item.factor);
                found = groups.emplace(key, std::move(group)).first;
            }
            found->second.values[member] = item.value;
        } else {
            (void)h.setParamWithLink(db, ci, item.addressIndex, item.x, item.y, {item.value},
                                     static_cast<uint8_t>(item.factor));  // one failure does not stop the rest
        }
    }
    for (auto& [key, group] : groups) {
        const auto& [ci, first, x, y] = key;
        std::vector<JVariant> values = group.values;
        for (uint32_t i = 0; i < values.size(); ++i) {
            if (!values[i].isValid()) (void)db.getVariant(values[i], ci, first + i, x, y, nullptr);
        }
        (void)h.setParamWithLink(db, ci, first, x, y, values, group.factor);
    }
    m_items.clear();
    return JLIB::kOk;
}

}  // namespace ComControl
