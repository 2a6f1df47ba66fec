#pragma once
// Parameter-database synchroniser port of a link unit: keeps database i of gPDBCollection equal
// at both ends. Association exchanges digests and, when they differ, the winning side's whole
// image; afterwards each side sends its changes as single sets closed by a flip. Owner task of
// the unit only; the database takes its own lock for each operation.
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

class PdbSynchronizer : public UnitComponent {
public:
    static constexpr uint32_t kFlagTellCompleteAnswered = 0x4000000;
    static constexpr uint32_t kFlagPeerTellComplete = 0x8000000;
    static constexpr uint32_t kNameSize = 24;
    static constexpr uint32_t kTimeoutMs = 4999;

    PdbSynchronizer();
    ~PdbSynchronizer() override = default;

    // observer is borrowed: the owning unit. Always 0.
    JLIB::JResult initialize(bool isServer, IUnitComponentObserver* observer);
    // Only while not associated; 0x80000000 otherwise or for an unknown database.
    [[nodiscard]] JLIB::JResult setFacade(uint32_t instanceId, uint32_t subscriberId, uint32_t ownFactor);
    [[nodiscard]] JLIB::JResult extendBufferSize();
    [[nodiscard]] JLIB::JResult synchronize(bool fromTarget);
    [[nodiscard]] JLIB::JResult asynchronize();
    // Local changes: captures the subscription's dirty flags and sends them.
    [[nodiscard]] JLIB::JResult notify();
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

private:
    using ReceiveStep = JLIB::JResult (PdbSynchronizer::*)(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t,
                                                           uint8_t*);
    using SendStep = JLIB::JResult (PdbSynchronizer::*)(uint8_t*, uint32_t, uint32_t*, bool*);

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

    JLIB::JResult associating(bool withSelf, uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*);
    JLIB::JResult replyEnd(uint8_t*, uint32_t, uint32_t*, uint8_t*);
    JLIB::JResult sendSingleParameterCommand(uint8_t*, uint32_t, uint32_t*, uint32_t ci, uint32_t ai, uint32_t x,
                                             uint32_t y);
    JLIB::JResult receiveSetParameter(const uint8_t*, uint32_t);
    JLIB::JResult receiveSetParameterFlip(const uint8_t*, uint32_t);
    JLIB::JResult receiveSetParameterBlock(const uint8_t*, uint32_t, bool associated);
    JLIB::JResult receiveParameterFlip(const uint8_t*, uint32_t);
    JLIB::JResult importBinary(const uint8_t* image, uint32_t size, uint8_t factor);
    void disconnected();
    void changeState(SendStep send, ReceiveStep receive);
    bool sameName(const char* name) const;

    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    uint32_t m_instanceId = 0;
    uint32_t m_subscriberId = 0;
    uint32_t m_ownFactor = 0;
    char m_name[kNameSize] = {};
    uint32_t m_stateFlags = 0;
    ReceiveStep m_receive = nullptr;
    SendStep m_send = nullptr;
    bool m_isServer = false;
    uint32_t m_analysisPosition = 0;
    bool m_matched = false;
    uint32_t m_elapsed = 0;

    // The walk of one captured batch resumes after the element last found.
    uint32_t m_walk[4] = {};
    // An element taken from the captured set that did not fit yet: sent before the rest.
    bool m_heldElement = false;
    uint32_t m_held[4] = {};
    bool m_retrySend = false;  // a send step found no room
};

}  // namespace ComControl
