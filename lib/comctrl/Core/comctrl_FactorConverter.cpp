#include "comctrl_FactorConverter.h"

namespace ComControl {

JLIB::JResult FactorConverter::modelFactorToCommFactor(ConvertedInfoOnSend& out, bool isServer, uint32_t ownFactor,
                                                       uint32_t elementFactor)
{
    out.commFactor = !isServer || elementFactor == ownFactor ? kCommOwn : kCommOther;
    return JLIB::kOk;
}

JLIB::JResult FactorConverter::commFactorToModelFactor(ConvertedInfoOnReceive& out, bool isServer,
                                                       uint32_t ownFactor, uint32_t commFactor)
{
    if (isServer) {
        out.apply = true;
        out.modelFactor = ownFactor & 0xFF;
        out.serverSide = true;
        return JLIB::kOk;
    }
    // A client's own change coming back from the server is not written again.
    out.apply = commFactor != kCommOwn;
    out.modelFactor = out.apply ? kLink : 0;
    out.serverSide = false;
    return JLIB::kOk;
}

uint32_t FactorConverter::commFactorForSetParamBlock(bool, uint32_t)
{
    return kLink;
}

bool FactorConverter::isSendback(bool isServer, uint32_t elementFactor)
{
    return isServer || elementFactor != kLink;
}

}  // namespace ComControl
