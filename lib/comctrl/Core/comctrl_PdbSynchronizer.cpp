#include "comctrl_PdbSynchronizer.h"

#include <cstring>

#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "comctrl_FactorConverter.h"
#include "comctrl_IPortObserver.h"
#include "comctrl_IUnitComponentObserver.h"
#include "comctrl_PdbParameterFlip.h"
#include "comctrl_PdbSynchronizerProtocol.h"
#include "comctrl_cnp.h"
#include "jlib/jlib_cfg.h"

namespace ComControl {

namespace {

using P = PdbSynchronizerProtocol;
constexpr JLIB::JResult kNoMoreDirty = 0x200000;
constexpr uint32_t kArrayCapacity = 5;

bool lowIs(JLIB::JResult r, uint32_t low)
{
    return JLIB::isFailure(r) && (r & 0xFFFFu) == low;
}

// A reply that did not fit asks the port for a later send.
JLIB::JResult replyOrLater(JLIB::JResult encoded, uint8_t* flags)
{
    if (JLIB::isFailure(encoded)) *flags |= IPortObserver::kFlagMore;
    return JLIB::kOk;
}

}  // namespace

PdbSynchronizer::PdbSynchronizer()
{
    (void)eventReset();
}

JLIB::JResult PdbSynchronizer::initialize(bool isServer, IUnitComponentObserver* observer)
{
    m_isServer = isServer;
    m_pObserver = observer;
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::setFacade(uint32_t instanceId, uint32_t subscriberId, uint32_t ownFactor)
{
    if (m_receive != &PdbSynchronizer::receiveOnNonAssociation) return JLIB::kFailed;
    const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(instanceId);
    if (!db.isValid()) return JLIB::kFailed;
    m_instanceId = instanceId;
    m_subscriberId = subscriberId;
    m_ownFactor = ownFactor;
    (void)PdbParameterFlip::getInstance().initialize(instanceId);
    JLIB_RETURN_IF_FAILED(extendBufferSize());
    std::memset(m_name, 0, sizeof(m_name));
    std::strncpy(m_name, db.name(), kNameSize - 1);
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::extendBufferSize()
{
    return extendReceiveBufferSize(P::getMaxBufferSize(m_instanceId));
}

JLIB::JResult PdbSynchronizer::synchronize(bool fromTarget)
{
    if (!isSendable()) return kNoRoom;
    if (!PDB::gPDBCollection.getPDB(m_instanceId).isValid()) return JLIB::kFailed;
    if (m_send) return JLIB::kOk;
    (void)PdbParameterFlip::getInstance().clear();
    if (m_receive != &PdbSynchronizer::receiveOnNonAssociation && m_receive != &PdbSynchronizer::receiveOnAnalyzed) {
        return JLIB::kFailed;
    }
    m_elapsed = 0;
    changeState(fromTarget ? &PdbSynchronizer::triggerAssociatingSyncWithTarget
                           : &PdbSynchronizer::triggerAssociatingSyncWithSelf,
                &PdbSynchronizer::receiveOnNonAssociation);
    (void)writeRequest();  // attached: cannot fail
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::asynchronize()
{
    if (!m_send && m_receive == &PdbSynchronizer::receiveOnNonAssociation) return JLIB::kOk;
    if (!isSendable()) return kNoRoom;
    (void)PdbParameterFlip::getInstance().update();
    changeState(&PdbSynchronizer::associationEndRequest, m_receive);
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::notify()
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(m_instanceId);
    if (!db.isValid() || m_receive != &PdbSynchronizer::receiveOnAssociated) return JLIB::kFailed;
    if (m_send && m_send != &PdbSynchronizer::doNotifying) return JLIB::kOk;
    JLIB_RETURN_IF_FAILED(db.captureDirtyFlag(db.getDirtyFlagSet(m_subscriberId)));
    std::memset(m_walk, 0, sizeof(m_walk));
    m_send = &PdbSynchronizer::doNotifying;  // not a change of state: the flags stay
    if (isSendable()) (void)writeRequest();
    return JLIB::kOk;
}

uint32_t PdbSynchronizer::syncStatus() const
{
    if (m_receive == &PdbSynchronizer::receiveOnNonAssociation) return m_send ? kPdbSyncAssociating : kPdbSyncIdle;
    if (m_receive == &PdbSynchronizer::receiveOnAssociated) return kPdbSyncAssociated;
    if (m_receive == &PdbSynchronizer::receiveOnAnalyzing) return kPdbSyncAnalyzing;
    if (m_receive == &PdbSynchronizer::receiveOnAnalyzed) return kPdbSyncAnalyzed;
    return kPdbSyncAssociating;
}

JLIB::JResult PdbSynchronizer::synchronizeWithoutDump()
{
    if (!isSendable()) return kNoRoom;
    if (m_send) return JLIB::kOk;
    (void)PdbParameterFlip::getInstance().clear();
    if (m_receive != &PdbSynchronizer::receiveOnAnalyzed) return JLIB::kFailed;
    changeState(&PdbSynchronizer::triggerEstablish, &PdbSynchronizer::receiveOnNonAssociation);
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::analyze()
{
    if (!isSendable()) return kNoRoom;
    if (m_send || m_receive != &PdbSynchronizer::receiveOnNonAssociation) return JLIB::kOk;
    m_analysisPosition = 0;
    changeState(&PdbSynchronizer::triggerAnalysis, &PdbSynchronizer::receiveOnNonAssociation);
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::transferAllParam()
{
    if (!isSendable()) return kNoRoom;
    if (!PDB::gPDBCollection.getPDB(m_instanceId).isValid()) return JLIB::kFailed;
    if (m_send && m_send != &PdbSynchronizer::doNotifying) return JLIB::kOk;
    if (m_receive != &PdbSynchronizer::receiveOnAssociated) return JLIB::kFailed;
    m_elapsed = 0;
    const SendStep remembered = m_send;
    m_send = &PdbSynchronizer::triggerTransferAllParam;
    (void)writeRequest();
    m_send = remembered;
    return JLIB::kOk;
}

bool PdbSynchronizer::isTargetMatched() const
{
    return (m_receive == &PdbSynchronizer::receiveOnAnalyzed || m_receive == &PdbSynchronizer::receiveOnAssociated) &&
           m_matched;
}

JLIB::JResult PdbSynchronizer::periodicHandle(uint32_t elapsedMs)
{
    const uint32_t status = syncStatus();
    if (status != kPdbSyncAssociating && status != kPdbSyncAnalyzing) return JLIB::kOk;
    m_elapsed += elapsedMs;
    if (m_elapsed <= kTimeoutMs) return JLIB::kOk;
    m_elapsed = 0;
    if (status == kPdbSyncAnalyzing) {
        m_matched = false;
        changeState(m_send, &PdbSynchronizer::receiveOnAnalyzed);
    } else {
        changeState(nullptr, &PdbSynchronizer::receiveOnAssociated);
    }
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::retrySend()
{
    if (!m_retrySend || !m_send || !isSendable()) return JLIB::kOk;
    m_retrySend = false;
    (void)writeRequest();
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::eventReset()
{
    m_stateFlags = 0;
    m_receive = &PdbSynchronizer::receiveOnNonAssociation;
    m_send = nullptr;
    m_matched = false;
    m_elapsed = 0;
    m_heldElement = false;
    m_retrySend = false;
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more)
{
    if (!m_send) return JLIB::kFailed;
    if (!output) return kNoRoom;
    if (!produced || !more) return kBadArgument;
    const JLIB::JResult result = (this->*m_send)(output, capacity, produced, more);
    m_retrySend = lowIs(result, 3) && m_send;
    return result;
}

JLIB::JResult PdbSynchronizer::eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced,
                                             const uint8_t* input, uint32_t inputLength, uint8_t* flags)
{
    if (!m_receive) return JLIB::kFailed;
    if (!produced || !flags) return kBadArgument;
    return (this->*m_receive)(output, capacity, produced, input, inputLength, flags);
}

// --- sending ---------------------------------------------------------------------------------

JLIB::JResult PdbSynchronizer::triggerAssociatingSyncWithTarget(uint8_t* out, uint32_t cap, uint32_t* len,
                                                                bool* more)
{
    *more = true;
    if (JLIB::isFailure(P::Encode_AssociationBeginRequest(out, cap, len, m_name, true))) return kNoRoom;
    changeState(&PdbSynchronizer::doAssociating, &PdbSynchronizer::receiveOnAssociatingWithTarget);
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::triggerAssociatingSyncWithSelf(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = true;
    if (JLIB::isFailure(P::Encode_AssociationBeginRequest(out, cap, len, m_name, false))) return kNoRoom;
    changeState(&PdbSynchronizer::doAssociating, &PdbSynchronizer::receiveOnAssociatingWithSelf);
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::doAssociating(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (m_stateFlags & kFlagTellCompleteAnswered) return JLIB::kOk;
    if (!out) return kNoRoom;
    if (m_stateFlags == 0) {
        // The peer's database name is not sent: the begin request named it already.
        JLIB_RETURN_IF_FAILED(P::Encode_AssociationTellParameter(out, cap, len, m_instanceId, ""));
        m_stateFlags = 1;
        *more = true;
        return JLIB::kOk;
    }
    if (JLIB::isFailure(P::Encode_AssociationTellComplete(out, cap, len))) return kNoRoom;
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::doNotifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(m_instanceId);
    if (!db.isValid()) return JLIB::kFailed;
    if (!out) return kNoRoom;
    if (!more) return kBadArgument;
    *more = false;
    uint32_t e[4];
    if (m_heldElement) {
        std::memcpy(e, m_held, sizeof(e));
    } else {
        std::memcpy(e, m_walk, sizeof(e));
        const JLIB::JResult next = db.checkNextDirty(db.getDirtyFlagSet(m_subscriberId), e[0], e[1], e[2], e[3], false);
        if (JLIB::isFailure(next)) return next;
        if (next == kNoMoreDirty) return P::Encode_ParameterFlip(out, cap, len, m_name, nullptr);
        std::memcpy(m_walk, e, sizeof(e));  // its flag is cleared now: the walk resumes here
    }
    *more = true;
    const JLIB::JResult sent = sendSingleParameterCommand(out, cap, len, e[0], e[1], e[2], e[3]);
    if (lowIs(sent, 3) || lowIs(sent, 2)) {
        // Taken from the captured set already: hold it so it goes first next time.
        m_heldElement = true;
        std::memcpy(m_held, e, sizeof(e));
        *more = false;
        return lowIs(sent, 2) ? kNoMemory : kNoRoom;
    }
    m_heldElement = false;
    if (JLIB::isFailure(sent)) return kBusy;
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::sendSingleParameterCommand(uint8_t* out, uint32_t cap, uint32_t* len, uint32_t ci,
                                                          uint32_t ai, uint32_t x, uint32_t y)
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(m_instanceId);
    if (!db.isValid()) return JLIB::kFailed;
    *len = 0;
    if (!db.paramInfo(ci, ai).attr.isSyncable()) return JLIB::kOk;
    JVariant value;
    uint8_t factor = 0;
    JLIB_RETURN_IF_FAILED(db.getVariant(value, ci, ai, x, y, &factor));
    if (!FactorConverter::isSendback(m_isServer, factor)) return JLIB::kOk;
    const uint32_t address[2] = {db.uniqId(ci).id(), ai};
    const uint32_t indexes[2] = {x, y};
    FactorConverter::ConvertedInfoOnSend send;
    (void)FactorConverter::modelFactorToCommFactor(send, m_isServer, m_ownFactor, factor);
    return P::Encode_SetParameter(out, cap, len, value, send.commFactor, m_name, nullptr, nullptr, address, indexes,
                                  2);
}

JLIB::JResult PdbSynchronizer::associationEndRequest(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (JLIB::isFailure(P::Encode_AssociationEnd(out, cap, len))) return kNoRoom;
    changeState(nullptr, &PdbSynchronizer::receiveOnWaitAssociationEnd);
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::triggerEstablish(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (JLIB::isFailure(P::Encode_AssociationTellComplete(out, cap, len))) return kNoRoom;
    changeState(nullptr, &PdbSynchronizer::receiveOnAssociatingWithoutDump);
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::triggerAnalysis(uint8_t*, uint32_t, uint32_t* len, bool* more)
{
    // The parameter database has no analysis of its own: nothing is sent, the step stays.
    *len = 0;
    *more = false;
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::triggerTransferAllParam(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    const JLIB::JResult r = P::Encode_AssociationSetParameter(
        out, cap, len, m_instanceId, nullptr, 0, FactorConverter::commFactorForSetParamBlock(m_isServer, m_ownFactor),
        m_name, nullptr);
    if (lowIs(r, 2)) {
        *more = true;
        return kNoRoom;
    }
    return JLIB::kOk;
}

// --- receiving -------------------------------------------------------------------------------

JLIB::JResult PdbSynchronizer::replyEnd(uint8_t* out, uint32_t cap, uint32_t* len, uint8_t* flags)
{
    if (JLIB::isFailure(P::Encode_AssociationEndAnswer(out, cap, len))) {
        *flags |= IPortObserver::kFlagMore;
        return JLIB::kOk;
    }
    disconnected();
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::receiveOnNonAssociation(uint8_t* out, uint32_t cap, uint32_t* len,
                                                       const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    switch (id) {
    case CNP_CMD_ASSOCIATION_BEGIN_REQUEST: {
        const char* name = nullptr;
        bool withTarget = false;
        JLIB_RETURN_IF_FAILED(P::Decode_AssociationBeginRequest(in, inLen, &name, &withTarget));
        if (!name || !sameName(name)) return JLIB::kOk;  // another database's request
        changeState(&PdbSynchronizer::doAssociating, withTarget ? &PdbSynchronizer::receiveOnAssociatingWithSelf
                                                                : &PdbSynchronizer::receiveOnAssociatingWithTarget);
        *flags |= IPortObserver::kFlagMore;
        return JLIB::kOk;
    }
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE:
        return replyOrLater(P::Encode_AssociationTellCompleteAnswer(out, cap, len), flags);
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER:
        changeState(nullptr, &PdbSynchronizer::receiveOnAssociated);
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_END:
        return replyEnd(out, cap, len, flags);
    case CNP_CMD_ASSOCIATION_TELL_PARAMETER:
        return replyOrLater(P::Encode_AssociationTellParameterAnswer(out, cap, len, "", false, false), flags);
    default:
        return JLIB::kOk;
    }
}

JLIB::JResult PdbSynchronizer::receiveOnAssociatingWithSelf(uint8_t* out, uint32_t cap, uint32_t* len,
                                                            const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    m_elapsed = 0;
    return associating(true, out, cap, len, in, inLen, flags);
}

JLIB::JResult PdbSynchronizer::receiveOnAssociatingWithTarget(uint8_t* out, uint32_t cap, uint32_t* len,
                                                              const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    return associating(false, out, cap, len, in, inLen, flags);
}

JLIB::JResult PdbSynchronizer::associating(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
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
            changeState(nullptr, &PdbSynchronizer::receiveOnAssociated);
        } else {
            m_stateFlags |= kFlagPeerTellComplete;
        }
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER:
        JLIB_RETURN_IF_FAILED(P::Decode_AssociationTellCompleteAnswer(in, inLen));
        if (m_stateFlags & kFlagPeerTellComplete) {
            changeState(nullptr, &PdbSynchronizer::receiveOnAssociated);
        } else {
            m_stateFlags |= kFlagTellCompleteAnswered;
        }
        return JLIB::kOk;
    case CNP_CMD_ASSOCIATION_END:
        return replyEnd(out, cap, len, flags);
    case CNP_CMD_ASSOCIATION_TELL_PARAMETER: {
        const char* name = nullptr;
        bool structureMatched = false, valuesMatched = false;
        JLIB_RETURN_IF_FAILED(
            P::Decode_AssociationTellParameter(in, inLen, m_instanceId, &name, &structureMatched, &valuesMatched));
        if (!withSelf || valuesMatched) return JLIB::kOk;
        if (!out) {
            *flags = IPortObserver::kFlagHold;
            return kNoRoom;
        }
        const JLIB::JResult r = P::Encode_AssociationSetParameter(
            out, cap, len, m_instanceId, nullptr, 0,
            FactorConverter::commFactorForSetParamBlock(m_isServer, m_ownFactor), m_name, name);
        if (lowIs(r, 2) || lowIs(r, 3)) {
            // The image does not fit now: keep the request and answer it on a later pass.
            *flags = IPortObserver::kFlagHold;
            return kNoRoom;
        }
        return r;
    }
    case CNP_CMD_SET_PARAMETER_BLOCK:
        if (withSelf) return JLIB::kOk;
        return receiveSetParameterBlock(in, inLen, false);
    default:
        return JLIB::kOk;
    }
}

JLIB::JResult PdbSynchronizer::receiveOnAssociatingWithoutDump(uint8_t* out, uint32_t cap, uint32_t* len,
                                                               const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    if (id == CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER) changeState(nullptr, &PdbSynchronizer::receiveOnAssociated);
    if (id == CNP_CMD_ASSOCIATION_END) return replyEnd(out, cap, len, flags);
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::receiveOnAssociated(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
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

JLIB::JResult PdbSynchronizer::receiveOnWaitAssociationEnd(uint8_t* out, uint32_t cap, uint32_t* len,
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

JLIB::JResult PdbSynchronizer::receiveOnAnalyzing(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*)
{
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::receiveOnAnalyzed(uint8_t*, uint32_t, uint32_t*, const uint8_t*, uint32_t, uint8_t*)
{
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::receiveSetParameter(const uint8_t* in, uint32_t inLen)
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(m_instanceId);
    if (!db.isValid()) return JLIB::kFailed;
    JVariant value;
    uint32_t commFactor = 0;
    uint32_t numbers[kArrayCapacity] = {};
    uint32_t indexes[kArrayCapacity] = {};
    P::Address address;
    address.numbers = numbers;
    address.indexes = indexes;
    if (JLIB::isFailure(P::Decode_SetParameter(in, inLen, kArrayCapacity, &value, &commFactor, &address)) ||
        !address.name || !sameName(address.name)) {
        return kCnpParseError;
    }
    // Only (uniqId, address index) at (x, y) addresses an element here; anything else would be
    // applied with whatever the arrays held.
    if (address.textAddress || address.depth != 2 || address.numberCount < 2 || address.indexCount < 2) {
        JLIB_LOG("[E] PdbSynchronizer(%s): SetParameter with an address of depth %u refused\n", m_name,
                 static_cast<unsigned>(address.depth));
        return kCnpParseError;
    }
    FactorConverter::ConvertedInfoOnReceive receive;
    (void)FactorConverter::commFactorToModelFactor(receive, m_isServer, m_ownFactor, commFactor);
    if (!receive.apply) return JLIB::kOk;
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(numbers[0]));
    const JLIB::JResult set =
        db.setVariant(ci, numbers[1], indexes[0], indexes[1], value, static_cast<uint8_t>(receive.modelFactor));
    if (JLIB::isFailure(set)) {
        // One element the database refuses is no reason to drop the link.
        JLIB_LOG("[W] PdbSynchronizer(%s): set of %08X/%u (%u,%u) refused (0x%08X)\n", m_name,
                 static_cast<unsigned>(numbers[0]), static_cast<unsigned>(numbers[1]),
                 static_cast<unsigned>(indexes[0]), static_cast<unsigned>(indexes[1]), static_cast<unsigned>(set));
    }
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::receiveSetParameterFlip(const uint8_t* in, uint32_t inLen)
{
    JVariant value;
    uint32_t commFactor = 0;
    uint32_t numbers[kArrayCapacity] = {};
    uint32_t indexes[kArrayCapacity] = {};
    P::Address address;
    address.numbers = numbers;
    address.indexes = indexes;
    if (JLIB::isFailure(P::Decode_SetParameter(in, inLen, kArrayCapacity, &value, &commFactor, &address)) ||
        !address.name || !sameName(address.name) || address.textAddress || address.depth != 2 ||
        address.numberCount < 2 || address.indexCount < 2) {
        return kCnpParseError;
    }
    FactorConverter::ConvertedInfoOnReceive receive;
    (void)FactorConverter::commFactorToModelFactor(receive, m_isServer, m_ownFactor, commFactor);
    if (!receive.apply) return JLIB::kOk;
    return PdbParameterFlip::getInstance().addParameter(numbers[0], numbers[1], indexes[0], indexes[1], value,
                                                        receive.modelFactor);
}

JLIB::JResult PdbSynchronizer::receiveSetParameterBlock(const uint8_t* in, uint32_t inLen, bool associated)
{
    const uint8_t* image = nullptr;
    const uint8_t* filter = nullptr;
    uint32_t imageSize = 0, filterSize = 0, commFactor = 0;
    uint32_t numbers[kArrayCapacity] = {};
    uint32_t indexes[kArrayCapacity] = {};
    P::Address address;
    address.numbers = numbers;
    address.indexes = indexes;
    if (JLIB::isFailure(P::Decode_SetParameterBlock(in, inLen, kArrayCapacity, &image, &imageSize, &filter,
                                                    &filterSize, &commFactor, &address)) ||
        !address.name || !sameName(address.name)) {
        return kCnpParseError;
    }
    FactorConverter::ConvertedInfoOnReceive receive;
    (void)FactorConverter::commFactorToModelFactor(receive, m_isServer, m_ownFactor, commFactor);
    if (!associated) receive.serverSide = false;
    if (receive.apply) (void)importBinary(image, imageSize, static_cast<uint8_t>(receive.modelFactor));
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::receiveParameterFlip(const uint8_t* in, uint32_t inLen)
{
    const char* name = nullptr;
    const char* subName = nullptr;
    if (JLIB::isFailure(P::Decode_ParameterFlip(in, inLen, &name, &subName)) || !name || !sameName(name)) {
        return kCnpParseError;
    }
    (void)PdbParameterFlip::getInstance().update();
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::importBinary(const uint8_t* image, uint32_t size, uint8_t factor)
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(m_instanceId);
    if (!db.isValid()) return JLIB::kFailed;
    PDB::LocalParameterDB copy(db);
    const PDB::ImportAttr attr(PDB::ImportAttr::kForceRecall);
    if (JLIB::isFailure(copy.importBinary(image, size, attr, JLIB::HeapId{}))) {
        JLIB_LOG("[W] PdbSynchronizer(%s): database image of %u bytes not imported\n", m_name,
                 static_cast<unsigned>(size));
    }
    // Values that are not synchronised keep their live values.
    for (uint32_t ci = 0; ci < copy.componentNum(); ++ci) {
        for (uint32_t ai = 0; ai < copy.addressNum(ci); ++ai) {
            if (!copy.paramInfo(ci, ai).attr.isSyncable()) (void)copy.recall(ci, ai, db, attr, 0xFF);
        }
    }
    (void)db.recall(copy, attr, factor);
    return JLIB::kOk;
}

void PdbSynchronizer::disconnected()
{
    m_matched = false;
    changeState(nullptr, &PdbSynchronizer::receiveOnNonAssociation);
}

void PdbSynchronizer::changeState(SendStep send, ReceiveStep receive)
{
    const ReceiveStep old = m_receive;
    m_stateFlags = 0;
    m_send = send;
    m_receive = receive;
    if (m_pObserver && old != receive &&
        (old == &PdbSynchronizer::receiveOnAssociated || receive == &PdbSynchronizer::receiveOnAssociated ||
         receive == &PdbSynchronizer::receiveOnAnalyzed)) {
        m_pObserver->notify(*this);
    }
}

bool PdbSynchronizer::sameName(const char* name) const
{
    return std::strncmp(name, m_name, kNameSize) == 0;
}

}  // namespace ComControl
