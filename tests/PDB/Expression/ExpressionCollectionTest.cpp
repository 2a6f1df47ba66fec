#include "PDB/Expression/ExpressionCollection.h"

#include <gtest/gtest.h>

#include <cstring>

#include "PDB/Expression/DefaultExpression.h"
#include "PDB/Expression/OnOffExpression.h"
#include "jlib/jlib_crc32.h"

using Expression::ExpressionCollection;

namespace {

uint32_t crcOf(const char* name)
{
    return jlib_getCRC32(name, std::strlen(name));
}

}  // namespace

TEST(ExpressionCollectionTest, KindValueIsCrcOfName)
{
    ExpressionCollection collection;
    struct Case {
        const char* name;
        uint32_t kind;  // CRC-32 of the name as zlib computes it
    };
    const Case cases[] = {{"OnOff", 0x2BC87A04u}, {"Level", 0x5B2BE317u}, {"String", 0x9912B79Fu}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.kind, collection.getKindValue(c.name));
        EXPECT_EQ(c.kind, collection.registerName(c.name));
        EXPECT_EQ(c.kind, collection.registerName(c.name));  // again: the same value
    }
    EXPECT_EQ(0u, collection.registerName(""));
    EXPECT_EQ(0u, collection.registerName(nullptr));
    EXPECT_EQ(0u, collection.getKindValue(""));
}

TEST(ExpressionCollectionTest, MovesPastValuesTakenByOtherNames)
{
    // "plumless" and "buckeroo" share one CRC-32, a well-known collision.
    ASSERT_EQ(crcOf("plumless"), crcOf("buckeroo"));
    const uint32_t h = crcOf("plumless");
    ExpressionCollection collection;
    EXPECT_EQ(h, collection.registerName("plumless"));
    EXPECT_EQ(h + 1, collection.getKindValue("buckeroo"));
    EXPECT_EQ(h + 1, collection.registerName("buckeroo"));
    EXPECT_EQ(h, collection.getKindValue("plumless"));
    EXPECT_EQ(h + 1, collection.getKindValue("buckeroo"));

    // The other order of registration gives the other order of values.
    ExpressionCollection other;
    EXPECT_EQ(h, other.registerName("buckeroo"));
    EXPECT_EQ(h + 1, other.registerName("plumless"));
}

TEST(ExpressionCollectionTest, LookupOfUnregisteredNameChangesNothing)
{
    ExpressionCollection collection;
    const uint32_t probe = collection.getKindValue("Level");
    EXPECT_EQ(nullptr, collection.get(probe));
    EXPECT_EQ(0u, collection.size());
    // Not recorded: a later name with the same value would still take it.
    EXPECT_EQ(probe, collection.registerName("Level"));
}

TEST(ExpressionCollectionTest, AddsOncePerKindAndClearsExpressionsOnly)
{
    Expression::DefaultExpression linear(30, 330);
    Expression::OnOffExpression onOff;
    ExpressionCollection collection;
    const uint32_t kind = collection.registerName("OnOff");
    EXPECT_EQ(0u, collection.add(0, &linear));
    EXPECT_EQ(0u, collection.add(kind, &onOff));
    EXPECT_EQ(0x80000000u, collection.add(kind, &linear));
    EXPECT_EQ(2u, collection.size());
    EXPECT_EQ(&onOff, collection.get(collection.getKindValue("OnOff")));
    EXPECT_EQ(&linear, collection.get(collection.getKindValue("")));
    EXPECT_EQ(nullptr, collection.get(kind + 1));

    EXPECT_EQ(0u, collection.clear());
    EXPECT_EQ(0u, collection.size());
    EXPECT_EQ(nullptr, collection.get(kind));
    EXPECT_EQ(kind, collection.getKindValue("OnOff"));  // the names stay
}
