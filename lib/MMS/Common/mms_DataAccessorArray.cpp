// Range reads and writes over images: the walk covers every combination of first .. last, the
// last level fastest.
#include <cstring>

#include "internal/mms_DataAccessorImage.h"
#include "jlib/JVariantArray.h"
#include "mms_Result.h"

namespace MMS {

GetArrayValueStrategyForSameValue::GetArrayValueStrategyForSameValue(const JVariantArray& values)
{
    if (values.getLength() == 0 || values.getValue(&m_value, 0) != JVariant::kOk) m_value.invalid();
}

const JVariant& GetArrayValueStrategyForDiffValue::value()
{
    if (m_next >= m_values.getLength() || m_values.getValue(&m_value, m_next) != JVariant::kOk) {
        m_next = m_values.getLength();
        return m_invalid;
    }
    ++m_next;
    return m_value;
}

namespace {

using internal::Address;
using internal::ImageView;
using internal::NodeTag;
using internal::Position;

// The walk over a range: the recorded node of each level, the working vector and the position.
class RangeWalk {
public:
    // Reads the recorded path back; false for a path that does not match the depth.
    bool init(const ImageView& view, const GetTagVisitorForArray& visitor, uint32_t depth, const uint32_t* first,
              const uint32_t* last, const Position& start)
    {
        if (visitor.tagNum() != depth + 1) return false;
        for (uint32_t level = 0; level < depth; ++level) {
            if (!internal::loadNode(view, visitor.tagInfo(level + 1), &m_nodes[level])) return false;
            m_current[level] = first[level];
            m_first[level] = first[level];
            uint32_t count = internal::nodeCount(m_nodes[level]);
            // No more instances than the data area can hold: a crafted count must not make the
            // walk run for billions of steps (an image's own counts always fit).
            if (m_nodes[level].category == kMmsNodeCollection) {
                const uint32_t bytes = m_nodes[level].col.elementDataSize;
                const uint64_t fit = bytes == 0 ? 1 : uint64_t{view.dataSize} / bytes + 1;
                if (count > fit) count = static_cast<uint32_t>(fit);
            }
            m_limit[level] = count == 0 ? 0 : (last[level] >= count ? count - 1 : last[level]);
        }
        m_depth = depth;
        m_bits = start.offset * 8 + start.bit;
        return true;
    }

    Position position() const
    {
        Position p;
        p.offset = m_bits / 8;
        p.bit = static_cast<uint8_t>(m_bits % 8);
        return p;
    }

    // False when the walk is complete.
    bool step()
    {
        for (uint32_t level = m_depth; level-- > 0;) {
            const uint64_t stride = strideBits(m_nodes[level]);
            if (m_current[level] < m_limit[level] && m_current[level] >= m_first[level]) {
                ++m_current[level];
                m_bits += stride;
                return true;
            }
            // Back by exactly the steps taken at this level since it was last reset.
            m_bits -= stride * (m_current[level] - m_first[level]);
            m_current[level] = m_first[level];
        }
        return false;
    }

private:
    static uint64_t strideBits(const NodeTag& node)
    {
        if (node.category == kMmsNodeCollection) return uint64_t{node.col.elementDataSize} * 8;
        if (internal::isBitParameter(node.prm)) return 1;
        return uint64_t{node.prm.elementSize} * 8;
    }

    NodeTag m_nodes[kMmsMaxDepth];
    uint32_t m_current[kMmsMaxDepth] = {};
    uint32_t m_first[kMmsMaxDepth] = {};
    uint32_t m_limit[kMmsMaxDepth] = {};
    uint32_t m_depth = 0;
    uint64_t m_bits = 0;
};

Address rangeAddress(const char* address, uint32_t addressLength, const uint32_t* nodeVector,
                     const uint32_t* first, uint32_t depth)
{
    Address a;
    // A non-empty string address wins; without a node vector an empty one names the top.
    a.byName = (address != nullptr && addressLength != 0 && address[0] != '\0') || nodeVector == nullptr;
    a.text = address;
    a.length = addressLength;
    a.nodes = nodeVector;
    a.indexes = first;
    a.depth = depth;
    return a;
}

// Opens the root, resolves the first position and prepares the walk.
uint32_t startWalk(ImageView* view, RangeWalk* walk, NodeTag* node, const void* image, uint32_t size,
                   const char* rootName, const Address& address, const uint32_t* first, const uint32_t* last,
                   uint32_t depth)
{
    if (depth > kMmsMaxDepth) return kMmsLimit;
    if (depth > 0 && (first == nullptr || last == nullptr)) return kMmsBadArgument;
    uint32_t r = internal::openRoot(view, image, size, rootName);
    if (r != kMmsOk) return r;
    GetTagVisitorForArray visitor;
    Position start;
    r = internal::resolve(*view, visitor, address, &start, node);
    if (r != kMmsOk) return r;
    if (visitor.overflowed()) return kMmsLimit;
    static const uint32_t kNone[1] = {0};
    if (!walk->init(*view, visitor, depth, depth > 0 ? first : kNone, depth > 0 ? last : kNone, start)) {
        return kMmsBadArgument;
    }
    return kMmsOk;
}

}  // namespace

uint32_t DataAccessor::getArray(JVariantArray* values, const void* image, uint32_t size, const char* rootName,
                                const char* address, uint32_t addressLength, const uint32_t* nodeVector,
                                const uint32_t* first, const uint32_t* last, uint32_t depth)
{
    if (values == nullptr) return kMmsBadArgument;
    ImageView view;
    RangeWalk walk;
    NodeTag node;
    const uint32_t r = startWalk(&view, &walk, &node, image, size, rootName,
                                 rangeAddress(address, addressLength, nodeVector, first, depth), first, last, depth);
    if (r != kMmsOk) return r;
    for (uint32_t k = 0;; ++k) {
        if (k >= values->getLength()) return kMmsLimit;
        JVariant value;
        // A refused element leaves its entry as it was and the walk goes on.
        if (internal::readElement(&value, view, node, walk.position()) == kMmsOk &&
            values->setValue(k, value) != JVariant::kOk) {
            return kMmsLimit;
        }
        if (!walk.step()) return kMmsOk;
    }
}

uint32_t DataAccessor::setArray(const JVariantArray& values, void* image, uint32_t size, const char* rootName,
                                const char* address, uint32_t addressLength, const uint32_t* nodeVector,
                                const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t sameValue,
                                uint8_t setType)
{
    ImageView view;
    RangeWalk walk;
    NodeTag node;
    const uint32_t r = startWalk(&view, &walk, &node, image, size, rootName,
                                 rangeAddress(address, addressLength, nodeVector, first, depth), first, last, depth);
    if (r != kMmsOk) return r;
    GetArrayValueStrategyForSameValue same(values);
    GetArrayValueStrategyForDiffValue diff(values);
    IGetArrayValueStrategy& source = sameValue != 0 ? static_cast<IGetArrayValueStrategy&>(same) : diff;
    // A range of a sound image holds each element once, so its walk never takes more steps than
    // the data area has bits (plus one parameter's worth of empty elements); only crafted counts
    // and strides could, and they are refused rather than walked for hours.
    uint64_t budget = 8 * uint64_t{view.dataSize} + 0x10000;
    for (;; --budget) {
        if (budget == 0) return kMmsBadArgument;
        const JVariant& value = source.value();
        if (!value.isValid()) return kMmsLimit;
        (void)internal::writeElement(value, view, node, walk.position(), setType);  // a refusal is passed over
        if (!walk.step()) return kMmsOk;
    }
}

uint32_t DataAccessor::getPrmArray(JVariantArray* values, const void* image, uint32_t size, const char* rootName,
                                   const char* address, uint32_t addressLength, const uint32_t* first,
                                   const uint32_t* last, uint32_t depth)
{
    return getArray(values, image, size, rootName, address, addressLength, nullptr, first, last, depth);
}

uint32_t DataAccessor::getPrmArrayFast(JVariantArray* values, const void* image, uint32_t size,
                                       const char* rootName, const uint32_t* nodeVector, const uint32_t* first,
                                       const uint32_t* last, uint32_t depth)
{
    return getArray(values, image, size, rootName, nullptr, 0, nodeVector, first, last, depth);
}

uint32_t DataAccessor::setPrmArray(const JVariantArray& values, void* image, uint32_t size, const char* rootName,
                                   const char* address, uint32_t addressLength, const uint32_t* first,
                                   const uint32_t* last, uint32_t depth, uint8_t sameValue, uint8_t setType)
{
    return setArray(values, image, size, rootName, address, addressLength, nullptr, first, last, depth, sameValue,
                    setType);
}

uint32_t DataAccessor::setPrmArrayFast(const JVariantArray& values, void* image, uint32_t size,
                                       const char* rootName, const uint32_t* nodeVector, const uint32_t* first,
                                       const uint32_t* last, uint32_t depth, uint8_t sameValue, uint8_t setType)
{
    return setArray(values, image, size, rootName, nullptr, 0, nodeVector, first, last, depth, sameValue, setType);
}

}  // namespace MMS
