#include "common/KavoriAppThread.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <tuple>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "common/Lpc/LpcPDB.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"

namespace KAVORI {

namespace {

// A changed multi-value group: component, address of its first member, x, y.
using GroupKey = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

}  // namespace

KavoriAppThread::KavoriAppThread(uint32_t queueCapacity)
    : TMS::AbstractThread(queueCapacity), m_productState(0), m_runMode(0), m_pdbState(0)
{
}

KavoriAppThread::~KavoriAppThread() = default;

JLIB::JResult KavoriAppThread::onChangeRunMode(RUNMODE) { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onChangePDBConfig() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onChangePDBStatus(PDBSTAT) { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onRecalled() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onParamSetListChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onLibraryListChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onFileListChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onProjectChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onMemoryInitialized() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onIPAddressChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onUserLevelChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onReceiveLocalEvent(uint32_t) { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onMurParameterChanged() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::onMurConnectStateChagned() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::willOnFoundChangedParameter() { return JLIB::kOk; }
JLIB::JResult KavoriAppThread::didOnFoundChangedParameter() { return JLIB::kOk; }

JLIB::JResult KavoriAppThread::onFoundChangedParameter(PDB::IParameterDB&, uint32_t, uint32_t, uint32_t, uint32_t,
                                                       uint32_t)
{
    return JLIB::kOk;
}

JLIB::JResult KavoriAppThread::onChangeAudioComponentConfig()
{
    if (getStatus() == TMS::kStatusRun) (void)DRAVO::AudioComponentCollection::singleton()->updateByThread();  // 0 once set up
    return JLIB::kOk;
}

JLIB::JResult KavoriAppThread::registerSubscribeId(uint16_t userId, PDB::SubscribeAttr attr)
{
    const uint32_t id = (uint32_t(callerTaskId()) << 16) | userId;
    if (std::find(m_subscribeIds.begin(), m_subscribeIds.end(), id) != m_subscribeIds.end()) return JLIB::kOk;
    m_subscribeIds.push_back(id);
    // Only the databases that exist now: a later one is not subscribed.
    for (uint32_t i = 0; i < PDB::gPDBCollection.numOfPDB(); ++i) {
        (void)PDB::gPDBCollection.getPDB(i).addDirtyFlag(id, this, attr);  // a database that refuses is not watched
    }
    return JLIB::kOk;
}

uint32_t KavoriAppThread::rawCallbackChangePDBConfig()
{
    (void)sendEvent(kEventPDBConfig);  // before set-up nobody is there to tell
    return JLIB::kOk;
}

uint32_t KavoriAppThread::rawCallbackSetPDBParameter()
{
    (void)sendEvent(kEventPDBParam);  // as above
    return JLIB::kOk;
}

uint32_t KavoriAppThread::rawCallbackChangeAudioComponentConfig()
{
    (void)sendEvent(kEventAudioComponentConfig);  // as above
    return JLIB::kOk;
}

JLIB::JResult KavoriAppThread::onChangePDBParam()
{
    JLIB_RETURN_IF_FAILED(willOnFoundChangedParameter());
    for (uint32_t i = 0; i < PDB::gPDBCollection.numOfPDB(); ++i) {
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(i);
        for (const uint32_t id : m_subscribeIds) walkSubscription(db, id);
    }
    const JLIB::JResult did = didOnFoundChangedParameter();
    return JLIB::isFailure(did) ? did : JLIB::kOk;
}

void KavoriAppThread::walkSubscription(PDB::IParameterDB& db, uint32_t subscriptionId)
{
    // The database locks inside each call; values changed meanwhile are caught by the next event 0.
    const int32_t set = db.getDirtyFlagSet(subscriptionId);
    if (JLIB::isFailure(db.captureDirtyFlag(set))) return;
    std::set<GroupKey> groups;
    uint32_t ci = 0, ai = 0, x = 0, y = 0;
    while (db.checkNextDirty(set, ci, ai, x, y, false) == JLIB::kOk) {
        bool isMember = false;
        uint32_t index = 0, count = 0;
        const JLIB::JResult atomic = LPC::isAtomicParameter(db, ci, ai, isMember, index, count);
        if (JLIB::isFailure(atomic) || !isMember) {
            (void)onFoundChangedParameter(db, ci, ai, x, y, subscriptionId);  // the hook's result is its own
            continue;
        }
        // However many members changed, the group is reported once, whole.
        groups.emplace(ci, LPC::getFirstAddressIndexOfAtomicParameter(ci, ai, index), x, y);
    }
    for (const auto& [gci, gai, gx, gy] : groups) (void)onFoundChangedParameter(db, gci, gai, gx, gy, subscriptionId);
}

JLIB::JResult KavoriAppThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    return TMS::AbstractThread::onInitialize(arguments);
}

JLIB::JResult KavoriAppThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    DRAVO::AudioComponentCollection* components = DRAVO::AudioComponentCollection::singleton();
    // Refused only while the collection is not set up or full; the thread then has no view.
    if (status == TMS::kStatusRun) (void)components->beginByThread(this);
    if (status == TMS::kStatusClosing) (void)components->endByThread();
    return TMS::AbstractThread::onChangeStatus(status, arguments);
}

JLIB::JResult KavoriAppThread::onChangeSystemInfo()
{
    const JLIB::JResult result = TMS::AbstractThread::onChangeSystemInfo();
    const auto readUnsigned = [this](const char* name) {
        JVariant value;
        (void)getSysParam(value, name, 0);  // an undeclared parameter reads as 0
        return value.toUInt32();
    };

    if (isSysParamChanged("PDBState", 0, true)) {
        const uint32_t state = readUnsigned("PDBState");
        if (state != m_pdbState) {
            m_pdbState = state;
            (void)onChangePDBStatus(static_cast<PDBSTAT>(state));  // the hook's result is its own
        }
    }

    // A flush marks a parameter changed even when its value stayed: only a new value counts.
    const bool marked = isSysParamChanged("ProductState", 0, true) || isSysParamChanged("RunMode", 0, true);
    if (marked) {
        const uint32_t productState = readUnsigned("ProductState");
        const uint32_t runMode = readUnsigned("RunMode");
        if (productState != m_productState || runMode != m_runMode) {
            m_productState = productState;
            m_runMode = runMode;
            if (productState == 1) (void)onChangeRunMode(static_cast<RUNMODE>(runMode));  // as above
        }
    }
    return result;
}

JLIB::JResult KavoriAppThread::onReceiveEvent(uint32_t eventNumber)
{
    (void)TMS::AbstractThread::onReceiveEvent(eventNumber);  // does nothing
    if (eventNumber >= kFirstLocalEvent) {
        (void)onReceiveLocalEvent(eventNumber);  // the hooks' results are their own
        return JLIB::kOk;
    }
    switch (eventNumber) {
    case kEventPDBParam: (void)onChangePDBParam(); break;
    case kEventRecalled: (void)onRecalled(); break;
    case kEventParamSetListChanged: (void)onParamSetListChanged(); break;
    case kEventLibraryListChanged: (void)onLibraryListChanged(); break;
    case kEventFileListChanged: (void)onFileListChanged(); break;
    case kEventProjectChanged: (void)onProjectChanged(); break;
    case kEventMemoryInitialized: (void)onMemoryInitialized(); break;
    case kEventIPAddressChanged: (void)onIPAddressChanged(); break;
    case kEventUserLevelChanged: (void)onUserLevelChanged(); break;
    case kEventPDBConfig: (void)onChangePDBConfig(); break;
    case kEventAudioComponentConfig: (void)onChangeAudioComponentConfig(); break;
    case kEventMurParameterChanged: (void)onMurParameterChanged(); break;
    case kEventMurConnectStateChanged: (void)onMurConnectStateChagned(); break;
    default:
        // Nothing posts 11 to 13: one arriving means the event numbering is broken.
        JLIB_LOG("[E] KavoraAppThread::onReceiveEvent - unknown event ID = %d\n", int(eventNumber));
        (void)std::fflush(stdout);  // the stop does not flush: the line would be lost in a pipe
        jlib_cfg_dbgbrk(__FILE__, __LINE__);
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriAppThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    return TMS::AbstractThread::onReceiveMessage(message);
}

JLIB::JResult KavoriAppThread::onTimer(uint32_t timerId, uint32_t count)
{
    return TMS::AbstractThread::onTimer(timerId, count);
}

JLIB::JResult KavoriAppThread::onWakeup() { return TMS::AbstractThread::onWakeup(); }

JLIB::JResult KavoriAppThread::onFinalize()
{
    const JLIB::JResult result = TMS::AbstractThread::onFinalize();
    JLIB_ASSERT(JLIB::isSuccess(result));
    return result;
}

}  // namespace KAVORI
