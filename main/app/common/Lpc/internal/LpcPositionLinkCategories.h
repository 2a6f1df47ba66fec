#pragma once
// The link entries that the position links read and write, by their numbers in the device link
// table.
#include "common/Lpc/PDBLink.h"

namespace LPC::internal {

constexpr CATEGORY_OF_LinkPrm kLinkObjectPhysicalPosition{11};  // Int32 centimetres x, y, z
constexpr CATEGORY_OF_LinkPrm kLinkObjectLogicalPosition{12};   // the clipped copy
constexpr CATEGORY_OF_LinkPrm kLinkObjectLogicalPositionInternal{13};  // the unclipped copy
constexpr CATEGORY_OF_LinkPrm kLinkSpacePosition{28};           // boundary points x, y
constexpr CATEGORY_OF_LinkPrm kLinkSpaceCenter{29};             // x, y
constexpr CATEGORY_OF_LinkPrm kLinkSpaceHeight{30};             // low, middle, high
constexpr CATEGORY_OF_LinkPrm kLinkObjectZone{31};              // 1..32, 0 invalid
constexpr CATEGORY_OF_LinkPrm kLinkBinauralSource{32};          // 0 objects, 1 speakers
constexpr CATEGORY_OF_LinkPrm kLinkSpeakerPosition{33};
constexpr CATEGORY_OF_LinkPrm kLinkObjectPhysicalPositionBinaural{34};
constexpr CATEGORY_OF_LinkPrm kLinkBinauralControlPosition{35};

}  // namespace LPC::internal
