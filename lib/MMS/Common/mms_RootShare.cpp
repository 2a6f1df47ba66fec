// Root export, import, sharing and copying: not available yet; every operation refuses.
#include "mms_Root.h"

#include "jlib/JVariant.h"
#include "mms_Collection.h"

namespace MMS {

uint32_t Root::importDataUsingMuchMemoryFast(const void*, uint32_t, const void*, uint32_t, const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint32_t, const ISetChecker*, uint32_t, const ExternalSetArg*)
{
    return kMmsNotSupported;
}

uint32_t Root::importDataUsingMuchMemory(const void*, uint32_t, const void*, uint32_t, const char*, uint32_t, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint32_t, const ISetChecker*, uint32_t, const ExternalSetArg*)
{
    return kMmsNotSupported;
}

uint32_t Root::importDataFast(void*, uint32_t, const void*, uint32_t, const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint32_t, const ISetChecker*, uint32_t, const ExternalSetArg*)
{
    return kMmsNotSupported;
}

uint32_t Root::importData(void*, uint32_t, const void*, uint32_t, const char*, uint32_t, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint32_t, const ISetChecker*, uint32_t, const ExternalSetArg*)
{
    return kMmsNotSupported;
}

uint32_t Root::getExportDataSizeFast(uint32_t*, const uint32_t*, uint32_t, uint8_t) const
{
    return kMmsNotSupported;
}

uint32_t Root::getExportArraySizeFast(uint32_t*, const uint32_t*, const uint32_t*, const uint32_t*, uint32_t, uint8_t) const
{
    return kMmsNotSupported;
}

uint32_t Root::getExportDataSize(uint32_t*, const char*, uint32_t, uint8_t) const
{
    return kMmsNotSupported;
}

uint32_t Root::getExportArraySize(uint32_t*, const char*, uint32_t, const uint32_t*, const uint32_t*, uint32_t, uint8_t) const
{
    return kMmsNotSupported;
}

uint32_t Root::exportDataFast(void*, uint32_t*, uint8_t*, uint32_t, const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint8_t, uint32_t)
{
    return kMmsNotSupported;
}

uint32_t Root::exportArrayFast(void*, uint32_t*, uint8_t*, uint32_t, uint32_t, const uint32_t*, const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint8_t, uint32_t)
{
    return kMmsNotSupported;
}

uint32_t Root::exportData(void*, uint32_t*, uint8_t*, uint32_t, const char*, uint32_t, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint8_t, uint32_t)
{
    return kMmsNotSupported;
}

uint32_t Root::exportArray(void*, uint32_t*, uint8_t*, uint32_t, uint32_t, const char*, uint32_t, const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint8_t, uint32_t)
{
    return kMmsNotSupported;
}

uint32_t Root::copySrcPrm(sharedRootInfo*)
{
    return kMmsNotSupported;
}

uint32_t Root::copyDstPrm(const sharedRootInfo&, uint8_t, uint32_t, const void*)
{
    return kMmsNotSupported;
}

uint32_t Root::shareRootFast(sharedRootInfo*, const uint32_t*, const uint32_t*, uint32_t)
{
    return kMmsNotSupported;
}

uint32_t Root::shareRoot(sharedRootInfo*, const char*, uint32_t, const uint32_t*, uint32_t)
{
    return kMmsNotSupported;
}

uint32_t Root::restoreRoot(const sharedRootInfo&)
{
    return kMmsNotSupported;
}

uint32_t Root::jointRoot(const sharedRootInfo&, uint8_t)
{
    return kMmsNotSupported;
}

uint32_t Root::setSharedInfoDef(sharedRootInfo*) const
{
    return kMmsNotSupported;
}

}  // namespace MMS
