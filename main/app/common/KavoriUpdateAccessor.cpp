#include "common/KavoriUpdateAccessor.h"

#include <cstring>
#include <new>

#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "jlib/jlib_cfg.h"

namespace KAVORI {

KavoriUpdateAccessor* g_AccessorTable[kUpdateTargetNum] = {};
KavoriUpdateAccessor* g_pNullAccessor = nullptr;

namespace {

constexpr const char* kPanelThread = "HUI";
constexpr const char* kSlotThread = "SlotControl";
constexpr uint32_t kUpdateRunMode = 3;
constexpr uint32_t kNormalRunMode = 0;

const char* const kTargetNames[] = {"MAIN", "PNFDC", "PIC", "CARD"};
const char* const kStatusNames[kUpdateStatusNum] = {"Invalid",    "None",    "WaitReady", "Ready",   "Updating",
                                                    "EndSuccess", "EndFail", "EndDead",   "EndAbort"};

// Allowed new statuses per current status, one bit per status.
constexpr uint32_t bit(uint32_t status) { return 1u << status; }
const uint32_t kTransitions[kUpdateStatusNum] = {
    bit(1) | bit(2) | bit(3) | bit(5),  // Invalid
    0,                                  // None
    bit(3) | bit(8),                    // WaitReady
    bit(4) | bit(8),                    // Ready
    bit(5) | bit(6) | bit(7) | bit(8),  // Updating
    0,                                  // EndSuccess
    bit(2) | bit(3),                    // EndFail
    0,                                  // EndDead
    0,                                  // EndAbort
};

const JVariant& invalidValue()
{
    static const JVariant value;
    return value;
}

bool readOwnParam(const char* name, uint32_t& value)
{
    TMS::AbstractThread& self = TMS::getCurrentThread();
    if (self.isNull()) return false;
    JVariant read;
    if (JLIB::isFailure(self.getSysParam(read, name, 0))) return false;
    value = read.toUInt32();
    return true;
}

JLIB::JResult addReason(TMS::AbstractMessage& message, const JVariant& value)
{
    switch (value.getType()) {
    case JVariant::kTypeInt32:
        return message.addData("Reason", static_cast<int32_t>(value.toInt32()));
    case JVariant::kTypeUInt32:
        return message.addData("Reason", static_cast<uint32_t>(value.toUInt32()));
    case JVariant::kTypeFloat:
        return message.addData("Reason", value.toFloat());
    case JVariant::kTypeBinary:
        return message.addData("Reason", value.toBinary(), value.getBinaryLength());
    case JVariant::kTypeString:
        return message.addData("Reason", value.toString());
    default:
        return message.addData("Reason", "");
    }
}

}  // namespace

const char* getTargetName(uint32_t target)
{
    return target < sizeof kTargetNames / sizeof kTargetNames[0] ? kTargetNames[target] : "";
}

const char* getStatusName(uint32_t status) { return status < kUpdateStatusNum ? kStatusNames[status] : ""; }

KavoriUpdateAccessor::KavoriUpdateAccessor(UpdateTarget target)
    : m_target(target),
      m_registered(false),
      m_status(UPDATE_STATUS_INVALID),
      m_numerator(0),
      m_denominator(0),
      m_abortEnabled(false)
{
}

KavoriUpdateAccessor::~KavoriUpdateAccessor() = default;

KavoriUpdateAccessor& KavoriUpdateAccessor::get(uint32_t target)
{
    JLIB_ASSERT(g_pNullAccessor);
    if (target < kUpdateTargetNum && g_AccessorTable[target]) return *g_AccessorTable[target];
    return *g_pNullAccessor;
}

KavoriUpdateAccessor& KavoriUpdateAccessor::get(const char* text)
{
    if (!text) return get(UPDATE_TARGET_NULL);
    for (uint32_t target = 0; target < sizeof kTargetNames / sizeof kTargetNames[0]; ++target) {
        // A text that begins with the name names the target.
        if (std::strncmp(text, kTargetNames[target], std::strlen(kTargetNames[target])) == 0) return get(target);
    }
    return get(UPDATE_TARGET_NULL);
}

KavoriUpdateAccessor& KavoriUpdateAccessor::get(const JVariant& value)
{
    if (value.getType() != JVariant::kTypeString) return get(UPDATE_TARGET_NULL);
    return get(value.toString());
}

KavoriUpdateAccessor& KavoriUpdateAccessor::get(const TMS::AbstractMessage& message)
{
    return get(message.data("Target"));
}

JLIB::JResult KavoriUpdateAccessor::registerUpdateInfo(bool forUpdate, const InfoMap& info)
{
    const std::string param = std::string("UpdateState/") + getTargetName(m_target);
    uint32_t state = 0;
    if (!readOwnParam(param.c_str(), state) || state != 0) return JLIB::kFailed;
    {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        m_registered = forUpdate;
        if (forUpdate) {
            m_info = info;
            const auto denominator = m_info.find("Denominator");
            if (denominator == m_info.end() || denominator->second.getType() == JVariant::kTypeInvalid) {
                return JLIB::kFailed;
            }
            m_denominator = denominator->second.toUInt32();
        }
    }
    TMS::AbstractThread& self = TMS::getCurrentThread();
    if (JLIB::isFailure(self.setSysParam(param.c_str(), 0, JVariant(forUpdate ? 2u : 1u))) ||
        JLIB::isFailure(self.flushSysParam())) {
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

const JVariant& KavoriUpdateAccessor::getUpdateInfo(const std::string& key) const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    const auto found = m_info.find(key);
    // The map's values stay in place until the next registration.
    return found == m_info.end() ? invalidValue() : found->second;
}

KavoriUpdateAccessor::InfoMap KavoriUpdateAccessor::getUpdateInfoMap() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_info;
}

void KavoriUpdateAccessor::initializeMessage(TMS::AbstractMessage& message, uint32_t id, const char* command) const
{
    // A user message with literal keys cannot be refused.
    (void)message.initialize(TMS::kMessageUser, id);
    (void)message.addData("CommandName", command);
    (void)message.addData("Target", getTargetName(m_target));
}

JLIB::JResult KavoriUpdateAccessor::deliver(const char* receiver, const TMS::AbstractMessage& message, const char* what)
{
    // A missing receiver is not worth ending the process for: the product's update flow lacks its
    // panel or slot thread, and the message has nowhere to go.
    if (TMS::getThreadByName(receiver).isNull()) {
        JLIB_LOG("[E] KavoriUpdateAccessor::%s - No thread '%s' for target '%s', message dropped!\n", what, receiver,
                 getTargetName(m_target));
        return JLIB::kFailed;
    }
    if (JLIB::isSuccess(message.sendWithWaiting(receiver))) return JLIB::kOk;
    TMS::TMSMutexAutoReleaser guard(m_lock);
    m_pending.emplace_back(receiver, message);
    return 1;
}

JLIB::JResult KavoriUpdateAccessor::notify(TMS::AbstractMessage& message, const char* what)
{
    if (!isUpdateMode()) return JLIB::kOk;
    return deliver(kPanelThread, message, what);
}

JLIB::JResult KavoriUpdateAccessor::setProgress(uint32_t numerator, uint32_t denominator)
{
    {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        if (numerator == m_numerator && denominator == m_denominator) return JLIB::kOk;
        m_numerator = numerator;
        m_denominator = denominator;
    }
    TMS::AbstractMessage message;
    initializeMessage(message, kUpdateNotifyMessageId, "Progress");
    (void)message.addData("Numerator", numerator);  // as above
    (void)message.addData("Denominator", denominator);
    return notify(message, "setProgress");
}

uint32_t KavoriUpdateAccessor::getNumerator() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_numerator;
}

uint32_t KavoriUpdateAccessor::getDenominator() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_denominator;
}

void KavoriUpdateAccessor::getProgress(uint32_t& numerator, uint32_t& denominator) const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    numerator = m_numerator;
    denominator = m_denominator;
}

bool KavoriUpdateAccessor::canChangeStatus(uint32_t from, uint32_t to)
{
    return from < kUpdateStatusNum && to < kUpdateStatusNum && (kTransitions[from] & bit(to)) != 0;
}

JLIB::JResult KavoriUpdateAccessor::setStatus(uint32_t status)
{
    UpdateStatus previous;
    {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        if (status >= kUpdateStatusNum || !canChangeStatus(m_status, status)) return JLIB::kFailed;
        previous = m_status;
        m_status = static_cast<UpdateStatus>(status);
    }
    TMS::AbstractMessage message;
    initializeMessage(message, kUpdateNotifyMessageId, "Status");
    (void)message.addData("Prev", getStatusName(previous));  // as in initializeMessage
    (void)message.addData("Current", getStatusName(status));
    const JLIB::JResult result = notify(message, "setStatus");
    if (m_target < kUpdateTargetNum && status == UPDATE_STATUS_END_SUCCESS) leaveUpdateModeWhenAllEnded();
    return result;
}

void KavoriUpdateAccessor::leaveUpdateModeWhenAllEnded()
{
    for (KavoriUpdateAccessor* accessor : g_AccessorTable) {
        if (!accessor) continue;
        const UpdateStatus status = accessor->getStatus();
        if (status != UPDATE_STATUS_INVALID && status != UPDATE_STATUS_NONE && status != UPDATE_STATUS_END_SUCCESS) return;
    }
    TMS::AbstractThread& self = TMS::getCurrentThread();
    if (JLIB::isFailure(self.setSysParam("RunMode", 0, JVariant(kNormalRunMode))) ||
        JLIB::isFailure(self.flushSysParam())) {
        JLIB_LOG("[E] KavoriUpdateAccessor::setStatus - Cannot leave update mode from thread '%s'!\n",
                 self.getThreadName());
    }
}

UpdateStatus KavoriUpdateAccessor::getStatus() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_status;
}

JLIB::JResult KavoriUpdateAccessor::setAbortEnable(bool enable)
{
    {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        if (enable == m_abortEnabled) return JLIB::kOk;
        m_abortEnabled = enable;
    }
    TMS::AbstractMessage message;
    initializeMessage(message, kUpdateNotifyMessageId, "Enable");
    (void)message.addData("Type", "Abort");  // as in initializeMessage
    (void)message.addData("Value", enable ? "Enable" : "Disable");
    return notify(message, "setAbortEnable");
}

bool KavoriUpdateAccessor::isAbortEnable() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_abortEnabled;
}

JLIB::JResult KavoriUpdateAccessor::setError(const JVariant& value)
{
    {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        if (value.getType() == JVariant::kTypeInvalid) return JLIB::kFailed;
        m_lastError = value;
    }
    TMS::AbstractMessage message;
    initializeMessage(message, kUpdateNotifyMessageId, "Error");
    (void)addReason(message, value);  // a user message takes every value type
    return notify(message, "setError");
}

JVariant KavoriUpdateAccessor::getLastError() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_lastError;
}

JLIB::JResult KavoriUpdateAccessor::request(const char* type, bool queueOnly)
{
    TMS::AbstractMessage message;
    initializeMessage(message, kUpdateRequestMessageId, "Request");
    (void)message.addData("Type", type);  // as in initializeMessage
    if (queueOnly) {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        m_pending.emplace_back(kSlotThread, message);
        return 1;
    }
    if (!isUpdateMode()) return JLIB::kFailed;
    return deliver(kSlotThread, message, "request");
}

JLIB::JResult KavoriUpdateAccessor::requestStart(bool queueOnly) { return request("Start", queueOnly); }

JLIB::JResult KavoriUpdateAccessor::requestAbort(bool queueOnly) { return request("Abort", queueOnly); }

bool KavoriUpdateAccessor::isUpdateMode()
{
    uint32_t runMode = 0;
    return readOwnParam("RunMode", runMode) && runMode == kUpdateRunMode;
}

void KavoriUpdateAccessor::sendPendingMessage()
{
    std::pair<std::string, TMS::AbstractMessage> entry;
    {
        TMS::TMSMutexAutoReleaser guard(m_lock);
        if (m_pending.empty()) return;
        entry = std::move(m_pending.front());
        m_pending.pop_front();
    }
    if (TMS::getThreadByName(entry.first.c_str()).isNull()) return;  // nobody to retry for
    if (JLIB::isSuccess(entry.second.sendWithWaiting(entry.first.c_str()))) return;
    TMS::TMSMutexAutoReleaser guard(m_lock);
    m_pending.push_back(std::move(entry));
}

size_t KavoriUpdateAccessor::pendingCount() const
{
    TMS::TMSMutexAutoReleaser guard(m_lock);
    return m_pending.size();
}

JLIB::JResult initializeKavoriUpdate()
{
    (void)finalizeKavoriUpdate();  // always 0
    for (uint32_t target = 0; target < kUpdateTargetNum; ++target) {
        g_AccessorTable[target] = new (std::nothrow) KavoriUpdateAccessor(static_cast<UpdateTarget>(target));
        if (!g_AccessorTable[target]) return JLIB::kFailed;
    }
    g_pNullAccessor = new (std::nothrow) KavoriUpdateAccessor(UPDATE_TARGET_NULL);
    return g_pNullAccessor ? JLIB::kOk : JLIB::kFailed;
}

JLIB::JResult finalizeKavoriUpdate()
{
    for (KavoriUpdateAccessor*& accessor : g_AccessorTable) {
        delete accessor;
        accessor = nullptr;
    }
    delete g_pNullAccessor;
    g_pNullAccessor = nullptr;
    return JLIB::kOk;
}

JLIB::JResult cyclicProcessKavoriUpdate()
{
    for (KavoriUpdateAccessor* accessor : g_AccessorTable) {
        if (accessor) accessor->sendPendingMessage();
    }
    return JLIB::kOk;
}

}  // namespace KAVORI
