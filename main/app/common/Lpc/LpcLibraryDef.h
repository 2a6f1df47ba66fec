#pragma once
// The 3D-reverb preset types and the device database addresses each type stores: the twenty
// parameter arrays of the reverb (setup component), then the per-preset protect mark and title
// (preset status) and file name (preset list). The device has one type, "3DRev". The address set
// is resolved once, on first use, and kept for the run; any task may read it.
#include <cstdint>

#include "PDB/pdb_AddressId.h"
#include "jlib/jlib_result.h"

namespace LPC {

constexpr const char* PresetType_MurUZ = "3DRev";
constexpr const char* PresetFileExtension = "vexap";

constexpr uint32_t kPresetParameterNum = 20;
constexpr uint32_t kPresetAddressNum = 23;
// Indexes of the status and list entries in a type's address set.
constexpr uint32_t kPresetProtectIndex = 20;
constexpr uint32_t kPresetTitleIndex = 21;
constexpr uint32_t kPresetFileNameIndex = 22;

// The address texts of type 0: contents (setup component), status and list.
extern const char* const PresetParameterPDBAddressDef_MUR_UZ[kPresetParameterNum];
extern const char* const PresetStatusPDBAddressDef_MUR_UZ[2];
extern const char* const PresetListPDBAddressDef_MUR_UZ[1];

class PresetPDBAddressIds {
public:
    // Bank 0 resolves its 23 addresses in the device database (unresolved ones stay as they are
    // and show in the callers' address checks); any other bank: 0x80000000.
    [[nodiscard]] JLIB::JResult buildAddress(uint32_t bank);
    // A shared null address for an index of 23 or more.
    const PDB::AddressId& addressId(uint32_t index) const;
    uint32_t getNum() const { return m_num; }
    uint32_t getParamNum() const { return m_paramNum; }

private:
    PDB::AddressId m_ids[kPresetAddressNum];
    uint32_t m_paramNum = 0;
    uint32_t m_num = 0;
};

class LibraryDef {
public:
    static uint32_t numOfPresetType() { return 1; }
    // "3DRev" for 0, "" otherwise.
    static const char* presetTypeStr(uint32_t index);
    // The index of the type whose name equals the text, terminator included ("3DRev " is no
    // type); 0xFFFFFFFF for a null text or no match.
    static uint32_t presetTypeEnum(const char* type);
    // Type 0's address set, built on first use; a shared empty set for any other index.
    static const PresetPDBAddressIds& getAccessor(uint32_t index);
    // The bank of a type, its addresses built while still empty; a shared dummy bank otherwise.
    static PresetPDBAddressIds& getBank(uint32_t index);
};

}  // namespace LPC
