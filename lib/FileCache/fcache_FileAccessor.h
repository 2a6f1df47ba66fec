#pragma once
// The file handle of the whole system: one open file over the file-system wrapper, plus static
// path helpers. An accessor belongs to one task; the static helpers keep no state.
#include <cstdint>

#include "fsw/fsw_api.h"
#include "jlib/jlib_result.h"

namespace FILECACHE {

class FileAccessor {
public:
    enum OpenMode { OPEN_CREATE = 0, OPEN_APPEND = 1, OPEN_UPDATE = 2, OPEN_READ = 3 };
    enum SeekOrigin { ORIGIN_BEGIN = 0, ORIGIN_CURRENT = 1, ORIGIN_END = 2 };
    enum DateTimeType { DATETIME_STATUS_CHANGED = 0, DATETIME_ACCESSED = 1, DATETIME_MODIFIED = 2 };

    // Time stamp of the file layer; the conversions clamp each field to its range.
    struct DateTime {
        uint16_t year = 2000;
        uint8_t month = 1;
        uint8_t day = 1;
        uint8_t hour = 0;
        uint8_t minute = 0;
        uint8_t second = 0;

        uint32_t fromFSWDateTime(const T_FSW_DATETIME& in);
        uint32_t toFSWDateTime(T_FSW_DATETIME& out) const;
        bool operator==(const DateTime& other) const;
        bool operator>(const DateTime& other) const;
        bool operator>=(const DateTime& other) const;
    };

    static constexpr JLIB::JResult kClosed = 0x80000003u;
    static constexpr JLIB::JResult kBadArgument = 0x8000F000u;
    static constexpr JLIB::JResult kEndOfFile = 1;

    FileAccessor() = default;
    FileAccessor& operator=(const FileAccessor& other) = default;  // used on closed accessors only
    virtual ~FileAccessor();

    [[nodiscard]] JLIB::JResult open(const char* path, OpenMode mode);
    JLIB::JResult close();
    // 0 for the full count, 1 when the end came first (*readCount tells how much came).
    [[nodiscard]] JLIB::JResult read(void* buffer, uint32_t count, uint32_t* readCount);
    // A short write is a failure.
    [[nodiscard]] JLIB::JResult write(const void* bytes, uint32_t count, uint32_t* written);
    [[nodiscard]] JLIB::JResult seek(SeekOrigin origin, int32_t offset);
    uint32_t tell() const;
    bool isOpened() const { return m_handle != kFswInvalidHandle; }
    [[nodiscard]] JLIB::JResult fsync();

    static bool isExist(const char* path);
    static uint32_t size(const char* path);
    static bool isDir(const char* path);
    static bool isReadOnly(const char* path);
    static bool isHidden(const char* path);
    static bool isExecutable(const char* path);
    static JLIB::JResult getAttribute(const char* path, bool* readOnly, bool* hidden, bool* executable,
                                      bool* folder);
    [[nodiscard]] static JLIB::JResult setAttribute(const char* path, bool readOnly, bool hidden, bool executable);
    [[nodiscard]] static JLIB::JResult dateTime(const char* path, DateTimeType type, DateTime& out, bool toLocal);
    [[nodiscard]] static JLIB::JResult setDateTime(const char* path, DateTimeType type, const DateTime& value);
    [[nodiscard]] static JLIB::JResult rename(const char* from, const char* to);
    [[nodiscard]] static JLIB::JResult copy(const char* from, const char* to);
    [[nodiscard]] static JLIB::JResult remove(const char* path, bool recursive);
    [[nodiscard]] static JLIB::JResult makeDir(const char* path);
    static bool isFileNameValid(const char* name);
    static JLIB::JResult sync();

private:
    T_FSW_HANDLE m_handle = kFswInvalidHandle;
};

}  // namespace FILECACHE
