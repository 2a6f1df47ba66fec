#include "fcache_FileAccessor.h"

#include <cstring>

#include "fsw/oswrap_localtime.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kOpenFlags[] = {0x43, 0x23, 0x13, 0x11};

template <typename T>
T clampField(T value, T low, T high, T replacement)
{
    return (value < low || value > high) ? replacement : value;
}

bool attributeBit(const char* path, uint32_t bit)
{
    if (!path) return false;
    uint32_t attribute = 0;
    if (JLIB::isFailure(fsw_getAttribute(&attribute, path))) return false;
    return (attribute & bit) != 0;
}

}  // namespace

uint32_t FileAccessor::DateTime::fromFSWDateTime(const T_FSW_DATETIME& in)
{
    year = clampField<uint16_t>(in.year, 2000, 3000, 2000);
    month = clampField<uint8_t>(in.month, 1, 12, 1);
    day = clampField<uint8_t>(in.day, 1, 31, 1);
    hour = clampField<uint8_t>(in.hour, 0, 23, 0);
    minute = clampField<uint8_t>(in.minute, 0, 59, 0);
    second = clampField<uint8_t>(in.second, 0, 61, 0);
    return 0;
}

uint32_t FileAccessor::DateTime::toFSWDateTime(T_FSW_DATETIME& out) const
{
    out.year = clampField<uint16_t>(year, 2000, 3000, 2000);
    out.month = clampField<uint8_t>(month, 1, 12, 1);
    out.day = clampField<uint8_t>(day, 1, 31, 1);
    out.hour = clampField<uint8_t>(hour, 0, 23, 0);
    out.minute = clampField<uint8_t>(minute, 0, 59, 0);
    out.second = clampField<uint8_t>(second, 0, 61, 0);
    return 0;
}

bool FileAccessor::DateTime::operator==(const DateTime& o) const
{
    return year == o.year && month == o.month && day == o.day && hour == o.hour && minute == o.minute &&
           second == o.second;
}

bool FileAccessor::DateTime::operator>(const DateTime& o) const
{
    if (year != o.year) return year > o.year;
    if (month != o.month) return month > o.month;
    if (day != o.day) return day > o.day;
    if (hour != o.hour) return hour > o.hour;
    if (minute != o.minute) return minute > o.minute;
    return second > o.second;
}

bool FileAccessor::DateTime::operator>=(const DateTime& o) const { return *this == o || *this > o; }

FileAccessor::~FileAccessor()
{
    if (isOpened()) (void)close();  // nothing to report to from a destructor
}

JLIB::JResult FileAccessor::open(const char* path, OpenMode mode)
{
    if (isOpened()) return kClosed;
    if (!path || static_cast<unsigned>(mode) > OPEN_READ) return kBadArgument;
    T_FSW_HANDLE handle = kFswInvalidHandle;
    const JLIB::JResult r = fsw_open(&handle, path, kOpenFlags[mode]);
    if (JLIB::isFailure(r)) return r;
    m_handle = handle;
    return 0;
}

JLIB::JResult FileAccessor::close()
{
    if (!isOpened()) return kClosed;
    const JLIB::JResult r = fsw_close(&m_handle);
    m_handle = kFswInvalidHandle;
    return r == kFswOther ? 0 : r;
}

JLIB::JResult FileAccessor::read(void* buffer, uint32_t count, uint32_t* readCount)
{
    if (readCount) *readCount = 0;
    if (!isOpened()) return kClosed;
    if (count == 0) return 0;
    uint32_t got = 0;
    const JLIB::JResult r = fsw_read(buffer, &got, count, &m_handle);
    if (readCount) *readCount = got;
    return r;
}

JLIB::JResult FileAccessor::write(const void* bytes, uint32_t count, uint32_t* written)
{
    if (written) *written = 0;
    if (!isOpened()) return kClosed;
    if (count == 0) return 0;
    uint32_t done = 0;
    const JLIB::JResult r = fsw_write(bytes, &done, count, &m_handle);
    if (JLIB::isFailure(r)) return r;
    if (written) *written = done;
    return 0;
}

JLIB::JResult FileAccessor::seek(SeekOrigin origin, int32_t offset)
{
    if (!isOpened()) return kClosed;
    if (static_cast<unsigned>(origin) > ORIGIN_END) return kBadArgument;
    T_FSW_HANDLE handle = m_handle;
    return fsw_seek(offset, static_cast<int32_t>(origin), &handle);
}

uint32_t FileAccessor::tell() const
{
    if (!isOpened()) return 0;
    T_FSW_HANDLE handle = m_handle;
    uint32_t position = 0;
    if (JLIB::isFailure(fsw_tell(&position, &handle))) return 0;
    return position;
}

JLIB::JResult FileAccessor::fsync()
{
    if (!isOpened()) return kClosed;
    (void)fsw_flush(&m_handle);  // the sync below reports what matters
    return fsw_fsync(&m_handle);
}

bool FileAccessor::isExist(const char* path)
{
    if (!path) return false;
    uint32_t attribute = 0;
    return JLIB::isSuccess(fsw_getAttribute(&attribute, path));
}

uint32_t FileAccessor::size(const char* path)
{
    if (!path) return 0;
    uint32_t bytes = 0;
    if (JLIB::isFailure(fsw_getSize(&bytes, path))) return 0;
    return bytes;
}

bool FileAccessor::isDir(const char* path) { return attributeBit(path, kFswAttrDirectory); }
bool FileAccessor::isReadOnly(const char* path) { return attributeBit(path, kFswAttrReadOnly); }
bool FileAccessor::isHidden(const char* path) { return attributeBit(path, kFswAttrHidden); }
bool FileAccessor::isExecutable(const char* path) { return attributeBit(path, kFswAttrExecutable); }

JLIB::JResult FileAccessor::getAttribute(const char* path, bool* readOnly, bool* hidden, bool* executable,
                                         bool* folder)
{
    bool dummy = false;
    bool& ro = readOnly ? *readOnly : dummy;
    bool& hi = hidden ? *hidden : dummy;
    bool& ex = executable ? *executable : dummy;
    bool& fo = folder ? *folder : dummy;
    ro = hi = ex = fo = false;
    if (!path) return kBadArgument;
    uint32_t attribute = 0;
    const JLIB::JResult r = fsw_getAttribute(&attribute, path);
    if (JLIB::isFailure(r)) return r;
    ro = (attribute & kFswAttrReadOnly) != 0;
    hi = (attribute & kFswAttrHidden) != 0;
    ex = (attribute & kFswAttrExecutable) != 0;
    fo = (attribute & kFswAttrDirectory) != 0;
    return r;
}

JLIB::JResult FileAccessor::setAttribute(const char* path, bool readOnly, bool hidden, bool executable)
{
    if (!path) return kBadArgument;
    uint32_t attribute = 0;
    if (readOnly) attribute |= kFswAttrReadOnly;
    if (hidden) attribute |= kFswAttrHidden;
    if (executable) attribute |= kFswAttrExecutable;
    return fsw_setAttribute(attribute, path);
}

JLIB::JResult FileAccessor::dateTime(const char* path, DateTimeType type, DateTime& out, bool toLocal)
{
    if (!path || static_cast<unsigned>(type) > DATETIME_MODIFIED) return kBadArgument;
    T_FSW_DATETIME stamp;
    std::memset(&stamp, 0, sizeof(stamp));
    T_FSW_DATETIME* slots[3] = {nullptr, nullptr, nullptr};
    slots[type] = &stamp;
    const JLIB::JResult r = fsw_getDateTime(slots[0], slots[1], slots[2], path);
    if (toLocal) {
        T_FSW_DATETIME local = stamp;
        if (JLIB::isSuccess(oswrap_UTCtoLocalTime(&local, &stamp))) stamp = local;
    }
    (void)out.fromFSWDateTime(stamp);  // clamping cannot fail
    return r;
}

JLIB::JResult FileAccessor::setDateTime(const char* path, DateTimeType type, const DateTime& value)
{
    if (!path || static_cast<unsigned>(type) > DATETIME_MODIFIED) return kBadArgument;
    T_FSW_DATETIME stamp;
    (void)value.toFSWDateTime(stamp);  // clamping cannot fail
    const T_FSW_DATETIME* slots[3] = {nullptr, nullptr, nullptr};
    slots[type] = &stamp;
    return fsw_setDateTime(slots[0], slots[1], slots[2], path);
}

JLIB::JResult FileAccessor::rename(const char* from, const char* to) { return fsw_rename(from, to); }

JLIB::JResult FileAccessor::copy(const char* from, const char* to) { return fsw_copy(from, to); }

JLIB::JResult FileAccessor::remove(const char* path, bool recursive)
{
    if (isDir(path)) return fsw_removeDir(path, recursive);
    return fsw_removeFile(path);
}

JLIB::JResult FileAccessor::makeDir(const char* path) { return fsw_makeDir(path); }

bool FileAccessor::isFileNameValid(const char* name)
{
    if (!name || !*name) return false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
        if (*p < 0x20 || std::strchr("\"*:<>?|", *p)) return false;
    }
    return true;
}

JLIB::JResult FileAccessor::sync()
{
    (void)fsw_sync();  // always succeeds
    return 0;
}

}  // namespace FILECACHE
