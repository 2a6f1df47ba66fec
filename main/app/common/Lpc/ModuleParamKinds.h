#pragma once
// The parameter kinds of the rack's DSP modules: where each parameter lies in one module's
// parameter list (first number, elements per module, stride, invert). Compile-time only.
#include "common/Lpc/ModuleParam.h"

namespace LPC {

namespace iPT {
struct SrcIdToOutput : ParamKind<0, 0> {};  // input patch: covered in runs only
}  // namespace iPT

namespace aVL2 {
struct Switch : ParamKind<20, 20> {};
}  // namespace aVL2

namespace VL {
struct Volume : ParamKind<0, 16> {};
struct Switch : ParamKind<16, 16> {};
}  // namespace VL

namespace IB {
struct Delay : ParamKind<0, 16> {};
struct Volume : ParamKind<32, 16> {};
struct Switch : ParamKind<48, 16> {};
struct CurPeak : ParamKind<80, 16> {};
}  // namespace IB

namespace o3IB {
struct CurPeakAuxOut : ParamKind<83, 1> {};
struct CurPeakBinauralOut : ParamKind<84, 2> {};
}  // namespace o3IB

namespace Sel {
struct Sel : ParamKind<0, 1> {};
}  // namespace Sel

namespace LFEHPF {
struct On : ParamKind<0, 1> {};
struct Type : ParamKind<1, 1> {};
struct Freq : ParamKind<2, 1> {};
}  // namespace LFEHPF

namespace LFELPF {
struct On : ParamKind<0, 1> {};
struct Type : ParamKind<1, 1> {};
struct Freq : ParamKind<2, 1> {};
}  // namespace LFELPF

namespace PEQ {
// The equaliser's bypass, whose sense is the opposite of "on".
struct BypassInvert : ParamKind<2, 0, 1, true> {};
}  // namespace PEQ

namespace ThreeDRevPEQ {
// Band b starts 43 × b parameters further on; each kind has eight elements five apart.
template <int Band>
struct BandBypass : ParamKind<3 + 43 * Band, 8, 5> {
    static_assert(Band >= 0 && Band <= 3, "the equaliser has four bands");
};
template <int Band>
struct BandGain : ParamKind<5 + 43 * Band, 8, 5> {
    static_assert(Band >= 0 && Band <= 3, "the equaliser has four bands");
};
template <int Band>
struct BandFreq : ParamKind<6 + 43 * Band, 8, 5> {
    static_assert(Band >= 0 && Band <= 3, "the equaliser has four bands");
};
template <int Band>
struct BandQ : ParamKind<7 + 43 * Band, 8, 5> {
    static_assert(Band >= 0 && Band <= 3, "the equaliser has four bands");
};
}  // namespace ThreeDRevPEQ

namespace BiBi {
struct SX : ParamKind<0, 4, 20> {};
struct SY : ParamKind<1, 4, 20> {};
struct SZ : ParamKind<2, 4, 20> {};
struct LX : ParamKind<80, 1> {};
struct LY : ParamKind<81, 1> {};
struct LZ : ParamKind<82, 1> {};
struct Azimuth : ParamKind<83, 1> {};
}  // namespace BiBi

namespace OBA {
struct SX : ParamKind<0, 16, 20> {};
struct SY : ParamKind<1, 16, 20> {};
struct SZ : ParamKind<2, 16, 20> {};
struct HSz : ParamKind<3, 16, 20> {};
struct VSz : ParamKind<4, 16, 20> {};
struct Layer : ParamKind<18, 16, 20> {};
struct TwoDMod : ParamKind<19, 16, 20> {};
struct OX : ParamKind<320, 64, 5> {};
struct OY : ParamKind<321, 64, 5> {};
struct OZ : ParamKind<322, 64, 5> {};
struct Layer1 : ParamKind<323, 64, 5> {};
struct Layer2 : ParamKind<324, 64, 5> {};
}  // namespace OBA

namespace ThreeDErMtx {
struct OX : ParamKind<0, 64, 5> {};
struct OY : ParamKind<1, 64, 5> {};
struct OZ : ParamKind<2, 64, 5> {};
struct Layer1 : ParamKind<3, 64, 5> {};
struct Layer2 : ParamKind<4, 64, 5> {};
struct LayerID : ParamKind<320, 1> {};
struct RoomID : ParamKind<321, 1> {};
struct RoomSize : ParamKind<322, 1> {};
struct RCX : ParamKind<323, 1> {};
struct RCY : ParamKind<324, 1> {};
struct RCZ : ParamKind<325, 1> {};
}  // namespace ThreeDErMtx

namespace ThreeDSpMapper {
struct OX : ParamKind<0, 64, 5> {};
struct OY : ParamKind<1, 64, 5> {};
struct OZ : ParamKind<2, 64, 5> {};
struct Layer1 : ParamKind<3, 64, 5> {};
struct Layer2 : ParamKind<4, 64, 5> {};
struct LayerID : ParamKind<320, 1> {};
struct RCX : ParamKind<323, 1> {};
struct RCY : ParamKind<324, 1> {};
struct RCZ : ParamKind<325, 1> {};
}  // namespace ThreeDSpMapper

namespace ThreeDSpWeighter {
struct OX : ParamKind<0, 64, 5> {};
struct OY : ParamKind<1, 64, 5> {};
struct OZ : ParamKind<2, 64, 5> {};
struct Layer1 : ParamKind<3, 64, 5> {};
struct Layer2 : ParamKind<4, 64, 5> {};
struct LayerID : ParamKind<320, 1> {};
struct GainWeight : ParamKind<321, 3> {};
struct GainShape : ParamKind<324, 1> {};
struct DelayWeight : ParamKind<325, 3> {};
struct DelayShape : ParamKind<328, 1> {};
}  // namespace ThreeDSpWeighter

namespace ThreeDObjMapper {
struct RoomID : ParamKind<320, 1> {};
struct RoomSize : ParamKind<321, 1> {};
struct RCX : ParamKind<322, 1> {};
struct RCY : ParamKind<323, 1> {};
struct RCZ : ParamKind<324, 1> {};
}  // namespace ThreeDObjMapper

namespace ThreeDFIR16kx4 {
struct IRNoch0 : ParamKind<17, 4> {};
}  // namespace ThreeDFIR16kx4

namespace ThreeDSREV {
struct ReverbRatio : ParamKind<2, 1> {};
struct IRNoch0 : ParamKind<13, 2> {};
}  // namespace ThreeDSREV

namespace o3VL {
struct Volume : ParamKind<0, 4> {};
struct Switch : ParamKind<4, 4> {};
}  // namespace o3VL

namespace oSW64 {
struct Sw : ParamKind<0, 1> {};
}  // namespace oSW64

namespace obWG {
struct Output : ParamKind<0, 1> {};
struct Gain : ParamKind<1, 1> {};
struct Freq : ParamKind<2, 1> {};
struct Type : ParamKind<3, 1> {};
struct Intvl : ParamKind<4, 1> {};
}  // namespace obWG

namespace oscPT {
struct SrcIdToOutput : ParamKind<0, 64> {};
}  // namespace oscPT

namespace o2PT {
struct SrcIdToOutput : ParamKind<0, 256> {};
}  // namespace o2PT

}  // namespace LPC
