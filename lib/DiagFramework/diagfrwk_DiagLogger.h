#pragma once
// The diagnostics log: the newest 4096 characters of what the diagnostics console printed and
// received, shared process-wide. Any task; every operation takes the lock "DiagLog". The owner
// calls initialize before the console is used and finalize after the last user.
#include <cstdint>
#include <memory>

#include "TMS/TMSMutex.h"
#include "jlib/jlib_result.h"

namespace DiagFramework {

class DiagLogger {
public:
    static constexpr uint32_t kCapacity = 4096;

    static DiagLogger& getInstance();

    // Creates the lock, replacing an earlier one; 0, or 0x80000000 when it cannot be made.
    [[nodiscard]] JLIB::JResult initialize();
    // Deletes the lock; the characters stay. Always 0.
    JLIB::JResult finalize();

    // Appends every character, dropping the oldest beyond 4096. 0x80000000 for a null text or
    // without a lock.
    JLIB::JResult add(const char* text);
    // Characters held plus one (room for the terminator); 1 without a lock.
    uint32_t getLogSize() const;
    // Copies the newest size - 1 characters (or all), NUL-terminated, and answers the number
    // copied plus one; 0 and nothing copied for a null buffer, size 0 or no lock.
    uint32_t getAll(char* buffer, uint32_t size) const;
    JLIB::JResult clear();
    // Writes every character, without a terminator, into the file (created or truncated).
    // 0x80000000 for a null path, without a lock, or when opening, writing or closing fails.
    [[nodiscard]] JLIB::JResult exportToFile(const char* path) const;

private:
    DiagLogger() = default;

    std::unique_ptr<TMS::TMSMutex> m_pLock;  // replaced only by the owner, outside any use
    char m_ring[kCapacity] = {};
    uint32_t m_head = 0;   // index of the oldest character
    uint32_t m_count = 0;  // guarded by the lock
};

}  // namespace DiagFramework
