#include "comctrl_FileAccessor.h"

#include <cstring>
#include <new>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "comctrl_FileInfoCache.h"
#include "fsw/fsw_api.h"
#include "oswrap/oswrap_semaphore.h"

namespace ComControl {

FileAccessor::FullPath::FullPath(const FullPath& other)
{
    if (!other.m_initialized) return;
    m_buffer.reset(new (std::nothrow) char[other.m_capacity]);
    if (!m_buffer) return;
    std::memcpy(m_buffer.get(), other.m_buffer.get(), other.m_rootLength);
    m_buffer[other.m_rootLength] = '\0';
    m_capacity = other.m_capacity;
    m_rootLength = other.m_rootLength;
    m_separator = other.m_separator;
    m_initialized = true;
}

JLIB::JResult FileAccessor::FullPath::initialize(const char* root, uint32_t capacity, char separator)
{
    if (!root || capacity == 0) return kBadArgument;
    const size_t length = std::strlen(root);
    if (capacity < 2 || length >= capacity - 2) return kBadArgument;
    m_buffer.reset(new (std::nothrow) char[capacity]);
    if (!m_buffer) return kNoMemory;
    std::memcpy(m_buffer.get(), root, length + 1);
    m_capacity = capacity;
    m_rootLength = static_cast<uint32_t>(length);
    m_separator = separator;
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::FullPath::check() const
{
    if (!m_initialized) return kNotInitialized;
    if (std::strlen(m_buffer.get()) > m_rootLength) return kBusy;
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::FullPath::prepare(const char* relative)
{
    if (!isSafeRelativePath(relative)) return kBadArgument;
    const size_t length = std::strlen(relative);
    if (m_rootLength + 1 + length + 1 > m_capacity) return kNameTooLong;
    m_buffer[m_rootLength] = m_separator;
    std::memcpy(m_buffer.get() + m_rootLength + 1, relative, length + 1);
    return JLIB::kOk;
}

void FileAccessor::FullPath::revert()
{
    if (m_initialized) m_buffer[m_rootLength] = '\0';
}

FileAccessor::FileAccessor() = default;
FileAccessor::~FileAccessor() = default;

bool FileAccessor::isSafeRelativePath(const char* path)
{
    if (!path || path[0] == '/' || std::strchr(path, '\\')) return false;
    // A ".." part anywhere climbs above the root.
    for (const char* part = path; *part;) {
        const char* end = std::strchr(part, '/');
        const size_t n = end ? static_cast<size_t>(end - part) : std::strlen(part);
        if (n == 2 && part[0] == '.' && part[1] == '.') return false;
        if (!end) break;
        part = end + 1;
    }
    return true;
}

JLIB::JResult FileAccessor::fromFswErr(JLIB::JResult result)
{
    if (JLIB::isSuccess(result)) return (result & 0xFFFFu) == 1 ? kEndOfFile : JLIB::kOk;
    switch (result & 0xFFFFu) {
    case 0x1: return kNotFound;
    case 0x2: return kExists;
    case 0x3:
    case 0x4: return kWrongKind;
    case 0x5: return kNotEmpty;
    case 0x6:
    case 0x13: return kBusy;
    case 0x10: return kNameTooLong;
    case 0x11: return 0x8000000Au;
    case 0x12: return kTooLarge;
    case 0x14: return kQuota;
    case 0x1001: return kNoMemory;
    case 0xF000: return kBadArgument;
    default: return kFailed;
    }
}

JLIB::JResult FileAccessor::fromMbdfErr(JLIB::JResult result)
{
    if (JLIB::isSuccess(result)) return JLIB::kOk;
    switch (result & 0xFFFFu) {
    case 1: return kBadArgument;
    case 2: return kNotInitialized;
    case 3: return kWrongKind;
    case 4: return kNotEmpty;
    case 5: return kNoMemory;
    case 7: return kNotFound;
    case 8: return kBusy;
    default: return kFailed;
    }
}

JLIB::JResult FileAccessor::initialize(uint32_t slotCount, const char* root, uint32_t capacity, char separator,
                                       FileInfoCache* cache)
{
    if (m_initialized) return kNotInitialized;
    auto path = std::unique_ptr<FullPath>(new (std::nothrow) FullPath);
    if (!path) return kNoMemory;
    JLIB_RETURN_IF_FAILED(path->initialize(root, capacity, separator));
    std::unique_ptr<FILECACHE::FileAccessor[]> slots(new (std::nothrow) FILECACHE::FileAccessor[slotCount]);
    std::unique_ptr<OpenInfo[]> infos(new (std::nothrow) OpenInfo[slotCount]);
    if (!slots || !infos) return kNoMemory;
    m_pRoot = std::move(path);
    m_pSlots = std::move(slots);
    m_pOpenInfo = std::move(infos);
    m_slotCount = slotCount;
    m_pCache = cache;
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::checkSlot(uint32_t slot) const
{
    if (slot >= m_slotCount) return kBadArgument;
    return JLIB::kOk;
}

template <typename Op>
JLIB::JResult FileAccessor::onPath(const char* relative, Op op)
{
    if (!m_initialized || m_slotCount == 0) return kNotInitialized;
    JLIB_RETURN_IF_FAILED(m_pRoot->check());
    const JLIB::JResult prepared = m_pRoot->prepare(relative);
    if (JLIB::isFailure(prepared)) {
        m_pRoot->revert();
        return prepared;
    }
    const JLIB::JResult r = op(m_pRoot->c_str());
    m_pRoot->revert();
    return r;
}

JLIB::JResult FileAccessor::openInternal(uint32_t slot, const char* path, uint32_t mode)
{
    using Mode = FILECACHE::FileAccessor::OpenMode;
    const Mode m = mode <= 3 ? static_cast<Mode>(mode) : FILECACHE::FileAccessor::OPEN_CREATE;
    const JLIB::JResult r =
        onPath(path, [&](const char* full) { return fromFswErr(m_pSlots[slot].open(full, m)); });
    if (JLIB::isFailure(r)) {
        m_pOpenInfo[slot].clear();
        return r;
    }
    m_pOpenInfo[slot].path = path;
    m_pOpenInfo[slot].mode = mode;
    m_pOpenInfo[slot].deferred = false;
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::openDeferred(uint32_t slot)
{
    if (m_pSlots[slot].isOpened()) return JLIB::kOk;
    if (!m_pOpenInfo[slot].deferred) return kBusy;
    const std::string path = m_pOpenInfo[slot].path;
    if (JLIB::isFailure(openInternal(slot, path.c_str(), m_pOpenInfo[slot].mode))) return kBusy;
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::open(uint32_t slot, const char* path, uint32_t mode)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!path) return kBadArgument;
    if (!m_initialized || m_slotCount == 0) return kNotInitialized;
    if (m_pSlots[slot].isOpened() || m_pOpenInfo[slot].deferred) return kBusy;
    if (m_pCache) {
        if (!isSafeRelativePath(path)) return kBadArgument;
        m_pOpenInfo[slot].path = path;
        m_pOpenInfo[slot].mode = mode;
        m_pOpenInfo[slot].deferred = true;
        return JLIB::kOk;
    }
    return openInternal(slot, path, mode);
}

JLIB::JResult FileAccessor::close(uint32_t slot)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!m_initialized) return kNotInitialized;
    JLIB::JResult r = kBusy;
    if (m_pSlots[slot].isOpened()) r = fromFswErr(m_pSlots[slot].close());
    else if (m_pOpenInfo[slot].deferred) r = JLIB::kOk;
    m_pOpenInfo[slot].clear();
    return r;
}

JLIB::JResult FileAccessor::isOpen(uint32_t slot)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!m_initialized) return kNotInitialized;
    return (m_pSlots[slot].isOpened() || m_pOpenInfo[slot].deferred) ? 1 : 0;
}

JLIB::JResult FileAccessor::read(uint32_t slot, void* buffer, uint32_t* count, uint32_t size)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!buffer || !count || size == 0) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    JLIB_RETURN_IF_FAILED(openDeferred(slot));
    uint32_t n = 0;
    const JLIB::JResult r = fromFswErr(m_pSlots[slot].read(buffer, size, &n));
    *count = n;
    return r;
}

JLIB::JResult FileAccessor::write(uint32_t slot, const void* data, uint32_t size, uint32_t* written)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!data || !written || size == 0) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    JLIB_RETURN_IF_FAILED(openDeferred(slot));
    uint32_t n = 0;
    const JLIB::JResult r = fromFswErr(m_pSlots[slot].write(data, size, &n));
    *written = n;
    return r;
}

JLIB::JResult FileAccessor::seek(uint32_t slot, int32_t offset, FILESEEK origin)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (origin > FILESEEK_END) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    JLIB_RETURN_IF_FAILED(openDeferred(slot));
    return fromFswErr(
        m_pSlots[slot].seek(static_cast<FILECACHE::FileAccessor::SeekOrigin>(origin), offset));
}

JLIB::JResult FileAccessor::tell(uint32_t slot, uint32_t* position)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!position) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    JLIB_RETURN_IF_FAILED(openDeferred(slot));
    *position = m_pSlots[slot].tell();
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::size(uint32_t slot, const char* path, uint32_t* size)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!path || !size) return kBadArgument;
    return onPath(path, [&](const char* full) { return fromFswErr(fsw_getSize(size, full)); });
}

JLIB::JResult FileAccessor::remove(uint32_t slot, const char* path)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!path) return kBadArgument;
    const JLIB::JResult r = onPath(path, [&](const char* full) -> JLIB::JResult {
        uint32_t attribute = 0;
        const JLIB::JResult a = fsw_getAttribute(&attribute, full);
        if (JLIB::isFailure(a)) return fromFswErr(a);
        if (attribute & kFswAttrDirectory) return kWrongKind;  // folders go through removeDir
        return fromFswErr(fsw_removeFile(full));
    });
    if (JLIB::isSuccess(r) && m_pCache) (void)m_pCache->updateHash(path, nullptr, 0);  // erasing cannot fail
    return r;
}

JLIB::JResult FileAccessor::copy(uint32_t slot, const char* source, const char* destination)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!source || !destination) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    FullPath second(*m_pRoot);
    JLIB_RETURN_IF_FAILED(second.check());
    JLIB_RETURN_IF_FAILED(second.prepare(destination));
    return onPath(source, [&](const char* full) { return fromFswErr(fsw_copy(full, second.c_str())); });
}

JLIB::JResult FileAccessor::rename(uint32_t slot, const char* oldPath, const char* newPath)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!oldPath || !newPath) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    FullPath second(*m_pRoot);
    JLIB_RETURN_IF_FAILED(second.check());
    JLIB_RETURN_IF_FAILED(second.prepare(newPath));
    const JLIB::JResult r =
        onPath(oldPath, [&](const char* full) { return fromFswErr(fsw_rename(full, second.c_str())); });
    if (JLIB::isSuccess(r) && m_pCache) (void)m_pCache->rename(oldPath, newPath);  // no entry is no fault
    return r;
}

JLIB::JResult FileAccessor::exists(uint32_t slot, const char* path, bool* isFolder)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!path) return kBadArgument;
    return onPath(path, [&](const char* full) -> JLIB::JResult {
        uint32_t attribute = 0;
        if (JLIB::isFailure(fsw_getAttribute(&attribute, full))) return kNotFound;
        if (isFolder) *isFolder = (attribute & kFswAttrDirectory) != 0;
        return JLIB::kOk;
    });
}

JLIB::JResult FileAccessor::hashInternal(uint32_t slot, const char* path, uint8_t* buffer, uint32_t capacity,
                                         uint32_t* length)
{
    FILECACHE::MBDF container;
    JLIB::JResult r = JLIB::kOk;
    const uint8_t* uuid = nullptr;
    const uint32_t uuidSize = FILECACHE::MBDFTopBlock::uuidSize();
    if (!path) {
        FILECACHE::FileAccessor& file = m_pSlots[slot];
        if (!file.isOpened()) return kBusy;
        const uint32_t position = file.tell();
        uint32_t fileSize = 0;
        if (JLIB::isFailure(file.seek(FILECACHE::FileAccessor::ORIGIN_END, 0))) r = kNotEmpty;
        else fileSize = file.tell();
        if (JLIB::isSuccess(r) && JLIB::isFailure(file.seek(FILECACHE::FileAccessor::ORIGIN_BEGIN, 0))) r = kNotEmpty;
        if (JLIB::isSuccess(r) && !FILECACHE::MBDF::checkValidity(file, fileSize)) r = kNotInitialized;
        if (JLIB::isSuccess(r)) {
            (void)file.seek(FILECACHE::FileAccessor::ORIGIN_BEGIN, 0);  // checked just above
            r = fromMbdfErr(container.topBlock().readFromFile(file, true, nullptr));
            if (JLIB::isSuccess(r)) uuid = container.topBlock().uuid();
        }
        (void)file.seek(FILECACHE::FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(position));  // best effort
    } else {
        if (m_pSlots[slot].isOpened()) return kBusy;
        r = onPath(path, [&](const char* full) -> JLIB::JResult {
            if (!FILECACHE::MBDF::checkValidity(full)) return kNotInitialized;
            return fromMbdfErr(container.readAll(full, false, nullptr, nullptr, 0));
        });
        if (JLIB::isSuccess(r)) uuid = container.uuid();
    }
    if (JLIB::isFailure(r) || !uuid) {
        std::memset(buffer, 0, capacity);
        *length = 0;
        return JLIB::isFailure(r) ? r : kFailed;
    }
    if (capacity < uuidSize) {
        *length = 0;
        return kHashTooSmall;
    }
    std::memcpy(buffer, uuid, uuidSize);
    *length = uuidSize;
    return JLIB::kOk;
}

JLIB::JResult FileAccessor::hash(uint32_t slot, const char* path, uint8_t* buffer, uint32_t capacity,
                                 uint32_t* length)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!buffer || capacity == 0 || !length) return kBadArgument;
    if (!m_initialized) return kNotInitialized;
    if (path && !isSafeRelativePath(path)) return kBadArgument;
    const std::string key = path ? std::string(path) : m_pOpenInfo[slot].path;
    if (m_pCache && !key.empty() && JLIB::isSuccess(m_pCache->getHash(key.c_str(), buffer, capacity, length)))
        return JLIB::kOk;
    if (!path) JLIB_RETURN_IF_FAILED(openDeferred(slot));
    const JLIB::JResult r = hashInternal(slot, path, buffer, capacity, length);
    if (JLIB::isSuccess(r) && m_pCache && !key.empty())
        (void)m_pCache->updateHash(key.c_str(), buffer, *length);  // a cache miss later only costs a read
    return r;
}

JLIB::JResult FileAccessor::makeDir(uint32_t slot, const char* path)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!path) return kBadArgument;
    return onPath(path, [&](const char* full) { return fromFswErr(fsw_makeDir(full)); });
}

JLIB::JResult FileAccessor::removeDir(uint32_t slot, const char* path)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    if (!path) return kBadArgument;
    return onPath(path, [&](const char* full) { return fromFswErr(fsw_removeDir(full, true)); });
}

JLIB::JResult FileAccessor::sync(uint32_t slot)
{
    JLIB_RETURN_IF_FAILED(checkSlot(slot));
    return fromFswErr(fsw_sync());
}


void ExclusiveAccessor::lock()
{
    if (m_semId) (void)oswrap_WaiSem(m_semId);
}
void ExclusiveAccessor::unlock()
{
    if (m_semId) (void)oswrap_SigSem(m_semId);
}

JLIB::JResult ExclusiveAccessor::initialize(uint32_t slotCount, const char* root, uint32_t capacity, char separator,
                                            uint16_t semId)
{
    m_semId = semId;
    Hold hold(*this);
    return m_accessor.initialize(slotCount, root, capacity, separator, nullptr);
}

#define COMCTRL_EXCLUSIVE(call) \
    Hold hold_(*this);          \
    return m_accessor.call

JLIB::JResult ExclusiveAccessor::open(uint32_t s, const char* p, uint32_t m) { COMCTRL_EXCLUSIVE(open(s, p, m)); }
JLIB::JResult ExclusiveAccessor::close(uint32_t s) { COMCTRL_EXCLUSIVE(close(s)); }
JLIB::JResult ExclusiveAccessor::read(uint32_t s, void* b, uint32_t* c, uint32_t n) { COMCTRL_EXCLUSIVE(read(s, b, c, n)); }
JLIB::JResult ExclusiveAccessor::write(uint32_t s, const void* d, uint32_t n, uint32_t* w)
{
    COMCTRL_EXCLUSIVE(write(s, d, n, w));
}
JLIB::JResult ExclusiveAccessor::seek(uint32_t s, int32_t o, FILESEEK f) { COMCTRL_EXCLUSIVE(seek(s, o, f)); }
JLIB::JResult ExclusiveAccessor::size(uint32_t s, const char* p, uint32_t* n) { COMCTRL_EXCLUSIVE(size(s, p, n)); }
JLIB::JResult ExclusiveAccessor::remove(uint32_t s, const char* p) { COMCTRL_EXCLUSIVE(remove(s, p)); }
JLIB::JResult ExclusiveAccessor::copy(uint32_t s, const char* a, const char* b) { COMCTRL_EXCLUSIVE(copy(s, a, b)); }
JLIB::JResult ExclusiveAccessor::exists(uint32_t s, const char* p, bool* f) { COMCTRL_EXCLUSIVE(exists(s, p, f)); }
JLIB::JResult ExclusiveAccessor::hash(uint32_t s, const char* p, uint8_t* b, uint32_t c, uint32_t* l)
{
    COMCTRL_EXCLUSIVE(hash(s, p, b, c, l));
}
JLIB::JResult ExclusiveAccessor::makeDir(uint32_t s, const char* p) { COMCTRL_EXCLUSIVE(makeDir(s, p)); }
JLIB::JResult ExclusiveAccessor::removeDir(uint32_t s, const char* p) { COMCTRL_EXCLUSIVE(removeDir(s, p)); }

#undef COMCTRL_EXCLUSIVE

}  // namespace ComControl
