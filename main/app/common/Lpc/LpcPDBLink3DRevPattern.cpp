#include "common/Lpc/LpcPDBLink3DRevPattern.h"

#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcTextTable.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

}  // namespace

PDBLink3DRevPattern::PDBLink3DRevPattern() = default;

PDBLink3DRevPattern::~PDBLink3DRevPattern() = default;

uint32_t PDBLink3DRevPattern::linkPrm(const LinkMap& links, const LinkEntry&, const PDB::AddressId& id, uint32_t x,
                                      uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    JLIB_RETURN_IF_FAILED(lpcpdb_setVariantWithAtomic(id, x, y, values[0], attr));
    JLIB_RETURN_IF_FAILED(linkPrmInternal(links, values[0]));
    return 1;
}

uint32_t PDBLink3DRevPattern::update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId&,
                                     CATEGORY_OF_LinkUpdateFactor)
{
    JVariant pattern;
    JLIB_RETURN_IF_FAILED(getVariant(links, entry.first, 0, 0, pattern, 0));
    return linkPrmInternal(links, pattern);
}

JLIB::JResult PDBLink3DRevPattern::linkPrmInternal(const LinkMap& links, const JVariant& pattern)
{
    const uint32_t room = toRoomID(pattern);
    if (room >= Rev::IRNo.size()) return kFailed;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < Rev::IRNo[room].size(); ++i) {
        result = setVariant(links, CATEGORY_LINKPRM_3DREV_SREV_IRNO, i, 0, JVariant(Rev::IRNo[room][i]),
                            kDerivedWriteAttr);
        if (JLIB::isFailure(result)) return result;
    }
    for (uint32_t j = 0; j < FIR::IRNo[room].size(); ++j) {
        result = setVariant(links, CATEGORY_LINKPRM_3DREV_FIR16X4_IRNO, j, 0, JVariant(FIR::IRNo[room][j]),
                            kDerivedWriteAttr);
        if (JLIB::isFailure(result)) return result;
    }
    return result;
}

}  // namespace LPC
