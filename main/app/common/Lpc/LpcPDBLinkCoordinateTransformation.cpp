#include "common/Lpc/LpcPDBLinkCoordinateTransformation.h"

#include "common/Lpc/LpcPDBLinkConverter.h"
#include "common/Lpc/LpcPDBLinkConverterList.h"
#include "common/Lpc/LpcPDBLinkCoordinateTransformationFunc.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

}  // namespace

PDBLinkCoordinateTransformation::PDBLinkCoordinateTransformation(PDBLinkConverterList* converters)
    : m_pConverters(converters)
{
}

PDBLinkCoordinateTransformation::~PDBLinkCoordinateTransformation() = default;

uint32_t PDBLinkCoordinateTransformation::update(const LinkMap& links, const LinkEntry& entry,
                                                 const PDB::AddressId& id, CATEGORY_OF_LinkUpdateFactor factor)
{
    // A recalled 3D-reverb preset leaves spaces and positions as they were.
    if (factor == CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED) return JLIB::kOk;
    for (uint32_t space = 0; space < PDBLinkConverterList::kSpaceNum; ++space) {
        JLIB_RETURN_IF_FAILED(linkPrmSpaceInternal(links, space));
    }
    return updateLogicalFromPhysical(m_pConverters, links, kDerivedWriteAttr, true, 0);
}

uint32_t PDBLinkCoordinateTransformation::linkPrmSpace(const LinkMap& links, const LinkEntry& entry,
                                                       const PDB::AddressId& id, uint32_t x, uint32_t y,
                                                       const JVariantList& values, uint8_t attr)
{
    const CATEGORY_OF_LinkPrm category = entry.first;
    // Two equal outline points would give the converter sectors without a direction.
    if (category == CATEGORY_LINKPRM_OBA_SPACE_POSITION || category == CATEGORY_LINKPRM_OBA_SPACE_CENTER) {
        JLIB_RETURN_IF_FAILED(canSetPositionTo(links, values, x));
    }
    (void)setVariantList(links, category, x, y, values, attr);  // the rebuild reads back what was stored
    JLIB_RETURN_IF_FAILED(linkPrmSpaceInternal(links, x));
    JLIB_RETURN_IF_FAILED(updateLogicalFromPhysical(m_pConverters, links, kDerivedWriteAttr, false, x));
    return 1u;
}

uint32_t PDBLinkCoordinateTransformation::linkPrmZone(const LinkMap& links, const LinkEntry& entry,
                                                      const PDB::AddressId& id, uint32_t x, uint32_t y,
                                                      const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    (void)setVariant(links, entry.first, x, y, values[0], attr);  // the recomputation reads back what was stored
    JLIB_RETURN_IF_FAILED(updateLogicalFromPhysicalForOBA(m_pConverters, links, x, attr));
    return 1u;
}

JLIB::JResult PDBLinkCoordinateTransformation::linkPrmSpaceInternal(const LinkMap& links, uint32_t space)
{
    PDBLinkConverter* converter = m_pConverters ? m_pConverters->getConverter(space) : nullptr;
    if (!converter) return kFailed;
    JLIB_RETURN_IF_FAILED(converter->clear());

    SpaceOutline points;
    JLIB_RETURN_IF_FAILED(getOBASpacePosition(links, space, points));
    for (uint32_t i = 0; i < PDBLinkConverter::kBoundaryPointNum; ++i) {
        JLIB_RETURN_IF_FAILED(converter->setPointWidth(i, points[i][0], points[i][1]));
    }
    for (uint32_t k = 0; k < PDBLinkConverter::kHeightNum; ++k) {
        JVariant height;
        JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_OBA_SPACE_HEIGHT, space, 0, height, k));
        JLIB_RETURN_IF_FAILED(converter->setPointHeight(k, height));
    }
    XYValue center;
    JLIB_RETURN_IF_FAILED(getOBASpaceCenter(links, space, center));
    JLIB_RETURN_IF_FAILED(converter->setPointCenter(center[0], center[1]));
    return converter->update();
}

JLIB::JResult getOBASpacePosition(const LinkMap& links, uint32_t space, SpaceOutline& points)
{
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < points.size(); ++i) {
        for (uint32_t member = 0; member < 2; ++member) {
            result = getVariant(links, CATEGORY_LINKPRM_OBA_SPACE_POSITION, space, i, points[i][member], member);
            if (JLIB::isFailure(result)) return result;
        }
    }
    return result;
}

JLIB::JResult getOBASpaceCenter(const LinkMap& links, uint32_t space, XYValue& center)
{
    JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_OBA_SPACE_CENTER, space, 0, center[0], 0));
    return getVariant(links, CATEGORY_LINKPRM_OBA_SPACE_CENTER, space, 0, center[1], 1);
}

bool isSameXY(const XYValue& stored, const JVariantList& values)
{
    return values.size() >= 2 && stored[0] == values[0] && stored[1] == values[1];
}

JLIB::JResult canSetPositionTo(const LinkMap& links, const JVariantList& values, uint32_t space)
{
    SpaceOutline points;
    JLIB_RETURN_IF_FAILED(getOBASpacePosition(links, space, points));
    for (const XYValue& point : points) {
        if (isSameXY(point, values)) return kFailed;
    }
    XYValue center;
    JLIB_RETURN_IF_FAILED(getOBASpaceCenter(links, space, center));
    return isSameXY(center, values) ? kFailed : JLIB::kOk;
}

}  // namespace LPC
