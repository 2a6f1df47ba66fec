#pragma once
// Bookkeeping of a firmware update: one accessor per update target holds its status, progress,
// abort permission, last error and update information, checks status changes against a fixed
// table and reports each change to the panel thread "HUI"; start and abort requests go to
// "SlotControl". Messages that cannot be delivered wait in a queue retried from a cyclic call.
// Any thread of the tree may call the setters; each accessor guards its state with its own lock,
// never held while sending.
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>

#include "TMS/AbstractMessage.h"
#include "TMS/TMSMutex.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace KAVORI {

enum UpdateTarget : uint32_t {
    UPDATE_TARGET_MAIN = 0,
    UPDATE_TARGET_PNFDC = 1,
    UPDATE_TARGET_PIC = 2,
    UPDATE_TARGET_CARD = 3,
    UPDATE_TARGET_RESERVED = 4,
    UPDATE_TARGET_NULL = 5,
};

enum UpdateStatus : uint32_t {
    UPDATE_STATUS_INVALID = 0,
    UPDATE_STATUS_NONE = 1,
    UPDATE_STATUS_WAIT_READY = 2,
    UPDATE_STATUS_READY = 3,
    UPDATE_STATUS_UPDATING = 4,
    UPDATE_STATUS_END_SUCCESS = 5,
    UPDATE_STATUS_END_FAIL = 6,
    UPDATE_STATUS_END_DEAD = 7,
    UPDATE_STATUS_END_ABORT = 8,
};

constexpr uint32_t kUpdateTargetNum = 5;  // targets 0 to 4 have accessors of their own
constexpr uint32_t kUpdateStatusNum = 9;
constexpr uint32_t kUpdateNotifyMessageId = 0x20000001;
constexpr uint32_t kUpdateRequestMessageId = 0x20000000;

// "MAIN", "PNFDC", "PIC", "CARD"; empty for any other target.
const char* getTargetName(uint32_t target);
// "Invalid" to "EndAbort"; empty for any other value.
const char* getStatusName(uint32_t status);

class KavoriUpdateAccessor {
public:
    using InfoMap = std::map<std::string, JVariant>;

    explicit KavoriUpdateAccessor(UpdateTarget target);
    ~KavoriUpdateAccessor();
    KavoriUpdateAccessor(const KavoriUpdateAccessor&) = delete;
    KavoriUpdateAccessor& operator=(const KavoriUpdateAccessor&) = delete;

    // The accessor of a target 0 to 4, otherwise the null accessor. Only after
    // initializeKavoriUpdate (before it there is no null accessor: a broken invariant).
    static KavoriUpdateAccessor& get(uint32_t target);
    // By the target name the text begins with; null or anything else: the null accessor.
    static KavoriUpdateAccessor& get(const char* text);
    static KavoriUpdateAccessor& get(const JVariant& value);
    // By the message's "Target".
    static KavoriUpdateAccessor& get(const TMS::AbstractMessage& message);

    UpdateTarget getTargetType() const { return m_target; }
    bool isValid() const { return m_target < UPDATE_TARGET_NULL; }

    // The calling thread of the tree needs its "UpdateState/<target>" at 0; sets it to 2 (for an
    // update, which needs "Denominator" in the map) or 1 and flushes. 0 or 0x80000000.
    [[nodiscard]] JLIB::JResult registerUpdateInfo(bool forUpdate, const InfoMap& info);
    const JVariant& getUpdateInfo(const std::string& key) const;
    InfoMap getUpdateInfoMap() const;

    // The setters answer 0 done, 1 when the message to "HUI" was queued for a later retry, and
    // 0x80000000 when refused (nothing changed) or when in update mode the receiver does not
    // exist (the value is kept, the message dropped and logged).
    [[nodiscard]] JLIB::JResult setProgress(uint32_t numerator, uint32_t denominator);
    uint32_t getNumerator() const;
    uint32_t getDenominator() const;
    void getProgress(uint32_t& numerator, uint32_t& denominator) const;
    // A status of 5 on targets 0 to 4 ends update mode ("RunMode" 0 on the calling thread) once
    // every target is 0, 1 or 5.
    [[nodiscard]] JLIB::JResult setStatus(uint32_t status);
    UpdateStatus getStatus() const;
    static bool canChangeStatus(uint32_t from, uint32_t to);
    [[nodiscard]] JLIB::JResult setAbortEnable(bool enable);
    bool isAbortEnable() const;
    // An invalid value is refused.
    [[nodiscard]] JLIB::JResult setError(const JVariant& value);
    JVariant getLastError() const;

    // With queueOnly the request waits in the queue (1). Otherwise outside update mode
    // 0x80000000; in update mode sent to "SlotControl": 0, 1 when queued after a failed send,
    // 0x80000000 when "SlotControl" does not exist (logged, dropped).
    [[nodiscard]] JLIB::JResult requestStart(bool queueOnly);
    [[nodiscard]] JLIB::JResult requestAbort(bool queueOnly);

    // The calling thread belongs to the tree and its "RunMode" is 3.
    static bool isUpdateMode();
    // Retries the first queued message: one that fails again goes to the end of the queue, one
    // whose receiver does not exist is dropped. Nothing for an empty queue.
    void sendPendingMessage();
    size_t pendingCount() const;

private:
    JLIB::JResult notify(TMS::AbstractMessage& message, const char* what);
    JLIB::JResult request(const char* type, bool queueOnly);
    JLIB::JResult deliver(const char* receiver, const TMS::AbstractMessage& message, const char* what);
    void initializeMessage(TMS::AbstractMessage& message, uint32_t id, const char* command) const;
    void leaveUpdateModeWhenAllEnded();

    const UpdateTarget m_target;
    bool m_registered;
    InfoMap m_info;
    UpdateStatus m_status;
    uint32_t m_numerator;
    uint32_t m_denominator;
    bool m_abortEnabled;
    JVariant m_lastError;
    TMS::TMSMutex m_lock;  // guards everything above but the target, and the queue
    std::deque<std::pair<std::string, TMS::AbstractMessage>> m_pending;
};

// Process-wide: the accessors of targets 0 to 4 and the null accessor of target 5.
extern KavoriUpdateAccessor* g_AccessorTable[kUpdateTargetNum];
extern KavoriUpdateAccessor* g_pNullAccessor;

// Finalises first, then creates the accessors 0 to 4 and the null accessor; 0x80000000 when one
// cannot be created (those created stay).
[[nodiscard]] JLIB::JResult initializeKavoriUpdate();
JLIB::JResult finalizeKavoriUpdate();
// One retry of a queued message per target 0 to 4; 0.
JLIB::JResult cyclicProcessKavoriUpdate();

}  // namespace KAVORI
