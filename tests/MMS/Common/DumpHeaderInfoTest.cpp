#include "MMS/Common/mms_DumpHeaderInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_CollectionTagInfo.h"

namespace {

using MMS::DumpHeaderInfo;
using MMS::T_DUMP_FIELD_HEADER;
using MMS::T_DUMP_ROOT_HEADER;

// The order code that names the order the host does not use, and the one it does.
unsigned char foreignOrder() { return MMS::CollectionTagInfo::isHostBigEndian() ? 1 : 2; }
unsigned char hostOrder() { return MMS::CollectionTagInfo::isHostBigEndian() ? 2 : 1; }

// A dump as the field core writes it: field header, then per root a header and an image of size bytes.
std::vector<unsigned char> makeDump(unsigned char order, const std::vector<std::pair<std::string, uint32_t>>& roots,
                                    bool withFieldHeader = true)
{
    std::vector<unsigned char> dump(withFieldHeader ? 48 : 0);
    for (const auto& [name, size] : roots) {
        T_DUMP_ROOT_HEADER header;
        EXPECT_EQ(0u, DumpHeaderInfo::prepareRootHeader(&header));
        std::memcpy(header.name, name.data(), name.size());
        header.size = size;
        EXPECT_EQ(0u, DumpHeaderInfo::adjustEndian(&header, order));
        const auto* bytes = reinterpret_cast<const unsigned char*>(&header);
        dump.insert(dump.end(), bytes, bytes + 32);
        dump.insert(dump.end(), size, 0x5A);
    }
    if (withFieldHeader) {
        T_DUMP_FIELD_HEADER field;
        EXPECT_EQ(0u, DumpHeaderInfo::prepareFieldHeader(&field));
        EXPECT_EQ(0u, DumpHeaderInfo::setProductInfo(&field, nullptr, nullptr));
        field.rootCount = static_cast<uint32_t>(roots.size());
        EXPECT_EQ(0u, DumpHeaderInfo::adjustEndian(&field, order));
        std::memcpy(dump.data(), &field, 48);
    }
    return dump;
}

TEST(DumpHeaderInfoTest, PreparesHeadersAndCutsProductInfo)
{
    T_DUMP_FIELD_HEADER field;
    std::memset(&field, 0x77, sizeof(field));
    ASSERT_EQ(0u, DumpHeaderInfo::prepareFieldHeader(&field));
    EXPECT_EQ(0, std::memcmp(field.magic, "MDF", 3));
    EXPECT_EQ(48u, field.length);
    EXPECT_EQ(0u, field.rootCount);
    ASSERT_EQ(0u, DumpHeaderInfo::setProductInfo(&field, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "1.2.3"));
    EXPECT_EQ(std::string("ABCDEFGHIJKLMNOPQRSTUVW"), std::string(field.productName));
    EXPECT_EQ(std::string("1.2.3"), std::string(field.productVersion));
    ASSERT_EQ(0u, DumpHeaderInfo::setProductInfo(&field, nullptr, "123456789012345"));
    EXPECT_EQ('\0', field.productName[0]);
    EXPECT_EQ(std::string("12345678901"), std::string(field.productVersion));

    T_DUMP_ROOT_HEADER root;
    std::memset(&root, 0x77, sizeof(root));
    ASSERT_EQ(0u, DumpHeaderInfo::prepareRootHeader(&root));
    EXPECT_EQ(0, std::memcmp(root.magic, "MDR", 3));
    EXPECT_EQ(32u, root.length);
    EXPECT_EQ(0u, root.size);

    EXPECT_EQ(0x80000002u, DumpHeaderInfo::prepareFieldHeader(nullptr));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::prepareRootHeader(nullptr));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::setProductInfo(nullptr, "a", "b"));
}

TEST(DumpHeaderInfoTest, AdjustEndianSetsMarkAndRefusesUnknownCodes)
{
    T_DUMP_FIELD_HEADER field;
    ASSERT_EQ(0u, DumpHeaderInfo::prepareFieldHeader(&field));
    field.rootCount = 0x01020304u;
    T_DUMP_FIELD_HEADER before = field;
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::adjustEndian(&field, 3));
    EXPECT_EQ(0, std::memcmp(&before, &field, sizeof(field)));

    const bool big = MMS::CollectionTagInfo::isHostBigEndian();
    ASSERT_EQ(0u, DumpHeaderInfo::adjustEndian(&field, 0));
    EXPECT_STREQ(big ? "BIG" : "LIT", field.byteOrder);
    EXPECT_EQ(0x01020304u, field.rootCount);
    ASSERT_EQ(0u, DumpHeaderInfo::adjustEndian(&field, foreignOrder()));
    EXPECT_STREQ(big ? "LIT" : "BIG", field.byteOrder);
    EXPECT_EQ(0x04030201u, field.rootCount);
    DumpHeaderInfo::swapEndian(&field);
    EXPECT_STREQ(big ? "BIG" : "LIT", field.byteOrder);
    EXPECT_EQ(0x01020304u, field.rootCount);

    T_DUMP_ROOT_HEADER root;
    ASSERT_EQ(0u, DumpHeaderInfo::prepareRootHeader(&root));
    root.size = 0x11223344u;
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::adjustEndian(&root, 7));
    EXPECT_EQ(0x11223344u, root.size);
    ASSERT_EQ(0u, DumpHeaderInfo::adjustEndian(&root, hostOrder()));
    EXPECT_EQ(0x11223344u, root.size);
    ASSERT_EQ(0u, DumpHeaderInfo::adjustEndian(&root, foreignOrder()));
    EXPECT_EQ(0x44332211u, root.size);
}

TEST(DumpHeaderInfoTest, ReadsFieldHeaderInEitherOrder)
{
    for (unsigned char order : {hostOrder(), foreignOrder()}) {
        SCOPED_TRACE(int(order));
        const auto dump = makeDump(order, {{"A", 8}, {"B", 4}});
        T_DUMP_FIELD_HEADER out;
        unsigned char code = 99;
        ASSERT_EQ(0u, DumpHeaderInfo::readFieldHeader(&out, &code, dump.data(), static_cast<uint32_t>(dump.size())));
        EXPECT_EQ(order == hostOrder() ? 0 : order, code);
        EXPECT_EQ(2u, out.rootCount);
        EXPECT_STREQ(MMS::CollectionTagInfo::isHostBigEndian() ? "BIG" : "LIT", out.byteOrder);
        // Every root header's size reads right with the code the field header gave.
        T_DUMP_ROOT_HEADER root;
        ASSERT_EQ(0u, DumpHeaderInfo::readRootHeader(&root, dump.data() + 48, 32, code));
        EXPECT_EQ(8u, root.size);
    }
    // A field with no roots is the field header alone.
    const auto empty = makeDump(hostOrder(), {});
    ASSERT_EQ(48u, empty.size());
    T_DUMP_FIELD_HEADER out;
    unsigned char code = 9;
    ASSERT_EQ(0u, DumpHeaderInfo::readFieldHeader(&out, &code, empty.data(), 48));
    EXPECT_EQ(0u, out.rootCount);

    auto bad = empty;
    bad[4] = 'X';
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::readFieldHeader(&out, &code, bad.data(), 48));
    bad = empty;
    bad[0] = 'X';
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::readFieldHeader(&out, &code, bad.data(), 48));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::readFieldHeader(&out, &code, empty.data(), 7));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::readFieldHeader(nullptr, &code, empty.data(), 48));
    // A short dump copies only what is there.
    ASSERT_EQ(0u, DumpHeaderInfo::readFieldHeader(&out, &code, empty.data(), 10));
    EXPECT_EQ(0u, out.rootCount);
    T_DUMP_ROOT_HEADER root;
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::readRootHeader(&root, nullptr, 4, 0));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::readRootHeader(&root, empty.data(), 3, 0));
}

TEST(DumpHeaderInfoTest, SearchesRootHeaders)
{
    struct Case {
        const char* what;
        bool fieldHeader;
        unsigned char dumpOrder;
        unsigned char askOrder;  // 255: take the field header's
        uint32_t maxRoots;
        const char* name;
        uint32_t result;
        uint32_t offset;
        uint32_t size;
    };
    const unsigned char f = foreignOrder();
    const Case cases[] = {
        {"first", true, f, 255, 0, "Alpha", 0, 48, 10},
        {"second", true, f, 255, 0, "Beta", 0, 48 + 42, 6},
        {"third, host order", true, hostOrder(), 0, 0, "Gamma", 0, 48 + 42 + 38, 0},
        {"limit one finds the first", true, f, 255, 1, "Alpha", 0, 48, 10},
        {"limit one misses the second", true, f, 255, 1, "Beta", 0x80000007u, 0, 0},
        {"missing root", true, f, 255, 0, "Delta", 0x80000007u, 0, 0},
        {"no field header: from byte 0", false, hostOrder(), 0, 0, "Beta", 0, 42, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto dump = makeDump(c.dumpOrder, {{"Alpha", 10}, {"Beta", 6}, {"Gamma", 0}}, c.fieldHeader);
        const unsigned char* found = nullptr;
        T_DUMP_ROOT_HEADER out{};
        EXPECT_EQ(c.result, DumpHeaderInfo::searchRootHeader(&found, &out, dump.data(),
                                                             static_cast<uint32_t>(dump.size()), c.maxRoots, c.name,
                                                             c.askOrder));
        if (c.result == 0) {
            EXPECT_EQ(dump.data() + c.offset, found);
            EXPECT_EQ(c.size, out.size);
            EXPECT_STREQ(c.name, out.name);
        }
    }
    const auto dump = makeDump(hostOrder(), {{"Alpha", 10}});
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, dump.data(), 40, 0, "Alpha", 0));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, nullptr, 40, 0, "Alpha", 0));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, dump.data(), 0, 0, "Alpha", 0));
    EXPECT_EQ(0x80000002u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, dump.data(), 90, 0, nullptr, 0));
    EXPECT_EQ(0u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, dump.data(), 90, 0, "Alpha", 0));
}

// A root header whose length byte and size are both 0 must end the search, not repeat it.
TEST(DumpHeaderInfoTest, SearchEndsOnHeaderThatDoesNotMoveOn)
{
    auto dump = makeDump(hostOrder(), {{"Alpha", 0}, {"Beta", 4}});
    dump[48 + 3] = 0;  // Alpha's length byte
    EXPECT_EQ(0x80000007u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, dump.data(),
                                                            static_cast<uint32_t>(dump.size()), 0, "Beta", 0));
    // A size that would wrap round 32 bits ends the walk too.
    auto huge = makeDump(hostOrder(), {{"Alpha", 0}, {"Beta", 4}});
    T_DUMP_ROOT_HEADER header;
    std::memcpy(&header, huge.data() + 48, 32);
    header.size = 0xFFFFFFF0u;
    std::memcpy(huge.data() + 48, &header, 32);
    EXPECT_EQ(0x80000007u, DumpHeaderInfo::searchRootHeader(nullptr, nullptr, huge.data(),
                                                            static_cast<uint32_t>(huge.size()), 0, "Beta", 0));
}

}  // namespace
