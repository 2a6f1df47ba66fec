#pragma once
// Archive of firmware entries: files become "#FIRMWARE" blocks carrying the target and version of
// their MBDFFirmwareBlock::FirmwareExtraOptions; folders stay "#FILE" folder blocks.
#include <memory>

#include "fcache_ArchiveFile.h"

namespace FILECACHE {

class FirmwareArchiveFile : public AbstractArchiveFile {
public:
    FirmwareArchiveFile();
    ~FirmwareArchiveFile() override;

private:
    std::unique_ptr<IBlockBridge> m_bridge;
};

}  // namespace FILECACHE
