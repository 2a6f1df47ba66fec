#pragma once
// The "#FILE" container block: one file or folder of a tree, its name relative to a base folder,
// its attributes and its content scrambled with a key byte and optionally deflated. A block and its
// stream handles belong to one task at a time.
#include <cstdint>
#include <string>

#include "fcache_FileAccessor.h"
#include "fcache_MBDFAbstractBlock.h"

namespace FILECACHE {

struct StreamHandle;

class MBDFFileBlock : public MBDFAbstractBlock {
public:
    // 0 stores the content; 1 to 10 are deflate levels (10 is served as the best level, 9).
    using CompressionLevel = int32_t;
    static constexpr CompressionLevel kDefaultLevel = 6;
    static constexpr uint32_t kMaxNameLength = 65535;
    static constexpr uint32_t kOptionHeaderSize = 8;

    static constexpr uint32_t ATTR_READONLY = 0x01;
    static constexpr uint32_t ATTR_HIDDEN = 0x02;
    static constexpr uint32_t ATTR_EXECUTABLE = 0x04;
    static constexpr uint32_t ATTR_COMPRESSED = 0x08;
    static constexpr uint32_t ATTR_FOLDER = 0x80;

    // The sink of outputData.
    class IFileWriteStrategy {
    public:
        virtual ~IFileWriteStrategy() = default;
        virtual uint32_t write(const void* bytes, uint32_t count, uint32_t* written) = 0;
    };

    MBDFFileBlock() = default;
    MBDFFileBlock(const MBDFFileBlock&) = default;
    MBDFFileBlock& operator=(const MBDFFileBlock&) = default;
    ~MBDFFileBlock() override;

    uint32_t initialize(const MBDFAbstractBlock& other, bool deepCopy) override;
    uint32_t initialize(const void* bytes, unsigned length, unsigned& consumed) override;
    // Content comes only from the creating operations; calling this is a programming error.
    uint32_t setData(const void* bytes, unsigned n) override;
    void clear() override;
    bool isValid() const override;
    uint32_t blockTagLength() const override { return 12; }
    // Deferred blocks pack their source file here; a block read without its data is refused
    // with 0x80000006, since its content is not at hand.
    uint32_t writeToFile(const FileAccessor& accessor) override;

    // Makes the block from makeFullPath(baseFolder, name) on disk. Without importNow a file stays
    // deferred: its content is packed when the block is written. extraOptions is for subclasses.
    [[nodiscard]] virtual uint32_t initialize(const char* subTag, bool folder, const char* baseFolder,
                                              const char* name, bool importNow, CompressionLevel level, uint8_t key,
                                              const void* extraOptions);
    [[nodiscard]] uint32_t importFile(const char* baseFolder, const char* name, CompressionLevel level, uint8_t key);

    // Hands the restored content of a block held in memory to the sink.
    [[nodiscard]] uint32_t outputData(IFileWriteStrategy& sink) const;
    // Writes the entry below targetFolder under name, or under its stored name when name is null.
    // A stored name that would leave targetFolder ("..", absolute, backslash) gives 0x80000001.
    [[nodiscard]] uint32_t exportFile(const char* targetFolder, const char* name);
    // Reads this block at the container's position and writes the entry below targetFolder.
    [[nodiscard]] uint32_t streamExportFile(const char* targetFolder, const FileAccessor& container,
                                            uint32_t outputSize);

    // Streamed reading from a container positioned at this block's header (MBDF::blockAccessor).
    [[nodiscard]] uint32_t streamOpenFile(StreamHandle** handle, const FileAccessor& container);
    // 0 or 1 (end of file) with *count bytes delivered; 0 bytes once the content is exhausted.
    [[nodiscard]] uint32_t streamReadFile(void* buffer, uint32_t* count, uint32_t size, const FileAccessor& container,
                                          StreamHandle* handle);
    // Leaves the container after the block and deletes the handle.
    [[nodiscard]] uint32_t streamCloseFile(StreamHandle* handle, const FileAccessor& container);

    std::string fileName() const;
    uint32_t setAttribute(bool readOnly, bool hidden, bool executable);
    uint32_t attribute() const;
    bool isDir() const { return (attribute() & ATTR_FOLDER) != 0; }
    bool isReadOnly() const { return (attribute() & ATTR_READONLY) != 0; }
    bool isHidden() const { return (attribute() & ATTR_HIDDEN) != 0; }
    bool isExecutable() const { return (attribute() & ATTR_EXECUTABLE) != 0; }
    bool isCompressed() const { return (attribute() & ATTR_COMPRESSED) != 0; }
    uint8_t scrambleMask() const;
    const std::string& baseFolder() const { return m_baseFolder; }
    CompressionLevel compressionLevel() const { return m_level; }

    static std::string makeFullPath(const char* folder, const char* name);
    // Makes the folders of the leading parts of path (relative to the working folder);
    // 0x80000003 at a ".." part.
    static uint32_t createSubDirectories(const char* path);
    // True for a relative name that stays inside its folder: not empty, no leading "/",
    // no backslash and no ".." part.
    static bool isSafeEntryName(const std::string& name);

    static const char* constBlockTag() { return "#FILE"; }
    static uint32_t useThisBlock() { return useBlockType<MBDFFileBlock>(); }

protected:
    // The option area holds the fixed fields and a name that fits inside it.
    bool hasSoundOption() const;
    uint32_t nameLength() const;
    void rememberSource(const char* baseFolder, CompressionLevel level, bool deferred);
    // Steps 1 to 3 of initialize shared with subclasses: checks arguments and reads attributes.
    uint32_t queryEntry(const char* baseFolder, const char* name, bool& readOnly, bool& hidden, bool& executable,
                        bool& folder) const;
    uint32_t finishInitialize(bool folder, const char* baseFolder, const char* name, bool importNow,
                              CompressionLevel level, uint8_t key);

private:
    uint32_t exportTo(const char* targetFolder, const std::string& target);
    uint32_t applyAttributes(const std::string& target) const;
    uint32_t readForStream(const FileAccessor& container, bool& held);

    std::string m_baseFolder;
    CompressionLevel m_level = kDefaultLevel;
    // Set only by initialize for a file left on disk; a block read from a container without its
    // data is not deferred, so writing it cannot pack some unrelated file of the same name.
    bool m_deferred = false;
};

}  // namespace FILECACHE
