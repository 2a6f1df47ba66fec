#pragma once
// The 3D-reverb presets: per preset number 1 to 128 one file in the type folder ("<preset
// folder>/3DRev") holding the reverb's twenty parameter arrays with a title and a protect mark;
// the title, protect mark and file name of each number are published in the device database
// (slot = number - 1). A member of the device-control thread: every method runs on that thread.
//
// A file name read from the list is used only when it is a plain name of the type folder (no
// "/" or "\", not "." or ".."): the list can be written by the editor and by a synchronised
// device, and any other entry counts as no preset (never loaded, saved over or removed).
#include <cstdint>
#include <string>

#include "PDB/pdb_PresetFile.h"
#include "PDB/pdb_PresetItem.h"
#include "jlib/jlib_result.h"

namespace LPC {

class PresetList {
public:
    static constexpr uint32_t kPresetNum = 128;

    PresetList();
    virtual ~PresetList();
    PresetList(const PresetList&) = delete;
    PresetList& operator=(const PresetList&) = delete;

    // Checks the addresses, sets the type's preset file object up on "<presetFolder>/3DRev"
    // (made when missing) and refreshes the status. 0x80000000 for a null folder; else the OR of
    // the steps (a failing address check or contents list ends it).
    [[nodiscard]] JLIB::JResult initialize(uint32_t version, uint32_t blockWord, const char* presetFolder);
    // Copies protect mark and title of every listed file of the type to its status entry; slots
    // without such a file keep theirs. The code of the last read, load or write made.
    [[nodiscard]] JLIB::JResult refreshPresetStatus(bool log);
    [[nodiscard]] JLIB::JResult refresh() { return refreshPresetStatus(false); }

    // Stores the current reverb under the number: a new file for an empty slot, the slot's own
    // file otherwise. 0x80000000 for a bad type or number or a protected preset.
    [[nodiscard]] JLIB::JResult store(const char* type, uint32_t number, const char* title, bool log);
    // Recalls the preset onto the setup component and writes its number to "/3DRev/Preset" through
    // the link path, under the database's write lock. 0x80000000 for a bad type, an empty slot or
    // a file of another type.
    [[nodiscard]] JLIB::JResult recall(const char* type, uint32_t number, bool log);
    // Removes the file and empties title and file name; "/3DRev/Preset" stays.
    [[nodiscard]] JLIB::JResult remove(const char* type, uint32_t number, bool log);
    // Rewrites the file with the mark first, then the status; any non-zero value protects.
    [[nodiscard]] JLIB::JResult setProtect(const char* type, uint32_t number, uint32_t on, bool log);

    const std::string& typeFolder() const { return m_folder; }

private:
    // The type check and the slot of a number: 0x80000000 for a bad type or number; otherwise
    // slot set and whether a usable preset is listed there (0) or not (0x80000000).
    [[nodiscard]] JLIB::JResult checkType(const char* type, uint32_t number) const;
    [[nodiscard]] JLIB::JResult cnvPresetNo(uint32_t typeIndex, uint32_t number, uint32_t& slot) const;
    [[nodiscard]] JLIB::JResult setUpTemporary(PDB::PresetData& preset, uint32_t typeIndex) const;

    uint32_t m_presetNum;
    PDB::PresetData m_preset;
    std::string m_folder;
    // What a store takes from the device: a loaded file lists only what it holds.
    PDB::PresetContentsList m_contents;
    uint32_t m_version = 0;
    uint32_t m_blockWord = 0;
};

}  // namespace LPC
