#include "MMS/Common/mms_Parameter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_DirtyFlagList.h"
#include "MMS/Common/mms_ISetChecker.h"
#include "MMS/Common/mms_SetOrderNotifyWrapper.h"
#include "MmsTestHeap.h"
#include "comctrl/OrderedNotify/ISetOrderedNotify.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace {

using MMS::Parameter;
using MMS::T_FAST_ADDRESS;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNotSet = 0x80000005u;
constexpr uint32_t kDepthMismatch = 0x80000006u;
constexpr uint32_t kRefused = 0x80000008u;

// An attribute argument of the constructor: absent, or a value.
struct Attr {
    bool set = false;
    JVariant value;
    const JVariant* get() const { return set ? &value : nullptr; }
};
Attr none() { return {}; }
template <class T>
Attr with(T v)
{
    return {true, JVariant(v)};
}

struct Attrs {
    Attr min, max, def, step, nominal;
};

// Builds a parameter in place; the node is not copyable.
void build(std::optional<Parameter>& p, uint32_t* result, const char* name, uint32_t arraySize, uint32_t type,
           const Attrs& a, uint32_t scaling = 1)
{
    p.emplace(result, name, arraySize, type, a.min.get(), a.max.get(), a.def.get(), a.step.get(), a.nominal.get(), 0,
              0, scaling, 0, 0, 0);
}

// Lays a single parameter out at value offset valueStart with all other cursors at 0.
void layOut(Parameter& p, uint32_t valueStart = 0)
{
    uint32_t value = valueStart, dirty = 0, serial = 0, tag = 0, scalar = 0, bit = 0;
    ASSERT_EQ(0u, p.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));
}

// Records every mark a write or import makes.
class RecordingHolder : public MMS::IDirtyFlagHolder {
public:
    uint32_t set(uint32_t bit) override
    {
        bits.push_back(bit);
        return 0;
    }
    uint32_t setImportFlag(uint32_t) override { return 0; }
    uint32_t setImportSearcher(uint32_t) override { return 0; }
    std::vector<uint32_t> bits;
};

class RecordingWriter : public OrderedNotify::ISetOrderedNotify {
public:
    void release() override {}
    uint32_t notify(uint32_t index) override
    {
        serials.push_back(index);
        return 0;
    }
    std::vector<uint32_t> serials;
};

class BlockingChecker : public MMS::ISetChecker {
public:
    bool isBlocked(uint8_t storedFactor, uint8_t newFactor) const override
    {
        return storedFactor == 7 && newFactor != 7;  // factor 7 owns what it wrote
    }
    bool isImportBlocked(const char*, const char*) const override { return false; }
};

struct Element {
    uint32_t index;
    T_FAST_ADDRESS address;
    explicit Element(uint32_t i) : index(i), address{nullptr, &index, 1} {}
};

// A write with no holder, factors, checker or forwarder.
uint32_t setPlain(Parameter& p, const JVariant& value, unsigned char* values, uint32_t element)
{
    Element e(element);
    return p.setPrm(nullptr, value, &e.address, 1, 0, 0, nullptr, values, nullptr, 0, nullptr, nullptr, 0);
}

uint32_t readBack(const Parameter& p, JVariant* out, const unsigned char* values, uint32_t element)
{
    Element e(element);
    return p.getPrm(out, nullptr, &e.address, 1, 0, values, nullptr, 0, nullptr);
}

void expectSameValue(const JVariant& expected, const JVariant& actual)
{
    ASSERT_EQ(expected.getType(), actual.getType());
    if (expected.getType() == JVariant::kTypeFloat) {
        EXPECT_FLOAT_EQ(expected.toFloat(), actual.toFloat());
    } else if (expected.getType() == JVariant::kTypeString) {
        EXPECT_STREQ(expected.toString(), actual.toString());
    } else {
        EXPECT_EQ(expected.toUInt32(), actual.toUInt32());
    }
}

TEST(ParameterTest, BuildsOnlyValidNodes)
{
    struct Case {
        const char* name;
        uint32_t arraySize;
        uint32_t type;
        Attr max;
        uint32_t result;
    };
    const Case cases[] = {
        {"Gain", 1, 0x001, none(), 0},
        {"ABCDEFGHIJKLMNOPQRSTUVW", 65535, 0x304, none(), 0},  // 23 characters
        {"ABCDEFGHIJKLMNOPQRSTUVWX", 1, 0x001, none(), kMissing},
        {"", 1, 0x001, none(), kMissing},
        {nullptr, 1, 0x001, none(), kMissing},
        {"Gain", 0, 0x001, none(), kMissing},
        {"Gain", 65536, 0x001, none(), kMissing},
        {"Gain", 1, 0x003, none(), kMissing},
        {"Gain", 1, 0x200, none(), kMissing},
        {"Label", 1, 0x201, with(65535u), 0},
        {"Label", 1, 0x201, with(65536u), kMissing},  // a "PR" tag cannot hold the size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name ? c.name : "(null)") + " " + std::to_string(c.arraySize) + " " +
                     std::to_string(c.type));
        uint32_t result = 0x5A5A5A5A;
        std::optional<Parameter> p;
        build(p, &result, c.name, c.arraySize, c.type, Attrs{none(), c.max, none(), none(), none()});
        EXPECT_EQ(c.result, result);
    }

    uint32_t result = 1;
    std::optional<Parameter> p;
    build(p, &result, "Gain", 2, 0x104, Attrs{}, 0);
    uint32_t scaling = 0;
    ASSERT_EQ(0u, p->getPrmScaling(&scaling));
    EXPECT_EQ(1u, scaling);  // 0 becomes 1
}

TEST(ParameterTest, AppliesAttributesInOrderAndDropsRefusedOnes)
{
    struct Case {
        const char* what;
        uint32_t type;
        Attrs attrs;
        uint32_t minResult, maxResult, defResult;
    };
    const Case cases[] = {
        {"int16 limits", 0x002, {with(-32768), with(32767), with(32767), none(), none()}, 0, 0, 0},
        {"int16 above", 0x002, {with(-32769), with(32768), with(32768), none(), none()}, kNotSet, kNotSet, kNotSet},
        {"min 10 then max 5", 0x001, {with(10), with(5), none(), none(), none()}, 0, kNotSet, kNotSet},
        {"default under min", 0x101, {with(10u), with(20u), with(9u), none(), none()}, 0, 0, kNotSet},
        {"default over max", 0x101, {with(10u), with(20u), with(21u), none(), none()}, 0, 0, kNotSet},
        {"bit default 2", 0x100, {none(), none(), with(2u), none(), none()}, kNotSet, kNotSet, kNotSet},
        {"float text", 0x304, {with(JVariant("x", 1)), with(1.0f), with(0.5f), none(), none()}, kNotSet, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t result = 1;
        std::optional<Parameter> p;
        build(p, &result, "P", 1, c.type, c.attrs);
        ASSERT_EQ(0u, result);
        JVariant v;
        EXPECT_EQ(c.minResult, p->getPrmMin(&v));
        EXPECT_EQ(c.maxResult, p->getPrmMax(&v));
        EXPECT_EQ(c.defResult, p->getPrmDef(&v, nullptr));
    }

    // A step must not be 0 (integers) or must be above 0 (float).
    uint32_t result = 1;
    std::optional<Parameter> p;
    build(p, &result, "P", 1, 0x004, Attrs{none(), none(), none(), with(0), none()});
    JVariant step;
    EXPECT_EQ(kNotSet, p->getPrmStep(&step));
    const JVariant negative(-0.5f);
    build(p, &result, "P", 1, 0x304, Attrs{});
    EXPECT_EQ(kBadArgument, p->setPrmStep(&negative));
    const JVariant quarter(0.25f);
    EXPECT_EQ(0u, p->setPrmStep(&quarter));
    ASSERT_EQ(0u, p->getPrmStep(&step));
    EXPECT_EQ(JVariant::kTypeFloat, step.getType());
}

TEST(ParameterTest, KeepsStringSizeAndPoolOffsets)
{
    const char pool[] = "xxlong-default\0nom";
    uint32_t result = 1;
    std::optional<Parameter> p;
    build(p, &result, "Label", 2, 0x201, Attrs{with(-5), with(8u), with(2u), with(3u), with(15u)});
    ASSERT_EQ(0u, result);
    JVariant v;
    EXPECT_EQ(kBadArgument, p->getPrmMin(&v));  // strings have no minimum and no step
    EXPECT_EQ(kBadArgument, p->getPrmStep(&v));
    ASSERT_EQ(0u, p->getPrmMax(&v));
    EXPECT_EQ(JVariant::kTypeUInt32, v.getType());
    EXPECT_EQ(8u, v.toUInt32());
    EXPECT_EQ(kMissing, p->getPrmDef(&v, nullptr));
    ASSERT_EQ(0u, p->getPrmDef(&v, pool));
    EXPECT_STREQ("long-def", v.toString());  // at most the maximum
    ASSERT_EQ(0u, p->getPrmNominal(&v, pool));
    EXPECT_STREQ("nom", v.toString());
    uint32_t size = 0;
    EXPECT_EQ(kBadArgument, p->getPrmUnitSize(&size));
    EXPECT_EQ(kBadArgument, p->getPrmNameFormatSize(&size));
    ASSERT_EQ(0u, p->getNodeDataSize(&size));
    EXPECT_EQ(8u, size);

    // A string without a maximum has a slot of 0 bytes and no default text.
    build(p, &result, "Empty", 1, 0x201, Attrs{none(), none(), with(0u), none(), none()});
    ASSERT_EQ(0u, result);
    ASSERT_EQ(0u, p->getPrmMax(&v));
    EXPECT_EQ(0u, v.toUInt32());
    EXPECT_EQ(kNotSet, p->getPrmDef(&v, pool));
}

TEST(ParameterTest, ReadsUnitAndNameFormatFromTheStringMemory)
{
    const char pool[] = "dBxxCh%d";
    uint32_t result = 1;
    Parameter p(&result, "Gain", 1, 0x001, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 2, 1, 9, 4, 4);
    ASSERT_EQ(0u, result);
    char buffer[8];
    std::memset(buffer, 'z', sizeof(buffer));
    EXPECT_EQ(kNotSet, p.getPrmUnit(buffer, nullptr));
    ASSERT_EQ(0u, p.getPrmUnit(buffer, pool));
    EXPECT_STREQ("dB", buffer);
    ASSERT_EQ(0u, p.getPrmNameFormat(buffer, pool));
    EXPECT_STREQ("Ch%d", buffer);
    EXPECT_EQ(kNotSet, p.getPrmNameFormat(buffer, nullptr));
    EXPECT_STREQ("", buffer);  // emptied first
    uint32_t kind = 0;
    ASSERT_EQ(0u, p.getPrmKind(&kind));
    EXPECT_EQ(9u, kind);
}

TEST(ParameterTest, PacksBitParametersAndStartsTheNextOnAWholeByte)
{
    uint32_t result = 1;
    Parameter a(&result, "A", 3, 0x100, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    Parameter b(&result, "B", 6, 0x100, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    Parameter c(&result, "C", 1, 0x100, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    Parameter d(&result, "D", 2, 0x101, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    uint32_t value = 0, dirty = 1, serial = 0, tag = 48, scalar = 1, bit = 0;
    for (Parameter* p : {&a, &b, &c, &d}) {
        ASSERT_EQ(0u, p->setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));
    }

    struct Expect {
        const Parameter* p;
        uint32_t valueOffset, unit, bitOffset, dirty, serial, tag, scalar;
    };
    const Expect expected[] = {
        {&a, 0, 0, 0, 1, 0, 48, 1},
        {&b, 0, 0, 3, 4, 3, 80, 2},
        {&c, 1, 0, 1, 10, 9, 112, 3},
        {&d, 2, 1, 0, 11, 10, 144, 4},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.p->getName());
        EXPECT_EQ(e.valueOffset, e.p->getParamAddrInfo().offset);
        EXPECT_EQ(e.unit, e.p->getParamAddrInfo().unit);
        EXPECT_EQ(e.bitOffset, e.p->getBitOffset());
        EXPECT_EQ(e.dirty, e.p->getDirtyFlagAddrInfo().offset);
        EXPECT_EQ(e.serial, e.p->getSerNumAddrInfo().offset);
        EXPECT_EQ(e.tag, e.p->getTagAddrInfo().offset);
        EXPECT_EQ(32u, e.p->getTagAddrInfo().unit);
        EXPECT_EQ(e.scalar, e.p->getScalarAddrInfo().offset);
    }
    EXPECT_EQ(4u, value);
    EXPECT_EQ(0u, bit);
    EXPECT_EQ(13u, dirty);

    // The bits land where the layout says, least significant bit first, sharing bytes.
    unsigned char values[4] = {};
    const JVariant one(1u);
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(0x100u, setPlain(b, one, values, i));
    EXPECT_EQ(0xF8, values[0]);
    EXPECT_EQ(0x01, values[1]);
    EXPECT_EQ(0x100u, setPlain(c, one, values, 0));
    EXPECT_EQ(0x100u, setPlain(a, one, values, 2));
    EXPECT_EQ(0xFC, values[0]);
    EXPECT_EQ(0x03, values[1]);
    // Any non-zero value is the same set bit: no change reported, nothing to mark.
    EXPECT_EQ(0u, setPlain(c, JVariant(2u), values, 0));
    EXPECT_EQ(0x00, values[2]);
    JVariant v;
    ASSERT_EQ(0u, readBack(a, &v, values, 1));
    EXPECT_EQ(0u, v.toUInt32());
    ASSERT_EQ(0u, readBack(c, &v, values, 0));
    EXPECT_EQ(1u, v.toUInt32());
}

TEST(ParameterTest, LayoutRefusesACursorPassingTheTopOfTheRange)
{
    MMS::T_ADDR_INFO record{7, 7};
    uint32_t cursor = 0xFFFFFFF0u;
    EXPECT_EQ(kBadArgument, Parameter::setAddrInfo(record, &cursor, 4, 5));
    EXPECT_EQ(0xFFFFFFF0u, cursor);
    EXPECT_EQ(7u, record.offset);
    EXPECT_EQ(0u, Parameter::setAddrInfo(record, &cursor, 4, 3));
    EXPECT_EQ(0xFFFFFFFCu, cursor);
    EXPECT_EQ(0xFFFFFFF0u, record.offset);
    EXPECT_EQ(kBadArgument, Parameter::setAddrInfo(record, nullptr, 1, 1));

    uint32_t result = 1;
    Parameter p(&result, "P", 4, 0x104, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    uint32_t value = 0xFFFFFFF8u, dirty = 0, serial = 0, tag = 0, scalar = 0, bit = 0;
    EXPECT_EQ(kBadArgument, p.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit) & kBadArgument);
    EXPECT_EQ(0xFFFFFFF8u, value);
    EXPECT_EQ(4u, dirty);  // the other spaces are laid out all the same
}

TEST(ParameterTest, AnswersNodeQueriesTagAndAddresses)
{
    uint32_t result = 1;
    Parameter p(&result, "Level", 3, 0x102, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    uint32_t value = 0, dirty = 5, serial = 10, tag = 48, scalar = 2, bit = 0;
    ASSERT_EQ(0u, p.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));

    unsigned char tags[80] = {};
    EXPECT_EQ(kMissing, p.setImportTags(nullptr, 0));
    ASSERT_EQ(0u, p.setImportTags(tags, 0));
    MMS::T_PARAMETER_TAG prTag{};
    ASSERT_EQ(0u, MMS::CollectionTagInfo::readPrmTagInfo(&prTag, tags + 48, 32, false));
    EXPECT_STREQ("Level", prTag.name);
    EXPECT_EQ(2u, prTag.elementSize);
    EXPECT_EQ(3u, prTag.arraySize);
    EXPECT_EQ(MMS::kMmsClassUnsigned, prTag.dataClass);

    uint32_t out = 99;
    char name[24];
    ASSERT_EQ(0u, p.getNodeName(name));
    EXPECT_STREQ("Level", name);
    EXPECT_EQ(kBadArgument, p.getChildNodeName(name, 0));
    EXPECT_EQ(kBadArgument, p.getNodeCategory(nullptr));
    ASSERT_EQ(0u, p.getNodeCategory(&out));
    EXPECT_EQ(1u, out);
    ASSERT_EQ(0u, p.getNumOfChildNodes(&out));
    EXPECT_EQ(0u, out);
    ASSERT_EQ(0u, p.getNodePrmNum(&out));
    EXPECT_EQ(1u, out);

    const uint32_t nodes[2] = {0, 1};
    const uint32_t indexes[2] = {0, 2};
    const T_FAST_ADDRESS at2{nodes, indexes, 2};
    EXPECT_EQ(kDepthMismatch, p.cnvFastToScalarAddr(&out, 100, &at2, 1));
    ASSERT_EQ(0u, p.cnvFastToScalarAddr(&out, 100, &at2, 2));
    EXPECT_EQ(102u, out);
    EXPECT_EQ(1u, p.isScalarRange(1, 2));
    EXPECT_EQ(0u, p.isScalarRange(2, 2));
    EXPECT_EQ(2u, p.isScalarRange(3, 2));

    char text[16] = "Top";
    EXPECT_EQ(kDepthMismatch, p.cnvFastToStrAddr(text, sizeof(text), &at2, 3));
    ASSERT_EQ(0u, p.cnvFastToStrAddr(text, sizeof(text), &at2, 2));
    EXPECT_STREQ("Top/Level", text);
    uint32_t size = 4;
    ASSERT_EQ(0u, p.getStrAddrSize(&size, 0));
    EXPECT_EQ(10u, size);

    uint32_t index[5] = {9, 9, 9, 9, 9};
    uint32_t depth = 0;
    EXPECT_EQ(1u, p.isPrmIndexRange(9, 2));
    EXPECT_EQ(0u, p.isPrmIndexRange(12, 2));
    EXPECT_EQ(2u, p.isPrmIndexRange(13, 2));
    EXPECT_EQ(kBadArgument, p.cnvPrmIndexToFastAddr(nullptr, index, &depth, 5, 13, 2));
    EXPECT_EQ(kBadArgument, p.cnvPrmIndexToFastAddr(nullptr, index, &depth, 1, 11, 2));
    EXPECT_EQ(kMissing, p.cnvPrmIndexToFastAddr(nullptr, nullptr, &depth, 5, 11, 2));
    ASSERT_EQ(0u, p.cnvPrmIndexToFastAddr(nullptr, index, &depth, 5, 11, 2));
    EXPECT_EQ(2u, depth);
    EXPECT_EQ(1u, index[1]);
    EXPECT_EQ(0u, p.isChannelSize(2));
    EXPECT_EQ(kBadArgument, p.isChannelSize(3));
}

// The value rules over every type and the three mode bits: the result of the write and what the
// element reads back afterwards (the element starts as zero bytes).
TEST(ParameterTest, AppliesLimitsStepsAndModesOnWrite)
{
    struct Case {
        const char* what;
        uint32_t type;
        Attrs attrs;
        JVariant input;
        uint16_t mode;
        uint32_t result;
        JVariant readBack;
    };
    const Attrs int8Limits{with(-100), with(100), none(), none(), none()};
    const Attrs stepFive{none(), none(), with(0), with(5), none()};
    const Attrs maxTen{none(), with(10), with(0), with(3), none()};
    const Attrs floatGrid{none(), with(2.5f), none(), with(0.25f), with(0.5f)};
    const Attrs string8{none(), with(8u), none(), none(), none()};
    const Case cases[] = {
        {"int8 above max clamps", 0x001, int8Limits, JVariant(127), 0, 0x300, JVariant(100)},
        {"int8 above max refused", 0x001, int8Limits, JVariant(127), 1, kRefused, JVariant(0)},
        {"int8 below min refused", 0x001, int8Limits, JVariant(-128), 2, kRefused, JVariant(0)},
        {"int8 below min clamps under mode 1", 0x001, int8Limits, JVariant(-128), 1, 0x300, JVariant(-100)},
        {"int8 in range", 0x001, int8Limits, JVariant(-5), 7, 0x100, JVariant(-5)},
        {"int8 string refused", 0x001, int8Limits, JVariant("1", 1), 0, kBadArgument, JVariant(0)},
        {"int16 rounds down", 0x002, stepFive, JVariant(7), 0, 0x300, JVariant(5)},
        {"int16 rounds down below reference", 0x002, stepFive, JVariant(-7), 0, 0x300, JVariant(-10)},
        {"int16 off grid refused", 0x002, stepFive, JVariant(7), 4, kRefused, JVariant(0)},
        {"int16 negative off grid refused", 0x002, stepFive, JVariant(-7), 4, kRefused, JVariant(0)},
        {"int16 on grid", 0x002, stepFive, JVariant(-15), 4, 0x100, JVariant(-15)},
        {"int32 huge UInt32 clamps", 0x004, Attrs{}, JVariant(0x80000000u), 0, 0x300, JVariant(0x7FFFFFFF)},
        {"int32 huge UInt32 refused", 0x004, Attrs{}, JVariant(0x80000000u), 1, kRefused, JVariant(0)},
        {"int32 at max is not rounded", 0x004, maxTen, JVariant(10), 4, 0x100, JVariant(10)},
        {"int32 above max clamps to max", 0x004, maxTen, JVariant(12), 4, 0x300, JVariant(10)},
        {"int32 above max refused", 0x004, maxTen, JVariant(12), 1, kRefused, JVariant(0)},
        {"uint8 negative clamps to 0", 0x101, Attrs{}, JVariant(-1), 0, 0x200, JVariant(0u)},
        {"uint8 negative refused", 0x101, Attrs{}, JVariant(-1), 2, kRefused, JVariant(0u)},
        {"uint8 without max keeps low byte", 0x101, Attrs{}, JVariant(300), 0, 0x100, JVariant(44u)},
        {"uint16 rounding never wraps below 0", 0x102, Attrs{none(), none(), with(2u), with(5u), none()},
         JVariant(0u), 0, 0x300, JVariant(2u)},
        {"uint16 rounding stays above min", 0x102, Attrs{with(1u), none(), none(), with(5u), with(3u)}, JVariant(2u),
         0, 0x300, JVariant(3u)},
        {"uint32 rounds to nominal grid", 0x104, Attrs{with(5u), with(1000u), with(9u), with(10u), with(7u)},
         JVariant(100u), 0, 0x300, JVariant(97u)},
        {"bit set", 0x100, Attrs{}, JVariant(1u), 0, 0x100, JVariant(1u)},
        {"bit from any non-zero value", 0x100, Attrs{}, JVariant(6), 0, 0x100, JVariant(1u)},
        {"bit negative clamps to 0", 0x100, Attrs{}, JVariant(-1), 0, 0x200, JVariant(0u)},
        {"bit negative refused", 0x100, Attrs{}, JVariant(-1), 2, kRefused, JVariant(0u)},
        {"float rounds to nominal grid", 0x304, floatGrid, JVariant(1.1f), 0, 0x300, JVariant(1.0f)},
        {"float off grid refused", 0x304, floatGrid, JVariant(1.1f), 4, kRefused, JVariant(0.0f)},
        {"float above max clamps", 0x304, floatGrid, JVariant(3.0f), 0, 0x300, JVariant(2.5f)},
        {"float above max refused", 0x304, floatGrid, JVariant(3.0f), 1, kRefused, JVariant(0.0f)},
        {"float from Int32", 0x304, floatGrid, JVariant(1), 4, 0x100, JVariant(1.0f)},
        {"string of the maximum", 0x201, string8, JVariant("abcdefgh", 8), 7, 0x100, JVariant("abcdefgh", 8)},
        {"string longer refused", 0x201, string8, JVariant("abcdefghi", 9), 0, kBadArgument, JVariant("", 0)},
        {"string from a number refused", 0x201, string8, JVariant(5), 0, kBadArgument, JVariant("", 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t result = 1;
        std::optional<Parameter> p;
        build(p, &result, "P", 2, c.type, c.attrs);
        ASSERT_EQ(0u, result);
        layOut(*p, 3);
        unsigned char values[24] = {};
        Element e(1);
        EXPECT_EQ(c.result, p->setPrm(nullptr, c.input, &e.address, 1, 0, c.mode, nullptr, values, nullptr, 0,
                                      nullptr, nullptr, 0));
        JVariant v;
        ASSERT_EQ(0u, readBack(*p, &v, values, 1));
        expectSameValue(c.readBack, v);
        EXPECT_EQ(0, values[0] | values[1] | values[2]);  // nothing before the parameter is touched

        // checkPrm applies the same rules without writing; an adjusted value is what was stored.
        if (c.result != kBadArgument) {
            JVariant checked = c.input;
            const uint32_t check = p->checkPrm(&checked, &e.address, 1, c.mode);
            EXPECT_EQ(c.result & ~0x100u, check);
            if ((check & 0x200u) != 0 && check != kRefused) expectSameValue(c.readBack, checked);
        }
    }
}

TEST(ParameterTest, WriteMarksChangesThroughTheHolderFactorsAndForwarder)
{
    uint32_t result = 1;
    const JVariant max(100);
    Parameter p(&result, "P", 4, 0x002, nullptr, &max, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    uint32_t value = 0, dirty = 3, serial = 20, tag = 0, scalar = 0, bit = 0;
    ASSERT_EQ(0u, p.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));
    unsigned char values[8] = {};
    unsigned char factors[64] = {};
    RecordingHolder holder;
    RecordingWriter writer;
    MMS::SetOrderNotifyWrapper notify;
    ASSERT_EQ(0u, notify.attach(static_cast<OrderedNotify::ISetOrderedNotify*>(&writer)));
    Element e(2);

    JVariant old;
    EXPECT_EQ(0x100u, p.setPrm(&old, JVariant(42), &e.address, 1, 5, 0, nullptr, values, &holder, 10, factors,
                               &notify, 1000));
    EXPECT_EQ(0, old.toInt32());
    EXPECT_EQ(std::vector<uint32_t>{15}, holder.bits);  // base 10 + record 3 + element 2
    EXPECT_EQ(5, factors[15]);
    EXPECT_EQ(std::vector<uint32_t>{1022}, writer.serials);  // base 1000 + record 20 + element 2

    // The same value again changes nothing and marks nothing.
    EXPECT_EQ(0u, p.setPrm(&old, JVariant(42), &e.address, 1, 6, 0, nullptr, values, &holder, 10, factors, &notify,
                           1000));
    EXPECT_EQ(42, old.toInt32());
    EXPECT_EQ(1u, holder.bits.size());
    EXPECT_EQ(5, factors[15]);
    EXPECT_EQ(1u, writer.serials.size());

    // A refused value leaves element, dirty bit and factor alone.
    EXPECT_EQ(kRefused, p.setPrm(nullptr, JVariant(101), &e.address, 1, 6, 1, nullptr, values, &holder, 10, factors,
                                 &notify, 1000));
    // A blocked write is not done but still reports its range handling.
    factors[15] = 7;
    const BlockingChecker checker;
    EXPECT_EQ(0x200u, p.setPrm(nullptr, JVariant(500), &e.address, 1, 6, 0, &checker, values, &holder, 10, factors,
                               &notify, 1000));
    EXPECT_EQ(7, factors[15]);
    EXPECT_EQ(1u, holder.bits.size());
    JVariant v;
    ASSERT_EQ(0u, readBack(p, &v, values, 2));
    EXPECT_EQ(42, v.toInt32());

    // Address checks come first.
    const T_FAST_ADDRESS noVector{nullptr, nullptr, 1};
    Element outside(4);
    EXPECT_EQ(kDepthMismatch, p.setPrm(nullptr, JVariant(1), &e.address, 2, 0, 0, nullptr, values, &holder, 10,
                                       factors, nullptr, 0));
    EXPECT_EQ(kMissing, p.setPrm(nullptr, JVariant(1), &noVector, 1, 0, 0, nullptr, values, &holder, 10, factors,
                                 nullptr, 0));
    EXPECT_EQ(kBadArgument, p.setPrm(nullptr, JVariant(1), &outside.address, 1, 0, 0, nullptr, values, &holder, 10,
                                     factors, nullptr, 0));
}

TEST(ParameterTest, OutOfRangeStoredValueReadsAsDefaultElseNominalElseClamped)
{
    struct Case {
        const char* what;
        Attrs attrs;
        uint32_t expected;
    };
    const Case cases[] = {
        {"default", {with(10u), with(20u), with(15u), none(), with(12u)}, 15},
        {"nominal", {with(10u), with(20u), none(), none(), with(12u)}, 12},
        {"clamped", {with(10u), with(20u), none(), none(), none()}, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t result = 1;
        std::optional<Parameter> p;
        build(p, &result, "P", 1, 0x101, c.attrs);
        layOut(*p);
        unsigned char values[1] = {50};  // written as raw bytes, e.g. by an image import
        JVariant v;
        ASSERT_EQ(0u, readBack(*p, &v, values, 0));
        EXPECT_EQ(JVariant::kTypeUInt32, v.getType());
        EXPECT_EQ(c.expected, v.toUInt32());
    }
}

TEST(ParameterTest, ArrayWriteSkipsMissingInputsAndArrayReadClearsTheRangeOnce)
{
    uint32_t result = 1;
    const JVariant max(200u);
    Parameter p(&result, "P", 6, 0x101, nullptr, &max, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    layOut(p);
    unsigned char values[6] = {1, 2, 3, 4, 5, 6};
    unsigned char factors[8] = {};
    RecordingHolder holder;

    JVariantArray inputs(JVariant::kTypeUInt32, 1, 2);
    ASSERT_EQ(JVariant::kOk, inputs.setValue(0, JVariant(50u)));
    ASSERT_EQ(JVariant::kOk, inputs.setValue(1, JVariant(250u)));
    JVariantArray old(JVariant::kTypeUInt32, 1, 4);
    const unsigned char factorsIn[2] = {8, 9};
    const uint32_t from = 1;
    const uint32_t to = 4;
    const T_FAST_ADDRESS address{nullptr, &from, 1};
    uint32_t count = 0;
    EXPECT_EQ(0x300u, p.setPrmArray(&count, &old, inputs, &address, &to, 1, factorsIn, 0, 0, 0, nullptr, values,
                                    &holder, 0, factors, nullptr, 0));
    EXPECT_EQ(2u, count);  // elements 3 and 4 have no input
    EXPECT_EQ(50, values[1]);
    EXPECT_EQ(200, values[2]);  // clamped
    EXPECT_EQ(4, values[3]);
    EXPECT_EQ(2u, old.toUInt32(0));
    EXPECT_EQ(3u, old.toUInt32(1));
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), holder.bits);
    EXPECT_EQ(8, factors[1]);
    EXPECT_EQ(9, factors[2]);
    EXPECT_EQ(kDepthMismatch, p.setPrmArray(&count, nullptr, inputs, &address, nullptr, 1, nullptr, 0, 0, 0, nullptr,
                                            values, &holder, 0, factors, nullptr, 0));

    // One value and one factor for the whole range.
    count = 0;
    EXPECT_EQ(0x100u, p.setPrmArray(&count, nullptr, inputs, &address, &to, 1, factorsIn, 1, 1, 0, nullptr, values,
                                    &holder, 0, factors, nullptr, 0));
    EXPECT_EQ(4u, count);
    EXPECT_EQ(50, values[4]);
    EXPECT_EQ(8, factors[4]);

    // A refused element is passed over silently; its input still counts.
    const uint32_t two = 2;
    const T_FAST_ADDRESS onlyTwo{nullptr, &two, 1};
    count = 1;
    EXPECT_EQ(0u, p.setPrmArray(&count, nullptr, inputs, &onlyTwo, &two, 1, nullptr, 0, 0, 1, nullptr, values, &holder,
                                0, factors, nullptr, 0));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(50, values[2]);

    // Read elements 2 .. 4 with their dirty bits, clearing them; the bits outside stay.
    unsigned char dirty[1] = {0xFF};
    unsigned char dirtyOut[2] = {};
    unsigned char factorsOut[5] = {};
    JVariantArray out(JVariant::kTypeUInt32, 1, 5);
    const T_FAST_ADDRESS fromTwo{nullptr, &two, 1};
    count = 2;
    EXPECT_EQ(0x100u, p.getPrmArray(&count, &out, factorsOut, dirtyOut, &fromTwo, &to, 1, 1, values, dirty, 0,
                                    factors));
    EXPECT_EQ(5u, count);
    EXPECT_EQ(0xC7, dirty[0]);       // bits 2, 3, 4 cleared (most significant bit first)
    EXPECT_EQ(0x38, dirtyOut[0]);    // copied to flags 2 .. 4
    EXPECT_EQ(50u, out.toUInt32(2));
    EXPECT_EQ(50u, out.toUInt32(4));
    EXPECT_EQ(8, factorsOut[2]);
    EXPECT_EQ(0u, out.toUInt32(0));  // positions before count untouched
    EXPECT_EQ(kBadArgument, p.getPrmArray(&count, &out, nullptr, nullptr, &fromTwo, &from, 1, 0, values, dirty, 0,
                                          factors));
}

TEST(ParameterTest, ChangeQueriesFindAndClearDirtyBits)
{
    uint32_t result = 1;
    Parameter p(&result, "P", 8, 0x101, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    uint32_t value = 0, dirty = 1, serial = 0, tag = 0, scalar = 0, bit = 0;
    ASSERT_EQ(0u, p.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));
    unsigned char values[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    unsigned char factors[16] = {};
    factors[1 + 1 + 6] = 4;
    unsigned char bits[2] = {0x00, 0x00};
    // Elements 2 and 6 changed: flags base 1 + record 1 + element.
    bits[0] = 0x80 >> 4;
    bits[1] = 0x80 >> 0;

    EXPECT_EQ(1u, p.getChangedPrm(bits, 1, 0, 8));
    EXPECT_EQ(0u, p.getChangedPrm(bits, 1, 3, 6));
    EXPECT_EQ(1u, p.getChangedPrm(bits, 1, 3, 7));

    uint8_t changed = 9;
    Element e2(2);
    EXPECT_EQ(kDepthMismatch, p.isChanged(&changed, &e2.address, 2, 0, bits, 1));
    ASSERT_EQ(0u, p.isChanged(&changed, &e2.address, 1, 0, bits, 1));
    EXPECT_EQ(1, changed);

    uint32_t index[5] = {};
    uint32_t depth = 0;
    JVariant v;
    uint8_t factor = 0;
    EXPECT_EQ(0x8000u, p.getChangedPrmAddr(&v, &factor, nullptr, index, &depth, 5, nullptr, 1, 0, values, bits, 1,
                                           factors));
    EXPECT_EQ(2u, index[0]);
    EXPECT_EQ(2u, v.toUInt32());
    const T_FAST_ADDRESS after{nullptr, index, 1};
    EXPECT_EQ(0x8100u, p.getChangedPrmAddr(&v, &factor, nullptr, index, &depth, 5, &after, 1, 1, nullptr, bits, 1,
                                           factors));
    EXPECT_EQ(6u, index[0]);
    EXPECT_FALSE(v.isValid());  // no value memory
    EXPECT_EQ(4, factor);
    EXPECT_EQ(0u, p.getChangedPrmAddr(&v, &factor, nullptr, index, &depth, 5, &after, 1, 1, nullptr, bits, 1,
                                      factors));
    EXPECT_EQ(kBadArgument, p.getChangedPrmAddr(&v, &factor, nullptr, index, &depth, 0, nullptr, 1, 0, nullptr,
                                                bits, 1, factors));
    EXPECT_EQ(0x100u, p.isChanged(&changed, &e2.address, 1, 1, bits, 1));
    EXPECT_EQ(0u, p.getChangedPrm(bits, 1, 0, 8));
}

TEST(ParameterTest, WritesDefaultsAndMarksChangedElements)
{
    const char pool[] = "on";
    struct Case {
        const char* what;
        uint32_t type;
        Attrs attrs;
        uint32_t result;
    };
    const Case cases[] = {
        {"number", 0x002, {none(), none(), with(-3), none(), none()}, 0x100},
        {"string", 0x201, {none(), with(4u), with(0u), none(), none()}, 0x100},
        {"no default", 0x002, {}, kNotSet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t result = 1;
        std::optional<Parameter> p;
        build(p, &result, "P", 3, c.type, c.attrs);
        layOut(*p);
        unsigned char values[16] = {};
        unsigned char factors[4] = {};
        RecordingHolder holder;
        EXPECT_EQ(c.result, p->setDefaultPrms(values, pool, 0, 3, &holder, 0, factors));
        if (c.result != 0x100u) continue;
        EXPECT_EQ((std::vector<uint32_t>{0, 1, 2}), holder.bits);
        EXPECT_EQ(3, factors[2]);
        EXPECT_EQ(0u, p->setDefaultPrms(values, pool, 0, 3, &holder, 0, factors));
        EXPECT_EQ(3u, holder.bits.size());
    }
}

// ---- import ----

std::vector<unsigned char> prTag(uint32_t elementSize, uint32_t arraySize, uint32_t type)
{
    std::vector<unsigned char> tag(32);
    EXPECT_EQ(0u, MMS::CollectionTagInfo::appendParameterTag(tag.data(), "Src", elementSize, arraySize, type));
    return tag;
}

TEST(ParameterTest, ImportsSameSizeBytesHonouringWholeElementFilters)
{
    uint32_t result = 1;
    Parameter p(&result, "P", 4, 0x102, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    layOut(p, 2);
    const std::vector<unsigned char> tag = prTag(2, 4, 0x102);
    const uint16_t image[4] = {1, 2, 3, 4};

    struct Case {
        const char* what;
        uint32_t sourceSize;
        bool filterSecondByte;  // a flag in the byte that does not differ
        std::vector<uint32_t> marked;
        uint16_t expected[4];
    };
    const Case cases[] = {
        {"whole image", 8, false, {1, 2, 3}, {1, 2, 3, 4}},
        {"filtered element", 8, true, {1, 3}, {1, 2, 0, 4}},
        {"image shorter than its tag", 5, false, {1}, {1, 2, 0, 0}},  // half an element is not read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> source(c.sourceSize);  // exactly the image bytes
        std::memcpy(source.data(), image, c.sourceSize);
        unsigned char values[10] = {};
        const uint16_t firstValue = 1;
        std::memcpy(values + 2, &firstValue, 2);
        unsigned char filter[10] = {};
        if (c.filterSecondByte) filter[2 + 2 * 2 + 1] = 1;
        unsigned char factors[8] = {};
        RecordingHolder holder;
        EXPECT_EQ(0x100u, p.importDataEx(6, tag.data(), 32, source.data(), c.sourceSize, values, filter,
                                         MMS::E_FILTER_STRUCTURE_VALUES, &holder, 0, factors, nullptr, 0));
        EXPECT_EQ(c.marked, holder.bits);
        for (uint32_t i = 0; i < 4; ++i) {
            uint16_t v;
            std::memcpy(&v, values + 2 + 2 * i, 2);
            EXPECT_EQ(c.expected[i], v) << "element " << i;
        }
        EXPECT_EQ(6, factors[1]);
        EXPECT_EQ(0, factors[0]);
    }
}

TEST(ParameterTest, ImportsBitsFromTheirSourcePosition)
{
    uint32_t result = 1;
    Parameter before(&result, "A", 3, 0x100, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    Parameter p(&result, "B", 5, 0x100, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    uint32_t value = 0, dirty = 0, serial = 0, tag = 0, scalar = 0, bit = 0;
    ASSERT_EQ(0u, before.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));
    ASSERT_EQ(0u, p.setMemAddrInfo(&value, &dirty, &serial, &tag, &scalar, &bit));
    const std::vector<unsigned char> prtag = prTag(0, 5, 0x100);

    // Source bits 2 .. 6 are 1 0 1 1 1; the image-layout filter protects element 3 (source bit 5).
    const unsigned char source[1] = {0x74};
    const unsigned char filter[1] = {0x20};
    unsigned char values[2] = {0x07, 0x00};  // parameter A's bits must stay
    unsigned char factors[8] = {};
    RecordingHolder holder;
    EXPECT_EQ(0x100u, p.importDataEx(2, prtag.data(), 32, source, 1, values, filter, MMS::E_FILTER_STRUCTURE_IMAGE,
                                     &holder, 0, factors, nullptr, 2));
    EXPECT_EQ((std::vector<uint32_t>{3, 5, 7}), holder.bits);  // elements 0, 2, 4
    EXPECT_EQ(0x07 | 0x08 | 0x20 | 0x80, values[0]);
    EXPECT_EQ(0x00, values[1]);
    EXPECT_EQ(2, factors[5]);

    // Bits beyond the image are not read.
    unsigned char untouched[2] = {0x07, 0x00};
    holder.bits.clear();
    EXPECT_EQ(0u, p.importDataEx(2, prtag.data(), 32, source, 1, untouched, nullptr, MMS::E_FILTER_STRUCTURE_IMAGE,
                                 &holder, 0, factors, nullptr, 8));
    EXPECT_TRUE(holder.bits.empty());
}

TEST(ParameterTest, ImportsAcrossElementSizesConvertingAndClamping)
{
    struct Case {
        const char* what;
        uint32_t type;
        Attrs attrs;
        uint32_t ownArray;
        std::vector<unsigned char> tag;
        std::vector<unsigned char> source;
        uint32_t result;
        std::vector<unsigned char> expected;  // the value bytes afterwards (start filled with 9)
    };
    auto u16 = [](std::initializer_list<uint16_t> v) {
        std::vector<unsigned char> bytes(v.size() * 2);
        std::memcpy(bytes.data(), v.begin(), bytes.size());
        return bytes;
    };
    auto i16 = [](std::initializer_list<int16_t> v) {
        std::vector<unsigned char> bytes(v.size() * 2);
        std::memcpy(bytes.data(), v.begin(), bytes.size());
        return bytes;
    };
    const Attrs limits{with(6u), with(200u), none(), none(), none()};
    std::vector<unsigned char> shortImage = u16({5, 300, 20, 7});
    shortImage.resize(5);
    const Case cases[] = {
        {"uint16 into uint8", 0x101, limits, 8, prTag(2, 4, 0x102), u16({5, 300, 20, 7}), 0x100,
         {6, 200, 20, 7, 9, 9, 9, 9}},
        {"image shorter than its tag", 0x101, limits, 8, prTag(2, 4, 0x102), shortImage, 0x100,
         {6, 200, 9, 9, 9, 9, 9, 9}},
        {"int8 sign-extended into int16", 0x002, Attrs{}, 2, prTag(1, 2, 0x001), {0xFF, 0x80}, 0x100,
         i16({-1, -128})},
        {"string cut to the smaller size less one", 0x201, Attrs{none(), with(4u), none(), none(), none()}, 1,
         prTag(6, 1, 0x201), {'h', 'e', 'l', 'l', 'o', 0}, 0x100, {'h', 'e', 'l', 0}},
        {"string slot of size 0 takes nothing", 0x201, Attrs{}, 1, prTag(4, 1, 0x201), {'a', 'b', 'c', 0}, 0, {}},
        {"float of another size is skipped", 0x304, Attrs{}, 1, prTag(8, 1, 0x304), std::vector<unsigned char>(8, 1),
         0, {9, 9, 9, 9}},
        {"bits into uint8", 0x101, Attrs{}, 3, prTag(0, 3, 0x100), {0x05}, 0x100, {1, 0, 1}},
        {"other data class is ignored", 0x101, Attrs{}, 2, prTag(2, 2, 0x002), {1, 0, 2, 0}, 0, {9, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t result = 1;
        std::optional<Parameter> p;
        build(p, &result, "P", c.ownArray, c.type, c.attrs);
        ASSERT_EQ(0u, result);
        layOut(*p);
        std::vector<unsigned char> values(c.expected.size() + 1, 9);
        unsigned char factors[16] = {};
        RecordingHolder holder;
        const std::vector<unsigned char> source = c.source;  // exactly the image bytes
        EXPECT_EQ(c.result, p->importDataEx(1, c.tag.data(), 32, source.data(), static_cast<uint32_t>(source.size()),
                                            values.data(), nullptr, MMS::E_FILTER_STRUCTURE_VALUES, &holder, 0,
                                            factors, nullptr, 0));
        EXPECT_EQ(9, values.back());  // nothing written past the parameter
        values.pop_back();
        EXPECT_EQ(c.expected, values);
    }
}

TEST(ParameterTest, ImportSkipsFilteredElementsOfEitherLayout)
{
    uint32_t result = 1;
    Parameter p(&result, "P", 3, 0x104, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    layOut(p, 1);
    const std::vector<unsigned char> tag = prTag(2, 3, 0x102);
    const uint16_t source[3] = {10, 20, 30};
    // Values layout: 4-byte elements after one byte; image layout: 2-byte elements like the source.
    unsigned char ownLayout[13] = {};
    ownLayout[1 + 4 * 1 + 3] = 1;
    unsigned char imageLayout[6] = {};
    imageLayout[2 * 2 + 1] = 1;
    struct Case {
        const char* what;
        const unsigned char* filter;
        MMS::E_FILTER_STRUCTURE layout;
        uint32_t kept;
    };
    const Case cases[] = {
        {"values layout", ownLayout, MMS::E_FILTER_STRUCTURE_VALUES, 1},
        {"image layout", imageLayout, MMS::E_FILTER_STRUCTURE_IMAGE, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unsigned char values[13] = {};
        unsigned char factors[3] = {};
        RecordingHolder holder;
        EXPECT_EQ(0x100u, p.importDataEx(1, tag.data(), 32, reinterpret_cast<const unsigned char*>(source), 6, values,
                                         c.filter, c.layout, &holder, 0, factors, nullptr, 0));
        for (uint32_t i = 0; i < 3; ++i) {
            uint32_t v;
            std::memcpy(&v, values + 1 + 4 * i, 4);
            EXPECT_EQ(i == c.kept ? 0u : source[i], v) << "element " << i;
        }
        EXPECT_EQ(2u, holder.bits.size());
    }
}

TEST(ParameterTest, ImportRefusesOtherTagsAndIgnoresMissingArguments)
{
    uint32_t result = 1;
    Parameter p(&result, "P", 1, 0x101, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    layOut(p);
    unsigned char values[1] = {};
    unsigned char factors[1] = {};
    RecordingHolder holder;
    const unsigned char source[1] = {5};
    std::vector<unsigned char> col(48, 0);
    ASSERT_EQ(0u, MMS::CollectionTagInfo::appendCollectionTag(col.data(), "C", 0, 0, 0, 1, 1));
    EXPECT_EQ(kBadArgument, p.importDataEx(1, col.data(), 48, source, 1, values, nullptr,
                                           MMS::E_FILTER_STRUCTURE_VALUES, &holder, 0, factors, nullptr, 0));
    const std::vector<unsigned char> tag = prTag(1, 1, 0x101);
    EXPECT_EQ(0u, p.importDataEx(1, tag.data(), 32, source, 1, values, nullptr, MMS::E_FILTER_STRUCTURE_VALUES,
                                 nullptr, 0, factors, nullptr, 0));
    EXPECT_EQ(0u, p.importDataEx(1, tag.data(), 32, source, 0, values, nullptr, MMS::E_FILTER_STRUCTURE_VALUES,
                                 &holder, 0, factors, nullptr, 0));
    EXPECT_EQ(0, values[0]);
    EXPECT_TRUE(holder.bits.empty());
}

TEST(ParameterTest, ClassAllocatorUsesTheLibraryHeap)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;
    uint32_t result = 1;
    Parameter* p = new Parameter(&result, "P", 1, 0x001, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(live + 1, heap.live);
    EXPECT_EQ(0u, p->releaseItems(nullptr));
    EXPECT_EQ(0u, p->release());
    EXPECT_EQ(live, heap.live);
}

}  // namespace
