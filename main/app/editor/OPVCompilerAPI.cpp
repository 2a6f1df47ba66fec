#include "editor/OPVCompilerAPI.h"

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "LogicCtrl/logic_ILogicComponent.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioConnection.h"
#include "jlib/jlib_cfg.h"

namespace OPVCompilerAPI {

const char* const DSP_SYSTEM_NAME = "OPV256-D";
const char* const DSP_NAME = "OPV-D CPU";

std::atomic<bool> gCompileCancelRequest{false};

namespace {

using nlohmann::json;

constexpr uint32_t kCoresPerDsp = 4;
constexpr uint32_t kRenderSamples = 32;
constexpr bool kDelayCompensation = false;
constexpr uint32_t kStepOffset = 0;
constexpr bool kStepShared = false;
constexpr const char* kStep = "step";
constexpr const char* kFixedDelay = "fixedDelay";

uint32_t getFsSetup() { return 96000; }

uint32_t getNumSamplePerFrame() { return getFsSetup() <= 48000 ? 16 : 32; }

uint32_t getProcessingResourceCapacityPerCore() { return 333333; }

// Resource figures are always asked at the fixed figures the databases are built for.
uint32_t usageOf(const DRAVO::AudioComponent& component, const char* resourceName)
{
    return component.getResourceUsage(DSP_NAME, 96000, 32, resourceName);
}

bool isPresent(const DRAVO::AudioComponent* component) { return component && !component->isNull(); }

const DRAVO::AudioComponentCollection::AudioComponentList& ownView()
{
    return DRAVO::AudioComponentCollection::singleton()->componentList();
}

using Link = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

json linkObject(const Link& link)
{
    const auto& [fromUniqID, fromPortNo, toUniqID, toPortNo] = link;
    return json{{"fromUniqID", fromUniqID}, {"fromPortNo", fromPortNo}, {"toUniqID", toUniqID}, {"toPortNo", toPortNo}};
}

json linkList(const std::set<Link>& links)
{
    json list = json::array();
    for (const Link& link : links) list.push_back(linkObject(link));
    return list;
}

// Each link of the logic network as (from uniqID, from port, to uniqID, to port); a link is seen
// from both of its ends, the set keeps it once.
void collectLogicLinks(DRAVO::AudioComponent& component, std::set<Link>& links)
{
    const LogicCtrl::ILogicComponent& logic = component.logicComponent();
    const uint32_t self = component.uniqID();
    for (uint32_t i = 0; i < logic.logicInputPortNum(); ++i) {
        const LogicCtrl::Connection& from = logic.prevLogicComponent(i);
        if (from.component()) links.emplace(from.component()->uniqID(), from.port(), self, i);
    }
    for (uint32_t j = 0; j < logic.logicOutputPortNum(); ++j) {
        for (const LogicCtrl::Connection& to : logic.nextLogicComponents(j)) {
            if (to.component()) links.emplace(self, j, to.component()->uniqID(), to.port());
        }
    }
}

std::string printOrEmpty(const json& document, bool* ok)
{
    std::string text;
    const bool printed = JLIB::isSuccess(printJsonText(document, text));
    if (ok) *ok = printed;
    return text;
}

}  // namespace

JLIB::JResult printJsonText(const nlohmann::json& document, std::string& text)
{
    text.clear();
    try {
        text = document.dump(2);
    } catch (const nlohmann::json::exception& e) {
        JLIB_LOG("[E] OPVCompilerAPI - the database cannot be printed: %s\n", e.what());
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

std::string getComponentDBJsonString(bool* ok)
{
    using TypeKey = std::tuple<std::string, uint32_t, uint32_t, uint32_t>;
    std::set<TypeKey> seen;
    json components = json::array();
    for (const DRAVO::AudioComponent* component : ownView()) {
        if (!isPresent(component)) continue;
        const std::string name = component->componentName();
        if (!seen.emplace(name, component->majorVersion(), component->numX(), component->numY()).second) continue;
        json step = json{{"name", kStep}, {"size", usageOf(*component, kStep)}};
        json resource = json{{"dspName", DSP_NAME},
                             {"fsHz", getFsSetup()},
                             {"numSamplePerFrame", getNumSamplePerFrame()},
                             {"fixedDelay", usageOf(*component, kFixedDelay)},
                             {"resources", json::array({step})}};
        components.push_back(json{{"name", name},
                                  {"majorVersion", component->majorVersion()},
                                  {"numX", component->numX()},
                                  {"numY", component->numY()},
                                  {"numInPort", component->audioInputNum()},
                                  {"numOutPort", component->audioOutputNum()},
                                  {"dspResources", json::array({resource})}});
    }
    return printOrEmpty(json{{"componentDB", json{{"components", components}}}}, ok);
}

std::string getConnectionDBJsonString(bool* ok)
{
    using Instance = std::tuple<uint32_t, std::string, uint32_t, uint32_t, uint32_t>;
    std::set<Instance> instances;
    std::set<Link> logicLinks;
    for (DRAVO::AudioComponent* component : ownView()) {
        if (!isPresent(component)) continue;
        instances.emplace(component->uniqID(), component->componentName(), component->majorVersion(),
                          component->numX(), component->numY());
        collectLogicLinks(*component, logicLinks);
    }

    std::vector<DRAVO::AudioConnection> original;
    // Fails only on a collection never set up, which the start order of the threads excludes.
    JLIB_ASSERT(JLIB::isSuccess(DRAVO::AudioComponentCollection::singleton()->getOriginalConnections(original)));
    std::set<Link> audioLinks;
    for (const DRAVO::AudioConnection& c : original) {
        audioLinks.emplace(c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo);
    }

    json components = json::array();
    for (const auto& [uniqID, name, majorVersion, numX, numY] : instances) {
        components.push_back(json{
            {"uniqID", uniqID}, {"name", name}, {"majorVersion", majorVersion}, {"numX", numX}, {"numY", numY}});
    }
    const json dspSystem = json{{"name", DSP_SYSTEM_NAME},
                                {"fsHz", getFsSetup()},
                                {"numSamplePerFrame", getNumSamplePerFrame()},
                                {"renderSamples", kRenderSamples},
                                {"delayCompensation", kDelayCompensation}};
    return printOrEmpty(json{{"connectionDB", json{{"dspSystem", dspSystem},
                                                   {"components", components},
                                                   {"connections", linkList(audioLinks)},
                                                   {"logicConnections", linkList(logicLinks)}}}},
                        ok);
}

std::string getDspSystemDBJsonString(bool* ok)
{
    json cores = json::array();
    for (uint32_t i = 0; i < kCoresPerDsp; ++i) {
        const json step = json{{"name", kStep},
                               {"offset", kStepOffset},
                               {"size", getProcessingResourceCapacityPerCore()},
                               {"shared", kStepShared}};
        cores.push_back(json{{"resources", json::array({step})}});
    }
    const json dsp = json{{"name", DSP_NAME}, {"cores", cores}};
    const json system = json{{"name", DSP_SYSTEM_NAME},
                             {"fsHz", getFsSetup()},
                             {"numSamplePerFrame", getNumSamplePerFrame()},
                             {"dsps", json::array({dsp})}};
    return printOrEmpty(json{{"dspSystemDB", json{{"dspSystems", json::array({system})}}}}, ok);
}

uint32_t getTotalProcessingResourceCapacity() { return getProcessingResourceCapacityPerCore() * kCoresPerDsp; }

uint32_t getTotalProcessingResourceUsage()
{
    uint32_t total = 0;
    for (const DRAVO::AudioComponent* component : ownView()) {
        if (isPresent(component)) total += getProcessingResourceUsage(component->uniqID());  // wraps on purpose
    }
    return total;
}

uint32_t getProcessingResourceUsage(uint32_t uniqId)
{
    for (const DRAVO::AudioComponent* component : ownView()) {
        if (isPresent(component) && component->uniqID() == uniqId) return usageOf(*component, kStep);
    }
    return 0;
}

bool isCompileCancelRequest() { return gCompileCancelRequest.load(std::memory_order_seq_cst); }

JLIB::JResult clearCompileCancelRequest()
{
    gCompileCancelRequest.store(false, std::memory_order_seq_cst);
    return JLIB::kOk;
}

JLIB::JResult setCompileCancelRequest()
{
    gCompileCancelRequest.store(true, std::memory_order_seq_cst);
    return JLIB::kOk;
}

}  // namespace OPVCompilerAPI
