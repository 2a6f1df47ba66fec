#include "jlib_tag.h"

#include "jlib/jlib_cfg.h"

#include <atomic>
#include <cstring>

const char gl_strNameOfEndTag[] = "END TAG";

namespace {

constexpr uint32_t kTagSize = sizeof(T_JLIB_FILETAG);

// -1 until the first call; 1 on a little-endian host, whose words are swapped to and from
// the big-endian image. Atomic because any task may be the first.
std::atomic<int> gl_isSwap{-1};

bool _checkEndian()
{
    int swap = gl_isSwap.load(std::memory_order_relaxed);
    if (swap < 0) {
        const uint32_t probe = 1;
        unsigned char first = 0;
        std::memcpy(&first, &probe, 1);
        swap = first == 1 ? 1 : 0;
        gl_isSwap.store(swap, std::memory_order_relaxed);
    }
    return swap == 1;
}

uint32_t swapWord(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

void _tagSwap(T_JLIB_FILETAG& tag)
{
    tag.userWord1 = swapWord(tag.userWord1);
    tag.userWord2 = swapWord(tag.userWord2);
    tag.elementCount = swapWord(tag.elementCount);
    tag.elementSize = swapWord(tag.elementSize);
}

template <typename P>
P alignUp4(P p)
{
    const auto address = reinterpret_cast<uintptr_t>(p);
    return p + ((4 - (address & 3u)) & 3u);
}

uint64_t dataBytes(const T_JLIB_FILETAG& tag)
{
    return uint64_t{tag.elementCount} * tag.elementSize;
}

// Selects the bytes of one element or of the whole area, in 64 bits.
void selectArea(const T_JLIB_FILETAG& tag, uint32_t index, uint64_t* offset, uint64_t* bytes)
{
    if (index < tag.elementCount) {
        *offset = uint64_t{index} * tag.elementSize;
        *bytes = tag.elementSize;
    } else {
        *offset = 0;
        *bytes = dataBytes(tag);
    }
}

}  // namespace

JLIB::JResult jlib_fileTagMake(T_JLIB_FILETAG* tag, const char* name, uint32_t userWord1, uint32_t userWord2,
                               uint32_t elementCount, uint32_t elementSize)
{
    if (!tag || !name) return JLIB::kInvalidArgument;
    std::memset(tag, 0, sizeof *tag);
    std::strncpy(tag->name, name, sizeof tag->name - 1);
    tag->userWord1 = userWord1;
    tag->userWord2 = userWord2;
    tag->elementCount = elementCount;
    tag->elementSize = elementSize;
    return JLIB::kOk;
}

JLIB::JResult jlib_fileTagWrite(unsigned char** next, unsigned char* destination, const T_JLIB_FILETAG* tag)
{
    if (!next || !destination) return JLIB::kInvalidArgument;
    T_JLIB_FILETAG copy;
    if (tag) {
        copy = *tag;
    } else {
        JLIB_RETURN_IF_FAILED(jlib_fileTagMake(&copy, gl_strNameOfEndTag, 0, 0, 0, 0));
    }
    if (!std::memchr(copy.name, '\0', sizeof copy.name)) return JLIB::kInvalidArgument;
    if (_checkEndian()) _tagSwap(copy);
    unsigned char* at = alignUp4(destination);
    std::memcpy(at, &copy, kTagSize);
    *next = at + kTagSize;
    return JLIB::kOk;
}

JLIB::JResult jlib_fileTagFind(const unsigned char** data, const unsigned char* start, const unsigned char* end,
                               const char* name, T_JLIB_FILETAG* copy)
{
    if (!start || !end || !name) return JLIB::kInvalidArgument;
    const bool swap = _checkEndian();
    if (end <= start) return 0x80000002u;
    const uintptr_t misalignment = reinterpret_cast<uintptr_t>(start) & 3u;
    if (misalignment && static_cast<uintptr_t>(end - start) <= 4 - misalignment) return 0x80000002u;
    const unsigned char* pos = alignUp4(start);
    while (pos < end) {
        // The image may come from a file: every size is checked against the end before use.
        const uint64_t left = static_cast<uint64_t>(end - pos);
        if (left < kTagSize) {
            JLIB_LOG("[E] jlib_fileTagFind - Broken tag record. [offset=%u, left=%u]\n",
                     static_cast<unsigned>(pos - start), static_cast<unsigned>(left));
            return 0x80000002u;
        }
        T_JLIB_FILETAG tag;
        std::memcpy(&tag, pos, kTagSize);
        if (swap) _tagSwap(tag);
        if (tag.elementSize == 0 && std::strncmp(tag.name, gl_strNameOfEndTag, sizeof tag.name) == 0) {
            return 0x80000003u;
        }
        const uint64_t bytes = dataBytes(tag);
        if (std::strncmp(tag.name, name, sizeof tag.name) == 0) {
            if (bytes > left - kTagSize) {
                JLIB_LOG("[E] jlib_fileTagFind - Tag data exceeds the image. [offset=%u]\n",
                         static_cast<unsigned>(pos - start));
                return 0x80000002u;
            }
            if (copy) *copy = tag;
            if (data) *data = pos + kTagSize;
            return JLIB::kOk;
        }
        const uint64_t advance = (kTagSize + bytes + 3) & ~uint64_t{3};
        if (advance >= left) return 0x80000002u;
        pos += advance;
    }
    return 0x80000002u;
}

JLIB::JResult jlib_fileTagFindData(const unsigned char* start, const unsigned char* end, const char* name,
                                   uint32_t index, void* destination, uint32_t size)
{
    if (!destination && size != 0) return JLIB::kInvalidArgument;
    const unsigned char* data = nullptr;
    T_JLIB_FILETAG tag;
    JLIB_RETURN_IF_FAILED(jlib_fileTagFind(&data, start, end, name, &tag));
    uint64_t offset = 0;
    uint64_t bytes = 0;
    selectArea(tag, index, &offset, &bytes);
    if (bytes > size) bytes = size;
    if (bytes) std::memcpy(destination, data + offset, static_cast<size_t>(bytes));
    return JLIB::kOk;
}

JLIB::JResult jlib_fileTagWriteData(unsigned char* start, unsigned char* end, const char* name, uint32_t index,
                                    const void* source, uint32_t size)
{
    if (!source && size != 0) return JLIB::kInvalidArgument;
    const unsigned char* data = nullptr;
    T_JLIB_FILETAG tag;
    JLIB_RETURN_IF_FAILED(jlib_fileTagFind(&data, start, end, name, &tag));
    uint64_t offset = 0;
    uint64_t bytes = 0;
    selectArea(tag, index, &offset, &bytes);
    if (bytes > size) bytes = size;
    // The position lies inside the caller's writable image.
    unsigned char* area = start + (data - start);
    if (bytes) std::memcpy(area + offset, source, static_cast<size_t>(bytes));
    return JLIB::kOk;
}
