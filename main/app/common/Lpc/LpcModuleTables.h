#pragma once
// The DSP module instances of the rack server that the catalogue entries span: constant tables
// of (GUID text, module name) rows, one table per module kind, a row's position its module
// number. Built at compile time; any task reads them without a lock.

namespace LPC {

// One module instance. Writes to the rack and changes it reports name the module by its GUID
// text (36 characters, lower-case hexadecimal in groups of 8-4-4-4-12); the name is the
// instance path shown in listings. Both are program constants.
struct Module {
    const char* guid;
    const char* name;
};

namespace iPT {
extern const Module modules1[1];
extern const Module modules2[1];
}  // namespace iPT
namespace aVL2 {
extern const Module modules[5];
}  // namespace aVL2
namespace oVL1 {
extern const Module modules[8];
}  // namespace oVL1
namespace oVL4 {
extern const Module modules[4];
}  // namespace oVL4
namespace aIB2 {
extern const Module modules[6];
}  // namespace aIB2
namespace LFESel {
extern const Module modules[1];
}  // namespace LFESel
namespace BiSel {
extern const Module modules[2];
}  // namespace BiSel
namespace o3IB {
extern const Module modules[1];
}  // namespace o3IB
namespace LFEHPF {
extern const Module modules[1];
}  // namespace LFEHPF
namespace LFELPF {
extern const Module modules[1];
}  // namespace LFELPF
namespace ThreeDRevPEQ {
extern const Module modules[3];
}  // namespace ThreeDRevPEQ
namespace BiBi {
extern const Module modules4_48[48];  // rows 0 to 47 of modules
extern const Module modules[51];
}  // namespace BiBi
namespace BiIB {
extern const Module modules4[1];
extern const Module modules0_3[4];
}  // namespace BiIB
namespace EIB {
extern const Module modules[8];
}  // namespace EIB
namespace oIB2 {
extern const Module modules[8];
}  // namespace oIB2
namespace oIB3 {
extern const Module modules[4];
}  // namespace oIB3
namespace LFEIB {
extern const Module modules[8];
}  // namespace LFEIB
namespace ThreeDVL1 {
extern const Module modules[8];
}  // namespace ThreeDVL1
namespace ThreeDVL2 {
extern const Module modules[16];
}  // namespace ThreeDVL2
namespace oOBA {
extern const Module modules[8];
}  // namespace oOBA
namespace ThreeDErMtx {
extern const Module modules[7];
}  // namespace ThreeDErMtx
namespace ThreeDSpMapper {
extern const Module modules[1];
}  // namespace ThreeDSpMapper
namespace ThreeDSpWeighter {
extern const Module modules[1];
}  // namespace ThreeDSpWeighter
namespace ThreeDObjMapper {
extern const Module modules[8];
}  // namespace ThreeDObjMapper
namespace ThreeDFIR16kx4 {
extern const Module modules[2];
}  // namespace ThreeDFIR16kx4
namespace ThreeDSREV {
extern const Module modules[4];
}  // namespace ThreeDSREV
namespace ThreeDIB0 {
extern const Module modules[1];
}  // namespace ThreeDIB0
namespace ThreeDIB1 {
extern const Module modules[1];
}  // namespace ThreeDIB1
namespace oVL3 {
extern const Module modules[4];
}  // namespace oVL3
namespace o3VL {
extern const Module modules[1];
}  // namespace o3VL
namespace oSW64 {
extern const Module modules[1];
}  // namespace oSW64
namespace oIB4 {
extern const Module modules[4];
}  // namespace oIB4
namespace obWG {
extern const Module modules[1];
}  // namespace obWG
namespace oscPT {
extern const Module modules[1];
}  // namespace oscPT
namespace o2PT {
extern const Module modules[1];
}  // namespace o2PT

}  // namespace LPC
