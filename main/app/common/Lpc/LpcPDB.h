#pragma once
// The device parameter database (instance id 10, "AudioCompo") addressed by component category
// and text address instead of indexes. Reads go straight to the database; every write of a value
// passes the link engine (LpcPDBLinkWrite.h) so that linked parameters follow. A multi-value
// parameter (a position x, y, z) is stored as consecutive members whose addresses end in "@",
// the member letters, "@" and the member's letter. No state and no lock of its own: each single
// access relies on the database's locking, runs of values take its lock. Any task.
#include <cstdint>
#include <string>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterDB;
}

namespace LPC {

// The seven components of the device database; each one's unique id and component index equal
// its category.
enum CATEGORY_OF_PDBTYPE : uint32_t {
    CATEGORY_PDBTYPE_UZCURRENT = 0,
    CATEGORY_PDBTYPE_UZSETUP = 1,
    CATEGORY_PDBTYPE_UZVOLATILE = 2,
    CATEGORY_PDBTYPE_UZSCENESTATUS = 3,
    CATEGORY_PDBTYPE_UZSCENELIST = 4,
    CATEGORY_PDBTYPE_UZPRESETSTATUS = 5,
    CATEGORY_PDBTYPE_UZPRESETLIST = 6,
};

// A run of values, owned by the caller.
using JVariantList = std::vector<JVariant>;

constexpr uint32_t kLpcPDBInstanceId = 10;
constexpr uint32_t kSnapshotInfoPDBInstanceId = 7;
constexpr uint32_t kPresetInfoPDBInstanceId = 8;
// The write attribute of every value the device logic derives itself.
constexpr uint8_t kDerivedWriteAttr = 255;

// The collection's databases (its null database when absent).
PDB::IParameterDB& getLpcPDB();
PDB::IParameterDB& getSnapshotInfoPDB();
PDB::IParameterDB& getPresetInfoPDB();
// The write lock of the device database, shared by all live databases and recursive, so runs
// below nest inside it.
uint32_t pdb_lock();
uint32_t pdb_unlock();

// The resolution of every text-addressed operation: the component whose unique id is the
// category, then the address in it. An undeclared (or null) address gives an id that does not
// resolve, so the database operation that follows fails with its own code. The id borrows the
// address text.
PDB::AddressId pdb_resolveAddress(CATEGORY_OF_PDBTYPE category, const char* address);

// One value through the link engine. 0x80000000 for a null address; else the write's result.
[[nodiscard]] JLIB::JResult pdb_setParam(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                                         const JVariant& value, uint8_t attr);
// 0x80000000 for a null address; else the database's read result.
[[nodiscard]] JLIB::JResult pdb_getParam(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                                         JVariant& value);
// The value read, or an invalid value when the read failed.
JVariant pdb_getParam(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y);
// count values to members 0, 1, ... of the group (letters null or "" for consecutive plain
// addresses) at (x, y) in one linked write, under the write lock when count is above 1.
// 0x80000000 before anything is written for a null address or a value count other than count;
// otherwise the OR of every step.
[[nodiscard]] JLIB::JResult pdb_setParams(CATEGORY_OF_PDBTYPE category, const char* address, const char* letters,
                                          uint32_t count, uint32_t x, uint32_t y, const JVariantList& values,
                                          uint8_t attr);
// Reads count members under the read lock when count is above 1. values is emptied first and
// keeps only what was read before the first failure. 0x80000000 for a null address (values
// untouched); otherwise the OR of every step.
[[nodiscard]] JLIB::JResult pdb_getParams(CATEGORY_OF_PDBTYPE category, const char* address, const char* letters,
                                          uint32_t count, uint32_t x, uint32_t y, JVariantList& values);
// A text (a String of its full length) or an unsigned number written with attribute 255.
// 0x80000000 for a null text.
template <typename T>
[[nodiscard]] JLIB::JResult pdb_setParamT(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, uint32_t y,
                                          T value);
template <>
[[nodiscard]] JLIB::JResult pdb_setParamT<const char*>(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x,
                                                       uint32_t y, const char* value);
template <>
[[nodiscard]] JLIB::JResult pdb_setParamT<unsigned int>(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x,
                                                        uint32_t y, unsigned int value);
[[nodiscard]] JLIB::JResult pdb_setParamTChar(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x,
                                              uint32_t y, const char* text);
// The value at (x, 0) for every x, each with lpcpdb_setVariantWithAtomic (past the link engine);
// no lock of its own. 0x80000000 for a null address; else the OR of the writes.
[[nodiscard]] JLIB::JResult setParamAll(CATEGORY_OF_PDBTYPE category, const char* address, const JVariant& value,
                                        uint8_t attr);

// Multi-value addressing.
// The base unchanged for null or empty letters; base "@" letters "@" letter for an index below
// the letter count; "" otherwise.
std::string getPdbAddressWithPostFix(const char* base, const char* letters, uint32_t index);
// 0 with index 0 and count 0 for a plain address; 1 with the member's index and the letter
// count for a member; 0x80000000 (outputs untouched) for a malformed post-fix or a null address.
[[nodiscard]] JLIB::JResult getArgNoFromPdbAddressWithPostFix(const char* address, uint32_t& index, uint32_t& count);
// Parses the address text of (ci, ai): 0 with isMember set (index and count only for a member),
// or the parse failure with every output untouched.
[[nodiscard]] JLIB::JResult isAtomicParameter(PDB::IParameterDB& db, uint32_t ci, uint32_t ai, bool& isMember,
                                              uint32_t& index, uint32_t& count);
uint32_t getFirstAddressIndexOfAtomicParameter(uint32_t ci, uint32_t ai, uint32_t index);
uint32_t getAddressIndexOfAtomicParameter(uint32_t ci, uint32_t firstAi, uint32_t index);
// The write of link handlers, past the link engine and without a lock of its own: nothing when
// the current value equals the new one (current on the left); after a write to a member, every
// member of its group is marked changed at (x, y) so subscribers read the group whole. The
// failing read or write, else the last mark's result (a failed mark counts as 0), else 0.
[[nodiscard]] JLIB::JResult lpcpdb_setVariantWithAtomic(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                                        const JVariant& value, uint8_t attr);
[[nodiscard]] JLIB::JResult lpcpdb_setVariantWithAtomic(const PDB::AddressId& id, uint32_t x, uint32_t y,
                                                        const JVariant& value, uint8_t attr);
// Values k to (ci, ai + k) at (x, y), each changed one written; then every member of each group
// written to is marked changed, as the single writes would leave them, skipping the members the
// database marked itself on storing them. Every value is tried; the OR of the failed reads,
// writes and parses, else 0 (or the last mark's status).
[[nodiscard]] JLIB::JResult lpcpdb_setVariantsWithAtomic(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                                         const JVariant* values, uint32_t count, uint8_t attr);
// 0 for a resolved id. An unresolved one comes from an address table that a definition file
// does not declare: logged, 0x80000000, and the caller stops its initialisation.
[[nodiscard]] JLIB::JResult pdb_addressCheck(const PDB::AddressId& id);

// Whole-database image in a file. The first failure of buffer, export, open, write or close
// (save), of size, buffer, open, read or import (load); the file is always closed.
[[nodiscard]] JLIB::JResult pdb_save(const char* path);
[[nodiscard]] JLIB::JResult pdb_load(const char* path);

}  // namespace LPC
