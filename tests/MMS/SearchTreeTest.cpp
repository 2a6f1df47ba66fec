#include "MMS/mms_SearchTree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/ShapeField.h"

namespace {

using MmsTreeTest::ShapeField;

// Top: a (0), b (1), c (2) { d (2,0), e (2,1) { f (2,1,0), g (2,1,1) } }, h (3) { i (3,0) }.
constexpr const char* kShape = "(pp(p(pp))(p))";

struct Node {
    const char* name;
    std::vector<unsigned> path;
    unsigned char category;
};

// Every node of kShape in pre-order.
const std::vector<Node>& nodes()
{
    static const std::vector<Node> all = {
        {"top", {}, 0},       {"a", {0}, 1},        {"b", {1}, 1},           {"c", {2}, 0},
        {"d", {2, 0}, 1},     {"e", {2, 1}, 0},     {"f", {2, 1, 0}, 1},     {"g", {2, 1, 1}, 1},
        {"h", {3}, 0},        {"i", {3, 0}, 1},
    };
    return all;
}

void* marker(const char* name) { return const_cast<char*>(name); }

class SearchTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        field.addShape("Main", kShape);
        field.addShape("Second", "(p)");
        ASSERT_EQ(0u, tree.initialize(&field));
    }

    // Occupies the named nodes, each with its own name as the entry.
    void occupy(const std::vector<std::string>& names)
    {
        for (const Node& n : nodes()) {
            for (const std::string& want : names) {
                if (want == n.name) {
                    ASSERT_EQ(0u, tree.set(marker(n.name), "Main", n.path.data(), n.path.size()));
                }
            }
        }
    }

    ShapeField field;
    MMS::SearchTree tree;
};

TEST_F(SearchTreeTest, EveryNodeHoldsItsOwnEntryWithTheFieldsCategory)
{
    for (const Node& n : nodes()) {
        ASSERT_EQ(0u, tree.set(marker(n.name), "Main", n.path.data(), n.path.size())) << n.name;
    }
    for (const Node& n : nodes()) {
        SCOPED_TRACE(n.name);
        void* value = nullptr;
        unsigned char category = 0x5A;
        ASSERT_EQ(0u, tree.get(&value, &category, "Main", n.path.data(), n.path.size()));
        EXPECT_EQ(marker(n.name), value);
        EXPECT_EQ(n.category, category);
    }
    // The other root has entries of its own.
    const unsigned p0[] = {0};
    void* value = marker("x");
    ASSERT_EQ(0u, tree.get(&value, nullptr, "Second", p0, 1));
    EXPECT_EQ(nullptr, value);
}

TEST_F(SearchTreeTest, DeliveryRefusesAddressesThatReachNoNode)
{
    struct Case {
        const char* what;
        const char* root;
        std::vector<unsigned> path;
        bool nullAddress;
        MMS::MmsResult result;
    };
    const Case cases[] = {
        {"below a parameter", "Main", {0, 0}, false, 0x80000006u},
        {"past the last collection", "Main", {4}, false, 0x80000006u},
        {"past the nested collections", "Main", {2, 2}, false, 0x80000006u},
        {"below a deepest parameter", "Main", {2, 1, 1, 0}, false, 0x80000006u},
        {"unknown root", "None", {0}, false, 0x80000006u},
        {"null address with a depth", "Main", {0}, true, 0x80000002u},
        {"null address at the top", "Main", {}, true, 0u},
        {"null root is the first root", nullptr, {2, 1, 0}, false, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const unsigned* address = c.nullAddress ? nullptr : c.path.data();
        const unsigned depth = c.nullAddress && c.path.empty() ? 0 : static_cast<unsigned>(c.path.size());
        void* value = marker("poison");
        unsigned char category = 0x5A;
        EXPECT_EQ(c.result, tree.get(&value, &category, c.root, address, depth));
        EXPECT_EQ(c.result, tree.set(marker("v"), c.root, address, depth));
        EXPECT_EQ(c.result, tree.unset(&value, &category, c.root, address, depth));
        EXPECT_EQ(c.result, tree.assign(&value, &category, marker("w"), c.root, address, depth));
        if (c.result != 0) {
            EXPECT_EQ(marker("poison"), value);  // outputs only on success
            EXPECT_EQ(0x5A, category);
        }
    }
}

TEST_F(SearchTreeTest, CommandsStoreReadEmptyAndAssignOnlyIntoEmptyEntries)
{
    const unsigned d[] = {2, 0};
    void* value = marker("poison");
    unsigned char category = 0x5A;
    ASSERT_EQ(0u, tree.get(&value, &category, "Main", d, 2));
    EXPECT_EQ(nullptr, value);  // never set
    EXPECT_EQ(1, category);

    ASSERT_EQ(0u, tree.assign(&value, &category, marker("first"), "Main", d, 2));
    EXPECT_EQ(nullptr, value);  // it was empty: stored
    ASSERT_EQ(0u, tree.assign(&value, &category, marker("second"), "Main", d, 2));
    EXPECT_EQ(marker("first"), value);  // occupied: left, occupant handed out
    ASSERT_EQ(0u, tree.get(&value, nullptr, "Main", d, 2));
    EXPECT_EQ(marker("first"), value);

    ASSERT_EQ(0u, tree.unset(&value, &category, "Main", d, 2));
    EXPECT_EQ(marker("first"), value);
    EXPECT_EQ(1, category);
    ASSERT_EQ(0u, tree.get(&value, nullptr, "Main", d, 2));
    EXPECT_EQ(nullptr, value);

    // Depth 0 is the top collection.
    ASSERT_EQ(0u, tree.set(marker("top"), "Main", nullptr, 0));
    ASSERT_EQ(0u, tree.get(&value, &category, "Main", nullptr, 0));
    EXPECT_EQ(marker("top"), value);
    EXPECT_EQ(0, category);
}

TEST_F(SearchTreeTest, SearchFindsTheNextOccupiedEntryInPreOrder)
{
    struct Case {
        std::vector<std::string> occupied;
        std::vector<unsigned> start;
        MMS::MmsResult result;
        const char* found;
    };
    const std::vector<std::string> all = {"top", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    const Case cases[] = {
        {all, {}, 0, "top"},
        {all, {0}, 0, "b"},
        {all, {1}, 0, "c"},
        {all, {2}, 0, "d"},  // a collection start skips its own entry
        {all, {2, 0}, 0, "e"},
        {all, {2, 1}, 0, "f"},
        {all, {2, 1, 0}, 0, "g"},
        {all, {2, 1, 1}, 0, "h"},
        {all, {3}, 0, "i"},
        {all, {3, 0}, 0x80000007u, nullptr},
        {{"g", "i"}, {}, 0, "g"},
        {{"g", "i"}, {2}, 0, "g"},
        {{"g", "i"}, {2, 1, 1}, 0, "i"},
        {{"g", "i"}, {2, 1, 0}, 0, "g"},
        {{"c", "h"}, {2, 0}, 0, "h"},  // past the rest of c, into its next sibling
        {{"top"}, {0}, 0x80000007u, nullptr},
        {{}, {}, 0x80000007u, nullptr},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        ASSERT_EQ(0u, tree.clear("Main"));
        occupy(c.occupied);
        const std::vector<unsigned>& start = c.start;
        void* value = marker("poison");
        unsigned char category = 0x5A;
        unsigned found[5] = {9, 9, 9, 9, 9};
        unsigned depth = 99;
        EXPECT_EQ(c.result,
                  tree.search(&value, &category, found, &depth, 5, "Main", start.empty() ? nullptr : start.data(),
                              static_cast<unsigned>(start.size())));
        if (c.found == nullptr) {
            EXPECT_EQ(marker("poison"), value);
            continue;
        }
        EXPECT_EQ(std::string(c.found), std::string(static_cast<const char*>(value)));
        for (const Node& n : nodes()) {
            if (std::string(n.name) != c.found) continue;
            EXPECT_EQ(n.category, category);
            ASSERT_EQ(n.path.size(), depth);
            for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(i < depth ? n.path[i] : 0u, found[i]) << i;
        }
    }
}

TEST_F(SearchTreeTest, SearchCopiesOnlyTheLevelsThatFitButReportsTheFullDepth)
{
    occupy({"g"});
    unsigned found[3] = {9, 9, 9};
    unsigned depth = 0;
    ASSERT_EQ(0u, tree.search(nullptr, nullptr, found, &depth, 2, "Main", nullptr, 0));
    EXPECT_EQ(2u, found[0]);
    EXPECT_EQ(1u, found[1]);
    EXPECT_EQ(9u, found[2]);
    EXPECT_EQ(3u, depth);

    EXPECT_EQ(0x80000002u, tree.search(nullptr, nullptr, found, nullptr, 2, "Main", nullptr, 0));
    EXPECT_EQ(0x80000006u, tree.search(nullptr, nullptr, found, &depth, 2, "None", nullptr, 0));
    // A null root identifier searches the first root.
    ASSERT_EQ(0u, tree.search(nullptr, nullptr, found, &depth, 2, nullptr, nullptr, 0));
    EXPECT_EQ(3u, depth);
}

TEST_F(SearchTreeTest, ClearEmptiesEveryEntryOfOneRootOnly)
{
    occupy({"top", "a", "c", "e", "g", "i"});
    const unsigned p0[] = {0};
    ASSERT_EQ(0u, tree.set(marker("s"), "Second", p0, 1));
    ASSERT_EQ(0u, tree.clear(nullptr));  // the first root
    for (const Node& n : nodes()) {
        void* value = marker("poison");
        ASSERT_EQ(0u, tree.get(&value, nullptr, "Main", n.path.data(), n.path.size()));
        EXPECT_EQ(nullptr, value) << n.name;
    }
    void* value = nullptr;
    ASSERT_EQ(0u, tree.get(&value, nullptr, "Second", p0, 1));
    EXPECT_EQ(marker("s"), value);
    EXPECT_EQ(0x80000006u, tree.clear("None"));
}

TEST_F(SearchTreeTest, RootsAreListedRemovedAndNamedInOrder)
{
    unsigned count = 0;
    ASSERT_EQ(0u, tree.getRootNum(&count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(0x80000002u, tree.getRootNum(nullptr));

    char id[24];
    ASSERT_EQ(0u, tree.getRootId(id, sizeof id, 1));
    EXPECT_STREQ("Second", id);
    EXPECT_EQ(0x80000002u, tree.getRootId(id, sizeof id, 2));
    EXPECT_EQ(0x80000002u, tree.getRootId(nullptr, sizeof id, 0));
    // A short buffer receives what fits and a terminator, never more than its length.
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    char guard = 'G';
    ASSERT_EQ(0u, tree.getRootId(small, 4, 1));
    EXPECT_STREQ("Sec", small);
    EXPECT_EQ('x', small[4]);
    EXPECT_EQ('G', guard);

    EXPECT_EQ(0x80000002u, tree.deleteRoot("None"));
    ASSERT_EQ(0u, tree.deleteRoot(nullptr));  // the first root
    ASSERT_EQ(0u, tree.getRootId(id, sizeof id, 0));
    EXPECT_STREQ("Second", id);
    ASSERT_EQ(0u, tree.deleteRoot("Second"));
    EXPECT_EQ(4u, tree.deleteRoot("Second"));  // nothing left: a status, not a failure
    EXPECT_EQ(4u, tree.deleteRoot(nullptr));
    ASSERT_EQ(0u, tree.getRootNum(&count));
    EXPECT_EQ(0u, count);
}

TEST_F(SearchTreeTest, InitializingAgainKeepsTheBlocksAlreadyThere)
{
    occupy({"d"});
    field.addShape("Third", "(pp)");
    EXPECT_EQ(0x80000009u, tree.initialize(&field));
    const unsigned d[] = {2, 0};
    void* value = nullptr;
    ASSERT_EQ(0u, tree.get(&value, nullptr, "Main", d, 2));
    EXPECT_EQ(marker("d"), value);
    unsigned count = 0;
    ASSERT_EQ(0u, tree.getRootNum(&count));
    EXPECT_EQ(3u, count);  // the new root was still added
    EXPECT_EQ(0x80000009u, tree.addRoot(&field, "Third"));
}

TEST(SearchTreeBuildTest, RootsAreIndexedOrRefusedByShapeAndFieldAnswers)
{
    struct Case {
        const char* what;
        const char* shape;
        void (*arrange)(ShapeField&);
        MMS::MmsResult result;
        unsigned roots;
    };
    const Case cases[] = {
        {"parameters five deep", "(((((p)))))", nullptr, 0u, 1},
        {"a collection five deep", "((((((p))))))", nullptr, 0x80000008u, 0},
        {"an empty collection five deep", "(((((()))))))", nullptr, 0x80000008u, 0},
        {"no nodes at all", "", nullptr, 0u, 0},
        {"only the top collection", "()", nullptr, 0u, 1},
        {"node counts fail", "(pp(p))", [](ShapeField& f) { f.nodeCountResult = 0x80000005u; }, 0x80000005u, 0},
        {"a category fails", "(pp(p))", [](ShapeField& f) { f.failCategoryAt = {2, 0}; }, 0x80000001u, 0},
        {"a child count fails", "(pp(p))", [](ShapeField& f) { f.failChildCountAt = {2}; }, 0x80000001u, 0},
        {"another category gets no place", "(pp(p)x)", nullptr, 0u, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShapeField field;
        field.addShape("R", c.shape);
        if (c.arrange != nullptr) c.arrange(field);
        MMS::SearchTree tree;
        EXPECT_EQ(c.result, tree.addRoot(&field, "R"));
        unsigned count = 99;
        ASSERT_EQ(0u, tree.getRootNum(&count));
        EXPECT_EQ(c.roots, count);
    }
}

TEST(SearchTreeBuildTest, DeepestParametersAndUnplacedNodesAreAddressedLikeTheField)
{
    ShapeField field;
    field.addShape("Deep", "(((((p)))))");
    field.addShape("Odd", "(pp(p)x)");
    field.addShape("Empty", "");
    MMS::SearchTree tree;
    ASSERT_EQ(0u, tree.initialize(&field));
    unsigned count = 0;
    ASSERT_EQ(0u, tree.getRootNum(&count));
    EXPECT_EQ(2u, count);  // a root without nodes leaves no entry

    const unsigned deep[] = {0, 0, 0, 0, 0};
    unsigned char category = 0x5A;
    ASSERT_EQ(0u, tree.get(nullptr, &category, "Deep", deep, 5));
    EXPECT_EQ(1, category);
    const unsigned odd[] = {3};
    EXPECT_EQ(0x80000006u, tree.get(nullptr, &category, "Odd", odd, 1));
    EXPECT_EQ(0x80000006u, tree.get(nullptr, &category, "Empty", nullptr, 0));
}

TEST(SearchTreeBuildTest, InitializeReportsTheFirstFailingRootAndKeepsTheOthers)
{
    ShapeField field;
    field.addShape("A", "(p)");
    field.addShape("TooDeep", "((((((p))))))");
    field.addShape("Skipped", "(p)");
    field.addShape("B", "(pp)");
    field.failIdentifierOf = "Skipped";
    MMS::SearchTree tree;
    EXPECT_EQ(0x80000008u, tree.initialize(&field));
    unsigned count = 0;
    ASSERT_EQ(0u, tree.getRootNum(&count));
    ASSERT_EQ(2u, count);
    char id[24];
    ASSERT_EQ(0u, tree.getRootId(id, sizeof id, 1));
    EXPECT_STREQ("B", id);

    MMS::SearchTree other;
    EXPECT_EQ(0x80000002u, other.initialize(nullptr));
    field.failRootNum = true;
    EXPECT_EQ(0x80000001u, other.initialize(&field));
    EXPECT_EQ(0x80000002u, other.addRoot(nullptr, "A"));
}

TEST(AddressHolderTest, MovesWithinFiveLevels)
{
    MMS::AddressHolder holder;
    EXPECT_EQ(0x80000008u, holder.up());
    EXPECT_EQ(0x80000004u, holder.replace(3));
    for (unsigned i = 0; i < 5; ++i) {
        ASSERT_EQ(0u, holder.down());
        ASSERT_EQ(0u, holder.replace(i + 1));
    }
    EXPECT_EQ(0x80000008u, holder.down());
    EXPECT_EQ(5u, holder.length());
    EXPECT_EQ(5u, holder.vector()[4]);
    const unsigned more[] = {1};
    EXPECT_EQ(0x80000004u, holder.assign(more, 1));
    ASSERT_EQ(0u, holder.up());
    EXPECT_EQ(0u, holder.vector()[4]);

    MMS::AddressHolder fresh;
    const unsigned seven[] = {1, 2, 3, 4, 5, 6, 7};
    ASSERT_EQ(0u, fresh.assign(seven, 7));
    EXPECT_EQ(5u, fresh.length());
    EXPECT_EQ(5u, fresh.vector()[4]);
}

}  // namespace
