#pragma once
// The string pool of a root: unit texts, name formats and the other strings of its definition in
// one block, appended one after another and never removed one by one. Used under the locks of the
// field that owns the root.
#include <cstdint>

namespace MMS {

class SharedMemWrapper;

class StringMemoryFactory {
public:
    StringMemoryFactory() = default;
    // Frees nothing: the owner gives an owned pool back with destroy and its wrapper first.
    virtual ~StringMemoryFactory() = default;

    StringMemoryFactory(const StringMemoryFactory&) = delete;
    StringMemoryFactory& operator=(const StringMemoryFactory&) = delete;

    // As allocMemoryPool.
    [[nodiscard]] uint32_t createMemoryArea(SharedMemWrapper* memory, uint32_t size);
    // Takes a zero-filled owned pool of size bytes from memory. 0x80000002 when a pool is present,
    // 0x80000001 without wrapper, 0x80000003 when the wrapper has no block; size 0 gives 0 and no pool.
    [[nodiscard]] uint32_t allocMemoryPool(SharedMemWrapper* memory, uint32_t size);
    // Copies a saved pool whole into an owned pool (null data or size 0: 0, nothing done).
    [[nodiscard]] uint32_t restore(SharedMemWrapper* memory, const char* data, uint32_t size);
    // Adopts a pool of another root without owning it (it stays alive as long as that root); a
    // present pool is released first and its failure returned with nothing changed.
    [[nodiscard]] uint32_t joint(const char* data, uint32_t size);
    // Gives an owned pool back through memory (0x80000001 without one: everything kept), forgets a
    // joined one.
    [[nodiscard]] uint32_t releaseMemoryPool(SharedMemWrapper* memory);
    // releaseMemoryPool; always 0.
    uint32_t destroy(SharedMemWrapper* memory);

    // Appends text (at most length bytes, its terminator when it fits) or, for a null text, a
    // zero-filled reservation of length bytes, and gives its offset and stored length. Length 0,
    // or an empty text with skipEmpty, stores nothing and gives offset and length 0. 0x80000002
    // when it does not fit (nothing stored) or for a null output.
    [[nodiscard]] uint32_t createStringPool(uint32_t* offset, uint32_t* storedLength, const char* text,
                                            uint32_t length, bool skipEmpty);

    char* getPoolPointer() const { return m_pPool; }
    uint32_t getPoolSize() const { return m_poolSize; }

private:
    static constexpr uint8_t kOwned = 0x01;

    uint8_t m_flags = 0;
    char* m_pPool = nullptr;
    uint32_t m_poolSize = 0;
    uint32_t m_used = 0;
};

}  // namespace MMS
