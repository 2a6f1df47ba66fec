#include "fcache_MBDFFirmwareBlock.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "fcache_BinaryAccessor.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kFileFailure = 0x80000004u;
constexpr uint32_t kNoMemory = 0x80000005u;

}  // namespace

MBDFFirmwareBlock::~MBDFFirmwareBlock() = default;

bool MBDFFirmwareBlock::isValid() const
{
    if (MBDFFileBlock::isValid()) return true;
    return blockTag() == constBlockTag() && hasSoundOption() && (attribute() & ATTR_FOLDER) == 0;
}

uint32_t MBDFFirmwareBlock::initialize(const char* subTag, bool folder, const char* baseFolder, const char* name,
                                       bool importNow, CompressionLevel level, uint8_t key, const void* extraOptions)
{
    if (folder) {
        return MBDFFileBlock::initialize(subTag, folder, baseFolder, name, importNow, level, key, extraOptions);
    }
    clear();
    if (!name || !extraOptions || level < 0 || level > 10) return kBadArgument;
    bool readOnly = false, hidden = false, executable = false, isFolder = false;
    JLIB_RETURN_IF_FAILED(queryEntry(baseFolder, name, readOnly, hidden, executable, isFolder));
    if (isFolder) return kFileFailure;

    const auto& extra = *static_cast<const FirmwareExtraOptions*>(extraOptions);
    (void)setBlockTag(constBlockTag());  // the tag field is fixed
    (void)setBlockSubTag(subTag ? subTag : "");  // a firmware block always has a sub-tag field
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(std::strlen(name), kMaxNameLength));
    const uint64_t t = extra.target.size();
    const uint64_t v = extra.version.size();
    if (n == 0 || t == 0 || v == 0 || n + t + v + 11 > 0xFFFFFFFFull) {
        clear();
        return kBadArgument;
    }
    const auto o = static_cast<uint32_t>(n + t + v + 11);
    std::unique_ptr<uint8_t[]> option(new (std::nothrow) uint8_t[o]());
    if (!option) {
        clear();
        return kNoMemory;
    }
    uint32_t flags = 0;
    if (readOnly) flags |= ATTR_READONLY;
    if (hidden) flags |= ATTR_HIDDEN;
    if (executable) flags |= ATTR_EXECUTABLE;
    if (level > 0) flags |= ATTR_COMPRESSED;
    (void)BinaryAccessor::setUInt(option.get(), 2, n, true);  // width 2 is sound
    option[3] = key;
    (void)BinaryAccessor::setUInt(option.get() + 4, 4, flags, true);  // width 4 is sound
    // Name, target and version each scrambled; the zero bytes between them stay plain.
    uint8_t* p = option.get() + kOptionHeaderSize;
    std::memcpy(p, name, n);
    (void)BinaryAccessor::scrambleData(p, n, key);  // buffer and length are sound
    p += n + 1;
    std::memcpy(p, extra.target.data(), t);
    (void)BinaryAccessor::scrambleData(p, static_cast<uint32_t>(t), key);  // as above
    p += t + 1;
    std::memcpy(p, extra.version.data(), v);
    (void)BinaryAccessor::scrambleData(p, static_cast<uint32_t>(v), key);  // as above
    if (JLIB::isFailure(setOption(option.get(), o))) {
        clear();
        return kNoMemory;
    }
    return finishInitialize(false, baseFolder, name, importNow, level, key);
}

std::string MBDFFirmwareBlock::storedText(uint32_t offset, uint32_t& next) const
{
    const uint32_t o = optionSize(false);
    next = o;
    if (!isValid() || offset >= o) return std::string();
    const uint8_t* begin = m_pOption.get() + offset;
    const uint8_t* end = std::find(begin, static_cast<const uint8_t*>(m_pOption.get()) + o, uint8_t{0});
    next = static_cast<uint32_t>(end - m_pOption.get()) + 1;
    std::string text(reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin));
    (void)BinaryAccessor::unscrambleData(text.data(), static_cast<uint32_t>(text.size()), scrambleMask());  // sound
    return text;
}

std::string MBDFFirmwareBlock::target() const
{
    uint32_t next = 0;
    return storedText(kOptionHeaderSize + nameLength() + 1, next);
}

std::string MBDFFirmwareBlock::version() const
{
    uint32_t next = 0;
    (void)storedText(kOptionHeaderSize + nameLength() + 1, next);
    return storedText(next, next);
}

}  // namespace FILECACHE
