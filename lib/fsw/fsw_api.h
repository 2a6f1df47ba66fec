#pragma once
// File-system wrapper: the only way the engine touches files and folders.
// Plain functions, no lock: any task may call them; one open file, listing or search belongs
// to one task at a time. Every failure is a result code mapped from errno (toFswError).
#include <cstdint>

#include "jlib/jlib_result.h"

// Result codes.
constexpr JLIB::JResult kFswOk = 0;
constexpr JLIB::JResult kFswEndOfFile = 1;               // fsw_read: the end cut the read short
constexpr JLIB::JResult kFswFailed = 0x80000000u;        // helpers; fsw_findFirst/findNext
constexpr JLIB::JResult kFswNotFound = 0x80000001u;      // also the end of fsw_readDir
constexpr JLIB::JResult kFswExists = 0x80000002u;
constexpr JLIB::JResult kFswWrongKind = 0x80000003u;     // also a listing handle not open
constexpr JLIB::JResult kFswIncomplete = 0x80000004u;    // a tree not made, copied or removed whole
constexpr JLIB::JResult kFswNotEmpty = 0x80000005u;
constexpr JLIB::JResult kFswBusy = 0x80000006u;
constexpr JLIB::JResult kFswNameTooLong = 0x80000010u;
constexpr JLIB::JResult kFswTooLarge = 0x80000012u;
constexpr JLIB::JResult kFswTooManyOpen = 0x80000013u;
constexpr JLIB::JResult kFswQuota = 0x80000014u;
constexpr JLIB::JResult kFswNotSupported = 0x80000100u;
constexpr JLIB::JResult kFswIoError = 0x80001000u;
constexpr JLIB::JResult kFswNoMemory = 0x80001001u;
constexpr JLIB::JResult kFswBadArgument = 0x8000F000u;
constexpr JLIB::JResult kFswOther = 0x8000FFFFu;

// Open bits of fsw_open.
constexpr uint32_t kFswOpenRead = 0x01;
constexpr uint32_t kFswOpenWrite = 0x02;
constexpr uint32_t kFswOpenExisting = 0x10;
constexpr uint32_t kFswOpenAppend = 0x20;
constexpr uint32_t kFswOpenCreate = 0x40;   // create or truncate

// Attribute word bits.
constexpr uint32_t kFswAttrFile = 0x00000001;
constexpr uint32_t kFswAttrReadOnly = 0x00000002;
constexpr uint32_t kFswAttrHidden = 0x00000008;
constexpr uint32_t kFswAttrExecutable = 0x00000040;
constexpr uint32_t kFswAttrDirectory = 0x00000080;
constexpr uint32_t kFswAttrOtherExec = 0x00010000;
constexpr uint32_t kFswAttrOtherWrite = 0x00020000;
constexpr uint32_t kFswAttrOtherRead = 0x00040000;
constexpr uint32_t kFswAttrGroupExec = 0x00100000;
constexpr uint32_t kFswAttrGroupWrite = 0x00200000;
constexpr uint32_t kFswAttrGroupRead = 0x00400000;
constexpr uint32_t kFswAttrOwnerExec = 0x01000000;
constexpr uint32_t kFswAttrOwnerWrite = 0x02000000;
constexpr uint32_t kFswAttrOwnerRead = 0x04000000;
constexpr uint32_t kFswAttrPermissionMask = 0x07770000;
constexpr uint32_t kFswAttrNoExec = 0x10000000;
constexpr uint32_t kFswAttrNoWrite = 0x40000000;

// Size of the name buffer fsw_readDirSize reports.
constexpr uint32_t kFswDirEntryNameSize = 256;
// Longest path fsw_makeDir takes, terminator included.
constexpr uint32_t kFswMaxPath = 1024;

// A date-time record: UTC when read from a file, local time when given to set one.
struct T_FSW_DATETIME {
    uint16_t year;    // full year
    uint8_t month;    // 1-12
    uint8_t day;      // 1-31
    uint8_t hour;     // 0-23
    uint8_t minute;   // 0-59
    uint8_t second;   // 0-61
};

// An open file: the stdio stream, or kFswInvalidHandle when none is open.
using T_FSW_HANDLE = intptr_t;
constexpr T_FSW_HANDLE kFswInvalidHandle = -1;

// A directory listing made by fsw_openDir and freed by fsw_closeDir.
struct T_FSW_DIR;

// A search of fsw_findFirst: the directory stream, null when none is open.
using T_FSW_FIND = void*;

// Hooks around the operations. A pre hook sets *postFlag to non-zero to have the post hook
// called after the work; only fsw_open looks at the pre hook's result. Null slots are skipped.
using FswNotifyFunc = void (*)(uint32_t event);
using FswPreWithPath = JLIB::JResult (*)(uint32_t* postFlag, const char* path);
using FswPostWithPath = void (*)(const char* path);
using FswPreWithHandle = JLIB::JResult (*)(uint32_t* postFlag, T_FSW_HANDLE* handle);
using FswPostWithHandle = void (*)(T_FSW_HANDLE* handle);
using FswPreWithPath2 = JLIB::JResult (*)(uint32_t* postFlag, const char* first, const char* second);
using FswPostWithPath2 = void (*)(const char* first, const char* second);
using FswPreWithPathAndFind = JLIB::JResult (*)(uint32_t* postFlag, const char* path, T_FSW_FIND* find);
using FswPostWithPathAndFind = void (*)(const char* path, T_FSW_FIND* find);
using FswPreWithFind = JLIB::JResult (*)(uint32_t* postFlag, T_FSW_FIND* find);
using FswPostWithFind = void (*)(T_FSW_FIND* find);
using FswPreWithPathAndDir = JLIB::JResult (*)(uint32_t* postFlag, const char* path, T_FSW_DIR* dir);
using FswPostWithPathAndDir = void (*)(const char* path, T_FSW_DIR* dir);
using FswPreWithDir = JLIB::JResult (*)(uint32_t* postFlag, T_FSW_DIR* dir);
using FswPostWithDir = void (*)(T_FSW_DIR* dir);

template <typename Pre, typename Post>
struct FswHookPair {
    Pre pre;
    Post post;
};

// The process-wide hook table: 7 notification slots the wrapper never calls, then one pair
// per operation. Open passes the path to its pre hook and the handle (null on failure) to its
// post hook; find first and open directory likewise pass null to the post hook on failure.
struct T_FSW_CALLBACK {
    FswNotifyFunc notify[7];
    FswHookPair<FswPreWithPath, FswPostWithHandle> open;
    FswHookPair<FswPreWithHandle, FswPostWithHandle> close;
    FswHookPair<FswPreWithHandle, FswPostWithHandle> read;
    FswHookPair<FswPreWithHandle, FswPostWithHandle> write;
    FswHookPair<FswPreWithHandle, FswPostWithHandle> unused1;
    FswHookPair<FswPreWithHandle, FswPostWithHandle> seek;
    FswHookPair<FswPreWithHandle, FswPostWithHandle> tell;
    FswHookPair<FswPreWithPath, FswPostWithPath> getSize;
    FswHookPair<FswPreWithPath, FswPostWithPath> getTimeStamp;
    FswHookPair<FswPreWithPath, FswPostWithPath> setTimeStamp;
    FswHookPair<FswPreWithPath, FswPostWithPath> getDateTime;
    FswHookPair<FswPreWithPath, FswPostWithPath> setDateTime;
    FswHookPair<FswPreWithPath, FswPostWithPath> getAttribute;
    FswHookPair<FswPreWithPath, FswPostWithPath> setAttribute;
    FswHookPair<FswPreWithPath, FswPostWithPath> unused2;
    FswHookPair<FswPreWithPath, FswPostWithPath> removeFile;
    FswHookPair<FswPreWithPath2, FswPostWithPath2> rename;
    FswHookPair<FswPreWithPath2, FswPostWithPath2> copy;
    FswHookPair<FswPreWithPath, FswPostWithPath> makeDir;
    FswHookPair<FswPreWithPath2, FswPostWithPath2> copyDir;
    FswHookPair<FswPreWithPath, FswPostWithPath> removeDir;
    FswHookPair<FswPreWithPathAndFind, FswPostWithPathAndFind> findFirst;
    FswHookPair<FswPreWithFind, FswPostWithFind> findNext;
    FswHookPair<FswPreWithFind, FswPostWithFind> closeFind;
    FswHookPair<FswPreWithPathAndDir, FswPostWithPathAndDir> openDir;
    FswHookPair<FswPreWithDir, FswPostWithDir> unused3;
    FswHookPair<FswPreWithDir, FswPostWithDir> readDir;
    FswHookPair<FswPreWithDir, FswPostWithDir> closeDir;
    FswHookPair<FswPreWithPath, FswPostWithPath> format;
};
static_assert(sizeof(T_FSW_CALLBACK) == 65 * sizeof(void*), "the hook table has 65 slots");

// Maps an errno value to the wrapper's code; errno values not in the map give kFswOther.
[[nodiscard]] JLIB::JResult toFswError(int err);

// Files. Every call answers a null argument or an invalid handle with kFswBadArgument first.
// Open: on failure *handle is kFswInvalidHandle. Close always leaves *handle invalid.
[[nodiscard]] JLIB::JResult fsw_open(T_FSW_HANDLE* handle, const char* path, uint32_t openBits);
[[nodiscard]] JLIB::JResult fsw_close(T_FSW_HANDLE* handle);
// Read: 0 when all bytes came, kFswEndOfFile with the count when the end came first.
[[nodiscard]] JLIB::JResult fsw_read(void* buffer, uint32_t* count, uint32_t bytes, T_FSW_HANDLE* handle);
// Write: 0 and the count only when every byte was written; *count untouched on failure.
[[nodiscard]] JLIB::JResult fsw_write(const void* data, uint32_t* count, uint32_t bytes, T_FSW_HANDLE* handle);
[[nodiscard]] JLIB::JResult fsw_flush(T_FSW_HANDLE* handle);
[[nodiscard]] JLIB::JResult fsw_fsync(T_FSW_HANDLE* handle);
// Origin 0 start, 1 current, 2 end; past the end is allowed.
[[nodiscard]] JLIB::JResult fsw_seek(int32_t offset, int32_t origin, T_FSW_HANDLE* handle);
// On failure *position is 0; a position beyond 32 bits gives kFswTooLarge.
[[nodiscard]] JLIB::JResult fsw_tell(uint32_t* position, T_FSW_HANDLE* handle);
// *size is 0 first; a size beyond 32 bits gives kFswTooLarge.
[[nodiscard]] JLIB::JResult fsw_getSize(uint32_t* size, const char* path);

// Times: read as UTC, set from local time.
[[nodiscard]] JLIB::JResult fsw_getTimeStamp(T_FSW_DATETIME* modified, const char* path);
[[nodiscard]] JLIB::JResult fsw_setTimeStamp(const T_FSW_DATETIME* time, const char* path);
// Each record may be null. The first is the status-change time when read and is not used when set;
// a null access or modification record sets that time to 1970-01-01 00:00:00 UTC.
[[nodiscard]] JLIB::JResult fsw_getDateTime(T_FSW_DATETIME* changed, T_FSW_DATETIME* accessed,
                                            T_FSW_DATETIME* modified, const char* path);
[[nodiscard]] JLIB::JResult fsw_setDateTime(const T_FSW_DATETIME* changed, const T_FSW_DATETIME* accessed,
                                            const T_FSW_DATETIME* modified, const char* path);

// Attributes (kFswAttr... bits). Get sets *attribute to 0 first.
[[nodiscard]] JLIB::JResult fsw_getAttribute(uint32_t* attribute, const char* path);
[[nodiscard]] JLIB::JResult fsw_setAttribute(uint32_t attribute, const char* path);

// Paths.
// Creates the file when missing; an existing file keeps its contents.
[[nodiscard]] JLIB::JResult fsw_makeFile(const char* path);
// Removes a file or an empty folder.
[[nodiscard]] JLIB::JResult fsw_removeFile(const char* path);
[[nodiscard]] JLIB::JResult fsw_rename(const char* oldPath, const char* newPath);
// Copies the contents only; kFswNotFound when either file cannot be opened.
[[nodiscard]] JLIB::JResult fsw_copy(const char* source, const char* destination);
// Creates the folder and its missing parents (mode 0775); an existing folder is no failure.
// kFswNameTooLong for a path of kFswMaxPath bytes or more.
[[nodiscard]] JLIB::JResult fsw_makeDir(const char* path);
// Copies a tree; symbolic links inside it are copied as links, never descended.
[[nodiscard]] JLIB::JResult fsw_copyDir(const char* source, const char* destination);
// Recursive removal removes symbolic links themselves, never what they point at.
[[nodiscard]] JLIB::JResult fsw_removeDir(const char* path, bool recursive);

// Listings. The holder is allocated by fsw_openDir and freed by fsw_closeDir (also on failure).
// A handle without an open listing gives kFswWrongKind.
[[nodiscard]] JLIB::JResult fsw_openDir(T_FSW_DIR** dir, const char* path);
[[nodiscard]] JLIB::JResult fsw_readDirSize(T_FSW_DIR* dir, uint32_t* size);
// The next name ("." and ".." included), cut to the buffer; kFswNotFound and "" at the end.
[[nodiscard]] JLIB::JResult fsw_readDir(T_FSW_DIR* dir, char* buffer, uint32_t size);
[[nodiscard]] JLIB::JResult fsw_closeDir(T_FSW_DIR* dir);

// Searches: the stream lives in *find from fsw_findFirst to fsw_closeFindEntry.
// findFirst: kFswFailed when the folder cannot be opened; findNext: kFswFailed at the end.
[[nodiscard]] JLIB::JResult fsw_findFirst(T_FSW_FIND* find, char* name, uint32_t size, const char* path);
[[nodiscard]] JLIB::JResult fsw_findNext(T_FSW_FIND* find, char* name, uint32_t size);
[[nodiscard]] JLIB::JResult fsw_closeFindEntry(T_FSW_FIND* find);

// Not supported on this platform: kFswOther (the hooks still run).
[[nodiscard]] JLIB::JResult fsw_format(const char* path);
// Flushes every file-system buffer of the machine; always 0.
JLIB::JResult fsw_sync();
// The wrapper takes no lock: kFswNotSupported.
[[nodiscard]] JLIB::JResult fsw_setSemId(uint16_t semId);
// Copies the table over the process-wide one; call before the wrapper is in use.
[[nodiscard]] JLIB::JResult fsw_setCallback(const T_FSW_CALLBACK* table);
