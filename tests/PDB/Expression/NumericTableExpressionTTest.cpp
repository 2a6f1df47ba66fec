#include "PDB/Expression/NumericTableExpressionT.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AttributeFor.h"

using Expression::FinenessFine;
using Expression::FinenessNormal;
using Expression::FinenessOption;
using Expression::NumericTableExpressionT;
using ExpressionTest::attributeFor;

namespace {

const unsigned short kNormal[] = {100, 200, 400};
const unsigned short kFine[] = {100, 150, 200, 300, 400};

// Opens the table choice to the test.
template <typename T>
struct TableProbe : NumericTableExpressionT<T> {
    using NumericTableExpressionT<T>::NumericTableExpressionT;
    using NumericTableExpressionT<T>::get_table;
};

}  // namespace

TEST(NumericTableExpressionTTest, ChoosesTableByFineness)
{
    const TableProbe<unsigned short> both(kNormal, 3, kFine, 5, 30, 330);
    const TableProbe<unsigned short> normalOnly(kNormal, 3, kFine, 0, 30, 330);
    const TableProbe<unsigned short> fineOnly(nullptr, 3, kFine, 5, 30, 330);
    const TableProbe<unsigned short> none(nullptr, 3, nullptr, 5, 30, 330);
    struct Case {
        const TableProbe<unsigned short>* expression;
        uint32_t fineness;
        uint32_t result;
        const unsigned short* table;
        uint32_t count;
    };
    const Case cases[] = {
        {&both, 1, 0, kFine, 5},          {&both, 2, 0, kNormal, 3},         {&both, 3, 0x80000007, kNormal, 3},
        {&both, 0, 0x80000007, kNormal, 3}, {&normalOnly, 1, 1, kNormal, 3}, {&normalOnly, 2, 0, kNormal, 3},
        {&fineOnly, 2, 1, kFine, 5},      {&fineOnly, 1, 0, kFine, 5},       {&fineOnly, 7, 0x80000007, kFine, 5},
        {&none, 1, 1, nullptr, 0},        {&none, 2, 1, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        const unsigned short* table = kNormal + 1;
        uint32_t count = 0x5A5A5A5A;
        EXPECT_EQ(c.result, c.expression->get_table(static_cast<FinenessOption>(c.fineness), table, count));
        EXPECT_EQ(c.table, table);
        EXPECT_EQ(c.count, count);
    }
}

TEST(NumericTableExpressionTTest, WithoutTablesBehavesAsLinearExpression)
{
    const NumericTableExpressionT<unsigned short> none(nullptr, 0, nullptr, 0, 30, 330);
    const auto attr = attributeFor(0, 100, 10, 10);
    JVariant out;
    EXPECT_EQ(0u, none.rounding(out, JVariant(14), attr, FinenessFine));
    EXPECT_EQ(10, out.toInt32());
    EXPECT_EQ(0u, none.incDec(out, JVariant(10), attr, 2, 1, FinenessFine));
    EXPECT_EQ(30, out.toInt32());
    char buffer[32];
    uint32_t length = 0;
    EXPECT_EQ(0u, none.toText(buffer, length, sizeof buffer, JVariant(15), attr, 0));
    EXPECT_STREQ("1.5", buffer);
    EXPECT_EQ(0u, none.fromText(out, "7.9", 3, attr));  // the linear reading drops the fraction
    EXPECT_EQ(70, out.toInt32());
    EXPECT_EQ(10u, none.getResolution(attr, FinenessFine));
    uint32_t degree = 0;
    EXPECT_EQ(0u, none.toDegree(degree, JVariant(50), attr));
    EXPECT_EQ(180u, degree);
}

TEST(NumericTableExpressionTTest, ReadsValuesInTheTableType)
{
    // unsigned short: the low 16 bits for searches; limited to 0..65535 before snapping.
    const NumericTableExpressionT<unsigned short> q(kNormal, 3, kFine, 5, 30, 330);
    const auto attr = attributeFor(0, 65535, 1);
    JVariant out;
    EXPECT_EQ(0u, q.rounding(out, JVariant(70000), attr, FinenessNormal));
    EXPECT_EQ(400u, out.toUInt32());
    EXPECT_EQ(JVariant::kTypeUInt32, out.getType());
    EXPECT_EQ(2u, NumericTableExpressionT<unsigned short>::indexOfValue(kNormal, 3, JVariant(65536 + 400)));

    // unsigned int: values above 2^31 are large, not negative.
    const unsigned int wide[] = {10, 3000000000u, 4000000000u};
    const NumericTableExpressionT<unsigned int> u(wide, 3, wide, 3, 30, 330);
    EXPECT_EQ(0u, u.rounding(out, JVariant(3600000000u), attributeFor(0, -1, 1), FinenessFine));
    EXPECT_EQ(4000000000u, out.toUInt32());
    EXPECT_EQ(JVariant::kTypeUInt32, out.getType());

    // short: written as Int32.
    const short levels[] = {-300, 0, 300};
    const NumericTableExpressionT<short> s(levels, 3, levels, 3, 30, 330);
    EXPECT_EQ(0u, s.rounding(out, JVariant(-200), attributeFor(-300, 300, 1), FinenessFine));
    EXPECT_EQ(-300, out.toInt32());
    EXPECT_EQ(JVariant::kTypeInt32, out.getType());
    char buffer[16];
    EXPECT_EQ(6u, NumericTableExpressionT<short>::ValueToText(buffer, sizeof buffer, JVariant(-300), 100));
    EXPECT_STREQ("-3.00", buffer);
}

TEST(NumericTableExpressionTTest, MapsKnobAnglesByTablePosition)
{
    const NumericTableExpressionT<unsigned short> q(kNormal, 3, kFine, 5, 30, 330);
    const auto attr = attributeFor(150, 300, 1);
    struct ToCase {
        int value;
        uint32_t degree;
    };
    // The fine table's 5 entries share 300 degrees: 75 per entry, whatever the range.
    const ToCase to[] = {{150, 105}, {200, 180}, {250, 218}, {300, 255}, {100, 30}, {400, 330}};
    for (const ToCase& c : to) {
        SCOPED_TRACE(c.value);
        uint32_t degree = 0x5A5A5A5A;
        EXPECT_EQ(0u, q.toDegree(degree, JVariant(c.value), attr));
        EXPECT_EQ(c.degree, degree);
    }
    struct FromCase {
        uint32_t degree;
        unsigned value;
    };
    const FromCase from[] = {{0, 100}, {30, 100}, {105, 150}, {142, 150}, {143, 200}, {330, 400}, {1000, 400}};
    for (const FromCase& c : from) {
        SCOPED_TRACE(c.degree);
        JVariant out;
        EXPECT_EQ(0u, q.fromDegree(out, c.degree, attr));
        EXPECT_EQ(c.value, out.toUInt32());
    }
    const NumericTableExpressionT<unsigned short> flat(kNormal, 3, kFine, 5, 90, 90);
    JVariant out(7);
    EXPECT_EQ(0x80000003u, flat.fromDegree(out, 90, attr));
    EXPECT_EQ(7, out.toInt32());

    // A one-entry table has no span: its only entry sits at the low end.
    const NumericTableExpressionT<unsigned short> single(kNormal, 1, kFine, 1, 30, 330);
    uint32_t degree = 0x5A5A5A5A;
    EXPECT_EQ(0u, single.toDegree(degree, JVariant(100), attributeFor(0, 1000, 1)));
    EXPECT_EQ(30u, degree);
}
