#pragma once
// Writes export-image tags and headers byte by byte in a chosen byte order, from the field tables
// of the format, independently of the library's writers: the expectation side of the image tests.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace MmsTest {

using Bytes = std::vector<unsigned char>;

struct PrmTag {
    std::string name;
    uint8_t dataClass;
    uint16_t elementSize;
    uint16_t arraySize;
    uint8_t length = 32;
};

struct ColTag {
    std::string name;
    uint32_t dataOffset;
    uint32_t elementSize;
    uint32_t arraySize;
    std::vector<PrmTag> parameters;
    std::vector<ColTag> children;
    uint8_t length = 48;
};

class ByteWriter {
public:
    explicit ByteWriter(bool bigEndian) : m_big(bigEndian) {}
    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v)
    {
        if (m_big) {
            u8(static_cast<uint8_t>(v >> 8));
            u8(static_cast<uint8_t>(v));
        } else {
            u8(static_cast<uint8_t>(v));
            u8(static_cast<uint8_t>(v >> 8));
        }
    }
    void u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (m_big ? 24 - 8 * i : 8 * i)));
    }
    void f32(float f)
    {
        uint32_t v = 0;
        std::memcpy(&v, &f, 4);
        u32(v);
    }
    // A NUL-padded text field.
    void text(const std::string& s, size_t field)
    {
        for (size_t i = 0; i < field; ++i) u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void raw(const Bytes& b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    const Bytes& bytes() const { return m_bytes; }

private:
    bool m_big;
    Bytes m_bytes;
};

inline Bytes encodeTags(const ColTag& col, bool big)
{
    ByteWriter prms(big);
    for (const PrmTag& p : col.parameters) {
        prms.text("PR", 2);
        prms.u8(p.length);
        prms.u8(p.dataClass);
        prms.u16(p.elementSize);
        prms.u16(p.arraySize);
        prms.text(p.name, 24);
        for (int i = 32; i < p.length; ++i) prms.u8(0xEE);  // bytes beyond the fields the format knows
    }
    Bytes children;
    for (const ColTag& c : col.children) {
        const Bytes child = encodeTags(c, big);
        children.insert(children.end(), child.begin(), child.end());
    }
    ByteWriter head(big);
    head.text("COL", 3);
    head.u8(col.length);
    head.text(col.name, 24);
    head.u32(static_cast<uint32_t>(prms.bytes().size()));
    head.u32(static_cast<uint32_t>(children.size()));
    head.u32(col.dataOffset);
    head.u32(col.elementSize);
    head.u32(col.arraySize);
    for (int i = 48; i < col.length; ++i) head.u8(0xEE);
    head.raw(prms.bytes());
    head.raw(children);
    return head.bytes();
}

inline Bytes encodeHeader(bool big, const std::string& name, const std::string& version, const std::string& uuid,
                          uint32_t tagSize, uint32_t dataSize)
{
    ByteWriter w(big);
    w.text("MMS", 3);
    w.u8(88);
    w.text(big ? "BIG" : "LIT", 4);
    w.text(name, 24);
    w.text(version, 12);
    w.text(uuid, 36);
    w.u32(tagSize);
    w.u32(dataSize);
    return w.bytes();
}

}  // namespace MmsTest
