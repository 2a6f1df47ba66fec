#pragma once
// The platform layer of the parameter tree library: every allocation, string and memory
// primitive, file access, digest and diagnostic line of the tree goes through these functions.
// No state and no lock: any task may call them (the heap manager of heap 1 keeps itself safe).
#include <cstddef>
#include <cstdint>
#include <new>

#include "mms_Result.h"

namespace MMS {

// The library's heap: heap number 1, allocation tag "MMS Wrap".
constexpr unsigned char kMmsHeapId = 1;
constexpr const char* kMmsHeapTag = "MMS Wrap";

// One open file: the file-system wrapper's handle, in an 8-byte block from the library heap.
struct T_MMS_FILE {
    intptr_t handle;
};

// A block of size bytes from heap 1 (not cleared), with heap 1's trace flag; null for size 0 or
// when no heap manager is registered for heap 1.
void* mmsMalloc(uint32_t size);
// Gives a block back to heap 1; null and a missing manager are ignored. Always 0.
uint32_t mmsFree(void* block);

// Fill / copy / compare n bytes: 0 (compare: 1 a greater, 2 a smaller); 0x80000003 for a null
// pointer (and for n = 0 in mmsMemset).
[[nodiscard]] uint32_t mmsMemset(void* p, unsigned char value, uint32_t n);
[[nodiscard]] uint32_t mmsMemcpy(void* dst, const void* src, uint32_t n);
[[nodiscard]] uint32_t mmsMemcmp(const void* a, const void* b, uint32_t n);

// Characters before the first NUL, at most n; 0 for a null text.
uint32_t mmsStrnlen(const char* s, uint32_t n);
// Offset from s of the first c among s[start] .. s[size-1], stopping at a NUL; 0x80000004 when
// absent; 0x80000003 for a null s, size 0 or start not below size.
[[nodiscard]] uint32_t mmsStrchr(const char* s, char c, uint32_t start, uint32_t size);
// At most n characters: 0 equal, 1 a greater, 2 a smaller; 0x80000003 for null or n = 0.
[[nodiscard]] uint32_t mmsStrncmp(const char* a, const char* b, uint32_t n);
// Copies at most n characters and a NUL after them (dst holds n + 1 bytes): 0, 5 when src was
// longer than n, 0x80000003 for a null pointer or n = 0.
[[nodiscard]] uint32_t mmsStrncpy(char* dst, const char* src, uint32_t n);

// a - q * b with q = a / b truncated toward zero; std::fmod where that quotient is not a finite
// value within the signed 32-bit range or b is not finite.
float mmsFmod(float a, float b);

// Opens a file for reading: mode 1 and 3 read-only, any mode without bit 0 fails and allocates
// nothing. 0, or 0x80000000 on any failure (then *handle is null when handle was given).
[[nodiscard]] uint32_t mmsFileOpen(T_MMS_FILE** handle, const char* path, uint32_t mode);
// Reads up to size bytes: 0 with *count the bytes read (fewer at the end of the file);
// 0x80000000 for a null argument or a read error.
[[nodiscard]] uint32_t mmsFileRead(void* buffer, uint32_t* count, uint32_t size, const T_MMS_FILE* handle);
// Closes the file and frees the handle block: 0, or 0x80000000 for null or a close error.
uint32_t mmsFileClose(T_MMS_FILE* handle);

// MD5 of size bytes as 32 lower-case hexadecimal characters, no terminator: 0;
// 0x80000002 for a null out, or null data with a size above 0.
uint32_t mmsCalcMD5(char* out, const unsigned char* data, uint32_t size);

// Bytes for that many one-bit flags.
uint32_t mmsLinkDirtyMemorySize(uint32_t bits);

// Formats one line of at most 255 characters and prints it through the debug print without
// reading a "%" in it again. Always 0.
uint32_t mmsAssertOutput(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace MMS

// The eight class allocation operators of a tree class, over mmsMalloc and mmsFree. The throwing
// forms are noexcept too, so a failed allocation yields null (and no constructor runs) instead of
// throwing; callers test the pointer.
#define MMS_CLASS_ALLOCATORS                                                                   \
    static void* operator new(std::size_t size) noexcept { return ::MMS::mmsClassAlloc(size); } \
    static void* operator new[](std::size_t size) noexcept { return ::MMS::mmsClassAlloc(size); } \
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept                \
    {                                                                                          \
        return ::MMS::mmsClassAlloc(size);                                                     \
    }                                                                                          \
    static void* operator new[](std::size_t size, const std::nothrow_t&) noexcept              \
    {                                                                                          \
        return ::MMS::mmsClassAlloc(size);                                                     \
    }                                                                                          \
    static void operator delete(void* block) noexcept { (void)::MMS::mmsFree(block); }        \
    static void operator delete[](void* block) noexcept { (void)::MMS::mmsFree(block); }      \
    static void operator delete(void* block, const std::nothrow_t&) noexcept                   \
    {                                                                                          \
        (void)::MMS::mmsFree(block);                                                           \
    }                                                                                          \
    static void operator delete[](void* block, const std::nothrow_t&) noexcept                 \
    {                                                                                          \
        (void)::MMS::mmsFree(block);                                                           \
    }

namespace MMS {
// A size the 32-bit heap cannot take is refused, never shortened.
inline void* mmsClassAlloc(std::size_t size)
{
    if (size > 0xFFFFFFFFu) return nullptr;
    return mmsMalloc(static_cast<uint32_t>(size));
}
}  // namespace MMS
