#pragma once
// Carries out the editor's requests against the parameter databases and answers them: the
// dispatch of a decoded packet to its command, replies, notifications, the connected
// announcement, the parameter-value notification and the parameter value commands. Runs on the
// editor-link thread only; the client unit is borrowed from that thread.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/CommandContainer.h"
#include "editor/ExpressionAdapter.h"
#include "editor/PacketContainer.h"
#include "editor/PrmAddrInfo.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterDB;
class LocalParameterArray;
class ParameterInfo;
class SnapshotContentsList;
}  // namespace PDB

namespace VDProtocol {
class VDProtocolClientUnit;
}

namespace PARRAY {
class ArrayAccessorForServer;
}

namespace VDevice {

// Pieces of the text between separators, appended to out; empty pieces only when skipEmpty is
// false (two separators in a row, a separator at either end). 0.
JLIB::JResult split(std::vector<std::string>& out, const std::string& text, const std::string& separator,
                    bool skipEmpty);

class VDProtocolExecutor {
public:
    static constexpr uint32_t kWriteAttribute = 255;
    static constexpr uint32_t kFirstDatabaseId = 0;
    static constexpr uint32_t kLastDatabaseId = 10;
    static constexpr uint32_t kStatusUnknown = 0xFFFFFFFFu;
    static constexpr uint32_t kStatusOffline = 1;
    static constexpr uint32_t kStatusOnline = 2;

    // The unit is borrowed (null: every send answers 0x80000000) and must outlive the executor.
    VDProtocolExecutor(const std::string& deviceId, VDProtocol::VDProtocolClientUnit* unit);
    virtual ~VDProtocolExecutor();
    VDProtocolExecutor(const VDProtocolExecutor&) = delete;
    VDProtocolExecutor& operator=(const VDProtocolExecutor&) = delete;

    // Dispatch of one decoded packet: requests by command type and name, aborts; everything not
    // carried out here is ignored without reply. 0.
    JLIB::JResult received(const VDProtocol::PacketContainer& packet);
    JLIB::JResult add(const VDProtocol::PacketContainer& packet);
    JLIB::JResult del(const VDProtocol::PacketContainer& packet);
    JLIB::JResult set(const VDProtocol::PacketContainer& packet);
    JLIB::JResult get(const VDProtocol::PacketContainer& packet);
    JLIB::JResult setData(const VDProtocol::PacketContainer& packet);
    JLIB::JResult getData(const VDProtocol::PacketContainer& packet);
    // Never answered; for a pending compile of that request id runs abortCompile.
    JLIB::JResult abort(const VDProtocol::PacketContainer& packet);

    // A copy as "reply" with "from" and "to" swapped / as "notify" from the device; the send's code.
    JLIB::JResult sendReply(const VDProtocol::PacketContainer& packet);
    JLIB::JResult sendNotify(const VDProtocol::PacketContainer& packet);
    // {"connected":{"from":<device id>}}.
    JLIB::JResult sendConnected();
    // One "prm_val" notification for one element; the first failure (the read, a BINARY
    // parameter, an address that cannot be built, the send) is returned and nothing is sent.
    JLIB::JResult sendNotifyForParameterValue(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                              uint32_t x, uint32_t y);

    // From "EditorState" of the "Sync" thread: 0 to 3 give 0, 4, 5, 8, 9 give 1, 10 gives 2,
    // anything else (or no readable state) 0xFFFFFFFF.
    uint32_t deviceStatus() const;
    static uint32_t deviceStatus(uint32_t editorState);
    bool isOnline() const { return deviceStatus() == kStatusOnline; }
    bool isOffline() const { return deviceStatus() == kStatusOffline; }

    // Parameter value commands; each sends one reply and returns its send's code.
    JLIB::JResult execSetPrmValue(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetDataPrmValue(const VDProtocol::PacketContainer& request);
    JLIB::JResult execGetDataPrmValue(const VDProtocol::PacketContainer& request);
    JLIB::JResult execGetDataPrmInfo(const VDProtocol::PacketContainer& request);
    // Range query and copy/paste; each sends one reply and returns its send's code.
    JLIB::JResult execGetRangePrmValue(const VDProtocol::PacketContainer& request);
    JLIB::JResult execGetDataCopyPaste(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetDataCopyPaste(const VDProtocol::PacketContainer& request);

    // The database of that exact name among instance ids 0 to 10, or null.
    PDB::IParameterDB* parameterDB(const std::string& name) const;
    // The definition, or a shared default one ("<unknown>", sizes 0) without the database.
    PDB::ParameterInfo getParameterInfo(const std::string& dbName, uint32_t componentId,
                                               const std::string& path) const;
    // One element under the database's lock; RESULT_FAILED without database or component, else
    // the database's code. A text is converted first, a number fitted to the type.
    JLIB::JResult getParameterValue(JVariant& value, const std::string& dbName, uint32_t componentId,
                                    const std::string& path, uint32_t x, uint32_t y) const;
    JLIB::JResult setParameterValue(const std::string& dbName, uint32_t componentId, const std::string& path,
                                    uint32_t x, uint32_t y, const JVariant& value);
    // The whole parameter array; same codes.
    JLIB::JResult getParameterValueBundle(PDB::LocalParameterArray& values, const std::string& dbName,
                                          uint32_t componentId, const std::string& path) const;
    JLIB::JResult setParameterValueBundle(const std::string& dbName, uint32_t componentId, const std::string& path,
                                          const PDB::LocalParameterArray& values);
    // Writes the value into every selected element of the buffer (a negative x or y selects the
    // whole axis); the conversion's code (buffer unchanged) or the last element write's code.
    JLIB::JResult createSameValueList(PDB::LocalParameterArray& values, const PDB::ParameterInfo& info, int32_t x,
                                      int32_t y, const JVariant& value) const;
    // "type:version:XxY" of the component at that index.
    static std::string createComponentName(const PDB::IParameterDB& db, uint32_t componentIndex);

    // Periodic work of the editor-link thread. detectDevice re-links a lost device with the
    // stored addresses; changeSyncStatus sends "dev_status" when the device status changed (0);
    // getMeter sends one "meter" notification per registered component while online: 0 when
    // not online, else the first failure (the other components are still sent) or the last send's code.
    JLIB::JResult detectDevice();
    JLIB::JResult getMeter();
    JLIB::JResult changeSyncStatus(uint32_t editorState);

    // Device information and settings. The first entry (in order) whose key equals the given one;
    // entry 0, whose database is never found, for a key the table lacks.
    static const PRM_ADDR_INFO& prmAddrInfo(const std::string& key);
    // Element read and write of the entry the key names; RESULT_FAILED for a key outside the table.
    JLIB::JResult getParameterValue(JVariant& value, const std::string& key) const;
    JLIB::JResult setParameterValue(const std::string& key, const JVariant& value);
    // The entry's definition and element value in one read section; RESULT_FAILED without the
    // database or component.
    JLIB::JResult getParameterInfo(const PRM_ADDR_INFO& entry, JVariant& value, PDB::ParameterInfo& info) const;
    // 0 equal, 0x80000001 real smaller, 0x80000002 real larger.
    static uint32_t compareCapacity(uint32_t real, uint32_t virtualCapacity);
    // Each sends one reply and returns its send's code.
    JLIB::JResult execGetDeviceInfo(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetup(const VDProtocol::PacketContainer& request);
    JLIB::JResult execActive(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetDeviceLabel(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetDeviceUnitID(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetDeviceCapacity(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetDeviceFs(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSaveProject(const VDProtocol::PacketContainer& request);
    JLIB::JResult execLoadProject(const VDProtocol::PacketContainer& request);
    JLIB::JResult execCompareSecurity(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelModifyFlag(const VDProtocol::PacketContainer& request);
    const std::string& projectPath() const { return m_projectPath; }

    // Component and connection commands. Requests answered by "DeviceControl" are registered
    // before their first message; a failure replies at once and drops the registration, so the
    // answers of messages already sent find nothing. An empty list is answered "ok" at once.
    JLIB::JResult execAddComponent(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelComponent(const VDProtocol::PacketContainer& request);
    JLIB::JResult execChangeComponent(const VDProtocol::PacketContainer& request);
    JLIB::JResult execAddComponentConnect(const VDProtocol::PacketContainer& request);
    // Reply at once, after all messages are sent.
    JLIB::JResult execDelComponentConnect(const VDProtocol::PacketContainer& request);
    // "ng" while no project path is set.
    JLIB::JResult execRagistParameter(const VDProtocol::PacketContainer& request, bool regist);
    JLIB::JResult execAddRagistParameter(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelRagistParameter(const VDProtocol::PacketContainer& request);
    // Answers of "DeviceControl": RESULT_FAILED when no pending request holds the sub-item; else
    // the reply's send code, or 0 while the request still waits.
    JLIB::JResult replyAddComponent(uint32_t result, uint32_t componentId);
    JLIB::JResult replyChangeComponent(uint32_t result, uint32_t componentId);
    JLIB::JResult replyAddConnect(uint32_t result, uint32_t toId, uint32_t toPort, uint32_t fromId, uint32_t fromPort);
    // The "cpt_resource" notification; RESULT_FAILED when "VDeviceCapacity" cannot be read.
    JLIB::JResult replyGetComponentResource(uint32_t usage);
    // 0, or RESULT_FAILED when the target thread is not there or its queue stays busy.
    JLIB::JResult sendMessageAddComponent(const std::string& dbName, uint32_t componentId, const std::string& typeName,
                                          uint32_t majorVersion, uint32_t numX, uint32_t numY);
    JLIB::JResult sendMessageDelComponent(const std::string& dbName, uint32_t componentId);
    JLIB::JResult sendMessageChangeComponent(const std::string& dbName, uint32_t componentId,
                                             const std::string& typeName, uint32_t majorVersion, uint32_t numX,
                                             uint32_t numY);
    JLIB::JResult sendMessageAddConnect(uint32_t toId, uint32_t toPort, uint32_t fromId, uint32_t fromPort);
    JLIB::JResult sendMessageDelConnect(uint32_t toId, uint32_t toPort, uint32_t fromId, uint32_t fromPort);
    JLIB::JResult sendMessageRegistParameter(uint32_t componentId, const std::string& typeName, bool regist);
    JLIB::JResult sendMessageGetComponentResource();
    // "type:version:XxY", empty pieces dropped; RESULT_FAILED when malformed, and for a type name
    // that could leave the component folder ("/", "\", "." or "..").
    static JLIB::JResult decodeComponentName(std::string& typeName, uint32_t& majorVersion, uint32_t& numX,
                                             uint32_t& numY, const std::string& text);
    std::string createComponentStylePath(const std::string& typeName) const;

    // Compile and parameter-set commands. The compile waits in the registry for the "Compiler"
    // thread's result; replyCompile answers the oldest pending one (RESULT_FAILED when none is
    // pending or the capacity cannot be read, which leaves it pending).
    JLIB::JResult execStartCompile(const VDProtocol::PacketContainer& request);
    JLIB::JResult replyCompile(uint32_t result);
    // The compile runs on; its result is answered as usual. 0.
    JLIB::JResult abortCompile();
    JLIB::JResult execAddParameterSet(const VDProtocol::PacketContainer& request);
    JLIB::JResult execAddParameterSetDuplicate(const VDProtocol::PacketContainer& request);
    JLIB::JResult execAddParameterSetAssign(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelParameterSet(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelParameterSetAssign(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetParameterSet(const VDProtocol::PacketContainer& request);
    JLIB::JResult execGetDataParameterSet(const VDProtocol::PacketContainer& request);
    JLIB::JResult execGetDataParameterSetAssign(const VDProtocol::PacketContainer& request);

    // Synchronisation and detection. The editor's online requests wait in the registry for the
    // "Sync" thread's progress reports; sync_offline is answered only when refused.
    static constexpr const char* kSyncPassword = "0000";
    static constexpr uint32_t kRealOlder = 0x80000001u;
    static constexpr uint32_t kRealNewer = 0x80000002u;
    bool isLost() const { return deviceStatus() == 0; }
    JLIB::JResult execSyncOnlineToDevice(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSyncOnlineFromDevice(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSyncOffline(const VDProtocol::PacketContainer& request);
    // "abort" to "Sync"; 0.
    JLIB::JResult abortSyncDevice();
    // Answer the oldest pending "sync_device" (kept while the result is 1); RESULT_FAILED when
    // none is pending, else the send's code.
    JLIB::JResult replySynchronize(uint32_t result, uint32_t progress);
    JLIB::JResult replyAsynchronous(uint32_t result, uint32_t progress);
    // The "Disconnect" notification; 0.
    JLIB::JResult replyDisconnect(uint32_t result);
    // 0 equal; kRealOlder / kRealNewer; RESULT_FAILED when either version cannot be read.
    JLIB::JResult compareSyncVersion() const;
    static JLIB::JResult compareSyncVersion(uint32_t real, uint32_t virtualVersion);
    // "V<major>.<minor>" texts of exactly five characters, pieces read as decimal numbers;
    // RESULT_FAILED for a text of another length or form.
    static JLIB::JResult compareSyncVersion(const std::string& first, const std::string& second);
    static JLIB::JResult divisionSyncVersion(uint32_t& major, uint32_t& minor, const std::string& text);
    // Messages to "Sync"; 0 (send failures are not reported).
    JLIB::JResult sendMessageSyncOnline(const std::string& direction, const std::string& password);
    JLIB::JResult sendMessageSyncOffline();

    // Network information; each request sends one reply and returns its send's code.
    JLIB::JResult execSetNetworkInfo(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelNetworkInfo(const VDProtocol::PacketContainer& request);
    // "SetNetworkInfo" to "Sync"; RESULT_FAILED, nothing sent, when either text is empty.
    JLIB::JResult sendMessageConnect(const std::string& pcAddress, const std::string& deviceAddress);
    JLIB::JResult sendMessageDetectStart();
    JLIB::JResult sendMessageDetectStop();
    JLIB::JResult sendMessageDisconnect();
    // "%d.%d.%d.%d" of the bytes from the most significant down.
    static std::string ipAddressString(uint32_t address);
    const std::string& pcIpAddress() const { return m_pcIpAddress; }
    const std::string& deviceIpAddress() const { return m_deviceIpAddress; }
    const std::string& deviceMacAddress() const { return m_deviceMacAddress; }

    // Meter commands; each sends one reply and returns its send's code.
    JLIB::JResult execAddComponentMeter(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelComponentMeter(const VDProtocol::PacketContainer& request);
    JLIB::JResult execGetDataComponentMeter(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetMeterInfo(const VDProtocol::PacketContainer& request);
    JLIB::JResult execSetPeakHold(const VDProtocol::PacketContainer& request);
    JLIB::JResult execDelPeakHold(const VDProtocol::PacketContainer& request);
    // The "meter" notification of one component address ("<db>/#<id>") from its normal or
    // peak-hold meter table. Nothing is sent for an address that does not split (the splitter's
    // code), no such component in this thread's view or a table without arrays (RESULT_FAILED);
    // else the send's code.
    JLIB::JResult sendNotifyForMeterValue(const std::string& address, bool peakHold);
    // The "meter" packet of one meter table under the address, built into notify (emptied first);
    // RESULT_FAILED for a table without arrays (notify unchanged), or the code of an array that
    // cannot be read (notify left empty).
    static JLIB::JResult buildMeterNotify(VDProtocol::PacketContainer& notify, const std::string& address,
                                          const PARRAY::ArrayAccessorForServer& table);
    // "MeterList" to "Sync", waiting for room; 0, or RESULT_FAILED when the send fails.
    JLIB::JResult sendMessageMeterListChange();

    const std::string& deviceId() const { return m_deviceId; }

protected:
    // Every packet leaves through here: the unit's send, 0x80000000 without unit.
    virtual JLIB::JResult transmit(const VDProtocol::PacketContainer& packet);

private:
    using Handler = JLIB::JResult (VDProtocolExecutor::*)(const VDProtocol::PacketContainer&);
    struct Route {
        const char* name;
        Handler handler;
    };
    JLIB::JResult dispatch(const Route* routes, size_t count, const VDProtocol::PacketContainer& packet);
    // Registers (or removes) each list item's "prmAddr" under the request's "id"; RESULT_FAILED
    // for an "id" or a "prmAddr" that is missing or not a text (earlier items stay done).
    JLIB::JResult walkMeterList(const VDProtocol::PacketContainer& request, bool regist);
    // Steps 1 to 4 of "set" "prm_val" on one map.
    JLIB::JResult writeItem(const VDProtocol::ArgumentMap& item);
    JLIB::JResult writeWildcard(const std::string& dbName, uint32_t componentId, const std::string& path, int32_t x,
                                int32_t y, const JVariant& value);
    // Appends the read items of one request item to the reply.
    JLIB::JResult readItem(VDProtocol::PacketContainer& reply, const VDProtocol::ArgumentMap& item) const;
    JLIB::JResult appendReadItem(VDProtocol::PacketContainer& reply, const PDB::ParameterInfo& info,
                                 const JVariant& value, const std::string& address,
                                 const std::string& componentName) const;
    // The snapshot selection one copy/paste item names ("type" and "prmAddr" texts given).
    JLIB::JResult addCopyPasteSelection(PDB::SnapshotContentsList& selection, const std::string& type,
                                        const std::string& address) const;
    // A text converted against the definition, a number fitted to its type.
    JLIB::JResult prepareValue(JVariant& out, const PDB::ParameterInfo& info, const JVariant& value) const;

    // A copy of the request with the result, progress 100 and an empty message, sent.
    JLIB::JResult replyResult(const VDProtocol::PacketContainer& request, JLIB::JResult result);
    // Writes the command-information value of the key to the table entry; RESULT_FAILED when the
    // key is missing.
    JLIB::JResult writeSetting(const VDProtocol::ArgumentMap& info, const char* infoKey, const char* entryKey,
                               bool asUnsigned);
    // A registered request that failed part-way: unregistered and answered with the code.
    JLIB::JResult failRegistered(uint32_t id, const VDProtocol::PacketContainer& request, JLIB::JResult code);
    // Steps of one list item of a registered walk; the sub-item name of the message sent.
    JLIB::JResult sendComponentItem(std::string& subItem, const VDProtocol::ArgumentMap& item, bool add);
    JLIB::JResult sendConnectItem(std::string& subItem, const VDProtocol::ArgumentMap& item, bool add);
    JLIB::JResult sendRegistItem(const VDProtocol::ArgumentMap& item, bool regist);
    // Registers the request and sends each list item; the first failure unregisters and replies.
    using ItemSender = JLIB::JResult (VDProtocolExecutor::*)(std::string&, const VDProtocol::ArgumentMap&, bool);
    JLIB::JResult runRegisteredWalk(const VDProtocol::PacketContainer& request, ItemSender sender, bool add);
    // Sets the answered sub-item and, once none is executing, replies and unregisters.
    JLIB::JResult completeSubItem(const char* commandName, const std::string& subItem, uint32_t result,
                                  bool askResource);

    std::string m_projectPath;
    std::string m_deviceId;
    VDProtocol::VDProtocolClientUnit* m_pClientUnit;  // the editor-link thread's; outlives this
    std::string m_pcIpAddress;
    std::string m_deviceIpAddress;
    std::string m_deviceMacAddress;
    uint32_t m_lastDeviceStatus = 0;
    // Offline requests sent to "Sync" whose "Re:Asynchronous" has not come back, and the
    // "sync_device" requests accepted meanwhile: that answer belongs to none of those.
    uint32_t m_offlinesOutstanding = 0;
    std::vector<uint32_t> m_syncsAfterOffline;
    VDProtocol::CommandContainer m_commands;
    VDProtocol::ExpressionAdapter m_expressions;
};

}  // namespace VDevice
