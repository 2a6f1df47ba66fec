#include "common/Lpc/LpcPDBLinkJustCopy.h"

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

}  // namespace

PDBLinkJustCopy::PDBLinkJustCopy() = default;

PDBLinkJustCopy::~PDBLinkJustCopy() = default;

uint32_t PDBLinkJustCopy::linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                                  uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    const int32_t value = values[0].toInt32();
    JLIB_RETURN_IF_FAILED(lpcpdb_setVariantWithAtomic(id, x, y, JVariant(value), attr));
    JLIB_RETURN_IF_FAILED(linkPrmInternal(links, entry.first, x, value));
    return 1;
}

uint32_t PDBLinkJustCopy::update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId&,
                                 CATEGORY_OF_LinkUpdateFactor factor)
{
    if (factor == 0) return 0;
    const PDB::AddressId& id = entry.second.addressId;
    const uint32_t n = getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex()).numX;
    for (uint32_t x = 0; x < n; ++x) {
        JVariant value;
        JLIB_RETURN_IF_FAILED(getVariant(links, entry.first, x, 0, value, 0));
        JLIB_RETURN_IF_FAILED(linkPrmInternal(links, entry.first, x, value.toInt32()));
    }
    return 0;
}

JLIB::JResult PDBLinkJustCopy::linkPrmInternal(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                               int32_t value)
{
    const auto mirror = static_cast<CATEGORY_OF_LinkPrm>(category + 1);
    if (links.find(mirror) == links.end()) return kFailed;
    return setVariant(links, mirror, x, 0, JVariant(value), kDerivedWriteAttr);
}

}  // namespace LPC
