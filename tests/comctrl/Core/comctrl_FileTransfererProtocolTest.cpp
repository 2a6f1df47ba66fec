#include "comctrl/Core/comctrl_FileTransfererProtocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "comctrl/Core/comctrl_cnp.h"

namespace P = ComControl::FileTransfererProtocol;

namespace {

std::vector<uint8_t> sendCommand(uint32_t offset, uint32_t chunk, bool last)
{
    std::vector<uint8_t> data(chunk, 0xA5);
    std::vector<uint8_t> buffer(P::getMaxBufferSize() + 4096);
    uint32_t length = 0;
    EXPECT_EQ(0u, P::Encode_Send(buffer.data(), static_cast<uint32_t>(buffer.size()), &length, "Config", "a.bin",
                                 offset, data.data(), chunk, last, 240));
    buffer.resize(length);
    return buffer;
}

}  // namespace

TEST(FileTransfererProtocolTest, LargestCommandIs2388BytesAndAFullSendFitsIt)
{
    EXPECT_EQ(2388u, P::getMaxBufferSize());
    const std::string acc(23, 'A');
    const std::string name(255, 'n');
    std::vector<uint8_t> data(2048, 1);
    std::vector<uint8_t> buffer(2388);
    uint32_t length = 0;
    ASSERT_EQ(0u, P::Encode_Send(buffer.data(), 2388, &length, acc.c_str(), name.c_str(), 7, data.data(), 2048, true,
                                 240));
    EXPECT_EQ(2386u, length);  // the 16-bit last flag takes 7 of the 9 bytes set aside for it
    uint32_t untouched = 0x5A5A5A5A;
    EXPECT_EQ(0x80000003u, P::Encode_Send(buffer.data(), 2385, &untouched, acc.c_str(), name.c_str(), 7, data.data(),
                                          2048, true, 240));
    EXPECT_EQ(0x5A5A5A5Au, untouched);
}

TEST(FileTransfererProtocolTest, ReqSendOfTheCompileResultIs63Bytes)
{
    uint8_t buffer[128];
    uint32_t length = 0;
    ASSERT_EQ(0u, P::Encode_ReqSend(buffer, sizeof(buffer), &length, "Config", "CompileResult.json", 240));
    EXPECT_EQ(63u, length);
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t user = 0;
    ASSERT_EQ(0u, P::Decode_ReqSend(buffer, length, &acc, &name, &user));
    EXPECT_STREQ("Config", acc);
    EXPECT_STREQ("CompileResult.json", name);
    EXPECT_EQ(240u, user);
}

TEST(FileTransfererProtocolTest, StartSendCarriesZeroTo32HashBytes)
{
    struct Case { uint32_t hashLength; bool nullHash; };
    const Case cases[] = {{0, true}, {0, false}, {16, false}, {32, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hashLength);
        uint8_t hash[32];
        for (int i = 0; i < 32; ++i) hash[i] = static_cast<uint8_t>(i + 1);
        uint8_t buffer[512];
        uint32_t length = 0;
        ASSERT_EQ(0u, P::Encode_StartSend(buffer, sizeof(buffer), &length, "Config", "x/y.bin", 5000, 240,
                                          c.nullHash ? nullptr : hash, c.hashLength));
        EXPECT_EQ(6, buffer[8]);  // the hash parameter is there even when empty
        const char* acc = nullptr;
        const char* name = nullptr;
        uint32_t size = 0, user = 0, outLength = 99;
        const uint8_t* outHash = hash;
        ASSERT_EQ(0u, P::Decode_StartSend(buffer, length, &acc, &name, &size, &user, &outHash, &outLength));
        EXPECT_EQ(5000u, size);
        EXPECT_EQ(c.hashLength, outLength);
        if (c.hashLength == 0) EXPECT_EQ(nullptr, outHash);
        else EXPECT_EQ(0, std::memcmp(hash, outHash, c.hashLength));
    }
}

TEST(FileTransfererProtocolTest, FiveParameterStartSendHasNoHash)
{
    uint8_t buffer[256];
    uint32_t pos = 0;
    const uint32_t zero = 0, user = 240, size = 12;
    ASSERT_EQ(0u, ComControl::cnpMakeHeaderAndCommand(buffer, sizeof(buffer), &pos, P::kStartSend, 5));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &zero, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &user, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeText, "Config", 7));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeText, "a", 2));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &size, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeFinish(buffer, pos));
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t outSize = 0, outUser = 0, hashLength = 7;
    const uint8_t* hash = buffer;
    ASSERT_EQ(0u, P::Decode_StartSend(buffer, pos, &acc, &name, &outSize, &outUser, &hash, &hashLength));
    EXPECT_EQ(12u, outSize);
    EXPECT_EQ(nullptr, hash);
    EXPECT_EQ(0u, hashLength);
}

TEST(FileTransfererProtocolTest, SendRoundTripsOffsetChunkAndLastFlag)
{
    struct Case { uint32_t offset; uint32_t chunk; bool last; };
    const Case cases[] = {{0, 2048, false}, {4096, 904, true}, {4096, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        const std::vector<uint8_t> command = sendCommand(c.offset, c.chunk, c.last);
        const char* acc = nullptr;
        const char* name = nullptr;
        uint32_t offset = 1, chunk = 1, user = 0;
        const uint8_t* data = nullptr;
        bool last = !c.last;
        ASSERT_EQ(0u, P::Decode_Send(command.data(), static_cast<uint32_t>(command.size()), &acc, &name, &offset,
                                     &data, &chunk, &last, &user));
        EXPECT_EQ(c.offset, offset);
        EXPECT_EQ(c.chunk, chunk);
        EXPECT_EQ(c.last, last);
        EXPECT_EQ(240u, user);
    }
}

TEST(FileTransfererProtocolTest, OversizedChunkOrHashIsMalformed)
{
    const std::vector<uint8_t> big = sendCommand(0, 2049, false);
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t offset = 0, chunk = 0, user = 0;
    const uint8_t* data = nullptr;
    bool last = false;
    EXPECT_EQ(0x80000001u, P::Decode_Send(big.data(), static_cast<uint32_t>(big.size()), &acc, &name, &offset, &data,
                                          &chunk, &last, &user));

    uint8_t hash[33] = {};
    uint8_t buffer[512];
    uint32_t length = 0;
    ASSERT_EQ(0u, P::Encode_StartSend(buffer, sizeof(buffer), &length, "Config", "a", 1, 240, hash, 33));
    uint32_t size = 0, hashLength = 0;
    const uint8_t* outHash = nullptr;
    EXPECT_EQ(0x80000001u, P::Decode_StartSend(buffer, length, &acc, &name, &size, &user, &outHash, &hashLength));
}

TEST(FileTransfererProtocolTest, DecodersRefuseOtherIdsAndShortPayloads)
{
    uint8_t buffer[256];
    uint32_t length = 0;
    ASSERT_EQ(0u, P::Encode_SendAnswer(buffer, sizeof(buffer), &length, "Config", "a", 2048, 904, 240, 0));
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t user = 0x5A5A5A5A, code = 0x5A5A5A5A;
    EXPECT_EQ(0x80000005u, P::Decode_StartSendAnswer(buffer, length, &acc, &name, &user, &code));
    EXPECT_EQ(nullptr, acc);
    EXPECT_EQ(0x5A5A5A5Au, user);
    uint32_t offset = 0, acked = 0;
    EXPECT_EQ(0x80000004u, P::Decode_SendAnswer(buffer, length - 1, &acc, &name, &offset, &acked, &user, &code));
    ASSERT_EQ(0u, P::Decode_SendAnswer(buffer, length, &acc, &name, &offset, &acked, &user, &code));
    EXPECT_EQ(2048u, offset);
    EXPECT_EQ(904u, acked);
    EXPECT_EQ(0x80000001u, P::Decode_Cancel(nullptr, 0, &acc, &name, &user));
}

TEST(FileTransfererProtocolTest, AnswersCarryTheirCodeAndIds)
{
    using Enc = JLIB::JResult (*)(uint8_t*, uint32_t, uint32_t*, const char*, const char*, uint32_t, uint32_t);
    using Dec = JLIB::JResult (*)(const uint8_t*, uint32_t, const char**, const char**, uint32_t*, uint32_t*);
    struct Case { Enc enc; Dec dec; uint32_t id; };
    const Case cases[] = {
        {P::Encode_StartSendAnswer, P::Decode_StartSendAnswer, 0x020110},
        {P::Encode_ReqSendAnswer, P::Decode_ReqSendAnswer, 0x020210},
        {P::Encode_CancelAnswer, P::Decode_CancelAnswer, 0x020410},
        {P::Encode_RemoveAnswer, P::Decode_RemoveAnswer, 0x020510},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        uint8_t buffer[128];
        uint32_t length = 0;
        ASSERT_EQ(0u, c.enc(buffer, sizeof(buffer), &length, "Config", "f", 240, 0x80002001u));
        uint32_t id = 0;
        ASSERT_EQ(0u, ComControl::cnpGetCommand(buffer, length, ComControl::kCnpVersion, &id));
        EXPECT_EQ(c.id, id);
        const char* acc = nullptr;
        const char* name = nullptr;
        uint32_t user = 0, code = 0;
        ASSERT_EQ(0u, c.dec(buffer, length, &acc, &name, &user, &code));
        EXPECT_EQ(0x80002001u, code);
        EXPECT_STREQ("f", name);
    }
}

TEST(FileTransfererProtocolTest, NameWithoutElementsIsUnreadable)
{
    uint8_t buffer[128];
    uint32_t pos = 0;
    const uint32_t zero = 0, user = 240;
    ASSERT_EQ(0u, ComControl::cnpMakeHeaderAndCommand(buffer, sizeof(buffer), &pos, P::kRemove, 4));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &zero, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &user, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeText, "Config", 7));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeText, "", 0));
    ASSERT_EQ(0u, ComControl::cnpMakeFinish(buffer, pos));
    const char* acc = nullptr;
    const char* name = nullptr;
    uint32_t outUser = 0;
    EXPECT_EQ(0x80000004u, P::Decode_Remove(buffer, pos, &acc, &name, &outUser));
}
