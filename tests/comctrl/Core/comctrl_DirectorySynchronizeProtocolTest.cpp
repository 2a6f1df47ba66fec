// The directory port's commands: sizes, every command read back, the directory name compared in
// full, and payloads that must not decode.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DirTestSupport.h"
#include "comctrl/Core/comctrl_DirectorySynchronizeProtocol.h"
#include "comctrl/Core/comctrl_cnp.h"

using namespace comctrltest;

namespace {

const uint8_t* bytesOf(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
uint32_t sizeOf(const std::string& s) { return static_cast<uint32_t>(s.size()); }

// Decodes with the decoder of id; fileName and answer only where the command has them.
JLIB::JResult decodeAs(uint32_t id, const std::string& c, const char* directory, uint32_t* user, uint32_t* answer,
                       const char** file)
{
    const uint8_t* b = bytesOf(c);
    const uint32_t n = sizeOf(c);
    switch (id) {
    case DSP::kStartDirSync: return DSP::Decode_StartDirSync(b, n, directory, user);
    case DSP::kReqDirSync: return DSP::Decode_ReqDirSync(b, n, directory, user);
    case DSP::kFinishDirSync: return DSP::Decode_FinishDirSync(b, n, directory, user);
    case DSP::kComplitedDir: return DSP::Decode_ComplitedDir(b, n, directory, user);
    case DSP::kStartDirSyncAnswer: return DSP::Decode_StartDirSyncAnswer(b, n, directory, user, answer);
    case DSP::kReqDirSyncAnswer: return DSP::Decode_ReqDirSyncAnswer(b, n, directory, user, answer);
    case DSP::kFinishDirSyncAnswer: return DSP::Decode_FinishDirSyncAnswer(b, n, directory, user, answer);
    case DSP::kComplitedDirAnswer: return DSP::Decode_ComplitedDirAnswer(b, n, directory, user, answer);
    case DSP::kExistFile: return DSP::Decode_ExistFile(b, n, directory, user, file);
    case DSP::kExistFileAnswer: return DSP::Decode_ExistFileAnswer(b, n, directory, user, file, answer);
    default: return 0x80000000u;
    }
}

const uint32_t kAllIds[] = {DSP::kStartDirSync,       DSP::kStartDirSyncAnswer, DSP::kReqDirSync,
                            DSP::kReqDirSyncAnswer,   DSP::kFinishDirSync,      DSP::kFinishDirSyncAnswer,
                            DSP::kExistFile,          DSP::kExistFileAnswer,    DSP::kComplitedDir,
                            DSP::kComplitedDirAnswer};

bool hasFile(uint32_t id) { return id == DSP::kExistFile || id == DSP::kExistFileAnswer; }
bool isAnswer(uint32_t id) { return (id & 0xFF) == 0x10; }

}  // namespace

TEST(DirectorySynchronizeProtocolTest, SizesMatchTheLinkBuffers)
{
    EXPECT_EQ(56u, DSP::getMaxBufferSize());
    EXPECT_EQ(41u, dirCommand(DSP::kStartDirSync, "Snapshot", 240).size());
    // The longest directory name still fits the announced size, in every command without a file.
    const std::string longest(23, 'n');
    for (uint32_t id : kAllIds) {
        SCOPED_TRACE(hexCode(id));
        if (!hasFile(id)) {
            EXPECT_EQ(56u, dirCommand(id, longest.c_str(), 240, 0x80000003u).size());
        }
    }
}

TEST(DirectorySynchronizeProtocolTest, EveryCommandReadsBackWithItsFields)
{
    for (uint32_t id : kAllIds) {
        SCOPED_TRACE(hexCode(id));
        const uint32_t code = isAnswer(id) ? 0x2001u : 0u;
        const std::string c = dirCommand(id, "Preset/3DRev", 0xA5A5F00Du, code, hasFile(id) ? "sub/x y.vexap" : nullptr);
        ASSERT_FALSE(c.empty());
        uint32_t commandId = 0;
        ASSERT_EQ(0u, ComControl::cnpGetCommand(bytesOf(c), sizeOf(c), ComControl::kCnpVersion, &commandId));
        EXPECT_EQ(id, commandId);
        EXPECT_EQ(hasFile(id) ? 4 : 3, static_cast<int>(static_cast<uint8_t>(c[8])));
        uint32_t user = 1, answer = 1;
        const char* file = nullptr;
        ASSERT_EQ(0u, decodeAs(id, c, "Preset/3DRev", &user, &answer, &file));
        EXPECT_EQ(0xA5A5F00Du, user);
        if (isAnswer(id)) {
            EXPECT_EQ(code, answer);
        }
        if (hasFile(id)) {
            EXPECT_STREQ("sub/x y.vexap", file);
        }
    }
}

TEST(DirectorySynchronizeProtocolTest, RefusesAnotherDirectoryOrAnotherCommand)
{
    struct Case {
        const char* sent;
        const char* expected;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"DCP", "Snapshot", 0x80000006u},
        {"Snap", "Snapshot", 0x80000006u},      // a prefix is not the name
        {"Snapshot", "Snap", 0x80000006u},
        {"snapshot", "Snapshot", 0x80000006u},  // case counts
        {"Snapshot", "Snapshot", 0u},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.sent) + " / " + k.expected);
        for (uint32_t id : kAllIds) {
            const std::string c = dirCommand(id, k.sent, 240, 0, hasFile(id) ? "a.vexas" : nullptr);
            uint32_t user = 0, answer = 0;
            const char* file = nullptr;
            EXPECT_EQ(k.result, decodeAs(id, c, k.expected, &user, &answer, &file)) << hexCode(id);
        }
    }
    const std::string answer = dirCommand(DSP::kStartDirSyncAnswer, "Snapshot");
    uint32_t user = 0, code = 0;
    EXPECT_EQ(0x80000005u, DSP::Decode_ReqDirSyncAnswer(bytesOf(answer), sizeOf(answer), "Snapshot", &user, &code));
}

TEST(DirectorySynchronizeProtocolTest, MalformedPayloadsDoNotDecode)
{
    // An ExistFile whose file name is raw bytes instead of a text.
    uint8_t buffer[128];
    uint32_t pos = 0;
    const uint32_t zero = 0;
    const uint8_t raw[] = {'a', 'b', 'c'};
    ASSERT_EQ(0u, ComControl::cnpMakeHeaderAndCommand(buffer, sizeof(buffer), &pos, DSP::kExistFile, 4));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &zero, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt32, &zero, 1));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeText, "DCP", 4));
    ASSERT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeUInt8, raw, 3));
    ASSERT_EQ(0u, ComControl::cnpMakeFinish(buffer, pos));
    uint32_t user = 0;
    const char* file = "untouched";
    EXPECT_TRUE(JLIB::isFailure(DSP::Decode_ExistFile(buffer, pos, "DCP", &user, &file)));

    // Every cut of a valid command fails, and the full one reads.
    const std::string c = dirCommand(DSP::kExistFileAnswer, "DCP", 240, 0x2000, "x.dcpl");
    for (uint32_t n = 0; n < c.size(); ++n) {
        SCOPED_TRACE(n);
        uint32_t answer = 0;
        EXPECT_TRUE(JLIB::isFailure(DSP::Decode_ExistFileAnswer(bytesOf(c), n, "DCP", &user, &file, &answer)));
    }
    uint32_t answer = 0;
    EXPECT_EQ(0u, DSP::Decode_ExistFileAnswer(bytesOf(c), sizeOf(c), "DCP", &user, &file, &answer));
    EXPECT_EQ(0x80000001u, DSP::Decode_StartDirSync(nullptr, 41, "DCP", &user));
}

TEST(DirectorySynchronizeProtocolTest, ACommandWithoutRoomLeavesTheLengthAlone)
{
    uint8_t buffer[41];
    uint32_t length = 0x5A5A5A5A;
    EXPECT_EQ(0x80000003u, DSP::Encode_StartDirSync(buffer, 40, &length, "Snapshot", 240));
    EXPECT_EQ(0x5A5A5A5Au, length);
    EXPECT_EQ(0u, DSP::Encode_StartDirSync(buffer, 41, &length, "Snapshot", 240));
    EXPECT_EQ(41u, length);
}
