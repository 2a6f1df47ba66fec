#pragma once
// The listening side of the console link as a device shows it to the engine: a ServerService on
// 127.0.0.1 with client units that carry the engine's ports, an executor that accepts every event
// and answers the engine's requests, and keep-alives while the link is quiet. Everything runs on
// the thread that calls start, onWakeup and onTick; the socket layer only calls wakeup.
#include <cstdint>
#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PDB/pdb_IComponent.h"
#include "PdbLayout.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_IDirSyncStrategy.h"
#include "comctrl/Core/comctrl_IEventExecutor.h"
#include "comctrl/Core/comctrl_IUnitConnectObserver.h"
#include "comctrl/Core/comctrl_ServerService.h"

namespace devsim {

class DeviceSimulator : public VCOM::IVComWakeupFunction, public ComControl::IUnitConnectObserver {
public:
    static constexpr uint32_t kUnitCount = 2;
    static constexpr uint32_t kTickMs = 50;
    static constexpr uint32_t kKeepAliveMs = 999;  // a keep-alive after more than this without sending

    // hash: the bytes sent as "HASH" in "onSetClientType". wakeFd: a pipe's write end that
    // wakeup writes one byte to (the caller reads it and calls onWakeup).
    DeviceSimulator(std::vector<uint8_t> hash, int wakeFd);
    // Before start: the databases of a layout file on the database ports (port i, database i).
    [[nodiscard]] JLIB::JResult loadLayout(const std::string& path, std::string& error);
    // Before start: the file port's accessor "Config" of every unit rooted at <root>/Config, and
    // the engine's three synchronised directories below root (all made when missing). Without it
    // the file port refuses every file and the directories are not registered.
    [[nodiscard]] JLIB::JResult setFileRoot(const std::string& root);
    // Lines of standard input; each command prints one answer line:
    //   set <db> <uniqId> <address> <x> <y> <value>  -> "OK" or "ERROR <code>"
    //   get <db> <uniqId> <address> <x> <y>          -> "VALUE <text>" or "ERROR <code>"
    //   digest <db>                                  -> "DIGEST <db> <md5 hex>" or "ERROR <code>"
    //   dirsync <directory> <unit>                   -> "DIRSYNC <directory> <status> <listing> <changes>"
    //   pdbsync <port> <unit>                        -> "PDBSYNC <port> <status>" (2: associated); this
    //                                                   end learns of it one hop after the engine
    //   silent on|off                                -> "SILENT on|off": while on, nothing is received
    //                                                   or sent (keep-alives included), as a hung device
    //   keepalive on|off                             -> "KEEPALIVE on|off": whether quiet links get
    //                                                   keep-alives from here (on at start)
    // Every event received prints "EVENT <name> <text>" (the text as it came, escapes kept).
    void onInput(const char* bytes, size_t length);
    ~DeviceSimulator() override;

    // Sets up the units and listens on 127.0.0.1:port; port 0 takes a free one. 0 with the port
    // in bound, or the failure (logged).
    [[nodiscard]] JLIB::JResult start(uint16_t port, uint16_t& bound);
    // The socket woke us: deliver its events, then send what waits.
    void onWakeup();
    // Every kTickMs: the units' tick, keep-alives, waiting replies.
    void onTick();

    // Socket task: only signals the owner.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

    void connected(int32_t unitId) override {}
    void connectFailed(int32_t unitId) override {}
    void disconnected(int32_t unitId) override;
    void unitStateChanged(int32_t unitId) override {}

private:
    struct Outgoing {
        std::string name;
        std::string text;
    };

    class Executor : public ComControl::IEventExecutor {
    public:
        Executor() = default;
        void bind(DeviceSimulator& simulator) { m_pSimulator = &simulator; }
        uint32_t execute(uint32_t unit, const char* name, const char* text) override;

    private:
        DeviceSimulator* m_pSimulator = nullptr;  // the simulator owns this executor
    };

    JLIB::JResult setUpUnit(uint32_t index);
    // One byte into the wake-up pipe.
    JLIB::JResult signalWake();
    // Replies go out after the receive pass, behind the answer to the event that asked for them.
    void queue(uint32_t unit, const char* name, std::string text);
    void flush(uint32_t unit);
    void onEvent(uint32_t unit, const std::string& name, const std::string& text);
    std::string setClientTypeReply(const std::string& text) const;

    // Tells the units when a database changed, so the change goes to every connection.
    class ChangeWatch : public PDB::IParameterDBCallback {
    public:
        uint32_t rawCallbackChangePDBConfig() override { return 0; }
        uint32_t rawCallbackSetPDBParameter() override
        {
            changed = true;
            return 0;
        }
        bool changed = false;
    };

    // Lets through only files whose extension after the last '.' is the directory's, in any case.
    class ExtensionFilter : public ComControl::IDirSyncStrategy {
    public:
        explicit ExtensionFilter(std::string extension) : m_extension(std::move(extension)) {}
        bool isSendFiltered(const char* fileName) override;

    private:
        std::string m_extension;
    };

    std::string runCommand(const std::string& line);
    std::string dirSyncStatus(std::istringstream& in);
    std::string pdbSyncStatus(std::istringstream& in);
    void notifyChanges();

    PdbLayout m_layout;
    bool m_hasLayout = false;
    bool m_silent = false;
    bool m_keepAlive = true;
    ChangeWatch m_watch;
    std::string m_input;
    std::vector<uint8_t> m_hash;
    int m_wakeFd;
    // One accessor per unit: each file port opens its own slot; declared before the units that
    // borrow them.
    std::unique_ptr<ComControl::FileAccessor> m_pFiles[kUnitCount];
    static constexpr uint32_t kDirectoryCount = 3;
    std::string m_root;
    std::unique_ptr<ComControl::FileAccessor> m_pDirectoryFiles[kUnitCount][kDirectoryCount];
    std::unique_ptr<ExtensionFilter> m_pFilters[kDirectoryCount];
    ComControl::ClientUnit m_units[kUnitCount];
    Executor m_executors[kUnitCount];
    std::deque<Outgoing> m_outbox[kUnitCount];
    ComControl::ServerService m_service;  // destroyed before the units it serves
};

}  // namespace devsim
