#include "fcache_MBDFAbstractBlock.h"

#include <cstring>

#include "fcache_BinaryAccessor.h"
#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kNotValidToWrite = 0x80000002u;
constexpr uint32_t kBadStructure = 0x80000003u;
constexpr uint32_t kFileFailure = 0x80000004u;
constexpr uint32_t kNoMemory = 0x80000005u;
constexpr uint32_t kQuota = 0x80000009u;
constexpr uint32_t kStopped = 0x8000000Au;
constexpr uint32_t kFswQuota = 0x80000014u;

constexpr uint32_t kOptionSizeOffset = 24;
constexpr uint32_t kDataSizeOffset = 28;

bool stopRequested(volatile bool* stop) { return stop && *stop; }

std::string fieldText(const uint8_t* field, uint32_t width)
{
    uint32_t n = 0;
    while (n < width && field[n]) ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

uint32_t writeAll(FileAccessor& accessor, const void* bytes, uint32_t n)
{
    uint32_t written = 0;
    const uint32_t r = accessor.write(bytes, n, &written);
    if (JLIB::isFailure(r)) return fromFswError(r);
    return written == n ? 0 : kFileFailure;
}

}  // namespace

uint32_t fromFswError(uint32_t fswCode) { return fswCode == kFswQuota ? kQuota : kFileFailure; }

void MBDFAbstractBlock::FixedHeader::clear() { std::memset(bytes, 0, sizeof(bytes)); }

MBDFAbstractBlock::MBDFAbstractBlock(const MBDFAbstractBlock& other) { *this = other; }

MBDFAbstractBlock& MBDFAbstractBlock::operator=(const MBDFAbstractBlock& other)
{
    if (this == &other) return *this;
    MBDFAbstractBlock::clear();
    std::unique_ptr<uint8_t[]> option;
    std::unique_ptr<uint8_t[]> data;
    if (other.m_pOption) {
        option = makeAlignedBufferAndDeepCopy(other.m_pOption.get(), other.optionSize(false));
        if (!option) return *this;
    }
    if (other.m_pData) {
        data = makeAlignedBufferAndDeepCopy(other.m_pData.get(), other.dataSize(false));
        if (!data) return *this;
    }
    m_header = other.m_header;
    m_pOption = std::move(option);
    m_pData = std::move(data);
    return *this;
}

MBDFAbstractBlock::~MBDFAbstractBlock() = default;

uint32_t MBDFAbstractBlock::initialize(const MBDFAbstractBlock& other, bool deepCopy)
{
    clear();
    // Sharing buffers would free them twice: a shallow request is served as a deep copy as well.
    (void)deepCopy;
    *this = other;
    return 0;
}

uint32_t MBDFAbstractBlock::initialize(const void* bytes, unsigned length, unsigned& consumed)
{
    clear();
    consumed = 0;
    if (!bytes || length == 0) return kBadArgument;
    if (length < kHeaderSize) return kBadStructure;
    const auto* p = static_cast<const uint8_t*>(bytes);
    std::memcpy(m_header.bytes, p, kHeaderSize);
    uint64_t used = kHeaderSize;
    const uint32_t o = optionSize(false);
    const uint32_t d = dataSize(false);
    for (int area = 0; area < 2; ++area) {
        const uint32_t n = area == 0 ? o : d;
        if (n == 0) continue;
        const uint64_t padded = BinaryAccessor::getAlignedSize(n);
        if (padded > length - used) {
            clear();
            return kBadStructure;
        }
        auto buffer = makeAlignedBufferAndDeepCopy(p + used, n);
        if (!buffer) {
            clear();
            return kNoMemory;
        }
        (area == 0 ? m_pOption : m_pData) = std::move(buffer);
        used += padded;
    }
    consumed = static_cast<unsigned>(used);
    return 0;
}

uint32_t MBDFAbstractBlock::setOption(const void* bytes, unsigned n)
{
    JLIB_ASSERT(m_header.bytes[0] != 0);
    m_pOption.reset();
    setSizes(0, dataSize(false));
    if (!bytes || n == 0) return 0;
    m_pOption = makeAlignedBufferAndDeepCopy(bytes, n);
    if (!m_pOption) return kNoMemory;
    setSizes(n, dataSize(false));
    return 0;
}

uint32_t MBDFAbstractBlock::setData(const void* bytes, unsigned n)
{
    JLIB_ASSERT(m_header.bytes[0] != 0);
    m_pData.reset();
    setDataSizeField(0);
    if (!bytes || n == 0) return 0;
    m_pData = makeAlignedBufferAndDeepCopy(bytes, n);
    if (!m_pData) return kNoMemory;
    setDataSizeField(n);
    return 0;
}

void MBDFAbstractBlock::clear()
{
    m_header.clear();
    m_pOption.reset();
    m_pData.reset();
}

uint32_t MBDFAbstractBlock::uncache()
{
    m_pData.reset();
    return 0;
}

std::string MBDFAbstractBlock::blockTag() const { return fieldText(m_header.bytes, blockTagLength()); }

std::string MBDFAbstractBlock::blockSubTag() const
{
    const uint32_t tagLength = blockTagLength();
    if (tagLength >= kTagFieldSize) return std::string();
    return fieldText(m_header.bytes + tagLength, kTagFieldSize - tagLength);
}

uint32_t MBDFAbstractBlock::setBlockTag(const char* text)
{
    (void)BinaryAccessor::setString(m_header.bytes, blockTagLength(), text);  // field and size are fixed
    return 0;
}

uint32_t MBDFAbstractBlock::setBlockSubTag(const char* text)
{
    const uint32_t tagLength = blockTagLength();
    if (tagLength >= kTagFieldSize) return kBadArgument;
    (void)BinaryAccessor::setString(m_header.bytes + tagLength, kTagFieldSize - tagLength, text);
    return 0;
}

uint32_t MBDFAbstractBlock::optionSize(bool padded) const
{
    const uint32_t n = BinaryAccessor::getUInt(m_header.bytes + kOptionSizeOffset, 4, true);
    return padded ? static_cast<uint32_t>(BinaryAccessor::getAlignedSize(n)) : n;
}

uint32_t MBDFAbstractBlock::dataSize(bool padded) const
{
    const uint32_t n = BinaryAccessor::getUInt(m_header.bytes + kDataSizeOffset, 4, true);
    return padded ? static_cast<uint32_t>(BinaryAccessor::getAlignedSize(n)) : n;
}

uint64_t MBDFAbstractBlock::size() const
{
    return kHeaderSize + BinaryAccessor::getAlignedSize(writtenOptionSize(false)) +
           BinaryAccessor::getAlignedSize(writtenDataSize(false));
}

bool MBDFAbstractBlock::isDataCached() const { return isValid() && (dataSize(false) == 0 || m_pData); }

std::unique_ptr<uint8_t[]> MBDFAbstractBlock::makeAlignedBuffer(uint32_t n)
{
    const uint64_t padded = BinaryAccessor::getAlignedSize(n);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[padded == 0 ? 4 : padded]());
    return buffer;
}

std::unique_ptr<uint8_t[]> MBDFAbstractBlock::makeAlignedBufferAndDeepCopy(const void* bytes, uint32_t n)
{
    auto buffer = makeAlignedBuffer(n);
    if (buffer && bytes && n) std::memcpy(buffer.get(), bytes, n);
    return buffer;
}

uint32_t MBDFAbstractBlock::readFileToAlignedBuffer(const FileAccessor& accessor, uint8_t* buffer, uint32_t n)
{
    if (!buffer) return kBadStructure;
    FileAccessor& file = mutableAccessor(accessor);
    uint32_t got = 0;
    const uint32_t r = file.read(buffer, n, &got);
    if (JLIB::isFailure(r)) return kFileFailure;
    if (got < n) return kBadStructure;
    const uint32_t padding = BinaryAccessor::getPaddingSize(n);
    if (padding) {
        std::memset(buffer + n, 0, padding);
        if (JLIB::isFailure(file.seek(FileAccessor::ORIGIN_CURRENT, static_cast<int32_t>(padding)))) return kFileFailure;
    }
    return 0;
}

uint32_t MBDFAbstractBlock::readFromFile(const FileAccessor& accessor, bool withData, volatile bool* stop)
{
    if (!accessor.isOpened()) return kFileFailure;
    clear();
    if (stopRequested(stop)) return kStopped;
    JLIB_RETURN_IF_FAILED(readFileToAlignedBuffer(accessor, m_header.bytes, kHeaderSize));
    const uint32_t o = optionSize(false);
    const uint32_t d = dataSize(false);
    const uint64_t limited = withData ? uint64_t{o} + d : o;
    if (limited > kMaxReadSize) return kBadStructure;
    if (o > 0) {
        auto option = makeAlignedBuffer(o);
        if (!option) return kNoMemory;
        if (stopRequested(stop)) return kStopped;
        JLIB_RETURN_IF_FAILED(readFileToAlignedBuffer(accessor, option.get(), o));
        m_pOption = std::move(option);
    }
    if (d > 0) {
        if (stopRequested(stop)) return kStopped;
        if (withData) {
            auto data = makeAlignedBuffer(d);
            if (!data) return kNoMemory;
            JLIB_RETURN_IF_FAILED(readFileToAlignedBuffer(accessor, data.get(), d));
            m_pData = std::move(data);
        } else {
            // Skipping keeps the data in the file; a failed seek shows up at the next header read.
            const uint64_t padded = BinaryAccessor::getAlignedSize(d);
            FileAccessor& file = mutableAccessor(accessor);
            if (padded > 0x7FFFFFFFu ||
                JLIB::isFailure(file.seek(FileAccessor::ORIGIN_CURRENT, static_cast<int32_t>(padded)))) {
                return kFileFailure;
            }
        }
    }
    return isValid() ? 0 : kBadStructure;
}

uint32_t MBDFAbstractBlock::writeToFile(const FileAccessor& accessor)
{
    if (!isValid()) return kNotValidToWrite;
    if (!accessor.isOpened()) return kFileFailure;
    FileAccessor& file = mutableAccessor(accessor);
    JLIB_RETURN_IF_FAILED(writeAll(file, m_header.bytes, kHeaderSize));
    const uint32_t o = optionSize(true);
    if (o > 0) {
        if (!m_pOption) return kFileFailure;
        JLIB_RETURN_IF_FAILED(writeAll(file, m_pOption.get(), o));
    }
    const uint32_t d = dataSize(true);
    if (d > 0) {
        if (!m_pData) return kFileFailure;  // data not in memory cannot be written from here
        JLIB_RETURN_IF_FAILED(writeAll(file, m_pData.get(), d));
    }
    return 0;
}

void MBDFAbstractBlock::setSizes(uint32_t optionSize, uint32_t dataSize)
{
    (void)BinaryAccessor::setUInt(m_header.bytes + kOptionSizeOffset, 4, optionSize, true);
    setDataSizeField(dataSize);
}

void MBDFAbstractBlock::setDataSizeField(uint32_t n)
{
    (void)BinaryAccessor::setUInt(m_header.bytes + kDataSizeOffset, 4, n, true);
}

uint32_t MBDFTopBlock::initialize(const char* fileType, const char* productName, uint32_t productVersion,
                                  const void* uuid, uint32_t uuidLength)
{
    clear();
    bool failed = false;
    (void)setBlockTag(constBlockTag());
    failed |= JLIB::isFailure(setBlockSubTag(fileType));
    uint8_t option[kOptionSize];
    failed |= JLIB::isFailure(BinaryAccessor::setString(option, 16, productName));
    (void)BinaryAccessor::setUInt(option + 16, 4, productVersion, true);
    if (JLIB::isFailure(BinaryAccessor::setBinary(option + 20, kUuidSize, uuid, uuidLength))) {
        std::memset(option + 20, 0, kUuidSize);
        failed = true;
    }
    failed |= JLIB::isFailure(setOption(option, kOptionSize));
    return failed ? kBadArgument : 0;
}

bool MBDFTopBlock::isValid() const { return blockTag() == constBlockTag() && optionSize(false) >= kOptionSize; }

std::string MBDFTopBlock::productName() const
{
    if (!isValid() || !m_pOption) return std::string();
    return fieldText(m_pOption.get(), 16);
}

uint32_t MBDFTopBlock::productVersion() const
{
    if (!isValid() || !m_pOption) return 0;
    return BinaryAccessor::getUInt(m_pOption.get() + 16, 4, true);
}

const uint8_t* MBDFTopBlock::uuid() const
{
    if (!isValid() || !m_pOption) return nullptr;
    return m_pOption.get() + 20;
}

uint32_t MBDFEndBlock::initialize()
{
    clear();
    (void)setBlockTag(constBlockTag());
    return 0;
}

bool MBDFEndBlock::isValid() const
{
    return blockTag() == constBlockTag() && optionSize(false) == 0 && dataSize(false) == 0;
}

MBDFNullBlock& MBDFNullBlock::getInstance()
{
    static MBDFNullBlock instance;
    return instance;
}

}  // namespace FILECACHE
