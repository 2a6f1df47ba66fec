#include "fcache_ArchiveFile.h"

#include <cstring>
#include <new>
#include <utility>

#include "fsw/fsw_api.h"
#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kFail = 0x80000000u;
constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kCannotStart = 0x80000003u;
constexpr uint32_t kNoMemory = 0x80000005u;
constexpr uint32_t kNoSuchEntry = 0x80000007u;
constexpr uint32_t kPieceSize = 1024;

class FileBlockBridge : public AbstractArchiveFile::IBlockBridge {
public:
    MBDFFileBlock* createBlock() override { return new (std::nothrow) MBDFFileBlock(); }
    uint32_t destroyBlock(MBDFFileBlock* block) override
    {
        delete block;
        return 0;
    }
    uint32_t addBlock(MBDF& container, const MBDFFileBlock& block) override { return container.addBlock(block); }
    MBDFFileBlock* blockPtr(MBDF& container, MBDF::const_iterator position) override
    {
        return container.blockPtr<MBDFFileBlock>(position);
    }
    const MBDFFileBlock* blockPtr(const MBDF& container, MBDF::const_iterator position) const override
    {
        return container.blockPtr<MBDFFileBlock>(position);
    }
    void* createOptions(const MBDFFileBlock&) override { return nullptr; }
    void* copyOptions(const void*) override { return nullptr; }
    uint32_t destroyOptions(void*) override { return 0; }
};

// Closes the listing on every way out; the caller decides what a failed close means.
struct DirCloser {
    T_FSW_DIR* dir = nullptr;
    ~DirCloser()
    {
        if (dir) (void)fsw_closeDir(dir);  // only reached on early exits, which already failed
    }
};

}  // namespace

AbstractArchiveFile::~AbstractArchiveFile() = default;

uint32_t AbstractArchiveFile::initialize(const char* rootFolder)
{
    m_rootFolder = rootFolder ? rootFolder : "";
    (void)clear();  // always 0
    (void)m_container.clear();  // always 0
    return 0;
}

uint32_t AbstractArchiveFile::clear()
{
    for (FileItem& item : m_items) {
        if (item.options && m_pBridge) (void)m_pBridge->destroyOptions(item.options);  // always 0
        item.options = nullptr;
    }
    m_items.clear();
    return 0;
}

uint32_t AbstractArchiveFile::addItem(const char* relativePath, const void* options)
{
    if (!relativePath || !*relativePath) return kFail;
    if (std::strcmp(relativePath, "..") == 0) return 0;
    const std::string full = MBDF::makeFullPath(m_rootFolder.c_str(), relativePath);
    uint32_t attribute = 0;
    if (JLIB::isFailure(fsw_getAttribute(&attribute, full.c_str()))) {
        JLIB_LOG("[E] AbstractArchiveFile::addItem - cannot read a file attribution! [%s]\n", relativePath);
        return kFail;
    }
    if (attribute & kFswAttrDirectory) {
        if (std::strcmp(relativePath, ".") != 0) (void)_addItem(true, relativePath, nullptr);  // name is not null
        (void)_addDirItems(relativePath);  // logs its own failures; the entry itself was readable
        return 0;
    }
    (void)_addItem(false, relativePath, options);  // name is not null
    return 0;
}

uint32_t AbstractArchiveFile::_addItem(bool folder, const char* name, const void* options)
{
    if (!name) return kFail;
    if (find(name) != m_items.end()) return 0;
    m_items.emplace_back(folder, name);
    if (options && m_pBridge) m_items.back().options = m_pBridge->copyOptions(options);
    return 0;
}

uint32_t AbstractArchiveFile::_addDirItems(const char* relativeFolder)
{
    if (!relativeFolder || !*relativeFolder) return kFail;
    if (std::strcmp(relativeFolder, "..") == 0) return 0;
    const std::string full = MBDF::makeFullPath(m_rootFolder.c_str(), relativeFolder);
    DirCloser listing;
    if (JLIB::isFailure(fsw_openDir(&listing.dir, full.c_str()))) {
        listing.dir = nullptr;
        JLIB_LOG("[E] AbstractArchiveFile::addItem - cannot open a directory! [%s]\n", full.c_str());
        return kFail;
    }
    const bool atRoot = std::strcmp(relativeFolder, ".") == 0;
    for (;;) {
        uint32_t size = 0;
        uint32_t r = fsw_readDirSize(listing.dir, &size);
        if (JLIB::isFailure(r)) {
            if (r != kFswNotFound) JLIB_LOG("[E] AbstractArchiveFile::addItem - cannot get a directory entry size!\n");
            break;
        }
        std::string name(size, '\0');
        r = fsw_readDir(listing.dir, name.data(), size);
        name.resize(std::strlen(name.c_str()));
        const std::string relative = atRoot ? name : std::string(relativeFolder) + "/" + name;
        if (JLIB::isFailure(r)) {
            if (r != kFswNotFound) {
                JLIB_LOG("[E] AbstractArchiveFile::addItem - cannot read a directory entry! [%s]\n", relative.c_str());
            }
            break;
        }
        if (name == "." || name == "..") continue;
        if (find(relative.c_str()) == m_items.end()) (void)addItem(relative.c_str(), nullptr);  // logs its failures
    }
    T_FSW_DIR* dir = listing.dir;
    listing.dir = nullptr;
    if (JLIB::isFailure(fsw_closeDir(dir))) {
        JLIB_LOG("[E] AbstractArchiveFile::addItem - cannot close a directory! [%s]\n", relativeFolder);
        return kFail;
    }
    return 0;
}

uint32_t AbstractArchiveFile::removeItem(const char* name)
{
    if (!name) return kFail;
    auto it = find(name);
    if (it == m_items.end()) return kFail;
    if (it->options && m_pBridge) (void)m_pBridge->destroyOptions(it->options);  // always 0
    m_items.erase(it);
    return 0;
}

AbstractArchiveFile::iterator AbstractArchiveFile::find(const char* name)
{
    if (!name) return m_items.end();
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->name == name) return it;
    }
    return m_items.end();
}

AbstractArchiveFile::const_iterator AbstractArchiveFile::find(const char* name) const
{
    return const_cast<AbstractArchiveFile*>(this)->find(name);
}

uint32_t AbstractArchiveFile::pack(const char* outputFolder, const char* outputName, const char* productName,
                                   uint32_t productVersion, MBDFFileBlock::CompressionLevel level, uint8_t key,
                                   volatile bool* stop, IMBDFObserver* observer)
{
    if (!outputName) return kFail;
    uint8_t uuid[16] = {};
    (void)fcache_getUuid(uuid, sizeof(uuid));  // any 16 bytes serve when drawing fails
    bool failed = JLIB::isFailure(m_container.initialize(constFileType(), productName, productVersion, uuid,
                                                         sizeof(uuid)));
    for (const FileItem& item : m_items) {
        if (!m_pBridge) break;
        MBDFFileBlock* block = m_pBridge->createBlock();
        if (!block) continue;
        const uint32_t r = block->initialize(nullptr, item.folder, m_rootFolder.c_str(), item.name.c_str(), false,
                                             level, key, item.options);
        if (JLIB::isFailure(r)) {
            if (item.folder) {
                JLIB_LOG("[E] AbstractArchiveFile::save - cannot add [%s] directory!\n", item.name.c_str());
            } else {
                JLIB_LOG("[E] AbstractArchiveFile::save - cannot add [%s] file!\n", item.name.c_str());
            }
            failed = true;
        } else {
            failed |= JLIB::isFailure(m_pBridge->addBlock(m_container, *block));
        }
        (void)m_pBridge->destroyBlock(block);  // always 0
    }
    const std::string path = MBDF::makeFullPath(outputFolder, outputName);
    failed |= JLIB::isFailure(m_container.writeAll(path.c_str(), stop, observer, false));
    if (failed) {
        JLIB_LOG("[E] AbstractArchiveFile::save - cannot write archive file [%s]!\n", outputName);
        return kFail;
    }
    return 0;
}

uint32_t AbstractArchiveFile::load(const char* folder, const char* name, const char* productName,
                                   uint32_t lowestVersion)
{
    if (!name) return kFail;
    const std::string path = MBDF::makeFullPath(folder, name);
    if (JLIB::isFailure(m_container.readAll(path.c_str(), false, nullptr, nullptr, 0))) return kFail;
    const bool refused = !m_container.isSameFileType(constFileType()) ||
                         (productName && (m_container.productName() != productName ||
                                          m_container.productVersion() < lowestVersion)) ||
                         !m_container.isValid();
    if (refused) {
        (void)m_container.clear();  // always 0
        return kFail;
    }
    (void)clear();  // always 0
    for (auto it = m_container.begin(); it != m_container.end(); ++it) {
        const MBDFFileBlock* block = m_pBridge ? std::as_const(*m_pBridge).blockPtr(m_container, it) : nullptr;
        if (!block) continue;
        m_items.emplace_back(block->isDir(), block->fileName());
        m_items.back().options = m_pBridge->createOptions(*block);
    }
    return 0;
}

uint32_t AbstractArchiveFile::unpack(const char* targetFolder, volatile bool* stop, IMBDFObserver* observer)
{
    if (!m_container.isValid()) return kFail;
    DummyMBDFObserver dummy;
    IMBDFObserver& report = observer ? *observer : dummy;
    const uint32_t total = m_container.blockNum();
    uint32_t counter = 0;
    uint32_t result = 0;
    for (auto it = m_container.begin(); it != m_container.end(); ++it, ++counter) {
        MBDFFileBlock* block = m_pBridge ? m_pBridge->blockPtr(m_container, it) : nullptr;
        if (!block) continue;
        const std::string shown = MBDF::makeFullPath(m_rootFolder.c_str(), block->fileName().c_str());
        if (MBDF::checkStopFlag(stop)) {
            (void)report.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, counter, total, shown.c_str(),
                                               "Aborted.", true);
            return 0;
        }
        (void)report.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, counter, total, shown.c_str(),
                                           "Extracting files...", false);
        FileAccessor accessor;
        uint32_t r = m_container.blockAccessor(&accessor, it);
        if (JLIB::isSuccess(r)) r = block->streamExportFile(targetFolder, accessor, kPieceSize);
        if (JLIB::isFailure(r)) {
            (void)report.onMBDFErrorOccurred(IMBDFObserver::PROGRESS_WRITE, shown.c_str(), kFail);
            result = kFail;
        }
    }
    (void)report.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, counter, total, nullptr, "Finshed.", true);
    return result;
}

MBDFFileBlock* AbstractArchiveFile::findEntryBlock(const char* entryName, MBDF::const_iterator& position)
{
    position = m_container.end();
    if (!m_pBridge) return nullptr;
    for (auto it = m_container.begin(); it != m_container.end(); ++it) {
        MBDFFileBlock* block = m_pBridge->blockPtr(m_container, it);
        if (block && block->fileName() == entryName) {
            position = it;
            return block;
        }
    }
    return nullptr;
}

uint32_t AbstractArchiveFile::extract(const char* targetFolder, const char* entryName, IMBDFObserver* observer,
                                      uint32_t outputSize)
{
    if (!entryName) return kBadArgument;
    if (!m_container.isValid()) return kFail;
    MBDF::const_iterator position;
    MBDFFileBlock* block = findEntryBlock(entryName, position);
    if (!block) return kNoSuchEntry;
    const std::string shown = MBDF::makeFullPath(m_rootFolder.c_str(), block->fileName().c_str());
    FileAccessor accessor;
    uint32_t r = m_container.blockAccessor(&accessor, position);
    if (JLIB::isSuccess(r)) r = block->streamExportFile(targetFolder, accessor, outputSize);
    if (JLIB::isFailure(r)) {
        DummyMBDFObserver dummy;
        IMBDFObserver& report = observer ? *observer : dummy;
        (void)report.onMBDFErrorOccurred(IMBDFObserver::PROGRESS_WRITE, shown.c_str(), kFail);
        return kCannotStart;
    }
    return 0;
}

uint32_t AbstractArchiveFile::fopen(ArchiveReadHandle** handle, const char* entryName)
{
    if (!handle || !entryName || *handle) return kBadArgument;
    if (!m_container.isValid()) return kFail;
    MBDF::const_iterator position;
    MBDFFileBlock* block = findEntryBlock(entryName, position);
    if (!block) return kNoSuchEntry;
    std::unique_ptr<ArchiveReadHandle> h(new (std::nothrow) ArchiveReadHandle());
    if (!h) return kNoMemory;
    h->owner = this;
    h->block = block;
    h->accessor.reset(new (std::nothrow) FileAccessor());
    if (!h->accessor) return kNoMemory;
    if (JLIB::isFailure(m_container.blockAccessor(h->accessor.get(), position)) ||
        JLIB::isFailure(block->streamOpenFile(&h->stream, *h->accessor))) {
        return kCannotStart;
    }
    *handle = h.release();
    return 0;
}

uint32_t AbstractArchiveFile::checkHandle(const ArchiveReadHandle* handle) const
{
    if (!handle || !handle->block || !handle->accessor || !handle->stream || handle->owner != this) {
        return kBadArgument;
    }
    return m_container.isValid() ? 0 : kFail;
}

uint32_t AbstractArchiveFile::fread(void* buffer, uint32_t* count, uint32_t size, ArchiveReadHandle* handle)
{
    JLIB_RETURN_IF_FAILED(checkHandle(handle));
    return handle->block->streamReadFile(buffer, count, size, *handle->accessor, handle->stream);
}

uint32_t AbstractArchiveFile::fclose(ArchiveReadHandle* handle)
{
    JLIB_RETURN_IF_FAILED(checkHandle(handle));
    std::unique_ptr<ArchiveReadHandle> owned(handle);
    return handle->block->streamCloseFile(handle->stream, *handle->accessor);
}

bool AbstractArchiveFile::checkValidity(const char* folder, const char* name)
{
    return MBDF::checkValidity(MBDF::makeFullPath(folder, name).c_str());
}

ArchiveFile::ArchiveFile()
{
    (void)MBDFTopBlock::useThisBlock();  // always 0
    (void)MBDFEndBlock::useThisBlock();  // always 0
    (void)MBDFFileBlock::useThisBlock();  // always 0
    m_bridge.reset(new (std::nothrow) FileBlockBridge());
    setBridge(m_bridge.get());
}

ArchiveFile::~ArchiveFile()
{
    // Items' options go back through the bridge while it still exists.
    (void)clear();  // always 0
    setBridge(nullptr);
}

}  // namespace FILECACHE
