#include "common/Lpc/LpcPluginSendInfo.h"

#include <fstream>
#include <map>
#include <utility>

#include "common/Lpc/LpcOscParameterItem.h"
#include "common/Lpc/ModuleParamBase.h"
#include "jlib/jlib_cfg.h"

namespace LPC {

namespace {

// (module name, parameter number) to the first (protocol name, element index) that claimed it.
// Never cleared, so a later dump marks what an earlier one listed.
std::map<std::pair<std::string, uint64_t>, std::pair<std::string, uint64_t>> glMap;

void appendIfPresent(PluginSendInfoList& out, const char* guid, uint64_t paramNo, const char* name, bool invert)
{
    // The catalogue answers null for a module number beyond its table.
    if (guid && name) out.emplace_back(guid, paramNo, name, invert);
}

}  // namespace

JLIB::JResult listUpPluginSendInfo(const ModuleParamList& entries, uint64_t index, PluginSendInfoList& out)
{
    if (entries.empty() || !entries.front()) return JLIB::kFailed;
    if (index >= entries.front()->getTotalParamSize()) return JLIB::kFailed;
    for (const ModuleParamBase* entry : entries) {
        if (!entry) continue;
        const bool allParams = entry->isSendToAllParams();
        const bool allModules = entry->isSendToAllModules();
        const bool invert = entry->isInvert();
        const uint64_t moduleSize = entry->getModuleSize();
        // One value for all parameters is sent once, with element 0.
        if (allParams && index != 0) return JLIB::kOk;
        if (allParams && allModules) {
            for (uint64_t m = 0; m < moduleSize; ++m) {
                const char* guid = entry->getGuidWithModuleNo(m);
                const char* name = entry->getModuleNameWithModuleNo(m);
                if (!guid || !name) continue;
                for (uint64_t p = 0; p < entry->getTotalParamSize(); ++p) {
                    out.emplace_back(guid, entry->getParamNo(p), name, invert);
                }
            }
        } else if (allModules) {
            for (uint64_t m = 0; m < moduleSize; ++m) {
                appendIfPresent(out, entry->getGuidWithModuleNo(m), entry->getParamNo(index),
                                entry->getModuleNameWithModuleNo(m), invert);
            }
        } else if (allParams) {
            for (uint64_t p = 0; p < entry->getTotalParamSize(); ++p) {
                appendIfPresent(out, entry->getGuid(p), entry->getParamNo(p), entry->getModuleName(p), invert);
            }
        } else {
            appendIfPresent(out, entry->getGuid(index), entry->getParamNo(index), entry->getModuleName(index), invert);
        }
    }
    return JLIB::kOk;
}

JLIB::JResult showPluginParameters()
{
    // A stream that failed to open swallows every write.
    std::ofstream out("pluginParameters.txt", std::ios::out | std::ios::trunc);
    showHeader(out);
    for (const MemoryItem& item : sMemoryItemTable) {
        if (item.pluginParams.empty()) continue;
        JLIB_ASSERT(item.pluginParams.size() >= item.argNum);
        const std::string base = getParameterName(item.index);
        const std::string fix = item.postFix;
        for (uint32_t k = 0; k < item.argNum; ++k) {
            const std::string name = fix.empty() ? base : base + "/" + fix.substr(k, 1);
            show(out, name, item.pluginParams[k]);
        }
    }
    out.flush();
    out.close();
    return JLIB::kOk;
}

void showHeader(std::ostream& out)
{
    for (const char* column : {"JOSC", "X", "Invert", "PluginGuid", "PluginPrmNo", "ModuleName"}) out << column << ", ";
    out << "\n";
}

void show(std::ostream& out, const std::string& name, const ModuleParamList& entries)
{
    if (entries.empty() || !entries.front()) return;
    for (uint64_t x = 0; x < entries.front()->getTotalParamSize(); ++x) {
        PluginSendInfoList targets;
        if (JLIB::isFailure(listUpPluginSendInfo(entries, x, targets))) continue;
        for (const PluginSendInfo& t : targets) showInternal(out, name, x, t.isInvert, t.guid, t.paramNo, t.moduleName);
    }
}

void showInternal(std::ostream& out, const std::string& name, uint64_t x, bool isInvert, const char* guid,
                  uint64_t paramNo, const char* moduleName)
{
    const auto claimed = glMap.try_emplace({moduleName ? moduleName : "", paramNo}, name, x);
    out << name << ", " << x << ", " << (isInvert ? " Invert" : "") << ", " << (guid ? guid : "") << ", " << paramNo
        << ", " << (moduleName ? moduleName : "");
    if (!claimed.second) {
        const std::pair<std::string, uint64_t>& first = claimed.first->second;
        out << "Caution: (" << name << " " << x << ")  alreadyHad at " << first.first << " " << first.second;
    }
    out << "\n";
}

}  // namespace LPC
