#pragma once
// The single write path of the device logic, the protocol memory and the console link: under the
// database's write lock the write is offered to the installed link engine, and unless a handler
// took it over each value is stored at consecutive address indexes, texts cut to whole characters
// of the parameter's element size. Any task; the engine is installed once, before linked writes
// matter, and kept for the rest of the process.
#include <cstdint>

#include "common/Lpc/LpcPDB.h"
#include "jlib/jlib_result.h"

namespace PDB {
class AddressId;
class IParameterDB;
}  // namespace PDB

namespace LPC {

class PDBLink;

// Installs the engine of every later linked write (null: writes are stored plainly). The engine
// is borrowed and must outlive every write. 0.
JLIB::JResult pdb_setLink(PDBLink* link);

// Value k goes to (ci, ai + k, x, y) of the id. 0 when stored or taken over by a handler; a
// handler's failure (nothing stored by this path) or the OR of the failed stores otherwise;
// 0x80000000 for a null database.
[[nodiscard]] JLIB::JResult pdb_setParamWithLinkWithPDB(PDB::IParameterDB* db, const PDB::AddressId& id, uint32_t x,
                                                        uint32_t y, const JVariantList& values, uint8_t attr);
[[nodiscard]] JLIB::JResult pdb_setParamWithLinkWithPDB(PDB::IParameterDB* db, const PDB::AddressId& id, uint32_t x,
                                                        uint32_t y, const JVariant& value, uint8_t attr);
// The same on the database the id names.
[[nodiscard]] JLIB::JResult pdb_setParamWithLink(const PDB::AddressId& id, uint32_t x, uint32_t y,
                                                 const JVariantList& values, uint8_t attr);
// One value into the database the id names: no engine, no lock here, no cutting. The database's result.
[[nodiscard]] JLIB::JResult pdb_setParamWithNoLink(const PDB::AddressId& id, uint32_t x, uint32_t y,
                                                   const JVariant& value, uint8_t attr);

}  // namespace LPC
