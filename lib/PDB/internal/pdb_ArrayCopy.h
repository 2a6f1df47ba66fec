#pragma once
// Position, export, filter and copy rules shared by the live and the local parameter array.
// Private to the PDB module; defined in pdb_ParameterArray.cpp.
#include <cstdint>

#include "PDB/pdb_FlagArray.h"
#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterInfo.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterArray;
}

namespace PDB::internal {

bool hasPos(const ParameterInfo& info, uint32_t x, uint32_t y);
JLIB::JResult posToXY(const ParameterInfo& info, uint32_t& x, uint32_t& y, uint32_t pos);
// Copies the storage's bytes and zero pads them to a multiple of 4.
JLIB::JResult exportValues(const IRawArray& values, uint8_t* buffer, uint32_t length, uint32_t& written);
// True when the recall or import attributes keep this parameter out.
bool filteredOut(const ParameterInfo& info, const ImportAttr& attr);
// Element count of a stored shape whose data fits in length; 0x80010000 (logged) otherwise, so
// that a crafted record header never sizes an allocation or a read beyond the bytes given.
JLIB::JResult checkStoredShape(const char* who, const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                               uint32_t& count);
// Copies the overlap nx x ny, x by x, from the source's shape into the own one; the element
// type converts as a write would. 0x80020000 for storages of different kinds.
JLIB::JResult copyOverlap(IRawArray& own, uint32_t ownY, const IRawArray& source, uint32_t sourceY, uint32_t nx,
                          uint32_t ny);
// Writes the overlap of the two shapes through own's setVariant, element by element; elements the
// source cannot give are passed over.
JLIB::JResult setVariantsFrom(IParameterArray& own, const IParameterArray& source, uint8_t factor);

}  // namespace PDB::internal
