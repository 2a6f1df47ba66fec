#include "common/Lpc/LpcPresetList.h"

#include <cstdarg>
#include <cstring>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_PresetItem.h"
#include "PDB/pdb_UniqId.h"
#include "PDB/pdb_makeUuidFileName.h"
#include "common/Lpc/LpcLibraryDef.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/LpcSceneList.h"
#include "common/Lpc/internal/LpcListLog.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_string.h"

namespace LPC {

namespace {

constexpr const char* kProductName = "MUR-UZ";
constexpr const char* kCurrentPreset = "/3DRev/Preset";
constexpr const char* kInfoPresetType = "/Info/PresetType";
constexpr const char* kInfoProtect = "/Info/Protect";
constexpr const char* kInfoTitle = "/Info/Title";
// The stored type is compared over this many characters on recall.
constexpr uint32_t kTypeCompareLength = 17;
constexpr uint32_t kNoSlot = 0xFFFFFFFFu;

using internal::text;
using internal::uzLog;

// A database's success statuses are no news to the caller.
JLIB::JResult failureOnly(JLIB::JResult r)
{
    return JLIB::isFailure(r) ? r : JLIB::kOk;
}

const PDB::AddressId& address(uint32_t index)
{
    return LibraryDef::getAccessor(0).addressId(index);
}

// The listed file name of a slot; empty when it cannot be read.
std::string fileNameOf(uint32_t slot)
{
    JVariant value;
    if (JLIB::isFailure(getLpcPDB().getVariant(value, address(kPresetFileNameIndex), slot, 0, nullptr))) return "";
    const char* name = value.toString();
    return name ? name : "";
}

bool isProtectedSlot(uint32_t slot)
{
    JVariant value;
    if (JLIB::isFailure(getLpcPDB().getVariant(value, address(kPresetProtectIndex), slot, 0, nullptr))) return false;
    return value.toInt32() != 0;
}

// A text of a preset file's information, or null.
const char* infoText(PDB::IParameterDB& info, const char* path, JVariant& holder)
{
    if (JLIB::isFailure(info.getVariant(holder, info.getAddressId(PDB::UniqId(0), path), 0, 0, nullptr)))
        return nullptr;
    return holder.toString();
}

JLIB::JResult setInfo(PDB::IParameterDB& info, const char* path, const JVariant& value)
{
    return info.setVariant(info.getAddressId(PDB::UniqId(0), path), 0, 0, value, kDerivedWriteAttr);
}

}  // namespace

PresetList::PresetList() : m_presetNum(kPresetNum) {}

PresetList::~PresetList() = default;

JLIB::JResult PresetList::initialize(uint32_t version, uint32_t blockWord, const char* presetFolder)
{
    if (!presetFolder) return JLIB::kFailed;
    const uint32_t typeIndex = 0;  // the one type
    const PresetPDBAddressIds& ids = LibraryDef::getAccessor(typeIndex);
    for (uint32_t k = 0; k < kPresetAddressNum; ++k) JLIB_RETURN_IF_FAILED(pdb_addressCheck(ids.addressId(k)));

    PDB::PresetContentsList contents;
    for (uint32_t k = 0; k < ids.getParamNum(); ++k)
        JLIB_RETURN_IF_FAILED(contents.addParameterArray(ids.addressId(k)));

    const char* type = LibraryDef::presetTypeStr(typeIndex);
    const std::string folder = std::string(presetFolder) + "/" + type;
    JLIB::JResult result =
        failureOnly(m_preset.initialize(kProductName, version, blockWord, type, contents, folder.c_str()));
    if (JLIB::isSuccess(result)) {
        m_folder = folder;
        m_contents = contents;
        m_version = version;
        m_blockWord = blockWord;
    }
    result |= failureOnly(refreshPresetStatus(false));
    return result;
}

JLIB::JResult PresetList::setUpTemporary(PDB::PresetData& preset, uint32_t typeIndex) const
{
    return preset.initialize(kProductName, 0, 0, LibraryDef::presetTypeStr(typeIndex), PDB::PresetContentsList(),
                             m_folder.c_str());
}

JLIB::JResult PresetList::refreshPresetStatus(bool log)
{
    const uint32_t typeIndex = 0;
    const char* type = LibraryDef::presetTypeStr(typeIndex);
    PDB::PresetData preset;
    JLIB::JResult result = setUpTemporary(preset, typeIndex);
    if (JLIB::isFailure(result)) return result;
    const auto step = [&result](JLIB::JResult r) { return JLIB::isSuccess(result = failureOnly(r)); };

    for (uint32_t slot = 0; slot < m_presetNum; ++slot) {
        JVariant listed;
        if (!step(getLpcPDB().getVariant(listed, address(kPresetFileNameIndex), slot, 0, nullptr))) continue;
        const char* name = listed.toString();
        if (!name || !SceneList::isPlainFileName(name)) continue;
        if (!step(preset.load(name))) continue;
        JVariant typeHolder;
        const char* stored = infoText(preset.presetInfo(), kInfoPresetType, typeHolder);
        if (!stored || std::strcmp(stored, type) != 0) continue;
        uzLog(log, "Load Preset[%d] Type[%s] File[%s]\n", static_cast<int>(slot), type, name);

        PDB::IParameterDB& info = preset.presetInfo();
        JVariant protect;
        JVariant title;
        if (step(info.getVariant(protect, info.getAddressId(PDB::UniqId(0), kInfoProtect), 0, 0, nullptr))) {
            (void)step(pdb_setParamWithNoLink(address(kPresetProtectIndex), slot, 0, protect, kDerivedWriteAttr));
            uzLog(log, "\t\"%s\" [%d] (0x%0X)\n", PresetStatusPDBAddressDef_MUR_UZ[0],
                  static_cast<int>(protect.toInt32()), static_cast<unsigned int>(result));
        }
        if (step(info.getVariant(title, info.getAddressId(PDB::UniqId(0), kInfoTitle), 0, 0, nullptr))) {
            (void)step(pdb_setParamWithNoLink(address(kPresetTitleIndex), slot, 0, title, kDerivedWriteAttr));
            uzLog(log, "\t\"%s\" [%s] (0x%0X)\n", PresetStatusPDBAddressDef_MUR_UZ[1], text(title.toString()),
                  static_cast<unsigned int>(result));
        }
    }
    return result;
}

JLIB::JResult PresetList::checkType(const char* type, uint32_t number) const
{
    if (!type) return JLIB::kFailed;
    if (LibraryDef::presetTypeEnum(type) != 0) {
        (void)dbgPrintf("[UZ] ... error invalid PresetType [%s][%d]\n", type, static_cast<int>(number));
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult PresetList::cnvPresetNo(uint32_t typeIndex, uint32_t number, uint32_t& slot) const
{
    if (typeIndex >= LibraryDef::numOfPresetType() || number == 0) return JLIB::kFailed;
    slot = number - 1;
    // One character is no name; a name that leaves the type folder is never used.
    const std::string name = fileNameOf(slot);
    return name.size() >= 2 && SceneList::isPlainFileName(name.c_str()) ? JLIB::kOk : JLIB::kFailed;
}

JLIB::JResult PresetList::store(const char* type, uint32_t number, const char* title, bool log)
{
    uzLog(log, "[UZ] PresetStore [%s][%d] [%s]\n", text(type), static_cast<int>(number), text(title));
    JLIB_RETURN_IF_FAILED(checkType(type, number));
    uint32_t slot = kNoSlot;
    const bool exists = JLIB::isSuccess(cnvPresetNo(0, number, slot));
    if (slot >= m_presetNum) {
        (void)dbgPrintf("[UZ] ... error invalid presetNo [%s][%d]\n", type, static_cast<int>(number));
        return JLIB::kFailed;
    }
    std::string fileName;
    if (!exists) {
        JLIB_RETURN_IF_FAILED(PDB::makeUuidFileName(fileName, PresetFileExtension));
    } else if (isProtectedSlot(slot)) {
        (void)dbgPrintf("[UZ] ... error can't update, Preset is protected\n");
        return JLIB::kFailed;
    } else {
        fileName = fileNameOf(slot);
    }

    // A file recalled before (perhaps a foreign one) left its own list in the object: every store
    // takes the type's twenty arrays.
    JLIB_RETURN_IF_FAILED(m_preset.initialize(kProductName, m_version, m_blockWord, LibraryDef::presetTypeStr(0),
                                              m_contents, m_folder.c_str()));
    PDB::IParameterDB& info = m_preset.presetInfo();
    (void)setInfo(info, kInfoProtect, JVariant(0u));  // a stored preset is never protected in its file
    (void)setInfo(info, kInfoTitle, JVariant(text(title), JVariant::kMaxStringLength));
    JLIB_RETURN_IF_FAILED(m_preset.store(info));
    // A file that was not written is not listed: the slot keeps what it named before.
    JLIB::JResult result = failureOnly(m_preset.saveAs(fileName.c_str()));
    if (JLIB::isSuccess(result)) {
        fileName = m_preset.fileName();
        result |= failureOnly(pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZPRESETSTATUS,
                                                         PresetStatusPDBAddressDef_MUR_UZ[1], slot, 0, text(title)));
        result |= failureOnly(pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZPRESETLIST,
                                                         PresetListPDBAddressDef_MUR_UZ[0], slot, 0, fileName.c_str()));
    }
    uzLog(log, "[UZ] Preset stored to [%d] filename [%s] errcode(0x%08X)\n", static_cast<int>(slot), fileName.c_str(),
          static_cast<unsigned int>(result));
    return result;
}

JLIB::JResult PresetList::recall(const char* type, uint32_t number, bool log)
{
    uzLog(log, "[UZ] PresetRecall [%s][%d]\n", text(type), static_cast<int>(number));
    JLIB_RETURN_IF_FAILED(checkType(type, number));
    uint32_t slot = kNoSlot;
    JLIB::JResult result = cnvPresetNo(0, number, slot);
    if (JLIB::isFailure(result)) {
        (void)dbgPrintf("[UZ] ... error no preset [%s][%d]\n", type, static_cast<int>(number));
        return result;
    }
    const std::string fileName = fileNameOf(slot);
    uzLog(log, "[UZ] recall file [%s]\n", fileName.c_str());
    result = m_preset.load(fileName.c_str());
    if (JLIB::isFailure(result)) {
        (void)dbgPrintf("[UZ] ... error can't load [%s]\n", fileName.c_str());
        return result;
    }
    JVariant typeHolder;
    const char* stored = infoText(m_preset.presetInfo(), kInfoPresetType, typeHolder);
    if (!stored || jlib_strncmp(stored, type, kTypeCompareLength) != 0) return JLIB::kFailed;

    PDB::IParameterDB& db = getLpcPDB();
    result = failureOnly(db.writeLock());
    result |= failureOnly(m_preset.recall(db, PDB::UniqId(CATEGORY_PDBTYPE_UZSETUP)));
    result |= failureOnly(
        pdb_setParam(CATEGORY_PDBTYPE_UZCURRENT, kCurrentPreset, 0, 0, JVariant(number), kDerivedWriteAttr));
    result |= failureOnly(db.writeUnlock());
    if (JLIB::isFailure(result)) (void)dbgPrintf("[UZ] ... error can't recall [%s]\n", fileName.c_str());
    return result;
}

JLIB::JResult PresetList::remove(const char* type, uint32_t number, bool log)
{
    uzLog(log, "[UZ] PresetRemove(deletePreset) [%s][%d]\n", text(type), static_cast<int>(number));
    JLIB_RETURN_IF_FAILED(checkType(type, number));
    uint32_t slot = kNoSlot;
    const JLIB::JResult found = cnvPresetNo(0, number, slot);
    if (JLIB::isFailure(found)) {
        (void)dbgPrintf("[UZ] ... error no preset [%s][%d]\n", type, static_cast<int>(number));
        return found;
    }
    if (isProtectedSlot(slot)) {
        (void)dbgPrintf("[UZ] ... error can't delete, Preset is protected\n");
        return JLIB::kFailed;
    }
    const std::string fileName = fileNameOf(slot);
    uzLog(log, "[UZ] remove file [%s]\n", fileName.c_str());
    const std::string path = FILECACHE::MBDF::makeFullPath(m_folder.c_str(), fileName.c_str());
    JLIB::JResult result =
        JLIB::isFailure(FILECACHE::FileAccessor::remove(path.c_str(), false)) ? JLIB::kFailed : JLIB::kOk;
    (void)pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZPRESETSTATUS, PresetStatusPDBAddressDef_MUR_UZ[1], slot, 0,
                                     "");  // the list entry below decides whether the slot is free
    result |= failureOnly(
        pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZPRESETLIST, PresetListPDBAddressDef_MUR_UZ[0], slot, 0, ""));
    return result;
}

JLIB::JResult PresetList::setProtect(const char* type, uint32_t number, uint32_t on, bool log)
{
    uzLog(log, "[UZ] PresetProtect [%s][%d] [%d]\n", text(type), static_cast<int>(number), static_cast<int>(on));
    JLIB_RETURN_IF_FAILED(checkType(type, number));
    uint32_t slot = kNoSlot;
    if (JLIB::isFailure(cnvPresetNo(0, number, slot))) {
        (void)dbgPrintf("[UZ] ... error no preset [%s][%d]\n", type, static_cast<int>(number));
        return JLIB::kFailed;
    }
    const std::string fileName = fileNameOf(slot);
    PDB::PresetData preset;
    JLIB_RETURN_IF_FAILED(setUpTemporary(preset, 0));
    JLIB_RETURN_IF_FAILED(preset.load(fileName.c_str()));
    PDB::IParameterDB& info = preset.presetInfo();
    JLIB_RETURN_IF_FAILED(setInfo(info, kInfoProtect, JVariant(on)));
    JLIB_RETURN_IF_FAILED(preset.applyPresetInfo(info));
    JLIB_RETURN_IF_FAILED(preset.saveAs(fileName.c_str()));
    return pdb_setParamT<unsigned int>(CATEGORY_PDBTYPE_UZPRESETSTATUS, PresetStatusPDBAddressDef_MUR_UZ[0], slot, 0,
                                       on);
}

}  // namespace LPC
