#pragma once
// Default values of the device parameters that depend on the array index and so cannot be
// written in a component definition: numbered channel names, the sixteen boundary points of every
// space and the five 3D-reverb equaliser frequencies. Each procedure overwrites the value it is
// given (the definition's default) or leaves it; pure functions, any task.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterDB;
class ParameterInfo;
}  // namespace PDB

namespace LPC {

// x is the array index, y the sub-index; the database and information are not needed by these.
using DefaultValueProc = uint32_t (*)(PDB::IParameterDB& db, uint32_t x, uint32_t y, const PDB::ParameterInfo& info,
                                      JVariant& value);

// Names: the prefix and x + 1 in three digits ("Obj 001"), the zone in two ("Zone 01"). 0.
uint32_t getDefaultValueProc_OBALabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                          const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_AuxInLabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                            const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_BinauralExternalInLabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                                         const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_OBADirectOutLabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                                   const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_OBARecOutLabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                                const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_OBAZoneLabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                              const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_ToSpeakerLabelName(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                                const PDB::ParameterInfo& info, JVariant& value);
// Boundary point y of the square of side 4000 round the origin, the same for every space x;
// 0x80000000 (value untouched) for y above 15.
uint32_t getDefaultValueProc_OBASpacePositionX(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                               const PDB::ParameterInfo& info, JVariant& value);
uint32_t getDefaultValueProc_OBASpacePositionY(PDB::IParameterDB& db, uint32_t x, uint32_t y,
                                               const PDB::ParameterInfo& info, JVariant& value);
// Frequency of band x (y 0); 0x80000000 (value untouched) for y not 0 or x above 4.
uint32_t getDefaultValueProc_3DRevPEQF(PDB::IParameterDB& db, uint32_t x, uint32_t y, const PDB::ParameterInfo& info,
                                       JVariant& value);

}  // namespace LPC
