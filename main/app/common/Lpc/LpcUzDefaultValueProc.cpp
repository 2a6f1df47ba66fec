#include "common/Lpc/LpcUzDefaultValueProc.h"

#include "common/Lpc/LpcValueHelper.h"

namespace LPC {

namespace {

constexpr uint32_t kBoundaryPointNum = 16;
constexpr uint32_t kPEQBandNum = 5;

// Every 1000 units round the square from the corner (-2000, 2000), clockwise.
constexpr int32_t kBoundaryX[kBoundaryPointNum] = {-2000, -1000, 0,    1000,  2000,  2000,  2000,  2000,
                                                   2000,  1000,  0,    -1000, -2000, -2000, -2000, -2000};
constexpr int32_t kBoundaryY[kBoundaryPointNum] = {2000,  2000,  2000,  2000,  2000, 1000, 0,    -1000,
                                                   -2000, -2000, -2000, -2000, -2000, -1000, 0, 1000};
constexpr int32_t kPEQFrequency[kPEQBandNum] = {800, 1250, 10000, 40000, 100000};

uint32_t channelName(const char* prefix, uint32_t x, uint32_t width, JVariant& value)
{
    value = makeChName(prefix, x, width);
    return JLIB::kOk;
}

uint32_t boundaryPoint(const int32_t (&table)[kBoundaryPointNum], uint32_t y, JVariant& value)
{
    if (y >= kBoundaryPointNum) return JLIB::kFailed;
    value = JVariant(table[y]);
    return JLIB::kOk;
}

}  // namespace

uint32_t getDefaultValueProc_OBALabelName(PDB::IParameterDB&, uint32_t x, uint32_t, const PDB::ParameterInfo&,
                                          JVariant& value)
{
    return channelName("Obj ", x, 3, value);
}

uint32_t getDefaultValueProc_AuxInLabelName(PDB::IParameterDB&, uint32_t x, uint32_t, const PDB::ParameterInfo&,
                                            JVariant& value)
{
    return channelName("AUX ", x, 3, value);
}

uint32_t getDefaultValueProc_BinauralExternalInLabelName(PDB::IParameterDB&, uint32_t x, uint32_t,
                                                         const PDB::ParameterInfo&, JVariant& value)
{
    return channelName("ExtObj ", x, 3, value);
}

uint32_t getDefaultValueProc_OBADirectOutLabelName(PDB::IParameterDB&, uint32_t x, uint32_t,
                                                   const PDB::ParameterInfo&, JVariant& value)
{
    return channelName("DirOut ", x, 3, value);
}

uint32_t getDefaultValueProc_OBARecOutLabelName(PDB::IParameterDB&, uint32_t x, uint32_t, const PDB::ParameterInfo&,
                                                JVariant& value)
{
    return channelName("RecOut ", x, 3, value);
}

uint32_t getDefaultValueProc_OBAZoneLabelName(PDB::IParameterDB&, uint32_t x, uint32_t, const PDB::ParameterInfo&,
                                              JVariant& value)
{
    return channelName("Zone ", x, 2, value);
}

uint32_t getDefaultValueProc_ToSpeakerLabelName(PDB::IParameterDB&, uint32_t x, uint32_t, const PDB::ParameterInfo&,
                                                JVariant& value)
{
    return channelName("Sp ", x, 3, value);
}

uint32_t getDefaultValueProc_OBASpacePositionX(PDB::IParameterDB&, uint32_t, uint32_t y, const PDB::ParameterInfo&,
                                               JVariant& value)
{
    return boundaryPoint(kBoundaryX, y, value);
}

uint32_t getDefaultValueProc_OBASpacePositionY(PDB::IParameterDB&, uint32_t, uint32_t y, const PDB::ParameterInfo&,
                                               JVariant& value)
{
    return boundaryPoint(kBoundaryY, y, value);
}

uint32_t getDefaultValueProc_3DRevPEQF(PDB::IParameterDB&, uint32_t x, uint32_t y, const PDB::ParameterInfo&,
                                       JVariant& value)
{
    if (y != 0 || x >= kPEQBandNum) return JLIB::kFailed;
    value = JVariant(kPEQFrequency[x]);
    return JLIB::kOk;
}

}  // namespace LPC
