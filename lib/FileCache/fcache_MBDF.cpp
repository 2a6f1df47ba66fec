#include "fcache_MBDF.h"

#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>

#include "fcache_BinaryAccessor.h"
#include "fsw/file_helpers.h"
#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kFail = 0x80000000u;
constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kBadStructure = 0x80000003u;
constexpr uint32_t kFileFailure = 0x80000004u;
constexpr uint32_t kNoMemory = 0x80000005u;
constexpr uint32_t kStopped = 0x8000000Au;

// Tag texts ordered byte by byte; registrations may come from any thread's first file object.
struct Registry {
    std::mutex lock;
    std::map<std::string, IMBDFBlockFactory*> factories;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// A block of the registered type for the tag, or a plain block that keeps an unknown tag's bytes.
MBDFAbstractBlock* createBlock(const std::string& tag)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.factories.find(tag);
    if (it != r.factories.end()) return it->second->create();
    return new (std::nothrow) MBDFAbstractBlock();
}

std::string headerTag(const uint8_t* header)
{
    uint32_t n = 0;
    while (n < MBDFAbstractBlock::kTagFieldSize && header[n]) ++n;
    return std::string(reinterpret_cast<const char*>(header), n);
}

// Reports a stop the way every step of a read or write does.
struct StopReporter {
    IMBDFObserver& observer;
    IMBDFObserver::ProgressType type;
    const char* path;
    volatile bool* stop;

    bool operator()(uint32_t current, uint32_t total) const
    {
        if (!MBDF::checkStopFlag(stop)) return false;
        (void)observer.onMBDFProgressChanged(type, current, total, path, "Aborted.", true);
        return true;
    }
};

}  // namespace

uint32_t registerBlockFactory(const char* tag, IMBDFBlockFactory* factory)
{
    if (!tag || !factory) return kFail;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.factories.emplace(tag, factory);  // the first registration of a tag stays
    return 0;
}

MBDF::MBDF()
{
    (void)MBDFTopBlock::useThisBlock();
    (void)MBDFEndBlock::useThisBlock();
}

MBDF::~MBDF() { (void)clear(); }

uint32_t MBDF::clear()
{
    m_topBlock.clear();
    m_endBlock.clear();
    for (MBDFAbstractBlock* b : m_blocks) delete b;
    m_blocks.clear();
    return 0;
}

uint32_t MBDF::initialize(const char* fileType, const char* productName, uint32_t productVersion, const void* uuid,
                          uint32_t uuidLength)
{
    (void)clear();
    const uint32_t top = m_topBlock.initialize(fileType, productName, productVersion, uuid, uuidLength);
    const uint32_t end = m_endBlock.initialize();
    return (JLIB::isFailure(top) || JLIB::isFailure(end)) ? kFail : 0;
}

bool MBDF::isValid() const
{
    if (!m_topBlock.isValid() || !m_endBlock.isValid()) return false;
    for (const MBDFAbstractBlock* b : m_blocks) {
        if (!b->isValid()) return false;
    }
    return true;
}

bool MBDF::isSameProductName(const char* name) const { return name && productName() == name; }

bool MBDF::isSameFileType(const char* type) const { return type && fileType() == type; }

bool MBDF::isSameUUID(const void* bytes, uint32_t length) const
{
    const uint8_t* own = uuid();
    return own && bytes && length == uuidSize() && std::memcmp(own, bytes, length) == 0;
}

bool MBDF::isDataCached() const
{
    if (m_blocks.empty()) return false;
    for (const MBDFAbstractBlock* b : m_blocks) {
        if (!b->isDataCached()) return false;
    }
    return true;
}

uint32_t MBDF::size() const
{
    if (!isValid()) return 0;
    uint64_t total = m_topBlock.size() + m_endBlock.size();
    for (const MBDFAbstractBlock* b : m_blocks) total += b->size();
    return static_cast<uint32_t>(total);
}

MBDFAbstractBlock& MBDF::block(const_iterator position) const
{
    if (position == m_blocks.end() || !*position) return MBDFNullBlock::getInstance();
    return **position;
}

MBDF::iterator MBDF::blockIt(uint32_t index)
{
    if (index >= m_blocks.size()) return m_blocks.end();
    auto it = m_blocks.begin();
    std::advance(it, index);
    return it;
}

MBDF::const_iterator MBDF::blockIt(uint32_t index) const
{
    if (index >= m_blocks.size()) return m_blocks.end();
    auto it = m_blocks.begin();
    std::advance(it, index);
    return it;
}

void MBDF::insertBlock(uint32_t index, MBDFAbstractBlock* block)
{
    if (index == BLOCKINDEX_TAIL || index >= m_blocks.size()) {
        m_blocks.push_back(block);
        return;
    }
    m_blocks.insert(blockIt(index), block);
}

uint32_t MBDF::removeBlock(iterator position)
{
    if (position == m_blocks.end()) return kFail;
    delete *position;
    m_blocks.erase(position);
    return 0;
}

uint32_t MBDF::readFile(const char* path, bool withData, volatile bool* stop, IMBDFObserver* observer, bool preCheck,
                        uint32_t blockLimit)
{
    if (!path) return kFail;
    m_filePath = path;
    DummyMBDFObserver dummy;
    IMBDFObserver& obs = observer ? *observer : dummy;
    const StopReporter stopped{obs, IMBDFObserver::PROGRESS_READ, path, stop};
    if (stopped(0, 0)) return 0;

    FileAccessor file;
    if (JLIB::isFailure(file.open(path, FileAccessor::OPEN_READ))) return kFileFailure;
    if (stopped(file.tell(), 0)) return 0;
    const uint32_t fileSize = FileAccessor::size(path);
    (void)clear();
    return readBlocks(file, path, fileSize, stop, obs, withData, preCheck, blockLimit);
}

uint32_t MBDF::readBlocks(FileAccessor& file, const char* path, uint32_t fileSize, volatile bool* stop,
                          IMBDFObserver& obs, bool withData, bool preCheck, uint32_t blockLimit)
{
    const StopReporter stopped{obs, IMBDFObserver::PROGRESS_READ, path, stop};
    const auto stopNow = [&] { return stopped(file.tell(), fileSize); };
    if (preCheck) {
        if (stopNow()) return 0;
        if (!checkValidity(file, fileSize)) return kBadStructure;
    }
    if (stopNow()) return 0;
    if (JLIB::isFailure(file.seek(FileAccessor::ORIGIN_BEGIN, 0))) return kFileFailure;
    if (stopNow()) return 0;

    (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_READ, file.tell(), fileSize, path, "Reading top block...",
                                    false);
    uint32_t r = m_topBlock.readFromFile(file, true, stop);
    if (r == kStopped) {
        (void)stopNow();
        return 0;
    }
    if (JLIB::isFailure(r)) return r;
    if (!m_topBlock.isValid()) return kBadStructure;
    m_blockSearchAborted = false;

    for (;;) {
        if (stopNow()) return 0;
        const uint32_t position = file.tell();
        if (position >= fileSize) break;
        if (blockLimit != 0 && m_blocks.size() >= blockLimit) {
            m_blockSearchAborted = true;
            break;
        }
        if (stopNow()) return 0;
        (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_READ, position, fileSize, path,
                                        "Reading data blocks...", false);
        MBDFAbstractBlock probe;
        r = probe.readFromFile(file, false, stop);
        if (r == kStopped) {
            (void)stopNow();
            return 0;
        }
        if (JLIB::isFailure(r)) return r;
        if (!probe.isValid()) return kBadStructure;
        if (stopNow()) return 0;
        if (JLIB::isFailure(file.seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(position)))) return kFileFailure;
        const std::string tag = headerTag(probe.fixedHeader());
        if (tag == MBDFEndBlock::constBlockTag()) break;

        std::unique_ptr<MBDFAbstractBlock> block(createBlock(tag));
        if (!block) return kNoMemory;
        if (stopNow()) return 0;
        r = block->readFromFile(file, withData, stop);
        if (r == kStopped) {
            (void)stopNow();
            return 0;
        }
        if (JLIB::isFailure(r)) return r;
        if (!block->isValid()) return kBadStructure;
        m_blocks.push_back(block.release());
    }

    if (stopNow()) return 0;
    (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_READ, file.tell(), fileSize, path, "Reading end block...",
                                    false);
    if (blockLimit == 0) {
        r = m_endBlock.readFromFile(file, true, stop);
        if (r == kStopped) {
            (void)stopNow();
            return 0;
        }
        if (JLIB::isFailure(r)) return r;
        if (!m_endBlock.isValid()) return kBadStructure;
    }
    (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_READ, fileSize, fileSize, path, "Finished.", true);
    return 0;
}

uint32_t MBDF::readAll(const char* path, bool withData, volatile bool* stop, IMBDFObserver* observer,
                       uint32_t blockLimit)
{
    const uint32_t r = readFile(path, withData, stop, observer, false, blockLimit);
    if (JLIB::isFailure(r) && observer) (void)observer->onMBDFErrorOccurred(IMBDFObserver::PROGRESS_READ, path, r);
    return r;
}

uint32_t MBDF::refresh() { return readFile(m_filePath.c_str(), false, nullptr, nullptr, false, 0); }

uint32_t MBDF::writeFile(const char* path, volatile bool* stop, IMBDFObserver* observer, bool sync)
{
    if (!isValid()) {
        JLIB_LOG("[E] MBDF::writeFile 1\n");
        return kFail;
    }
    if (!path) {
        JLIB_LOG("[E] MBDF::writeFile 2\n");
        return kFail;
    }
    m_filePath = path;
    DummyMBDFObserver dummy;
    IMBDFObserver& obs = observer ? *observer : dummy;

    const std::string temporary = std::string(path) + ".~" + std::to_string(getpid());
    FileAccessor file;
    const uint32_t opened = file.open(temporary.c_str(), FileAccessor::OPEN_CREATE);
    if (JLIB::isFailure(opened)) {
        JLIB_LOG("[E] MBDF::writeFile 3 (%x)\n", opened);
        return fromFswError(opened);
    }
    const uint32_t r = writeBlocks(file, path, stop, obs, sync);
    if (r != 0 || checkStopFlag(stop)) {
        (void)file.close();
        (void)FileAccessor::remove(temporary.c_str(), false);  // the previous file stays as it was
        return r;
    }
    const uint32_t closed = file.close();
    if (JLIB::isFailure(closed)) {
        JLIB_LOG("[E] MBDF::writeFile 8 (%x)\n", closed);
        (void)FileAccessor::remove(temporary.c_str(), false);
        return fromFswError(closed);
    }
    const uint32_t renamed = FileAccessor::rename(temporary.c_str(), path);
    if (JLIB::isFailure(renamed)) {
        JLIB_LOG("[E] MBDF::writeFile 9 (%x)\n", renamed);
        (void)FileAccessor::remove(temporary.c_str(), false);
        return kFileFailure;
    }
    (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, blockNum() + 2, blockNum() + 2, path, "Finshed.",
                                    true);
    return 0;
}

uint32_t MBDF::writeBlocks(FileAccessor& file, const char* path, volatile bool* stop, IMBDFObserver& obs, bool sync)
{
    const uint32_t total = blockNum() + 2;
    const StopReporter stopped{obs, IMBDFObserver::PROGRESS_WRITE, path, stop};
    const uint32_t sought = file.seek(FileAccessor::ORIGIN_BEGIN, 0);
    if (JLIB::isFailure(sought)) {
        JLIB_LOG("[E] MBDF::writeFile 4 (%x)\n", sought);
        return fromFswError(sought);
    }
    uint32_t written = 0;
    if (stopped(written, total)) return 0;
    (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, 0, total, path, "Writing top block...", false);
    uint32_t r = m_topBlock.writeToFile(file);
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] MBDF::writeFile 5 (%x)\n", r);
        return r;
    }
    ++written;
    for (MBDFAbstractBlock* b : m_blocks) {
        if (stopped(written, total)) return 0;
        (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, written, total, path, "Writing data blocks...",
                                        false);
        r = b->writeToFile(file);
        if (JLIB::isFailure(r)) {
            JLIB_LOG("[E] MBDF::writeFile 6 (%x)\n", r);
            return r;
        }
        ++written;
    }
    if (stopped(written, total)) return 0;
    (void)obs.onMBDFProgressChanged(IMBDFObserver::PROGRESS_WRITE, written, total, path, "Writing end block...", false);
    r = m_endBlock.writeToFile(file);
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] MBDF::writeFile 7 (%x)\n", r);
        return r;
    }
    // The temporary file replaces the target only once it is complete on the medium; a failed
    // flush (a full disk) is a failed write, whatever the caller asked of sync.
    (void)sync;
    r = file.fsync();
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] MBDF::writeFile 8 (%x)\n", r);
        return fromFswError(r);
    }
    return 0;
}

uint32_t MBDF::writeAll(const char* path, volatile bool* stop, IMBDFObserver* observer, bool sync)
{
    const uint32_t r = writeFile(path, stop, observer, sync);
    if (JLIB::isFailure(r) && observer) (void)observer->onMBDFErrorOccurred(IMBDFObserver::PROGRESS_WRITE, path, r);
    return r;
}

uint32_t MBDF::readBynaryData(const void* bytes, uint32_t length)
{
    (void)clear();
    if (!bytes) return kFail;
    const auto* p = static_cast<const uint8_t*>(bytes);
    uint64_t position = 0;
    while (length - position >= MBDFAbstractBlock::kHeaderSize) {
        const uint8_t* header = p + position;
        std::unique_ptr<MBDFAbstractBlock> block(createBlock(headerTag(header)));
        if (!block) return kFail;
        const uint64_t o = BinaryAccessor::getUInt(header + 24, 4, true);
        const uint64_t d = BinaryAccessor::getUInt(header + 28, 4, true);
        const uint64_t need = MBDFAbstractBlock::kHeaderSize + BinaryAccessor::getAlignedSize(o) +
                              BinaryAccessor::getAlignedSize(d);
        if (need > length - position) return kFail;
        unsigned consumed = 0;
        const uint32_t r = block->initialize(header, static_cast<unsigned>(length - position), consumed);
        if (JLIB::isFailure(r)) return r;
        m_blocks.push_back(block.release());
        position += consumed;
    }
    return 0;
}

uint32_t MBDF::offset(const_iterator position) const
{
    uint64_t total = m_topBlock.size();
    for (auto it = m_blocks.begin(); it != m_blocks.end() && it != position; ++it) total += (*it)->size();
    return static_cast<uint32_t>(total);
}

uint32_t MBDF::cacheBlock(const_iterator position, FileAccessor* accessor)
{
    if (m_filePath.empty()) return kFileFailure;
    MBDFAbstractBlock& b = block(position);
    if (b.isNull()) return kBadStructure;
    if (b.dataSize(false) == 0) return b.uncache();
    FileAccessor own;
    FileAccessor* file = accessor;
    if (!file) {
        if (JLIB::isFailure(own.open(m_filePath.c_str(), FileAccessor::OPEN_READ))) return kFileFailure;
        file = &own;
    }
    if (JLIB::isFailure(file->seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(offset(position))))) {
        return kFileFailure;
    }
    const uint32_t r = b.readFromFile(*file, true, nullptr);
    if (JLIB::isFailure(r)) return r;
    return b.isValid() ? 0 : kBadStructure;
}

uint32_t MBDF::uncacheBlock(const_iterator position)
{
    MBDFAbstractBlock& b = block(position);
    if (b.isNull()) return kFail;
    return b.uncache();
}

uint32_t MBDF::blockAccessor(FileAccessor* accessor, const_iterator position) const
{
    if (!accessor) return kBadArgument;
    if (m_filePath.empty()) return kFileFailure;
    if (block(position).isNull()) return kBadStructure;
    if (accessor->isOpened()) (void)accessor->close();  // the caller hands it over to be reused
    if (JLIB::isFailure(accessor->open(m_filePath.c_str(), FileAccessor::OPEN_READ))) return kFileFailure;
    if (JLIB::isFailure(accessor->seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(offset(position))))) {
        return kFileFailure;
    }
    return 0;
}

bool MBDF::checkValidity(const char* path)
{
    FileAccessor file;
    if (!path || JLIB::isFailure(file.open(path, FileAccessor::OPEN_READ))) return false;
    return checkValidity(file, FileAccessor::size(path));
}

bool MBDF::checkValidity(FileAccessor& file, uint32_t fileSize)
{
    const uint32_t remembered = file.tell();
    if (JLIB::isFailure(file.seek(FileAccessor::ORIGIN_BEGIN, 0))) return false;
    bool valid = false;
    uint64_t position = 0;
    while (position < fileSize) {
        uint8_t header[MBDFAbstractBlock::kHeaderSize];
        uint32_t got = 0;
        if (JLIB::isFailure(file.read(header, sizeof(header), &got)) || got != sizeof(header)) break;
        std::string tag;
        if (!checkBlockValidity(tag, header)) break;
        if (position == 0) {
            if (tag != MBDFTopBlock::constBlockTag()) break;
        } else if (tag == MBDFEndBlock::constBlockTag()) {
            valid = true;
            break;
        }
        const uint64_t skip = BinaryAccessor::getAlignedSize(BinaryAccessor::getUInt(header + 24, 4, true)) +
                              BinaryAccessor::getAlignedSize(BinaryAccessor::getUInt(header + 28, 4, true));
        position += MBDFAbstractBlock::kHeaderSize + skip;
        if (position > 0x7FFFFFFFu ||
            JLIB::isFailure(file.seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(position)))) {
            break;
        }
    }
    (void)file.seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(remembered));  // best effort
    return valid;
}

bool MBDF::checkBlockValidity(std::string& tag, const uint8_t* header)
{
    tag.clear();
    if (!header) return false;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (const auto& entry : r.factories) {
        if (std::memcmp(header, entry.first.data(), entry.first.size()) == 0) {
            tag = entry.first;
            return true;
        }
    }
    return false;
}

uint32_t MBDF::addFactory(const char* tag, IMBDFBlockFactory* factory) { return registerBlockFactory(tag, factory); }

std::string MBDF::makeFullPath(const char* folder, const char* name)
{
    if (!name) return std::string();
    if (!folder || !*folder) return name;
    return std::string(folder) + "/" + name;
}

uint32_t fcache_getUuid(uint8_t* buffer, uint32_t size)
{
    if (!buffer || size < 16) return kFail;
    return file_getUuid(buffer, size);
}

uint32_t splitString(std::vector<std::string>& out, const std::string& text, const std::string& delimiter)
{
    if (delimiter.empty()) {
        out.push_back(text);
        return 0;
    }
    size_t start = 0;
    for (;;) {
        const size_t found = text.find(delimiter, start);
        if (found == std::string::npos) {
            out.push_back(text.substr(start));
            return 0;
        }
        out.push_back(text.substr(start, found - start));
        start = found + delimiter.size();
    }
}

}  // namespace FILECACHE
