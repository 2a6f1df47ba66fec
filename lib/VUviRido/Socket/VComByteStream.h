#pragma once
// Bounded first-in first-out byte store of a socket object (its receive or send stream), copied in
// and out in whole runs rather than byte by byte. Holds no lock: the owner task serialises access.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace VCOM {

class VComByteStream {
public:
    VComByteStream() = default;
    ~VComByteStream();
    VComByteStream(const VComByteStream&) = delete;
    VComByteStream& operator=(const VComByteStream&) = delete;

    // Takes `capacity` bytes from heap 0: 0, or 0x80000003 when they cannot be had (the stream
    // then has no storage: it is empty and full at once, and every push and pop takes nothing).
    [[nodiscard]] JLIB::JResult initialize(uint32_t capacity);
    // Stores as many bytes as fit; *stored tells how many (none from a null pointer).
    void push(const unsigned char* data, uint32_t length, uint32_t* stored);
    // All or nothing: false (nothing stored) when the bytes do not all fit or data is null.
    bool pushAll(const unsigned char* data, uint32_t length);
    // Takes up to `size` of the oldest bytes; *taken tells how many (none into a null pointer).
    void pop(unsigned char* out, uint32_t size, uint32_t* taken);
    void clear();

    bool isEmpty() const { return m_count == 0; }
    uint32_t getRemainSize() const { return m_capacity - m_count; }

private:
    unsigned char* m_pStorage = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    uint32_t m_read = 0;  // position of the oldest byte
};

}  // namespace VCOM
