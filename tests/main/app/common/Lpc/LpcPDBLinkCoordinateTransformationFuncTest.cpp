#include "common/Lpc/LpcPDBLinkCoordinateTransformationFunc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "main/app/common/Lpc/LpcPositionLinkFixture.h"

using LPC::JVariantList;
using namespace LpcTest;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kSourceRead = 0xFFFFFFFFu;  // in a table: whatever reading the binaural source answered
using Ints = std::array<int32_t, 3>;

JVariantList floatsOf(float x, float y, float z) { return {JVariant(x), JVariant(y), JVariant(z)}; }

class PDBLinkCoordinateTransformationFuncTest : public PositionLinkFixture {
protected:
    void SetUp() override
    {
        PositionLinkFixture::SetUp();
        refresh();
    }
    static void setBinauralSource(int32_t source) { put(1, kBinauralSource, 0, 0, 0, JVariant(source)); }
    // Object 3 alone (its own partner), write attribute 7, as the pair handler asks for it.
    JLIB::JResult writeLogical(uint32_t object, const JVariantList& values)
    {
        return LPC::linkPrmLogicalToPhysicalWithPair(&m_converters, links(), values, object, object, false, 7);
    }
};

}  // namespace

TEST_F(PDBLinkCoordinateTransformationFuncTest, LogicalWriteDerivesThePhysicalPositionAndItsBinauralCopy)
{
    // With the pair flag as fourth value, as writes through the engine carry it.
    EXPECT_EQ(1u, writeLogical(3, {JVariant(0.25f), JVariant(0.75f), JVariant(0.75f), JVariant(0u)}));
    EXPECT_EQ((Ints{-250, 150, 375}), physical(3));
    expectNear({0.25f, 0.75f, 0.75f}, logical(3));
    expectNear({0.25f, 0.75f, 0.75f}, logicalInternal(3));
    EXPECT_EQ((Ints{-250, 150, 375}), binauralControl(67));  // object i follows at i + 64
    EXPECT_EQ((Ints{0, 0, 0}), binauralControl(3));
    for (uint32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(7, factorOf(0, kLogical, k, 3)) << k;
        EXPECT_EQ(7, factorOf(2, kLogicalInternal, k, 3)) << k;
        EXPECT_EQ(255, factorOf(0, kPhysical, k, 3)) << k;
        EXPECT_EQ(255, factorOf(2, kBinauralControl, k, 67)) << k;
    }

    // The centre of the space at the middle height.
    EXPECT_EQ(1u, writeLogical(3, floatsOf(0.5f, 0.5f, 0.5f)));
    EXPECT_EQ((Ints{0, 0, 250}), physical(3));

    // Outside the outline the unclipped copy keeps the value and the physical position extrapolates.
    EXPECT_EQ(1u, writeLogical(3, floatsOf(1.5f, 0.5f, 0.5f)));
    expectNear({1.5f, 0.5f, 0.5f}, logicalInternal(3));
    expectNear({1.0f, 0.5f, 0.5f}, logical(3));
    EXPECT_EQ((Ints{1000, 0, 250}), physical(3));

    // Binaural source 1: the position is stored, the binaural copy stays.
    setBinauralSource(1);
    EXPECT_FALSE(JLIB::isFailure(writeLogical(3, floatsOf(0.75f, 0.25f, 0.25f))));
    EXPECT_EQ((Ints{250, -150, 125}), physical(3));
    EXPECT_EQ((Ints{1000, 0, 250}), binauralControl(67));
    EXPECT_EQ(0u, LPC::show("physical", floatsOf(0.75f, 0.25f, 0.25f)));
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, PartnerFollowsByItsLogicalOffsetOrByItsPhysicalOffset)
{
    constexpr auto kTypeA = LPC::CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_A;
    constexpr auto kTypeB = LPC::CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_B;
    struct Case {
        const char* name;
        LPC::CategoryOfLinkPrmLogicalToPysicalType type;
        bool withPartner;
        Ints objectPhysical;
        Ints partnerPhysical;
    };
    // Object 4 at logical (0.2, 0.2, 0.2) = (-300, -180, 100) cm, partner 5 at (0.3, 0.5, 0.2) = (-200, 0, 100) cm;
    // the write asks for (0.6, 0.6, 0.6) = (100, 60, 300) cm.
    const Case cases[] = {
        {"A keeps the logical offset", kTypeA, true, {100, 60, 300}, {200, 240, 300}},
        {"A for the object alone", kTypeA, false, {100, 60, 300}, {-200, 0, 100}},
        {"B keeps the physical offset", kTypeB, true, {100, 60, 300}, {200, 240, 300}},
        {"B for the object alone", kTypeB, false, {100, 60, 300}, {-200, 0, 100}},
        {"no such type", static_cast<LPC::CategoryOfLinkPrmLogicalToPysicalType>(2), true, {-300, -180, 100},
         {-200, 0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        putPhysical(4, -300, -180, 100);
        putLogical(4, 0.2f, 0.2f, 0.2f);
        putPhysical(5, -200, 0, 100);
        putLogical(5, 0.3f, 0.5f, 0.2f);
        const JLIB::JResult result = LPC::linkPrmLogicalToPhysicalWithPairInternal(
            c.type, &m_converters, links(), floatsOf(0.6f, 0.6f, 0.6f), 4, 5, c.withPartner, 7);
        EXPECT_FALSE(JLIB::isFailure(result));
        EXPECT_EQ(c.objectPhysical, physical(4));
        EXPECT_EQ(c.partnerPhysical, physical(5));
        expectNear(kRooms[0].logicalOf(c.objectPhysical[0], c.objectPhysical[1], c.objectPhysical[2]), logical(4));
        expectNear(kRooms[0].logicalOf(c.partnerPhysical[0], c.partnerPhysical[1], c.partnerPhysical[2]),
                   logicalInternal(5));
        if (c.withPartner && int(c.type) < 2) {
            EXPECT_EQ(7, factorOf(2, kLogicalInternal, 0, 4));
            EXPECT_EQ(255, factorOf(2, kLogicalInternal, 0, 5));
            EXPECT_EQ((Ints{200, 240, 300}), binauralControl(69));
        }
    }
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, MetresBecomeCentimetresHalfAwayFromZeroAndNonFiniteIsRefused)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float metres;
        bool accepted;
        int32_t centimetres;
    };
    const Case cases[] = {
        {0.125f, true, 13},
        {-0.125f, true, -13},
        {1.5f, true, 150},
        {0.004f, true, 0},
        {-2.675f, true, -268},  // the Float product is -267.5 exactly; in double it would stay -267.49999...
        {3e7f, true, 50000},    // held at the Int32 end, then at the parameter's
        {-3e7f, true, -50000},
        {std::numeric_limits<float>::quiet_NaN(), false, 0},
        {inf, false, 0},
        {-inf, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.metres);
        putPhysical(6, 1, 2, 3);
        put(2, kBinauralControl, 0, 70, 0, JVariant(9));
        const JLIB::JResult result =
            LPC::setPrmPhysicalXYZ(links(), linkCat(11), 6, 0, floatsOf(0.5f, c.metres, 0.0f), 7);
        if (c.accepted) {
            EXPECT_EQ(1u, result);
            EXPECT_EQ((Ints{50, c.centimetres, 0}), physical(6));
            EXPECT_EQ((Ints{50, c.centimetres, 0}), binauralControl(70));
        } else {
            EXPECT_EQ(kFailed, result);
            EXPECT_EQ((Ints{1, 2, 3}), physical(6));  // not even the finite members
            EXPECT_EQ(9, binauralControl(70)[0]);
        }
    }
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, LogicalPositionWithoutFinitePhysicalPlaceStoresNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const JVariantList refused[] = {floatsOf(0.5f, 0.5f, nan), floatsOf(nan, 0.5f, 0.5f),
                                    floatsOf(2e38f, 2e38f, 0.5f), {JVariant(0.5f), JVariant(0.5f)}};
    for (const JVariantList& values : refused) {
        putPhysical(3, 10, 20, 30);
        putLogical(3, 0.25f, 0.25f, 0.25f);
        EXPECT_EQ(kFailed, writeLogical(3, values));
        EXPECT_EQ((Ints{10, 20, 30}), physical(3));
        expectNear({0.25f, 0.25f, 0.25f}, logical(3));
        expectNear({0.25f, 0.25f, 0.25f}, logicalInternal(3));
    }
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, MirroringFollowsTheBinauralSource)
{
    struct Case {
        const char* name;
        uint32_t category;
        int32_t source;
        uint32_t x;
        bool skipOwnWrite;
        JLIB::JResult result;
        bool ownWritten;
        std::vector<uint32_t> mirrored;  // binaural control indexes written
    };
    const Case cases[] = {
        {"object, source 0", 11, 0, 3, false, 1, true, {67}},
        {"object, source 0, own write skipped", 11, 0, 3, true, 1, false, {67}},
        {"object, source 1 stores only the position", 11, 1, 3, true, 0, true, {}},
        {"object for the binaural handler, source 0", 34, 0, 3, true, 1, false, {67}},
        {"object for the binaural handler, source 1", 34, 1, 3, false, 0, false, {}},
        {"speaker, source 1", 33, 1, 5, false, 1, true, {5, 69}},
        {"speaker, source 0", 33, 0, 5, false, 0, false, {}},
        {"another category answers with the source read", 12, 0, 3, false, kSourceRead, false, {}},
    };
    const JVariantList position = {JVariant(111), JVariant(222), JVariant(333)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setBinauralSource(c.source);
        putPhysical(c.x, 0, 0, 0);
        for (uint32_t k = 0; k < 3; ++k) put(1, kSpeakerPosition, k, c.x, 0, JVariant(0));
        for (uint32_t index : {c.x, c.x + 64}) {
            for (uint32_t k = 0; k < 3; ++k) put(2, kBinauralControl, k, index, 0, JVariant(0));
        }
        JVariant source;
        const JLIB::JResult sourceRead = LPC::getVariant(links(), linkCat(32), 0, 0, source, 0);
        const JLIB::JResult result =
            LPC::linkToBinauralControlPosition(links(), linkCat(c.category), c.x, 0, position, 7, c.skipOwnWrite);
        EXPECT_EQ(c.result == kSourceRead ? sourceRead : c.result, result);
        const Ints own = c.category == 33 ? ints(1, kSpeakerPosition, c.x) : physical(c.x);
        EXPECT_EQ(c.ownWritten ? (Ints{111, 222, 333}) : (Ints{0, 0, 0}), own);
        for (uint32_t index : {c.x, c.x + 64}) {
            const bool expected = std::find(c.mirrored.begin(), c.mirrored.end(), index) != c.mirrored.end();
            EXPECT_EQ(expected ? (Ints{111, 222, 333}) : (Ints{0, 0, 0}), binauralControl(index)) << index;
            if (expected) {
                EXPECT_EQ(255, factorOf(2, kBinauralControl, 1, index));
            }
        }
        if (c.ownWritten) {
            const bool speaker = c.category == 33;
            EXPECT_EQ(7, factorOf(speaker ? 1 : 0, speaker ? kSpeakerPosition : kPhysical, 1, c.x));
        }
    }
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, PairMirroringCopiesBothStoredPositions)
{
    putPhysical(7, 70, 71, 72);
    putPhysical(8, 80, 81, 82);
    EXPECT_EQ(1u, LPC::linkToBinauralControlPositionWithPair(links(), linkCat(11), 7, 8, 7));
    EXPECT_EQ((Ints{70, 71, 72}), binauralControl(71));
    EXPECT_EQ((Ints{80, 81, 82}), binauralControl(72));
    EXPECT_EQ(255, factorOf(0, kPhysical, 0, 7));  // the stored positions were not rewritten
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, ZoneNumbersNameSpacesFromOne)
{
    struct Case {
        int32_t zone;
        JLIB::JResult result;
        uint32_t space;
    };
    for (const Case& c : {Case{1, 0, 0}, Case{3, 0, 2}, Case{32, 0, 31}, Case{0, kFailed, 77}}) {
        SCOPED_TRACE(c.zone);
        put(0, kZone, 0, 9, 0, JVariant(c.zone));
        uint32_t space = 77;
        EXPECT_EQ(c.result, LPC::getZoneNo(links(), 9, space));
        EXPECT_EQ(c.space, space);
    }
    // Zone 0 has no converter to ask, and neither has a missing converter list.
    JVariantList out;
    EXPECT_EQ(kFailed, LPC::toLogical(&m_converters, links(), floatsOf(0, 0, 0), out, 9));
    put(0, kZone, 0, 9, 0, JVariant(1));
    EXPECT_EQ(kFailed, LPC::toLogical(nullptr, links(), floatsOf(0, 0, 0), out, 9));
    EXPECT_EQ(0u, LPC::toLogical(&m_converters, links(), floatsOf(2.5f, -1.5f, 1.25f), out, 9));
    ASSERT_EQ(3u, out.size());
    EXPECT_NEAR(0.75f, out[0].toFloat(), 1e-5f);
    EXPECT_NEAR(0.25f, out[1].toFloat(), 1e-5f);
    EXPECT_NEAR(0.25f, out[2].toFloat(), 1e-5f);
    EXPECT_EQ(0u, LPC::toLogicalWithPhysicalInt(&m_converters, links(), {JVariant(250), JVariant(-150), JVariant(125)},
                                                out, 9));
    EXPECT_NEAR(0.75f, out[0].toFloat(), 1e-5f);
}

TEST_F(PDBLinkCoordinateTransformationFuncTest, PhysicalWriteStoresThreeValuesAndDerivesTheLogicalOnes)
{
    const PDB::AddressId& address = links().at(linkCat(11)).addressId;
    putLogical(2, 0.25f, 0.25f, 0.25f);
    EXPECT_EQ(kFailed, LPC::linkPrmPhysicalToLogicalWithSet(&m_converters, links(), address, 2, 0,
                                                            {JVariant(100), JVariant(60)}, 7));
    expectNear({0.25f, 0.25f, 0.25f}, logical(2));
    EXPECT_EQ((Ints{0, 0, 0}), physical(2));

    EXPECT_EQ(1u, LPC::linkPrmPhysicalToLogicalWithSet(&m_converters, links(), address, 2, 0,
                                                       {JVariant(100), JVariant(60), JVariant(300), JVariant(0u)}, 7));
    EXPECT_EQ((Ints{100, 60, 300}), physical(2));
    EXPECT_EQ(7, factorOf(0, kPhysical, 2, 2));
    expectNear({0.6f, 0.6f, 0.6f}, logical(2));
    EXPECT_EQ(255, factorOf(0, kLogical, 0, 2));

    // Moving needs three members on both sides.
    JVariantList moved(3);
    EXPECT_EQ(kFailed, LPC::movePhysicalPosition(links(), 2, moved, JVariantList{JVariant(1.0f)}));
    EXPECT_EQ(0u, LPC::movePhysicalPosition(links(), 2, moved, floatsOf(1, -1, 0.5f)));
    EXPECT_FLOAT_EQ(2.0f, moved[0].toFloat());
    EXPECT_FLOAT_EQ(-0.4f, moved[1].toFloat());
    EXPECT_FLOAT_EQ(3.5f, moved[2].toFloat());
}
