#include "common/Lpc/LpcSendMessage.h"

#include <cstring>
#include <initializer_list>

#include "TMS/AbstractMessage.h"
#include "TMS/AbstractThread.h"
#include "TMS/MessageKey.h"
#include "TMS/ThreadRepository.h"
#include "common/Lpc/LpcRecallSafe.h"
#include "common/Lpc/LpcRecallStopwatch.h"
#include "common/Lpc/LpcSoloClear.h"
#include "common/Lpc/LpcTestScene.h"

namespace LPC {

const char* const kLpcCategory = "PROC:ParamSet/Vexalume";

namespace {

constexpr const char* kDeviceControl = "DeviceControl";
constexpr const char* kPresetType3DRev = "3DRev";

// A user message of id 0 with its "CommandName" and, when given, "Operation" and "Status".
TMS::AbstractMessage command(const char* name, const char* operation = nullptr, const char* status = nullptr)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    // Short texts under fixed keys always fit.
    (void)message.addData("CommandName", name);
    if (operation) (void)message.addData("Operation", operation);
    if (status) (void)message.addData("Status", status);
    return message;
}

void addFactor(TMS::AbstractMessage& message, uint8_t factor)
{
    (void)message.addData("Factor", static_cast<int32_t>(factor));  // a number always fits
}

void addText(TMS::AbstractMessage& message, TMS::MessageKey key, const char* text)
{
    (void)message.addData(key, text);  // callers refuse null texts first; longer ones are cut
}

bool anyNull(std::initializer_list<const char*> texts)
{
    for (const char* text : texts) {
        if (!text) return true;
    }
    return false;
}

JLIB::JResult handOver(const TMS::AbstractMessage& message, const char* threadName)
{
    const JLIB::JResult result = TMS::getThreadByName(threadName).sendMessageWithWaiting(message);
    return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
}

// "Do" commands naming nothing but the requester.
JLIB::JResult sendSceneDo(const char* operation, uint8_t factor)
{
    TMS::AbstractMessage message = command("UZScene", operation, "Do");
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendPreset(const char* operation, const char* presetType, uint32_t presetNo, const char* title,
                         const uint32_t* onOff, uint8_t factor)
{
    TMS::AbstractMessage message = command("UZPreset", operation, "Do");
    addText(message, "PresetType", presetType);
    (void)message.addData("PresetNo", presetNo);
    if (title) addText(message, "Title", title);
    if (onOff) (void)message.addData("OnOff", *onOff);
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

// A file command: the name must be plain; the export leaves "Factor" out.
JLIB::JResult sendFile(const char* name, const char* operation, const char* filePath, const uint8_t* factor)
{
    if (!acceptableFileName(filePath)) return JLIB::kFailed;
    TMS::AbstractMessage message = command(name, operation, "Do");
    addText(message, "FilePath", filePath);
    if (factor) addFactor(message, *factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendLimitFill(const char* name, uint8_t factor)
{
    dbg_startRecall();
    TMS::AbstractMessage message = command(name);
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult releaseSystem(bool restart)
{
    TMS::AbstractThread& system = TMS::getThreadByName("System");
    if (system.isNull()) return JLIB::kFailed;
    if (restart) (void)system.setEndStatus(1);  // only stores the number
    return JLIB::isFailure(system.release()) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace

bool acceptableCategory(const char* category)
{
    return category && std::strcmp(category, kLpcCategory) == 0;
}

bool acceptableFileName(const char* name)
{
    if (!name || !*name) return false;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    return !std::strpbrk(name, "/\\");
}

JLIB::JResult sendMessageConnect(const char* fromAddress, const char* toAddress, const char* direction)
{
    if (anyNull({fromAddress, toAddress, direction})) return JLIB::kFailed;
    TMS::AbstractMessage message = command("SetNetworkInfo&Sync");
    addText(message, "FromIPAddress", fromAddress);
    addText(message, "ToIPAddress", toAddress);
    addText(message, "Direction", direction);
    return handOver(message, "Sync");
}

JLIB::JResult sendMessageSyncOffline()
{
    return handOver(command("Disconnect"), "Sync");
}

JLIB::JResult sendMessageStore(const char* index, const char* title, const char* comment, uint8_t factor)
{
    if (anyNull({index, title, comment})) return JLIB::kFailed;
    TMS::AbstractMessage message = command("UZScene", "Store", "Start");
    addText(message, "Index", index);
    addText(message, "Category", kLpcCategory);
    addText(message, "Title", title);
    addText(message, "Comment", comment);
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessageRecall(const char* index, uint8_t factor)
{
    if (!index) return JLIB::kFailed;
    dbg_startRecall();
    TMS::AbstractMessage message = command("UZScene", "Recall", "Start");
    addText(message, "Index", index);
    addText(message, "Category", kLpcCategory);
    addFactor(message, factor);
    const JLIB::JResult result = handOver(message, kDeviceControl);
    (void)handOver(message, "OSCServer");  // the OSC surface only mirrors the request
    return result;
}

JLIB::JResult sendMessageTestRecallSpeed(uint32_t count, uint32_t withRecallSafe)
{
    TMS::AbstractMessage message = command("UZScene", "TestRecallSpeed", "Start");
    (void)message.addData("TestNum", count);
    (void)message.addData("WithRecallSafe", withRecallSafe);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessageCreateAllScene()
{
    return handOver(command("UZScene", "CreateAllScene"), kDeviceControl);
}

JLIB::JResult sendMessageDelete(const char* sceneNumber, uint8_t factor)
{
    if (!sceneNumber) return JLIB::kFailed;
    TMS::AbstractMessage message = command("UZScene", "Delete", "Do");
    addText(message, "SnapshotNo", sceneNumber);
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessageDuplicate(const char* source, const char* destination, const char* title, const char* comment,
                                   uint8_t factor)
{
    if (anyNull({source, destination, title, comment})) return JLIB::kFailed;
    TMS::AbstractMessage message = command("UZScene", "Duplicate", "Do");
    addText(message, "Src", source);
    addText(message, "Dest", destination);
    addText(message, "Title", title);
    addText(message, "Comment", comment);
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessageRecallUndo(uint8_t factor)
{
    return sendSceneDo("RecallUndo", factor);
}

JLIB::JResult sendMessageUpdateUndo(uint8_t factor)
{
    return sendSceneDo("UpdateUndo", factor);
}

JLIB::JResult sendMessageDuplicateUndo(uint8_t factor)
{
    return sendSceneDo("DuplicateUndo", factor);
}

JLIB::JResult sendMessageDeleteUndo(uint8_t factor)
{
    return sendSceneDo("DeleteUndo", factor);
}

JLIB::JResult sendMessageFileUndo(uint8_t factor)
{
    return sendSceneDo("FileUndo", factor);
}

JLIB::JResult sendMessageProtect(const char* sceneNumber, uint32_t onOff, uint8_t factor)
{
    if (!sceneNumber) return JLIB::kFailed;
    TMS::AbstractMessage message = command("UZScene", "Protect", "Do");
    addText(message, "SnapshotNo", sceneNumber);
    (void)message.addData("OnOff", onOff);
    addFactor(message, factor);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessagePresetCreateFullNumber(const char* presetType)
{
    if (!presetType) return JLIB::kFailed;
    TMS::AbstractMessage message = command("UZPreset", "CreateFullNumber", "Do");
    addText(message, "PresetType", presetType);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessageCreateAllPreset()
{
    return sendMessagePresetCreateFullNumber(kPresetType3DRev);
}

JLIB::JResult sendMessagePresetStore(const char* presetType, uint32_t presetNo, const char* title, uint8_t factor)
{
    if (anyNull({presetType, title})) return JLIB::kFailed;
    return sendPreset("Store", presetType, presetNo, title, nullptr, factor);
}

JLIB::JResult sendMessagePresetRecall(const char* presetType, uint32_t presetNo, uint8_t factor)
{
    if (!presetType) return JLIB::kFailed;
    return sendPreset("Recall", presetType, presetNo, nullptr, nullptr, factor);
}

JLIB::JResult sendMessagePresetDelete(const char* presetType, uint32_t presetNo, uint8_t factor)
{
    if (!presetType) return JLIB::kFailed;
    return sendPreset("Delete", presetType, presetNo, nullptr, nullptr, factor);
}

JLIB::JResult sendMessagePresetProtect(const char* presetType, uint32_t presetNo, uint32_t onOff, uint8_t factor)
{
    if (!presetType) return JLIB::kFailed;
    return sendPreset("Protect", presetType, presetNo, nullptr, &onOff, factor);
}

JLIB::JResult sendMessageSpeakerPositionImport(const char* filePath, uint8_t factor)
{
    return sendFile("UZSpeakerPosition", "Import", filePath, &factor);
}

JLIB::JResult sendMessageSpeakerPositionExport(const char* filePath, uint8_t)
{
    return sendFile("UZSpeakerPosition", "Export", filePath, nullptr);
}

JLIB::JResult sendMessageProjectSave(const char* filePath, uint8_t factor)
{
    return sendFile("UZProject", "Save", filePath, &factor);
}

JLIB::JResult sendMessageProjectLoad(const char* filePath, uint8_t factor)
{
    return sendFile("UZProject", "Load", filePath, &factor);
}

JLIB::JResult sendMessageSyncReceiveFinished()
{
    return handOver(command("UZSync", "Receive", "End"), kDeviceControl);
}

JLIB::JResult sendMessageShowAllValues(const char* filePath)
{
    if (!acceptableFileName(filePath)) return JLIB::kFailed;
    dbg_startRecall();
    TMS::AbstractMessage message = command("UZShowAllValues");
    addText(message, "FilePath", filePath);
    return handOver(message, kDeviceControl);
}

JLIB::JResult sendMessageSetMinValue(uint8_t factor)
{
    return sendLimitFill("UZSetMinValue", factor);
}

JLIB::JResult sendMessageSetMaxValue(uint8_t factor)
{
    return sendLimitFill("UZSetMaxValue", factor);
}

JLIB::JResult sendMessageCreateRandomScene(const char* tag)
{
    return createRandomScene(tag);
}

JLIB::JResult sendMessageCreateMinScene()
{
    return createScene(CATEGORY_CREATESCENETYPE_MIN);
}

JLIB::JResult sendMessageCreateMaxScene()
{
    return createScene(CATEGORY_CREATESCENETYPE_MAX);
}

JLIB::JResult sendMessageSetRecallSafe(uint32_t value)
{
    return setRecallSafe(value);
}

JLIB::JResult sendMessageSoloClear(uint8_t)
{
    return soloClear();
}

JLIB::JResult sendMessageShutdown(uint8_t)
{
    return releaseSystem(false);
}

JLIB::JResult sendMessageRestartWithInitialize(uint8_t)
{
    return releaseSystem(true);
}

}  // namespace LPC
