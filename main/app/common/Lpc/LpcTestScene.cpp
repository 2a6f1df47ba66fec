#include "common/Lpc/LpcTestScene.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcRecallSafe.h"
#include "common/Lpc/LpcSceneList.h"
#include "jlib/JVariant.h"

namespace LPC {

const char* const gl_pSceneParameterName[kSceneParameterNameNum] = {
    "/OBA/Label/Name",
    "/OBA/Label/Color",
    "/OBA/Label/Icon",
    "/OBA/Label/Type",
    "/OBA/Object/Fader/Level",
    "/OBA/Object/Fader/On",
    "/OBA/Object/Visible",
    "/OBA/Object/AuxSend/On",
    "/OBA/Object/AuxSend/Level",
    "/OBA/Object/RevSend/On",
    "/OBA/Object/RevSend/Level",
    "/OBA/Object/PhysicalPosition@xyz@x",
    "/OBA/Object/PhysicalPosition@xyz@y",
    "/OBA/Object/PhysicalPosition@xyz@z",
    "/OBA/Object/LogicalPosition@xyz@x",
    "/OBA/Object/LogicalPosition@xyz@y",
    "/OBA/Object/LogicalPosition@xyz@z",
    "/OBA/Object/SizeH",
    "/OBA/Object/SizeV",
};

const TestSceneNumber gl_testSceneNumbers[2] = {
    {"777.77", "TestSceneMin"},
    {"888.88", "TestSceneMax"},
};

namespace {

constexpr uint8_t kTypeString = 0x50;
constexpr const char* kMaxText = "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
constexpr unsigned int kMaxTextLength = 81;
constexpr const char* kLabelDigits = "123456789012345678901234567890123456789012345678901234567890";
constexpr uint32_t kObjectNum = 128;

// The int draws of a random scene, in draw order after the labels.
struct IntDraw {
    const char* address;
    int low;
    int high;
};
constexpr IntDraw kLevelsAndSwitches[] = {
    {"/OBA/Object/Fader/Level", -9600, 1000}, {"/OBA/Object/Fader/On", 0, 1},
    {"/OBA/Object/Visible", 0, 1},            {"/OBA/Object/AuxSend/On", 0, 1},
    {"/OBA/Object/AuxSend/Level", -9600, 1000}, {"/OBA/Object/RevSend/On", 0, 1},
    {"/OBA/Object/RevSend/Level", -9600, 1000},
};
constexpr const char* kPhysical[] = {"/OBA/Object/PhysicalPosition@xyz@x", "/OBA/Object/PhysicalPosition@xyz@y",
                                     "/OBA/Object/PhysicalPosition@xyz@z"};
constexpr const char* kLogical[] = {"/OBA/Object/LogicalPosition@xyz@x", "/OBA/Object/LogicalPosition@xyz@y",
                                    "/OBA/Object/LogicalPosition@xyz@z"};

JLIB::JResult setInt(const char* address, uint32_t object, int value)
{
    return pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, address, object, 0, JVariant(value), kDerivedWriteAttr);
}

}  // namespace

int myRand(int low, int high)
{
    const int r = std::rand();
    return low + (r % (high - low + 1));
}

JLIB::JResult createScene(CATEGORY_OF_CreateSceneType kind)
{
    PDB::IParameterDB& db = getLpcPDB();
    for (const char* address : gl_pSceneParameterName) {
        const PDB::AddressId id = pdb_resolveAddress(CATEGORY_PDBTYPE_UZCURRENT, address);
        const PDB::ParameterInfo& info = db.paramInfo(id.componentIndex(), id.addressIndex());
        JVariant value;
        if (info.type == kTypeString) {
            value = kind == CATEGORY_CREATESCENETYPE_MIN ? JVariant("", 1) : JVariant(kMaxText, kMaxTextLength);
        } else {
            value = kind == CATEGORY_CREATESCENETYPE_MIN ? info.min : info.max;
        }
        for (uint32_t x = 0; x < info.numX; ++x) {
            (void)lpcpdb_setVariantWithAtomic(id, x, 0, value, kDerivedWriteAttr);  // a test fill: best effort
        }
    }
    return JLIB::kOk;
}

JLIB::JResult createRandomScene(const char* tag)
{
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t object = 0; object < kObjectNum; ++object) {
        // A tag from a controller may be long: the label is cut to its buffer.
        char label[kRandomLabelSize];
        (void)std::snprintf(label, sizeof label, "OBA_%s_%u_%s", tag ? tag : "", object, kLabelDigits);
        for (uint32_t i = 0; i < 4; ++i) {
            result |= pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZCURRENT, gl_pSceneParameterName[i], object, 0,
                                                 label);
        }
    }
    for (const IntDraw& draw : kLevelsAndSwitches) {
        for (uint32_t object = 0; object < kObjectNum; ++object) {
            result |= setInt(draw.address, object, myRand(draw.low, draw.high));
        }
    }
    for (uint32_t object = 0; object < kObjectNum; ++object) {
        for (const char* address : kPhysical) result |= setInt(address, object, myRand(-50000, 50000));
    }
    for (uint32_t object = 0; object < kObjectNum; ++object) {
        for (const char* address : kLogical) {
            const float value = static_cast<float>(myRand(0, 1000)) / 1000.0f;
            result |= pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, address, object, 0, JVariant(value), kDerivedWriteAttr);
        }
    }
    for (const char* address : {"/OBA/Object/SizeH", "/OBA/Object/SizeV"}) {
        for (uint32_t object = 0; object < kObjectNum; ++object) result |= setInt(address, object, myRand(0, 10000));
    }
    (void)result;  // a test fill: the writes are best effort
    return JLIB::kOk;
}

}  // namespace LPC

// ---- scene list members of the device tests

namespace LPC {

JLIB::JResult SceneList::createAllScene()
{
    (void)createScene(CATEGORY_CREATESCENETYPE_MIN);  // always 0
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < kSceneSlotNum; ++i) {
        char number[32];
        (void)std::snprintf(number, sizeof number, "%.1f", static_cast<double>(i + 1) / 10.0);
        const std::string title = std::string("Title for scene ") + number;
        const std::string comment = std::string("Comment for scene ") + number;
        result = store(number, title.c_str(), comment.c_str(), false);
    }
    return result;
}

JLIB::JResult SceneList::recallWithTestRecallSpeed(const char* number, bool log, double& ms)
{
    const auto start = std::chrono::steady_clock::now();
    const JLIB::JResult result = recall(number, log, FollowUp());
    const auto end = std::chrono::steady_clock::now();
    ms = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(end - start).count()) / 1000.0;
    return result;
}

JLIB::JResult SceneList::testRecallSpeed(uint32_t count, uint32_t recallSafe)
{
    if (count == 0) return JLIB::kFailed;
    const TestSceneNumber& low = gl_testSceneNumbers[0];
    const TestSceneNumber& high = gl_testSceneNumbers[1];
    // Steps before the timing are best effort: a missing scene or a failed store shows in the recalls.
    (void)remove(low.number, false);
    (void)remove(high.number, false);
    (void)createScene(CATEGORY_CREATESCENETYPE_MIN);
    (void)store(low.number, low.title, low.title, false);
    (void)createScene(CATEGORY_CREATESCENETYPE_MAX);
    (void)store(high.number, high.title, high.title, false);
    (void)setRecallSafe(recallSafe);

    // A running minimum, maximum and sum: the count comes from a client and must not size a list.
    JLIB::JResult result = JLIB::kOk;
    double minimum = 0.0;
    double maximum = 0.0;
    double sum = 0.0;
    for (uint32_t i = 0; i < count; ++i) {
        for (const TestSceneNumber* scene : {&low, &high}) {
            double ms = 0.0;
            result = recallWithTestRecallSpeed(scene->number, false, ms);
            const bool first = i == 0 && scene == &low;
            minimum = first || ms < minimum ? ms : minimum;
            maximum = first || ms > maximum ? ms : maximum;
            sum += ms;
        }
    }
    const double average = sum / (2.0 * static_cast<double>(count));
    std::printf("min: %f\n", static_cast<double>(static_cast<float>(minimum)));
    std::printf("max: %f\n", static_cast<double>(static_cast<float>(maximum)));
    std::printf("average: %f\n", static_cast<double>(static_cast<float>(average)));
    (void)std::fflush(stdout);
    return result;
}

}  // namespace LPC
