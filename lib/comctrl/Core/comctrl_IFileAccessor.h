#pragma once
// Files named by paths relative to a root, through a few numbered slots (one open file each).
// Every operation takes the slot first and returns a result whose top bit marks a failure.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

enum FILESEEK : uint32_t { FILESEEK_SET = 0, FILESEEK_CUR = 1, FILESEEK_END = 2 };

class IFileAccessor {
public:
    // Modes: 0 create or truncate, 1 append (created when missing), 2 existing read/write,
    // 3 existing read only; any other value is 0.
    [[nodiscard]] virtual JLIB::JResult open(uint32_t slot, const char* path, uint32_t mode) = 0;
    virtual JLIB::JResult close(uint32_t slot) = 0;
    virtual JLIB::JResult isOpen(uint32_t slot) = 0;
    // 1 when the end of the file cut the read short.
    [[nodiscard]] virtual JLIB::JResult read(uint32_t slot, void* buffer, uint32_t* count, uint32_t size) = 0;
    [[nodiscard]] virtual JLIB::JResult write(uint32_t slot, const void* data, uint32_t size, uint32_t* written) = 0;
    [[nodiscard]] virtual JLIB::JResult seek(uint32_t slot, int32_t offset, FILESEEK origin) = 0;
    [[nodiscard]] virtual JLIB::JResult tell(uint32_t slot, uint32_t* position) = 0;
    [[nodiscard]] virtual JLIB::JResult size(uint32_t slot, const char* path, uint32_t* size) = 0;
    [[nodiscard]] virtual JLIB::JResult remove(uint32_t slot, const char* path) = 0;
    [[nodiscard]] virtual JLIB::JResult copy(uint32_t slot, const char* source, const char* destination) = 0;
    [[nodiscard]] virtual JLIB::JResult rename(uint32_t slot, const char* oldPath, const char* newPath) = 0;
    [[nodiscard]] virtual JLIB::JResult exists(uint32_t slot, const char* path, bool* isFolder) = 0;
    // The archive container's identity; a null path means the slot's open file.
    [[nodiscard]] virtual JLIB::JResult hash(uint32_t slot, const char* path, uint8_t* buffer, uint32_t capacity,
                                             uint32_t* length) = 0;
    [[nodiscard]] virtual JLIB::JResult makeDir(uint32_t slot, const char* path) = 0;
    [[nodiscard]] virtual JLIB::JResult removeDir(uint32_t slot, const char* path) = 0;
    virtual JLIB::JResult sync(uint32_t slot) = 0;
    virtual ~IFileAccessor() = default;
};

}  // namespace ComControl
