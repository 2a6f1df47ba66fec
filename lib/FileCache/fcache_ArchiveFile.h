#pragma once
// Archive files: a chosen set of files and folders below a root folder packed into one container
// of file type "Archive", listed, unpacked, extracted or read entry by entry. Content is never
// held whole in memory. An archive file and its read handles belong to one task at a time; only
// the stop flag may be set from another task.
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "fcache_MBDF.h"
#include "fcache_MBDFFileBlock.h"

namespace FILECACHE {

class AbstractArchiveFile;

// The state of one entry opened by AbstractArchiveFile::fopen, deleted by fclose.
struct ArchiveReadHandle {
    AbstractArchiveFile* owner = nullptr;
    MBDFFileBlock* block = nullptr;  // lives in the owner's container
    std::unique_ptr<FileAccessor> accessor;
    StreamHandle* stream = nullptr;
};

class AbstractArchiveFile {
public:
    struct FileItem {
        FileItem(bool isFolder, const std::string& itemName) : folder(isFolder), name(itemName) {}
        bool folder;
        std::string name;          // relative to the root folder, "/" between levels
        void* options = nullptr;   // made and freed through the bridge
    };
    using ItemList = std::list<FileItem>;
    using iterator = ItemList::iterator;
    using const_iterator = ItemList::const_iterator;

    // The kind of block the entries use.
    class IBlockBridge {
    public:
        virtual MBDFFileBlock* createBlock() = 0;
        virtual uint32_t destroyBlock(MBDFFileBlock* block) = 0;
        virtual uint32_t addBlock(MBDF& container, const MBDFFileBlock& block) = 0;
        virtual MBDFFileBlock* blockPtr(MBDF& container, MBDF::const_iterator position) = 0;
        virtual const MBDFFileBlock* blockPtr(const MBDF& container, MBDF::const_iterator position) const = 0;
        virtual void* createOptions(const MBDFFileBlock& block) = 0;
        virtual void* copyOptions(const void* options) = 0;
        virtual uint32_t destroyOptions(void* options) = 0;
        virtual ~IBlockBridge() = default;
    };

    AbstractArchiveFile(const AbstractArchiveFile&) = delete;
    AbstractArchiveFile& operator=(const AbstractArchiveFile&) = delete;
    virtual ~AbstractArchiveFile();

    // The root folder is copied; null or empty takes names as they are.
    uint32_t initialize(const char* rootFolder);
    uint32_t clear();
    uint32_t addItem(const char* relativePath, const void* options);
    uint32_t addAllChildren() { return addItem(".", nullptr); }
    uint32_t _addItem(bool folder, const char* name, const void* options);
    uint32_t _addDirItems(const char* relativeFolder);
    uint32_t removeItem(const char* name);

    iterator find(const char* name);
    const_iterator find(const char* name) const;
    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    uint32_t fileNum() const { return static_cast<uint32_t>(m_items.size()); }
    bool isValid() const { return !m_items.empty(); }

    [[nodiscard]] uint32_t pack(const char* outputFolder, const char* outputName, const char* productName,
                                uint32_t productVersion, MBDFFileBlock::CompressionLevel level, uint8_t key,
                                volatile bool* stop, IMBDFObserver* observer);
    [[nodiscard]] uint32_t load(const char* folder, const char* name, const char* productName, uint32_t lowestVersion);
    [[nodiscard]] uint32_t unpack(const char* targetFolder, volatile bool* stop, IMBDFObserver* observer);
    // 0x80000007 when no entry has the name.
    [[nodiscard]] uint32_t extract(const char* targetFolder, const char* entryName, IMBDFObserver* observer,
                                   uint32_t outputSize);
    [[nodiscard]] uint32_t fopen(ArchiveReadHandle** handle, const char* entryName);
    // 0 or 1 (end of file) with *count bytes; 0 bytes once the entry is exhausted.
    [[nodiscard]] uint32_t fread(void* buffer, uint32_t* count, uint32_t size, ArchiveReadHandle* handle);
    // Deletes the handle whatever the result.
    uint32_t fclose(ArchiveReadHandle* handle);

    static bool checkValidity(const char* folder, const char* name);
    bool isSameProductName(const char* name) const { return m_container.isSameProductName(name); }
    bool isSameFileType(const char* type) const { return m_container.isSameFileType(type); }
    std::string fileType() const { return m_container.fileType(); }
    std::string productName() const { return m_container.productName(); }
    uint32_t productVersion() const { return m_container.productVersion(); }
    const MBDF& container() const { return m_container; }

    static const char* constFileType() { return "Archive"; }

protected:
    AbstractArchiveFile() = default;
    // The subclass owns the bridge and keeps it alive while the archive is used.
    void setBridge(IBlockBridge* bridge) { m_pBridge = bridge; }

private:
    MBDFFileBlock* findEntryBlock(const char* entryName, MBDF::const_iterator& position);
    uint32_t checkHandle(const ArchiveReadHandle* handle) const;

    std::string m_rootFolder;
    ItemList m_items;
    MBDF m_container;
    IBlockBridge* m_pBridge = nullptr;  // owned by the subclass
};

// Archive of plain "#FILE" blocks.
class ArchiveFile : public AbstractArchiveFile {
public:
    ArchiveFile();
    ~ArchiveFile() override;

private:
    std::unique_ptr<IBlockBridge> m_bridge;
};

}  // namespace FILECACHE
