#pragma once
// Carries out the editor's requests against the parameter databases and answers them: the
// dispatch of a decoded packet to its command, replies, notifications, the connected
// announcement, the parameter-value notification and the parameter value commands. Runs on the
// editor-link thread only; the client unit is borrowed from that thread.
#include <cstdint>
#include <string>

#include "editor/CommandContainer.h"
#include "editor/ExpressionAdapter.h"
#include "editor/PacketContainer.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterDB;
class LocalParameterArray;
class ParameterInfo;
}  // namespace PDB

namespace VDProtocol {
class VDProtocolClientUnit;
}

namespace VDevice {

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
    // Never answered; a pending request of that id has no abort to run yet.
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

    // Periodic work of the editor-link thread that the device detection and meter commands
    // carry out; until those exist they do nothing. 0.
    JLIB::JResult detectDevice();
    JLIB::JResult getMeter();
    JLIB::JResult changeSyncStatus(uint32_t editorState);

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
    // Steps 1 to 4 of "set" "prm_val" on one map.
    JLIB::JResult writeItem(const VDProtocol::ArgumentMap& item);
    JLIB::JResult writeWildcard(const std::string& dbName, uint32_t componentId, const std::string& path, int32_t x,
                                int32_t y, const JVariant& value);
    // Appends the read items of one request item to the reply.
    JLIB::JResult readItem(VDProtocol::PacketContainer& reply, const VDProtocol::ArgumentMap& item) const;
    JLIB::JResult appendReadItem(VDProtocol::PacketContainer& reply, const PDB::ParameterInfo& info,
                                 const JVariant& value, const std::string& address,
                                 const std::string& componentName) const;
    // A text converted against the definition, a number fitted to its type.
    JLIB::JResult prepareValue(JVariant& out, const PDB::ParameterInfo& info, const JVariant& value) const;

    std::string m_projectPath;
    std::string m_deviceId;
    VDProtocol::VDProtocolClientUnit* m_pClientUnit;  // the editor-link thread's; outlives this
    std::string m_pcIpAddress;
    std::string m_deviceIpAddress;
    std::string m_deviceMacAddress;
    uint32_t m_lastDeviceStatus = 0;
    VDProtocol::CommandContainer m_commands;
    VDProtocol::ExpressionAdapter m_expressions;
};

}  // namespace VDevice
