#include "common/Lpc/LpcOscParameterItem.h"

#include "common/Lpc/LpcExpression.h"

namespace LPC {

namespace {

constexpr MemoryIndex MI(int32_t row) { return static_cast<MemoryIndex>(row); }

}  // namespace

// address, memoryIndex, expression, isExposed
const OscParameterItem sParameterItemTable[MEMORY_INDEX_NUM] = {
    {"uz:AuxIn/Label/Name", MI(0), nullptr, true},
    {"uz:AuxIn/Patch/Source", MI(1), nullptr, true},
    {"uz:AuxIn/Solo/On", MI(2), &uzExpression_OnOff, true},
    {"uz:AuxIn/Solo/On_Internal", MI(3), &uzExpression_OnOff, false},
    {"uz:AuxIn/Delay/Time", MI(4), &uzExpression_DelayTime, true},
    {"uz:AuxIn/Fader/Level", MI(5), &uzExpression_Level, true},
    {"uz:AuxIn/Fader/On", MI(6), &uzExpression_OnOff, true},
    {"uz:AuxIn/MasterFader/Level", MI(7), &uzExpression_Level, true},
    {"uz:AuxIn/MasterFader/On", MI(8), &uzExpression_OnOff, true},
    {"uz:AuxOut/Source", MI(9), nullptr, true},
    {"uz:AuxOut/Fader/Level", MI(10), &uzExpression_Level, true},
    {"uz:AuxOut/Fader/On", MI(11), &uzExpression_OnOff, true},
    {"uz:AuxOut/Delay/Time", MI(12), &uzExpression_DelayTime, true},
    {"uz:AuxOut/HPF/On", MI(13), &uzExpression_OnOff, true},
    {"uz:AuxOut/HPF/Freq", MI(14), nullptr, true},
    {"uz:AuxOut/HPF/Type", MI(15), nullptr, true},
    {"uz:AuxOut/LPF/On", MI(16), &uzExpression_OnOff, true},
    {"uz:AuxOut/LPF/Freq", MI(17), nullptr, true},
    {"uz:AuxOut/LPF/Type", MI(18), nullptr, true},
    {"uz:Binaural/Fader/Level", MI(19), &uzExpression_Level, true},
    {"uz:Binaural/Fader/On", MI(20), &uzExpression_OnOff, true},
    {"uz:Binaural/Patch/Source", MI(21), nullptr, true},
    {"uz:Binaural/Listener/Position", MI(22), nullptr, true},
    {"uz:Binaural/Listener/Azimth", MI(23), nullptr, true},
    {"uz:Binaural/Source", MI(24), nullptr, true},
    {"uz:Binaural/Surround/Fader/Level", MI(25), &uzExpression_Level, true},
    {"uz:Binaural/Surround/Fader/On", MI(26), &uzExpression_OnOff, true},
    {"uz:Binaural/ExternalIn/Label/Name", MI(27), nullptr, true},
    {"uz:Binaural/ExternalIn/Fader/Level", MI(28), &uzExpression_Level, true},
    {"uz:Binaural/ExternalIn/Fader/On", MI(29), &uzExpression_OnOff, true},
    {"uz:Binaural/ExternalIn/Delay/Time", MI(30), &uzExpression_DelayTime, true},
    {"uz:Binaural/Reverb/Fader/Level", MI(31), &uzExpression_Level, true},
    {"uz:Binaural/Reverb/Fader/On", MI(32), &uzExpression_OnOff, true},
    {"uz:Binaural/Reverb/Delay/Time", MI(33), &uzExpression_DelayTime, true},
    {"uz:BinauralControl/Position", MI(34), nullptr, false},
    {"uz:SurroundIn/Fader/Level", MI(35), &uzExpression_Level, true},
    {"uz:SurroundIn/Fader/On", MI(36), &uzExpression_OnOff, true},
    {"uz:SurroundIn/Patch/Source", MI(37), nullptr, true},
    {"uz:OBA/Label/Name", MI(38), nullptr, true},
    {"uz:OBA/Label/Color", MI(39), nullptr, true},
    {"uz:OBA/Label/Icon", MI(40), nullptr, true},
    {"uz:OBA/Label/Type", MI(41), nullptr, true},
    {"uz:OBA/Object/Pair", MI(42), nullptr, true},
    {"uz:OBA/Patch/Source", MI(43), nullptr, true},
    {"uz:OBA/Solo/On", MI(44), &uzExpression_OnOff, true},
    {"uz:OBA/Solo/On_Internal", MI(45), &uzExpression_OnOff, false},
    {"uz:OBA/Object/Fader/Level", MI(46), &uzExpression_Level, true},
    {"uz:OBA/Object/Fader/On", MI(47), &uzExpression_OnOff, true},
    {"uz:OBA/Object/Visible", MI(48), &uzExpression_OnOff, true},
    {"uz:OBA/Object/AuxSend/On", MI(49), &uzExpression_OnOff, true},
    {"uz:OBA/Object/AuxSend/Level", MI(50), &uzExpression_Level, true},
    {"uz:OBA/Object/RevSend/On", MI(51), &uzExpression_OnOff, true},
    {"uz:OBA/Object/RevSend/Level", MI(52), &uzExpression_Level, true},
    {"uz:OBA/Object/XYmode", MI(53), nullptr, true},
    {"uz:OBA/Object/Zone", MI(54), nullptr, true},
    {"uz:OBA/MasterFader/Level", MI(55), &uzExpression_Level, true},
    {"uz:OBA/MasterFader/On", MI(56), &uzExpression_OnOff, true},
    {"uz:OBA/MasterFader/Level_Internal", MI(57), &uzExpression_Level, false},
    {"uz:OBA/MasterFader/On_Internal", MI(58), &uzExpression_OnOff, false},
    {"uz:OBA/MainOut/Select", MI(59), nullptr, true},
    {"uz:OBA/DirectOut/Label/Name", MI(60), nullptr, true},
    {"uz:OBA/DirectOut/Fader/Level", MI(61), &uzExpression_Level, true},
    {"uz:OBA/DirectOut/Fader/On", MI(62), &uzExpression_OnOff, true},
    {"uz:OBA/RecOut/Label/Name", MI(63), nullptr, true},
    {"uz:OBA/RecOut/Fader/Level", MI(64), &uzExpression_Level, true},
    {"uz:OBA/RecOut/Fader/On", MI(65), &uzExpression_OnOff, true},
    {"uz:OBA/Space/Position", MI(66), nullptr, true},
    {"uz:OBA/Space/Center", MI(67), nullptr, true},
    {"uz:OBA/Space/Height", MI(68), nullptr, true},
    {"uz:OBA/Zone/Label/Name", MI(69), nullptr, true},
    {"uz:OBA/Speaker/Position", MI(70), nullptr, true},
    {"uz:OBA/Speaker/Zone", MI(71), nullptr, true},
    {"uz:OBA/Speaker/Zone/Layer1", MI(72), nullptr, false},
    {"uz:OBA/Speaker/Zone/Layer2", MI(73), nullptr, false},
    {"uz:OBA/Object/PhysicalPosition", MI(74), nullptr, true},
    {"uz:OBA/Object/LogicalPosition", MI(75), nullptr, true},
    {"uz:OBA/Object/LogicalPosition_Internal", MI(76), nullptr, false},
    {"uz:OBA/Object/SizeH", MI(77), nullptr, true},
    {"uz:OBA/Object/SizeV", MI(78), nullptr, true},
    {"uz:OBA/Object/RecallSafe/On", MI(79), &uzExpression_OnOff, true},
    {"uz:OBA/Object/RecallSafe/Position", MI(80), &uzExpression_OnOff, true},
    {"uz:OBA/Object/RecallSafe/Size", MI(81), &uzExpression_OnOff, true},
    {"uz:OBA/Object/RecallSafe/AuxSend", MI(82), &uzExpression_OnOff, true},
    {"uz:OBA/Object/RecallSafe/RevSend", MI(83), &uzExpression_OnOff, true},
    {"uz:Oscillator/Level", MI(84), &uzExpression_Level, true},
    {"uz:Oscillator/On", MI(85), &uzExpression_OnOff, true},
    {"uz:Oscillator/Mode", MI(86), nullptr, true},
    {"uz:Oscillator/Frequency", MI(87), nullptr, true},
    {"uz:Oscillator/Interval", MI(88), nullptr, true},
    {"uz:Oscillator/SendAssign/ToSpeaker", MI(89), nullptr, true},
    {"uz:Oscillator/SendAssign/ToSpeaker_Internal", MI(90), nullptr, false},
    {"uz:ToSpeaker/Label/Name", MI(91), nullptr, true},
    {"uz:ToSpeaker/Solo/On", MI(92), &uzExpression_OnOff, true},
    {"uz:ToSpeaker/Solo/On_Internal", MI(93), &uzExpression_OnOff, false},
    {"uz:ToSpeaker/Channel/Visible", MI(94), &uzExpression_OnOff, true},
    {"uz:ToSpeaker/Fader/Level", MI(95), &uzExpression_Level, true},
    {"uz:ToSpeaker/Fader/On", MI(96), &uzExpression_OnOff, true},
    {"uz:Output/Patch/Source", MI(97), nullptr, true},
    {"uz:3DRev/Pattern", MI(98), nullptr, true},
    {"uz:3DRev/FIR16x4/IRNo", MI(99), nullptr, false},
    {"uz:3DRev/SREV/IRNo", MI(100), nullptr, false},
    {"uz:3DRev/Center", MI(101), nullptr, true},
    {"uz:3DRev/RoomSize", MI(102), nullptr, true},
    {"uz:3DRev/PreDelay", MI(103), nullptr, true},
    {"uz:3DRev/Decay", MI(104), nullptr, true},
    {"uz:3DRev/ERGain", MI(105), nullptr, true},
    {"uz:3DRev/RevGain", MI(106), nullptr, true},
    {"uz:3DRev/GainWeight", MI(107), nullptr, true},
    {"uz:3DRev/DelayWeight", MI(108), nullptr, true},
    {"uz:3DRev/GainShape", MI(109), nullptr, true},
    {"uz:3DRev/DelayShape", MI(110), nullptr, true},
    {"uz:3DRev/Zone", MI(111), nullptr, true},
    {"uz:3DRev/MasterFader/Level", MI(112), nullptr, true},
    {"uz:3DRev/PEQ/On", MI(113), nullptr, true},
    {"uz:3DRev/PEQ/Bypass", MI(114), nullptr, true},
    {"uz:3DRev/PEQ/Q", MI(115), nullptr, true},
    {"uz:3DRev/PEQ/F", MI(116), nullptr, true},
    {"uz:3DRev/PEQ/G", MI(117), nullptr, true},
    {"uz:SceneStatus/Bank/Info/DataType", MI(118), nullptr, false},
    {"uz:SceneStatus/Bank/Info/Protect", MI(119), nullptr, true},
    {"uz:SceneStatus/Bank/Info/Title", MI(120), nullptr, true},
    {"uz:SceneStatus/Bank/Info/Comment", MI(121), nullptr, true},
    {"uz:SceneList/Bank/Info/FileName", MI(122), nullptr, false},
    {"uz:SceneList/Bank/Info/SceneNumber", MI(123), nullptr, true},
    {"uz:PresetStatus/3DRev/Info/DataType", MI(124), nullptr, false},
    {"uz:PresetStatus/3DRev/Info/Protect", MI(125), nullptr, true},
    {"uz:PresetStatus/3DRev/Info/Title", MI(126), nullptr, true},
    {"uz:PresetStatus/3DRev/Info/Comment", MI(127), nullptr, true},
    {"uz:PresetList/3DRev/Info/FileName", MI(128), nullptr, false},
    {"uz:Scene/Current/EditFlag", MI(129), nullptr, true},
    {"uz:Scene/Last/SceneNumber", MI(130), nullptr, true},
    {"uz:Project/remainingNum", MI(131), nullptr, true},
    {"uz:Scene/Sync/Scene/remainingNum", MI(132), nullptr, true},
    {"uz:Scene/Sync/Library/remainingNum", MI(133), nullptr, true},
    {"uz:Scene/Status/EnableSceneView", MI(134), nullptr, true},
    {"uz:Scene/Status/CanRecall", MI(135), nullptr, true},
    {"uz:Scene/Status/CanUpdate", MI(136), nullptr, true},
    {"uz:Scene/Status/CanDelete", MI(137), nullptr, true},
    {"uz:Scene/Status/CanDuplicate", MI(138), nullptr, true},
    {"uz:Scene/Status/CanRecallUndo", MI(139), nullptr, true},
    {"uz:Scene/Status/CanUpdateUndo", MI(140), nullptr, true},
    {"uz:Scene/Status/CanFileUndo", MI(141), nullptr, true},
    {"uz:System/Name", MI(142), nullptr, true},
    {"uz:System/OBANum", MI(143), nullptr, true},
    {"uz:Show/On", MI(144), nullptr, true},
};

const OscParameterItem* getParameterItem(uint32_t row)
{
    return row < MEMORY_INDEX_NUM ? &sParameterItemTable[row] : nullptr;
}

std::string getParameterName(MemoryIndex index)
{
    // The row at the index's position: the table keeps row i at memory index i.
    const OscParameterItem* item = index < 0 ? nullptr : getParameterItem(static_cast<uint32_t>(index));
    return item ? item->address : std::string();
}

JLIB::JResult getMemoryIndexFromOscAddress(MemoryIndex& index, const char* address)
{
    if (!address) return JLIB::kFailed;
    for (const OscParameterItem& item : sParameterItemTable) {
        if (item.address == address) {
            index = item.memoryIndex;
            return JLIB::kOk;
        }
    }
    return JLIB::kFailed;
}

}  // namespace LPC
