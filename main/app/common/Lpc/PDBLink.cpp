#include "common/Lpc/PDBLink.h"

#include <chrono>
#include <cstdio>

#include "PDB/pdb_IParameterDB.h"
#include "common/Lpc/LpcThreadCommon.h"

namespace LPC {

namespace {

using Clock = std::chrono::steady_clock;

double elapsedMs(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const T_LINK_PRM* findEntry(const LinkMap& links, CATEGORY_OF_LinkPrm category)
{
    const auto it = links.find(category);
    return it == links.end() ? nullptr : &it->second;
}

}  // namespace

PDBLink::PDBLink() : m_debugOutLink(false) {}

PDBLink::~PDBLink() = default;

JLIB::JResult PDBLink::setLinks(const LinkMap& links)
{
    m_links = links;
    collectOfferable();
    return JLIB::kOk;
}

JLIB::JResult PDBLink::initialize()
{
    m_debugOutLink = LpcThreadCommon::getInstance().debugOutLink();
    JLIB::JResult result = JLIB::kOk;
    for (auto& [category, entry] : m_links) {
        entry.addressId = pdb_resolveAddress(static_cast<CATEGORY_OF_PDBTYPE>(entry.category), entry.address);
        result = pdb_addressCheck(entry.addressId);
        if (JLIB::isFailure(result)) break;
    }
    collectOfferable();
    return result;
}

void PDBLink::collectOfferable()
{
    m_offerKeys.clear();
    m_offerEntries.clear();
    for (const LinkEntry& entry : m_links) {
        const T_LINK_PRM& prm = entry.second;
        // Only a resolved id has an identity to compare.
        if (prm.internal != 0 || !prm.link || !prm.addressId.isCached()) continue;
        m_offerKeys.push_back(prm.addressId.fingerprint());
        m_offerEntries.push_back(&entry);
    }
}

uint32_t PDBLink::linkPrm(const PDB::AddressId& id, uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr)
{
    // The clock is read only when the walk's duration is printed: normal writes stay cheap.
    const Clock::time_point start = m_debugOutLink ? Clock::now() : Clock::time_point();
    uint32_t recorded = 0;
    // An id that names no parameter has no identity to compare: it matches no entry.
    const size_t offerable = id.isCached() ? m_offerKeys.size() : 0;
    const uint32_t key = id.fingerprint();
    for (size_t i = 0; i < offerable; ++i) {
        if (m_offerKeys[i] != key) continue;  // the identity keys PDB::AddressId::isSame compares
        const LinkEntry& entry = *m_offerEntries[i];
        const uint32_t result = entry.second.link(m_links, entry, id, x, y, values, attr);
        if ((result & 1u) != 0) {
            recorded = result;  // taken over; entries later in the walk are still offered the write
        } else if (JLIB::isFailure(result)) {
            recorded = result;
            break;
        }
    }
    if (m_debugOutLink) std::printf("[###]link prm time %lf[ms]\n", elapsedMs(start));
    return recorded;
}

uint32_t PDBLink::update(CATEGORY_OF_LinkUpdateFactor factor)
{
    const Clock::time_point start = Clock::now();
    bool any = false;
    for (const LinkEntry& entry : m_links) {
        const T_LINK_PRM& prm = entry.second;
        if (prm.internal != 0 || !prm.update) continue;
        if (prm.update(m_links, entry, prm.addressId, factor) == 1u) any = true;
    }
    std::printf("[###]link update time %lf[ms]\n", elapsedMs(start));
    return any ? 1u : 0u;
}

JLIB::JResult getVariant(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y, JVariant& value,
                         uint32_t member)
{
    const T_LINK_PRM* entry = findEntry(links, category);
    if (!entry) return JLIB::kOk;
    return getLpcPDB().getVariant(value, entry->addressId.componentIndex(), entry->addressId.addressIndex() + member,
                                  x, y, nullptr);
}

JLIB::JResult setVariant(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                         const JVariant& value, uint8_t attr)
{
    const T_LINK_PRM* entry = findEntry(links, category);
    if (!entry) return JLIB::kOk;
    return lpcpdb_setVariantWithAtomic(entry->addressId, x, y, value, attr);
}

JLIB::JResult setVariantList(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                             const JVariantList& values, uint8_t attr)
{
    const T_LINK_PRM* entry = findEntry(links, category);
    if (!entry) return JLIB::kOk;
    return lpcpdb_setVariantsWithAtomic(entry->addressId.componentIndex(), entry->addressId.addressIndex(), x, y,
                                        values.data(), static_cast<uint32_t>(values.size()), attr);
}

}  // namespace LPC
