#pragma once
// Frames the editor link's received bytes into lines in one fixed 5 MiB buffer that stays zero
// past its used part. A line that would grow past the buffer is dropped up to its next line feed,
// so the buffer is never written beyond its end. Owner task only; no lock.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "jlib/jlib_result.h"

namespace VDProtocol {

class VDProtocolLineBuffer {
public:
    static constexpr uint32_t kCapacity = 0x500000;  // one line, its line feed included
    static constexpr JLIB::JResult kAlreadyInitialized = 0x80000003u;
    static constexpr JLIB::JResult kNoMemory = 0x80000005u;

    // Receives one complete line: its text up to the line feed included, cut at its first zero
    // byte. The view is valid during the call only.
    using LineHandler = std::function<void(std::string_view line)>;

    VDProtocolLineBuffer() = default;
    VDProtocolLineBuffer(const VDProtocolLineBuffer&) = delete;
    VDProtocolLineBuffer& operator=(const VDProtocolLineBuffer&) = delete;
    virtual ~VDProtocolLineBuffer() = default;

    // Allocates the zeroed buffer: 0, 0x80000003 when it exists, 0x80000005 without memory.
    [[nodiscard]] JLIB::JResult initialize();
    bool isInitialized() const { return m_pBuffer != nullptr; }

    // Adds received bytes: each line feed completes a line, which goes to the handler unless it
    // was dropped as too long; the bytes after the last line feed wait for the next call.
    // Nothing happens before initialize.
    void append(const char* data, uint32_t count, const LineHandler& onLine);

    // Bytes of the unfinished line held now (0 while an over-long line is being dropped).
    uint32_t usedLength() const { return m_used; }
    // Whether the bytes now arriving belong to a line being dropped.
    bool isDropping() const { return m_dropping; }
    // Forgets the unfinished line.
    void clear();

private:
    void store(const char* data, uint32_t count);
    void finishLine(const LineHandler& onLine);

    std::unique_ptr<char[]> m_pBuffer;
    uint32_t m_used = 0;
    bool m_dropping = false;
};

}  // namespace VDProtocol
