#pragma once
// The "#FIRMWARE" container block: a file block whose option area also carries a target text and
// a version text. Folder entries made through it are plain "#FILE" folder blocks. One task at a time.
#include <cstdint>
#include <string>

#include "fcache_MBDFFileBlock.h"

namespace FILECACHE {

class MBDFFirmwareBlock : public MBDFFileBlock {
public:
    // The extra options of a firmware entry.
    struct FirmwareExtraOptions {
        std::string target;
        std::string version;
    };

    using MBDFFileBlock::initialize;
    ~MBDFFirmwareBlock() override;

    bool isValid() const override;
    // extraOptions points to a FirmwareExtraOptions for a file; a folder becomes a "#FILE" block.
    [[nodiscard]] uint32_t initialize(const char* subTag, bool folder, const char* baseFolder, const char* name,
                                      bool importNow, CompressionLevel level, uint8_t key,
                                      const void* extraOptions) override;

    // Each text ends at its first zero byte and never runs past the option area.
    std::string target() const;
    std::string version() const;

    static const char* constBlockTag() { return "#FIRMWARE"; }
    static uint32_t useThisBlock() { return useBlockType<MBDFFirmwareBlock>(); }

private:
    // The stored bytes of the zero-ended text starting at offset, and the offset after its zero.
    std::string storedText(uint32_t offset, uint32_t& next) const;
};

}  // namespace FILECACHE
