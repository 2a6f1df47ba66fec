#pragma once
// A run of elements of one type with a capacity fixed at construction, drawn from the SCP heap.
// Printed separated by blanks in raw form and as a bracketed, comma-separated list in JSON.
#include "jlib/JAllocator.h"
#include "jlib/JVector.h"
#include "textcontrol/ScpElement.h"
#include "textcontrol/ScpHeap.h"

namespace SCP {

template <typename T>
class ScpElementArray : public ScpElement {
public:
    static constexpr JLIB::JResult kFull = 0x80000005u;

    explicit ScpElementArray(uint32_t capacity)
        : m_capacity(capacity), m_elements(capacity, JLIB::JAllocator<T>(getScpHeapId(), "T"))
    {
    }

    void clear() override
    {
        ScpElement::clear();
        (void)m_elements.clear();  // keeps the storage
    }
    uint32_t capacity() const override { return m_capacity; }

    // A new element with the array's tag reads the token and is appended even when it refused
    // it; its status, or 0x80000005 when the array is full.
    [[nodiscard]] JLIB::JResult decode(const ScpString& token) override
    {
        if (m_elements.size() >= m_elements.capacity()) return kFull;
        T element;
        element.initialize(getTag());
        const JLIB::JResult status = element.decode(token);
        JLIB_RETURN_IF_FAILED(append(element));
        return status;
    }

    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override
    {
        const bool json = format == kScpFormatJson;
        if (json) JLIB_RETURN_IF_FAILED(pushByte(stream, '['));
        bool first = true;
        for (T& element : m_elements) {
            if (!first) JLIB_RETURN_IF_FAILED(pushByte(stream, json ? ',' : ' '));
            first = false;
            JLIB_RETURN_IF_FAILED(element.encode(format, encoding, stream));
        }
        if (json) JLIB_RETURN_IF_FAILED(pushByte(stream, ']'));
        return JLIB::kOk;
    }

    // 0x80000005 when full (contents kept); otherwise set flag on and 0.
    [[nodiscard]] JLIB::JResult append(const T& element)
    {
        if (JLIB::isFailure(m_elements.push_back(element))) return kFull;
        markSet(true);
        return JLIB::kOk;
    }

    uint32_t size() const { return m_elements.size(); }
    T* at(uint32_t index) { return index < m_elements.size() ? m_elements.begin() + index : nullptr; }

private:
    static JLIB::JResult pushByte(JLIB::JDataStream<unsigned char>& stream, unsigned char b)
    {
        return JLIB::isFailure(stream.push(b)) ? kStreamFull : JLIB::kOk;
    }

    uint32_t m_capacity;
    JLIB::JVector<T> m_elements;
};

}  // namespace SCP
