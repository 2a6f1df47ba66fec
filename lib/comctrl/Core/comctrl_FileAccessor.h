#pragma once
// IFileAccessor over the storage layer: every path is the root, a separator and the relative path.
// A relative path never leaves the root (no ".." part, no leading separator, no backslash).
// One task; ExclusiveAccessor serialises several.
#include <cstdint>
#include <memory>
#include <string>

#include "comctrl_IFileAccessor.h"

namespace FILECACHE {
class FileAccessor;
}

namespace ComControl {

class FileInfoCache;

class FileAccessor : public IFileAccessor {
public:
    static constexpr JLIB::JResult kEndOfFile = 1;
    static constexpr JLIB::JResult kFailed = 0x80000000u;
    static constexpr JLIB::JResult kBadArgument = 0x80000002u;
    static constexpr JLIB::JResult kNotInitialized = 0x80000003u;  // also: hash of a non-container
    static constexpr JLIB::JResult kBusy = 0x80000004u;
    static constexpr JLIB::JResult kNotFound = 0x80000005u;
    static constexpr JLIB::JResult kExists = 0x80000006u;
    static constexpr JLIB::JResult kNameTooLong = 0x80000007u;
    static constexpr JLIB::JResult kWrongKind = 0x80000008u;
    static constexpr JLIB::JResult kNotEmpty = 0x80000009u;
    static constexpr JLIB::JResult kTooLarge = 0x8000000Bu;
    static constexpr JLIB::JResult kQuota = 0x8000000Cu;
    static constexpr JLIB::JResult kNoMemory = 0x8000000Du;
    static constexpr JLIB::JResult kHashTooSmall = 0x8000000Eu;

    // The root, then the relative path of the operation running now.
    class FullPath {
    public:
        FullPath() = default;
        FullPath(const FullPath& other);  // the root only
        FullPath& operator=(const FullPath&) = delete;
        // 0x80000002 for a null root, capacity 0 or a root not below capacity - 2.
        [[nodiscard]] JLIB::JResult initialize(const char* root, uint32_t capacity, char separator);
        // 0x80000003 uninitialised; 0x80000004 while an operation holds the buffer.
        [[nodiscard]] JLIB::JResult check() const;
        // 0x80000002 for a path that leaves the root, 0x80000007 when it does not fit.
        [[nodiscard]] JLIB::JResult prepare(const char* relative);
        void revert();
        const char* c_str() const { return m_buffer.get(); }

    private:
        bool m_initialized = false;
        std::unique_ptr<char[]> m_buffer;
        uint32_t m_capacity = 0;
        uint32_t m_rootLength = 0;
        char m_separator = '/';
    };

    FileAccessor();
    ~FileAccessor() override;

    // Once; cache is borrowed (the owner keeps it alive), may be null. 0; 0x80000003 when already
    // initialised; 0x80000002 bad root or capacity; 0x8000000D out of memory.
    [[nodiscard]] JLIB::JResult initialize(uint32_t slotCount, const char* root, uint32_t capacity, char separator,
                                           FileInfoCache* cache);

    // True for a relative path that stays below the root.
    static bool isSafeRelativePath(const char* path);
    // Storage-layer results as accessor results.
    static JLIB::JResult fromFswErr(JLIB::JResult result);
    static JLIB::JResult fromMbdfErr(JLIB::JResult result);

    [[nodiscard]] JLIB::JResult open(uint32_t slot, const char* path, uint32_t mode) override;
    JLIB::JResult close(uint32_t slot) override;
    JLIB::JResult isOpen(uint32_t slot) override;
    [[nodiscard]] JLIB::JResult read(uint32_t slot, void* buffer, uint32_t* count, uint32_t size) override;
    [[nodiscard]] JLIB::JResult write(uint32_t slot, const void* data, uint32_t size, uint32_t* written) override;
    [[nodiscard]] JLIB::JResult seek(uint32_t slot, int32_t offset, FILESEEK origin) override;
    [[nodiscard]] JLIB::JResult tell(uint32_t slot, uint32_t* position) override;
    [[nodiscard]] JLIB::JResult size(uint32_t slot, const char* path, uint32_t* size) override;
    [[nodiscard]] JLIB::JResult remove(uint32_t slot, const char* path) override;
    [[nodiscard]] JLIB::JResult copy(uint32_t slot, const char* source, const char* destination) override;
    [[nodiscard]] JLIB::JResult rename(uint32_t slot, const char* oldPath, const char* newPath) override;
    [[nodiscard]] JLIB::JResult exists(uint32_t slot, const char* path, bool* isFolder) override;
    [[nodiscard]] JLIB::JResult hash(uint32_t slot, const char* path, uint8_t* buffer, uint32_t capacity,
                                     uint32_t* length) override;
    [[nodiscard]] JLIB::JResult makeDir(uint32_t slot, const char* path) override;
    [[nodiscard]] JLIB::JResult removeDir(uint32_t slot, const char* path) override;
    JLIB::JResult sync(uint32_t slot) override;

private:
    struct OpenInfo {
        std::string path;
        uint32_t mode = 4;
        bool deferred = false;
        void clear() { path.clear(); mode = 4; deferred = false; }
    };

    JLIB::JResult checkSlot(uint32_t slot) const;
    JLIB::JResult openInternal(uint32_t slot, const char* path, uint32_t mode);
    JLIB::JResult openDeferred(uint32_t slot);
    JLIB::JResult hashInternal(uint32_t slot, const char* path, uint8_t* buffer, uint32_t capacity, uint32_t* length);
    // Runs op on the full path of relative, restoring the root afterwards.
    template <typename Op>
    JLIB::JResult onPath(const char* relative, Op op);

    bool m_initialized = false;
    std::unique_ptr<FullPath> m_pRoot;
    std::unique_ptr<FILECACHE::FileAccessor[]> m_pSlots;
    uint32_t m_slotCount = 0;
    FileInfoCache* m_pCache = nullptr;  // the owner's
    std::unique_ptr<OpenInfo[]> m_pOpenInfo;
};

// A FileAccessor shared by several tasks: each operation holds the semaphore (0 = no locking).
// isOpen, tell, rename and sync are left to a derived class.
class ExclusiveAccessor : public IFileAccessor {
public:
    [[nodiscard]] JLIB::JResult initialize(uint32_t slotCount, const char* root, uint32_t capacity, char separator,
                                           uint16_t semId);

    [[nodiscard]] JLIB::JResult open(uint32_t slot, const char* path, uint32_t mode) override;
    JLIB::JResult close(uint32_t slot) override;
    [[nodiscard]] JLIB::JResult read(uint32_t slot, void* buffer, uint32_t* count, uint32_t size) override;
    [[nodiscard]] JLIB::JResult write(uint32_t slot, const void* data, uint32_t size, uint32_t* written) override;
    [[nodiscard]] JLIB::JResult seek(uint32_t slot, int32_t offset, FILESEEK origin) override;
    [[nodiscard]] JLIB::JResult size(uint32_t slot, const char* path, uint32_t* size) override;
    [[nodiscard]] JLIB::JResult remove(uint32_t slot, const char* path) override;
    [[nodiscard]] JLIB::JResult copy(uint32_t slot, const char* source, const char* destination) override;
    [[nodiscard]] JLIB::JResult exists(uint32_t slot, const char* path, bool* isFolder) override;
    [[nodiscard]] JLIB::JResult hash(uint32_t slot, const char* path, uint8_t* buffer, uint32_t capacity,
                                     uint32_t* length) override;
    [[nodiscard]] JLIB::JResult makeDir(uint32_t slot, const char* path) override;
    [[nodiscard]] JLIB::JResult removeDir(uint32_t slot, const char* path) override;
    ~ExclusiveAccessor() override = default;

protected:
    // Wait for and give back the semaphore; nothing for id 0.
    void lock();
    void unlock();
    FileAccessor& accessor() { return m_accessor; }

private:
    // The semaphore for one operation.
    class Hold {
    public:
        explicit Hold(ExclusiveAccessor& owner) : m_owner(owner) { m_owner.lock(); }
        ~Hold() { m_owner.unlock(); }

    private:
        ExclusiveAccessor& m_owner;
    };

    uint16_t m_semId = 0;
    FileAccessor m_accessor;
};

}  // namespace ComControl
