#include "fsw/fsw_api.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>

#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"

struct T_FSW_DIR {
    DIR* stream = nullptr;
};

namespace {

// Default hooks: a pre hook asks for no post hook and lets the operation run.
void dummyNotifyCallback(uint32_t) {}
JLIB::JResult dummyPreFuncWithPath(uint32_t* postFlag, const char*) { *postFlag = 0; return 0; }
JLIB::JResult dummyPreFuncWithHandle(uint32_t* postFlag, T_FSW_HANDLE*) { *postFlag = 0; return 0; }
JLIB::JResult dummyPreFuncWithPath2(uint32_t* postFlag, const char*, const char*) { *postFlag = 0; return 0; }
JLIB::JResult dummyPreFuncWithPathAndFINDENTRY(uint32_t* postFlag, const char*, T_FSW_FIND*) { *postFlag = 0; return 0; }
JLIB::JResult dummyPreFuncWithFINDENTRY(uint32_t* postFlag, T_FSW_FIND*) { *postFlag = 0; return 0; }
JLIB::JResult dummyPreFuncWithPathAndDIR(uint32_t* postFlag, const char*, T_FSW_DIR*) { *postFlag = 0; return 0; }
JLIB::JResult dummyPreFuncWithDIR(uint32_t* postFlag, T_FSW_DIR*) { *postFlag = 0; return 0; }
void dummyPostFuncWithPath(const char*) {}
void dummyPostFuncWithHandle(T_FSW_HANDLE*) {}
void dummyPostFuncWithPath2(const char*, const char*) {}
void dummyPostFuncWithPathAndFINDENTRY(const char*, T_FSW_FIND*) {}
void dummyPostFuncWithFINDENTRY(T_FSW_FIND*) {}
void dummyPostFuncWithPathAndDIR(const char*, T_FSW_DIR*) {}
void dummyPostFuncWithDIR(T_FSW_DIR*) {}

constexpr FswHookPair<FswPreWithPath, FswPostWithPath> kPathPair{dummyPreFuncWithPath, dummyPostFuncWithPath};
constexpr FswHookPair<FswPreWithHandle, FswPostWithHandle> kHandlePair{dummyPreFuncWithHandle, dummyPostFuncWithHandle};
constexpr FswHookPair<FswPreWithPath2, FswPostWithPath2> kPath2Pair{dummyPreFuncWithPath2, dummyPostFuncWithPath2};
constexpr FswHookPair<FswPreWithDir, FswPostWithDir> kDirPair{dummyPreFuncWithDIR, dummyPostFuncWithDIR};
constexpr FswHookPair<FswPreWithFind, FswPostWithFind> kFindPair{dummyPreFuncWithFINDENTRY, dummyPostFuncWithFINDENTRY};

// Read by every operation without a lock: replaced only before the wrapper is in use.
T_FSW_CALLBACK gl_callbackObj = {
    {dummyNotifyCallback, dummyNotifyCallback, dummyNotifyCallback, dummyNotifyCallback,
     dummyNotifyCallback, dummyNotifyCallback, dummyNotifyCallback},
    {dummyPreFuncWithPath, dummyPostFuncWithHandle},  // open
    kHandlePair, kHandlePair, kHandlePair, kHandlePair, kHandlePair, kHandlePair,
    kPathPair, kPathPair, kPathPair, kPathPair, kPathPair, kPathPair, kPathPair, kPathPair, kPathPair,
    kPath2Pair, kPath2Pair,
    kPathPair,   // make directory
    kPath2Pair,  // copy directory
    kPathPair,   // remove directory
    {dummyPreFuncWithPathAndFINDENTRY, dummyPostFuncWithPathAndFINDENTRY},
    kFindPair, kFindPair,
    {dummyPreFuncWithPathAndDIR, dummyPostFuncWithPathAndDIR},
    kDirPair, kDirPair, kDirPair,
    kPathPair,   // format
};

template <typename Pair, typename... Args>
[[nodiscard]] JLIB::JResult callPre(const Pair& pair, uint32_t& postFlag, Args... args)
{
    return pair.pre ? pair.pre(&postFlag, args...) : JLIB::kOk;
}

template <typename Pair, typename... Args>
void callPost(const Pair& pair, uint32_t postFlag, Args... args)
{
    if (postFlag != 0 && pair.post) pair.post(args...);
}

// A failed call whose errno was left 0 (a short fwrite can do that) must still be a failure.
JLIB::JResult errnoFailure()
{
    const int err = errno;
    return err == 0 ? kFswOther : toFswError(err);
}

bool isOpen(const T_FSW_HANDLE* handle)
{
    return handle && *handle != kFswInvalidHandle && *handle != 0;
}

FILE* streamOf(const T_FSW_HANDLE* handle) { return reinterpret_cast<FILE*>(*handle); }

const char* modeFor(uint32_t bits)
{
    const bool read = (bits & kFswOpenRead) != 0;
    const bool write = (bits & kFswOpenWrite) != 0;
    if (!write) return read ? "rb" : nullptr;
    if (bits & kFswOpenCreate) return read ? "wb+" : "wb";
    if (bits & kFswOpenAppend) return read ? "ab+" : "ab";
    if (bits & kFswOpenExisting) return "rb+";
    return nullptr;
}

struct FileCloser {
    void operator()(FILE* f) const { (void)std::fclose(f); }  // read side: nothing to lose
};
using FileOwner = std::unique_ptr<FILE, FileCloser>;

struct NameDeleter {
    void operator()(char* p) const { (void)JLIB::JDelete(p); }  // our own JNew block
};
using NameOwner = std::unique_ptr<char, NameDeleter>;

// A record of 2000-01-01 00:00:00 stays when the time cannot be broken down.
JLIB::JResult convTimeToFSWTime(time_t t, T_FSW_DATETIME* out)
{
    *out = T_FSW_DATETIME{2000, 1, 1, 0, 0, 0};
    struct tm tmv {};
    if (!gmtime_r(&t, &tmv)) return kFswBadArgument;
    out->year = static_cast<uint16_t>(tmv.tm_year + 1900);
    out->month = static_cast<uint8_t>(tmv.tm_mon + 1);
    out->day = static_cast<uint8_t>(tmv.tm_mday);
    out->hour = static_cast<uint8_t>(tmv.tm_hour);
    out->minute = static_cast<uint8_t>(tmv.tm_min);
    out->second = static_cast<uint8_t>(tmv.tm_sec);
    return kFswOk;
}

// The record is local standard time (no daylight saving); null stands for time 0.
JLIB::JResult convFSWTimeToTime(const T_FSW_DATETIME* in, time_t* out)
{
    *out = 0;
    if (!in) return kFswOk;
    if (in->year < 1900 || in->month < 1 || in->month > 12 || in->day < 1 || in->day > 31 ||
        in->hour > 23 || in->minute > 59 || in->second > 61) {
        return kFswBadArgument;
    }
    struct tm tmv {};
    tmv.tm_year = in->year - 1900;
    tmv.tm_mon = in->month - 1;
    tmv.tm_mday = in->day;
    tmv.tm_hour = in->hour;
    tmv.tm_min = in->minute;
    tmv.tm_sec = in->second;
    tmv.tm_isdst = 0;
    errno = 0;
    const time_t t = mktime(&tmv);
    if (t == static_cast<time_t>(-1) && errno != 0) return toFswError(errno);
    *out = t;
    return kFswOk;
}

JLIB::JResult setTimes(const char* path, time_t accessed, time_t modified)
{
    struct timeval times[2] = {{accessed, 0}, {modified, 0}};
    return utimes(path, times) == 0 ? kFswOk : errnoFailure();
}

mode_t modeFromAttribute(uint32_t attribute)
{
    if ((attribute & kFswAttrPermissionMask) == 0) {
        mode_t mode = (attribute & (kFswAttrExecutable | kFswAttrDirectory)) ? 0755 : 0644;
        if (attribute & kFswAttrReadOnly) mode &= ~static_cast<mode_t>(0222);
        return mode;
    }
    mode_t mode = 0;
    const uint32_t bits[9] = {kFswAttrOtherExec, kFswAttrOtherWrite, kFswAttrOtherRead,
                              kFswAttrGroupExec, kFswAttrGroupWrite, kFswAttrGroupRead,
                              kFswAttrOwnerExec, kFswAttrOwnerWrite, kFswAttrOwnerRead};
    const mode_t modes[9] = {S_IXOTH, S_IWOTH, S_IROTH, S_IXGRP, S_IWGRP, S_IRGRP, S_IXUSR, S_IWUSR, S_IRUSR};
    for (int i = 0; i < 9; ++i) {
        if (attribute & bits[i]) mode |= modes[i];
    }
    if (attribute & kFswAttrDirectory) mode |= 0111;
    if (attribute & kFswAttrReadOnly) {
        mode &= ~static_cast<mode_t>(0222);
    } else if (attribute & kFswAttrNoWrite) {
        mode |= 0222;
    }
    if (!(attribute & kFswAttrExecutable)) {
        mode &= ~static_cast<mode_t>(0111);
    } else if (attribute & kFswAttrNoExec) {
        mode |= 0111;
    }
    return mode;
}

// mkdir that accepts an existing directory, but not an existing file of that name.
JLIB::JResult makeOneDir(const char* path)
{
    if (mkdir(path, 0775) == 0) return kFswOk;
    if (errno != EEXIST) return kFswIncomplete;
    struct stat st {};
    if (stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return kFswIncomplete;
    return kFswOk;
}

enum class EntryKind { Directory, Link, Other };

// Walks classify without following links, so a link never leads a copy or removal
// out of the tree or round a loop.
JLIB::JResult classify(const std::string& path, EntryKind* kind)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return errnoFailure();
    *kind = S_ISLNK(st.st_mode) ? EntryKind::Link : S_ISDIR(st.st_mode) ? EntryKind::Directory : EntryKind::Other;
    return kFswOk;
}

JLIB::JResult copyLink(const std::string& source, const std::string& destination)
{
    char target[PATH_MAX];
    const ssize_t n = readlink(source.c_str(), target, sizeof(target) - 1);
    if (n < 0) return errnoFailure();
    if (n == static_cast<ssize_t>(sizeof(target) - 1)) return kFswNameTooLong;  // may have been cut
    target[n] = '\0';
    return symlink(target, destination.c_str()) == 0 ? kFswOk : errnoFailure();
}

bool isDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

enum class WalkStep { Entry, End, Failed };

// Reads the next entry name of a walk into *name, logging the listing failures under `who`.
WalkStep nextWalkEntry(T_FSW_DIR* dir, const char* who, NameOwner* name)
{
    uint32_t size = 0;
    if (JLIB::isFailure(fsw_readDirSize(dir, &size))) {
        JLIB_LOG("[E] %s - cannot get a directory entry size!\n", who);
        return WalkStep::Failed;
    }
    name->reset(JLIB::JNew<char>(0, "fsw walk name", size));
    if (!*name) {
        JLIB_LOG("[E] %s - cannot allocate buffer memory!\n", who);
        return WalkStep::Failed;
    }
    const JLIB::JResult r = fsw_readDir(dir, name->get(), size);
    if (r == kFswNotFound) return WalkStep::End;
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] %s - cannot read a directory entry!\n", who);
        return WalkStep::Failed;
    }
    return WalkStep::Entry;
}

JLIB::JResult readEntryName(DIR* stream, char* name, uint32_t size, JLIB::JResult endCode)
{
    errno = 0;
    const dirent* entry = readdir(stream);
    if (!entry) {
        name[0] = '\0';
        return endCode;
    }
    const size_t n = std::min<size_t>(std::strlen(entry->d_name), size - 1);
    std::memcpy(name, entry->d_name, n);
    name[n] = '\0';
    return kFswOk;
}

}  // namespace

JLIB::JResult toFswError(int err)
{
    switch (err) {
    case 0: return kFswOk;
    case ENOENT: return kFswNotFound;
    case EIO: return kFswIoError;
    case ENOMEM: return kFswNoMemory;
    case EEXIST: return kFswExists;
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
    case ESTALE: return kFswWrongKind;
    case EINVAL: return kFswBadArgument;
    case EMFILE: return kFswTooManyOpen;
    case ETXTBSY: return kFswBusy;
    case EFBIG: return kFswTooLarge;
    case ENOTSUP: return kFswNotSupported;
    case ENAMETOOLONG: return kFswNameTooLong;
    case ENOTEMPTY: return kFswNotEmpty;
    case EDQUOT: return kFswQuota;
    default: return kFswOther;  // ETIMEDOUT among them
    }
}

JLIB::JResult fsw_open(T_FSW_HANDLE* handle, const char* path, uint32_t openBits)
{
    if (!handle) return kFswBadArgument;
    *handle = kFswInvalidHandle;
    const char* mode = modeFor(openBits);
    if (!path || !mode) return kFswBadArgument;
    uint32_t postFlag = 0;
    JLIB_RETURN_IF_FAILED(callPre(gl_callbackObj.open, postFlag, path));
    FILE* stream = std::fopen(path, mode);
    if (!stream) {
        const JLIB::JResult r = errnoFailure();
        callPost(gl_callbackObj.open, postFlag, static_cast<T_FSW_HANDLE*>(nullptr));
        return r;
    }
    *handle = reinterpret_cast<T_FSW_HANDLE>(stream);
    callPost(gl_callbackObj.open, postFlag, handle);
    return kFswOk;
}

JLIB::JResult fsw_close(T_FSW_HANDLE* handle)
{
    if (!isOpen(handle)) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.close, postFlag, handle);  // only open may be refused by a hook
    const JLIB::JResult r = std::fclose(streamOf(handle)) == 0 ? kFswOk : errnoFailure();
    // The stream is gone either way; a stale pointer would let a later call touch freed memory.
    *handle = kFswInvalidHandle;
    callPost(gl_callbackObj.close, postFlag, handle);
    return r;
}

JLIB::JResult fsw_read(void* buffer, uint32_t* count, uint32_t bytes, T_FSW_HANDLE* handle)
{
    if (!buffer || !count || !isOpen(handle)) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.read, postFlag, handle);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    if (bytes == 0) {
        *count = 0;
    } else {
        errno = 0;
        const size_t n = std::fread(buffer, 1, bytes, streamOf(handle));
        if (n == bytes) {
            *count = bytes;
        } else if (std::feof(streamOf(handle))) {
            *count = static_cast<uint32_t>(n);
            r = kFswEndOfFile;
        } else {
            r = errnoFailure();
        }
    }
    callPost(gl_callbackObj.read, postFlag, handle);
    return r;
}

JLIB::JResult fsw_write(const void* data, uint32_t* count, uint32_t bytes, T_FSW_HANDLE* handle)
{
    if (!data || !count || !isOpen(handle)) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.write, postFlag, handle);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    if (bytes == 0) {
        *count = 0;
    } else {
        errno = 0;
        const size_t n = std::fwrite(data, 1, bytes, streamOf(handle));
        if (n == bytes) {
            *count = bytes;
        } else {
            r = errnoFailure();
        }
    }
    callPost(gl_callbackObj.write, postFlag, handle);
    return r;
}

JLIB::JResult fsw_flush(T_FSW_HANDLE* handle)
{
    if (!isOpen(handle)) return kFswBadArgument;
    return std::fflush(streamOf(handle)) == 0 ? kFswOk : errnoFailure();
}

JLIB::JResult fsw_fsync(T_FSW_HANDLE* handle)
{
    if (!isOpen(handle)) return kFswBadArgument;
    return fsync(fileno(streamOf(handle))) == 0 ? kFswOk : errnoFailure();
}

JLIB::JResult fsw_seek(int32_t offset, int32_t origin, T_FSW_HANDLE* handle)
{
    if (!isOpen(handle)) return kFswBadArgument;
    static const int kWhence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.seek, postFlag, handle);  // only open may be refused by a hook
    const JLIB::JResult r = std::fseek(streamOf(handle), offset, kWhence[origin]) == 0 ? kFswOk : errnoFailure();
    callPost(gl_callbackObj.seek, postFlag, handle);
    return r;
}

JLIB::JResult fsw_tell(uint32_t* position, T_FSW_HANDLE* handle)
{
    if (!position || !isOpen(handle)) return kFswBadArgument;
    *position = 0;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.tell, postFlag, handle);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    const long pos = std::ftell(streamOf(handle));
    if (pos < 0) {
        r = errnoFailure();
    } else if (static_cast<unsigned long>(pos) > UINT32_MAX) {
        r = kFswTooLarge;  // a cut position would point into the wrong place
    } else {
        *position = static_cast<uint32_t>(pos);
    }
    callPost(gl_callbackObj.tell, postFlag, handle);
    return r;
}

JLIB::JResult fsw_getSize(uint32_t* size, const char* path)
{
    if (!size || !path) return kFswBadArgument;
    *size = 0;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.getSize, postFlag, path);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    struct stat st {};
    if (stat(path, &st) != 0) {
        r = errnoFailure();
    } else if (static_cast<uint64_t>(st.st_size) > UINT32_MAX) {
        r = kFswTooLarge;  // a cut size would have callers read part of the file as the whole
    } else {
        *size = static_cast<uint32_t>(st.st_size);
    }
    callPost(gl_callbackObj.getSize, postFlag, path);
    return r;
}

JLIB::JResult fsw_getTimeStamp(T_FSW_DATETIME* modified, const char* path)
{
    if (!modified || !path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.getTimeStamp, postFlag, path);  // only open may be refused by a hook
    struct stat st {};
    const JLIB::JResult r = stat(path, &st) == 0 ? convTimeToFSWTime(st.st_mtime, modified) : errnoFailure();
    callPost(gl_callbackObj.getTimeStamp, postFlag, path);
    return r;
}

JLIB::JResult fsw_setTimeStamp(const T_FSW_DATETIME* time, const char* path)
{
    if (!time || !path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.setTimeStamp, postFlag, path);  // only open may be refused by a hook
    time_t t = 0;
    JLIB::JResult r = convFSWTimeToTime(time, &t);
    if (JLIB::isSuccess(r)) r = setTimes(path, t, t);
    callPost(gl_callbackObj.setTimeStamp, postFlag, path);
    return r;
}

JLIB::JResult fsw_getDateTime(T_FSW_DATETIME* changed, T_FSW_DATETIME* accessed, T_FSW_DATETIME* modified,
                              const char* path)
{
    if (!path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.getDateTime, postFlag, path);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    struct stat st {};
    if (stat(path, &st) != 0) {
        r = errnoFailure();
    } else {
        const std::pair<T_FSW_DATETIME*, time_t> outs[3] = {
            {changed, st.st_ctime}, {accessed, st.st_atime}, {modified, st.st_mtime}};
        for (const auto& [out, t] : outs) {
            if (out && JLIB::isFailure(convTimeToFSWTime(t, out))) r = kFswBadArgument;
        }
    }
    callPost(gl_callbackObj.getDateTime, postFlag, path);
    return r;
}

JLIB::JResult fsw_setDateTime(const T_FSW_DATETIME* changed, const T_FSW_DATETIME* accessed,
                              const T_FSW_DATETIME* modified, const char* path)
{
    (void)changed;  // the status-change time cannot be set
    if (!path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.setDateTime, postFlag, path);  // only open may be refused by a hook
    time_t a = 0;
    time_t m = 0;
    JLIB::JResult r = convFSWTimeToTime(accessed, &a);
    if (JLIB::isSuccess(r)) r = convFSWTimeToTime(modified, &m);
    if (JLIB::isSuccess(r)) r = setTimes(path, a, m);
    callPost(gl_callbackObj.setDateTime, postFlag, path);
    return r;
}

JLIB::JResult fsw_getAttribute(uint32_t* attribute, const char* path)
{
    if (!attribute || !path) return kFswBadArgument;
    *attribute = 0;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.getAttribute, postFlag, path);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    struct stat st {};
    if (stat(path, &st) != 0) {
        r = errnoFailure();
    } else {
        uint32_t word = 0;
        if (S_ISREG(st.st_mode)) word |= kFswAttrFile;
        if (S_ISDIR(st.st_mode)) word |= kFswAttrDirectory;
        const mode_t modes[9] = {S_IXOTH, S_IWOTH, S_IROTH, S_IXGRP, S_IWGRP, S_IRGRP, S_IXUSR, S_IWUSR, S_IRUSR};
        const uint32_t bits[9] = {kFswAttrOtherExec, kFswAttrOtherWrite, kFswAttrOtherRead,
                                  kFswAttrGroupExec, kFswAttrGroupWrite, kFswAttrGroupRead,
                                  kFswAttrOwnerExec, kFswAttrOwnerWrite, kFswAttrOwnerRead};
        for (int i = 0; i < 9; ++i) {
            if (st.st_mode & modes[i]) word |= bits[i];
        }
        if ((st.st_mode & 0222) == 0) word |= kFswAttrNoWrite | kFswAttrReadOnly;
        word |= (st.st_mode & 0111) ? kFswAttrExecutable : kFswAttrNoExec;
        *attribute = word;
    }
    callPost(gl_callbackObj.getAttribute, postFlag, path);
    return r;
}

JLIB::JResult fsw_setAttribute(uint32_t attribute, const char* path)
{
    if (!path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.setAttribute, postFlag, path);  // only open may be refused by a hook
    const JLIB::JResult r = chmod(path, modeFromAttribute(attribute)) == 0 ? kFswOk : errnoFailure();
    callPost(gl_callbackObj.setAttribute, postFlag, path);
    return r;
}

JLIB::JResult fsw_makeFile(const char* path)
{
    T_FSW_HANDLE handle = kFswInvalidHandle;
    JLIB_RETURN_IF_FAILED(fsw_open(&handle, path, kFswOpenWrite | kFswOpenAppend));
    return fsw_close(&handle);
}

JLIB::JResult fsw_removeFile(const char* path)
{
    if (!path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.removeFile, postFlag, path);  // only open may be refused by a hook
    const JLIB::JResult r = std::remove(path) == 0 ? kFswOk : errnoFailure();
    callPost(gl_callbackObj.removeFile, postFlag, path);
    return r;
}

JLIB::JResult fsw_rename(const char* oldPath, const char* newPath)
{
    if (!oldPath || !newPath) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.rename, postFlag, oldPath, newPath);  // only open may be refused by a hook
    const JLIB::JResult r = std::rename(oldPath, newPath) == 0 ? kFswOk : errnoFailure();
    callPost(gl_callbackObj.rename, postFlag, oldPath, newPath);
    return r;
}

namespace {

JLIB::JResult copyContents(const char* source, const char* destination)
{
    FileOwner in(std::fopen(source, "rb"));
    if (!in) return kFswNotFound;
    FILE* out = std::fopen(destination, "wb");
    if (!out) return kFswNotFound;
    JLIB::JResult r = kFswOk;
    char block[256];
    for (;;) {
        const size_t n = std::fread(block, 1, sizeof(block), in.get());
        if (n == 0) {
            if (!std::feof(in.get())) r = kFswOther;
            break;
        }
        // Anything short of what was read would leave a silently truncated copy.
        if (std::fwrite(block, 1, n, out) != n) {
            r = kFswOther;
            break;
        }
    }
    // Closing flushes the last block: its failure loses data as surely as a failed write.
    errno = 0;
    if (std::fclose(out) != 0 && JLIB::isSuccess(r)) r = errnoFailure();
    return r;
}

}  // namespace

JLIB::JResult fsw_copy(const char* source, const char* destination)
{
    if (!source || !destination) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.copy, postFlag, source, destination);  // only open may be refused by a hook
    const JLIB::JResult r = copyContents(source, destination);
    callPost(gl_callbackObj.copy, postFlag, source, destination);
    return r;
}

JLIB::JResult fsw_makeDir(const char* path)
{
    if (!path) return kFswBadArgument;
    const size_t length = std::strlen(path);
    // The prefixes are built in a buffer of this size; a longer path is refused, never cut.
    if (length >= kFswMaxPath) return kFswNameTooLong;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.makeDir, postFlag, path);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    char prefix[kFswMaxPath];
    for (size_t i = 1; i < length && JLIB::isSuccess(r); ++i) {
        if (path[i] != '/' && path[i] != '\\') continue;
        std::memcpy(prefix, path, i);
        prefix[i] = '\0';
        r = makeOneDir(prefix);
    }
    if (JLIB::isSuccess(r)) r = makeOneDir(path);
    callPost(gl_callbackObj.makeDir, postFlag, path);
    return r;
}

namespace {

JLIB::JResult copyTree(const char* source, const char* destination)
{
    if (JLIB::isFailure(fsw_makeDir(destination))) return kFswNotFound;
    T_FSW_DIR* dir = nullptr;
    if (JLIB::isFailure(fsw_openDir(&dir, source))) return kFswNotFound;
    bool failed = false;
    for (;;) {
        NameOwner name;
        const WalkStep step = nextWalkEntry(dir, "fsw_copyDir", &name);
        if (step != WalkStep::Entry) {
            failed = step == WalkStep::Failed;
            break;
        }
        if (isDotEntry(name.get())) continue;
        const std::string from = std::string(source) + "/" + name.get();
        const std::string to = std::string(destination) + "/" + name.get();
        EntryKind kind = EntryKind::Other;
        JLIB::JResult r = classify(from, &kind);
        if (JLIB::isSuccess(r)) {
            switch (kind) {
            case EntryKind::Directory: r = fsw_copyDir(from.c_str(), to.c_str()); break;
            case EntryKind::Link: r = copyLink(from, to); break;
            case EntryKind::Other: r = fsw_copy(from.c_str(), to.c_str()); break;
            }
        }
        if (JLIB::isFailure(r)) {
            failed = true;
            break;
        }
    }
    (void)fsw_closeDir(dir);  // read-only listing: a failed close loses nothing
    return failed ? kFswIncomplete : kFswOk;
}

JLIB::JResult removeTree(const char* path)
{
    EntryKind top = EntryKind::Other;
    if (JLIB::isSuccess(classify(path, &top)) && top == EntryKind::Link) {
        // Removing a link to a folder removes the link, never the folder it points at.
        return std::remove(path) == 0 ? kFswOk : kFswIncomplete;
    }
    T_FSW_DIR* dir = nullptr;
    if (JLIB::isFailure(fsw_openDir(&dir, path))) return kFswNotFound;
    bool failed = false;
    for (;;) {
        NameOwner name;
        const WalkStep step = nextWalkEntry(dir, "fsw_removeDir", &name);
        if (step != WalkStep::Entry) {
            failed = step == WalkStep::Failed;
            break;
        }
        if (isDotEntry(name.get())) continue;
        const std::string entry = std::string(path) + "/" + name.get();
        EntryKind kind = EntryKind::Other;
        JLIB::JResult r = classify(entry, &kind);
        if (JLIB::isSuccess(r)) {
            r = kind == EntryKind::Directory ? fsw_removeDir(entry.c_str(), true) : fsw_removeFile(entry.c_str());
        }
        if (JLIB::isFailure(r)) {
            failed = true;
            break;
        }
    }
    (void)fsw_closeDir(dir);  // the entries are gone or the walk already failed
    if (!failed && std::remove(path) != 0) failed = true;
    return failed ? kFswIncomplete : kFswOk;
}

}  // namespace

JLIB::JResult fsw_copyDir(const char* source, const char* destination)
{
    if (!source || !destination) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.copyDir, postFlag, source, destination);  // only open may be refused by a hook
    const JLIB::JResult r = copyTree(source, destination);
    callPost(gl_callbackObj.copyDir, postFlag, source, destination);
    return r;
}

JLIB::JResult fsw_removeDir(const char* path, bool recursive)
{
    if (!path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.removeDir, postFlag, path);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    if (!recursive) {
        r = std::remove(path) == 0 ? kFswOk : errnoFailure();
    } else {
        r = removeTree(path);
    }
    callPost(gl_callbackObj.removeDir, postFlag, path);
    return r;
}

JLIB::JResult fsw_openDir(T_FSW_DIR** dir, const char* path)
{
    if (!dir || !path) return kFswBadArgument;
    *dir = nullptr;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.openDir, postFlag, path, static_cast<T_FSW_DIR*>(nullptr));  // only open may be refused
    JLIB::JResult r = kFswOk;
    T_FSW_DIR* holder = JLIB::JNew<T_FSW_DIR>(0, "fsw_openDir", 1);
    if (!holder) {
        r = kFswNoMemory;
    } else {
        holder->stream = opendir(path);
        if (!holder->stream) {
            r = errnoFailure();
            (void)JLIB::JDelete(holder);  // our own block, freed once
        } else {
            *dir = holder;
        }
    }
    callPost(gl_callbackObj.openDir, postFlag, path, *dir);
    return r;
}

JLIB::JResult fsw_readDirSize(T_FSW_DIR* dir, uint32_t* size)
{
    if (!size) return kFswBadArgument;
    if (!dir || !dir->stream) return kFswWrongKind;
    *size = kFswDirEntryNameSize;
    return kFswOk;
}

JLIB::JResult fsw_readDir(T_FSW_DIR* dir, char* buffer, uint32_t size)
{
    if (!buffer || size == 0) return kFswBadArgument;
    if (!dir || !dir->stream) return kFswWrongKind;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.readDir, postFlag, dir);  // only open may be refused by a hook
    const JLIB::JResult r = readEntryName(dir->stream, buffer, size, kFswNotFound);
    callPost(gl_callbackObj.readDir, postFlag, dir);
    return r;
}

JLIB::JResult fsw_closeDir(T_FSW_DIR* dir)
{
    if (!dir || !dir->stream) return kFswWrongKind;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.closeDir, postFlag, dir);  // only open may be refused by a hook
    const JLIB::JResult r = closedir(dir->stream) == 0 ? kFswOk : errnoFailure();
    dir->stream = nullptr;
    callPost(gl_callbackObj.closeDir, postFlag, dir);
    (void)JLIB::JDelete(dir);  // our own block, freed once
    return r;
}

JLIB::JResult fsw_findFirst(T_FSW_FIND* find, char* name, uint32_t size, const char* path)
{
    if (!find || !name || size == 0 || !path) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.findFirst, postFlag, path, find);  // only open may be refused by a hook
    JLIB::JResult r = kFswOk;
    DIR* stream = opendir(path);
    if (!stream) {
        r = kFswFailed;
    } else {
        r = readEntryName(stream, name, size, kFswFailed);
        if (JLIB::isFailure(r)) {
            if (errno != 0) r = toFswError(errno);
            (void)closedir(stream);  // nothing was read from it
        } else {
            *find = stream;
        }
    }
    callPost(gl_callbackObj.findFirst, postFlag, path, JLIB::isSuccess(r) ? find : nullptr);
    return r;
}

JLIB::JResult fsw_findNext(T_FSW_FIND* find, char* name, uint32_t size)
{
    if (!find || !*find || !name || size == 0) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.findNext, postFlag, find);  // only open may be refused by a hook
    const JLIB::JResult r = readEntryName(static_cast<DIR*>(*find), name, size, kFswFailed);
    callPost(gl_callbackObj.findNext, postFlag, find);
    return r;
}

JLIB::JResult fsw_closeFindEntry(T_FSW_FIND* find)
{
    if (!find || !*find) return kFswBadArgument;
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.closeFind, postFlag, find);  // only open may be refused by a hook
    const JLIB::JResult r = closedir(static_cast<DIR*>(*find)) == 0 ? kFswOk : errnoFailure();
    // closedir frees the stream even when it fails: keeping the pointer would leave it dangling.
    *find = nullptr;
    callPost(gl_callbackObj.closeFind, postFlag, find);
    return r;
}

JLIB::JResult fsw_format(const char* path)
{
    uint32_t postFlag = 0;
    (void)callPre(gl_callbackObj.format, postFlag, path);  // only open may be refused by a hook
    callPost(gl_callbackObj.format, postFlag, path);
    return kFswOther;
}

JLIB::JResult fsw_sync()
{
    // The flush the "/bin/sync" command does, without forking the whole engine for a shell:
    // the fork cost several milliseconds on every committed file transfer.
    ::sync();
    return kFswOk;
}

JLIB::JResult fsw_setSemId(uint16_t semId)
{
    (void)semId;
    return kFswNotSupported;
}

JLIB::JResult fsw_setCallback(const T_FSW_CALLBACK* table)
{
    if (!table) return kFswBadArgument;
    gl_callbackObj = *table;
    return kFswOk;
}
