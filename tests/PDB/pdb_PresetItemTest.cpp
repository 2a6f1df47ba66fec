#include "PDB/pdb_PresetItem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "jlib/JHeap.h"

namespace {

using PDB::PresetContentsItem;
using PDB::UniqId;

constexpr uint32_t kAll = PresetContentsItem::kAllElements;
// Stands for whatever failure code the database answers itself.
constexpr JLIB::JResult kDatabaseFailure = 0xFFFFFFFFu;

// "PresetT" 1: /U8 UINT8 3 x 2 (0..200, default 5), /S16 SINT16, /S8 SINT8, /U32 UINT32,
// /F FLOAT, /B BOOL, /Str STRING of 6 bytes, /Bin BINARY of 4 bytes, each 1 x 1.
// "OtherT" 1: /U8 UINT8 3 x 2, so that only the type name tells it apart.
void registerTypes()
{
    static const bool done = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        const PDB::ParamAttr attr('T', PDB::ParamAttr::kRecallable);
        PDB::ComponentInfo t;
        EXPECT_EQ(0u, t.initialize("PresetT", 1, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT8("/U8", 3, 2, "", "", 0, 200, 5, 5, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSINT16("/S16", 1, 1, "", "", -1000, 1000, 0, 0, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSINT8("/S8", 1, 1, "", "", -100, 100, 0, 0, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT32("/U32", 1, 1, "", "", 0, 0xFFFFFFF0u, 0, 0, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressFLOAT("/F", 1, 1, "", "", -10.0f, 10.0f, 0.0f, 0.0f, 0.5f, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressBOOL("/B", 1, 1, "", "", 0, 1, 0, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSTRING("/Str", 1, 1, "", "", 6, "def", attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressBINARY("/Bin", 1, 1, "", "", 4, attr, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);  // a repeated call finds it registered
        PDB::ComponentInfo o;
        EXPECT_EQ(0u, o.initialize("OtherT", 1, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, o.addAddressUINT8("/U8", 3, 2, "", "", 0, 200, 5, 5, 1, 1, attr, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(o);
        return true;
    }();
    (void)done;
}

// A live database with components 10 and 11 of "PresetT" and 20 of "OtherT".
struct Fixture {
    Fixture()
    {
        registerTypes();
        EXPECT_EQ(0u, db.initialize(10, "AudioCompo", &lock));
        EXPECT_EQ(0u, db.addComponent(UniqId(10), "PresetT", 1, 1, 1, 0));
        EXPECT_EQ(0u, db.addComponent(UniqId(11), "PresetT", 1, 1, 1, 0));
        EXPECT_EQ(0u, db.addComponent(UniqId(20), "OtherT", 1, 1, 1, 0));
    }
    uint32_t ci(uint32_t id) const { return db.getComponentIndex(UniqId(id)); }
    uint32_t ai(uint32_t id, const char* address) const { return db.getAddressIndex(UniqId(id), address); }
    JVariant get(uint32_t id, const char* address, uint32_t x = 0, uint32_t y = 0) const
    {
        JVariant v;
        EXPECT_FALSE(JLIB::isFailure(db.getVariant(v, ci(id), ai(id, address), x, y, nullptr)));
        return v;
    }
    void set(uint32_t id, const char* address, const JVariant& v, uint32_t x = 0, uint32_t y = 0)
    {
        EXPECT_FALSE(JLIB::isFailure(db.setVariant(ci(id), ai(id, address), x, y, v, 0xFF)));
    }
    // The entry's image read from component id, or empty when writing it failed.
    std::vector<uint8_t> image(const PresetContentsItem& item, uint32_t id, bool withValues,
                               JLIB::JResult* result = nullptr) const
    {
        const uint32_t size = item.exportBinarySize(db, UniqId(id), withValues);
        std::vector<uint8_t> bytes(JLIB::isFailure(size) ? 0 : size, 0xA5);
        const JLIB::JResult r = item.exportBinary(db, UniqId(id), bytes.data(), size, 0, withValues);
        if (result) *result = r;
        if (JLIB::isFailure(r)) bytes.clear();
        return bytes;
    }

    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the database
    PDB::ParameterDB db;
};

PresetContentsItem entry(uint32_t kind, uint32_t id, const char* type, const char* address, uint32_t x, uint32_t y)
{
    PresetContentsItem item;
    (void)item.set(kind, "AudioCompo", UniqId(id), type, address, x, y);
    return item;
}

uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

TEST(PresetItemTest, SingleParameterImageFollowsTheByteLayout)
{
    Fixture f;
    for (uint32_t x = 0; x < 3; ++x) f.set(10, "/U8", JVariant(10u * (x + 1)), x, 1);
    const PresetContentsItem item = entry(3, 10, "PresetT", "/U8", kAll, 1);

    // The id in the header is the one passed in, not the entry's own.
    const std::vector<uint8_t> bytes = f.image(item, 10, true);
    const std::vector<uint8_t> other = f.image(item, 11, true);
    ASSERT_EQ(16u + 20u + 4u, bytes.size());  // names 10 + 7 + 3 = 20; 3 values padded to 4
    EXPECT_EQ(0, std::memcmp(bytes.data(), "#PC1", 4));
    EXPECT_EQ(0x83, bytes[4]);
    EXPECT_EQ(10, bytes[5]);
    EXPECT_EQ(7, bytes[6]);
    EXPECT_EQ(3, bytes[7]);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 10}), std::vector<uint8_t>(bytes.begin() + 8, bytes.begin() + 12));
    EXPECT_EQ(0xFFFFu, be16(&bytes[12]));
    EXPECT_EQ(1u, be16(&bytes[14]));
    EXPECT_EQ("AudioCompoPresetT/U8", std::string(bytes.begin() + 16, bytes.begin() + 36));
    EXPECT_EQ((std::vector<uint8_t>{10, 20, 30, 0}), std::vector<uint8_t>(bytes.begin() + 36, bytes.end()));
    ASSERT_EQ(bytes.size(), other.size());
    EXPECT_EQ(11, other[11]);

    // Without values: header and names only, flag clear.
    const std::vector<uint8_t> bare = f.image(item, 10, false);
    ASSERT_EQ(36u, bare.size());
    EXPECT_EQ(0x03, bare[4]);
}

TEST(PresetItemTest, KindsWriteOnlyTheNamesTheyHave)
{
    Fixture f;
    struct Case {
        const char* name;
        PresetContentsItem item;
        uint8_t lengths[3];
        uint32_t id;
        uint32_t x, y;
    };
    const Case cases[] = {
        {"database", entry(0, 10, "PresetT", "/U8", 3, 2), {10, 0, 0}, 0, 0, 0},
        {"component", entry(1, 10, "PresetT", "/U8", 3, 2), {10, 7, 0}, 10, 0, 0},
        {"array", entry(2, 10, "PresetT", "/U8", 3, 2), {10, 7, 3}, 10, 3, 2},
        {"none", entry(9, 10, "PresetT", "/U8", 3, 2), {0, 0, 0}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = f.image(c.item, 10, false);
        ASSERT_GE(bytes.size(), 16u);
        EXPECT_EQ(16u + (c.lengths[0] + c.lengths[1] + c.lengths[2] + 3u) / 4u * 4u, bytes.size());
        EXPECT_EQ(c.lengths[0], bytes[5]);
        EXPECT_EQ(c.lengths[1], bytes[6]);
        EXPECT_EQ(c.lengths[2], bytes[7]);
        EXPECT_EQ(c.id, uint32_t(bytes[8]) << 24 | uint32_t(bytes[9]) << 16 | uint32_t(bytes[10]) << 8 | bytes[11]);
        EXPECT_EQ(c.x, be16(&bytes[12]));
        EXPECT_EQ(c.y, be16(&bytes[14]));

        PresetContentsItem back;
        ASSERT_EQ(0u, back.importBinary(f.db, UniqId(11), bytes.data(), uint32_t(bytes.size()), true));
        EXPECT_EQ(c.item.kind(), back.kind());
        EXPECT_EQ(c.lengths[0] ? "AudioCompo" : "", back.dbName());
        EXPECT_EQ(c.lengths[1] ? "PresetT" : "", back.componentName());
        EXPECT_EQ(c.lengths[2] ? "/U8" : "", back.address());
        EXPECT_TRUE(back.isValid());
    }
}

TEST(PresetItemTest, SingleValuesOfEveryTypeReachAnotherComponentOfTheSameType)
{
    struct Case {
        const char* address;
        JVariant value;
    };
    const uint8_t blob[4] = {1, 0, 0xFE, 7};
    const Case cases[] = {
        {"/S16", JVariant(-300)}, {"/S8", JVariant(-5)},        {"/U32", JVariant(0xFFFFFF00u)},
        {"/F", JVariant(2.5f)},   {"/B", JVariant(1u)},         {"/Str", JVariant("ab", 6)},
        {"/Bin", JVariant(blob, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        Fixture f;
        f.set(10, c.address, c.value);
        const std::vector<uint8_t> bytes = f.image(entry(3, 10, "PresetT", c.address, 0, 0), 10, true);
        ASSERT_FALSE(bytes.empty());

        PresetContentsItem back;
        EXPECT_EQ(0u, back.importBinary(f.db, UniqId(11), bytes.data(), uint32_t(bytes.size()), true));
        EXPECT_TRUE(f.get(11, c.address) == f.get(10, c.address));
        EXPECT_EQ(10u, back.uniqId().id());  // the entry remembers where the values came from

        // A component of another type refuses, and nothing changes there or in the source.
        PresetContentsItem refused;
        EXPECT_EQ(0x80010000u, refused.importBinary(f.db, UniqId(20), bytes.data(), uint32_t(bytes.size()), true));
        EXPECT_FALSE(f.db._IsRecalling());
    }
}

TEST(PresetItemTest, RangeAlongOneAxisWritesOnlyThatLine)
{
    Fixture f;
    for (uint32_t x = 0; x < 3; ++x) {
        for (uint32_t y = 0; y < 2; ++y) f.set(10, "/U8", JVariant(100u + 10 * x + y), x, y);
    }
    const std::vector<uint8_t> bytes = f.image(entry(3, 10, "PresetT", "/U8", kAll, 1), 10, true);
    PresetContentsItem back;
    ASSERT_EQ(0u, back.importBinary(f.db, UniqId(11), bytes.data(), uint32_t(bytes.size()), true));
    EXPECT_EQ(kAll, back.x());
    EXPECT_EQ(1u, back.y());
    for (uint32_t x = 0; x < 3; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(100u + 10 * x + 1, f.get(11, "/U8", x, 1).toUInt32());
        EXPECT_EQ(5u, f.get(11, "/U8", x, 0).toUInt32());  // the other line keeps its default
    }
    EXPECT_FALSE(f.db._IsRecalling());
    EXPECT_FALSE(f.db._IsLinkSuppressed());
}

TEST(PresetItemTest, ParameterArrayAndComponentEntriesCopyAllValues)
{
    Fixture f;
    for (uint32_t x = 0; x < 3; ++x) f.set(10, "/U8", JVariant(50u + x), x, 0);
    f.set(10, "/Str", JVariant("hello", 6));

    PDB::PresetContentsList list;
    ASSERT_EQ(0u, list.addParameterArray(f.db, UniqId(10), "/U8"));
    ASSERT_EQ(0u, list.addComponent(f.db, UniqId(10)));
    EXPECT_EQ(3u, list.item(0).x());  // the array's sizes when the entry was made
    EXPECT_EQ(2u, list.item(0).y());
    EXPECT_EQ("PresetT", list.item(1).componentName());

    for (uint32_t n = 0; n < list.num(); ++n) {
        SCOPED_TRACE(n);
        const std::vector<uint8_t> bytes = f.image(list.item(n), 10, true);
        ASSERT_FALSE(bytes.empty());
        PresetContentsItem back;
        EXPECT_EQ(0u, back.importBinary(f.db, UniqId(11), bytes.data(), uint32_t(bytes.size()), true));
        EXPECT_EQ(0x80010000u, back.importBinary(f.db, UniqId(20), bytes.data(), uint32_t(bytes.size()), true));
    }
    for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(50u + x, f.get(11, "/U8", x, 0).toUInt32());
    EXPECT_STREQ("hello", f.get(11, "/Str").toString());
    EXPECT_EQ(5u, f.get(20, "/U8").toUInt32());
    EXPECT_FALSE(f.db._IsRecalling());
}

TEST(PresetItemTest, MalformedImagesAreRefusedWithTheirCodes)
{
    Fixture f;
    f.set(10, "/U8", JVariant(77u), 0, 0);
    f.set(10, "/U8", JVariant(78u), 1, 0);
    const std::vector<uint8_t> good = f.image(entry(3, 10, "PresetT", "/U8", kAll, 0), 10, true);
    ASSERT_EQ(36u + 4u, good.size());

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t size;
        JLIB::JResult result;
        uint32_t kind;      // of the entry afterwards
        uint32_t element0;  // element (0, 0) of the target afterwards
    };
    auto patched = [&](size_t at, std::vector<uint8_t> values) {
        std::vector<uint8_t> b = good;
        std::copy(values.begin(), values.end(), b.begin() + at);
        return b;
    };
    std::vector<uint8_t> emptyKind(16, 0);
    std::memcpy(emptyKind.data(), "#PC1", 4);
    emptyKind[4] = 0x80 | 0x7F;
    const Case cases[] = {
        {"fewer than 16 bytes", good, 15, 0x80000001u, 4, 1},
        {"another tag", patched(3, {'2'}), 40, 0x80010000u, 4, 1},
        {"names longer than the image", patched(7, {200}), 40, 0x80010000u, 4, 1},
        {"values flagged but absent", good, 36, 0x80010000u, 3, 1},
        // One byte of values: the first element is written, the second has no bytes left.
        {"second element cut short", good, 37, 0x80000001u, 3, 77},
        {"values flag clear", patched(4, {0x03}), 40, 0u, 3, 1},
        {"both axes all", patched(14, {0xFF, 0xFF}), 40, 0x80010000u, 3, 1},
        {"kind 127 with values", emptyKind, 16, 0u, 127, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.set(11, "/U8", JVariant(1u), 0, 0);
        PresetContentsItem back;
        EXPECT_EQ(c.result, back.importBinary(f.db, UniqId(11), c.bytes.data(), c.size, true));
        EXPECT_EQ(c.element0, f.get(11, "/U8", 0, 0).toUInt32());
        EXPECT_EQ(c.kind, back.kind());
        EXPECT_TRUE(back.isValid() || c.kind == 3);
        EXPECT_FALSE(f.db._IsRecalling());
        EXPECT_FALSE(f.db._IsLinkSuppressed());
    }
    PresetContentsItem back;
    EXPECT_EQ(0x80000001u, back.importBinary(f.db, UniqId(11), nullptr, 40, true));
}

TEST(PresetItemTest, EntriesThatCannotBeWrittenSayWhy)
{
    Fixture f;
    struct Case {
        const char* name;
        PresetContentsItem item;
        uint32_t id;
        bool nullBuffer;
        int sizeDelta;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"invalid entry", entry(2, 10, "PresetT", "/U8", 0, 2), 10, false, 0, 0x80010000u},
        {"both axes all", entry(3, 10, "PresetT", "/U8", kAll, kAll), 10, false, 0, 0x80010000u},
        {"null buffer", entry(3, 10, "PresetT", "/U8", 0, 0), 10, true, 0, 0x80000001u},
        {"buffer one byte short", entry(3, 10, "PresetT", "/U8", 0, 0), 10, false, -1, 0x80000001u},
        {"missing component", entry(1, 99, "PresetT", nullptr, 0, 0), 99, false, 0, 0x80000001u},
        {"element outside the array", entry(3, 10, "PresetT", "/U8", 7, 0), 10, false, 0, kDatabaseFailure},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> buffer(256, 0);
        uint32_t size = c.item.exportBinarySize(f.db, UniqId(c.id), true);
        if (JLIB::isFailure(size)) size = 64;
        size = uint32_t(int(size) + c.sizeDelta);
        const JLIB::JResult r =
            c.item.exportBinary(f.db, UniqId(c.id), c.nullBuffer ? nullptr : buffer.data(), size, 0, true);
        if (c.result == kDatabaseFailure) {
            EXPECT_TRUE(JLIB::isFailure(r));
        } else {
            EXPECT_EQ(c.result, r);
        }
    }
    EXPECT_EQ(0x80010000u, entry(3, 10, "PresetT", "/U8", kAll, kAll).exportBinarySize(f.db, UniqId(10), true));
    EXPECT_EQ(0x80000001u, entry(1, 99, "PresetT", nullptr, 0, 0).exportBinarySize(f.db, UniqId(99), true));
}

TEST(PresetItemTest, ElementsUseTheEncodingOfTheirType)
{
    struct Case {
        const char* name;
        uint8_t type;
        uint32_t elementSize;
        JVariant value;
        std::vector<uint8_t> bytes;  // little-endian host order assumed for numbers
        JVariant back;
    };
    const uint8_t blob[3] = {9, 8, 7};
    const uint8_t blobBack[4] = {9, 8, 7, 0};
    const Case cases[] = {
        {"UINT8 keeps the low byte", 0x11, 1, JVariant(0x1FFu), {0xFF}, JVariant(0xFFu)},
        {"BOOL", 0x41, 1, JVariant(1u), {1}, JVariant(1u)},
        {"UINT16", 0x12, 2, JVariant(0x1234u), {0x34, 0x12}, JVariant(0x1234u)},
        {"SINT8 sign-extends", 0x21, 1, JVariant(-5), {0xFB}, JVariant(-5)},
        {"SINT16 sign-extends", 0x22, 2, JVariant(-2), {0xFE, 0xFF}, JVariant(-2)},
        {"SINT32", 0x24, 4, JVariant(-70000), {0x90, 0xEE, 0xFE, 0xFF}, JVariant(-70000)},
        {"FLOAT", 0x34, 4, JVariant(1.0f), {0, 0, 0x80, 0x3F}, JVariant(1.0f)},
        {"STRING pads with zeros", 0x50, 6, JVariant("ab", 6), {'a', 'b', 0, 0, 0, 0}, JVariant("ab", 6)},
        {"STRING is cut", 0x50, 3, JVariant("abcdef", 6), {'a', 'b', 'c'}, JVariant("abc", 3)},
        {"BINARY pads to the size", 0x60, 4, JVariant(blob, 3), {9, 8, 7, 0}, JVariant(blobBack, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> out(c.elementSize, 0xA5);
        ASSERT_EQ(0u, PresetContentsItem::exportOneData(c.type, c.elementSize, c.value, out.data(), c.elementSize));
        EXPECT_EQ(c.bytes, out);
        JVariant back;
        ASSERT_EQ(0u, PresetContentsItem::importOneData(c.type, c.elementSize, back, out.data(), c.elementSize));
        EXPECT_EQ(c.back.getType(), back.getType());
        EXPECT_TRUE(back == c.back);

        // Room below the element size is refused and leaves the bytes alone.
        std::vector<uint8_t> small(c.elementSize, 0xA5);
        EXPECT_EQ(0x80000001u,
                  PresetContentsItem::exportOneData(c.type, c.elementSize, c.value, small.data(), c.elementSize - 1));
        EXPECT_EQ(std::vector<uint8_t>(c.elementSize, 0xA5), small);
        EXPECT_EQ(0x80000001u,
                  PresetContentsItem::importOneData(c.type, c.elementSize, back, out.data(), c.elementSize - 1));
    }
}

TEST(PresetItemTest, ListAddsRefuseBadNamesAndKeepOrder)
{
    Fixture f;
    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the database
    PDB::ParameterDB unnamed;
    EXPECT_EQ(0u, unnamed.initialize(5, "", &lock));
    const std::string tooLong(256, 'a');

    PDB::PresetContentsList list;
    struct Case {
        const char* name;
        JLIB::JResult result;
        JLIB::JResult (*add)(PDB::PresetContentsList&, Fixture&, const PDB::IParameterDB&, const std::string&);
    };
    const Case cases[] = {
        {"component", 0u, [](auto& l, auto& fx, auto&, auto&) { return l.addComponent(fx.db, UniqId(10)); }},
        {"component, invalid id", 0x80000001u,
         [](auto& l, auto& fx, auto&, auto&) { return l.addComponent(fx.db, UniqId()); }},
        {"component, database without name", 0x80000001u,
         [](auto& l, auto&, auto& u, auto&) { return l.addComponent(u, UniqId(10)); }},
        {"array", 0u, [](auto& l, auto& fx, auto&, auto&) { return l.addParameterArray(fx.db, UniqId(11), "/U8"); }},
        {"array, null address", 0x80000001u,
         [](auto& l, auto& fx, auto&, auto&) { return l.addParameterArray(fx.db, UniqId(11), nullptr); }},
        {"array, address of 256 bytes", 0x80000001u,
         [](auto& l, auto& fx, auto&, auto& t) { return l.addParameterArray(fx.db, UniqId(11), t.c_str()); }},
        {"parameter, missing component", 0u,
         [](auto& l, auto& fx, auto&, auto&) { return l.addParameter(fx.db, UniqId(99), "/U8", 1, kAll); }},
        {"parameter, empty address", 0x80000001u,
         [](auto& l, auto& fx, auto&, auto&) { return l.addParameter(fx.db, UniqId(10), "", 0, 0); }},
        {"item, invalid", 0x80000001u,
         [](auto& l, auto&, auto&, auto&) { return l.addItem(entry(2, 10, "PresetT", "/U8", 0, 0)); }},
        {"item, no entry (kind 4)", 0u, [](auto& l, auto&, auto&, auto&) { return l.addItem(PresetContentsItem()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t before = list.num();
        EXPECT_EQ(c.result, c.add(list, f, unnamed, tooLong));
        EXPECT_EQ(before + (JLIB::isFailure(c.result) ? 0u : 1u), list.num());
    }
    ASSERT_EQ(4u, list.num());
    EXPECT_EQ(1u, list.item(0).kind());
    EXPECT_EQ(2u, list.item(1).kind());
    EXPECT_EQ(3u, list.item(2).kind());
    EXPECT_EQ(kAll, list.item(2).y());
    EXPECT_EQ(4u, list.item(3).kind());
    EXPECT_EQ(4u, list.item(4).kind());  // past the end: the shared empty entry
    EXPECT_TRUE(list.item(4).isValid());
    EXPECT_FALSE(list.item(2).isValid());  // the missing component has no type name
    EXPECT_EQ(0u, list.clear());
    EXPECT_EQ(0u, list.num());
    EXPECT_TRUE(PDB::PresetContentsList::isValidString(std::string(255, 'a').c_str()));
    EXPECT_FALSE(PDB::PresetContentsList::isValidString(tooLong.c_str()));
}

TEST(PresetItemTest, ItemBlockTravelsThroughAContainer)
{
    Fixture f;
    f.set(10, "/S16", JVariant(-123));
    (void)PDB::MBDFPDBPSBlock::useThisBlock();  // always 0
    const PresetContentsItem item = entry(3, 10, "PresetT", "/S16", 0, 0);

    PDB::MBDFPDBPSBlock block;
    ASSERT_EQ(0u, block.initialize("", item, 0, true, f.db, UniqId(10)));
    EXPECT_TRUE(block.isValid());
    EXPECT_EQ("#PDB PS", block.blockTag());
    EXPECT_EQ(f.image(item, 10, true), std::vector<uint8_t>(block.data(), block.data() + block.dataSize(false)));

    FILECACHE::MBDF out;
    const uint8_t uuid[16] = {};
    ASSERT_EQ(0u, out.initialize("Preset", "MUR-UZ", 0, uuid, sizeof(uuid)));
    ASSERT_EQ(0u, out.addBlock(block));
    const std::string path = ::testing::TempDir() + "presetitem_block.bin";
    ASSERT_EQ(0u, out.writeAll(path.c_str(), nullptr, nullptr, false));

    FILECACHE::MBDF in;
    ASSERT_EQ(0u, in.readAll(path.c_str(), true, nullptr, nullptr, 0));
    const PDB::MBDFPDBPSBlock* read = in.blockPtr<PDB::MBDFPDBPSBlock>(0u);
    ASSERT_NE(nullptr, read);
    PresetContentsItem back;
    EXPECT_EQ(0u, back.importBinary(f.db, UniqId(11), read->data(), read->dataSize(false), true));
    EXPECT_EQ(-123, f.get(11, "/S16").toInt32());
    std::remove(path.c_str());

    struct Case {
        const char* name;
        PresetContentsItem item;
        uint32_t result;
    };
    const Case failures[] = {
        {"invalid entry", entry(2, 10, "PresetT", "/U8", 0, 0), 0x80000001u},
        {"size query failed", entry(3, 10, "PresetT", "/U8", kAll, kAll), 0x80000001u},
        {"missing component", entry(1, 99, "PresetT", nullptr, 0, 0), 0x80000001u},
        {"element outside the array", entry(3, 10, "PresetT", "/U8", 9, 0), 0x80000003u},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.name);
        PDB::MBDFPDBPSBlock failed;
        EXPECT_EQ(c.result, failed.initialize("", c.item, 0, true, f.db, c.item.uniqId()));
        EXPECT_FALSE(failed.isValid());
    }
}

TEST(PresetItemTest, EntriesMoveBetweenLiveAndLocalDatabases)
{
    Fixture f;
    PDB::LocalParameterDB copy(f.db);
    f.set(10, "/U8", JVariant(88u), 1, 1);
    f.set(10, "/F", JVariant(-1.5f));
    const PresetContentsItem kinds[] = {entry(1, 10, "PresetT", nullptr, 0, 0), entry(2, 10, "PresetT", "/U8", 3, 2),
                                        entry(3, 10, "PresetT", "/F", 0, 0)};
    for (const PresetContentsItem& item : kinds) {
        SCOPED_TRACE(item.kind());
        const std::vector<uint8_t> bytes = f.image(item, 10, true);
        PresetContentsItem back;
        ASSERT_EQ(0u, back.importBinary(copy, UniqId(11), bytes.data(), uint32_t(bytes.size()), true));

        // ... and back out of the copy into the live database.
        const uint32_t size = item.exportBinarySize(copy, UniqId(11), true);
        std::vector<uint8_t> out(size);
        ASSERT_EQ(0u, item.exportBinary(copy, UniqId(11), out.data(), size, 0, true));
        ASSERT_EQ(0u, back.importBinary(f.db, UniqId(11), out.data(), size, true));
    }
    EXPECT_EQ(88u, f.get(11, "/U8", 1, 1).toUInt32());
    EXPECT_EQ(-1.5f, f.get(11, "/F").toFloat());
}

// The registry's database "AudioCompo" (instance 10) with components 10 and 11 of "PresetT".
struct RegisteredDB {
    RegisteredDB()
    {
        registerTypes();
        EXPECT_EQ(0u, PDB::createPDB(10, "AudioCompo", &lock, 0));
        EXPECT_EQ(0u, db().addComponent(UniqId(10), "PresetT", 1, 1, 1, 0));
        EXPECT_EQ(0u, db().addComponent(UniqId(11), "PresetT", 1, 1, 1, 0));
    }
    ~RegisteredDB() { (void)PDB::destroyPDB(10); }
    PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(10u); }
    uint32_t u8(uint32_t id, uint32_t x, uint32_t y)
    {
        return db().getUInt32(db().getComponentIndex(UniqId(id)), db().getAddressIndex(UniqId(id), "/U8"), x, y,
                              nullptr);
    }
    JLIB::JResult setU8(uint32_t id, uint32_t x, uint32_t y, uint32_t v)
    {
        return db().setUInt32(db().getComponentIndex(UniqId(id)), db().getAddressIndex(UniqId(id), "/U8"), x, y, v,
                              0xFF);
    }

    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the database
};

TEST(PresetItemTest, RegistryFindsTheDatabaseByName)
{
    RegisteredDB r;
    EXPECT_EQ(&r.db(), PDB::findPDB("AudioCompo", PDB::gPDBCollection));
    EXPECT_EQ(nullptr, PDB::findPDB("audiocompo", PDB::gPDBCollection));
    EXPECT_EQ(nullptr, PDB::findPDB("(dummy)", PDB::gPDBCollection));  // empty slots never match
    EXPECT_EQ(nullptr, PDB::findPDB(nullptr, PDB::gPDBCollection));

    PDB::PresetContentsList list;
    const PDB::AddressId address("AudioCompo", UniqId(10), "/U8");
    ASSERT_EQ(0u, list.addParameterArray(address));
    ASSERT_EQ(0u, list.addParameter(address, 2, kAll));
    EXPECT_EQ(3u, list.item(0).x());
    EXPECT_EQ(2u, list.item(0).y());
    EXPECT_EQ("PresetT", list.item(1).componentName());
    EXPECT_TRUE(list.item(1).isValid());

    // The block made through the registry carries the values of the entry's own component.
    ASSERT_FALSE(JLIB::isFailure(r.setU8(10, 2, 0, 42)));
    ASSERT_FALSE(JLIB::isFailure(r.setU8(10, 2, 1, 43)));
    PDB::MBDFPDBPSBlock block;
    ASSERT_EQ(0u, block.initialize("", list.item(1), 0, true));
    PresetContentsItem back;
    ASSERT_EQ(0u, back.importBinary(r.db(), UniqId(11), block.data(), block.dataSize(false), true));
    EXPECT_EQ(42u, r.u8(11, 2, 0));
    EXPECT_EQ(43u, r.u8(11, 2, 1));

    PresetContentsItem elsewhere = list.item(1);
    (void)elsewhere.set(3, "Status", UniqId(10), "PresetT", "/U8", 2, kAll);
    PDB::MBDFPDBPSBlock refused;
    EXPECT_EQ(0x80000001u, refused.initialize("", elsewhere, 0, true));
}

TEST(PresetItemTest, WholeDatabaseEntryRecallsTheImage)
{
    RegisteredDB r;
    ASSERT_FALSE(JLIB::isFailure(r.setU8(10, 0, 0, 61)));
    ASSERT_FALSE(JLIB::isFailure(r.setU8(11, 1, 1, 62)));
    PresetContentsItem item;
    (void)item.set(0, "AudioCompo", UniqId(), nullptr, nullptr, 0, 0);
    ASSERT_TRUE(item.isValid());

    PDB::MBDFPDBPSBlock block;
    ASSERT_EQ(0u, block.initialize("", item, 0x55, true));
    const uint8_t* data = block.data();
    std::vector<uint8_t> image(r.db().exportBinarySize());
    ASSERT_EQ(0u, r.db().exportBinary(image.data(), uint32_t(image.size()), 0x55));
    ASSERT_EQ(28u + image.size(), block.dataSize(false));  // 16 + "AudioCompo" padded to 12
    EXPECT_EQ(0, std::memcmp(image.data(), data + 28, image.size()));

    ASSERT_FALSE(JLIB::isFailure(r.setU8(10, 0, 0, 1)));
    ASSERT_FALSE(JLIB::isFailure(r.setU8(11, 1, 1, 2)));
    PresetContentsItem back;
    EXPECT_EQ(0u, back.importBinary(r.db(), UniqId(), data, block.dataSize(false), true));
    EXPECT_EQ(61u, r.u8(10, 0, 0));
    EXPECT_EQ(62u, r.u8(11, 1, 1));
    EXPECT_FALSE(r.db()._IsRecalling());

    // An image the database refuses is reported, not taken as success.
    std::vector<uint8_t> broken(data, data + block.dataSize(false));
    broken[28] = 'X';
    EXPECT_TRUE(JLIB::isFailure(back.importBinary(r.db(), UniqId(), broken.data(), uint32_t(broken.size()), true)));
}

// A live database whose whole-array writes fail, as when the type's check refuses an element.
class RefusingDB : public PDB::ParameterDB {
public:
    using PDB::ParameterDB::setVariants;
    JLIB::JResult setVariants(uint32_t, uint32_t, const PDB::IParameterArray&, uint8_t) override
    {
        return 0x80000040u;
    }
};

TEST(PresetItemTest, FailedImportsOfWholeValuesAreReported)
{
    Fixture f;
    // A component image whose values are not a component image.
    std::vector<uint8_t> bytes = f.image(entry(1, 10, "PresetT", nullptr, 0, 0), 10, false);
    ASSERT_FALSE(bytes.empty());
    bytes[4] |= 0x80;
    bytes.insert(bytes.end(), {'X', 'X', 'X', 'X'});
    PresetContentsItem back;
    EXPECT_TRUE(JLIB::isFailure(back.importBinary(f.db, UniqId(11), bytes.data(), uint32_t(bytes.size()), true)));
    EXPECT_FALSE(f.db._IsRecalling());

    // An array image the target cannot take.
    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the database
    RefusingDB refusing;
    ASSERT_EQ(0u, refusing.initialize(10, "AudioCompo", &lock));
    ASSERT_EQ(0u, refusing.addComponent(UniqId(11), "PresetT", 1, 1, 1, 0));
    const std::vector<uint8_t> array = f.image(entry(2, 10, "PresetT", "/U8", 3, 2), 10, true);
    ASSERT_FALSE(array.empty());
    EXPECT_EQ(0x80000040u, back.importBinary(refusing, UniqId(11), array.data(), uint32_t(array.size()), true));
    EXPECT_FALSE(refusing._IsRecalling());

    // Values too short for the array's shape.
    std::vector<uint8_t> cut(array.begin(), array.end() - 4);
    EXPECT_EQ(0x80000001u, back.importBinary(f.db, UniqId(11), cut.data(), uint32_t(cut.size()), true));
}

}  // namespace
