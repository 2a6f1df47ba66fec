#include "comctrl_PdbSynchronizer.h"

#include <cstring>

#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "comctrl_FactorConverter.h"
#include "comctrl_IPortObserver.h"
#include "comctrl_PdbParameterFlip.h"
#include "comctrl_PdbSynchronizerProtocol.h"
#include "comctrl_cnp.h"
#include "jlib/jlib_cfg.h"

namespace ComControl {

namespace {

using P = PdbSynchronizerProtocol;
constexpr JLIB::JResult kNoMoreDirty = 0x200000;
constexpr uint32_t kArrayCapacity = 5;

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
    setName(db.name());
    return JLIB::kOk;
}

JLIB::JResult PdbSynchronizer::extendBufferSize()
{
    return extendReceiveBufferSize(P::getMaxBufferSize(m_instanceId));
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

bool PdbSynchronizer::hasTarget() const
{
    return PDB::gPDBCollection.getPDB(m_instanceId).isValid();
}

void PdbSynchronizer::associationStarting()
{
    (void)PdbParameterFlip::getInstance().clear();
}

void PdbSynchronizer::associationEnding()
{
    (void)PdbParameterFlip::getInstance().update();
}

JLIB::JResult PdbSynchronizer::eventReset()
{
    m_heldElement = false;
    return AbstractSynchronizer::eventReset();
}

// --- sending ---------------------------------------------------------------------------------

JLIB::JResult PdbSynchronizer::tellNext(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
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

JLIB::JResult PdbSynchronizer::notifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
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
    if (syncLowIs(sent, 3) || syncLowIs(sent, 2)) {
        // Taken from the captured set already: hold it so it goes first next time.
        m_heldElement = true;
        std::memcpy(m_held, e, sizeof(e));
        *more = false;
        return syncLowIs(sent, 2) ? kNoMemory : kNoRoom;
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

JLIB::JResult PdbSynchronizer::transferAll(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    const JLIB::JResult r = P::Encode_AssociationSetParameter(
        out, cap, len, m_instanceId, nullptr, 0, FactorConverter::commFactorForSetParamBlock(m_isServer, m_ownFactor),
        m_name, nullptr);
    if (syncLowIs(r, 2)) {
        *more = true;
        return kNoRoom;
    }
    return JLIB::kOk;
}

// --- receiving -------------------------------------------------------------------------------

JLIB::JResult PdbSynchronizer::answerIdleTellParameter(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t*,
                                                       uint32_t, uint8_t* flags)
{
    // Not decoded: a database not associated counts as different.
    return replyOrLater(P::Encode_AssociationTellParameterAnswer(out, cap, len, "", false, false), flags);
}

JLIB::JResult PdbSynchronizer::associatingTellParameter(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
                                                        const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
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
        out, cap, len, m_instanceId, nullptr, 0, FactorConverter::commFactorForSetParamBlock(m_isServer, m_ownFactor),
        m_name, name);
    if (syncLowIs(r, 2) || syncLowIs(r, 3)) {
        // The image does not fit now: keep the request and answer it on a later pass.
        *flags = IPortObserver::kFlagHold;
        return kNoRoom;
    }
    return r;
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

}  // namespace ComControl
