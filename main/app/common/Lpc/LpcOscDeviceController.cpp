#include "common/Lpc/LpcOscDeviceController.h"

#include <iterator>

#include "OscServer/OscCore/IOscDeviceCallback.h"
#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "common/Lpc/LpcSendMessage.h"
#include "jlib/JVariant.h"

namespace LPC {

const FixedDeviceInfo gpFixedDeviceInfoTable[kFixedDeviceInfoNum] = {
    {"protocolver", "1.0.0"}, {"paramsetver", "UZ:1.0.0"},
    {"version", ""},          {"productname", "UZ"},
    {"manufacturer", "Jovrix Corporation"},
    {"serialno", ""},         {"category", ""},
    {"devicename", ""},       {"description", ""},
};

namespace {

constexpr JLIB::JResult kInvalidArgument = 0x80000004u;
constexpr JLIB::JResult kUnknownEventId = 0x80000006u;
constexpr JLIB::JResult kShutdownFailed = 0x80000001u;

constexpr const char* kRunModeKey = "runmode";
constexpr const char* kModeNormal = "normal";
constexpr const char* k3DRev = "3DRev";

// An event whose arguments are not read, whatever their number.
constexpr int kAnyCount = -1;

enum class ResultRule { kPlain, kShutdown, kAlwaysOk };

using EventArgs = JOSC::JVariantList;
using EventFunction = JLIB::JResult (*)(uint8_t origin, const EventArgs& args);

struct EventRow {
    const char* id;
    int argCount;
    EventFunction run;
    ResultRule rule;
};

// Null for a value that is not a text; every command function refuses a null text.
const char* text(const EventArgs& args, size_t i) { return args[i].toString(); }
// Int32 and UInt32 as their 32 bits, anything else 0.
uint32_t number(const EventArgs& args, size_t i) { return args[i].toUInt32(); }

const EventRow kEventTable[] = {
    {"uz:Command/Sync/GoOnline", 3,
     [](uint8_t, const EventArgs& a) { return sendMessageConnect(text(a, 0), text(a, 1), text(a, 2)); },
     ResultRule::kPlain},
    {"uz:Command/Sync/GoOffline", kAnyCount, [](uint8_t, const EventArgs&) { return sendMessageSyncOffline(); },
     ResultRule::kAlwaysOk},
    {"uz:Command/Scene/Store", 3,
     [](uint8_t o, const EventArgs& a) { return sendMessageStore(text(a, 0), text(a, 1), text(a, 2), o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/Recall", 1, [](uint8_t o, const EventArgs& a) { return sendMessageRecall(text(a, 0), o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/TestRecallSpeed", 2,
     [](uint8_t, const EventArgs& a) { return sendMessageTestRecallSpeed(number(a, 0), number(a, 1)); },
     ResultRule::kPlain},
    {"uz:Command/Scene/CreateRandomScene", 1,
     [](uint8_t, const EventArgs& a) { return sendMessageCreateRandomScene(text(a, 0)); }, ResultRule::kPlain},
    {"uz:Command/Scene/CreateMinScene", kAnyCount,
     [](uint8_t, const EventArgs&) { return sendMessageCreateMinScene(); }, ResultRule::kPlain},
    {"uz:Command/Scene/CreateMaxScene", kAnyCount,
     [](uint8_t, const EventArgs&) { return sendMessageCreateMaxScene(); }, ResultRule::kPlain},
    {"uz:Command/Scene/CreateAllScene", kAnyCount,
     [](uint8_t, const EventArgs&) { return sendMessageCreateAllScene(); }, ResultRule::kPlain},
    {"uz:Command/Scene/CreateAllPreset", kAnyCount,
     [](uint8_t, const EventArgs&) { return sendMessageCreateAllPreset(); }, ResultRule::kPlain},
    {"uz:Command/Scene/SetRecallSafe", 1,
     [](uint8_t, const EventArgs& a) { return sendMessageSetRecallSafe(number(a, 0)); }, ResultRule::kPlain},
    {"uz:Command/Scene/Delete", 1, [](uint8_t o, const EventArgs& a) { return sendMessageDelete(text(a, 0), o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/Duplicate", 4,
     [](uint8_t o, const EventArgs& a) {
         return sendMessageDuplicate(text(a, 0), text(a, 1), text(a, 2), text(a, 3), o);
     },
     ResultRule::kPlain},
    {"uz:Command/Scene/RecallUndo", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageRecallUndo(o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/UpdateUndo", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageUpdateUndo(o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/DuplicateUndo", kAnyCount,
     [](uint8_t o, const EventArgs&) { return sendMessageDuplicateUndo(o); }, ResultRule::kPlain},
    {"uz:Command/Scene/DeleteUndo", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageDeleteUndo(o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/FileUndo", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageFileUndo(o); },
     ResultRule::kPlain},
    {"uz:Command/Scene/Protect", 2,
     [](uint8_t o, const EventArgs& a) { return sendMessageProtect(text(a, 0), number(a, 1), o); },
     ResultRule::kPlain},
    {"uz:Command/Preset/3DRev/Store", 2,
     [](uint8_t o, const EventArgs& a) { return sendMessagePresetStore(k3DRev, number(a, 0), text(a, 1), o); },
     ResultRule::kPlain},
    {"uz:Command/Preset/3DRev/Recall", 1,
     [](uint8_t o, const EventArgs& a) { return sendMessagePresetRecall(k3DRev, number(a, 0), o); },
     ResultRule::kPlain},
    {"uz:Command/Preset/3DRev/Delete", 1,
     [](uint8_t o, const EventArgs& a) { return sendMessagePresetDelete(k3DRev, number(a, 0), o); },
     ResultRule::kPlain},
    {"uz:Command/Preset/3DRev/Protect", 2,
     [](uint8_t o, const EventArgs& a) { return sendMessagePresetProtect(k3DRev, number(a, 0), number(a, 1), o); },
     ResultRule::kPlain},
    {"uz:Command/Preset/3DRev/CreateFullNumber", kAnyCount,
     [](uint8_t, const EventArgs&) { return sendMessagePresetCreateFullNumber(k3DRev); }, ResultRule::kPlain},
    {"uz:Command/SpeakerPosition/Import", 1,
     [](uint8_t o, const EventArgs& a) { return sendMessageSpeakerPositionImport(text(a, 0), o); },
     ResultRule::kPlain},
    {"uz:Command/SpeakerPosition/Export", 1,
     [](uint8_t o, const EventArgs& a) { return sendMessageSpeakerPositionExport(text(a, 0), o); },
     ResultRule::kPlain},
    {"uz:Command/Project/Save", 1,
     [](uint8_t o, const EventArgs& a) { return sendMessageProjectSave(text(a, 0), o); }, ResultRule::kPlain},
    {"uz:Command/Project/Load", 1,
     [](uint8_t o, const EventArgs& a) { return sendMessageProjectLoad(text(a, 0), o); }, ResultRule::kPlain},
    {"uz:Command/Solo/Clear", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageSoloClear(o); },
     ResultRule::kPlain},
    {"uz:Command/Shutdown", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageShutdown(o); },
     ResultRule::kShutdown},
    {"uz:Command/RestartWithInitialize", kAnyCount,
     [](uint8_t o, const EventArgs&) { return sendMessageRestartWithInitialize(o); }, ResultRule::kPlain},
    {"uz:Command/showAllValues", 1,
     [](uint8_t, const EventArgs& a) { return sendMessageShowAllValues(text(a, 0)); }, ResultRule::kPlain},
    {"uz:Command/setMinValue", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageSetMinValue(o); },
     ResultRule::kPlain},
    {"uz:Command/setMaxValue", kAnyCount, [](uint8_t o, const EventArgs&) { return sendMessageSetMaxValue(o); },
     ResultRule::kPlain},
};
static_assert(std::size(kEventTable) == 34);

}  // namespace

LpcOscDeviceController::LpcOscDeviceController() = default;

LpcOscDeviceController::~LpcOscDeviceController() = default;

JLIB::JResult LpcOscDeviceController::initialize(JOSC::IOscDeviceCallback* callback)
{
    return JOSC::OscDeviceController::initialize(callback);
}

JLIB::JResult LpcOscDeviceController::getDeviceInfo(std::string& value, const std::string& key)
{
    value.clear();
    for (const FixedDeviceInfo& row : gpFixedDeviceInfoTable) {
        if (key != row.key) continue;
        value = row.value;
        return JLIB::kOk;
    }
    return kInvalidArgument;
}

JLIB::JResult LpcOscDeviceController::getDeviceStatus(std::string& value, const std::string& key)
{
    value.clear();
    if (key != kRunModeKey) return kInvalidArgument;
    JVariant state;
    // The calling thread's own copy of the shared parameters; the null thread reads nothing.
    if (JLIB::isFailure(TMS::getCurrentThread().getSysParam(state, "ProductState", 0))) return JLIB::kOk;
    bool isNumber = false;
    const uint32_t n = state.toUInt32(&isNumber);
    if (isNumber && n == 0) {
        value = "booting";
    } else if (isNumber && n == 1) {
        value = kModeNormal;
    } else {
        value = "????";
    }
    return JLIB::kOk;
}

JLIB::JResult LpcOscDeviceController::changeDeviceMode(const std::string& mode)
{
    if (mode != kModeNormal) return kInvalidArgument;
    if (m_pCallback) (void)m_pCallback->onDeviceStatusChanged(kRunModeKey, mode.c_str());  // the server's business
    return JLIB::kOk;
}

JLIB::JResult LpcOscDeviceController::runEvent(uint8_t origin, const std::string& event,
                                               const JOSC::JVariantList& arguments)
{
    for (const EventRow& row : kEventTable) {
        if (event != row.id) continue;
        if (row.argCount != kAnyCount && arguments.size() != static_cast<size_t>(row.argCount)) {
            return kInvalidArgument;
        }
        const JLIB::JResult result = row.run(origin, arguments);
        switch (row.rule) {
        case ResultRule::kAlwaysOk: return JLIB::kOk;
        case ResultRule::kShutdown: return JLIB::isFailure(result) ? kShutdownFailed : JLIB::kOk;
        case ResultRule::kPlain: break;
        }
        return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
    }
    return kUnknownEventId;
}

JLIB::JResult LpcOscDeviceController::getListItemNum(const std::string&, uint32_t&, uint32_t&, uint32_t&)
{
    return kUnknownEventId;
}

JLIB::JResult LpcOscDeviceController::getListItem(const std::string&, uint32_t, JVariant&, bool&)
{
    return kUnknownEventId;
}

JLIB::JResult LpcOscDeviceController::runIdentify(uint32_t) { return kUnknownEventId; }

}  // namespace LPC
