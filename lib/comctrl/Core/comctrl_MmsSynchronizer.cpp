#include "comctrl_MmsSynchronizer.h"

#include <cstring>
#include <new>

#include "MMS/Common/mms_DataAccessor.h"
#include "comctrl_FactorConverter.h"
#include "comctrl_IPortObserver.h"
#include "comctrl_MmsSynchronizerProtocol.h"
#include "comctrl_PdbSynchronizerProtocol.h"
#include "comctrl_cnp.h"
#include "devctrl/devctrl_IFacade.h"
#include "jlib/jlib_cfg.h"

namespace ComControl {

namespace {

using P = PdbSynchronizerProtocol;
using M = MmsSynchronizerProtocol;
using S = MmsSynchronizer;
constexpr uint32_t kIndexMask = 0xFFFFFF;  // low bits of the state flags: next root to tell
constexpr uint32_t kSpareEntries = 2;
constexpr uint32_t kGrowth = 3;
// A facade that keeps answering the same change would hold the send step forever.
constexpr uint32_t kMaxFilteredPerStep = 100000;
constexpr JLIB::JResult kMissingName = 0x80000003u;
constexpr JLIB::JResult kNameTooLong = 0x80000004u;

bool sameId(const char* a, const char* b)
{
    return std::strncmp(a, b, S::kNameSize) == 0;
}

void copyId(char (&to)[25], const char* from)
{
    std::memset(to, 0, sizeof(to));
    std::strncpy(to, from, sizeof(to) - 1);
}

}  // namespace

MmsSynchronizer::MmsSynchronizer() = default;

MmsSynchronizer::~MmsSynchronizer() = default;

JLIB::JResult MmsSynchronizer::setFacade(const char* name, DeviceControl::IFacade* facade, const void* filter,
                                         uint32_t filterSize, uint32_t ownFactor)
{
    if (m_receive != &S::receiveOnNonAssociation) return JLIB::kFailed;
    if (!name) return kMissingName;
    if (strnlen(name, kNameSize + 1) > kNameSize) return kNameTooLong;
    JLIB_RETURN_IF_FAILED(extendReceiveBufferSize(M::getMaxBufferSize(facade)));
    setName(name);
    m_pFacade = facade;
    m_pFilter = static_cast<const uint8_t*>(filter);
    m_filterSize = filter ? filterSize : 0;
    m_ownFactor = ownFactor;
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::notify()
{
    if (!m_pFacade || m_receive != &S::receiveOnAssociated) return JLIB::kFailed;
    if (m_send && m_send != &S::doNotifying) return JLIB::kOk;
    // Nothing to capture: the tree keeps its own change flags, which the sending walk takes.
    for (uint32_t i = 0; i < m_rootCount; ++i) m_pRoots[i].sentWhole = false;
    changeState(&S::doNotifying, &S::receiveOnAssociated);
    if (isSendable()) (void)writeRequest();
    return JLIB::kOk;
}

// --- root table --------------------------------------------------------------------------------

uint32_t MmsSynchronizer::rootCount() const
{
    uint32_t count = 0;
    if (!m_pFacade || JLIB::isFailure(m_pFacade->getRootNum(&count))) return 0;
    return count;
}

JLIB::JResult MmsSynchronizer::extendRootIdCounts(uint32_t count)
{
    if (count <= m_rootCount) return JLIB::kOk;
    std::unique_ptr<RootEntry[]> table(new (std::nothrow) RootEntry[count]);
    if (!table) return kNoMemory;
    for (uint32_t i = 0; i < m_rootCount; ++i) table[i] = m_pRoots[i];
    m_pRoots = std::move(table);
    m_rootCount = count;
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::clearRootState()
{
    if (!m_pFacade) return JLIB::kFailed;
    uint32_t roots = 0;
    if (JLIB::isFailure(m_pFacade->getRootNum(&roots))) return JLIB::kFailed;
    m_held.held = false;  // of the association before
    if (roots > UINT32_MAX - kSpareEntries ||
        JLIB::isFailure(extendRootIdCounts(roots + kSpareEntries))) {
        return kBadArgument;
    }
    for (uint32_t i = 0; i < m_rootCount; ++i) {
        RootEntry& entry = m_pRoots[i];
        entry = RootEntry{};
        if (i < roots && JLIB::isSuccess(m_pFacade->getRootIdentifier(entry.id, i))) {
            entry.id[kNameSize] = '\0';
            entry.flags = kRootExists;
        } else {
            entry = RootEntry{};
        }
    }
    return JLIB::kOk;
}

MmsSynchronizer::RootEntry* MmsSynchronizer::findEntry(const char* rootId, bool local)
{
    for (uint32_t i = 0; i < m_rootCount; ++i) {
        RootEntry& entry = m_pRoots[i];
        if (((entry.flags & kRootExists) != 0) == local && sameId(entry.id, rootId)) return &entry;
    }
    return nullptr;
}

JLIB::JResult MmsSynchronizer::setRootState(const char* rootId, bool structureMatched)
{
    if (!m_pFacade || !rootId || rootId[0] == '\0') return JLIB::kFailed;
    if (RootEntry* entry = findEntry(rootId, true)) {
        entry->flags |= kRootTookPart;
        if (structureMatched) {
            entry->flags &= static_cast<uint8_t>(~kRootStructureDiffers);
        } else {
            entry->flags |= kRootStructureDiffers;
        }
        return JLIB::kOk;
    }
    // A root only the peer has: one entry each, so that none is forgotten.
    RootEntry* entry = findEntry(rootId, false);
    if (!entry) entry = findEntry("", false);
    if (!entry) {
        const uint32_t first = m_rootCount;
        if (m_rootCount > UINT32_MAX - kGrowth) return kNoMemory;
        JLIB_RETURN_IF_FAILED(extendRootIdCounts(m_rootCount + kGrowth));
        entry = &m_pRoots[first];
    }
    entry->flags |= kRootTookPart;
    copyId(entry->id, rootId);
    return JLIB::kOk;
}

uint8_t MmsSynchronizer::rootState(const char* rootId) const
{
    if (!rootId || rootId[0] == '\0') return 0;
    for (uint32_t i = 0; i < m_rootCount; ++i) {
        if (sameId(m_pRoots[i].id, rootId)) return m_pRoots[i].flags;
    }
    return 0;
}

// --- association -------------------------------------------------------------------------------

JLIB::JResult MmsSynchronizer::beginRequestDone()
{
    return clearRootState();
}

JLIB::JResult MmsSynchronizer::eventReset()
{
    m_held.held = false;
    return AbstractSynchronizer::eventReset();
}

JLIB::JResult MmsSynchronizer::tellNext(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    if (!m_pFacade) return JLIB::kFailed;
    const uint32_t index = m_stateFlags & kIndexMask;
    char root[25] = {};
    if (index < rootCount() && JLIB::isSuccess(m_pFacade->getRootIdentifier(root, index))) {
        root[kNameSize] = '\0';
        const JLIB::JResult r = M::Encode_AssociationTellParameter(out, cap, len, m_pFacade, root);
        if (syncLowIs(r, 2) || syncLowIs(r, 3)) return kNoRoom;
        JLIB_RETURN_IF_FAILED(r);
        m_stateFlags += 1;
        *more = true;
        return JLIB::kOk;
    }
    if (JLIB::isFailure(P::Encode_AssociationTellComplete(out, cap, len))) return kNoRoom;
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::answerIdleTellParameter(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                                       uint32_t inLen, uint8_t* flags)
{
    const char* name = nullptr;
    bool structureMatched = false, valuesMatched = false;
    const JLIB::JResult r =
        M::Decode_AssociationTellParameter(in, inLen, m_pFacade, &name, &structureMatched, &valuesMatched);
    if (r == kCnpParseError) return r;
    // Without a tree, or one whose root cannot be digested, the root counts as different.
    if (JLIB::isFailure(P::Encode_AssociationTellParameterAnswer(out, cap, len, name, structureMatched,
                                                                  valuesMatched))) {
        *flags |= IPortObserver::kFlagMore;
    }
    return JLIB::kOk;
}

void MmsSynchronizer::idleTellCompleteAnswered()
{
    // The peer ends an analysis that matched with its tell-complete: every local root takes part.
    if (JLIB::isFailure(clearRootState())) return;
    const uint32_t roots = rootCount();
    for (uint32_t i = 0; i < roots && i < m_rootCount; ++i) m_pRoots[i].flags |= kRootTookPart;
    changeState(nullptr, &S::receiveOnAssociated);
}

JLIB::JResult MmsSynchronizer::associatingTellParameter(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
                                                        const uint8_t* in, uint32_t inLen, uint8_t* flags)
{
    if (!m_pFacade) return JLIB::kFailed;
    const char* name = nullptr;
    bool structureMatched = false, valuesMatched = false;
    JLIB_RETURN_IF_FAILED(
        M::Decode_AssociationTellParameter(in, inLen, m_pFacade, &name, &structureMatched, &valuesMatched));
    if (!name || name[0] == '\0') return JLIB::kOk;  // names no root
    char root[25];
    copyId(root, name);
    JLIB_RETURN_IF_FAILED(setRootState(root, structureMatched));
    if (!withSelf || valuesMatched || (rootState(root) & kRootExists) == 0) return JLIB::kOk;
    if (!out) {
        *flags = IPortObserver::kFlagHold;
        return kNoRoom;
    }
    const JLIB::JResult r = sendRootBlock(out, cap, len, root);
    if (syncLowIs(r, 2) || syncLowIs(r, 3)) {
        // The export does not fit now: keep the command and answer it on a later pass.
        *flags = IPortObserver::kFlagHold;
        return kNoRoom;
    }
    return r;
}

// --- sending -----------------------------------------------------------------------------------

JLIB::JResult MmsSynchronizer::sendRootBlock(uint8_t* out, uint32_t cap, uint32_t* len, const char* root)
{
    return M::Encode_AssociationSetParameter(out, cap, len, m_pFacade, m_pFilter, m_filterSize,
                                             FactorConverter::commFactorForSetParamBlock(m_isServer, m_ownFactor),
                                             m_name, root);
}

JLIB::JResult MmsSynchronizer::notifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    if (!out) return kNoRoom;
    if (!more) return kBadArgument;
    *more = false;
    *len = 0;
    if (!m_pFacade) return JLIB::kFailed;
    // A change held for want of room goes before any other root's: its root is visited first.
    uint32_t first = 0;
    if (m_held.held) {
        const RootEntry* held = findEntry(m_held.root, true);
        if (held && (held->flags & (kRootTookPart | kRootExists)) == (kRootTookPart | kRootExists)) {
            first = static_cast<uint32_t>(held - m_pRoots.get());
        } else {
            m_held.held = false;  // its root no longer takes part
        }
    }
    for (uint32_t k = 0; k < m_rootCount; ++k) {
        RootEntry& entry = m_pRoots[(first + k) % m_rootCount];
        if ((entry.flags & (kRootTookPart | kRootExists)) != (kRootTookPart | kRootExists)) continue;
        uint8_t dirty = 0;
        const bool whole = !entry.sentWhole && JLIB::isSuccess(m_pFacade->getTransactionDirty(&dirty, entry.id)) &&
                           dirty != 0;
        const JLIB::JResult r = whole ? sendRootBlock(out, cap, len, entry.id)
                                      : sendSingleParameterCommand(out, cap, len, entry.id,
                                                                   (entry.flags & kRootStructureDiffers) != 0);
        if (JLIB::isSuccess(r)) {
            entry.sentWhole = entry.sentWhole || whole;
            *more = true;
            return JLIB::kOk;
        }
        // No room now: the step stays and goes on from here later (a dirty root is still dirty).
        if (syncLowIs(r, 3)) return kNoRoom;
        *len = 0;
        // A held change is not carried past its root when that root failed otherwise: a change
        // taken from another root would then have nowhere to wait.
        m_held.held = false;
    }
    changeState(nullptr, &S::receiveOnAssociated);
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::sendSingleParameterCommand(uint8_t* out, uint32_t cap, uint32_t* len,
                                                          const char* root, bool textAddress)
{
    // The walk clears a change as it finds it: one that cannot go out now is held and goes first
    // next time, and one that cannot go out at all does not stop the changes behind it.
    for (uint32_t tries = 0;; ++tries) {
        if (tries == kMaxFilteredPerStep) return JLIB::kFailed;
        // The held change goes first: notifying visits its root before any other.
        HeldChange& c = m_held;
        const bool heldHere = c.held && sameId(c.root, root);
        if (!heldHere) {
            c.held = false;
            JLIB_RETURN_IF_FAILED(m_pFacade->getChangedPrmAddrFast(c.nodes, c.indexes, &c.depth, kMaxDepth, root,
                                                                   nullptr, nullptr, 0, 1));
            if (c.depth > kMaxDepth) return JLIB::kFailed;
            // The filter image lists what this port carries: a parameter it lacks stays local.
            JVariant inFilter;
            if (m_pFilter && JLIB::isFailure(MMS::DataAccessor::getPrmFast(&inFilter, m_pFilter, m_filterSize, nullptr,
                                                                           c.nodes, c.indexes, c.depth))) {
                continue;
            }
        }
        const JLIB::JResult r = encodeChange(out, cap, len, root, textAddress, c);
        if (syncLowIs(r, 3)) {
            c.held = true;
            copyId(c.root, root);
            return r;
        }
        c.held = false;
        if (JLIB::isSuccess(r)) return r;
        JLIB_LOG("[W] MmsSynchronizer(%s): a changed parameter of %s not sent (0x%08X)\n", m_name, root,
                 static_cast<unsigned>(r));
        *len = 0;
    }
}

JLIB::JResult MmsSynchronizer::encodeChange(uint8_t* out, uint32_t cap, uint32_t* len, const char* root,
                                            bool textAddress, const HeldChange& c)
{
    JVariant value;
    uint8_t factor = 0;
    JLIB_RETURN_IF_FAILED(m_pFacade->getPrmFast(&value, &factor, root, c.nodes, c.indexes, c.depth, 0));
    FactorConverter::ConvertedInfoOnSend send;
    (void)FactorConverter::modelFactorToCommFactor(send, m_isServer, m_ownFactor, factor);
    char text[kNameSize * kMaxDepth + 1] = {};
    if (textAddress) {
        JLIB_RETURN_IF_FAILED(m_pFacade->cnvFastToStrAddr(text, sizeof(text), root, c.nodes, c.depth));
    }
    return M::Encode_SetParameter(out, cap, len, value, send.commFactor, m_name, root, textAddress ? text : nullptr,
                                  c.nodes, c.indexes, c.depth);
}

JLIB::JResult MmsSynchronizer::transferAll(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    if (!m_pFacade) return JLIB::kFailed;
    const uint32_t roots = rootCount();
    if (m_transferRoot >= roots) {
        *len = 0;
        return JLIB::kOk;
    }
    char root[25] = {};
    if (JLIB::isFailure(m_pFacade->getRootIdentifier(root, m_transferRoot))) return JLIB::kFailed;
    root[kNameSize] = '\0';
    const JLIB::JResult r = sendRootBlock(out, cap, len, root);
    if (syncLowIs(r, 2) || syncLowIs(r, 3)) {
        *more = true;
        return kNoRoom;
    }
    JLIB_RETURN_IF_FAILED(r);
    ++m_transferRoot;
    *more = m_transferRoot < roots;
    return JLIB::kOk;
}

// --- analysis ----------------------------------------------------------------------------------

JLIB::JResult MmsSynchronizer::doAnalzing(uint8_t* out, uint32_t cap, uint32_t* len, uint32_t rootIndex)
{
    if (!m_pFacade) {
        (void)eventReset();
        return JLIB::kFailed;
    }
    char root[25] = {};
    if (JLIB::isFailure(m_pFacade->getRootIdentifier(root, rootIndex))) return JLIB::kFailed;
    root[kNameSize] = '\0';
    if (JLIB::isFailure(M::Encode_AssociationTellParameter(out, cap, len, m_pFacade, root))) return kNoRoom;
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::startAnalysis(uint8_t* out, uint32_t cap, uint32_t* len, bool* more)
{
    *more = false;
    *len = 0;
    m_analysisPosition = 0;
    if (!m_pFacade) {
        disconnected();
        return JLIB::kOk;
    }
    if (rootCount() == 0) {
        m_matched = true;
        changeState(nullptr, &S::receiveOnAnalyzed);
        return JLIB::kOk;
    }
    JLIB_RETURN_IF_FAILED(doAnalzing(out, cap, len, 0));
    JLIB_RETURN_IF_FAILED(clearRootState());
    m_elapsed = 0;
    changeState(nullptr, &S::receiveOnAnalyzing);
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::analyzing(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                         uint32_t inLen, uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    if (id == CNP_CMD_ASSOCIATION_END) return replyEnd(out, cap, len, flags);
    if (id != CNP_CMD_ASSOCIATION_TELL_PARAMETER_ANSWER) return JLIB::kOk;
    if (!m_pFacade) {
        disconnected();
        return JLIB::kOk;
    }
    uint32_t result = 0;
    const char* name = nullptr;
    bool structureMatched = false, valuesMatched = false;
    bool differs = JLIB::isFailure(P::Decode_AssociationTellParameterAnswer(in, inLen, &result, &name,
                                                                           &structureMatched, &valuesMatched)) ||
                   static_cast<int32_t>(result) < 0 || !name || !structureMatched || !valuesMatched;
    char root[25] = {};
    if (!differs) {
        differs = JLIB::isFailure(m_pFacade->getRootIdentifier(root, m_analysisPosition)) || !sameId(root, name);
    }
    if (!differs) {
        root[kNameSize] = '\0';
        if (RootEntry* entry = findEntry(root, true)) entry->flags |= kRootTookPart;
        ++m_analysisPosition;
    }
    if (differs || m_analysisPosition >= rootCount()) {
        m_matched = !differs;
        changeState(nullptr, &S::receiveOnAnalyzed);
        return JLIB::kOk;
    }
    const JLIB::JResult r = doAnalzing(out, cap, len, m_analysisPosition);
    if (syncLowIs(r, 3)) {
        // No room for the next root now: the analysis starts again from the first root.
        m_send = &S::triggerAnalysis;
        *flags |= IPortObserver::kFlagMore;
        return JLIB::kOk;
    }
    if (JLIB::isFailure(r)) {
        m_matched = false;
        changeState(nullptr, &S::receiveOnAnalyzed);
    }
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::analyzed(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in, uint32_t inLen,
                                        uint8_t* flags)
{
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(in, inLen, kCnpVersion, &id));
    if (id == CNP_CMD_ASSOCIATION_END) return replyEnd(out, cap, len, flags);
    return JLIB::kOk;
}

// --- receiving ---------------------------------------------------------------------------------

JLIB::JResult MmsSynchronizer::checkReceived(const char* kind, const char* subName, const char* textAddress,
                                             uint32_t depth)
{
    if (!textAddress) return JLIB::kOk;
    uint32_t nodes[kMaxDepth] = {};
    uint32_t converted = 0;
    const size_t length = strnlen(textAddress, kMaxTextAddress + 1);
    if (!subName || length > kMaxTextAddress ||
        JLIB::isFailure(m_pFacade->cnvStrToFastAddr(nodes, &converted, kMaxDepth, subName, textAddress,
                                                    static_cast<uint32_t>(length))) ||
        converted != depth) {
        JLIB_LOG("[W] MmsSynchronizer(%s): %s for an address not in the tree not used\n", m_name, kind);
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::receiveSetParameter(const uint8_t* in, uint32_t inLen)
{
    if (!m_pFacade) return kBadArgument;
    JVariant value;
    uint32_t commFactor = 0;
    uint32_t numbers[kMaxDepth] = {};
    uint32_t indexes[kMaxDepth] = {};
    P::Address address;
    address.numbers = numbers;
    address.indexes = indexes;
    if (JLIB::isFailure(P::Decode_SetParameter(in, inLen, kMaxDepth, &value, &commFactor, &address)) ||
        !address.name || !sameName(address.name)) {
        return kCnpParseError;
    }
    // Checked only: writing received values into the tree is not part of this synchroniser.
    (void)checkReceived("SetParameter", address.subName, address.textAddress, address.depth);
    return JLIB::kOk;
}

JLIB::JResult MmsSynchronizer::receiveSetParameterBlock(const uint8_t* in, uint32_t inLen, bool)
{
    if (!m_pFacade) return kBadArgument;
    const uint8_t* image = nullptr;
    const uint8_t* filter = nullptr;
    uint32_t imageSize = 0, filterSize = 0, commFactor = 0;
    uint32_t numbers[kMaxDepth] = {};
    uint32_t indexes[kMaxDepth] = {};
    P::Address address;
    address.numbers = numbers;
    address.indexes = indexes;
    if (JLIB::isFailure(P::Decode_SetParameterBlock(in, inLen, kMaxDepth, &image, &imageSize, &filter, &filterSize,
                                                    &commFactor, &address)) ||
        !address.name || !sameName(address.name)) {
        return kCnpParseError;
    }
    (void)checkReceived("SetParameterBlock", address.subName, address.textAddress, address.depth);
    return JLIB::kOk;
}

}  // namespace ComControl
