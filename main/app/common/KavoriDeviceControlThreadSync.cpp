// The device-control thread's part in a synchronisation with a real device: preparation,
// progress counters, quiet backups while it runs and the refresh once memories have arrived.
#include <cstring>

#include "TMS/AbstractMessage.h"
#include "TMS/ThreadRepository.h"
#include "common/KavoriDeviceControlThread.h"
#include "common/Lpc/LpcPDB.h"

namespace KAVORI {

namespace {

constexpr uint8_t kWriteAttr = 255;
constexpr uint32_t kHashLength = 16;
constexpr uint32_t kSceneRemainingAtStart = 1000;
constexpr uint32_t kLibraryRemainingAtStart = 128;

bool is(const TMS::AbstractMessage& message, const char* key, const char* value)
{
    const char* text = message.data(key).toString();
    return text && std::strcmp(text, value) == 0;
}

void setRemaining(uint32_t scene, uint32_t library)
{
    // Display counters: a lost write only shows a stale count.
    (void)LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Sync/Scene/remainingNum", 0, 0,
                            JVariant(scene), kWriteAttr);
    (void)LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZVOLATILE, "/Scene/Sync/Library/remainingNum", 0, 0,
                            JVariant(library), kWriteAttr);
}

TMS::AbstractMessage answerTo(const char* name, const TMS::AbstractMessage& request)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    (void)message.addData("CommandName", name);      // a short text always fits
    (void)message.addData("UnitId", request.data("UnitId").toUInt32());
    return message;
}

// Only a registered sender hears back; an answer to anyone else is dropped.
void sendToSender(const TMS::AbstractMessage& answer, const TMS::AbstractMessage& request)
{
    const char* sender = request.fromWhere();
    if (!sender) return;
    TMS::AbstractThread& thread = TMS::getThreadByName(sender);
    if (thread.isNull() || !thread.isValid()) return;
    (void)answer.sendWithWaiting(thread);  // waits for room only; a full queue loses the answer
}

}  // namespace

JLIB::JResult KavoriDeviceControlThread::onReceivePrepareToSync(const TMS::AbstractMessage& request, bool& accepted,
                                                                uint8_t* hash, uint32_t capacity,
                                                                uint32_t& hashLength)
{
    // The PIN is read but never verified: every preparation is accepted.
    (void)request.data("AdminPIN");
    accepted = true;
    hashLength = 0;
    if (hash && capacity >= kHashLength) {
        for (uint32_t i = 0; i < kHashLength; ++i) hash[i] = static_cast<uint8_t>(i + 1);
        hashLength = kHashLength;
    }
    // Refresh afterwards only when the data come to this side.
    m_RefreshAfterSync = is(request, "SyncDirection", isClient() ? "ServerToClient" : "ClientToServer");
    setRemaining(kSceneRemainingAtStart, kLibraryRemainingAtStart);
    return JLIB::kOk;
}

JLIB::JResult KavoriDeviceControlThread::onReceiveSynchronize(const TMS::AbstractMessage& request)
{
    if (is(request, "Status", "Connected")) {
        (void)enableSceneView(0);  // a display switch
        m_ControlState.store(kControlSyncConnected);
    } else if (is(request, "Status", "Synchronized")) {
        if (is(request, "Type", "Server") && m_RefreshAfterSync) (void)refresh(false);  // each step logs its failure
        setRemaining(0, 0);
        m_ControlState.store(kControlNormal);
        (void)enableSceneView(1);
    }
    return JLIB::kOk;
}

void KavoriDeviceControlThread::commandUZSync(const TMS::AbstractMessage& message)
{
    if (is(message, "Operation", "Receive") && is(message, "Status", "End")) (void)refresh(false);  // as above
}

void KavoriDeviceControlThread::commandPrepareToSync(const TMS::AbstractMessage& message)
{
    bool accepted = false;
    uint8_t hash[kHashLength] = {};
    uint32_t hashLength = 0;
    (void)onReceivePrepareToSync(message, accepted, hash, sizeof(hash), hashLength);  // always 0
    TMS::AbstractMessage answer = answerTo("Re:PrepareToSync", message);
    if (!isClient() && accepted) {
        (void)answer.addData("AdminPIN", "OK");
        (void)answer.addData("ConfigHash", hash, hashLength);
    }
    sendToSender(answer, message);
}

void KavoriDeviceControlThread::commandSyncAbort(const TMS::AbstractMessage& message)
{
    m_ControlState.store(kControlNormal);
    (void)enableSceneView(1);  // a display switch
    sendToSender(answerTo("Re:SyncAbort", message), message);
}

void KavoriDeviceControlThread::commandStartConfig(const TMS::AbstractMessage& message)
{
    sendToSender(answerTo("Re:StartConfig", message), message);
}

void KavoriDeviceControlThread::commandIsSameConfig(const TMS::AbstractMessage& message)
{
    // Configurations are not compared: every device is taken as having ours.
    TMS::AbstractMessage answer;
    (void)answer.initialize(TMS::kMessageUser, 0);
    (void)answer.addData("CommandName", "Re:isSameConfig");
    (void)answer.addData("isSameConfig", "Same");
    sendToSender(answer, message);
}

void KavoriDeviceControlThread::commandSynchronize(const TMS::AbstractMessage& message)
{
    (void)onReceiveSynchronize(message);  // always 0
}

}  // namespace KAVORI
