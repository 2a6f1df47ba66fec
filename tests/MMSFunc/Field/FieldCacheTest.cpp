// Field caches over real fields built from the test definition: storing values and defaults at
// addresses of every shape, reading and writing inside the image, importing, recalling through
// filters (with the import's arguments recorded), renaming and copying.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FieldTestDefinition.h"
#include "OneFieldCollection.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_AbstractFilter.h"
#include "MMSFunc/Field/mmsf_FieldCache.h"
#include "MMSFunc/Field/mmsf_FieldCollection.h"
#include "MMSFunc/Field/mmsf_NullFilter.h"

namespace {

using FieldTestDefinition::OneField;
using FieldTestDefinition::kGain;
using MMSFUNC::FieldCache;
using MMSFUNC::MMSAddress;

constexpr uint32_t ANY = MMSAddress::CH_ANY;
constexpr uint32_t kFailed = 0x80000000u;
constexpr char kRoot[] = "Mix";

// A field that records the arguments of every import before doing it.
class RecordingField : public MMS::Field {
public:
    RecordingField() : MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr) {}
    struct Import {
        bool fast;
        std::string root;
        const void* filter;
        uint32_t filterSize;
        std::vector<uint32_t> nodes;  // empty: none given
        std::vector<uint32_t> indices;
        uint32_t depth;
        uint8_t factor, includeOriginator, mode;
    };
    uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                            const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                            uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                            const MMS::ISetChecker* checker, uint32_t notifyMode,
                            const MMS::ExternalSetArg* externalArg) override
    {
        note(true, root, filter, filterSize, nodes, indices, depth, factor, includeOriginator, notifyOptions);
        return MMS::Field::importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth, factor,
                                          includeOriginator, notifyOptions, originatorId, checker, notifyMode,
                                          externalArg);
    }
    uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
                        const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                        uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                        const MMS::ISetChecker* checker, uint32_t notifyMode,
                        const MMS::ExternalSetArg* externalArg) override
    {
        EXPECT_EQ(address, nullptr);
        note(false, root, filter, filterSize, nullptr, indices, indexCount, factor, includeOriginator, notifyOptions);
        return MMS::Field::importData(image, imageSize, filter, filterSize, root, address, length, indices,
                                      indexCount, factor, includeOriginator, notifyOptions, originatorId, checker,
                                      notifyMode, externalArg);
    }
    std::vector<Import> imports;

private:
    void note(bool fast, const char* root, const void* filter, uint32_t filterSize, const uint32_t* nodes,
              const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t includeOriginator, uint8_t mode)
    {
        Import i{fast, root ? root : "(null)", filter, filterSize, {}, {}, depth, factor, includeOriginator, mode};
        if (nodes) i.nodes.assign(nodes, nodes + depth);
        if (indices) i.indices.assign(indices, indices + depth);
        imports.push_back(i);
    }
};

std::unique_ptr<RecordingField> makeField(const char* root)
{
    auto field = std::make_unique<RecordingField>();
    const uint32_t parsed =
        MMS::XmlParser::Parse(field.get(), "D", 2, root, static_cast<uint32_t>(std::strlen(root) + 1),
                              FieldTestDefinition::kXml, sizeof FieldTestDefinition::kXml, MMS::BUILD_OPTION_FINISH,
                              nullptr, 0);
    return parsed == 0 ? std::move(field) : nullptr;
}

class FieldCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        field = makeField(kRoot);
        target = makeField("Other");
        ASSERT_TRUE(field && target);
        // Volume 42, Send c holds 10 + c, Gain (c, b) holds 10 * c + b.
        ASSERT_EQ(write(*field, kRoot, "Volume", {0}, 42), 0u);
        for (unsigned c = 0; c < 6; ++c) ASSERT_EQ(write(*field, kRoot, "Send", {c}, static_cast<int>(10 + c)), 0u);
        for (unsigned c = 0; c < 2; ++c)
            for (unsigned b = 0; b < 3; ++b)
                ASSERT_EQ(write(*field, kRoot, "Ch/Band/Gain", {c, b, 0}, static_cast<int>(10 * c + b)), 0u);
    }
    static uint32_t write(MMS::IField& f, const char* root, const char* path, std::vector<unsigned> channels,
                          int value)
    {
        MMSAddress address(&f, root, path);
        channels.resize(5, 0);
        uint32_t result = address.setChVector(channels.data(), 5);
        result |= address.setValue(JVariant(value), 0, 0, 0, 0, 9);
        return result & kFailed;
    }
    static int read(MMS::IField& f, const char* root, const char* path, std::vector<unsigned> channels)
    {
        MMSAddress address(&f, root, path);
        channels.resize(5, 0);
        EXPECT_EQ(address.setChVector(channels.data(), 5), 0u);
        JVariant value;
        EXPECT_EQ(address.getValue(value, nullptr, 0, 0), 0u);
        return value.toInt32();
    }
    // Every Gain of a field as "v v v | v v v" (channel 0 | channel 1).
    static std::string gains(MMS::IField& f, const char* root)
    {
        std::string out;
        for (unsigned c = 0; c < 2; ++c) {
            if (c) out += "| ";
            for (unsigned b = 0; b < 3; ++b) out += std::to_string(read(f, root, "Ch/Band/Gain", {c, b, 0})) + " ";
        }
        return out;
    }
    MMSAddress at(const char* path, std::vector<unsigned> channels = {})
    {
        MMSAddress address(field.get(), kRoot, path);
        channels.resize(5, 0);
        EXPECT_EQ(address.setChVector(channels.data(), 5), 0u);
        return address;
    }
    static std::vector<unsigned char> bytes(const FieldCache& cache)
    {
        const auto* p = static_cast<const unsigned char*>(cache.exportData());
        return std::vector<unsigned char>(p, p + cache.exportDataSize());
    }

    std::unique_ptr<RecordingField> field;
    std::unique_ptr<RecordingField> target;
};

TEST_F(FieldCacheTest, StoresAWholeRootReadsWritesAndRecallsIt)
{
    FieldCache cache;
    EXPECT_FALSE(cache.isCached());
    EXPECT_EQ(cache.storeFromField(nullptr, kRoot), kFailed);
    EXPECT_EQ(cache.storeFromField(field.get(), "Nope"), kFailed);
    EXPECT_FALSE(cache.isCached());
    ASSERT_EQ(cache.storeFromField(field.get(), kRoot), 0u);
    EXPECT_TRUE(cache.isCached());
    uint32_t size = 0;
    ASSERT_EQ(field->getExportDataSize(&size, kRoot, nullptr, 0, 1), 0u);
    EXPECT_EQ(cache.exportDataSize(), size);

    unsigned result = 0x5A5A5A5A;
    EXPECT_EQ(cache.getValue(at("Volume"), &result).toInt32(), 42);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(cache.getValue(at("Ch/Band/Gain", {1, 2, 0}), nullptr).toInt32(), 12);
    EXPECT_EQ(cache.setValue(at("Ch/Band/Gain", {0, 1, 0}), JVariant(-5)), 0u);
    EXPECT_EQ(cache.setValue(at("Volume"), JVariant(77)), 0u);
    EXPECT_EQ(read(*field, kRoot, "Volume", {0}), 42);  // only the copy changed

    // Recalled under the caller's root name, whole, through the null filter.
    ASSERT_EQ(cache.recallToField(target.get(), "Other", &MMSFUNC::NullFilter::getInstance(), 3, false, true, false),
              0u);
    EXPECT_EQ(read(*target, "Other", "Volume", {0}), 77);
    EXPECT_EQ(read(*target, "Other", "Send", {5}), 15);
    EXPECT_EQ(gains(*target, "Other"), "0 -5 2 | 10 11 12 ");
    ASSERT_EQ(target->imports.size(), 1u);
    const RecordingField::Import& i = target->imports[0];
    EXPECT_FALSE(i.fast);
    EXPECT_EQ(i.root, "Other");
    EXPECT_EQ(i.filter, nullptr);
    EXPECT_EQ(i.filterSize, 0u);
    EXPECT_EQ(i.factor, 3);
    EXPECT_EQ(i.includeOriginator, 1);
    EXPECT_EQ(cache.recallToField(target.get(), "Nope", nullptr, 0, false, false, false), kFailed);
    EXPECT_EQ(cache.recallToField(nullptr, "Other", nullptr, 0, false, false, false), kFailed);
    EXPECT_EQ(FieldCache().recallToField(target.get(), "Other", nullptr, 0, false, false, false), kFailed);

    EXPECT_EQ(cache.uncache(), 0u);
    EXPECT_FALSE(cache.isCached());
    EXPECT_EQ(cache.exportData(), nullptr);
    EXPECT_EQ(cache.exportDataSize(), 0u);
}

TEST_F(FieldCacheTest, ValuesAreReachedOnlyBelowTheCachedAddress)
{
    FieldCache cache;
    unsigned result = 0;
    EXPECT_FALSE(cache.getValue(at("Volume"), &result).isValid());
    EXPECT_EQ(result, kFailed);
    EXPECT_EQ(cache.setValue(at("Volume"), JVariant(1)), kFailed);

    ASSERT_EQ(cache.storeFromField(field.get(), kRoot, at("Ch", {1}), false), 0u);
    struct Case {
        MMSAddress address;
        uint32_t result;
        int value;
    };
    const Case cases[] = {
        {at("Ch/Band/Gain", {1, 2, 0}), 0, 12},
        {at("Ch/Band/Gain", {0, 1, 0}), 0, 11},  // the dropped level is not compared
        {at("Ch/Band/Gain", {1, ANY, 0}), kFailed, 0},
        {at("Ch", {1}), kFailed, 0},      // nothing left below the cached address
        {at("Volume"), kFailed, 0},       // no longer than the cached address
        {MMSAddress(), kFailed, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.vectorLen());
        result = 0x5A5A5A5A;
        const JVariant value = cache.getValue(c.address, &result);
        EXPECT_EQ(result, c.result);
        if (c.result == 0) {
            EXPECT_EQ(value.toInt32(), c.value);
            EXPECT_EQ(cache.setValue(c.address, JVariant(c.value + 100)), 0u);
            EXPECT_EQ(cache.getValue(c.address, nullptr).toInt32(), c.value + 100);
        } else {
            EXPECT_FALSE(value.isValid());
            EXPECT_EQ(cache.setValue(c.address, JVariant(1)), kFailed);
        }
    }
    // Recalled at the address it came from (or at another channel of that level).
    ASSERT_EQ(cache.recallToField(target.get(), "Other", at("Ch", {1}), nullptr, 0, false, true, false), 0u);
    EXPECT_EQ(gains(*target, "Other"), "7 7 7 | 10 111 112 ");
    ASSERT_EQ(cache.recallToField(target.get(), "Other", at("Ch", {0}), nullptr, 0, false, true, false), 0u);
    EXPECT_EQ(gains(*target, "Other"), "10 111 112 | 10 111 112 ");
    EXPECT_EQ(cache.recallToField(target.get(), "Other", MMSAddress(), nullptr, 0, false, true, false), kFailed);
}

TEST_F(FieldCacheTest, AnyChannelAtTheLastLevelStoresEveryChannel)
{
    FieldCache any, all, one;
    ASSERT_EQ(any.storeFromField(field.get(), kRoot, at("Ch", {ANY}), false), 0u);
    ASSERT_EQ(all.storeFromField(field.get(), kRoot, at("Ch", {0}), true), 0u);
    ASSERT_EQ(one.storeFromField(field.get(), kRoot, at("Ch", {0}), false), 0u);
    EXPECT_EQ(bytes(any), bytes(all));
    EXPECT_LT(one.exportDataSize(), all.exportDataSize());
    EXPECT_EQ(any.storeFromField(field.get(), kRoot, MMSAddress(), false), kFailed);
    // The field exports no parameter on its own; refused before exporting, the cache stays as it was.
    EXPECT_EQ(any.storeFromField(field.get(), kRoot, at("Send", {1}), false), kFailed);
    EXPECT_EQ(bytes(any), bytes(all));

    ASSERT_EQ(all.recallToField(target.get(), "Other", at("Ch", {ANY}), nullptr, 0, false, true, false), 0u);
    EXPECT_EQ(gains(*target, "Other"), "0 1 2 | 10 11 12 ");
    // The any channel goes to the import as channel 0.
    ASSERT_EQ(target->imports.size(), 1u);
    EXPECT_TRUE(target->imports[0].fast);
    EXPECT_EQ(target->imports[0].nodes, (std::vector<uint32_t>{3}));
    EXPECT_EQ(target->imports[0].indices, (std::vector<uint32_t>{0}));
}

TEST_F(FieldCacheTest, DefaultsOverAnyChannelsInsideComeFromATemporaryField)
{
    FieldCache cache;
    // (An image of a range carries no start channel: it goes back from channel 0 of each level.)
    const MMSAddress wide = at("Ch/Band", {ANY, 0});
    ASSERT_EQ(cache.makeDefaultField(field.get(), kRoot, wide, false), 0u);
    EXPECT_EQ(gains(*field, kRoot), "0 1 2 | 10 11 12 ");  // the field is untouched

    for (unsigned c = 0; c < 2; ++c)
        for (unsigned b = 0; b < 3; ++b) ASSERT_EQ(write(*target, "Other", "Ch/Band/Gain", {c, b, 0}, 99), 0u);
    ASSERT_EQ(cache.recallToField(target.get(), "Other", wide, nullptr, 0, true, false, true), 0u);
    EXPECT_EQ(gains(*target, "Other"), "7 99 99 | 7 99 99 ");
    // Such an image carries its path and goes in at the top, with the mode of the options.
    ASSERT_EQ(target->imports.size(), 1u);
    EXPECT_TRUE(target->imports[0].fast);
    EXPECT_TRUE(target->imports[0].nodes.empty());
    EXPECT_EQ(target->imports[0].depth, 0u);
    EXPECT_EQ(target->imports[0].mode, 0x13);

    // The values of the same range, for comparison.
    FieldCache values;
    ASSERT_EQ(values.storeFromField(field.get(), kRoot, wide, false), 0u);
    ASSERT_EQ(values.exportDataSize(), cache.exportDataSize());
    EXPECT_NE(bytes(values), bytes(cache));
    ASSERT_EQ(values.recallToField(target.get(), "Other", wide, nullptr, 0, false, true, false), 0u);
    EXPECT_EQ(gains(*target, "Other"), "0 99 99 | 10 99 99 ");

    EXPECT_EQ(cache.makeDefaultField(field.get(), kRoot, MMSAddress(), false), kFailed);
    EXPECT_EQ(cache.makeDefaultField(nullptr, kRoot, wide, false), kFailed);

    // No temporary field, no defaults: a failure rather than the field's values under that name.
    MmsTest::heap1().refuse = true;
    EXPECT_EQ(values.storeFromField(field.get(), kRoot, wide, false), 0u);  // same size: no new block needed
    EXPECT_EQ(values.makeDefaultField(field.get(), kRoot, wide, false), kFailed);
    MmsTest::heap1().refuse = false;
    EXPECT_FALSE(values.isCached());
}

TEST_F(FieldCacheTest, DefaultsWithoutAnyChannelAreWrittenIntoTheImage)
{
    FieldCache cache;
    ASSERT_EQ(cache.makeDefaultField(field.get(), kRoot, at("Ch", {1}), false), 0u);
    EXPECT_EQ(gains(*field, kRoot), "0 1 2 | 10 11 12 ");
    for (unsigned b = 0; b < 3; ++b) EXPECT_EQ(cache.getValue(at("Ch/Band/Gain", {1, b, 0}), nullptr).toInt32(), 7);
    ASSERT_EQ(cache.recallToField(target.get(), "Other", at("Ch", {0}), nullptr, 0, false, true, false), 0u);
    EXPECT_EQ(gains(*target, "Other"), "7 7 7 | 7 7 7 ");
    ASSERT_EQ(write(*target, "Other", "Ch/Band/Gain", {0, 0, 0}, 5), 0u);
    ASSERT_EQ(cache.makeDefaultField(target.get(), "Other", MMSAddress(target.get(), "Other", "Ch/Band"), false), 0u);
    EXPECT_EQ(cache.getValue(MMSAddress(target.get(), "Other", "Ch/Band/Gain"), nullptr).toInt32(), 7);
}

TEST_F(FieldCacheTest, RecallPassesTheModeAndTheFilter)
{
    FieldCache cache;
    ASSERT_EQ(cache.storeFromField(field.get(), kRoot), 0u);
    struct Case {
        bool a, b, c;
        uint8_t mode;
    };
    const Case cases[] = {
        {false, true, false, 0x00}, {false, false, false, 0x02}, {true, true, false, 0x10},
        {false, true, true, 0x01},  {true, false, true, 0x13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.a << c.b << c.c);
        target->imports.clear();
        EXPECT_EQ(cache.recallToField(target.get(), "Other", nullptr, 0, c.a, c.b, c.c), 0u);
        ASSERT_EQ(target->imports.size(), 1u);
        EXPECT_EQ(target->imports[0].mode, c.mode);
    }

    // A filter with only Volume flagged: the field's import keeps the flagged value and takes the rest.
    OneField collection(target.get());
    MMSFUNC::AbstractFilter filter;
    ASSERT_EQ(filter.initialize(&collection, 0, false), 0u);
    ASSERT_EQ(filter.set(MMSAddress(target.get(), "Other", "Volume")), 0u);
    FieldCache zeros;
    ASSERT_EQ(write(*target, "Other", "Volume", {0}, 1), 0u);
    ASSERT_EQ(write(*field, kRoot, "Volume", {0}, -3), 0u);
    ASSERT_EQ(write(*field, kRoot, "Send", {2}, -3), 0u);
    ASSERT_EQ(zeros.storeFromField(field.get(), kRoot), 0u);
    target->imports.clear();
    ASSERT_EQ(zeros.recallToField(target.get(), "Other", &filter, 0, false, true, false), 0u);
    ASSERT_EQ(target->imports.size(), 1u);
    EXPECT_EQ(target->imports[0].filter, filter.filter());
    EXPECT_EQ(target->imports[0].filterSize, filter.filterSize());
    EXPECT_EQ(read(*target, "Other", "Volume", {0}), 1);
    EXPECT_EQ(read(*target, "Other", "Send", {2}), -3);
}

TEST_F(FieldCacheTest, ImportTakesAReadyImage)
{
    FieldCache source;
    ASSERT_EQ(source.storeFromField(field.get(), kRoot), 0u);
    const std::vector<unsigned char> image = bytes(source);
    const auto size = static_cast<unsigned>(image.size());

    FieldCache cache;
    EXPECT_EQ(cache.importData(field.get(), kRoot, nullptr, 0), 0u);  // nothing to take
    EXPECT_FALSE(cache.isCached());
    EXPECT_EQ(cache.importData(nullptr, kRoot, image.data(), size), kFailed);
    EXPECT_EQ(cache.importData(field.get(), kRoot, MMSAddress(), image.data(), size), kFailed);
    ASSERT_EQ(cache.importData(field.get(), kRoot, image.data(), size), 0u);
    EXPECT_EQ(bytes(cache), image);
    EXPECT_NE(cache.exportData(), static_cast<const void*>(image.data()));
    EXPECT_EQ(cache.getValue(at("Send", {3}), nullptr).toInt32(), 13);
    EXPECT_EQ(cache.importData(field.get(), kRoot, nullptr, size), 0u);  // keeps the earlier cache
    EXPECT_EQ(bytes(cache), image);

    // At an address: values are then relative to it.
    FieldCache channel;
    ASSERT_EQ(channel.storeFromField(field.get(), kRoot, at("Ch", {0}), false), 0u);
    const std::vector<unsigned char> part = bytes(channel);
    ASSERT_EQ(cache.importData(field.get(), kRoot, at("Ch", {0}), part.data(), static_cast<unsigned>(part.size())),
              0u);
    EXPECT_EQ(cache.getValue(at("Ch/Band/Gain", {0, 2, 0}), nullptr).toInt32(), 2);

    // A new size that cannot be allocated leaves the cache empty.
    MmsTest::heap1().refuse = true;
    EXPECT_EQ(cache.importData(field.get(), kRoot, image.data(), size), kFailed);
    MmsTest::heap1().refuse = false;
    EXPECT_FALSE(cache.isCached());
}

TEST_F(FieldCacheTest, RenamesNodesAndCopiesIndependently)
{
    FieldCache cache;
    EXPECT_EQ(cache.changeNodeName("Level", "Volume", 6), kFailed);
    ASSERT_EQ(cache.storeFromField(field.get(), kRoot), 0u);
    FieldCache copy(cache);
    ASSERT_EQ(bytes(copy), bytes(cache));
    EXPECT_NE(copy.exportData(), cache.exportData());

    EXPECT_EQ(cache.changeNodeName("Level", "Volume", 6), 0u);
    EXPECT_EQ(cache.changeNodeName("Level", "Nope", 4), kFailed);
    const std::vector<unsigned char> renamed = bytes(cache);
    const auto find = [](const std::vector<unsigned char>& image, const char* name) {
        return std::search(image.begin(), image.end(), name, name + std::strlen(name)) != image.end();
    };
    EXPECT_TRUE(find(renamed, "Level"));
    EXPECT_FALSE(find(renamed, "Volume"));
    EXPECT_TRUE(find(bytes(copy), "Volume"));  // the copy is its own

    copy = cache;
    EXPECT_EQ(bytes(copy), renamed);
    FieldCache empty;
    copy = empty;
    EXPECT_FALSE(copy.isCached());
    // A copy whose image cannot be allocated keeps the rest and holds no image.
    MmsTest::heap1().refuse = true;
    FieldCache starved(cache);
    MmsTest::heap1().refuse = false;
    EXPECT_FALSE(starved.isCached());
}

}  // namespace
