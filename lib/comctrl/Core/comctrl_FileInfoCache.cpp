#include "comctrl_FileInfoCache.h"

#include <cstring>
#include <new>

namespace ComControl {

namespace {
constexpr JLIB::JResult kFailed = 0x80000000u;
}

JLIB::JResult FileInfoCache::getHash(const char* path, uint8_t* buffer, uint32_t capacity, uint32_t* length) const
{
    if (!path || !buffer || !length || capacity < sizeof(FileInfo::hash)) return kFailed;
    const auto it = m_entries.find(path);
    if (it == m_entries.end() || it->second->hashLength == 0) return kFailed;
    std::memcpy(buffer, it->second->hash, it->second->hashLength);
    *length = it->second->hashLength;
    return JLIB::kOk;
}

JLIB::JResult FileInfoCache::updateHash(const char* path, const uint8_t* hash, uint32_t length)
{
    if (!path || length > sizeof(FileInfo::hash)) return kFailed;
    if (!hash || length == 0) {
        m_entries.erase(path);
        return JLIB::kOk;
    }
    std::unique_ptr<FileInfo>& entry = m_entries[path];
    if (!entry) entry.reset(new (std::nothrow) FileInfo);
    if (!entry) {
        m_entries.erase(path);
        return kFailed;
    }
    std::memset(entry->hash, 0, sizeof(entry->hash));
    std::memcpy(entry->hash, hash, length);
    entry->hashLength = length;
    return JLIB::kOk;
}

JLIB::JResult FileInfoCache::rename(const char* oldPath, const char* newPath)
{
    if (!oldPath || !newPath) return kFailed;
    auto it = m_entries.find(oldPath);
    if (it == m_entries.end()) {
        m_entries.erase(newPath);
        return kFailed;
    }
    std::unique_ptr<FileInfo> info = std::move(it->second);
    m_entries.erase(it);
    m_entries[newPath] = std::move(info);
    return JLIB::kOk;
}

JLIB::JResult FileInfoCache::clear()
{
    m_entries.clear();
    return JLIB::kOk;
}

}  // namespace ComControl
