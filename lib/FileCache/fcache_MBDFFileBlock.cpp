#include "fcache_MBDFFileBlock.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "fcache_BinaryAccessor.h"
#include "fsw/fsw_api.h"
#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kFail = 0x80000000u;
constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kNotValid = 0x80000002u;
constexpr uint32_t kCodecFailure = 0x80000003u;
constexpr uint32_t kFileFailure = 0x80000004u;
constexpr uint32_t kNoMemory = 0x80000005u;
constexpr uint32_t kNotInMemory = 0x80000006u;
constexpr uint32_t kIsFolder = 0x80000007u;

constexpr uint32_t kPieceSize = 1024;
constexpr uint32_t kNameLengthOffset = 0;
constexpr uint32_t kKeyOffset = 3;
constexpr uint32_t kFlagsOffset = 4;
// Attribute bits of an export target that mean a read-only file is already there and is kept.
constexpr uint32_t kKeepExisting = kFswAttrReadOnly | 0x04;

int zlibLevel(MBDFFileBlock::CompressionLevel level) { return level >= 10 ? 9 : level; }

bool isLevelValid(MBDFFileBlock::CompressionLevel level) { return level >= 0 && level <= 10; }

uint32_t writeAll(FileAccessor& file, const void* bytes, uint32_t n)
{
    if (n == 0) return 0;
    uint32_t written = 0;
    const uint32_t r = file.write(bytes, n, &written);
    if (JLIB::isFailure(r)) return kFail | fromFswError(r);
    return written == n ? 0 : kFileFailure;
}

uint32_t writePadding(FileAccessor& file, uint32_t n)
{
    static const uint8_t zeros[4] = {0, 0, 0, 0};
    return writeAll(file, zeros, BinaryAccessor::getPaddingSize(n));
}

uint32_t seekBy(FileAccessor& file, int64_t delta)
{
    if (delta == 0) return 0;
    if (delta > 0x7FFFFFFF || delta < -0x7FFFFFFF) return kFileFailure;
    const uint32_t r = file.seek(FileAccessor::ORIGIN_CURRENT, static_cast<int32_t>(delta));
    return JLIB::isFailure(r) ? (kFail | fromFswError(r)) : 0;
}

// Reads exactly n bytes; a short read is a failure since the caller knows how much must come.
uint32_t readExactly(FileAccessor& file, uint8_t* buffer, uint32_t n)
{
    uint32_t got = 0;
    const uint32_t r = file.read(buffer, n, &got);
    if (JLIB::isFailure(r) || got != n) return kFileFailure;
    return 0;
}

template <typename Sink>
uint32_t deflateFile(FileAccessor& source, uint32_t size, MBDFFileBlock::CompressionLevel level, uint8_t key,
                     Sink&& sink)
{
    std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[kPieceSize]);
    std::unique_ptr<uint8_t[]> output(new (std::nothrow) uint8_t[kPieceSize]);
    if (!input || !output) return kNoMemory;
    z_stream zs{};
    if (deflateInit(&zs, zlibLevel(level)) != Z_OK) return kCodecFailure;
    uint32_t result = 0;
    uint32_t remaining = size;
    zs.next_out = output.get();
    zs.avail_out = kPieceSize;
    for (;;) {
        if (zs.avail_in == 0 && remaining > 0) {
            const uint32_t n = std::min(remaining, kPieceSize);
            result = readExactly(source, input.get(), n);
            if (JLIB::isFailure(result)) break;
            (void)BinaryAccessor::scrambleData(input.get(), n, key);  // buffer and length are sound
            zs.next_in = input.get();
            zs.avail_in = n;
            remaining -= n;
        }
        const int r = deflate(&zs, remaining == 0 ? Z_FINISH : Z_NO_FLUSH);
        if (r == Z_STREAM_END || zs.avail_out == 0) {
            result = sink(output.get(), kPieceSize - zs.avail_out);
            if (JLIB::isFailure(result)) break;
            zs.next_out = output.get();
            zs.avail_out = kPieceSize;
        }
        if (r == Z_STREAM_END) break;
        if (r != Z_OK) {
            result = kCodecFailure;
            break;
        }
    }
    deflateEnd(&zs);
    return result;
}

// Packs a source file straight into the container at its position.
uint32_t packFileDirectly(FileAccessor& container, const char* path, MBDFFileBlock::CompressionLevel level,
                          uint8_t key, uint32_t& written)
{
    written = 0;
    if (!container.isOpened()) return kFileFailure;
    if (!path || !isLevelValid(level)) return kBadArgument;
    FileAccessor source;
    if (JLIB::isFailure(source.open(path, FileAccessor::OPEN_READ))) return kFileFailure;
    const uint32_t size = FileAccessor::size(path);
    if (size == 0) return 0;
    if (level > 0) {
        return deflateFile(source, size, level, key, [&](const uint8_t* bytes, uint32_t n) -> uint32_t {
            JLIB_RETURN_IF_FAILED(writeAll(container, bytes, n));
            written += n;
            return 0;
        });
    }
    std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[kPieceSize]);
    if (!piece) return kNoMemory;
    while (source.tell() < size) {
        uint32_t got = 0;
        const uint32_t r = source.read(piece.get(), kPieceSize, &got);
        if (JLIB::isFailure(r) || got == 0) return kFileFailure;
        (void)BinaryAccessor::scrambleData(piece.get(), got, key);  // buffer and length are sound
        JLIB_RETURN_IF_FAILED(writeAll(container, piece.get(), got));
        written += got;
    }
    return 0;
}

class FileAccessorStrategy : public MBDFFileBlock::IFileWriteStrategy {
public:
    explicit FileAccessorStrategy(FileAccessor& file) : m_file(file) {}
    uint32_t write(const void* bytes, uint32_t count, uint32_t* written) override
    {
        return m_file.write(bytes, count, written);
    }

private:
    FileAccessor& m_file;
};

uint32_t logUnsafeName(const char* where, const std::string& name)
{
    JLIB_LOG("[E] MBDFFileBlock::%s - refused an entry name outside the target folder [%s]\n", where, name.c_str());
    return kBadArgument;
}

}  // namespace

struct StreamHandle {
    MBDFFileBlock* block = nullptr;  // the block that opened it, not owned
    std::unique_ptr<uint8_t[]> input;
    z_stream zs{};
    bool inflating = false;
    uint32_t dataSize = 0;
    uint32_t consumed = 0;
};

MBDFFileBlock::~MBDFFileBlock() = default;

uint32_t MBDFFileBlock::initialize(const MBDFAbstractBlock& other, bool deepCopy)
{
    rememberSource(nullptr, kDefaultLevel, false);
    return MBDFAbstractBlock::initialize(other, deepCopy);
}

uint32_t MBDFFileBlock::initialize(const void* bytes, unsigned length, unsigned& consumed)
{
    rememberSource(nullptr, kDefaultLevel, false);
    return MBDFAbstractBlock::initialize(bytes, length, consumed);
}

uint32_t MBDFFileBlock::setData(const void*, unsigned)
{
    jlib_cfg_dbgbrk(__FILE__, __LINE__);
}

void MBDFFileBlock::clear()
{
    rememberSource(nullptr, kDefaultLevel, false);
    MBDFAbstractBlock::clear();
}

bool MBDFFileBlock::isValid() const { return blockTag() == constBlockTag() && hasSoundOption(); }

bool MBDFFileBlock::hasSoundOption() const
{
    const uint32_t o = optionSize(false);
    if (!m_pOption || o < kOptionHeaderSize) return false;
    return uint64_t{kOptionHeaderSize} + nameLength() <= o;
}

uint32_t MBDFFileBlock::nameLength() const
{
    if (!m_pOption || optionSize(false) < 2) return 0;
    return BinaryAccessor::getUInt(m_pOption.get() + kNameLengthOffset, 2, true);
}

void MBDFFileBlock::rememberSource(const char* baseFolder, CompressionLevel level, bool deferred)
{
    m_baseFolder = baseFolder ? baseFolder : "";
    m_level = level;
    m_deferred = deferred;
}

uint32_t MBDFFileBlock::queryEntry(const char* baseFolder, const char* name, bool& readOnly, bool& hidden,
                                   bool& executable, bool& folder) const
{
    const std::string full = makeFullPath(baseFolder, name);
    if (JLIB::isFailure(FileAccessor::getAttribute(full.c_str(), &readOnly, &hidden, &executable, &folder))) {
        return kFileFailure;
    }
    return 0;
}

uint32_t MBDFFileBlock::initialize(const char* subTag, bool folder, const char* baseFolder, const char* name,
                                   bool importNow, CompressionLevel level, uint8_t key, const void* extraOptions)
{
    (void)extraOptions;  // the firmware block takes its own there
    clear();
    if (!name || !isLevelValid(level)) return kBadArgument;
    bool readOnly = false, hidden = false, executable = false, isFolder = false;
    JLIB_RETURN_IF_FAILED(queryEntry(baseFolder, name, readOnly, hidden, executable, isFolder));
    if (isFolder != folder) return kFileFailure;

    (void)setBlockTag(constBlockTag());  // the tag field is fixed
    (void)setBlockSubTag(subTag ? subTag : "");  // a file block always has a sub-tag field
    const uint32_t n = std::min<size_t>(std::strlen(name), kMaxNameLength);
    if (n == 0) {
        clear();
        return kBadArgument;
    }
    uint32_t flags = 0;
    if (readOnly) flags |= ATTR_READONLY;
    if (hidden) flags |= ATTR_HIDDEN;
    if (folder) {
        flags |= ATTR_EXECUTABLE | ATTR_FOLDER;
    } else {
        if (executable) flags |= ATTR_EXECUTABLE;
        if (level > 0) flags |= ATTR_COMPRESSED;
    }
    const uint32_t o = n + kOptionHeaderSize;
    std::unique_ptr<uint8_t[]> option(new (std::nothrow) uint8_t[o]());
    if (!option) {
        clear();
        return kNoMemory;
    }
    (void)BinaryAccessor::setUInt(option.get() + kNameLengthOffset, 2, n, true);  // width 2 is sound
    option[kKeyOffset] = key;
    (void)BinaryAccessor::setUInt(option.get() + kFlagsOffset, 4, flags, true);  // width 4 is sound
    std::memcpy(option.get() + kOptionHeaderSize, name, n);
    (void)BinaryAccessor::scrambleData(option.get() + kOptionHeaderSize, n, key);  // buffer and length are sound
    if (JLIB::isFailure(setOption(option.get(), o))) {
        clear();
        return kNoMemory;
    }
    return finishInitialize(folder, baseFolder, name, importNow, level, key);
}

uint32_t MBDFFileBlock::finishInitialize(bool folder, const char* baseFolder, const char* name, bool importNow,
                                         CompressionLevel level, uint8_t key)
{
    uint32_t result = 0;
    bool deferred = false;
    if (!folder) {
        if (importNow) {
            result = importFile(baseFolder, name, level, key);
        } else {
            setDataSizeField(FileAccessor::size(makeFullPath(baseFolder, name).c_str()));
            deferred = true;
        }
    }
    rememberSource(baseFolder, level, deferred);
    return result;
}

uint32_t MBDFFileBlock::importFile(const char* baseFolder, const char* name, CompressionLevel level, uint8_t key)
{
    if (!isValid()) return kNotValid;
    if (!name || !isLevelValid(level)) return kBadArgument;
    if (isDir()) return 0;
    m_pData.reset();
    setDataSizeField(0);
    const std::string path = makeFullPath(baseFolder, name);
    FileAccessor source;
    if (JLIB::isFailure(source.open(path.c_str(), FileAccessor::OPEN_READ))) return kFileFailure;
    const uint32_t size = FileAccessor::size(path.c_str());
    m_deferred = false;
    if (size == 0) return 0;
    if (level == 0) {
        auto buffer = makeAlignedBuffer(size);
        if (!buffer) return kNoMemory;
        JLIB_RETURN_IF_FAILED(readExactly(source, buffer.get(), size));
        (void)BinaryAccessor::scrambleData(buffer.get(), size, key);  // buffer and length are sound
        m_pData = std::move(buffer);
        setDataSizeField(size);
        return 0;
    }
    std::vector<uint8_t> packed;
    uint32_t result = 0;
    try {
        result = deflateFile(source, size, level, key, [&](const uint8_t* bytes, uint32_t n) -> uint32_t {
            packed.insert(packed.end(), bytes, bytes + n);
            return 0;
        });
    } catch (const std::bad_alloc&) {
        result = kNoMemory;
    }
    JLIB_RETURN_IF_FAILED(result);
    return MBDFAbstractBlock::setData(packed.data(), static_cast<unsigned>(packed.size()));
}

uint32_t MBDFFileBlock::writeToFile(const FileAccessor& accessor)
{
    if (!isValid()) return kNotValid;
    if (isDir() || isDataCached()) return MBDFAbstractBlock::writeToFile(accessor);
    if (!m_deferred) return kNotInMemory;
    if (!accessor.isOpened()) return kFileFailure;
    FileAccessor& file = mutableAccessor(accessor);
    const uint32_t start = file.tell();
    JLIB_RETURN_IF_FAILED(writeAll(file, m_header.bytes, kHeaderSize));
    JLIB_RETURN_IF_FAILED(writeAll(file, m_pOption.get(), optionSize(true)));
    uint32_t written = 0;
    const std::string source = makeFullPath(m_baseFolder.c_str(), fileName().c_str());
    JLIB_RETURN_IF_FAILED(packFileDirectly(file, source.c_str(), m_level, scrambleMask(), written));
    JLIB_RETURN_IF_FAILED(writePadding(file, written));
    setDataSizeField(written);
    const uint32_t end = file.tell();
    uint32_t r = file.seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(start));
    if (JLIB::isFailure(r)) return kFail | fromFswError(r);
    JLIB_RETURN_IF_FAILED(writeAll(file, m_header.bytes, kHeaderSize));
    r = file.seek(FileAccessor::ORIGIN_BEGIN, static_cast<int32_t>(end));
    if (JLIB::isFailure(r)) return kFail | fromFswError(r);
    return 0;
}

uint32_t MBDFFileBlock::outputData(IFileWriteStrategy& sink) const
{
    if (!isValid()) return kNotValid;
    if (isDir()) return kIsFolder;
    const uint32_t d = dataSize(false);
    if (d == 0) return 0;
    if (!m_pData) return kNotInMemory;
    const uint8_t key = scrambleMask();
    if (!isCompressed()) {
        auto plain = makeAlignedBufferAndDeepCopy(m_pData.get(), d);
        if (!plain) return kNoMemory;
        (void)BinaryAccessor::unscrambleData(plain.get(), d, key);  // buffer and length are sound
        uint32_t written = 0;
        const uint32_t r = sink.write(plain.get(), d, &written);
        return (JLIB::isFailure(r) || written != d) ? kCodecFailure : 0;
    }
    std::unique_ptr<uint8_t[]> output(new (std::nothrow) uint8_t[kPieceSize]);
    if (!output) return kNoMemory;
    z_stream zs{};
    zs.next_in = const_cast<uint8_t*>(m_pData.get());  // zlib does not write its input
    zs.avail_in = d;
    if (inflateInit(&zs) != Z_OK) return kCodecFailure;
    bool failed = false;
    zs.next_out = output.get();
    zs.avail_out = kPieceSize;
    for (;;) {
        const int r = inflate(&zs, Z_SYNC_FLUSH);
        if (r == Z_STREAM_END || zs.avail_out == 0) {
            const uint32_t n = kPieceSize - zs.avail_out;
            (void)BinaryAccessor::unscrambleData(output.get(), n, key);  // buffer and length are sound
            uint32_t written = 0;
            const uint32_t w = sink.write(output.get(), n, &written);
            if (JLIB::isFailure(w) || written != n) {
                failed = true;
                break;
            }
            zs.next_out = output.get();
            zs.avail_out = kPieceSize;
            if (r == Z_STREAM_END) break;
            continue;
        }
        if (r != Z_OK) {
            failed = true;
            break;
        }
    }
    if (inflateEnd(&zs) != Z_OK) failed = true;
    return failed ? kCodecFailure : 0;
}

uint32_t MBDFFileBlock::exportFile(const char* targetFolder, const char* name)
{
    if (!isValid()) return kNotValid;
    if (!isDataCached()) return kNotInMemory;
    std::string entry;
    if (name) {
        entry = name;
    } else {
        entry = fileName();
        if (!isSafeEntryName(entry)) return logUnsafeName("exportFile", entry);
    }
    return exportTo(targetFolder, makeFullPath(targetFolder, entry.c_str()));
}

uint32_t MBDFFileBlock::exportTo(const char* targetFolder, const std::string& target)
{
    // Only the target folder is made: archives list every folder before its contents. A real
    // failure shows as a failed open or write below.
    if (targetFolder && *targetFolder) (void)FileAccessor::makeDir(targetFolder);
    if (isDir()) {
        (void)FileAccessor::makeDir(target.c_str());  // as above
        return applyAttributes(target);
    }
    uint32_t existing = 0;
    if (JLIB::isFailure(fsw_getAttribute(&existing, target.c_str()))) existing = 0;
    if ((existing & kKeepExisting) == 0) {
        FileAccessor file;
        (void)file.open(target.c_str(), FileAccessor::OPEN_CREATE);  // a failed open shows as a failed write
        if (dataSize(false) == 0) return 0;
        FileAccessorStrategy strategy(file);
        JLIB_RETURN_IF_FAILED(outputData(strategy));
    }
    return applyAttributes(target);
}

uint32_t MBDFFileBlock::applyAttributes(const std::string& target) const
{
    // Attributes are a courtesy: the content is what the caller asked for.
    (void)FileAccessor::setAttribute(target.c_str(), isReadOnly(), isHidden(), isExecutable());
    return 0;
}

uint32_t MBDFFileBlock::readForStream(const FileAccessor& container, bool& held)
{
    held = isValid() && m_pData != nullptr;
    return readFromFile(container, held, nullptr);
}

uint32_t MBDFFileBlock::streamExportFile(const char* targetFolder, const FileAccessor& container, uint32_t outputSize)
{
    bool held = false;
    JLIB_RETURN_IF_FAILED(readForStream(container, held));
    if (held || isDir() || dataSize(false) == 0) return exportFile(targetFolder, nullptr);
    const std::string entry = fileName();
    if (!isSafeEntryName(entry)) return logUnsafeName("streamExportFile", entry);
    if (outputSize == 0) return kBadArgument;
    FileAccessor& source = mutableAccessor(container);
    JLIB_RETURN_IF_FAILED(seekBy(source, -static_cast<int64_t>(dataSize(true))));
    const std::string target = makeFullPath(targetFolder, entry.c_str());
    if (targetFolder && *targetFolder) (void)FileAccessor::makeDir(targetFolder);  // see exportTo
    FileAccessor file;
    (void)file.open(target.c_str(), FileAccessor::OPEN_CREATE);  // a failed open shows as a failed write
    std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[kPieceSize]);
    if (!input) return kNoMemory;
    const uint8_t key = scrambleMask();
    uint32_t remaining = dataSize(false);

    if (!isCompressed()) {
        while (remaining > 0) {
            const uint32_t n = std::min(remaining, kPieceSize);
            uint32_t got = 0;
            const uint32_t r = source.read(input.get(), n, &got);
            if (JLIB::isFailure(r) || got == 0) return kFileFailure;
            (void)BinaryAccessor::unscrambleData(input.get(), got, key);  // buffer and length are sound
            JLIB_RETURN_IF_FAILED(writeAll(file, input.get(), got));
            remaining -= got;
        }
        return applyAttributes(target);
    }

    std::unique_ptr<uint8_t[]> output(new (std::nothrow) uint8_t[outputSize]);
    if (!output) return kNoMemory;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return kCodecFailure;
    uint32_t result = 0;
    zs.next_out = output.get();
    zs.avail_out = outputSize;
    for (;;) {
        if (zs.avail_in == 0 && remaining > 0) {
            const uint32_t n = std::min(remaining, kPieceSize);
            uint32_t got = 0;
            const uint32_t r = source.read(input.get(), n, &got);
            if (JLIB::isFailure(r) || got == 0) {
                result = kFileFailure;
                break;
            }
            zs.next_in = input.get();
            zs.avail_in = got;
            remaining -= got;
        }
        const int r = inflate(&zs, Z_SYNC_FLUSH);
        if (r == Z_STREAM_END || zs.avail_out == 0) {
            const uint32_t n = outputSize - zs.avail_out;
            (void)BinaryAccessor::unscrambleData(output.get(), n, key);  // buffer and length are sound
            result = writeAll(file, output.get(), n);
            if (JLIB::isFailure(result)) break;
            zs.next_out = output.get();
            zs.avail_out = outputSize;
            if (r == Z_STREAM_END) break;
            continue;
        }
        if (r != Z_OK) {
            result = kCodecFailure;
            break;
        }
    }
    if (inflateEnd(&zs) != Z_OK && !JLIB::isFailure(result)) result = kCodecFailure;
    (void)applyAttributes(target);
    return result;
}

uint32_t MBDFFileBlock::streamOpenFile(StreamHandle** handle, const FileAccessor& container)
{
    if (!handle || *handle) return kBadArgument;
    if (!isValid()) return kNotValid;
    if (isDir()) return kFileFailure;
    bool held = false;
    JLIB_RETURN_IF_FAILED(readForStream(container, held));
    if (isDir()) return kFileFailure;  // the container may hold another entry at this position
    std::unique_ptr<StreamHandle> h(new (std::nothrow) StreamHandle());
    if (!h) return kNoMemory;
    h->input.reset(new (std::nothrow) uint8_t[kPieceSize]);
    if (!h->input) return kNoMemory;
    h->block = this;
    h->dataSize = dataSize(false);
    FileAccessor& source = mutableAccessor(container);
    JLIB_RETURN_IF_FAILED(seekBy(source, -static_cast<int64_t>(dataSize(true))));
    if (isCompressed()) {
        if (inflateInit(&h->zs) != Z_OK) {
            (void)seekBy(source, dataSize(true));  // leave the container after the block as before
            return kCodecFailure;
        }
        h->inflating = true;
    }
    *handle = h.release();
    return 0;
}

uint32_t MBDFFileBlock::streamReadFile(void* buffer, uint32_t* count, uint32_t size, const FileAccessor& container,
                                       StreamHandle* handle)
{
    if (!buffer || !count || !handle || handle->block != this) return kBadArgument;
    if (!isValid()) return kNotValid;
    if (isDir()) return kFileFailure;
    *count = 0;
    FileAccessor& source = mutableAccessor(container);
    const uint8_t key = scrambleMask();
    auto* out = static_cast<uint8_t*>(buffer);
    if (!handle->inflating) {
        const uint32_t n = std::min(size, handle->dataSize - handle->consumed);
        if (n == 0) return 0;
        uint32_t got = 0;
        const uint32_t r = source.read(out, n, &got);
        if (JLIB::isFailure(r)) return kFileFailure;
        (void)BinaryAccessor::unscrambleData(out, got, key);  // buffer and length are sound
        handle->consumed += got;
        *count = got;
        return r;
    }
    if (handle->dataSize == 0) return 0;  // an empty file has no stream to inflate
    z_stream& zs = handle->zs;
    zs.next_out = out;
    zs.avail_out = size;
    uint32_t lastRead = 0;
    for (;;) {
        if (zs.avail_in == 0) {
            const uint32_t n = std::min(kPieceSize, handle->dataSize - handle->consumed);
            if (n > 0) {
                uint32_t got = 0;
                lastRead = source.read(handle->input.get(), n, &got);
                if (JLIB::isFailure(lastRead)) return kFileFailure;
                handle->consumed += got;
                zs.next_in = handle->input.get();
                zs.avail_in = got;
            }
        }
        const int r = inflate(&zs, Z_SYNC_FLUSH);
        if (r == Z_STREAM_END || zs.avail_out == 0) {
            const uint32_t n = size - zs.avail_out;
            (void)BinaryAccessor::unscrambleData(out, n, key);  // buffer and length are sound
            *count = n;
            return lastRead;
        }
        if (r != Z_OK) return kCodecFailure;
    }
}

uint32_t MBDFFileBlock::streamCloseFile(StreamHandle* handle, const FileAccessor& container)
{
    if (!handle || handle->block != this) return kBadArgument;
    if (!isValid()) return kNotValid;
    if (isDir()) return kFileFailure;
    std::unique_ptr<StreamHandle> owned(handle);
    const uint32_t padded = static_cast<uint32_t>(BinaryAccessor::getAlignedSize(handle->dataSize));
    if (handle->consumed < padded) (void)seekBy(mutableAccessor(container), padded - handle->consumed);  // best effort
    // The handle goes either way: keeping it after a failed end would only leak it.
    if (handle->inflating && inflateEnd(&handle->zs) != Z_OK) return kCodecFailure;
    return 0;
}

std::string MBDFFileBlock::fileName() const
{
    if (!isValid()) return std::string();
    const uint32_t n = nameLength();
    std::string name(reinterpret_cast<const char*>(m_pOption.get() + kOptionHeaderSize), n);
    (void)BinaryAccessor::unscrambleData(name.data(), n, scrambleMask());  // buffer and length are sound
    return name;
}

uint32_t MBDFFileBlock::setAttribute(bool readOnly, bool hidden, bool executable)
{
    if (!isValid()) return kNotValid;
    uint32_t flags = attribute() & ~(ATTR_READONLY | ATTR_HIDDEN | ATTR_EXECUTABLE);
    if (readOnly) flags |= ATTR_READONLY;
    if (hidden) flags |= ATTR_HIDDEN;
    if (executable) flags |= ATTR_EXECUTABLE;
    (void)BinaryAccessor::setUInt(m_pOption.get() + kFlagsOffset, 4, flags, true);  // width 4 is sound
    return 0;
}

uint32_t MBDFFileBlock::attribute() const
{
    if (!hasSoundOption()) return 0;
    return BinaryAccessor::getUInt(m_pOption.get() + kFlagsOffset, 4, true);
}

uint8_t MBDFFileBlock::scrambleMask() const
{
    if (!m_pOption || optionSize(false) <= kKeyOffset) return 0;
    return m_pOption[kKeyOffset];
}

std::string MBDFFileBlock::makeFullPath(const char* folder, const char* name)
{
    if (!name) return std::string();
    if (!folder || !*folder) return name;
    return std::string(folder) + "/" + name;
}

uint32_t MBDFFileBlock::createSubDirectories(const char* path)
{
    if (!path) return kBadArgument;
    while (*path == '/') ++path;
    const std::string text(path);
    size_t partStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '/') continue;
        if (text.compare(partStart, i - partStart, "..") == 0) return kCodecFailure;
        if (i > 0) (void)FileAccessor::makeDir(text.substr(0, i).c_str());  // an existing folder is no failure
        partStart = i + 1;
    }
    return 0;
}

bool MBDFFileBlock::isSafeEntryName(const std::string& name)
{
    if (name.empty() || name[0] == '/') return false;
    if (name.find('\\') != std::string::npos || name.find('\0') != std::string::npos) return false;
    size_t start = 0;
    for (;;) {
        const size_t slash = name.find('/', start);
        const size_t end = slash == std::string::npos ? name.size() : slash;
        if (name.compare(start, end - start, "..") == 0) return false;
        if (slash == std::string::npos) return true;
        start = slash + 1;
    }
}

}  // namespace FILECACHE
