#include "comctrl_AbstractSynchronizer.h"

#include <cstring>

#include "comctrl_IPortObserver.h"
#include "comctrl_IUnitComponentObserver.h"
#include "comctrl_PdbSynchronizerProtocol.h"
#include "comctrl_cnp.h"

namespace ComControl {

namespace {

using P = PdbSynchronizerProtocol;
using S = AbstractSynchronizer;

}  // namespace

AbstractSynchronizer::AbstractSynchronizer()
{
    (void)AbstractSynchronizer::eventReset();
}

JLIB::JResult AbstractSynchronizer::initialize(bool isServer, IUnitComponentObserver* observer)
{
    m_isServer = isServer;
    m_pObserver = observer;
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::synchronize(bool fromTarget)
{
    if (!isSendable()) return kNoRoom;
    if (!hasTarget()) return JLIB::kFailed;
    if (m_send) return JLIB::kOk;
    associationStarting();
    if (m_receive != &S::receiveOnNonAssociation && m_receive != &S::receiveOnAnalyzed) return JLIB::kFailed;
    m_elapsed = 0;
    changeState(fromTarget ? &S::triggerAssociatingSyncWithTarget : &S::triggerAssociatingSyncWithSelf,
                &S::receiveOnNonAssociation);
    (void)writeRequest();  // attached: cannot fail
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::asynchronize()
{
    if (!m_send && m_receive == &S::receiveOnNonAssociation) return JLIB::kOk;
    if (!isSendable()) return kNoRoom;
    associationEnding();
    changeState(&S::associationEndRequest, m_receive);
    (void)writeRequest();
    return JLIB::kOk;
}

uint32_t AbstractSynchronizer::syncStatus() const
{
    if (m_receive == &S::receiveOnNonAssociation) return m_send ? kPdbSyncAssociating : kPdbSyncIdle;
    if (m_receive == &S::receiveOnAssociated) return kPdbSyncAssociated;
    if (m_receive == &S::receiveOnAnalyzing) return kPdbSyncAnalyzing;
    if (m_receive == &S::receiveOnAnalyzed) return kPdbSyncAnalyzed;
    return kPdbSyncAssociating;
}

JLIB::JResult AbstractSynchronizer::synchronizeWithoutDump()
{
    if (!isSendable()) return kNoRoom;
    if (m_send) return JLIB::kOk;
    associationStarting();
    if (m_receive != &S::receiveOnAnalyzed) return JLIB::kFailed;
    changeState(&S::triggerEstablish, &S::receiveOnNonAssociation);
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::analyze()
{
    if (!isSendable()) return kNoRoom;
    if (m_send || m_receive != &S::receiveOnNonAssociation) return JLIB::kOk;
    m_analysisPosition = 0;
    changeState(&S::triggerAnalysis, &S::receiveOnNonAssociation);
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::transferAllParam()
{
    if (!isSendable()) return kNoRoom;
    if (!hasTarget()) return JLIB::kFailed;
    if (m_send && m_send != &S::doNotifying) return JLIB::kOk;
    if (m_receive != &S::receiveOnAssociated) return JLIB::kFailed;
    m_elapsed = 0;
    const SendStep remembered = m_send;
    transferStarting();
    m_send = &S::triggerTransferAllParam;
    (void)writeRequest();
    m_send = remembered;
    return JLIB::kOk;
}

bool AbstractSynchronizer::isTargetMatched() const
{
    return (m_receive == &S::receiveOnAnalyzed || m_receive == &S::receiveOnAssociated) && m_matched;
}

JLIB::JResult AbstractSynchronizer::periodicHandle(uint32_t elapsedMs)
{
    const uint32_t status = syncStatus();
    if (status != kPdbSyncAssociating && status != kPdbSyncAnalyzing) return JLIB::kOk;
    m_elapsed += elapsedMs;
    if (m_elapsed <= kTimeoutMs) return JLIB::kOk;
    m_elapsed = 0;
    if (status == kPdbSyncAnalyzing) {
        m_matched = false;
        changeState(m_send, &S::receiveOnAnalyzed);
    } else {
        changeState(nullptr, &S::receiveOnAssociated);
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::retrySend()
{
    if (!m_retrySend || !m_send || !isSendable()) return JLIB::kOk;
    m_retrySend = false;
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::eventReset()
{
    m_stateFlags = 0;
    m_receive = &S::receiveOnNonAssociation;
    m_send = nullptr;
    m_matched = false;
    m_elapsed = 0;
    m_retrySend = false;
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more)
{
    if (!m_send) return JLIB::kFailed;
    if (!output) return kNoRoom;
    if (!produced || !more) return kBadArgument;
    const JLIB::JResult result = (this->*m_send)(output, capacity, produced, more);
    m_retrySend = syncLowIs(result, 3) && m_send;
    return result;
}

JLIB::JResult AbstractSynchronizer::eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced,
                                                  const uint8_t* input, uint32_t inputLength, uint8_t* flags)
{
    if (!m_receive) return JLIB::kFailed;
    if (!produced || !flags) return kBadArgument;
    return (this->*m_receive)(output, capacity, produced, input, inputLength, flags);
}

// --- sending ---------------------------------------------------------------------------------

JLIB::JResult AbstractSynchronizer::triggerAssociatingSyncWithTarget(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                     bool* more)
{
    *more = true;
    if (JLIB::isFailure(P::Encode_AssociationBeginRequest(out, cap, len, m_name, true))) return kNoRoom;
    changeState(&S::doAssociating, &S::receiveOnAssociatingWithTarget);
    return beginRequestDone();
}

JLIB::JResult AbstractSynchronizer::triggerAssociatingSyncWithSelf(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                   bool* more)
{
    *more = true;
    if (JLIB::isFailure(P::Encode_AssociationBeginRequest(out, cap, len, m_name, false))) return kNoRoom;
    changeState(&S::doAssociating, &S::receiveOnAssociatingWithSelf);
    return beginRequestDone();
}

JLIB::JResult AbstractSynchronizer::doAssociating(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (m_stateFlags & kFlagTellCompleteAnswered) return JLIB::kOk;
    if (!out) return kNoRoom;
    return tellNext(out, cap, len, more);
}

JLIB::JResult AbstractSynchronizer::doNotifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    return notifying(out, cap, len, more);
}

JLIB::JResult AbstractSynchronizer::associationEndRequest(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (JLIB::isFailure(P::Encode_AssociationEnd(out, cap, len))) return kNoRoom;
    changeState(nullptr, &S::receiveOnWaitAssociationEnd);
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::triggerEstablish(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (JLIB::isFailure(P::Encode_AssociationTellComplete(out, cap, len))) return kNoRoom;
    changeState(nullptr, &S::receiveOnAssociatingWithoutDump);
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::triggerAnalysis(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    return startAnalysis(out, cap, len, more);
}

JLIB::JResult AbstractSynchronizer::startAnalysis(uint8_t*, uint32_t, uint32_t* len, bool* more)
{
    *len = 0;
    *more = false;
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::triggerTransferAllParam(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    return transferAll(out, cap, len, more);
}

// --- receiving -------------------------------------------------------------------------------

JLIB::JResult AbstractSynchronizer::replyEnd(uint8_t* out, uint32_t cap, uint32_t* len, uint8_t* flags)
{
    if (JLIB::isFailure(P::Encode_AssociationEndAnswer(out, cap, len))) {
        *flags |= IPortObserver::kFlagMore;
        return JLIB::kOk;
    }
    disconnected();
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::receiveOnNonAssociation(uint8_t* out, uint32_t cap, uint32_t* len,
                                                            const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    switch (id) {
    case CNP_CMD_ASSOCIATION_BEGIN_REQUEST: {
        const char* name = nullptr;
        bool withTarget = false;
        JLIB_RETURN_IF_FAILED(P::Decode_AssociationBeginRequest(in, inLen, &name, &withTarget));
        if (!name || !sameName(name)) return JLIB::kOk;  // another port's request
        JLIB_RETURN_IF_FAILED(beginRequestDone());
        changeState(&S::doAssociating,
                    withTarget ? &S::receiveOnAssociatingWithSelf : &S::receiveOnAssociatingWithTarget);
        *flags |= IPortObserver::kFlagMore;
        return JLIB::kOk;
    }
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE:
        if (JLIB::isFailure(P::Encode_AssociationTellCompleteAnswer(out, cap, len))) {
            *flags |= IPortObserver::kFlagMore;
            return JLIB::kOk;
        }
        idleTellCompleteAnswered();
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER:
        changeState(nullptr, &S::receiveOnAssociated);
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_END:
        return replyEnd(out, cap, len, flags);
    case CNP_CMD_ASSOCIATION_TELL_PARAMETER:
        return answerIdleTellParameter(out, cap, len, in, inLen, flags);
    default:
        return JLIB::kOk;
    }
}

JLIB::JResult AbstractSynchronizer::receiveOnAssociatingWithSelf(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                 const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    m_elapsed = 0;
    return associating(true, out, cap, len, in, inLen, flags);
}

JLIB::JResult AbstractSynchronizer::receiveOnAssociatingWithTarget(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                   const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    return associating(false, out, cap, len, in, inLen, flags);
}

JLIB::JResult AbstractSynchronizer::associating(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
                                                const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    switch (id) {
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE:
        JLIB_RETURN_IF_FAILED(P::Decode_AssociationTellComplete(in, inLen));
        if (JLIB::isFailure(P::Encode_AssociationTellCompleteAnswer(out, cap, len))) {
            *flags = IPortObserver::kFlagHold;
            return kNoRoom;
        }
        if (m_stateFlags & kFlagTellCompleteAnswered) {
            changeState(nullptr, &S::receiveOnAssociated);
        } else {
            m_stateFlags |= kFlagPeerTellComplete;
        }
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER:
        JLIB_RETURN_IF_FAILED(P::Decode_AssociationTellCompleteAnswer(in, inLen));
        if (m_stateFlags & kFlagPeerTellComplete) {
            changeState(nullptr, &S::receiveOnAssociated);
        } else {
            m_stateFlags |= kFlagTellCompleteAnswered;
        }
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_END:
        return replyEnd(out, cap, len, flags);
    case CNP_CMD_ASSOCIATION_TELL_PARAMETER:
        return associatingTellParameter(withSelf, out, cap, len, in, inLen, flags);
    case CNP_CMD_SET_PARAMETER_BLOCK:
        if (withSelf) return JLIB::kOk;
        return receiveSetParameterBlock(in, inLen, false);
    default:
        return JLIB::kOk;
    }
}

JLIB::JResult AbstractSynchronizer::receiveOnAssociatingWithoutDump(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                    const uint8_t* in, uint32_t inLen,
                                                                    uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    if (id == CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER) changeState(nullptr, &S::receiveOnAssociated);
    if (id == CNP_CMD_ASSOCIATION_END) return replyEnd(out, cap, len, flags);
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::receiveOnAssociated(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                                        uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    switch (id) {
    case CNP_CMD_ASSOCIATION_END:
        return replyEnd(out, cap, len, flags);
    case CNP_CMD_SET_PARAMETER:
        return receiveSetParameter(in, inLen);
    case CNP_CMD_SET_PARAMETER_BLOCK:
        return receiveSetParameterBlock(in, inLen, true);
    case CNP_CMD_PARAMETER_FLIP:
        return receiveParameterFlip(in, inLen);
    default:
        return JLIB::kOk;
    }
}

JLIB::JResult AbstractSynchronizer::receiveOnWaitAssociationEnd(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    if (id != CNP_CMD_ASSOCIATION_END_ANSWER) return JLIB::kOk;
    if (JLIB::isFailure(P::Encode_AssociationEndAnswer(out, cap, len))) {
        *flags |= IPortObserver::kFlagMore;
        return JLIB::kOk;
    }
    disconnected();
    return JLIB::kOk;
}

JLIB::JResult AbstractSynchronizer::receiveOnAnalyzing(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                                       uint32_t inLen, uint8_t* flags)
{
    return analyzing(out, cap, len, in, inLen, flags);
}

JLIB::JResult AbstractSynchronizer::receiveOnAnalyzed(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                                      uint32_t inLen, uint8_t* flags)
{
    return analyzed(out, cap, len, in, inLen, flags);
}

void AbstractSynchronizer::disconnected()
{
    m_matched = false;
    changeState(nullptr, &S::receiveOnNonAssociation);
}

void AbstractSynchronizer::changeState(SendStep send, ReceiveStep receive)
{
    const ReceiveStep old = m_receive;
    m_stateFlags = 0;
    m_send = send;
    m_receive = receive;
    if (m_pObserver && old != receive &&
        (old == &S::receiveOnAssociated || receive == &S::receiveOnAssociated || receive == &S::receiveOnAnalyzed)) {
        m_pObserver->notify(*this);
    }
}

bool AbstractSynchronizer::sameName(const char* name) const
{
    return std::strncmp(name, m_name, kNameSize) == 0;
}

void AbstractSynchronizer::setName(const char* name)
{
    std::memset(m_name, 0, sizeof(m_name));
    std::strncpy(m_name, name, kNameSize - 1);
}

}  // namespace ComControl
