#pragma once
// The archive container: a top block, data blocks and an end block, read from and written to a
// file with progress reports and a stop flag. A container belongs to one task at a time; only the
// stop flag may be set from another task. The tag registry is process-wide and locked.
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "fcache_FileAccessor.h"
#include "fcache_MBDFAbstractBlock.h"

namespace FILECACHE {

class MBDF {
public:
    using BlockList = std::list<MBDFAbstractBlock*>;
    using iterator = BlockList::iterator;
    using const_iterator = BlockList::const_iterator;

    static constexpr uint32_t BLOCKINDEX_TAIL = 0xFFFFFFFFu;

    MBDF();
    MBDF(const MBDF&) = delete;
    MBDF& operator=(const MBDF&) = delete;
    virtual ~MBDF();

    uint32_t clear();
    [[nodiscard]] uint32_t initialize(const char* fileType, const char* productName, uint32_t productVersion,
                                      const void* uuid, uint32_t uuidLength);
    virtual bool isValid() const;

    std::string fileType() const { return m_topBlock.fileType(); }
    std::string productName() const { return m_topBlock.productName(); }
    uint32_t productVersion() const { return m_topBlock.productVersion(); }
    const uint8_t* uuid() const { return m_topBlock.uuid(); }
    static uint32_t uuidSize() { return MBDFTopBlock::uuidSize(); }
    bool isSameProductName(const char* name) const;
    bool isSameFileType(const char* type) const;
    bool isSameUUID(const void* bytes, uint32_t length) const;
    bool isDataCached() const;
    bool isBlockSearchAborted() const { return m_blockSearchAborted; }
    uint32_t size() const;
    uint32_t blockNum() const { return static_cast<uint32_t>(m_blocks.size()); }

    iterator begin() { return m_blocks.begin(); }
    iterator end() { return m_blocks.end(); }
    const_iterator begin() const { return m_blocks.begin(); }
    const_iterator end() const { return m_blocks.end(); }
    MBDFTopBlock& topBlock() { return m_topBlock; }
    const MBDFTopBlock& topBlock() const { return m_topBlock; }
    MBDFEndBlock& endBlock() { return m_endBlock; }
    const MBDFEndBlock& endBlock() const { return m_endBlock; }

    // The null block stands for a position without a block.
    MBDFAbstractBlock& block(const_iterator position) const;
    MBDFAbstractBlock& block(uint32_t index) const { return block(blockIt(index)); }
    iterator blockIt(uint32_t index);
    const_iterator blockIt(uint32_t index) const;

    // Adds a deep copy of the caller's block; the container owns the copy.
    template <typename T>
    uint32_t addBlock(const T& source) { return addBlock(BLOCKINDEX_TAIL, source); }
    template <typename T>
    uint32_t addBlock(uint32_t index, const T& source)
    {
        T* copy = new (std::nothrow) T();
        if (!copy) return 0x80000000u;
        *copy = source;
        insertBlock(index, copy);
        return 0;
    }

    // The block seen as a T only when it is one: its tag and its type must both match.
    template <typename T>
    T* blockPtr(const_iterator position) const
    {
        MBDFAbstractBlock& b = block(position);
        if (b.blockTag() != T::constBlockTag()) return nullptr;
        return dynamic_cast<T*>(&b);
    }
    template <typename T>
    T* blockPtr(uint32_t index) const { return blockPtr<T>(blockIt(index)); }

    uint32_t removeBlock(iterator position);
    uint32_t removeBlock(uint32_t index) { return removeBlock(blockIt(index)); }

    uint32_t setOption(const void* bytes, uint32_t n) { return m_topBlock.setOption(bytes, n); }
    const uint8_t* option() const { return m_topBlock.option(); }
    uint32_t optionSize() const { return m_topBlock.optionSize(false); }

    [[nodiscard]] uint32_t readFile(const char* path, bool withData, volatile bool* stop, IMBDFObserver* observer,
                                    bool preCheck, uint32_t blockLimit);
    [[nodiscard]] virtual uint32_t readAll(const char* path, bool withData, volatile bool* stop,
                                           IMBDFObserver* observer, uint32_t blockLimit);
    [[nodiscard]] virtual uint32_t refresh();
    // Writes a temporary file beside the target and renames it over the target only on success,
    // so a failure or a stop never damages the previous file.
    [[nodiscard]] uint32_t writeFile(const char* path, volatile bool* stop, IMBDFObserver* observer, bool sync);
    [[nodiscard]] virtual uint32_t writeAll(const char* path, volatile bool* stop, IMBDFObserver* observer, bool sync);
    [[nodiscard]] virtual uint32_t readBynaryData(const void* bytes, uint32_t length);

    [[nodiscard]] uint32_t cacheBlock(const_iterator position, FileAccessor* accessor);
    uint32_t uncacheBlock(const_iterator position);
    uint32_t offset(const_iterator position) const;
    [[nodiscard]] uint32_t blockAccessor(FileAccessor* accessor, const_iterator position) const;
    const std::string& filePath() const { return m_filePath; }

    static bool checkValidity(const char* path);
    static bool checkValidity(FileAccessor& accessor, uint32_t fileSize);
    static bool checkBlockValidity(std::string& tag, const uint8_t* header);
    static bool checkStopFlag(volatile bool* flag) { return flag && *flag; }
    static uint32_t addFactory(const char* tag, IMBDFBlockFactory* factory);
    static std::string makeFullPath(const char* folder, const char* name);

private:
    void insertBlock(uint32_t index, MBDFAbstractBlock* block);
    uint32_t readBlocks(FileAccessor& file, const char* path, uint32_t fileSize, volatile bool* stop,
                        IMBDFObserver& observer, bool withData, bool preCheck, uint32_t blockLimit);
    uint32_t writeBlocks(FileAccessor& file, const char* path, volatile bool* stop, IMBDFObserver& observer,
                         bool sync);

    BlockList m_blocks;
    MBDFTopBlock m_topBlock;
    MBDFEndBlock m_endBlock;
    std::string m_filePath;
    bool m_blockSearchAborted = false;
};

uint32_t fcache_getUuid(uint8_t* buffer, uint32_t size);
uint32_t splitString(std::vector<std::string>& out, const std::string& text, const std::string& delimiter);

}  // namespace FILECACHE
