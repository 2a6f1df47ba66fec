#include "comctrl/Core/comctrl_cnp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CommandBytes.h"
#include "jlib/JVariant.h"

using namespace ComControl;
using comctrltest::CommandBytes;

namespace {

// A command accepted by cnpGetCommand with its handle reset, as a reader starts.
struct Reader {
    explicit Reader(const CommandBytes& command) : bytes(command.bytes)
    {
        uint32_t id = 0;
        EXPECT_EQ(0u, cnpGetCommand(bytes.data(), static_cast<uint32_t>(bytes.size()), kCnpVersion, &id));
        EXPECT_EQ(0u, cnpGetResetData(bytes.data(), &handle));
    }
    std::vector<uint8_t> bytes;
    cnpGetHndl handle{};
};

// Runs a read and answers its result with what it printed to the device log.
template <typename F>
std::pair<JLIB::JResult, std::string> logged(F read)
{
    testing::internal::CaptureStdout();
    const JLIB::JResult r = read();
    return {r, testing::internal::GetCapturedStdout()};
}

}  // namespace

TEST(cnpTest, BuildsEveryParameterTypeAndReadsItBack)
{
    uint8_t buffer[256];
    uint32_t pos = 0xDEAD;
    const uint8_t u8s[] = {0xFF, 0x01};
    const int8_t i8s[] = {-1};
    const char text[] = "abc";
    const uint8_t raw[] = {0x00, 0x80, 0xFF};
    const uint16_t u16s[] = {0xFFFE};
    const uint16_t i16s[] = {0xFFFE};
    const uint32_t u32s[] = {0x80000001u, 7};
    const uint32_t i32s[] = {static_cast<uint32_t>(-5)};
    const float floats[] = {-1.5f};

    ASSERT_EQ(0u, cnpMakeHeaderAndCommand(buffer, sizeof(buffer), &pos, 0x030101, 9));
    EXPECT_EQ(9u, pos);
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeUInt8, u8s, 2));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeInt8, i8s, 1));
    const uint32_t textAt = pos;
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeText, text, 4));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeBytes, raw, 3));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeUInt16, u16s, 1));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeInt16, i16s, 1));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeUInt32, u32s, 2));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeInt32, i32s, 1));
    EXPECT_EQ(0u, cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, kCnpTypeFloat, floats, 1));
    ASSERT_EQ(0u, cnpMakeFinish(buffer, pos));

    const uint8_t header[] = {0x11, 0, 0, 0, static_cast<uint8_t>(pos - 5), 0x03, 0x01, 0x01, 9};
    EXPECT_EQ(0, std::memcmp(header, buffer, sizeof(header)));
    const uint8_t textParam[] = {0x31, 0, 0, 0, 4, 'a', 'b', 'c', 0};
    EXPECT_EQ(0, std::memcmp(textParam, buffer + textAt, sizeof(textParam)));

    uint32_t id = 0;
    uint8_t version = 0;
    ASSERT_EQ(0u, cnpGetCommand(buffer, pos, kCnpVersion, &id, &version));
    EXPECT_EQ(0x030101u, id);
    EXPECT_EQ(0x11, version);
    cnpGetHndl h{};
    ASSERT_EQ(0u, cnpGetResetData(buffer, &h));
    EXPECT_EQ(9u, h.prmCount);
    EXPECT_EQ(pos, h.length);

    uint8_t bytes2[2] = {};
    EXPECT_EQ(0u, cnpGetDataValue(buffer, &h, kCnpTypeUInt8, bytes2, 2));
    EXPECT_EQ(0xFF, bytes2[0]);
    EXPECT_EQ(0x01, bytes2[1]);
    int32_t signed32 = 0;
    EXPECT_EQ(0u, cnpGetDataValue(buffer, &h, kCnpTypeInt32, &signed32, 1));
    EXPECT_EQ(-1, signed32);
    const uint8_t* data = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(0u, cnpGetDataPtr(buffer, &h, true, &data, &count));
    EXPECT_EQ(4u, count);
    EXPECT_STREQ("abc", reinterpret_cast<const char*>(data));
    EXPECT_EQ(buffer + textAt + 5, data);  // a pointer into the command, no copy
    JVariant value;
    EXPECT_EQ(0u, cnpGetDataValueForSetPrm(buffer, &h, &value));
    ASSERT_EQ(JVariant::kTypeBinary, value.getType());
    ASSERT_EQ(3u, value.getBinaryLength());
    EXPECT_EQ(0, std::memcmp(raw, value.toBinary(), 3));
    uint32_t unsigned32 = 0;
    EXPECT_EQ(0u, cnpGetDataValue(buffer, &h, kCnpTypeUInt32, &unsigned32, 1));
    EXPECT_EQ(65534u, unsigned32);  // source 0x12 is unsigned
    EXPECT_EQ(0u, cnpGetDataValue(buffer, &h, kCnpTypeInt32, &signed32, 1));
    EXPECT_EQ(-2, signed32);  // source 0x22 is sign-extended
    uint16_t low16[2] = {};
    EXPECT_EQ(0u, cnpGetDataValue(buffer, &h, kCnpTypeUInt16, low16, 2));
    EXPECT_EQ(0x0001, low16[0]);  // truncated to the target width
    EXPECT_EQ(7, low16[1]);
    EXPECT_EQ(0u, cnpGetDataValueForSetPrm(buffer, &h, &value));
    EXPECT_EQ(JVariant::kTypeInt32, value.getType());
    EXPECT_EQ(-5, value.toInt32());
    EXPECT_EQ(0u, cnpGetDataValueForSetPrm(buffer, &h, &value));
    EXPECT_EQ(JVariant::kTypeFloat, value.getType());
    EXPECT_EQ(-1.5f, value.toFloat());
    EXPECT_EQ(pos, h.position);
    EXPECT_EQ(9, h.nextIndex);
}

TEST(cnpTest, SimpleCommandIsNineBytesWithLengthFour)
{
    uint8_t buffer[9];
    uint32_t pos = 0;
    ASSERT_EQ(0u, cnpMakeSimpleCommand(buffer, sizeof(buffer), &pos, 0x040510));
    const uint8_t expected[] = {0x11, 0, 0, 0, 4, 0x04, 0x05, 0x10, 0};
    EXPECT_EQ(9u, pos);
    EXPECT_EQ(0, std::memcmp(expected, buffer, 9));
    uint32_t id = 0;
    EXPECT_EQ(0u, cnpGetCommand(buffer, 9, kCnpVersion, &id));
    EXPECT_EQ(0x040510u, id);
    EXPECT_EQ(0x80000003u, cnpMakeSimpleCommand(buffer, 8, &pos, 1));
}

TEST(cnpTest, BuildersRefuseBadArgumentsAndShortBuffers)
{
    uint8_t buffer[16] = {};
    uint32_t pos = 9;
    const uint32_t values[] = {1, 2};
    EXPECT_EQ(0x80000001u, cnpMakeHeaderAndCommand(nullptr, 16, &pos, 1, 0));
    EXPECT_EQ(0x80000001u, cnpMakeHeaderAndCommand(buffer, 16, nullptr, 1, 0));
    EXPECT_EQ(0x80000001u, cnpMakeFinish(nullptr, 9));
    EXPECT_EQ(0x80000001u, cnpMakeFinish(buffer, 4));  // a length below the header would wrap
    EXPECT_EQ(0u, cnpMakeAddData(nullptr, 0, nullptr, static_cast<const uint8_t*>(nullptr), 0));
    EXPECT_EQ(0x80000001u, cnpMakeAddData(buffer, 16, &pos, static_cast<const uint32_t*>(nullptr), 2));

    // Unknown type: nothing written.
    EXPECT_EQ(0x80000001u, cnpMakeAddPrmTypeAndData(buffer, 16, &pos, 0x13, values, 1));
    EXPECT_EQ(9u, pos);
    // 16 - 9 = 7 bytes: type and count fit, the two 32-bit elements do not.
    EXPECT_EQ(0x80000003u, cnpMakeAddPrmTypeAndData(buffer, 16, &pos, kCnpTypeUInt32, values, 2));
    EXPECT_EQ(14u, pos);
    // A count whose size wraps in 32 bits is still too big.
    pos = 9;
    EXPECT_EQ(0x80000003u, cnpMakeAddData(buffer, 16, &pos, values, 0x40000001u));
    EXPECT_EQ(9u, pos);
}

TEST(cnpTest, GetCommandRefusesWrongVersionAndSize)
{
    CommandBytes good(0x010101, 0);
    good.finish();
    struct Case { const char* name; std::vector<uint8_t> bytes; uint32_t length; const char* line; };
    std::vector<uint8_t> wrongVersion = good.bytes;
    wrongVersion[0] = 0x12;
    const Case cases[] = {
        {"version", wrongVersion, 9, "[E] cnpGetCommand (Error:command version)\n"},
        {"one short", good.bytes, 8, "[E] cnpGetCommand (Error:size)\n"},
        {"one long", good.bytes, 10, "[E] cnpGetCommand (Error:size)\n"},
        {"empty", good.bytes, 0, "[E] cnpGetCommand (Error:size)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = c.bytes;
        bytes.resize(16);
        uint32_t id = 0x5A5A5A5A;
        const auto [r, log] = logged([&] { return cnpGetCommand(bytes.data(), c.length, kCnpVersion, &id); });
        EXPECT_EQ(0x80000004u, r);
        EXPECT_EQ(c.line, log);
        EXPECT_EQ(0x5A5A5A5Au, id);
    }
    uint32_t id = 0;
    EXPECT_EQ(0x80000001u, cnpGetCommand(nullptr, 9, kCnpVersion, &id));
    EXPECT_EQ(0x80000001u, cnpGetCommand(good.data(), 9, kCnpVersion, nullptr));
}

TEST(cnpTest, GetDataValueLogsEachParseErrorExactly)
{
    struct Case { const char* name; CommandBytes command; uint8_t target; uint32_t capacity; JLIB::JResult result; std::string line; };
    const Case cases[] = {
        {"no parameter left", CommandBytes(1, 0), kCnpTypeUInt32, 4, 0x80000004u,
         "[E] cnpGetDataValue -> Parse Error パラメータ数(0) 現在のパラメータ位置(0)\n"},
        {"text target", CommandBytes(1, 1).param(0x14, 1).raw({0, 0, 0, 1}), kCnpTypeText, 4, 0x80000001u, ""},
        {"header beyond", CommandBytes(1, 1).raw({0x14, 0}), kCnpTypeUInt32, 4, 0x80000004u,
         "[E] cnpGetDataValue -> Parse Error データがあると思われる位置(14) バッファサイズ(11)\n"},
        {"elements beyond", CommandBytes(1, 1).param(0x14, 2).raw({0, 0, 0, 1}), kCnpTypeUInt32, 4, 0x80000004u,
         "[E] cnpGetDataValue (Error:想定サイズ(22),実サイズ(18))\n"},
        {"capacity", CommandBytes(1, 1).param(0x12, 2).raw({0, 1, 0, 2}), kCnpTypeUInt32, 1, 0x80000004u,
         "[E] cnpGetDataValue (Parse Error 3)\n"},
        {"text source", CommandBytes(1, 1).param(0x31, 2).raw({'a', 0}), kCnpTypeUInt32, 4, 0x80000004u,
         "[E] cnpGetValue (Error:Parameter FromType String)!!!!!!!!!!\n"},
        {"float source", CommandBytes(1, 1).param(0x44, 1).raw({0x3F, 0x80, 0, 0}), kCnpTypeUInt32, 4, 0x80000004u,
         "[E] cnpGetValue (Error:Parameter FromType Unknown)!!!!!!!!!!\n"},
        {"raw source", CommandBytes(1, 1).param(0x51, 1).raw({7}), kCnpTypeUInt32, 4, 0x80000004u,
         "[E] cnpGetValue (Error:Parameter FromType Unknown)!!!!!!!!!!\n"},
        {"float target", CommandBytes(1, 1).param(0x14, 1).raw({0, 0, 0, 1}), kCnpTypeFloat, 4, 0x80000004u,
         "[E] cnpGetValue (Error:Parameter ToType Unknown)!!!!!!!!!!\n"},
        {"no elements", CommandBytes(1, 1).param(0x44, 0), kCnpTypeUInt32, 0, 0u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CommandBytes command = c.command;
        Reader reader(command.finish());
        uint32_t out[4] = {0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A5A5A};
        const auto [r, log] =
            logged([&] { return cnpGetDataValue(reader.bytes.data(), &reader.handle, c.target, out, c.capacity); });
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.line, log);
        if (c.result == 0) {
            EXPECT_EQ(0x5A5A5A5Au, out[0]);
        }
    }
}

// A count from the peer whose size wraps in 32 bits (0x40000001 x 4 = 4 mod 2^32) must not pass
// the bounds check and hand out elements past the command.
TEST(cnpTest, WrappingElementCountIsAParseErrorBeforeAnyElementIsRead)
{
    CommandBytes command(1, 1);
    command.param(kCnpTypeUInt32, 0x40000001u).raw({0, 0, 0, 9}).finish();
    {
        Reader reader(command);
        const uint8_t* data = nullptr;
        uint32_t count = 0x5A5A5A5A;
        const auto [r, log] = logged([&] { return cnpGetDataPtr(reader.bytes.data(), &reader.handle, false, &data, &count); });
        EXPECT_EQ(0x80000004u, r);
        EXPECT_EQ("[E] cnpGetDataPtr (Error:parse 2)\n", log);
        EXPECT_EQ(nullptr, data);
        EXPECT_EQ(0x5A5A5A5Au, count);
        EXPECT_EQ(0, reader.handle.nextIndex);
    }
    {
        Reader reader(command);
        uint32_t out[4] = {};
        const auto [r, log] = logged([&] { return cnpGetDataValue(reader.bytes.data(), &reader.handle, kCnpTypeUInt32, out, 0xFFFFFFFF); });
        EXPECT_EQ(0x80000004u, r);
        EXPECT_EQ("[E] cnpGetDataValue (Error:想定サイズ(4294967314),実サイズ(18))\n", log);
    }
}

TEST(cnpTest, GetDataValueForSetPrmTakesOneValueOfEachType)
{
    struct Case { const char* name; CommandBytes command; JLIB::JResult result; int type; std::string text; uint32_t bits; std::string line; };
    const Case cases[] = {
        {"u8", CommandBytes(1, 1).param(0x11, 1).raw({0xFF}), 0, JVariant::kTypeUInt32, "", 0xFF, ""},
        {"i8", CommandBytes(1, 1).param(0x21, 1).raw({0xFF}), 0, JVariant::kTypeInt32, "", 0xFFFFFFFF, ""},
        {"u16", CommandBytes(1, 1).param(0x12, 1).raw({0xFF, 0xFE}), 0, JVariant::kTypeUInt32, "", 65534, ""},
        {"i16", CommandBytes(1, 1).param(0x22, 1).raw({0xFF, 0xFE}), 0, JVariant::kTypeInt32, "", 0xFFFFFFFE, ""},
        {"u32", CommandBytes(1, 1).param(0x14, 1).raw({0x80, 0, 0, 1}), 0, JVariant::kTypeUInt32, "", 0x80000001, ""},
        {"text", CommandBytes(1, 1).param(0x31, 3).raw({'h', 'i', 0}), 0, JVariant::kTypeString, "hi", 0, ""},
        {"empty text", CommandBytes(1, 1).param(0x31, 0), 0, JVariant::kTypeString, "", 0, ""},
        {"no parameter", CommandBytes(1, 0), 0x80000004u, JVariant::kTypeInvalid, "", 0,
         "[E] cnpGetDataValueForSetPrm (Error:parse 0)\n"},
        {"header beyond", CommandBytes(1, 1).raw({0x14, 0, 0}), 0x80000004u, JVariant::kTypeInvalid, "", 0,
         "[E] cnpGetDataValueForSetPrm (Error:parse 1)\n"},
        {"two values", CommandBytes(1, 1).param(0x14, 2).raw({0, 0, 0, 1, 0, 0, 0, 2}), 0x80000004u,
         JVariant::kTypeInvalid, "", 0, "[E] cnpGetDataValueForSetPrm (Error:parse 2)\n"},
        {"value beyond", CommandBytes(1, 1).param(0x14, 1).raw({0, 0}), 0x80000004u, JVariant::kTypeInvalid, "", 0,
         "[E] cnpGetDataValueForSetPrm (Error:parse 3)\n"},
        {"unknown type", CommandBytes(1, 1).param(0x13, 1).raw({0, 0, 1}), 0x80000004u, JVariant::kTypeInvalid, "", 0,
         "[E] cnpGetDataValueForSetPrm (Error:parse 4)\n"},
        {"unterminated text", CommandBytes(1, 1).param(0x31, 2).raw({'h', 'i'}), 0x80000004u, JVariant::kTypeInvalid,
         "", 0, "[E] cnpGetDataPtr (Error:parse 3)\n"},
        {"empty raw bytes", CommandBytes(1, 1).param(0x51, 0), 0x80000000u, JVariant::kTypeInvalid, "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CommandBytes command = c.command;
        Reader reader(command.finish());
        JVariant value;
        (void)value.invalid();  // starts invalid: shows whether the read stored anything
        const auto [r, log] = logged([&] { return cnpGetDataValueForSetPrm(reader.bytes.data(), &reader.handle, &value); });
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.line, log);
        EXPECT_EQ(c.type, value.getType());
        if (c.type == JVariant::kTypeString) {
            EXPECT_EQ(c.text, value.toString());
        }
        if (c.type == JVariant::kTypeUInt32 || c.type == JVariant::kTypeInt32) {
            EXPECT_EQ(c.bits, value.toUInt32());
        }
    }
}

TEST(cnpTest, GetDataPtrChecksTextTermination)
{
    struct Case { const char* name; CommandBytes command; bool textRequired; JLIB::JResult result; uint32_t count; std::string line; };
    const Case cases[] = {
        {"text", CommandBytes(1, 1).param(0x31, 4).raw({'a', 'b', 'c', 0}), true, 0, 4, ""},
        {"unterminated", CommandBytes(1, 1).param(0x31, 4).raw({'a', 'b', 'c', 'd'}), true, 0x80000004u, 0,
         "[E] cnpGetDataPtr (Error:parse 3)\n"},
        {"raw as text", CommandBytes(1, 1).param(0x51, 1).raw({0}), true, 0x80000004u, 0,
         "[E] cnpGetDataPtr (Error:parse 4)\n"},
        {"raw", CommandBytes(1, 1).param(0x51, 2).raw({1, 2}), false, 0, 2, ""},
        {"empty text", CommandBytes(1, 1).param(0x31, 0), true, 0, 0, ""},
        {"no parameter", CommandBytes(1, 0), false, 0x80000004u, 0, "[E] cnpGetDataPtr (Error:parse 0)\n"},
        {"header beyond", CommandBytes(1, 1).raw({0x51}), false, 0x80000004u, 0, "[E] cnpGetDataPtr (Error:parse 1)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CommandBytes command = c.command;
        Reader reader(command.finish());
        const uint8_t* data = reinterpret_cast<const uint8_t*>(&reader);  // poisoned
        uint32_t count = 0x5A5A5A5A;
        const auto [r, log] =
            logged([&] { return cnpGetDataPtr(reader.bytes.data(), &reader.handle, c.textRequired, &data, &count); });
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.line, log);
        if (r != 0) continue;
        EXPECT_EQ(c.count, count);
        EXPECT_EQ(c.count == 0 ? nullptr : reader.bytes.data() + 14, data);
        EXPECT_EQ(reader.bytes.size(), reader.handle.position);
    }
}

TEST(cnpTest, AnswerCodeForLocalResults)
{
    struct Case { JLIB::JResult local; JLIB::JResult answer; };
    const Case cases[] = {
        {0, 0}, {0x10000, 0}, {4, 0}, {0x80003002u, 0x80003002u}, {0x80011000u, 0x80001000u},
        {0x80000002u, 0x80000004u}, {0x80000003u, 0x80000004u}, {0x80000004u, 0x80000001u},
        {0x80000005u, 0x80000002u}, {0x80000006u, 0x80000003u}, {0x80000001u, 0x80000000u},
        {0x80000007u, 0x80000000u}, {0x80000000u, 0x80000000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.local);
        EXPECT_EQ(c.answer, cnpGetAnswer(c.local));
    }
}
