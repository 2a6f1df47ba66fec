#include "fcache_FirmwareArchiveFile.h"

#include <new>

#include "fcache_MBDFFirmwareBlock.h"

namespace FILECACHE {

namespace {

using Options = MBDFFirmwareBlock::FirmwareExtraOptions;

class FirmwareBlockBridge : public AbstractArchiveFile::IBlockBridge {
public:
    MBDFFileBlock* createBlock() override { return new (std::nothrow) MBDFFirmwareBlock(); }
    uint32_t destroyBlock(MBDFFileBlock* block) override
    {
        delete block;
        return 0;
    }
    uint32_t addBlock(MBDF& container, const MBDFFileBlock& block) override
    {
        // Every block of this bridge comes from createBlock; a foreign one is added as what it is.
        if (const auto* firmware = dynamic_cast<const MBDFFirmwareBlock*>(&block)) return container.addBlock(*firmware);
        return container.addBlock(block);
    }
    MBDFFileBlock* blockPtr(MBDF& container, MBDF::const_iterator position) override
    {
        return container.blockPtr<MBDFFirmwareBlock>(position);
    }
    const MBDFFileBlock* blockPtr(const MBDF& container, MBDF::const_iterator position) const override
    {
        return container.blockPtr<MBDFFirmwareBlock>(position);
    }
    void* createOptions(const MBDFFileBlock& block) override
    {
        const auto* firmware = dynamic_cast<const MBDFFirmwareBlock*>(&block);
        if (!firmware || firmware->isNull()) return nullptr;
        auto* options = new (std::nothrow) Options();
        if (!options) return nullptr;
        options->target = firmware->target();
        options->version = firmware->version();
        return options;
    }
    void* copyOptions(const void* options) override
    {
        if (!options) return nullptr;
        return new (std::nothrow) Options(*static_cast<const Options*>(options));
    }
    uint32_t destroyOptions(void* options) override
    {
        delete static_cast<Options*>(options);
        return 0;
    }
};

}  // namespace

FirmwareArchiveFile::FirmwareArchiveFile()
{
    (void)MBDFTopBlock::useThisBlock();  // always 0
    (void)MBDFEndBlock::useThisBlock();  // always 0
    (void)MBDFFirmwareBlock::useThisBlock();  // always 0
    m_bridge.reset(new (std::nothrow) FirmwareBlockBridge());
    setBridge(m_bridge.get());
}

FirmwareArchiveFile::~FirmwareArchiveFile()
{
    // Items' options go back through the bridge while it still exists.
    (void)clear();  // always 0
    setBridge(nullptr);
}

}  // namespace FILECACHE
