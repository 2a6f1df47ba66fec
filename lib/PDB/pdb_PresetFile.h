#pragma once
// A preset: chosen values of one component with descriptive information, stored from the live
// databases, held as a container of file type "Preset", saved, loaded and recalled onto any
// component of the same type. No lock of its own: one task at a time; the databases lock for
// themselves, and a caller wanting one change holds the target database's write lock around it.
#include <cstdint>
#include <string>

#include "internal/pdb_StoredFile.h"
#include "jlib/jlib_result.h"
#include "pdb_PresetItem.h"
#include "pdb_UniqId.h"

namespace PDB {

// Defined with PresetData, in its .cpp.
extern template class stored::StoredFile<PresetContentsList, MBDFPDBPSBlock>;

class PresetData : public stored::StoredFile<PresetContentsList, MBDFPDBPSBlock> {
public:
    static constexpr const char* kFileType = "Preset";
    static constexpr const char* kInfoName = "PresetInfo";
    static constexpr InfoAddress kPresetType = kTypeText;

    PresetData();
    ~PresetData() override;

    // Replaces the settings and the contents; the container and the file name stay. The preset
    // information becomes a defaulted copy of the live "PresetInfo" when it is registered.
    // 0x80000001 for a null product name.
    [[nodiscard]] JLIB::JResult initialize(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                           const char* presetType, const PresetContentsList& contents,
                                           const char* folder);
    // Replaces the information and, in a cached container, only its block.
    [[nodiscard]] JLIB::JResult applyPresetInfo(const IParameterDB& info);
    // Every entry goes into component id of db, whatever it was stored from. 0x80080000 when not
    // cached, 0x80010000 when an entry or the information failed (the others are still written).
    [[nodiscard]] JLIB::JResult recall(IParameterDB& db, const UniqId& id);
    // As recall, but the elements the recall-safe list names keep their current values.
    [[nodiscard]] JLIB::JResult recall(IParameterDB& db, const UniqId& id, const PresetContentsList& recallSafe);
    // Empties everything, the settings included.
    uint32_t clear();

    IParameterDB& presetInfo() { return m_info; }

private:
    void listContents() override;
    bool protectFlag(const IParameterDB& info) const override;
};

}  // namespace PDB
