#pragma once
// The catalogue entries: one program-wide constant per device quantity that reaches the rack,
// mapping its element indexes to rack module parameters (ModuleParamBase). Built at compile
// time, so they are complete before any start-up code runs, whatever the order of the units.
// The entries named Current...Level are the meter sources. A suffix _kofn marks the k-th of n
// entries that carry one quantity to n module kinds.
#include "common/Lpc/LpcModuleTables.h"
#include "common/Lpc/ModuleParam.h"
#include "common/Lpc/ModuleParamKinds.h"

namespace LPC {

inline constexpr ModuleParam<Module, iPT::SrcIdToOutput, IteratorPartialParam<0, 96>>
    AuxInPatchSource{iPT::modules1, 96, false, false};
inline constexpr ModuleParam<Module, iPT::SrcIdToOutput, IteratorPartialParam<0, 128>>
    BinauralPatchSource{iPT::modules2, 128, false, false};
inline constexpr ModuleParam<Module, iPT::SrcIdToOutput, IteratorPartialParam<128, 12>>
    SurroundInPatchSource{iPT::modules2, 12, false, false};
inline constexpr ModuleParam<Module, iPT::SrcIdToOutput, IteratorPartialParam<96, 128>>
    OBAPatchSource{iPT::modules1, 128, false, false};
inline constexpr ModuleParam<Module, aVL2::Switch, IteratorAll> AuxInSoloOn{aVL2::modules, 96, false, false};
inline constexpr ModuleParam<Module, VL::Switch, IteratorAll> OBASoloOn{oVL1::modules, 128, false, false};
inline constexpr ModuleParam<Module, VL::Switch, IteratorAll> ToSpeakerSoloOn{oVL4::modules, 64, false, false};
inline constexpr ModuleParam<Module, IB::Delay, IteratorAll> AuxInDelayTime{aIB2::modules, 96, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> AuxInFaderLevel{aIB2::modules, 96, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> AuxInFaderOn{aIB2::modules, 96, false, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll> CurrentAuxInInputLevel{aIB2::modules, 96, false, false};
inline constexpr ModuleParam<Module, Sel::Sel, IteratorAll> AuxOutSource{LFESel::modules, 1, false, false};
inline constexpr ModuleParam<Module, Sel::Sel, IteratorAll> BinauralSource{BiSel::modules, 1, false, true};
inline constexpr ModuleParam<Module, IB::Volume, IteratorSingleParam<3>>
    AuxOutFaderLevel{o3IB::modules, 1, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorSingleParam<3>> AuxOutFaderOn{o3IB::modules, 1, false, false};
inline constexpr ModuleParam<Module, IB::Delay, IteratorSingleParam<3>> AuxOutDelayTime{o3IB::modules, 1, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorPartialParam<4, 2>>
    BinauralFaderLevel{o3IB::modules, 2, true, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorPartialParam<4, 2>>
    BinauralFaderOn{o3IB::modules, 2, true, false};
inline constexpr ModuleParam<Module, o3IB::CurPeakAuxOut, IteratorAll>
    CurrentAuxOutOutputLevel{o3IB::modules, 1, false, false};
inline constexpr ModuleParam<Module, o3IB::CurPeakBinauralOut, IteratorAll>
    CurrentBinauralOutputLevel{o3IB::modules, 2, false, false};
inline constexpr ModuleParam<Module, LFEHPF::On, IteratorAll> AuxOutHPFOn{LFEHPF::modules, 1, false, false};
inline constexpr ModuleParam<Module, LFEHPF::Freq, IteratorAll> AuxOutHPFFreq{LFEHPF::modules, 1, false, false};
inline constexpr ModuleParam<Module, LFEHPF::Type, IteratorAll> AuxOutHPFType{LFEHPF::modules, 1, false, false};
inline constexpr ModuleParam<Module, LFELPF::On, IteratorAll> AuxOutLPFOn{LFELPF::modules, 1, false, false};
inline constexpr ModuleParam<Module, LFELPF::Freq, IteratorAll> AuxOutLPFFreq{LFELPF::modules, 1, false, false};
inline constexpr ModuleParam<Module, LFELPF::Type, IteratorAll> AuxOutLPFType{LFELPF::modules, 1, false, false};
inline constexpr ModuleParam<Module, PEQ::BypassInvert, IteratorSingleParam<0>>
    ThreeDRevPEQOn{ThreeDRevPEQ::modules, 1, false, true};
inline constexpr ModuleParam<Module, BiBi::LX, IteratorAll>
    BinauralListenerPositionX{BiBi::modules4_48, 1, false, true};
inline constexpr ModuleParam<Module, BiBi::LY, IteratorAll>
    BinauralListenerPositionY{BiBi::modules4_48, 1, false, true};
inline constexpr ModuleParam<Module, BiBi::LZ, IteratorAll>
    BinauralListenerPositionZ{BiBi::modules4_48, 1, false, true};
inline constexpr ModuleParam<Module, BiBi::Azimuth, IteratorAll> BinauralListenerAzimth{BiBi::modules, 1, false, true};
inline constexpr ModuleParam<Module, BiBi::SX, IteratorAll> BinauralSource_X{BiBi::modules4_48, 192, false, false};
inline constexpr ModuleParam<Module, BiBi::SY, IteratorAll> BinauralSource_Y{BiBi::modules4_48, 192, false, false};
inline constexpr ModuleParam<Module, BiBi::SZ, IteratorAll> BinauralSource_Z{BiBi::modules4_48, 192, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll>
    BinauralSurroundFaderLevel{BiIB::modules4, 12, true, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> BinauralSurroundFaderOn{BiIB::modules4, 12, true, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll>
    CurrentBinauralSurroundLevel{BiIB::modules4, 12, false, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll>
    CurrentBinauralReverbLevel{BiIB::modules0_3, 64, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll>
    BinauralReverbFaderLevel{BiIB::modules0_3, 64, true, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> BinauralReverbFaderOn{BiIB::modules0_3, 64, true, false};
inline constexpr ModuleParam<Module, IB::Delay, IteratorAll> BinauralReverbDelayTime{BiIB::modules0_3, 64, true, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll>
    BinauralExternalInFaderLevel{EIB::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll>
    BinauralExternalInFaderOn{EIB::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::Delay, IteratorAll>
    BinauralExternalInDelayTime{EIB::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll>
    CurrentBinauralExternalInLevel{EIB::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> OBAObjectFaderLevel{oIB2::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> OBAObjectFaderOn{oIB2::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll> CurrentOBAInputLevel{oIB2::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> ToSpeakerFaderLevel{oIB3::modules, 64, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> ToSpeakerFaderOn{oIB3::modules, 64, false, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll>
    CurrentToSpeakerOutputLevel{oIB3::modules, 64, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> OBAObjectAuxSendOn{LFEIB::modules, 128, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> OBAObjectAuxSendLevel{LFEIB::modules, 128, false, false};
inline constexpr ModuleParam<Module, VL::Switch, IteratorAll> OBAObjectRevSendOn{ThreeDVL1::modules, 128, false, false};
inline constexpr ModuleParam<Module, VL::Volume, IteratorAll>
    OBAObjectRevSendLevel{ThreeDVL1::modules, 128, false, false};
inline constexpr ModuleParam<Module, VL::Volume, IteratorAll>
    ThreeDRevMasterFaderLevel{ThreeDVL2::modules, 16, true, true};
inline constexpr ModuleParam<Module, OBA::TwoDMod, IteratorAll> OBAObjectXYmode_1of2{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::Layer, IteratorAll> OBAObjectZone_1of2{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::SX, IteratorAll>
    OBAObjectPhysicalPositionX_1of2{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::SY, IteratorAll>
    OBAObjectPhysicalPositionY_1of2{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::SZ, IteratorAll>
    OBAObjectPhysicalPositionZ_1of2{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::HSz, IteratorAll> OBAObjectSizeH{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::VSz, IteratorAll> OBAObjectSizeV{oOBA::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::OX, IteratorAll> OBASpeakerPositionX_1of4{oOBA::modules, 64, false, true};
inline constexpr ModuleParam<Module, OBA::OY, IteratorAll> OBASpeakerPositionY_1of4{oOBA::modules, 64, false, true};
inline constexpr ModuleParam<Module, OBA::OZ, IteratorAll> OBASpeakerPositionZ_1of4{oOBA::modules, 64, false, true};
inline constexpr ModuleParam<Module, OBA::Layer1, IteratorAll>
    OBASpeakerZone_Layer1_1of4{oOBA::modules, 64, false, true};
inline constexpr ModuleParam<Module, OBA::Layer2, IteratorAll>
    OBASpeakerZone_Layer2_1of4{oOBA::modules, 64, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::OX, IteratorAll>
    OBASpeakerPositionX_2of4{ThreeDErMtx::modules, 64, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::OY, IteratorAll>
    OBASpeakerPositionY_2of4{ThreeDErMtx::modules, 64, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::OZ, IteratorAll>
    OBASpeakerPositionZ_2of4{ThreeDErMtx::modules, 64, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::Layer1, IteratorAll>
    OBASpeakerZone_Layer1_2of4{ThreeDErMtx::modules, 64, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::Layer2, IteratorAll>
    OBASpeakerZone_Layer2_2of4{ThreeDErMtx::modules, 64, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::RoomID, IteratorAll>
    ThreeDRevPattern_3of4{ThreeDErMtx::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::RCX, IteratorAll>
    ThreeDRevCenterX_2of3{ThreeDErMtx::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::RCY, IteratorAll>
    ThreeDRevCenterY_2of3{ThreeDErMtx::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::RCZ, IteratorAll>
    ThreeDRevCenterZ_2of3{ThreeDErMtx::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::RoomSize, IteratorAll>
    ThreeDRevRoomSize_2of2{ThreeDErMtx::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDErMtx::LayerID, IteratorAll>
    ThreeDRevZone_1of3{ThreeDErMtx::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDSpMapper::OX, IteratorAll>
    OBASpeakerPositionX_3of4{ThreeDSpMapper::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::OY, IteratorAll>
    OBASpeakerPositionY_3of4{ThreeDSpMapper::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::OZ, IteratorAll>
    OBASpeakerPositionZ_3of4{ThreeDSpMapper::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::Layer1, IteratorAll>
    OBASpeakerZone_Layer1_3of4{ThreeDSpMapper::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::Layer2, IteratorAll>
    OBASpeakerZone_Layer2_3of4{ThreeDSpMapper::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::RCX, IteratorAll>
    ThreeDRevCenterX_3of3{ThreeDSpMapper::modules, 1, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::RCY, IteratorAll>
    ThreeDRevCenterY_3of3{ThreeDSpMapper::modules, 1, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::RCZ, IteratorAll>
    ThreeDRevCenterZ_3of3{ThreeDSpMapper::modules, 1, false, false};
inline constexpr ModuleParam<Module, ThreeDSpMapper::LayerID, IteratorAll>
    ThreeDRevZone_2of3{ThreeDSpMapper::modules, 1, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::OX, IteratorAll>
    OBASpeakerPositionX_4of4{ThreeDSpWeighter::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::OY, IteratorAll>
    OBASpeakerPositionY_4of4{ThreeDSpWeighter::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::OZ, IteratorAll>
    OBASpeakerPositionZ_4of4{ThreeDSpWeighter::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::Layer1, IteratorAll>
    OBASpeakerZone_Layer1_4of4{ThreeDSpWeighter::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::Layer2, IteratorAll>
    OBASpeakerZone_Layer2_4of4{ThreeDSpWeighter::modules, 64, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::GainWeight, IteratorAll>
    ThreeDRevGainWeight{ThreeDSpWeighter::modules, 3, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::DelayWeight, IteratorAll>
    ThreeDRevDelayWeight{ThreeDSpWeighter::modules, 3, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::GainShape, IteratorAll>
    ThreeDRevGainShape{ThreeDSpWeighter::modules, 1, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::DelayShape, IteratorAll>
    ThreeDRevDelayShape{ThreeDSpWeighter::modules, 1, false, false};
inline constexpr ModuleParam<Module, ThreeDSpWeighter::LayerID, IteratorAll>
    ThreeDRevZone_3of3{ThreeDSpWeighter::modules, 1, false, false};
inline constexpr ModuleParam<Module, OBA::TwoDMod, IteratorAll>
    OBAObjectXYmode_2of2{ThreeDObjMapper::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::Layer, IteratorAll>
    OBAObjectZone_2of2{ThreeDObjMapper::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::SX, IteratorAll>
    OBAObjectPhysicalPositionX_2of2{ThreeDObjMapper::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::SY, IteratorAll>
    OBAObjectPhysicalPositionY_2of2{ThreeDObjMapper::modules, 128, false, false};
inline constexpr ModuleParam<Module, OBA::SZ, IteratorAll>
    OBAObjectPhysicalPositionZ_2of2{ThreeDObjMapper::modules, 128, false, false};
inline constexpr ModuleParam<Module, ThreeDObjMapper::RoomID, IteratorAll>
    ThreeDRevPattern_1of4{ThreeDObjMapper::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDObjMapper::RCX, IteratorAll>
    ThreeDRevCenterX_1of3{ThreeDObjMapper::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDObjMapper::RCY, IteratorAll>
    ThreeDRevCenterY_1of3{ThreeDObjMapper::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDObjMapper::RCZ, IteratorAll>
    ThreeDRevCenterZ_1of3{ThreeDObjMapper::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDObjMapper::RoomSize, IteratorAll>
    ThreeDRevRoomSize_1of2{ThreeDObjMapper::modules, 1, false, true};
inline constexpr ModuleParam<Module, ThreeDFIR16kx4::IRNoch0, IteratorAll>
    ThreeDRevPattern_2of4{ThreeDFIR16kx4::modules, 7, false, false};
inline constexpr ModuleParam<Module, ThreeDSREV::IRNoch0, IteratorAll>
    ThreeDRevPattern_4of4{ThreeDSREV::modules, 8, false, false};
inline constexpr ModuleParam<Module, ThreeDSREV::ReverbRatio, IteratorAll>
    ThreeDRevDecay{ThreeDSREV::modules, 1, false, true};
inline constexpr ModuleParam<Module, IB::Delay, IteratorAll> ThreeDRevPreDelay_1of2{ThreeDIB0::modules, 8, true, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> ThreeDRevRevGain{ThreeDIB0::modules, 8, true, false};
inline constexpr ModuleParam<Module, IB::Delay, IteratorAll> ThreeDRevPreDelay_2of2{ThreeDIB1::modules, 7, true, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> ThreeDRevERGain{ThreeDIB1::modules, 7, true, false};
inline constexpr ModuleParam<Module, VL::Volume, IteratorAll> OBAMasterFaderLevel{oVL3::modules, 64, true, false};
inline constexpr ModuleParam<Module, VL::Switch, IteratorAll> OBAMasterFaderOn{oVL3::modules, 64, true, false};
inline constexpr ModuleParam<Module, o3VL::Volume, IteratorAll> OBAMasterFaderLevelLink{o3VL::modules, 4, true, false};
inline constexpr ModuleParam<Module, o3VL::Switch, IteratorAll> OBAMasterFaderOnLink{o3VL::modules, 4, true, false};
inline constexpr ModuleParam<Module, oSW64::Sw, IteratorAll> OBAMainOutSelect{oSW64::modules, 1, false, false};
inline constexpr ModuleParam<Module, IB::Volume, IteratorAll> OBARecOutFaderLevel{oIB4::modules, 64, false, false};
inline constexpr ModuleParam<Module, IB::Switch, IteratorAll> OBARecOutFaderOn{oIB4::modules, 64, false, false};
inline constexpr ModuleParam<Module, IB::CurPeak, IteratorAll> CurrentOBARecOutLevel{oIB4::modules, 64, false, false};
inline constexpr ModuleParam<Module, obWG::Gain, IteratorAll> OscillatorLevel{obWG::modules, 1, false, false};
inline constexpr ModuleParam<Module, obWG::Output, IteratorAll> OscillatorOn{obWG::modules, 1, false, false};
inline constexpr ModuleParam<Module, obWG::Type, IteratorAll> OscillatorMode{obWG::modules, 1, false, false};
inline constexpr ModuleParam<Module, obWG::Freq, IteratorAll> OscillatorFrequency{obWG::modules, 1, false, false};
inline constexpr ModuleParam<Module, obWG::Intvl, IteratorAll> OscillatorInterval{obWG::modules, 1, false, false};
inline constexpr ModuleParam<Module, oscPT::SrcIdToOutput, IteratorAll>
    OscillatorSendAssignToSpeaker{oscPT::modules, 64, false, false};
inline constexpr ModuleParam<Module, o2PT::SrcIdToOutput, IteratorAll>
    OutputPatchSource{o2PT::modules, 256, false, false};

// The four bands of the 3D reverb equaliser, one entry per band 0 to 3.
template <int Band>
inline constexpr ModuleParam<Module, ThreeDRevPEQ::BandBypass<Band>, IteratorAll>
    ThreeDRevPEQBypass{ThreeDRevPEQ::modules, 5, false, true};
template <int Band>
inline constexpr ModuleParam<Module, ThreeDRevPEQ::BandQ<Band>, IteratorAll>
    ThreeDRevPEQQ{ThreeDRevPEQ::modules, 5, false, true};
template <int Band>
inline constexpr ModuleParam<Module, ThreeDRevPEQ::BandFreq<Band>, IteratorAll>
    ThreeDRevPEQF{ThreeDRevPEQ::modules, 5, false, true};
template <int Band>
inline constexpr ModuleParam<Module, ThreeDRevPEQ::BandGain<Band>, IteratorAll>
    ThreeDRevPEQG{ThreeDRevPEQ::modules, 5, false, true};

}  // namespace LPC
