#pragma once
// One block of an archive container in memory: a 36-byte header, an option area and a data area,
// each padded to 4 bytes in the file. Blocks belong to one task at a time.
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "fcache_FileAccessor.h"

namespace FILECACHE {

class MBDFAbstractBlock;

// Progress reports of long container operations; every implementation answers 0.
class IMBDFObserver {
public:
    enum ProgressType { PROGRESS_READ = 0, PROGRESS_WRITE = 1 };
    virtual ~IMBDFObserver() = default;
    virtual uint32_t onMBDFProgressChanged(ProgressType type, uint32_t current, uint32_t total, const char* path,
                                           const char* message, bool finished) = 0;
    virtual uint32_t onMBDFErrorOccurred(ProgressType type, const char* path, uint32_t error) = 0;
};

class DummyMBDFObserver : public IMBDFObserver {
public:
    uint32_t onMBDFProgressChanged(ProgressType, uint32_t, uint32_t, const char*, const char*, bool) override
    {
        return 0;
    }
    uint32_t onMBDFErrorOccurred(ProgressType, const char*, uint32_t) override { return 0; }
};

class IMBDFBlockFactory {
public:
    virtual MBDFAbstractBlock* create() = 0;  // owned by the caller; null when memory is exhausted
    virtual ~IMBDFBlockFactory() = default;
};

template <typename T>
class MBDFBlockFactory : public IMBDFBlockFactory {
public:
    MBDFAbstractBlock* create() override { return new (std::nothrow) T(); }
};

// Enters a factory into the container's tag registry; the first registration of a tag stays.
uint32_t registerBlockFactory(const char* tag, IMBDFBlockFactory* factory);

// The once-per-process registration every block type offers as its static useThisBlock().
template <typename T>
uint32_t useBlockType()
{
    static MBDFBlockFactory<T> factory;
    static const uint32_t registered = registerBlockFactory(T::constBlockTag(), &factory);
    (void)registered;
    return 0;
}

class MBDFAbstractBlock {
public:
    static constexpr uint32_t kHeaderSize = 36;
    static constexpr uint32_t kTagFieldSize = 24;
    static constexpr uint32_t kMaxReadSize = 0xA00000;  // the memory one block may take when read with data

    struct FixedHeader {
        uint8_t bytes[kHeaderSize];
        FixedHeader() { clear(); }
        void clear();
    };

    MBDFAbstractBlock() = default;
    MBDFAbstractBlock(const MBDFAbstractBlock& other);
    MBDFAbstractBlock& operator=(const MBDFAbstractBlock& other);
    virtual ~MBDFAbstractBlock();

    virtual uint32_t initialize(const MBDFAbstractBlock& other, bool deepCopy);
    // Reads one block from memory; consumed tells how many bytes it occupied.
    virtual uint32_t initialize(const void* bytes, unsigned length, unsigned& consumed);
    virtual uint32_t setOption(const void* bytes, unsigned n);
    virtual uint32_t setData(const void* bytes, unsigned n);
    virtual void clear();
    virtual bool isNull() const { return false; }
    virtual bool isValid() const { return m_header.bytes[0] != 0; }
    virtual uint32_t blockTagLength() const { return kTagFieldSize; }
    virtual uint32_t writtenOptionSize(bool padded) const { return optionSize(padded); }
    virtual uint32_t writtenDataSize(bool padded) const { return dataSize(padded); }
    virtual uint32_t uncache();
    virtual uint32_t readFromFile(const FileAccessor& accessor, bool withData, volatile bool* stop);
    virtual uint32_t writeToFile(const FileAccessor& accessor);

    std::string blockTag() const;
    std::string blockSubTag() const;
    uint32_t setBlockTag(const char* text);
    uint32_t setBlockSubTag(const char* text);
    uint32_t optionSize(bool padded) const;
    uint32_t dataSize(bool padded) const;
    uint64_t size() const;
    const uint8_t* fixedHeader() const { return m_header.bytes; }
    static uint32_t fixedHeaderSize(bool padded) { return kHeaderSize; }
    const uint8_t* option() const { return m_pOption.get(); }
    uint8_t* option() { return m_pOption.get(); }
    const uint8_t* data() const { return m_pData.get(); }
    uint8_t* data() { return m_pData.get(); }
    bool isDataCached() const;

    static std::unique_ptr<uint8_t[]> makeAlignedBuffer(uint32_t n);
    static std::unique_ptr<uint8_t[]> makeAlignedBufferAndDeepCopy(const void* bytes, uint32_t n);
    static uint32_t readFileToAlignedBuffer(const FileAccessor& accessor, uint8_t* buffer, uint32_t n);

protected:
    void setSizes(uint32_t optionSize, uint32_t dataSize);
    void setDataSizeField(uint32_t n);
    // The accessor is taken by const reference as the block interface fixes; reading moves its position.
    static FileAccessor& mutableAccessor(const FileAccessor& accessor) { return const_cast<FileAccessor&>(accessor); }

    FixedHeader m_header;
    std::unique_ptr<uint8_t[]> m_pOption;
    std::unique_ptr<uint8_t[]> m_pData;
};

class MBDFTopBlock : public MBDFAbstractBlock {
public:
    static constexpr uint32_t kOptionSize = 36;
    static constexpr uint32_t kUuidSize = 16;

    using MBDFAbstractBlock::initialize;
    uint32_t initialize(const char* fileType, const char* productName, uint32_t productVersion, const void* uuid,
                        uint32_t uuidLength);
    bool isValid() const override;
    uint32_t blockTagLength() const override { return 12; }

    std::string fileType() const { return blockSubTag(); }
    std::string productName() const;
    uint32_t productVersion() const;
    const uint8_t* uuid() const;
    static uint32_t uuidSize() { return kUuidSize; }

    static const char* constBlockTag() { return "#JOVRIX MBDF"; }
    static uint32_t useThisBlock() { return useBlockType<MBDFTopBlock>(); }
};

class MBDFEndBlock : public MBDFAbstractBlock {
public:
    using MBDFAbstractBlock::initialize;
    uint32_t initialize();
    bool isValid() const override;

    static const char* constBlockTag() { return "#END"; }
    static uint32_t useThisBlock() { return useBlockType<MBDFEndBlock>(); }
};

// The shared block that stands for "no block": every operation does nothing and succeeds.
class MBDFNullBlock : public MBDFAbstractBlock {
public:
    static MBDFNullBlock& getInstance();

    uint32_t initialize(const MBDFAbstractBlock&, bool) override { return 0; }
    uint32_t initialize(const void*, unsigned, unsigned& consumed) override
    {
        consumed = 0;
        return 0;
    }
    uint32_t setOption(const void*, unsigned) override { return 0; }
    uint32_t setData(const void*, unsigned) override { return 0; }
    void clear() override {}
    bool isNull() const override { return true; }
    bool isValid() const override { return false; }
    uint32_t uncache() override { return 0; }
    uint32_t readFromFile(const FileAccessor&, bool, volatile bool*) override { return 0; }
    uint32_t writeToFile(const FileAccessor&) override { return 0; }
};

// Write failures of the file layer as container codes: quota 0x80000009, anything else 0x80000004.
uint32_t fromFswError(uint32_t fswCode);

}  // namespace FILECACHE
