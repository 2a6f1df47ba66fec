#pragma once
// Projects: the folders of the current settings, the current list, the 3D-reverb presets and the
// scenes packed into one file of type "ProjectFile" and unpacked back into them; the progress
// counts down in "/Project/remainingNum". A member of the device-control thread, which saves and
// loads on its own task. Also the three debug fills of the protocol memory it runs on request.
#include <cstdint>
#include <string>

#include "FileCache/fcache_MBDFAbstractBlock.h"
#include "PDB/pdb_ProjectFile.h"
#include "jlib/jlib_result.h"

namespace MMSFUNC {
class LoadItemSelector;
class SelectedItemLoader;
}  // namespace MMSFUNC

namespace LPC {

constexpr const char* ProjectFileExtension = "vexaprj";

class ProjectFileContentsMurUZ {
public:
    // Item name to folder: "Current", "CurrentList", "Preset:3DRev" and "Snapshot" below the user
    // folder, built on the first call from the user folder of that moment and kept for the run.
    static const PDB::ProjectFile::ItemMap& getConfig();
};

class Project {
public:
    Project();
    virtual ~Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    // The loader is borrowed for the life of this object (null: none).
    [[nodiscard]] JLIB::JResult initialize(uint32_t version, uint32_t blockWord, const PDB::ProjectFile::ItemMap& items,
                                           MMSFUNC::SelectedItemLoader* loader);
    // Appends ".vexaprj" unless the text is longer than it and ends in it exactly (case counts).
    static JLIB::JResult appendExtension(std::string& path);
    // 0x80000000 for a null path, comment or owner (nothing written); else the pack's result.
    [[nodiscard]] JLIB::JResult save(const char* path, const char* comment, const char* owner, volatile bool* stop,
                                     FILECACHE::IMBDFObserver* observer);
    // Replaces the item folders with the project's files. 0x80000000 for a null path.
    [[nodiscard]] JLIB::JResult load(const char* path, volatile bool* stop, FILECACHE::IMBDFObserver* observer,
                                     const MMSFUNC::LoadItemSelector* selector);

private:
    PDB::ProjectFile m_file;
};

// Publishes the files still to go of a save or load; never fails. Lives for one save or load.
class ProjectProcessNotifier : public FILECACHE::IMBDFObserver {
public:
    ~ProjectProcessNotifier() override = default;
    // "/Project/remainingNum" = total - done (0 when done passes total).
    uint32_t onMBDFProgressChanged(ProgressType type, uint32_t done, uint32_t total, const char* path,
                                   const char* message, bool finished) override;
    uint32_t onMBDFErrorOccurred(ProgressType type, const char* message, uint32_t error) override;
};

// Debug fills carried out by the protocol memory; any task. Their results.
[[nodiscard]] JLIB::JResult showAllValues(const char* path);
[[nodiscard]] JLIB::JResult setMinValue(uint8_t attr);
[[nodiscard]] JLIB::JResult setMaxValue(uint8_t attr);

}  // namespace LPC
