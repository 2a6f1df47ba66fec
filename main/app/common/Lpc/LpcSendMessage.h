#pragma once
// The device's commands as one call each: most become a user message with a "CommandName" for
// the thread that owns the state ("DeviceControl", "Sync", "OSCServer"), handed over with
// sendMessageWithWaiting (waiting while the target's queue is full, not for the work); a few act
// at once on the caller's thread. Called by the OSC surface for its command events and by "Sync".
// Any task; stateless.
//
// Results: 0 once the message was handed to the first target; 0x80000000 for a null text argument
// (nothing sent) or when the hand-over failed. A file path argument must be a plain file name (not
// empty, no "/" or "\", not "." or ".."; the device-control thread opens it in the user folder);
// anything else is refused with 0x80000000 and nothing is sent.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace LPC {

// The category of the device logic, "PROC:ParamSet/Vexalume"; sent as "Category" in scene store
// and recall messages.
extern const char* const kLpcCategory;
// Whether the text equals the category text (a null text does not).
bool acceptableCategory(const char* category);
// Whether a file path from a command may be used: a plain name inside the user folder.
bool acceptableFileName(const char* name);

// To "Sync".
[[nodiscard]] JLIB::JResult sendMessageConnect(const char* fromAddress, const char* toAddress,
                                               const char* direction);
[[nodiscard]] JLIB::JResult sendMessageSyncOffline();

// Scenes, to "DeviceControl". sendMessageRecall starts the recall stopwatch, then hands the same
// message to "DeviceControl" and to "OSCServer"; only the first hand-over decides the result.
[[nodiscard]] JLIB::JResult sendMessageStore(const char* index, const char* title, const char* comment,
                                             uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageRecall(const char* index, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageTestRecallSpeed(uint32_t count, uint32_t withRecallSafe);
[[nodiscard]] JLIB::JResult sendMessageCreateAllScene();
[[nodiscard]] JLIB::JResult sendMessageDelete(const char* sceneNumber, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageDuplicate(const char* source, const char* destination, const char* title,
                                                 const char* comment, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageRecallUndo(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageUpdateUndo(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageDuplicateUndo(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageDeleteUndo(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageFileUndo(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageProtect(const char* sceneNumber, uint32_t onOff, uint8_t factor);

// 3D-reverb presets, to "DeviceControl". sendMessageCreateAllPreset is CreateFullNumber of "3DRev".
[[nodiscard]] JLIB::JResult sendMessagePresetCreateFullNumber(const char* presetType);
[[nodiscard]] JLIB::JResult sendMessageCreateAllPreset();
[[nodiscard]] JLIB::JResult sendMessagePresetStore(const char* presetType, uint32_t presetNo, const char* title,
                                                   uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessagePresetRecall(const char* presetType, uint32_t presetNo, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessagePresetDelete(const char* presetType, uint32_t presetNo, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessagePresetProtect(const char* presetType, uint32_t presetNo, uint32_t onOff,
                                                     uint8_t factor);

// Files, to "DeviceControl"; the export message carries no "Factor".
[[nodiscard]] JLIB::JResult sendMessageSpeakerPositionImport(const char* filePath, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageSpeakerPositionExport(const char* filePath, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageProjectSave(const char* filePath, uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageProjectLoad(const char* filePath, uint8_t factor);

// "UZSync" "Receive" "End", from "Sync" when a synchronisation was received.
[[nodiscard]] JLIB::JResult sendMessageSyncReceiveFinished();

// Debug fills, to "DeviceControl"; each starts the recall stopwatch first.
[[nodiscard]] JLIB::JResult sendMessageShowAllValues(const char* filePath);
[[nodiscard]] JLIB::JResult sendMessageSetMinValue(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageSetMaxValue(uint8_t factor);

// At once, on the caller's thread: the test fills, recall safe and solo clear, with the result of
// the function they call (the factor of sendMessageSoloClear is not used).
[[nodiscard]] JLIB::JResult sendMessageCreateRandomScene(const char* tag);
[[nodiscard]] JLIB::JResult sendMessageCreateMinScene();
[[nodiscard]] JLIB::JResult sendMessageCreateMaxScene();
[[nodiscard]] JLIB::JResult sendMessageSetRecallSafe(uint32_t value);
[[nodiscard]] JLIB::JResult sendMessageSoloClear(uint8_t factor);
// Ask the root thread "System" to release the tree; from a thread of the tree this returns at
// once and the caller is released in its own stage. The restart variant first sets the end
// status 1, which makes the program run its restart command after the threads ended.
// 0x80000000 when there is no "System" thread or the release was refused.
[[nodiscard]] JLIB::JResult sendMessageShutdown(uint8_t factor);
[[nodiscard]] JLIB::JResult sendMessageRestartWithInitialize(uint8_t factor);

}  // namespace LPC
