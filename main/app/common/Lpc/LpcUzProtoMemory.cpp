#include "common/Lpc/LpcUzProtoMemory.h"

#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "TMS/TMSMutex.h"
#include "common/Lpc/IValueConverter.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcOscParameterItem.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcValueHelper.h"
#include "common/Lpc/internal/LpcUzProtoMemoryTargets.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/jlib_cfg.h"

namespace LPC {

std::map<MemoryIndex, MemoryItem*> g_MemoryItemMap;
std::map<MemoryIndex, PluginAddressList> g_PluginAddressListForAllItem;

namespace {

constexpr const char* kLockName = "ProtoMemory";
// Stored values count as asked when within this of the request (single precision on purpose:
// the rounding grid is 0.005 and the OSC side sends floats).
constexpr float kTolerance = 0.005f;
// The row whose targets initialize prints, a quick check that the rack's master faders resolve.
constexpr MemoryIndex kPrintedRow = static_cast<MemoryIndex>(56);
// The debug operations leave the scene and preset rows alone, and the fill leaves the object
// pairing alone, which would pair every object with its neighbours.
constexpr int32_t kDebugRowEnd = 118;
constexpr MemoryIndex kPairRow = static_cast<MemoryIndex>(42);

// The texts of the maximum fill: patch sources by exact address, name lengths by exact address.
struct PatchMaximum {
    const char* address;
    const char* text;
};
constexpr PatchMaximum kPatchMaximums[] = {
    {"/AuxIn/Patch/Source", "Dante@1"},      {"/Binaural/Patch/Source", "Dante@1"},
    {"/SurroundIn/Patch/Source", "Dante@1"}, {"/OBA/Patch/Source", "Dante@1"},
    {"/Output/Patch/Source", "OBADirectOut@1"},
};
struct NameMaximum {
    const char* address;
    uint32_t characters;
};
constexpr NameMaximum kNameMaximums[] = {
    {"/AuxIn/Label/Name", 24},         {"/Binaural/ExternalIn/Label/Name", 24}, {"/OBA/DirectOut/Label/Name", 24},
    {"/OBA/RecOut/Label/Name", 24},    {"/OBA/Zone/Label/Name", 24},            {"/ToSpeaker/Label/Name", 24},
    {"/OBA/Label/Name", 16},
};
constexpr const char* kNameDigits =
    "12345678901234567890123456789012345678901234567890123456789012345678901234567890";

JVariant text(const std::string& value) { return JVariant(value.c_str(), static_cast<unsigned int>(value.size())); }

// The device address of member k of the row.
std::string memberAddress(const MemoryItem& item, uint32_t k)
{
    return getPdbAddressWithPostFix(getPdbAddressFromMemoryIndex(item.index).c_str(), item.postFix, k);
}

void clearAddressIds()
{
    for (MemoryItem& item : sMemoryItemTable) item.addressIds.clear();
}

// Every member of every row, in order; the first that does not resolve stops it. The kept id
// borrows the database's own address text, which outlives the temporary member text.
JLIB::JResult resolveAddressIds()
{
    clearAddressIds();
    PDB::IParameterDB& db = getLpcPDB();
    for (MemoryItem& item : sMemoryItemTable) {
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const std::string address = memberAddress(item, k);
            const PDB::AddressId id = pdb_resolveAddress(item.category, address.c_str());
            JLIB_RETURN_IF_FAILED(pdb_addressCheck(id));
            item.addressIds.push_back(db.getAddressId(id.componentIndex(), id.addressIndex()));
        }
    }
    return JLIB::kOk;
}

// Every element of every member gets its targets; every y of one x shares those of x.
void buildTargets(const LpcUzProtoMemory& memory)
{
    for (const MemoryItem& item : sMemoryItemTable) {
        if (item.pluginParams.empty()) continue;
        PluginAddressList perMember;
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const MemoryAttribute attr = memory.getMemoryAttribute(item.index, k);
            PluginAddressMap elements;
            for (uint32_t x = 0; x < attr.sizeX; ++x) {
                PluginSendInfoList targets;
                if (k >= item.pluginParams.size() ||
                    JLIB::isFailure(listUpPluginSendInfo(item.pluginParams[k], x, targets))) {
                    // The table and the definition files disagree; the element stays without targets.
                    JLIB_LOG("[E] LPC::LpcUzProtoMemory::initialize - no plug-in targets for %s member %u element %u\n",
                             getParameterName(item.index).c_str(), k, x);
                }
                for (uint32_t y = 0; y < attr.sizeY; ++y) elements[{x, y}] = targets;
            }
            perMember.push_back(std::move(elements));
        }
        g_PluginAddressListForAllItem[item.index] = std::move(perMember);
    }
}

void printTargets(MemoryIndex index)
{
    const auto found = g_PluginAddressListForAllItem.find(index);
    if (found == g_PluginAddressListForAllItem.end()) return;
    for (size_t arg = 0; arg < found->second.size(); ++arg) {
        for (const auto& [xy, targets] : found->second[arg]) {
            for (const PluginSendInfo& t : targets) {
                std::printf("[arg:%d][x:%d][y:%d] [%s][%d]\n", static_cast<int>(arg), static_cast<int>(xy.first),
                            static_cast<int>(xy.second), t.moduleName, static_cast<int>(t.paramNo));
            }
        }
    }
}

// (x, y) must lie inside every member of the row.
bool isInside(const LpcUzProtoMemory& memory, const MemoryItem& item, uint32_t x, uint32_t y)
{
    for (uint32_t k = 0; k < item.argNum; ++k) {
        const MemoryAttribute attr = memory.getMemoryAttribute(item.index, k);
        if (x >= attr.sizeX || y >= attr.sizeY) return false;
    }
    return true;
}

JVariant maximumText(const std::string& address)
{
    if (address.find("/Patch/Source") != std::string::npos) {
        for (const PatchMaximum& row : kPatchMaximums) {
            if (address == row.address) return text(row.text);
        }
        return JVariant();
    }
    if (address.find("/Name") != std::string::npos) {
        uint32_t characters = 0;
        for (const NameMaximum& row : kNameMaximums) {
            if (address == row.address) characters = row.characters;
        }
        return text(std::string(kNameDigits, characters));
    }
    return JVariant();
}

// The value of the limit fill; invalid where no limit applies.
JVariant limitValue(CATEGORY_OF_SetType kind, const MemoryAttribute& attr, const std::string& address)
{
    const bool isString = attr.valueType == kLPCValueTypeString;
    switch (kind) {
    case CATEGORY_SETTYPE_MIN:
        return isString ? text(" ") : JVariant(attr.min);
    case CATEGORY_SETTYPE_MAX:
        return isString ? maximumText(address) : JVariant(attr.max);
    }
    return JVariant();
}

// The batch a whole-memory restore opens: every element of every row fits one library call.
constexpr uint64_t kRestoreBatchRecords = 10000;
// The object count when the rack title names none.
constexpr uint32_t kDefaultOBANum = 128;
constexpr const char* kSystemName = "/System/Name";
constexpr const char* kSystemOBANum = "/System/OBANum";

// Whether a value of the device side fits a member of the value type.
bool fitsValueType(const JVariant& value, int32_t valueType)
{
    switch (value.getType()) {
    case JVariant::kTypeInt32: return valueType == kLPCValueTypeInteger;
    case JVariant::kTypeString: return valueType == kLPCValueTypeString;
    case JVariant::kTypeFloat: return valueType == kLPCValueTypeFloat;
    default: return false;  // UInt32, binary and invalid values have no protocol form
    }
}

// Holds an integer or float member to its range; true when it changed the value.
bool limitToRange(JVariant& value, const MemoryAttribute& attr)
{
    bool limited = false;
    if (attr.valueType == kLPCValueTypeInteger) {
        int32_t v = value.toInt32();
        if (v < attr.min) { v = attr.min; limited = true; }
        if (v > attr.max) { v = attr.max; limited = true; }
        if (limited) value = JVariant(v);
    } else if (attr.valueType == kLPCValueTypeFloat) {
        float v = value.toFloat();
        const float min = static_cast<float>(attr.min);
        const float max = static_cast<float>(attr.max);
        if (v < min) { v = min; limited = true; }
        if (v > max) { v = max; limited = true; }
        if (limited) value = JVariant(v);
    }
    return limited;
}

// The targets of member argument at (x, y) of the row; null when any step is missing.
const PluginSendInfoList* targetsOf(MemoryIndex index, uint32_t argument, uint32_t x, uint32_t y)
{
    const auto row = g_PluginAddressListForAllItem.find(index);
    if (row == g_PluginAddressListForAllItem.end() || argument >= row->second.size()) return nullptr;
    const PluginAddressMap& elements = row->second[argument];
    const auto element = elements.find({x, y});
    return element == elements.end() ? nullptr : &element->second;
}

int32_t printedValue(const JVariant& value)
{
    const uint32_t type = value.getType();
    return type == JVariant::kTypeInt32 || type == JVariant::kTypeUInt32 ? value.toInt32() : 0;
}

using FileOwner = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

void printValue(std::FILE* file, const std::string& address, uint32_t x, uint32_t y, const JVariant& value)
{
    const char* a = address.c_str();
    const int ix = static_cast<int>(x);
    const int iy = static_cast<int>(y);
    switch (value.getType()) {
    case JVariant::kTypeInt32:
    case JVariant::kTypeUInt32:
        std::fprintf(file, "%s/%d/%d %d\n", a, ix, iy, value.toInt32());
        break;
    case JVariant::kTypeString: {
        const char* s = value.toString();
        std::fprintf(file, "%s/%d/%d %s\n", a, ix, iy, s ? s : "");
        break;
    }
    case JVariant::kTypeFloat:
        std::fprintf(file, "%s/%d/%d %lf\n", a, ix, iy, static_cast<double>(value.toFloat()));
        break;
    default:
        std::fprintf(file, "%s/%d/%d unknownType\n", a, ix, iy);
        break;
    }
}

}  // namespace

LpcUzProtoMemory& LpcUzProtoMemory::getInstance()
{
    static LpcUzProtoMemory instance;
    return instance;
}

LpcUzProtoMemory::LpcUzProtoMemory() = default;

LpcUzProtoMemory::~LpcUzProtoMemory() = default;

JLIB::JResult LpcUzProtoMemory::initialize()
{
    // A repeated call keeps the lock a reader may hold.
    if (!m_pMutex) {
        m_pMutex.reset(new (std::nothrow) TMS::TMSMutex(kLockName));
        if (!m_pMutex) return JLIB::kFailed;
    }
    const JLIB::JResult resolved = resolveAddressIds();
    if (JLIB::isFailure(resolved)) {
        // Half-resolved rows must not serve anyone.
        clearAddressIds();
        g_MemoryItemMap.clear();
        g_PluginAddressListForAllItem.clear();
        return resolved;
    }
    if (g_MemoryItemMap.empty()) {
        for (MemoryItem& item : sMemoryItemTable) g_MemoryItemMap[item.index] = &item;
    }
    if (g_PluginAddressListForAllItem.empty()) buildTargets(*this);
    printTargets(kPrintedRow);
    return JLIB::kOk;
}

JLIB::JResult LpcUzProtoMemory::finalize()
{
    g_MemoryItemMap.clear();
    g_PluginAddressListForAllItem.clear();
    clearAddressIds();
    m_pMutex.reset();
    return JLIB::kOk;
}

MemoryAttribute LpcUzProtoMemory::getMemoryAttribute(MemoryIndex index, uint64_t arg) const
{
    MemoryAttribute attr;
    const MemoryItem* item = getMemoryItem(index);
    if (!item || arg >= item->addressIds.size()) return attr;
    const PDB::AddressId& id = item->addressIds[arg];
    const PDB::ParameterInfo& info = getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex());
    attr.argNum = item->argNum;
    attr.isProtected = item->isProtected;
    attr.sizeX = info.numX;
    attr.sizeY = info.numY;
    attr.valueType = toLPCValueType(info.type);
    attr.min = info.min.toInt32();  // 0 for Float limits
    attr.max = info.max.toInt32();
    attr.scaling = static_cast<int32_t>(info.scaling);
    return attr;
}

JLIB::JResult LpcUzProtoMemory::setValues(uint8_t factor, MemoryIndex index, const std::string& address, uint32_t x,
                                          uint32_t y, const JVariantList& values)
{
    const MemoryItem* item = getMemoryItem(index);
    if (!item) return kNoItem;
    if (item->isProtected && !LpcThreadCommon::getInstance().JOSCWritable()) return kProtected;
    if (!isInside(*this, *item, x, y)) return kWrongArguments;

    JVariantList requested = values;
    (void)round_n_forJVariantList(requested);  // always 0
    const std::string pdbAddress = oscToPdb(address);

    JLIB::JResult written = JLIB::kFailed;
    if (item->isPair) {
        // The pair flag travels behind the members, so the link engine moves the partner too.
        JVariantList list = requested;
        if (values.size() == item->argNum) {
            list.push_back(JVariant(0));
        } else if (values.size() == item->argNum + 1) {
            list.back() = JVariant(static_cast<unsigned int>(toStr(values.back()) == "Pair" ? 1 : 0));
        } else {
            return kWrongArguments;
        }
        written = pdb_setParams(item->category, pdbAddress.c_str(), item->postFix, item->argNum + 1, x, y, list,
                                factor);
    } else {
        // A wrong count is refused by the write itself.
        written = pdb_setParams(item->category, pdbAddress.c_str(), item->postFix, item->argNum, x, y, requested,
                                factor);
    }
    if (JLIB::isFailure(written)) return kDiffers;

    JVariantList stored;
    if (JLIB::isFailure(pdb_getParams(item->category, pdbAddress.c_str(), item->postFix, item->argNum, x, y, stored))) {
        return kDiffers;
    }
    if (requested.size() < stored.size()) return kDiffers;
    for (size_t k = 0; k < stored.size(); ++k) {
        if (isSame(stored[k], requested[k], kTolerance)) continue;
        if (stored.size() >= 3) {
            std::printf("OKm   (%f, %f, %f) -> (%f, %f, %f)\n", requested[0].toFloat(), requested[1].toFloat(),
                        requested[2].toFloat(), stored[0].toFloat(), stored[1].toFloat(), stored[2].toFloat());
        }
        return kDiffers;
    }
    return JLIB::kOk;
}

JLIB::JResult LpcUzProtoMemory::getValues(JVariantList& values, uint8_t, MemoryIndex index,
                                          const std::string& address, uint32_t x, uint32_t y) const
{
    const MemoryItem* item = getMemoryItem(index);
    if (!item) return kNoItem;
    if (!isInside(*this, *item, x, y)) return kWrongArguments;
    if (!m_pMutex) return kNoItem;  // never lock what initialize has not made
    JVariantList read;
    JLIB::JResult result = JLIB::kOk;
    {
        TMS::TMSMutexAutoReleaser hold(*m_pMutex);
        result = pdb_getParams(item->category, oscToPdb(address).c_str(), item->postFix, item->argNum, x, y, read);
    }
    values.insert(values.end(), read.begin(), read.end());
    return JLIB::isFailure(result) ? result : JLIB::kOk;
}

JLIB::JResult LpcUzProtoMemory::showAllValues(const char* path) const
{
    if (!path) return JLIB::kFailed;
    FileOwner file(std::fopen(path, "w"), &std::fclose);
    if (!file) return JLIB::kFailed;
    JLIB::JResult result = JLIB::kOk;
    for (const MemoryItem& item : sMemoryItemTable) {
        if (item.index >= kDebugRowEnd) continue;
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const std::string address = memberAddress(item, k);
            result = pdb_addressCheck(pdb_resolveAddress(item.category, address.c_str()));
            if (JLIB::isFailure(result)) continue;
            const MemoryAttribute attr = getMemoryAttribute(item.index, k);
            for (uint32_t x = 0; x < attr.sizeX; ++x) {
                for (uint32_t y = 0; y < attr.sizeY; ++y) {
                    printValue(file.get(), address, x, y, pdb_getParam(item.category, address.c_str(), x, y));
                }
            }
        }
    }
    return result;
}

JLIB::JResult LpcUzProtoMemory::setAllValues(CATEGORY_OF_SetType kind, uint8_t factor)
{
    JLIB::JResult result = JLIB::kOk;
    for (const MemoryItem& item : sMemoryItemTable) {
        if (item.index >= kDebugRowEnd || item.index == kPairRow) continue;
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const std::string address = memberAddress(item, k);
            const PDB::AddressId id = pdb_resolveAddress(item.category, address.c_str());
            result = pdb_addressCheck(id);
            if (JLIB::isFailure(result)) continue;
            const MemoryAttribute attr = getMemoryAttribute(item.index, k);
            const JVariant value = limitValue(kind, attr, address);
            for (uint32_t x = 0; x < attr.sizeX; ++x) {
                for (uint32_t y = 0; y < attr.sizeY; ++y) result = pdb_setParamWithNoLink(id, x, y, value, factor);
            }
        }
    }
    return result;
}

JLIB::JResult LpcUzProtoMemory::setValuesFromPDB(uint8_t, MemoryIndex index, const std::string&, uint32_t x,
                                                  uint32_t y, const JVariantList& values)
{
    MemoryItem* const item = getMemoryItem(index);
    if (!item) return kNoItem;
    if (values.size() < item->argNum) return kWrongArguments;
    for (uint32_t k = 0; k < item->argNum; ++k) {
        const MemoryAttribute attr = getMemoryAttribute(index, k);
        if (!fitsValueType(values[k], attr.valueType) || x >= attr.sizeX || y >= attr.sizeY) return kWrongArguments;
    }
    const bool connected = LpcMurRemote::getInstance().isConnected();
    if (!m_pMutex) return kNoItem;  // finalized meanwhile
    TMS::TMSMutexAutoReleaser hold(*m_pMutex);
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t k = 0; k < item->argNum; ++k) {
        JVariant value = values[k];
        if (limitToRange(value, getMemoryAttribute(index, k))) result = kDiffers;
        if (connected && setModulePluginParameter(value, item, x, y, k) == kDiffers) result = kDiffers;
    }
    return result;
}

JLIB::JResult LpcUzProtoMemory::setModulePluginParameter(const JVariant& value, const MemoryItem* item, uint32_t x,
                                                         uint32_t y, uint32_t argument)
{
    if (!item || item->pluginParams.empty() || !item->converter) return JLIB::kFailed;
    // Member 0 speaks for all: the members of one row share their range.
    const MemoryAttribute attr = getMemoryAttribute(item->index, 0);
    const PluginSendInfoList* const targets = targetsOf(item->index, argument, x, y);
    if (!targets) return JLIB::kFailed;
    bool outOfRange = false;
    for (const PluginSendInfo& target : *targets) {
        const double normalised = item->converter->normalize(value, attr.min, attr.max, attr.scaling, &outOfRange);
        if (!target.guid || target.guid[0] == '\0') continue;
        const auto paramNo = static_cast<int32_t>(target.paramNo);
        if (item->sendFunction) {
            (void)item->sendFunction(target.guid, paramNo, normalised);  // its result means nothing here
        } else {
            LpcMurRemote::getInstance().setParameters(target.guid, paramNo, normalised, nullptr);
        }
    }
    return outOfRange ? kDiffers : JLIB::kOk;
}

MemoryAddress LpcUzProtoMemory::getMemoryAddress(const char* moduleGuid, int32_t paramNo) const
{
    MemoryAddress found;
    if (!moduleGuid) return found;
    for (const auto& [index, members] : g_PluginAddressListForAllItem) {
        for (size_t argument = 0; argument < members.size(); ++argument) {
            for (const auto& [xy, targets] : members[argument]) {
                for (const PluginSendInfo& target : targets) {
                    if (static_cast<int32_t>(target.paramNo) != paramNo || !target.guid ||
                        std::strcmp(target.guid, moduleGuid) != 0) {
                        continue;
                    }
                    found.index = static_cast<uint32_t>(index);
                    found.argument = static_cast<uint32_t>(argument);
                    found.x = static_cast<uint32_t>(xy.first);
                    found.y = static_cast<uint32_t>(xy.second);
                    return found;
                }
            }
        }
    }
    return found;
}

JLIB::JResult LpcUzProtoMemory::updateMemory(uint8_t factor, const char* moduleGuid, int32_t paramNo)
{
    if (!LpcMurRemote::getInstance().isConnected()) return JLIB::kFailed;
    (void)updateMemoryCore(factor, moduleGuid, paramNo);  // an unlisted or unwritable parameter changes nothing
    return JLIB::kOk;
}

JLIB::JResult LpcUzProtoMemory::updateMemoryCore(uint8_t factor, const char* moduleGuid, int32_t paramNo)
{
    const MemoryAddress where = getMemoryAddress(moduleGuid, paramNo);
    if (!where.isValid()) return JLIB::kFailed;
    const MemoryItem* const item = getMemoryItem(static_cast<MemoryIndex>(where.index));
    if (!item || !item->converter || where.argument >= item->argNum) return JLIB::kFailed;
    const MemoryAttribute attr = getMemoryAttribute(item->index, 0);
    const double normalised = LpcMurRemote::getInstance().getModulePluginParam(moduleGuid, paramNo);
    const JVariant value = item->converter->reverse(normalised, attr.min, attr.max, attr.scaling);
    const std::string address = getPdbAddressFromMemoryIndex(item->index);

    JVariantList list;
    if (item->argNum == 1) {
        list.push_back(value);
    } else {
        // The write path takes a whole run of members from member 0: the others go back as they are.
        const JLIB::JResult read =
            pdb_getParams(item->category, address.c_str(), item->postFix, item->argNum, where.x, where.y, list);
        if (JLIB::isFailure(read)) return read;
        if (list.size() != item->argNum) return JLIB::kFailed;
        list[where.argument] = value;
    }
    const JLIB::JResult written =
        pdb_setParams(item->category, address.c_str(), item->postFix, item->argNum, where.x, where.y, list, factor);
    std::printf("parameter changed by plugin [%s] [%s] [arg=%d][x:%d][y:%d][value:%d]\n", address.c_str(),
                item->postFix, static_cast<int>(where.argument), static_cast<int>(where.x), static_cast<int>(where.y),
                printedValue(value));
    return written;
}

JLIB::JResult LpcUzProtoMemory::setParametersInitialize(uint64_t count)
{
    if (!m_pMutex) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(*m_pMutex);
    LpcMurRemote::getInstance().setParametersInitialize(count);
    return JLIB::kOk;
}

JLIB::JResult LpcUzProtoMemory::restorePluginFromMemory()
{
    if (!m_pMutex) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(*m_pMutex);
    (void)dbgPrintf("[UZ] restorePluginFromMemory\n");  // the length printed
    LpcMurRemote& rack = LpcMurRemote::getInstance();
    if (!rack.isConnected()) return JLIB::kFailed;
    const auto start = std::chrono::system_clock::now();
    // Opening the batch would drop what a change walk has queued but not yet sent.
    if (rack.pendingParameterCount() != 0) rack.setParametersFlush();
    rack.setParametersInitialize(kRestoreBatchRecords);
    for (const auto& [index, item] : g_MemoryItemMap) {
        if (item->pluginParams.empty()) continue;
        const MemoryAttribute attr = getMemoryAttribute(index, 0);
        const std::string address = getPdbAddressFromMemoryIndex(index);
        for (uint32_t x = 0; x < attr.sizeX; ++x) {
            for (uint32_t y = 0; y < attr.sizeY; ++y) {
                JVariantList values;
                if (JLIB::isFailure(pdb_getParams(item->category, address.c_str(), item->postFix, item->argNum, x, y,
                                                  values))) {
                    continue;
                }
                for (uint32_t l = 0; l < item->argNum && l < values.size(); ++l) {
                    (void)setModulePluginParameter(values[l], item, x, y, l);  // out of range still sends
                }
            }
        }
    }
    rack.setParametersFlush();
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now() - start);
    std::printf("[UZ] restorePluginFromMemory finished elapsed time %lf[ms]\n",
                static_cast<double>(elapsed.count()) / 1000.0);
    return JLIB::kOk;
}

JLIB::JResult LpcUzProtoMemory::restoreMemoryFromPlugin()
{
    (void)LpcMurRemote::getInstance().isConnected();  // asked, but the rack is never the source
    return JLIB::kFailed;
}

JLIB::JResult LpcUzProtoMemory::setSystemName(const std::string& name)
{
    const JLIB::JResult named = pdb_setParamT<const char*>(CATEGORY_PDBTYPE_UZVOLATILE, kSystemName, 0, 0, name.c_str());
    const uint32_t count = nameToOBANum(name);
    return named | setOBANum(count != 0 ? count : kDefaultOBANum);
}

JLIB::JResult LpcUzProtoMemory::setOBANum(uint32_t count)
{
    (void)pdb_setParamT<unsigned int>(CATEGORY_PDBTYPE_UZVOLATILE, kSystemOBANum, 0, 0, count);  // see the header
    return JLIB::kOk;
}

uint32_t nameToOBANum(const std::string& name)
{
    const size_t i = name.find('i');
    if (i == std::string::npos) return 0;
    const size_t x = name.find('X', i + 1);
    if (x == std::string::npos) return 0;
    size_t p = i + 1;
    while (p < x && std::isspace(static_cast<unsigned char>(name[p]))) ++p;
    bool negative = false;
    if (p < x && (name[p] == '+' || name[p] == '-')) negative = name[p++] == '-';
    uint64_t value = 0;
    for (; p < x && std::isdigit(static_cast<unsigned char>(name[p])); ++p) {
        value = value * 10 + static_cast<uint64_t>(name[p] - '0');
        if (value > INT32_MAX) return 0;  // no count a rack could hold
    }
    return negative ? 0 : static_cast<uint32_t>(value);
}

MemoryItem* getMemoryItem(MemoryIndex index)
{
    const auto found = g_MemoryItemMap.find(index);
    return found == g_MemoryItemMap.end() ? nullptr : found->second;
}

std::string oscToPdb(const std::string& address)
{
    const size_t colon = address.find(':');
    if (colon == std::string::npos) return std::string();
    return "/" + address.substr(colon + 1);
}

std::string getUntilFirstAt(const std::string& address) { return address.substr(0, address.find('@')); }

std::string pdbToOsc(const std::string& address)
{
    const std::string plain = getUntilFirstAt(address);
    const size_t slash = plain.find('/');
    return "uz:" + (slash == std::string::npos ? std::string() : plain.substr(slash + 1));
}

std::string getPdbAddressFromMemoryIndex(MemoryIndex index) { return oscToPdb(getParameterName(index)); }

float round_n(float value)
{
    const float scaled = value * 200.0f;
    return static_cast<float>(std::round(static_cast<double>(scaled))) / 200.0f;
}

JLIB::JResult round_n_forJVariantList(JVariantList& values)
{
    for (JVariant& value : values) {
        if (value.getType() == JVariant::kTypeFloat) value = round_n(value.toFloat());
    }
    return JLIB::kOk;
}

int32_t toLPCValueType(uint8_t typeCode)
{
    switch (typeCode >> 4) {
    case 1:  // unsigned
    case 2:  // signed
    case 4:  // bool
        return kLPCValueTypeInteger;
    case 3:
        return kLPCValueTypeFloat;
    case 5:
        return kLPCValueTypeString;
    default:  // binary and unknown kinds have no protocol form
        return kLPCValueTypeNone;
    }
}

}  // namespace LPC
