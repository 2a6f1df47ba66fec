// Start-up of the shipped component definition files: they are read, parsed, registered and added
// to the eleven databases exactly as the device-control thread does, then checked against every
// address table of the engine and against the rules the engine's code relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcMemoryItem.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcRecallSafe.h"
#include "common/Lpc/LpcSceneList.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "editor/PrmAddrInfo.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "common/Lpc/ModuleParamBase.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

#ifndef UZ_DESCRIPTOR_DIR
#error "UZ_DESCRIPTOR_DIR must name the shipped descriptor folder"
#endif

namespace {

using PDB::UniqId;

constexpr uint32_t kAudioCompo = 10;
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint8_t kWriteAll = 255;

const char* const kDatabaseNames[] = {"Profile",     "DeviceSetup",  "StaticSetup", "LocalSetup",
                                      "VDeviceSetup", "CommonSetup", "Status",      "SnapshotInfo",
                                      "PresetInfo",  "ProjectInfo",  "AudioCompo"};

// One row per definition file, in the thread's order. frozenNum and frozenHash fingerprint the
// first frozenNum addresses (text and type): stored images carry address indexes, so the order
// may only grow at the end.
struct FactoryRow {
    uint32_t db;
    uint32_t uid;
    const char* type;
    uint32_t addressNum;
    uint32_t frozenNum;
    uint64_t frozenHash;
};

const FactoryRow kFactory[] = {
    {0, 0, "Profile", 5, 5, 0x089D7654F04BB42Eull},
    {1, 0, "DeviceSetup", 9, 9, 0x275BC200D5DEBCC7ull},
    {2, 0, "StaticSetup", 1, 1, 0x6637EEA89497FB9Aull},
    {3, 0, "LocalSetup", 1, 1, 0x4E3F14393C3877C4ull},
    {4, 0, "VDeviceSetup", 6, 6, 0x22F6447B8358096Full},
    {5, 0, "CommonSetup", 2, 2, 0xD502A7A645B2B051ull},
    {6, 0, "Status", 9, 9, 0xAC5C8CB3A89766FAull},
    {7, 0, "SnapshotInfo", 13, 13, 0x4F4529F53D188F48ull},
    {8, 0, "PresetInfo", 13, 13, 0xB0E6208C69ECF773ull},
    {9, 0, "ProjectInfo", 10, 10, 0x118E9DCF35935555ull},
    {10, 0, "uzCurrent", 21, 21, 0xB234666A5C061768ull},
    {10, 1, "uzSetup", 98, 98, 0x01761433B795E209ull},
    {10, 2, "uzVolatile", 35, 35, 0x7AA3B54228B14602ull},
    {10, 3, "uzSceneStatus", 4, 4, 0xF3A2C603638229F7ull},
    {10, 4, "uzSceneList", 2, 2, 0x5962DBC614C73A1Dull},
    {10, 5, "uzPresetStatus", 4, 4, 0x7144250D5AF72461ull},
    {10, 6, "uzPresetList", 1, 1, 0x75DB7D8AA34DD3A1ull},
};

// The OSC protocol table: database address (the "uz:" text with "/" in front), component unique id
// in "AudioCompo", member letters, total of the plug-in catalogue entry that carries it (0: no
// plug-in) and whether one value is sent to all parameters of that entry.
struct ProtocolRow {
    const char* address;
    uint32_t uid;
    const char* postFix;
    uint32_t catalogueTotal;
    bool sendToAllParams;
};

const ProtocolRow kProtocol[] = {
    {"/AuxIn/Label/Name", 1, "", 0, false},  // 0
    {"/AuxIn/Patch/Source", 1, "", 96, false},  // 1
    {"/AuxIn/Solo/On", 2, "", 0, false},  // 2
    {"/AuxIn/Solo/On_Internal", 2, "", 96, false},  // 3
    {"/AuxIn/Delay/Time", 1, "", 96, false},  // 4
    {"/AuxIn/Fader/Level", 1, "", 96, false},  // 5
    {"/AuxIn/Fader/On", 1, "", 96, false},  // 6
    {"/AuxIn/MasterFader/Level", 1, "", 0, false},  // 7
    {"/AuxIn/MasterFader/On", 1, "", 0, false},  // 8
    {"/AuxOut/Source", 1, "", 1, false},  // 9
    {"/AuxOut/Fader/Level", 1, "", 1, false},  // 10
    {"/AuxOut/Fader/On", 1, "", 1, false},  // 11
    {"/AuxOut/Delay/Time", 1, "", 1, false},  // 12
    {"/AuxOut/HPF/On", 1, "", 1, false},  // 13
    {"/AuxOut/HPF/Freq", 1, "", 1, false},  // 14
    {"/AuxOut/HPF/Type", 1, "", 1, false},  // 15
    {"/AuxOut/LPF/On", 1, "", 1, false},  // 16
    {"/AuxOut/LPF/Freq", 1, "", 1, false},  // 17
    {"/AuxOut/LPF/Type", 1, "", 1, false},  // 18
    {"/Binaural/Fader/Level", 1, "", 2, true},  // 19
    {"/Binaural/Fader/On", 1, "", 2, true},  // 20
    {"/Binaural/Patch/Source", 1, "", 128, false},  // 21
    {"/Binaural/Listener/Position", 1, "xyz", 1, false},  // 22
    {"/Binaural/Listener/Azimth", 1, "", 1, false},  // 23
    {"/Binaural/Source", 1, "", 1, false},  // 24
    {"/Binaural/Surround/Fader/Level", 1, "", 12, true},  // 25
    {"/Binaural/Surround/Fader/On", 1, "", 12, true},  // 26
    {"/Binaural/ExternalIn/Label/Name", 1, "", 0, false},  // 27
    {"/Binaural/ExternalIn/Fader/Level", 1, "", 128, false},  // 28
    {"/Binaural/ExternalIn/Fader/On", 1, "", 128, false},  // 29
    {"/Binaural/ExternalIn/Delay/Time", 1, "", 128, false},  // 30
    {"/Binaural/Reverb/Fader/Level", 1, "", 64, true},  // 31
    {"/Binaural/Reverb/Fader/On", 1, "", 64, true},  // 32
    {"/Binaural/Reverb/Delay/Time", 1, "", 64, true},  // 33
    {"/BinauralControl/Position", 2, "xyz", 192, false},  // 34
    {"/SurroundIn/Fader/Level", 1, "", 0, false},  // 35
    {"/SurroundIn/Fader/On", 1, "", 0, false},  // 36
    {"/SurroundIn/Patch/Source", 1, "", 12, false},  // 37
    {"/OBA/Label/Name", 0, "", 0, false},  // 38
    {"/OBA/Label/Color", 0, "", 0, false},  // 39
    {"/OBA/Label/Icon", 0, "", 0, false},  // 40
    {"/OBA/Label/Type", 0, "", 0, false},  // 41
    {"/OBA/Object/Pair", 1, "", 0, false},  // 42
    {"/OBA/Patch/Source", 1, "", 128, false},  // 43
    {"/OBA/Solo/On", 2, "", 0, false},  // 44
    {"/OBA/Solo/On_Internal", 2, "", 128, false},  // 45
    {"/OBA/Object/Fader/Level", 0, "", 128, false},  // 46
    {"/OBA/Object/Fader/On", 0, "", 128, false},  // 47
    {"/OBA/Object/Visible", 0, "", 0, false},  // 48
    {"/OBA/Object/AuxSend/On", 0, "", 128, false},  // 49
    {"/OBA/Object/AuxSend/Level", 0, "", 128, false},  // 50
    {"/OBA/Object/RevSend/On", 0, "", 128, false},  // 51
    {"/OBA/Object/RevSend/Level", 0, "", 128, false},  // 52
    {"/OBA/Object/XYmode", 1, "", 128, false},  // 53
    {"/OBA/Object/Zone", 0, "", 128, false},  // 54
    {"/OBA/MasterFader/Level", 1, "", 64, true},  // 55
    {"/OBA/MasterFader/On", 1, "", 64, true},  // 56
    {"/OBA/MasterFader/Level_Internal", 2, "", 4, true},  // 57
    {"/OBA/MasterFader/On_Internal", 2, "", 4, true},  // 58
    {"/OBA/MainOut/Select", 1, "", 1, false},  // 59
    {"/OBA/DirectOut/Label/Name", 1, "", 0, false},  // 60
    {"/OBA/DirectOut/Fader/Level", 1, "", 0, false},  // 61
    {"/OBA/DirectOut/Fader/On", 1, "", 0, false},  // 62
    {"/OBA/RecOut/Label/Name", 1, "", 0, false},  // 63
    {"/OBA/RecOut/Fader/Level", 1, "", 64, false},  // 64
    {"/OBA/RecOut/Fader/On", 1, "", 64, false},  // 65
    {"/OBA/Space/Position", 1, "xy", 0, false},  // 66
    {"/OBA/Space/Center", 1, "xy", 0, false},  // 67
    {"/OBA/Space/Height", 1, "LMH", 0, false},  // 68
    {"/OBA/Zone/Label/Name", 1, "", 0, false},  // 69
    {"/OBA/Speaker/Position", 1, "xyz", 64, false},  // 70
    {"/OBA/Speaker/Zone", 1, "", 0, false},  // 71
    {"/OBA/Speaker/Zone/Layer1", 2, "", 64, false},  // 72
    {"/OBA/Speaker/Zone/Layer2", 2, "", 64, false},  // 73
    {"/OBA/Object/PhysicalPosition", 0, "xyz", 128, false},  // 74
    {"/OBA/Object/LogicalPosition", 0, "xyz", 0, false},  // 75
    {"/OBA/Object/LogicalPosition_Internal", 2, "xyz", 0, false},  // 76
    {"/OBA/Object/SizeH", 0, "", 128, false},  // 77
    {"/OBA/Object/SizeV", 0, "", 128, false},  // 78
    {"/OBA/Object/RecallSafe/On", 1, "", 0, false},  // 79
    {"/OBA/Object/RecallSafe/Position", 1, "", 0, false},  // 80
    {"/OBA/Object/RecallSafe/Size", 1, "", 0, false},  // 81
    {"/OBA/Object/RecallSafe/AuxSend", 1, "", 0, false},  // 82
    {"/OBA/Object/RecallSafe/RevSend", 1, "", 0, false},  // 83
    {"/Oscillator/Level", 1, "", 1, false},  // 84
    {"/Oscillator/On", 2, "", 1, false},  // 85
    {"/Oscillator/Mode", 1, "", 1, false},  // 86
    {"/Oscillator/Frequency", 1, "", 1, false},  // 87
    {"/Oscillator/Interval", 1, "", 1, false},  // 88
    {"/Oscillator/SendAssign/ToSpeaker", 1, "", 0, false},  // 89
    {"/Oscillator/SendAssign/ToSpeaker_Internal", 2, "", 64, false},  // 90
    {"/ToSpeaker/Label/Name", 1, "", 0, false},  // 91
    {"/ToSpeaker/Solo/On", 2, "", 0, false},  // 92
    {"/ToSpeaker/Solo/On_Internal", 2, "", 64, false},  // 93
    {"/ToSpeaker/Channel/Visible", 1, "", 0, false},  // 94
    {"/ToSpeaker/Fader/Level", 1, "", 64, false},  // 95
    {"/ToSpeaker/Fader/On", 1, "", 64, false},  // 96
    {"/Output/Patch/Source", 1, "", 256, false},  // 97
    {"/3DRev/Pattern", 1, "", 1, false},  // 98
    {"/3DRev/FIR16x4/IRNo", 2, "", 7, false},  // 99
    {"/3DRev/SREV/IRNo", 2, "", 8, false},  // 100
    {"/3DRev/Center", 1, "xyz", 1, false},  // 101
    {"/3DRev/RoomSize", 1, "", 1, false},  // 102
    {"/3DRev/PreDelay", 1, "", 8, true},  // 103
    {"/3DRev/Decay", 1, "", 1, false},  // 104
    {"/3DRev/ERGain", 1, "", 7, true},  // 105
    {"/3DRev/RevGain", 1, "", 8, true},  // 106
    {"/3DRev/GainWeight", 1, "", 3, false},  // 107
    {"/3DRev/DelayWeight", 1, "", 3, false},  // 108
    {"/3DRev/GainShape", 1, "", 1, false},  // 109
    {"/3DRev/DelayShape", 1, "", 1, false},  // 110
    {"/3DRev/Zone", 1, "", 1, false},  // 111
    {"/3DRev/MasterFader/Level", 1, "", 16, true},  // 112
    {"/3DRev/PEQ/On", 1, "", 1, false},  // 113
    {"/3DRev/PEQ/Bypass", 1, "", 5, false},  // 114
    {"/3DRev/PEQ/Q", 1, "", 5, false},  // 115
    {"/3DRev/PEQ/F", 1, "", 5, false},  // 116
    {"/3DRev/PEQ/G", 1, "", 5, false},  // 117
    {"/SceneStatus/Bank/Info/DataType", 3, "", 0, false},  // 118
    {"/SceneStatus/Bank/Info/Protect", 3, "", 0, false},  // 119
    {"/SceneStatus/Bank/Info/Title", 3, "", 0, false},  // 120
    {"/SceneStatus/Bank/Info/Comment", 3, "", 0, false},  // 121
    {"/SceneList/Bank/Info/FileName", 4, "", 0, false},  // 122
    {"/SceneList/Bank/Info/SceneNumber", 4, "", 0, false},  // 123
    {"/PresetStatus/3DRev/Info/DataType", 5, "", 0, false},  // 124
    {"/PresetStatus/3DRev/Info/Protect", 5, "", 0, false},  // 125
    {"/PresetStatus/3DRev/Info/Title", 5, "", 0, false},  // 126
    {"/PresetStatus/3DRev/Info/Comment", 5, "", 0, false},  // 127
    {"/PresetList/3DRev/Info/FileName", 6, "", 0, false},  // 128
    {"/Scene/Current/EditFlag", 1, "", 0, false},  // 129
    {"/Scene/Last/SceneNumber", 1, "", 0, false},  // 130
    {"/Project/remainingNum", 2, "", 0, false},  // 131
    {"/Scene/Sync/Scene/remainingNum", 2, "", 0, false},  // 132
    {"/Scene/Sync/Library/remainingNum", 2, "", 0, false},  // 133
    {"/Scene/Status/EnableSceneView", 2, "", 0, false},  // 134
    {"/Scene/Status/CanRecall", 2, "", 0, false},  // 135
    {"/Scene/Status/CanUpdate", 2, "", 0, false},  // 136
    {"/Scene/Status/CanDelete", 2, "", 0, false},  // 137
    {"/Scene/Status/CanDuplicate", 2, "", 0, false},  // 138
    {"/Scene/Status/CanRecallUndo", 2, "", 0, false},  // 139
    {"/Scene/Status/CanUpdateUndo", 2, "", 0, false},  // 140
    {"/Scene/Status/CanFileUndo", 2, "", 0, false},  // 141
    {"/System/Name", 2, "", 0, false},  // 142
    {"/System/OBANum", 2, "", 0, false},  // 143
    {"/Show/On", 2, "", 0, false},  // 144
};

// Address tables of the engine that resolve against these definitions, each with the component
// it names. Later tables add their own rows here.
struct Checklist {
    const char* consumer;
    uint32_t db;
    uint32_t uid;
    std::vector<const char*> addresses;
};

const std::vector<Checklist>& checklists()
{
    static const std::vector<Checklist> lists = {
        {"device link table", kAudioCompo, 0,
         {"/OBA/Object/Fader/Level", "/OBA/Object/Fader/On", "/OBA/Object/Visible", "/OBA/Object/AuxSend/On",
          "/OBA/Object/AuxSend/Level", "/OBA/Object/RevSend/On", "/OBA/Object/RevSend/Level", "/OBA/Object/Zone",
          "/OBA/Object/PhysicalPosition@xyz@x", "/OBA/Object/LogicalPosition@xyz@x", "/OBA/Object/SizeH",
          "/OBA/Object/SizeV", "/OBA/Object/Zone", "/OBA/Object/PhysicalPosition@xyz@x"}},
        {"device link table", kAudioCompo, 1,
         {"/OBA/Object/Pair", "/OBA/Object/XYmode", "/OBA/Object/RecallSafe/On", "/OBA/Object/RecallSafe/Position",
          "/OBA/Object/RecallSafe/Size", "/OBA/Object/RecallSafe/AuxSend", "/OBA/Object/RecallSafe/RevSend",
          "/OBA/Space/Position@xy@x", "/OBA/Space/Center@xy@x", "/OBA/Space/Height@LMH@L", "/Binaural/Source",
          "/OBA/Speaker/Position@xyz@x", "/OBA/Speaker/Zone", "/Oscillator/SendAssign/ToSpeaker", "/3DRev/Pattern",
          "/OBA/MasterFader/Level", "/OBA/MasterFader/On"}},
        {"device link table", kAudioCompo, 2,
         {"/OBA/Solo/On", "/OBA/Object/LogicalPosition_Internal@xyz@x", "/AuxIn/Solo/On", "/AuxIn/Solo/On_Internal",
          "/OBA/Solo/On", "/OBA/Solo/On_Internal", "/ToSpeaker/Solo/On", "/ToSpeaker/Solo/On_Internal", "/Show/On",
          "/BinauralControl/Position@xyz@x", "/OBA/Speaker/Zone/Layer1", "/OBA/Speaker/Zone/Layer2",
          "/Oscillator/SendAssign/ToSpeaker_Internal", "/3DRev/FIR16x4/IRNo", "/3DRev/SREV/IRNo",
          "/OBA/MasterFader/Level_Internal", "/OBA/MasterFader/On_Internal"}},
        {"default strategy of uzCurrent", kAudioCompo, 0, {"/OBA/Label/Name"}},
        {"default strategy of uzSetup", kAudioCompo, 1,
         {"/AuxIn/Label/Name", "/Binaural/ExternalIn/Label/Name", "/OBA/DirectOut/Label/Name",
          "/OBA/RecOut/Label/Name", "/OBA/Zone/Label/Name", "/ToSpeaker/Label/Name", "/OBA/Space/Position@xy@x",
          "/OBA/Space/Position@xy@y", "/3DRev/PEQ/F"}},
        {"recall-safe switches", kAudioCompo, 1,
         {"/OBA/Object/RecallSafe/On", "/OBA/Object/RecallSafe/Position", "/OBA/Object/RecallSafe/Size",
          "/OBA/Object/RecallSafe/AuxSend", "/OBA/Object/RecallSafe/RevSend"}},
        {"recall-safe held-back parameters", kAudioCompo, 0,
         {"/OBA/Object/PhysicalPosition@xyz@x", "/OBA/Object/PhysicalPosition@xyz@y",
          "/OBA/Object/PhysicalPosition@xyz@z", "/OBA/Object/LogicalPosition@xyz@x",
          "/OBA/Object/LogicalPosition@xyz@y", "/OBA/Object/LogicalPosition@xyz@z", "/OBA/Object/SizeH",
          "/OBA/Object/SizeV", "/OBA/Object/AuxSend/On", "/OBA/Object/AuxSend/Level", "/OBA/Object/RevSend/On",
          "/OBA/Object/RevSend/Level"}},
        {"scene list information", 7, 0, {"/Info/DataType", "/Info/Protect", "/Info/Title", "/Info/Comment"}},
        {"scene list status", kAudioCompo, 3,
         {"/SceneStatus/Bank/Info/DataType", "/SceneStatus/Bank/Info/Protect", "/SceneStatus/Bank/Info/Title",
          "/SceneStatus/Bank/Info/Comment"}},
        {"scene list slots", kAudioCompo, 4, {"/SceneList/Bank/Info/SceneNumber", "/SceneList/Bank/Info/FileName"}},
        {"scene list bookkeeping", kAudioCompo, 1, {"/Scene/Last/SceneNumber", "/Scene/Current/EditFlag"}},
        {"scene list can-do flags", kAudioCompo, 2,
         {"/Scene/Status/CanUpdate", "/Scene/Status/CanDuplicate", "/Scene/Status/CanRecall",
          "/Scene/Status/CanRecallUndo", "/Scene/Status/CanUpdateUndo", "/Scene/Status/CanFileUndo"}},
        {"3D-reverb preset contents", kAudioCompo, 1,
         {"/3DRev/Pattern", "/3DRev/Center@xyz@x", "/3DRev/Center@xyz@y", "/3DRev/Center@xyz@z", "/3DRev/RoomSize",
          "/3DRev/Zone", "/3DRev/PreDelay", "/3DRev/Decay", "/3DRev/ERGain", "/3DRev/RevGain", "/3DRev/GainWeight",
          "/3DRev/DelayWeight", "/3DRev/GainShape", "/3DRev/DelayShape", "/3DRev/MasterFader/Level",
          "/3DRev/PEQ/On", "/3DRev/PEQ/Bypass", "/3DRev/PEQ/Q", "/3DRev/PEQ/F", "/3DRev/PEQ/G"}},
        {"3D-reverb preset status", kAudioCompo, 5,
         {"/PresetStatus/3DRev/Info/Protect", "/PresetStatus/3DRev/Info/Title"}},
        {"3D-reverb preset list", kAudioCompo, 6, {"/PresetList/3DRev/Info/FileName"}},
        {"current 3D-reverb preset", kAudioCompo, 0, {"/3DRev/Preset"}},
        {"test scene parameters", kAudioCompo, 0,
         {"/OBA/Label/Name", "/OBA/Label/Color", "/OBA/Label/Icon", "/OBA/Label/Type", "/OBA/Object/Fader/Level",
          "/OBA/Object/Fader/On", "/OBA/Object/Visible", "/OBA/Object/AuxSend/On", "/OBA/Object/AuxSend/Level",
          "/OBA/Object/RevSend/On", "/OBA/Object/RevSend/Level", "/OBA/Object/PhysicalPosition@xyz@x",
          "/OBA/Object/PhysicalPosition@xyz@y", "/OBA/Object/PhysicalPosition@xyz@z",
          "/OBA/Object/LogicalPosition@xyz@x", "/OBA/Object/LogicalPosition@xyz@y",
          "/OBA/Object/LogicalPosition@xyz@z", "/OBA/Object/SizeH", "/OBA/Object/SizeV"}},
        {"speaker position files", kAudioCompo, 1,
         {"/ToSpeaker/Label/Name", "/OBA/Speaker/Position@xyz@x", "/OBA/Speaker/Position@xyz@y",
          "/OBA/Speaker/Position@xyz@z", "/ToSpeaker/Fader/On"}},
        {"device information", 0, 0,
         {"/Specification/SyncVersion", "/Specification/ProductVariationName", "/Specification/FirmwareVersion",
          "/Specification/SerialNumber", "/OPV/Capacity"}},
        {"device information", 1, 0,
         {"/Setup/DeviceName", "/Setup/UnitID", "/Network/OPVControlPort/IPSetting",
          "/Network/OPVControlPort/StaticIPAddress", "/Network/OPVControlPort/SubnetMask",
          "/Network/OPVControlPort/Gateway", "/Network/OPVControlPort/CurrentIPAddress",
          "/Network/OPVControlPort/CurrentSubnetMask", "/Network/OPVControlPort/CurrentGateway"}},
        {"device information", 2, 0, {"/Setup/AdminPin"}},
        {"device information", 4, 0,
         {"/Setup/DeviceName", "/Setup/UnitID", "/Specification/ProductVariationName", "/Specification/SyncVersion",
          "/Setup/AdminPin", "/OPV/Capacity"}},
        {"device information", 5, 0, {"/Config/ExpectedFs", "/Meter/PeakHold/On"}},
        {"device information", 6, 0, {"/Status/Battery"}},
        {"sync counters", 6, 0,
         {"/DirSyncFrom/ParameterSet/InitSyncNum", "/DirSyncFrom/ParameterSet/RequestedNum",
          "/DirSyncFrom/Snapshot/InitSyncNum", "/DirSyncFrom/Snapshot/RequestedNum",
          "/DirSyncTo/ParameterSet/InitSyncNum", "/DirSyncTo/ParameterSet/RequestedNum",
          "/DirSyncTo/Snapshot/InitSyncNum", "/DirSyncTo/Snapshot/RequestedNum"}},
        {"sync counter copies", kAudioCompo, 2, {"/Scene/Sync/Scene/remainingNum", "/Scene/Sync/Library/remainingNum"}},
        {"engine status", kAudioCompo, 2,
         {"/Scene/Status/EnableSceneView", "/Project/remainingNum", "/System/Name", "/System/OBANum"}},
        {"solo clear", kAudioCompo, 2,
         {"/AuxIn/Solo/On", "/AuxIn/Solo/On_Internal", "/OBA/Solo/On", "/OBA/Solo/On_Internal", "/ToSpeaker/Solo/On",
          "/ToSpeaker/Solo/On_Internal"}},
        {"speaker file", kAudioCompo, 1,
         {"/ToSpeaker/Label/Name", "/OBA/Speaker/Position@xyz@x", "/OBA/Speaker/Position@xyz@y",
          "/OBA/Speaker/Position@xyz@z", "/ToSpeaker/Fader/On"}},
        {"preset information", 8, 0,
         {"/Info/ProductName", "/Info/ProductSubName", "/Info/PresetType", "/Info/Protect", "/Info/Title",
          "/Info/Comment", "/Info/OwnerName", "/Info/TimeStamp/Year", "/Info/TimeStamp/Month", "/Info/TimeStamp/Day",
          "/Info/TimeStamp/Hour", "/Info/TimeStamp/Minute", "/Info/TimeStamp/Second"}},
        {"snapshot information", 7, 0,
         {"/Info/ProductName", "/Info/ProductSubName", "/Info/DataType", "/Info/Protect", "/Info/Title",
          "/Info/Comment", "/Info/OwnerName", "/Info/TimeStamp/Year", "/Info/TimeStamp/Month", "/Info/TimeStamp/Day",
          "/Info/TimeStamp/Hour", "/Info/TimeStamp/Minute", "/Info/TimeStamp/Second"}},
        {"project information", 9, 0,
         {"/Info/ProductName", "/Info/ProductSubName", "/Info/Comment", "/Info/OwnerName", "/Info/TimeStamp/Year",
          "/Info/TimeStamp/Month", "/Info/TimeStamp/Day", "/Info/TimeStamp/Hour", "/Info/TimeStamp/Minute",
          "/Info/TimeStamp/Second"}},
        {"peak hold", 5, 0, {"/Meter/PeakHold/On"}},
        {"position links", kAudioCompo, 0,
         {"/OBA/Object/PhysicalPosition@xyz@x", "/OBA/Object/PhysicalPosition@xyz@y",
          "/OBA/Object/PhysicalPosition@xyz@z", "/OBA/Object/LogicalPosition@xyz@x",
          "/OBA/Object/LogicalPosition@xyz@y", "/OBA/Object/LogicalPosition@xyz@z", "/OBA/Object/Zone"}},
        {"position links", kAudioCompo, 1,
         {"/OBA/Space/Position@xy@x", "/OBA/Space/Position@xy@y", "/OBA/Space/Center@xy@x", "/OBA/Space/Center@xy@y",
          "/OBA/Space/Height@LMH@L", "/OBA/Space/Height@LMH@M", "/OBA/Space/Height@LMH@H", "/Binaural/Source",
          "/OBA/Speaker/Position@xyz@x", "/OBA/Speaker/Position@xyz@y", "/OBA/Speaker/Position@xyz@z"}},
        {"position links", kAudioCompo, 2,
         {"/OBA/Object/LogicalPosition_Internal@xyz@x", "/OBA/Object/LogicalPosition_Internal@xyz@y",
          "/OBA/Object/LogicalPosition_Internal@xyz@z", "/BinauralControl/Position@xyz@x",
          "/BinauralControl/Position@xyz@y", "/BinauralControl/Position@xyz@z"}},
    };
    return lists;
}

PDB::IParameterDB& db(uint32_t id) { return PDB::gPDBCollection.getPDB(id); }

// The whole file and a terminating zero, as the thread reads it; false when any step fails.
bool readDefinitionFile(const std::string& path, std::vector<char>& text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        text.assign(size_t(size) + 1, '\0');
        ok = std::fread(text.data(), 1, size_t(size), file) == size_t(size);
    }
    std::fclose(file);
    return ok;
}

std::string pathOf(const FactoryRow& row) { return std::string(UZ_DESCRIPTOR_DIR) + "/" + row.type + "_1.json"; }

struct RowOutcome {
    bool read = false;
    std::string parsedName;
    uint32_t parsedVersion = 0;
    JLIB::JResult registered = kNone;
    JLIB::JResult added = kNone;
    JLIB::JResult strategyResolved = 0;  // rows without a strategy resolve nothing
    JLIB::JResult defaulted = kNone;
};

// The device logic's strategies of the two components with index-dependent defaults.
LPC::LpcUzParameterStrategyBase* strategyOf(const FactoryRow& row)
{
    if (row.db != kAudioCompo) return nullptr;
    if (row.uid == 0) return &LPC::gUzParameterStrategyCurrent;
    if (row.uid == 1) return &LPC::gUzParameterStrategySetup;
    return nullptr;
}

struct StartUp {
    std::string log;
    std::vector<RowOutcome> rows;
};

// The device-control thread's start-up: create the eleven databases, then per row read, parse,
// register (with the device logic's strategy where there is one), add the component with sizes 0,
// resolve its strategy's table and set it to its defaults.
StartUp runStartUp(PDB::IMutex& lock)
{
    (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
    StartUp out;
    testing::internal::CaptureStdout();
    for (uint32_t id = 0; id < std::size(kDatabaseNames); ++id) {
        EXPECT_EQ(0u, PDB::createPDB(id, kDatabaseNames[id], &lock, 0)) << kDatabaseNames[id];
    }
    for (const FactoryRow& row : kFactory) {
        RowOutcome r;
        std::vector<char> text;
        r.read = readDefinitionFile(pathOf(row), text);
        if (r.read) {
            PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text.data());
            (void)info.setParameterStrategy(strategyOf(row));
            r.parsedName = info.componentName();
            r.parsedVersion = info.componentVersion();
            r.registered = PDB::getComponentInfoRepository().addComponentInfo(info);
        }
        PDB::IParameterDB& d = db(row.db);
        r.added = d.addComponent(UniqId(row.uid), row.type, 1, 0, 0, 0);
        if (LPC::LpcUzParameterStrategyBase* strategy = strategyOf(row)) r.strategyResolved = strategy->initialize(d);
        r.defaulted = d.setDefault(row.uid, kWriteAll);
        out.rows.push_back(r);
    }
    out.log = testing::internal::GetCapturedStdout();
    return out;
}

class DescriptorFilesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_startUp = new StartUp(runStartUp(s_lock)); }
    static void TearDownTestSuite()
    {
        for (uint32_t id = 0; id < std::size(kDatabaseNames); ++id) (void)PDB::destroyPDB(id);
        delete s_startUp;
        s_startUp = nullptr;
    }

    static uint32_t ci(const FactoryRow& row) { return db(row.db).getComponentIndex(UniqId(row.uid)); }
    static uint32_t ai(uint32_t dbId, uint32_t uid, const char* address)
    {
        return db(dbId).getAddressIndex(UniqId(uid), address);
    }
    static const PDB::ParameterInfo& info(uint32_t dbId, uint32_t uid, uint32_t addressIndex)
    {
        return db(dbId).paramInfo(db(dbId).getComponentIndex(UniqId(uid)), addressIndex);
    }

    static inline PDB::SimpleReadWriteMutex s_lock;  // outlives the databases
    static inline StartUp* s_startUp = nullptr;
};

uint8_t kindOf(uint8_t type) { return type >> 4; }
constexpr uint8_t kUnsignedKind = 1;
constexpr uint8_t kSignedKind = 2;
constexpr uint8_t kFloatKind = 3;
constexpr uint8_t kBoolKind = 4;
constexpr uint8_t kStringKind = 5;

// Every parameter of every shipped component, with where it lives.
template <typename Visit>
void forEachParameter(Visit visit)
{
    for (const FactoryRow& row : kFactory) {
        PDB::IParameterDB& d = db(row.db);
        const uint32_t c = d.getComponentIndex(UniqId(row.uid));
        for (uint32_t a = 0; a < d.addressNum(c); ++a) visit(row, c, a, d.paramInfo(c, a));
    }
}

TEST_F(DescriptorFilesTest, StartUpLogsNoErrorAndCreatesEveryComponentWithItsAddressCount)
{
    const StartUp& s = *s_startUp;
    EXPECT_EQ(std::string::npos, s.log.find("[E]")) << s.log;
    EXPECT_EQ(std::string::npos, s.log.find("exception id")) << s.log;
    ASSERT_EQ(std::size(kFactory), s.rows.size());
    for (size_t i = 0; i < std::size(kFactory); ++i) {
        const FactoryRow& row = kFactory[i];
        const RowOutcome& r = s.rows[i];
        SCOPED_TRACE(pathOf(row));
        ASSERT_TRUE(r.read);
        EXPECT_EQ(row.type, r.parsedName);  // the registered key must be the type name
        EXPECT_EQ(1u, r.parsedVersion);
        EXPECT_EQ(0u, r.registered);
        EXPECT_TRUE(PDB::getComponentInfoRepository().getComponentInfo(row.type, 1).isValid());
        EXPECT_FALSE(JLIB::isFailure(r.added));
        EXPECT_EQ(0u, r.strategyResolved);  // every address of its default table is declared
        EXPECT_FALSE(JLIB::isFailure(r.defaulted));
        // Each database receives its components in unique-id order, so index and id agree.
        EXPECT_EQ(row.uid, ci(row));
        EXPECT_EQ(row.addressNum, db(row.db).addressNum(ci(row)));
        EXPECT_STREQ(row.type, db(row.db).componentName(ci(row)));
    }
    for (uint32_t id = 0; id < std::size(kDatabaseNames); ++id) {
        EXPECT_EQ(id == kAudioCompo ? 7u : 1u, db(id).componentNum()) << kDatabaseNames[id];
    }
}

TEST_F(DescriptorFilesTest, EngineAddressTablesResolveInTheirComponents)
{
    for (const Checklist& list : checklists()) {
        for (const char* address : list.addresses) {
            SCOPED_TRACE(std::string(list.consumer) + ": " + kDatabaseNames[list.db] + " component " +
                         std::to_string(list.uid) + " " + address);
            EXPECT_NE(kNone, ai(list.db, list.uid, address));
        }
    }
}

// The editor link's device-information table, as the engine holds it: every entry but the empty
// first one names an element that exists.
TEST_F(DescriptorFilesTest, DeviceInformationTableResolvesInItsDatabases)
{
    EXPECT_STREQ("", VDevice::PRM_ADDR_INFO_TABLE[0].dbName);
    for (size_t i = 1; i < VDevice::PRM_ADDR_INFO_NUM; ++i) {
        const VDevice::PRM_ADDR_INFO& entry = VDevice::PRM_ADDR_INFO_TABLE[i];
        SCOPED_TRACE(std::string(entry.key) + ": " + entry.dbName + " " + entry.path);
        const auto named = std::find_if(std::begin(kDatabaseNames), std::end(kDatabaseNames),
                                        [&](const char* name) { return std::string(name) == entry.dbName; });
        ASSERT_NE(std::end(kDatabaseNames), named);
        const uint32_t dbId = uint32_t(named - std::begin(kDatabaseNames));
        const uint32_t a = ai(dbId, entry.componentId, entry.path);
        ASSERT_NE(kNone, a);
        EXPECT_LT(entry.x, info(dbId, entry.componentId, a).numX);
        EXPECT_LT(entry.y, info(dbId, entry.componentId, a).numY);
    }
}

// The recall-safe table and the scene list's address table, as the engine holds them.
TEST_F(DescriptorFilesTest, RecallSafeAndSceneTablesResolveInTheirComponents)
{
    LPC::RecallSafe recallSafe;
    EXPECT_EQ(0u, recallSafe.initialize());
    EXPECT_NE(kNone, ai(kAudioCompo, 1, LPC::kRecallSafeOnAddress));
    for (const LPC::T_RECALLSAFE_INFO& row : LPC::gl_recallSafeInfos) {
        SCOPED_TRACE(row.recallSafe.address);
        EXPECT_NE(kNone, ai(kAudioCompo, row.recallSafe.category, row.recallSafe.address));
        for (const LPC::T_RECALLSAFE_PARAM& p : row.params) EXPECT_NE(kNone, ai(kAudioCompo, p.category, p.address));
    }
    for (const LPC::PDBAddressIdCache& row : LPC::gl_addressIds) {
        EXPECT_NE(kNone, ai(row.instanceId, row.uniqId, row.address)) << row.address;
    }
}

TEST_F(DescriptorFilesTest, ProtocolTableResolvesWithSignedIntegersAndCatalogueSizes)
{
    ASSERT_EQ(145u, std::size(kProtocol));
    size_t members = 0;
    for (const ProtocolRow& row : kProtocol) {
        const std::string fix = row.postFix;
        const size_t count = fix.empty() ? 1 : fix.size();
        for (size_t k = 0; k < count; ++k) {
            const std::string address =
                fix.empty() ? std::string(row.address) : std::string(row.address) + "@" + fix + "@" + fix[k];
            SCOPED_TRACE(address + " in component " + std::to_string(row.uid));
            ++members;
            const uint32_t a = ai(kAudioCompo, row.uid, address.c_str());
            ASSERT_NE(kNone, a);
            const PDB::ParameterInfo& p = info(kAudioCompo, row.uid, a);
            // The rack path takes integers only as Int32 and the OSC write compares types.
            const uint8_t kind = kindOf(p.type);
            EXPECT_TRUE(kind == kSignedKind || kind == kFloatKind || kind == kStringKind)
                << "type 0x" << std::hex << int(p.type);
            if (row.catalogueTotal != 0) {
                EXPECT_LE(p.numX, row.catalogueTotal);
                if (!row.sendToAllParams) {
                    EXPECT_EQ(row.catalogueTotal, p.numX);
                }
            }
        }
    }
    EXPECT_EQ(163u, members);
}

// The protocol memory's own table resolves member by member, as its initialisation does, and
// agrees with the protocol table above; every element of a member has plug-in targets.
TEST_F(DescriptorFilesTest, ProtocolMemoryTableResolvesEveryMember)
{
    size_t members = 0;
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        const ProtocolRow& row = kProtocol[item.index];
        const std::string base = LPC::getPdbAddressFromMemoryIndex(item.index);
        SCOPED_TRACE(base);
        EXPECT_EQ(row.address, base);
        EXPECT_EQ(row.uid, item.category);
        EXPECT_STREQ(row.postFix, item.postFix);
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const std::string member = LPC::getPdbAddressWithPostFix(base.c_str(), item.postFix, k);
            SCOPED_TRACE(member);
            ++members;
            const uint32_t a = ai(kAudioCompo, item.category, member.c_str());
            ASSERT_NE(kNone, a);
            if (item.pluginParams.empty()) {
                EXPECT_EQ(0u, row.catalogueTotal);
                continue;
            }
            const LPC::ModuleParamBase& first = *item.pluginParams[k].front();
            EXPECT_EQ(row.catalogueTotal, first.getTotalParamSize());
            EXPECT_EQ(row.sendToAllParams, first.isSendToAllParams());
            EXPECT_LE(info(kAudioCompo, item.category, a).numX, first.getTotalParamSize());
        }
    }
    EXPECT_EQ(163u, members);
}

TEST_F(DescriptorFilesTest, GroupMembersFollowEachOtherInMemberOrderWithOneShape)
{
    size_t groups = 0;
    forEachParameter([&](const FactoryRow& row, uint32_t c, uint32_t a, const PDB::ParameterInfo& p) {
        const std::string& address = p.strAddress;
        const size_t last = address.rfind('@');
        if (last == std::string::npos) return;
        SCOPED_TRACE(std::string(row.type) + " " + address);
        const size_t first = address.rfind('@', last - 1);
        ASSERT_NE(std::string::npos, first);
        const std::string base = address.substr(0, first);
        const std::string letters = address.substr(first + 1, last - first - 1);
        const std::string letter = address.substr(last + 1);
        ASSERT_EQ(1u, letter.size());
        const size_t k = letters.find(letter[0]);
        ASSERT_NE(std::string::npos, k);
        if (k != 0) return;  // checked from the group's first member
        ++groups;
        PDB::IParameterDB& d = db(row.db);
        for (size_t j = 1; j < letters.size(); ++j) {
            const PDB::ParameterInfo& member = d.paramInfo(c, a + uint32_t(j));
            EXPECT_EQ(base + "@" + letters + "@" + letters[j], member.strAddress);
            EXPECT_EQ(p.type, member.type);
            EXPECT_EQ(p.numX, member.numX);
            EXPECT_EQ(p.numY, member.numY);
        }
    });
    EXPECT_EQ(10u, groups);
}

// The limits and default of one parameter as numbers of its own kind.
struct Limits {
    bool ordered;
    bool defaultInside;
};

Limits limitsOf(const PDB::ParameterInfo& p)
{
    switch (kindOf(p.type)) {
    case kSignedKind:
        return {p.min.toInt32() <= p.max.toInt32(),
                p.min.toInt32() <= p.def.toInt32() && p.def.toInt32() <= p.max.toInt32()};
    case kUnsignedKind:
    case kBoolKind:
        return {p.min.toUInt32() <= p.max.toUInt32(),
                p.min.toUInt32() <= p.def.toUInt32() && p.def.toUInt32() <= p.max.toUInt32()};
    case kFloatKind:
        return {p.min.toFloat() <= p.max.toFloat(),
                p.min.toFloat() <= p.def.toFloat() && p.def.toFloat() <= p.max.toFloat()};
    default: {
        const char* text = p.def.toString();
        return {p.itemSize > 0, text && std::strlen(text) <= p.itemSize};
    }
    }
}

// Whether value equals the expected default, compared as the parameter's kind.
bool sameValue(const PDB::ParameterInfo& p, const JVariant& expected, const JVariant& value)
{
    switch (kindOf(p.type)) {
    case kSignedKind: return value.toInt32() == expected.toInt32();
    case kUnsignedKind:
    case kBoolKind: return value.toUInt32() == expected.toUInt32();
    case kFloatKind: return value.toFloat() == expected.toFloat();
    default: {
        const char* a = value.toString();
        const char* b = expected.toString();
        return a && b && std::strcmp(a, b) == 0;
    }
    }
}

TEST_F(DescriptorFilesTest, DefaultsLieWithinTheirRangeAndSurviveTheStartUpWrite)
{
    forEachParameter([&](const FactoryRow& row, uint32_t c, uint32_t a, const PDB::ParameterInfo& p) {
        SCOPED_TRACE(std::string(row.type) + " " + p.strAddress);
        const Limits limits = limitsOf(p);
        EXPECT_TRUE(limits.ordered);
        EXPECT_TRUE(limits.defaultInside);
        ASSERT_GT(p.numX, 0u);
        ASSERT_GT(p.numY, 0u);
        // The clamping default write at start-up must leave the first and the last element at the
        // default (the definition's, or the strategy's for the index).
        for (const auto& [x, y] : {std::pair{0u, 0u}, std::pair{p.numX - 1, p.numY - 1}}) {
            JVariant value, expected;
            ASSERT_FALSE(JLIB::isFailure(db(row.db).getVariant(value, c, a, x, y, nullptr)));
            ASSERT_FALSE(JLIB::isFailure(db(row.db).getDefault(expected, c, a, x, y)));
            EXPECT_TRUE(sameValue(p, expected, value)) << "element " << x << ", " << y;
        }
    });
}

TEST_F(DescriptorFilesTest, StrategyTablesResolveAndTheirDefaultsSurviveTheStartUpWrite)
{
    size_t rows = 0;
    for (const LPC::LpcUzParameterStrategyBase* strategy :
         {static_cast<const LPC::LpcUzParameterStrategyBase*>(&LPC::gUzParameterStrategyCurrent),
          static_cast<const LPC::LpcUzParameterStrategyBase*>(&LPC::gUzParameterStrategySetup)}) {
        const uint32_t uid = strategy == &LPC::gUzParameterStrategyCurrent ? 0 : 1;
        for (uint32_t row = 0; row < strategy->rowNum(); ++row, ++rows) {
            const char* address = strategy->defaultTable()[row].address;
            SCOPED_TRACE(std::string("component ") + std::to_string(uid) + " " + address);
            const uint32_t a = ai(kAudioCompo, uid, address);
            ASSERT_NE(kNone, a);
            const PDB::ParameterInfo& p = info(kAudioCompo, uid, a);
            // Every element holds the default the strategy gives it: none was clamped or cut.
            for (uint32_t x = 0; x < p.numX; ++x) {
                for (uint32_t y = 0; y < p.numY; ++y) {
                    JVariant value, expected;
                    ASSERT_FALSE(JLIB::isFailure(db(kAudioCompo).getVariant(value, uid, a, x, y, nullptr)));
                    ASSERT_FALSE(JLIB::isFailure(db(kAudioCompo).getDefault(expected, uid, a, x, y)));
                    ASSERT_TRUE(sameValue(p, expected, value)) << "element " << x << ", " << y;
                }
            }
        }
    }
    EXPECT_EQ(10u, rows);

    struct Case {
        uint32_t uid;
        const char* address;
        uint32_t x;
        uint32_t y;
        const char* text;
        int32_t number;
    };
    const Case cases[] = {
        {0, "/OBA/Label/Name", 0, 0, "Obj 001", 0},
        {0, "/OBA/Label/Name", 127, 0, "Obj 128", 0},
        {1, "/OBA/Zone/Label/Name", 9, 0, "Zone 10", 0},
        {1, "/ToSpeaker/Label/Name", 63, 0, "Sp 064", 0},
        {1, "/OBA/Space/Position@xy@x", 31, 6, nullptr, 2000},
        {1, "/OBA/Space/Position@xy@y", 31, 6, nullptr, 0},
        {1, "/OBA/Space/Position@xy@y", 0, 0, nullptr, 2000},
        {1, "/3DRev/PEQ/F", 2, 0, nullptr, 10000},
        {1, "/3DRev/PEQ/F", 4, 0, nullptr, 100000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.x) + "/" + std::to_string(c.y));
        JVariant value;
        ASSERT_FALSE(JLIB::isFailure(db(kAudioCompo).getVariant(value, c.uid, ai(kAudioCompo, c.uid, c.address), c.x,
                                                                c.y, nullptr)));
        if (c.text) {
            EXPECT_STREQ(c.text, value.toString());
        } else {
            EXPECT_EQ(c.number, value.toInt32());
        }
    }
}

TEST_F(DescriptorFilesTest, AttributesKeepVolatileStateLocalAndLetOnlyCurrentSettingsMarkTheScene)
{
    using PDB::ParamAttr;
    constexpr uint8_t all = ParamAttr::kRecallable | ParamAttr::kNonVolatile | ParamAttr::kSyncable |
                            ParamAttr::kNoEditMark;
    constexpr uint8_t local = ParamAttr::kRecallable | ParamAttr::kNoEditMark;
    constexpr uint8_t current = ParamAttr::kRecallable | ParamAttr::kNonVolatile | ParamAttr::kSyncable;
    forEachParameter([&](const FactoryRow& row, uint32_t, uint32_t, const PDB::ParameterInfo& p) {
        SCOPED_TRACE(std::string(row.type) + " " + p.strAddress);
        const std::string type = row.type;
        const bool syncCounter = type == "Status" && p.strAddress.rfind("/DirSync", 0) == 0;
        const uint8_t expected = type == "uzCurrent" ? current : (type == "uzVolatile" || syncCounter) ? local : all;
        EXPECT_EQ(expected, p.attr.flags());
    });
}

TEST_F(DescriptorFilesTest, SizesMatchTheEngineCounts)
{
    struct Case {
        uint32_t db;
        uint32_t uid;
        const char* address;
        uint32_t x;
        uint32_t y;
    };
    const Case cases[] = {
        {kAudioCompo, 0, "/OBA/Label/Name", 128, 1},
        {kAudioCompo, 0, "/OBA/Label/Type", 128, 1},
        {kAudioCompo, 1, "/OBA/Object/Pair", 128, 1},
        {kAudioCompo, 1, "/OBA/Object/RecallSafe/RevSend", 128, 1},
        {kAudioCompo, 2, "/OBA/Solo/On", 128, 1},
        {kAudioCompo, 2, "/OBA/Object/LogicalPosition_Internal@xyz@x", 128, 1},
        {kAudioCompo, 1, "/AuxIn/Label/Name", 96, 1},
        {kAudioCompo, 2, "/AuxIn/Solo/On", 96, 1},
        {kAudioCompo, 1, "/ToSpeaker/Label/Name", 64, 1},
        {kAudioCompo, 1, "/ToSpeaker/Channel/Visible", 64, 1},
        {kAudioCompo, 1, "/Oscillator/SendAssign/ToSpeaker", 64, 1},
        {kAudioCompo, 2, "/ToSpeaker/Solo/On", 64, 1},
        {kAudioCompo, 1, "/OBA/Speaker/Zone", 64, 32},
        {kAudioCompo, 1, "/OBA/Space/Position@xy@x", 32, 16},
        {kAudioCompo, 1, "/OBA/Space/Center@xy@x", 32, 1},
        {kAudioCompo, 1, "/OBA/Space/Height@LMH@L", 32, 1},
        {kAudioCompo, 1, "/OBA/Zone/Label/Name", 32, 1},
        {kAudioCompo, 1, "/OBA/DirectOut/Label/Name", 64, 1},
        {kAudioCompo, 1, "/Binaural/ExternalIn/Label/Name", 128, 1},
        {kAudioCompo, 1, "/3DRev/PEQ/F", 5, 1},
        {kAudioCompo, 3, "/SceneStatus/Bank/Info/DataType", 1000, 1},
        {kAudioCompo, 3, "/SceneStatus/Bank/Info/Protect", 1000, 1},
        {kAudioCompo, 3, "/SceneStatus/Bank/Info/Title", 1000, 1},
        {kAudioCompo, 3, "/SceneStatus/Bank/Info/Comment", 1000, 1},
        {kAudioCompo, 4, "/SceneList/Bank/Info/SceneNumber", 1000, 1},
        {kAudioCompo, 4, "/SceneList/Bank/Info/FileName", 1000, 1},
        {kAudioCompo, 5, "/PresetStatus/3DRev/Info/DataType", 128, 1},
        {kAudioCompo, 5, "/PresetStatus/3DRev/Info/Protect", 128, 1},
        {kAudioCompo, 5, "/PresetStatus/3DRev/Info/Title", 128, 1},
        {kAudioCompo, 5, "/PresetStatus/3DRev/Info/Comment", 128, 1},
        {kAudioCompo, 6, "/PresetList/3DRev/Info/FileName", 128, 1},
        {kAudioCompo, 0, "/3DRev/Preset", 1, 1},
        {kAudioCompo, 1, "/Scene/Current/EditFlag", 1, 1},
        {6, 0, "/DirSyncFrom/Snapshot/InitSyncNum", 15, 1},  // console unit ids 0 to 14
        {6, 0, "/DirSyncTo/ParameterSet/RequestedNum", 15, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const uint32_t a = ai(c.db, c.uid, c.address);
        ASSERT_NE(kNone, a);
        EXPECT_EQ(c.x, info(c.db, c.uid, a).numX);
        EXPECT_EQ(c.y, info(c.db, c.uid, a).numY);
    }
    // Every information address is one value at (0, 0).
    for (uint32_t id = 0; id < kAudioCompo; ++id) {
        const uint32_t c = db(id).getComponentIndex(UniqId(0));
        for (uint32_t a = 0; a < db(id).addressNum(c); ++a) {
            const PDB::ParameterInfo& p = db(id).paramInfo(c, a);
            if (p.strAddress.rfind("/DirSync", 0) == 0) continue;
            EXPECT_EQ(1u, p.numX * p.numY) << kDatabaseNames[id] << " " << p.strAddress;
        }
    }
}

TEST_F(DescriptorFilesTest, StartValuesTheEngineReliesOn)
{
    struct Case {
        uint32_t db;
        uint32_t uid;
        const char* address;
        uint32_t x;
        int32_t value;
    };
    const Case cases[] = {
        {kAudioCompo, 2, "/AuxIn/Solo/On_Internal", 95, 1},  // audible while nothing is soloed
        {kAudioCompo, 2, "/OBA/Solo/On_Internal", 127, 1},
        {kAudioCompo, 2, "/ToSpeaker/Solo/On_Internal", 63, 1},
        {kAudioCompo, 2, "/Oscillator/SendAssign/ToSpeaker_Internal", 63, -1},  // switch off
        {kAudioCompo, 2, "/Scene/Status/EnableSceneView", 0, 1},              // nothing writes it at start
        {kAudioCompo, 2, "/Show/On", 0, 0},
        {kAudioCompo, 2, "/System/OBANum", 0, 128},
        {kAudioCompo, 1, "/Scene/Current/EditFlag", 0, 0},
        {kAudioCompo, 0, "/3DRev/Preset", 0, 0},
        {7, 0, "/Info/Protect", 0, 0},  // a set mark refuses the next store
        {8, 0, "/Info/Protect", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kDatabaseNames[c.db]) + " " + c.address);
        const uint32_t a = ai(c.db, c.uid, c.address);
        ASSERT_NE(kNone, a);
        JVariant value;
        ASSERT_FALSE(
            JLIB::isFailure(db(c.db).getVariant(value, db(c.db).getComponentIndex(UniqId(c.uid)), a, c.x, 0, nullptr)));
        EXPECT_EQ(c.value, value.toInt32());
    }
    // Space heights must ascend for the vertical conversion to be invertible.
    const uint32_t low = ai(kAudioCompo, 1, "/OBA/Space/Height@LMH@L");
    ASSERT_NE(kNone, low);
    const uint32_t c = db(kAudioCompo).getComponentIndex(UniqId(1));
    EXPECT_LT(db(kAudioCompo).getSInt32(c, low, 31, 0, nullptr), db(kAudioCompo).getSInt32(c, low + 1, 31, 0, nullptr));
    EXPECT_LT(db(kAudioCompo).getSInt32(c, low + 1, 31, 0, nullptr), db(kAudioCompo).getSInt32(c, low + 2, 31, 0, nullptr));
}

TEST_F(DescriptorFilesTest, BinauralSourceOutsideObjectsAndSpeakersIsClampedNotStored)
{
    // A stored 2 would make every later binaural copy fail; the range keeps the source valid.
    const uint32_t a = ai(kAudioCompo, 1, "/Binaural/Source");
    ASSERT_NE(kNone, a);
    const uint32_t c = db(kAudioCompo).getComponentIndex(UniqId(1));
    EXPECT_FALSE(JLIB::isFailure(db(kAudioCompo).setVariant(c, a, 0, 0, JVariant(2), kWriteAll)));
    EXPECT_EQ(1, db(kAudioCompo).getSInt32(c, a, 0, 0, nullptr));
}

TEST_F(DescriptorFilesTest, PairFlagOfTheUnclippedLogicalPositionLandsOnItsOwnSpare)
{
    // An OSC write of the triple carries the pair flag as a fourth value at the next address index.
    const uint32_t x = ai(kAudioCompo, 2, "/OBA/Object/LogicalPosition_Internal@xyz@x");
    ASSERT_NE(kNone, x);
    const PDB::ParameterInfo& spare = info(kAudioCompo, 2, x + 3);
    EXPECT_EQ("/OBA/Object/LogicalPosition_Internal/PairFlag", spare.strAddress);
    EXPECT_EQ(std::string::npos, spare.strAddress.find('@'));  // never a protocol member
    EXPECT_EQ(kSignedKind, kindOf(spare.type));
    EXPECT_EQ(128u, spare.numX);
    const uint32_t c = db(kAudioCompo).getComponentIndex(UniqId(2));
    for (const uint32_t flag : {1u, 0u}) {  // written as UInt32 by the protocol memory
        ASSERT_FALSE(JLIB::isFailure(db(kAudioCompo).setVariant(c, x + 3, 127, 0, JVariant(flag), kWriteAll)));
        EXPECT_EQ(int32_t(flag), db(kAudioCompo).getSInt32(c, x + 3, 127, 0, nullptr));
    }
}

TEST_F(DescriptorFilesTest, AddressOrderOnlyGrowsAtTheEnd)
{
    for (const FactoryRow& row : kFactory) {
        SCOPED_TRACE(row.type);
        PDB::IParameterDB& d = db(row.db);
        const uint32_t c = ci(row);
        ASSERT_GE(d.addressNum(c), row.frozenNum);
        uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a over address, zero, type code
        const auto mix = [&hash](uint8_t byte) { hash = (hash ^ byte) * 0x100000001B3ull; };
        for (uint32_t a = 0; a < row.frozenNum; ++a) {
            const PDB::ParameterInfo& p = d.paramInfo(c, a);
            for (const char ch : p.strAddress) mix(uint8_t(ch));
            mix(0);
            mix(p.type);
        }
        EXPECT_EQ(row.frozenHash, hash) << "stored images use address indexes: append new addresses only; "
                                        << "fingerprint now 0x" << std::hex << hash;
    }
}

// The reader takes numbers from JSON strings only and stops the whole file at a text that is not a
// number, and it ignores unknown keys silently; so the raw files are checked key by key.
bool wholeInteger(const std::string& text, bool isSigned, int64_t lo, int64_t hi)
{
    if (text.empty() || std::isspace(uint8_t(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    return (isSigned || text[0] != '-') && v >= lo && v <= hi;
}

bool wholeFloat(const std::string& text)
{
    if (text.empty() || std::isspace(uint8_t(text[0]))) return false;
    char* end = nullptr;
    (void)std::strtod(text.c_str(), &end);
    return *end == '\0';
}

TEST(DescriptorFileTextTest, NumbersAreWholeJsonStringsAndEveryKeyIsKnown)
{
    const std::set<std::string> componentKeys = {"name", "majorVer", "minX", "minY", "maxX", "maxY",
                                                 "commentX", "commentY", "parameters"};
    const std::set<std::string> textKeys = {"strAddress", "type", "patternX", "patternY", "commentX", "commentY",
                                            "min", "max", "def", "nominal", "step", "unit", "kind", "defUI"};
    const std::set<std::string> attrKeys = {"recallable", "nonvolatile", "syncable", "noeditflag", "private"};
    struct Range {
        bool isSigned;
        int64_t lo;
        int64_t hi;
    };
    const std::map<std::string, Range> integerTypes = {
        {"UINT32", {false, 0, 0xFFFFFFFFll}}, {"UINT16", {false, 0, 0xFFFF}},   {"UINT8", {false, 0, 0xFF}},
        {"SINT32", {true, INT32_MIN, INT32_MAX}}, {"SINT16", {true, INT16_MIN, INT16_MAX}},
        {"SINT8", {true, INT8_MIN, INT8_MAX}},  {"BOOL", {false, 0, 1}}};
    for (const FactoryRow& row : kFactory) {
        SCOPED_TRACE(pathOf(row));
        std::ifstream in(pathOf(row));
        ASSERT_TRUE(in.good());
        const nlohmann::json file = nlohmann::json::parse(in);  // strict: a syntax error throws here
        ASSERT_TRUE(file.is_object());
        ASSERT_EQ(1u, file.size());
        const nlohmann::json& component = file.at("component");
        for (const auto& [key, value] : component.items()) EXPECT_TRUE(componentKeys.count(key)) << key;
        EXPECT_EQ(nlohmann::json(row.type), component.at("name"));
        EXPECT_TRUE(component.at("majorVer").is_number_unsigned());
        EXPECT_EQ(1u, component.at("majorVer").get<uint32_t>());
        const nlohmann::json& parameters = component.at("parameters");
        ASSERT_TRUE(parameters.is_array());
        std::set<std::string> addresses;
        for (const nlohmann::json& p : parameters) {
            ASSERT_TRUE(p.is_object());
            const std::string address = p.value("strAddress", std::string());
            SCOPED_TRACE(address);
            EXPECT_EQ('/', address.empty() ? '\0' : address[0]);
            EXPECT_TRUE(addresses.insert(address).second) << "defined twice";
            for (const auto& [key, value] : p.items()) {
                if (textKeys.count(key)) {
                    EXPECT_TRUE(value.is_string()) << key << " must be a JSON string";
                } else if (key == "scaling") {
                    EXPECT_TRUE(value.is_number_unsigned()) << key;
                } else if (key == "attr") {
                    ASSERT_TRUE(value.is_object());
                    for (const auto& [flag, on] : value.items()) {
                        EXPECT_TRUE(attrKeys.count(flag)) << flag;
                        EXPECT_TRUE(on.is_boolean()) << flag;
                    }
                } else {
                    ADD_FAILURE() << "unknown key " << key;
                }
            }
            for (const char* pattern : {"patternX", "patternY"}) {
                EXPECT_TRUE(wholeInteger(p.value(pattern, std::string("1")), false, 1, 0xFFFF)) << pattern;
            }
            const std::string type = p.value("type", std::string());
            const auto integer = integerTypes.find(type);
            if (type == "STRING") {
                EXPECT_TRUE(wholeInteger(p.value("max", std::string()), false, 1, 0xFFFF)) << "size";
                EXPECT_TRUE(p.contains("def"));
            } else if (type == "FLOAT" || integer != integerTypes.end()) {
                for (const char* key : {"min", "max", "def", "nominal", "step"}) {
                    if (!p.contains(key)) continue;
                    if (!p.at(key).is_string()) continue;  // reported above
                    const std::string text = p.at(key).get<std::string>();
                    const bool ok = type == "FLOAT" ? wholeFloat(text)
                                    : std::string(key) == "step"
                                        ? wholeInteger(text, false, 0, 0xFFFFFFFFll)
                                        : wholeInteger(text, integer->second.isSigned, integer->second.lo,
                                                       integer->second.hi);
                    EXPECT_TRUE(ok) << key << " \"" << text << "\"";
                }
                for (const char* key : {"min", "max", "def"}) EXPECT_TRUE(p.contains(key)) << key;
            } else {
                ADD_FAILURE() << "type \"" << type << "\" is not shipped";  // BINARY included: the editor refuses it
            }
        }
        EXPECT_EQ(row.addressNum, parameters.size());
    }
}

}  // namespace
