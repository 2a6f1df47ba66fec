#pragma once
// The state machine both synchronisers of a link share: association with digests, the tell-
// complete and end handshakes, the associated state, analysis, time-outs and the retry of a send
// step that found no room. What differs (the data, its digests and commands) is in the hooks.
// Owner task of the unit only; no lock of its own.
#include <cstdint>

#include "comctrl_UnitComponent.h"

namespace ComControl {

class IUnitComponentObserver;

enum PDBSyncStatus : uint32_t {
    kPdbSyncIdle = 0,
    kPdbSyncAssociating = 1,
    kPdbSyncAssociated = 2,
    kPdbSyncAnalyzing = 3,
    kPdbSyncAnalyzed = 4,
};

class AbstractSynchronizer : public UnitComponent {
public:
    static constexpr uint32_t kFlagTellCompleteAnswered = 0x4000000;
    static constexpr uint32_t kFlagPeerTellComplete = 0x8000000;
    static constexpr uint32_t kNameSize = 24;
    static constexpr uint32_t kTimeoutMs = 4999;

    AbstractSynchronizer();
    ~AbstractSynchronizer() override = default;

    // observer is borrowed: the owning unit. Always 0.
    JLIB::JResult initialize(bool isServer, IUnitComponentObserver* observer);
    // 0x80000003 without a port, 0x80000000 without the data to synchronise or when associated;
    // 0 and no effect while a send step is pending.
    [[nodiscard]] JLIB::JResult synchronize(bool fromTarget);
    [[nodiscard]] JLIB::JResult asynchronize();
    uint32_t syncStatus() const;
    bool isServer() const { return m_isServer; }
    // The unit passes the negation of its own isServerUnit as this end's server flag.
    bool notServerUnit() const { return m_isServer; }
    const char* getName() const { return m_name; }

    [[nodiscard]] JLIB::JResult synchronizeWithoutDump();
    [[nodiscard]] JLIB::JResult analyze();
    [[nodiscard]] JLIB::JResult transferAllParam();
    bool isTargetMatched() const;
    // Association and analysis time-out.
    JLIB::JResult periodicHandle(uint32_t elapsedMs);
    // Asks the port again for a send step that found no room; never touches the time-out.
    JLIB::JResult retrySend();
    bool sendRetryPending() const { return m_retrySend; }

    JLIB::JResult eventReset() override;
    JLIB::JResult eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more) override;
    JLIB::JResult eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                                uint32_t inputLength, uint8_t* flags) override;

protected:
    using ReceiveStep = JLIB::JResult (AbstractSynchronizer::*)(uint8_t*, uint32_t, uint32_t*, const uint8_t*,
                                                                uint32_t, uint8_t*);
    using SendStep = JLIB::JResult (AbstractSynchronizer::*)(uint8_t*, uint32_t, uint32_t*, bool*);

    // ---- hooks ----
    // Whether the data this port synchronises is there (database, tree).
    virtual bool hasTarget() const = 0;
    // An association is about to start (synchronize, synchronizeWithoutDump) or end (asynchronize).
    virtual void associationStarting() {}
    virtual void associationEnding() {}
    // The begin request was written (starting side) or accepted (answering side); a failure is
    // returned from the step.
    virtual JLIB::JResult beginRequestDone() { return JLIB::kOk; }
    // doAssociating past the checks: the next tell-parameter, or the tell-complete.
    virtual JLIB::JResult tellNext(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) = 0;
    // A tell-parameter while not associated: the reply.
    virtual JLIB::JResult answerIdleTellParameter(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                                  uint32_t inLen, uint8_t* flags) = 0;
    // The peer's tell-complete while not associated was answered.
    virtual void idleTellCompleteAnswered() {}
    virtual JLIB::JResult associatingTellParameter(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
                                                   const uint8_t* in, uint32_t inLen, uint8_t* flags) = 0;
    virtual JLIB::JResult receiveSetParameter(const uint8_t* in, uint32_t inLen) = 0;
    virtual JLIB::JResult receiveSetParameterBlock(const uint8_t* in, uint32_t inLen, bool associated) = 0;
    virtual JLIB::JResult receiveParameterFlip(const uint8_t* in, uint32_t inLen) = 0;
    virtual JLIB::JResult notifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) = 0;
    // A full transfer begins (transferAllParam), then runs one step per command.
    virtual void transferStarting() {}
    virtual JLIB::JResult transferAll(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) = 0;
    // Analysis; without one, nothing is sent, the step stays and every command is accepted.
    virtual JLIB::JResult startAnalysis(uint8_t* out, uint32_t cap, uint32_t* len, bool* more);
    virtual JLIB::JResult analyzing(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*)
    {
        return JLIB::kOk;
    }
    virtual JLIB::JResult analyzed(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*)
    {
        return JLIB::kOk;
    }

    // ---- steps (the states) ----
    JLIB::JResult receiveOnNonAssociation(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnAssociatingWithSelf(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnAssociatingWithTarget(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnAssociatingWithoutDump(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnAssociated(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnWaitAssociationEnd(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnAnalyzing(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult receiveOnAnalyzed(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);

    JLIB::JResult triggerAssociatingSyncWithTarget(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult triggerAssociatingSyncWithSelf(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult doAssociating(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult doNotifying(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult associationEndRequest(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult triggerEstablish(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult triggerAnalysis(uint8_t*, uint32_t, uint32_t*, bool*);
    JLIB::JResult triggerTransferAllParam(uint8_t*, uint32_t, uint32_t*, bool*);

    // Replies AssociationEndAnswer and returns to not associated (flags bit 0 when it did not fit).
    JLIB::JResult replyEnd(uint8_t* out, uint32_t cap, uint32_t* len, uint8_t* flags);
    void disconnected();
    void changeState(SendStep send, ReceiveStep receive);
    // Compared over the 24 characters of a name.
    bool sameName(const char* name) const;
    // Stores at most 23 characters.
    void setName(const char* name);

    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    uint32_t m_ownFactor = 0;
    char m_name[kNameSize] = {};
    uint32_t m_stateFlags = 0;
    ReceiveStep m_receive = nullptr;
    SendStep m_send = nullptr;
    bool m_isServer = false;
    uint32_t m_analysisPosition = 0;
    bool m_matched = false;
    uint32_t m_elapsed = 0;
    bool m_retrySend = false;  // a send step found no room

private:
    JLIB::JResult associating(bool withSelf, uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
};

// A failure whose low 16 bits are low.
inline bool syncLowIs(JLIB::JResult r, uint32_t low)
{
    return JLIB::isFailure(r) && (r & 0xFFFFu) == low;
}

}  // namespace ComControl
