#pragma once
// Hashes remembered by relative path, so that an unchanged file is not read again. One task.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "jlib/jlib_result.h"

namespace ComControl {

class FileInfoCache {
public:
    struct FileInfo {
        uint8_t hash[32] = {};
        uint32_t hashLength = 0;
    };

    virtual ~FileInfoCache() { (void)clear(); }

    // 0x80000000 for a null argument, a capacity below 32, or no stored hash.
    [[nodiscard]] JLIB::JResult getHash(const char* path, uint8_t* buffer, uint32_t capacity, uint32_t* length) const;
    // A null hash or a length of 0 erases the entry; 0x80000000 for a null path or a length above 32.
    [[nodiscard]] JLIB::JResult updateHash(const char* path, const uint8_t* hash, uint32_t length);
    // Moves the old path's entry over the new one's; without one the new path's is erased too (0x80000000).
    [[nodiscard]] JLIB::JResult rename(const char* oldPath, const char* newPath);
    JLIB::JResult clear();

private:
    std::map<std::string, std::unique_ptr<FileInfo>> m_entries;
};

}  // namespace ComControl
