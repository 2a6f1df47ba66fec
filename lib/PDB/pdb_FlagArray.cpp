#include "pdb_FlagArray.h"

#include <cstring>
#include <new>

namespace PDB {

namespace {

constexpr JLIB::JResult kNoMemory = 0x80040000u;
// The fill helper's refusal for a missing buffer, kept for callers that compare it.
constexpr JLIB::JResult kEmptyFill = 0x80000003u;

// Entry k: the k most significant bits set; entry 0 stands for a full last word.
constexpr uint32_t kMaskPattern[32] = {
    0xFFFFFFFFu, 0x80000000u, 0xC0000000u, 0xE0000000u, 0xF0000000u, 0xF8000000u, 0xFC000000u, 0xFE000000u,
    0xFF000000u, 0xFF800000u, 0xFFC00000u, 0xFFE00000u, 0xFFF00000u, 0xFFF80000u, 0xFFFC0000u, 0xFFFE0000u,
    0xFFFF0000u, 0xFFFF8000u, 0xFFFFC000u, 0xFFFFE000u, 0xFFFFF000u, 0xFFFFF800u, 0xFFFFFC00u, 0xFFFFFE00u,
    0xFFFFFF00u, 0xFFFFFF80u, 0xFFFFFFC0u, 0xFFFFFFE0u, 0xFFFFFFF0u, 0xFFFFFFF8u, 0xFFFFFFFCu, 0xFFFFFFFEu,
};

}  // namespace

FlagArray::FlagArray(const FlagArray& other) : IFlagArray() { *this = other; }

FlagArray& FlagArray::operator=(const FlagArray& other)
{
    if (this == &other) return *this;
    (void)finalize();
    if (!other.m_pWords) return *this;
    if (JLIB::isFailure(initialize(other.m_total))) return *this;  // left empty, as documented
    std::memcpy(m_pWords, other.m_pWords, size_t(_u32Num(other.m_total)) * sizeof(uint32_t));
    m_count = other.m_count;
    return *this;
}

FlagArray::~FlagArray() { (void)finalize(); }

JLIB::JResult FlagArray::initialize(unsigned int count)
{
    (void)finalize();
    if (count == 0) return JLIB::kInvalidArgument;
    const uint32_t words = _u32Num(count);
    m_pWords = new (std::nothrow) uint32_t[words];
    if (!m_pWords) return kNoMemory;
    std::memset(m_pWords, 0, size_t(words) * sizeof(uint32_t));
    m_total = count;
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult FlagArray::resize(unsigned int count)
{
    if (count == 0) return finalize();
    return initialize(count);
}

uint32_t FlagArray::finalize()
{
    delete[] m_pWords;
    m_pWords = nullptr;
    m_total = 0;
    m_count = 0;
    return 0;
}

JLIB::JResult FlagArray::setFlag(unsigned int index)
{
    if (index >= m_total) return JLIB::kInvalidArgument;
    uint32_t& word = m_pWords[_u32Pos(index)];
    const uint32_t mask = _bitMask(index);
    if ((word & mask) == 0) {
        word |= mask;
        ++m_count;
    }
    return JLIB::kOk;
}

JLIB::JResult FlagArray::clearFlag(unsigned int index)
{
    if (index >= m_total) return JLIB::kInvalidArgument;
    uint32_t& word = m_pWords[_u32Pos(index)];
    const uint32_t mask = _bitMask(index);
    if ((word & mask) != 0) {
        word &= ~mask;
        --m_count;
    }
    return JLIB::kOk;
}

bool FlagArray::getFlag(unsigned int index) const
{
    if (index >= m_total) return false;
    return (m_pWords[_u32Pos(index)] & _bitMask(index)) != 0;
}

JLIB::JResult FlagArray::setAllFlags()
{
    if (!m_pWords) return kEmptyFill;
    const uint32_t words = _u32Num(m_total);
    std::memset(m_pWords, 0xFF, size_t(words) * sizeof(uint32_t));
    m_pWords[words - 1] = kMaskPattern[_bitPos(m_total)];  // bits past the total stay 0
    m_count = m_total;
    return JLIB::kOk;
}

JLIB::JResult FlagArray::clearAllFlags()
{
    if (!m_pWords) return kEmptyFill;
    std::memset(m_pWords, 0, size_t(_u32Num(m_total)) * sizeof(uint32_t));
    m_count = 0;
    return JLIB::kOk;
}

JLIB::JResult FlagArray::findNextFlag(unsigned int& position) const
{
    if (m_count == 0) return kNoMoreFlag;
    if (position >= m_total) return kFlagPosOutOfRange;
    const uint32_t words = _u32Num(m_total);
    // Bits past the total are always 0, so a hit always lies below the total.
    uint32_t word = _u32Pos(position);
    uint32_t bits = m_pWords[word] & (0xFFFFFFFFu >> _bitPos(position));
    while (bits == 0) {
        if (++word >= words) {
            const uint64_t end = uint64_t(words) * 32u;  // past 2^32 only for the largest totals
            position = end > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(end);
            return kNoMoreFlag;
        }
        bits = m_pWords[word];
    }
    position = word * 32u + uint32_t(__builtin_clz(bits));
    return JLIB::kOk;
}

DummyFlagArray& DummyFlagArray::getInstance()
{
    static DummyFlagArray s_instance;
    return s_instance;
}

uint32_t ImportAttr::set(uint8_t value)
{
    m_value = value;
    return 0;
}

uint32_t ImportAttr::clear() { return set(0); }

uint32_t ImportAttr::add(uint8_t bits) { return set(uint8_t(m_value | bits)); }

uint32_t ImportAttr::remove(uint8_t bits) { return set(uint8_t(m_value & ~bits)); }

}  // namespace PDB
