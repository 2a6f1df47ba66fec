#include "common/Lpc/LpcProject.h"

#include "common/KavoriProductInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JVariant.h"

namespace LPC {

namespace {

constexpr const char* kProductName = "MUR-UZ";
constexpr const char* kRemainingNum = "/Project/remainingNum";

}  // namespace

const PDB::ProjectFile::ItemMap& ProjectFileContentsMurUZ::getConfig()
{
    static const PDB::ProjectFile::ItemMap items = [] {
        const std::string user = KAVORI::KavoriProductInfo::getInstance().dataPath(KAVORI::kDataDirUser, false);
        return PDB::ProjectFile::ItemMap{
            {"Current", user + "/Current"},
            {"CurrentList", user + "/CurrentList"},
            {"Preset:3DRev", user + "/Preset/3DRev"},
            {"Snapshot", user + "/Snapshot"},
        };
    }();
    return items;
}

Project::Project() = default;

Project::~Project() = default;

JLIB::JResult Project::initialize(uint32_t version, uint32_t blockWord, const PDB::ProjectFile::ItemMap& items,
                                  MMSFUNC::SelectedItemLoader* loader)
{
    // An older project file stays when the project is saved under another name.
    return m_file.initialize(kProductName, version, blockWord, items, loader, false);
}

JLIB::JResult Project::appendExtension(std::string& path)
{
    const std::string extension = std::string(".") + ProjectFileExtension;
    const bool ends = path.size() > extension.size() &&
                      path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
    if (!ends) path += extension;
    return JLIB::kOk;
}

JLIB::JResult Project::save(const char* path, const char* comment, const char* owner, volatile bool* stop,
                            FILECACHE::IMBDFObserver* observer)
{
    if (!path || !comment || !owner) return JLIB::kFailed;
    std::string file = path;
    (void)appendExtension(file);  // always 0
    return m_file.pack(file.c_str(), comment, owner, stop, observer, 0, 0);
}

JLIB::JResult Project::load(const char* path, volatile bool* stop, FILECACHE::IMBDFObserver* observer,
                            const MMSFUNC::LoadItemSelector* selector)
{
    if (!path) return JLIB::kFailed;
    std::string file = path;
    (void)appendExtension(file);  // always 0
    JLIB::JResult result = m_file.unpack(file.c_str(), stop, observer, selector, 0);
    result |= m_file.apply();
    return result;
}

uint32_t ProjectProcessNotifier::onMBDFProgressChanged(ProgressType, uint32_t done, uint32_t total, const char*,
                                                       const char*, bool)
{
    const uint32_t remaining = done < total ? total - done : 0;
    // Progress display only: a failed write changes nothing of the save or load.
    (void)pdb_setParam(CATEGORY_PDBTYPE_UZVOLATILE, kRemainingNum, 0, 0, JVariant(remaining), kDerivedWriteAttr);
    return 0;
}

uint32_t ProjectProcessNotifier::onMBDFErrorOccurred(ProgressType, const char* message, uint32_t error)
{
    (void)dbgPrintf("[E] ERROR Occur on Project Processing  [%s]  erroode=%08X\n", message ? message : "",
                    static_cast<unsigned int>(error));
    return 0;
}

JLIB::JResult showAllValues(const char* path)
{
    return LpcUzProtoMemory::getInstance().showAllValues(path);
}

JLIB::JResult setMinValue(uint8_t attr)
{
    return LpcUzProtoMemory::getInstance().setAllValues(CATEGORY_SETTYPE_MIN, attr);
}

JLIB::JResult setMaxValue(uint8_t attr)
{
    return LpcUzProtoMemory::getInstance().setAllValues(CATEGORY_SETTYPE_MAX, attr);
}

}  // namespace LPC
