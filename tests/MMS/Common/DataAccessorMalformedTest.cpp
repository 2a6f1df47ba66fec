// Crafted images: whatever their tags claim, no operation reads or writes outside the image.
// Each image lies in a buffer of exactly its size, so the sanitizer build sees any stray access.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "DataAccessorTestImages.h"
#include "MMS/Common/mms_DataAccessor.h"
#include "MMS/Common/mms_FilterDataModifier.h"
#include "jlib/JVariantArray.h"

namespace {

using MmsTest::Bytes;
using MMS::DataAccessor;

constexpr uint32_t kBad = 0x80000002u;

// T (8 bytes): P [0] Int32 at 0, C [1] at 4 (4 bytes, x1) { Q [0] Int32 }.
// Header 0, T's head 88, P's tag 136, C's head 168, Q's tag 216, data 248.
constexpr size_t kTop = 88, kP = 136, kC = 168, kQ = 216, kData = 248;

Bytes crafted()
{
    const MmsTest::ColTag top{"T", 0, 8, 1, {{"P", 1, 4, 1}}, {MmsTest::ColTag{"C", 4, 4, 1, {{"Q", 1, 4, 1}}, {}}}};
    const Bytes tags = MmsTest::encodeTags(top, false);
    Bytes image = MmsTest::encodeHeader(false, "", "", "", static_cast<uint32_t>(tags.size()), 8);
    image.insert(image.end(), tags.begin(), tags.end());
    for (int i = 0; i < 8; ++i) image.push_back(static_cast<unsigned char>(i + 1));
    return image;
}

void put32(Bytes& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void put16(Bytes& b, size_t at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); }

// The image in a heap block of exactly its size.
struct Exact {
    explicit Exact(const Bytes& b) : bytes(new unsigned char[b.size()]), size(static_cast<uint32_t>(b.size()))
    {
        std::memcpy(bytes.get(), b.data(), b.size());
    }
    Bytes copy() const { return Bytes(bytes.get(), bytes.get() + size); }
    std::unique_ptr<unsigned char[]> bytes;
    uint32_t size;
};

uint32_t readAt(Exact& e, const char* address, uint32_t index)
{
    JVariant v;
    const uint32_t indexes[] = {0, index};
    const bool nested = address[0] == 'C';
    return DataAccessor::getPrm(&v, e.bytes.get(), e.size, nullptr, address, static_cast<uint32_t>(strlen(address)),
                                nested ? indexes : indexes + 1, nested ? 2 : 1);
}

uint32_t writeAt(Exact& e, const char* address, uint32_t index, uint8_t setType)
{
    const uint32_t indexes[] = {0, index};
    const bool nested = address[0] == 'C';
    const uint32_t depth = address[0] == '\0' ? 0 : (nested ? 2 : 1);
    return DataAccessor::setPrm(JVariant(-1), e.bytes.get(), e.size, nullptr, address,
                                static_cast<uint32_t>(strlen(address)), nested ? indexes : indexes + 1, depth, setType);
}

TEST(DataAccessorMalformedTest, PositionsOutsideTheImageAreRefused)
{
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        std::function<uint32_t(Exact&)> operation;
        uint32_t result;
    };
    const Case cases[] = {
        {"sound image", [](Bytes&) {}, [](Exact& e) { return readAt(e, "C/Q", 0); }, 0},
        {"child offset past the data", [](Bytes& b) { put32(b, kC + 36, 1000); },
         [](Exact& e) { return readAt(e, "C/Q", 0); }, kBad},
        {"write through it", [](Bytes& b) { put32(b, kC + 36, 1000); },
         [](Exact& e) { return writeAt(e, "C/Q", 0, 0); }, kBad},
        {"fill of an instance past the data", [](Bytes& b) { put32(b, kC + 40, 1000); },
         [](Exact& e) { return writeAt(e, "C", 0, 2); }, kBad},
        {"element past the data", [](Bytes& b) { put16(b, kP + 6, 1000); },
         [](Exact& e) { return readAt(e, "P", 999); }, kBad},
        {"element write past the data", [](Bytes& b) { put16(b, kP + 6, 1000); },
         [](Exact& e) { return writeAt(e, "P", 3, 1); }, kBad},
        {"data size beyond the buffer", [](Bytes& b) { put32(b, 84, 100000); put16(b, kP + 6, 1000); },
         [](Exact& e) { return readAt(e, "P", 2); }, kBad},
        {"top instance beyond the data", [](Bytes& b) { put32(b, kTop + 40, 1000); },
         [](Exact& e) { return readAt(e, "P", 0); }, kBad},
        {"head shorter than 48 bytes", [](Bytes& b) { b[kC + 3] = 0; },
         [](Exact& e) { return readAt(e, "C/Q", 0); }, kBad},
        {"tag shorter than 32 bytes", [](Bytes& b) { b[kP + 2] = 5; },
         [](Exact& e) { return readAt(e, "P", 0); }, kBad},
        {"tag tree beyond the image", [](Bytes& b) { put32(b, kTop + 32, 100000); },
         [](Exact& e) { return readAt(e, "P", 0); }, kBad},
        {"walk over a head shorter than 48 bytes", [](Bytes& b) { b[kC + 3] = 0; },
         [](Exact& e) { return DataAccessor::countNodeTags(nullptr, nullptr, e.bytes.get(), e.size); }, kBad},
        {"walk over a tag shorter than 32 bytes", [](Bytes& b) { b[kQ + 2] = 0; },
         [](Exact& e) { return DataAccessor::countNodeTags(nullptr, nullptr, e.bytes.get(), e.size); }, kBad},
        {"export of instances past the data", [](Bytes& b) { put32(b, kC + 44, 1000); },
         [](Exact& e) {
             Bytes out(4096);
             uint32_t written = 0;
             const uint32_t zero = 0;
             return DataAccessor::exportData(out.data(), &written, 4096, e.bytes.get(), e.size, nullptr, "C", 1, &zero,
                                             1, 1, 1);
         },
         kBad},
        {"filter merge over instances past the data", [](Bytes& b) { put32(b, kTop + 40, 1000); },
         [](Exact& e) {
             Exact other(e.copy());
             return MMS::FilterDataModifier::orFilters(e.bytes.get(), e.size, other.bytes.get(), other.size);
         },
         0x100u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = crafted();
        c.damage(image);
        Exact exact(image);
        EXPECT_EQ(c.result, c.operation(exact));
        if (c.result != 0) {
            EXPECT_EQ(image, exact.copy());  // a refusal changes nothing
        }
    }
}

TEST(DataAccessorMalformedTest, CraftedCountsNeitherOverrunNorRunForever)
{
    // A child claiming 4 billion instances of 0 bytes: a range over all of them ends at once.
    Bytes image = crafted();
    put32(image, kC + 40, 0);
    put32(image, kC + 44, 0xFFFFFFFFu);
    Exact e(image);
    JVariantArray flag(JVariant::kTypeInt32, 4, 1);
    ASSERT_EQ(JVariant::kOk, flag.setValue(0, JVariant(1)));
    const uint32_t first[] = {0, 0}, last[] = {0xFFFFFFFFu, 0};
    EXPECT_EQ(0u, DataAccessor::setPrmArray(flag, e.bytes.get(), e.size, nullptr, "C/Q", 3, first, last, 2, 1, 0));

    // Five nested levels of a thousand overlapping one-byte instances: far more positions than
    // the data area has bits, refused instead of walked.
    MmsTest::ColTag level{"L5", 0, 1, 1000, {{"P", 1, 1, 1}}, {}};
    for (const char* name : {"L4", "L3", "L2", "L1"}) level = MmsTest::ColTag{name, 0, 1, 1000, {}, {level}};
    const MmsTest::ColTag top{"T", 0, 256, 1, {}, {level}};
    const Bytes tags = MmsTest::encodeTags(top, false);
    Bytes deep = MmsTest::encodeHeader(false, "", "", "", static_cast<uint32_t>(tags.size()), 256);
    deep.insert(deep.end(), tags.begin(), tags.end());
    deep.resize(deep.size() + 256, 0);
    Exact nested(deep);
    const uint32_t from[5] = {}, to[5] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_EQ(kBad, DataAccessor::setPrmArray(flag, nested.bytes.get(), nested.size, nullptr, "L1/L2/L3/L4/L5", 14,
                                              from, to, 5, 1, 2));

    // An import whose shapes agree but whose counts exceed both data areas copies nothing.
    Bytes target = crafted();
    put32(target, kC + 44, 1000);
    Exact destination(target);
    Bytes part(88 + 80 + 4);
    uint32_t written = 0;
    const uint32_t zero = 0;
    Exact sound(crafted());
    ASSERT_EQ(0u, DataAccessor::exportData(part.data(), &written, static_cast<uint32_t>(part.size()),
                                           sound.bytes.get(), sound.size, nullptr, "C", 1, &zero, 1, 0, 0));
    put32(part, 88 + 44, 1000);
    Exact source(part);
    EXPECT_EQ(0u, DataAccessor::importData(destination.bytes.get(), destination.size, source.bytes.get(), source.size,
                                           nullptr, "C", 1, &zero, 1));
    EXPECT_EQ(target, destination.copy());
    // The same with element-wise merging (a renamed parameter makes the shapes differ).
    part[88 + 48 + 8] = 'R';
    Exact renamed(part);
    EXPECT_EQ(0u, DataAccessor::importData(destination.bytes.get(), destination.size, renamed.bytes.get(),
                                           renamed.size, nullptr, "C", 1, &zero, 1));
    EXPECT_EQ(target, destination.copy());
}

}  // namespace
