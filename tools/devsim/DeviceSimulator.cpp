#include "DeviceSimulator.h"

#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "PDB/pdb_ParameterDBCollection.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_evtp.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_time.h"

namespace devsim {

namespace {

// The reply of a command whose call failed: "ERROR 0x8000000N".
std::string errorReply(JLIB::JResult r)
{
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(r));
    return std::string("ERROR ") + code;
}

constexpr uint32_t kBufferSize = 0x100000;  // as the engine's connecting side
constexpr uint32_t kPickAttempts = 20;      // a picked port can be taken before we listen on it
constexpr uint32_t kMaxText = 1024;
constexpr uint32_t kSubscriberBase = 0x7D00;  // + unit: each connection walks its own dirty flags
constexpr uint32_t kOwnFactorBase = 0x10;     // + unit: the factor a connection's writes carry
constexpr uint8_t kLocalFactor = 0x01;        // writes typed on standard input

// The port names the engine gives its connecting unit.
const char* const kDatabasePorts[] = {"PRF", "DVS", "STS", "LCS", "VDS", "CMS", "STT", "SSI", "PSI", "PJI", "CMP"};
const char* const kDirectoryPorts[] = {"P_S", "S_S", "L_D"};
constexpr uint32_t kDatabaseCount = sizeof(kDatabasePorts) / sizeof(kDatabasePorts[0]);

// The engine's synchronised directories: name and folder below the root, extension, most files.
struct DirectoryInfo {
    const char* name;
    const char* extension;
    uint32_t maxFiles;
};
const DirectoryInfo kDirectories[] = {{"Preset/3DRev", "vexap", 128}, {"Snapshot", "vexas", 2000}, {"DCP", "dcpl", 50}};
constexpr uint32_t kDirectoryUserValue = 240;

// A port on 127.0.0.1 that the system just handed out; 0 when none.
uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

// The plain value of the first item named key; false when the text has none.
bool findItem(const std::string& text, const char* key, std::string& value)
{
    const char* at = text.c_str();
    while (true) {
        const char* itemKey = nullptr;
        const char* itemValue = nullptr;
        uint32_t keyLength = 0;
        uint32_t valueLength = 0;
        uint32_t consumed = 0;
        if (JLIB::isFailure(ComControl::evtpParseCommand(at, 0, &itemKey, &keyLength, &itemValue, &valueLength,
                                                         &consumed))) {
            return false;
        }
        if (std::string(itemKey, keyLength) == key) {
            char plain[kMaxText];
            uint32_t plainLength = 0;
            if (valueLength > 0 &&
                JLIB::isFailure(ComControl::evtpRemoveEscapeSequence(plain, sizeof(plain), &plainLength, itemValue,
                                                                     valueLength))) {
                return false;
            }
            value.assign(plain, plainLength);
            return true;
        }
        at += consumed;
    }
}

}  // namespace

DeviceSimulator::DeviceSimulator(std::vector<uint8_t> hash, int wakeFd) : m_hash(std::move(hash)), m_wakeFd(wakeFd)
{
    for (Executor& e : m_executors) e.bind(*this);
}

DeviceSimulator::~DeviceSimulator() = default;

JLIB::JResult DeviceSimulator::setFileRoot(const std::string& root)
{
    const std::string folder = root + "/Config";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return 0x80000000u;
    for (auto& files : m_pFiles) {
        files = std::make_unique<ComControl::FileAccessor>();
        JLIB_RETURN_IF_FAILED(files->initialize(1, folder.c_str(), 256, '/', nullptr));
    }
    static_assert(sizeof(kDirectories) / sizeof(kDirectories[0]) == kDirectoryCount);
    for (uint32_t d = 0; d < kDirectoryCount; ++d) {
        const std::string path = root + "/" + kDirectories[d].name;
        std::filesystem::create_directories(path, error);
        if (error) return 0x80000000u;
        m_pFilters[d] = std::make_unique<ExtensionFilter>(kDirectories[d].extension);
        for (uint32_t u = 0; u < kUnitCount; ++u) {
            m_pDirectoryFiles[u][d] = std::make_unique<ComControl::FileAccessor>();
            JLIB_RETURN_IF_FAILED(m_pDirectoryFiles[u][d]->initialize(1, path.c_str(), 256, '/', nullptr));
        }
    }
    m_root = root;
    return JLIB::kOk;
}

bool DeviceSimulator::ExtensionFilter::isSendFiltered(const char* fileName)
{
    const char* dot = fileName ? std::strrchr(fileName, '.') : nullptr;
    if (!dot) return true;
    return strcasecmp(dot + 1, m_extension.c_str()) != 0;
}

JLIB::JResult DeviceSimulator::setUpUnit(uint32_t index)
{
    ComControl::ClientUnit& unit = m_units[index];
    JLIB_RETURN_IF_FAILED(unit.selectDatabse(ComControl::AbstractUnit::kValidPdb));
    JLIB_RETURN_IF_FAILED(unit.initialize(static_cast<int32_t>(index), 1, kDatabaseCount, 1, kDirectoryCount, this,
                                          kBufferSize));
    JLIB_RETURN_IF_FAILED(unit.setEventPortName(0, "EVT"));
    JLIB_RETURN_IF_FAILED(unit.registEventExecutor(0, "DevSim", m_executors[index], index));
    for (uint32_t i = 0; i < kDatabaseCount; ++i) JLIB_RETURN_IF_FAILED(unit.setPdbPortName(i, kDatabasePorts[i]));
    JLIB_RETURN_IF_FAILED(unit.setFilePortName(0, "C_R"));
    if (m_pFiles[index]) JLIB_RETURN_IF_FAILED(unit.registFileAccessor(0, "Config", m_pFiles[index].get(), 240));
    for (uint32_t i = 0; i < kDirectoryCount; ++i) {
        JLIB_RETURN_IF_FAILED(unit.setDirectoryPortName(i, kDirectoryPorts[i]));
        if (m_root.empty()) continue;
        ComControl::T_DIRECTORY_INITIALIZE_OPTION option;
        option.mapStrategy = true;
        option.strategy = m_pFilters[i].get();
        const std::string path = m_root + "/" + kDirectories[i].name;
        JLIB_RETURN_IF_FAILED(unit.registDirectory(i, kDirectories[i].name, path.c_str(), kDirectories[i].maxFiles,
                                                   *m_pDirectoryFiles[index][i], kDirectoryUserValue, &option));
    }
    if (!m_hasLayout) return JLIB::kOk;
    for (uint32_t i = 0; i < kDatabaseCount; ++i) {
        PDB::ParameterDB* db = m_layout.database(i);
        if (!db) continue;
        JLIB_RETURN_IF_FAILED(db->addDirtyFlag(kSubscriberBase + index, &m_watch, 0));
        JLIB_RETURN_IF_FAILED(unit.registPdb(i, kSubscriberBase + index, kOwnFactorBase + index));
    }
    return JLIB::kOk;
}

JLIB::JResult DeviceSimulator::loadLayout(const std::string& path, std::string& error)
{
    JLIB_RETURN_IF_FAILED(m_layout.load(path, error));
    m_hasLayout = true;
    return JLIB::kOk;
}

void DeviceSimulator::notifyChanges()
{
    if (!m_watch.changed) return;
    m_watch.changed = false;
    // Not associated on a port is no fault here: that connection simply gets nothing.
    for (ComControl::ClientUnit& unit : m_units) (void)unit.notifyPrmChanged();
}

void DeviceSimulator::onInput(const char* bytes, size_t length)
{
    m_input.append(bytes, length);
    size_t end = 0;
    while ((end = m_input.find('\n')) != std::string::npos) {
        const std::string line = m_input.substr(0, end);
        m_input.erase(0, end + 1);
        if (line.empty()) continue;
        const std::string answer = runCommand(line);
        std::printf("%s\n", answer.c_str());
    }
    notifyChanges();
}

std::string DeviceSimulator::runCommand(const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "dirsync") return dirSyncStatus(in);
    if (verb == "pdbsync") return pdbSyncStatus(in);
    if (verb == "silent") {
        std::string mode;
        in >> mode;
        if (mode != "on" && mode != "off") return "ERROR syntax";
        m_silent = mode == "on";
        // What the socket reported while silent has waited for a wake-up that was spent.
        if (!m_silent) (void)signalWake();
        return "SILENT " + mode;
    }
    if (verb == "keepalive") {
        std::string mode;
        in >> mode;
        if (mode != "on" && mode != "off") return "ERROR syntax";
        m_keepAlive = mode == "on";
        return "KEEPALIVE " + mode;
    }
    uint32_t dbId = 0;
    in >> dbId;
    if (!in) return "ERROR syntax";
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(dbId);
    if (!db.isValid()) return "ERROR no database " + std::to_string(dbId);
    if (verb == "digest") {
        uint8_t structure[16] = {};
        uint8_t values[16] = {};
        const JLIB::JResult r = ComControl::PdbSynchronizerProtocol::generateDigest(dbId, db.name(), structure, values);
        if (JLIB::isFailure(r)) return errorReply(r);
        return "DIGEST " + std::to_string(dbId) + " " + toHex(values, sizeof(values));
    }
    uint32_t uniq = 0, x = 0, y = 0;
    std::string address;
    in >> uniq >> address >> x >> y;
    if (!in) return "ERROR syntax";
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(uniq));
    const uint32_t ai = db.getAddressIndex(PDB::UniqId(uniq), address.c_str());
    if (ci == 0xFFFFFFFFu || ai == 0xFFFFFFFFu) return "ERROR no parameter";
    JLIB::JResult r = JLIB::kOk;
    if (verb == "get") {
        JVariant value;
        r = db.getVariant(value, ci, ai, x, y, nullptr);
        if (JLIB::isSuccess(r)) return "VALUE " + formatValue(value);
    } else if (verb == "set") {
        std::string text;
        std::getline(in >> std::ws, text);
        JVariant value;
        if (!parseValue(db, ci, ai, text, value)) return "ERROR value";
        r = db.setVariant(ci, ai, x, y, value, kLocalFactor);
        if (JLIB::isSuccess(r)) return "OK";
    } else {
        return "ERROR syntax";
    }
    return errorReply(r);
}

std::string DeviceSimulator::dirSyncStatus(std::istringstream& in)
{
    uint32_t index = 0;
    uint32_t unit = 0;
    in >> index >> unit;
    if (!in || unit >= kUnitCount) return "ERROR syntax";
    ComControl::DirSyncStatus status = ComControl::DIRSYNC_OTHER;
    uint32_t listing = 0;
    uint32_t changes = 0;
    JLIB::JResult r = m_units[unit].getVDirSyncStatus(&status, index);
    if (JLIB::isSuccess(r)) r = m_units[unit].getVDirSyncRequestedFileNum(&listing, &changes, index);
    if (JLIB::isFailure(r)) return errorReply(r);
    return "DIRSYNC " + std::to_string(index) + " " + std::to_string(status) + " " + std::to_string(listing) + " " +
           std::to_string(changes);
}

std::string DeviceSimulator::pdbSyncStatus(std::istringstream& in)
{
    uint32_t port = 0;
    uint32_t unit = 0;
    in >> port >> unit;
    if (!in || unit >= kUnitCount) return "ERROR syntax";
    uint32_t status = 0;
    const JLIB::JResult r = m_units[unit].pdbSyncStatus(port, &status);
    if (JLIB::isFailure(r)) return errorReply(r);
    return "PDBSYNC " + std::to_string(port) + " " + std::to_string(status);
}

JLIB::JResult DeviceSimulator::start(uint16_t port, uint16_t& bound)
{
    bound = 0;
    for (uint32_t i = 0; i < kUnitCount; ++i) {
        const JLIB::JResult r = setUpUnit(i);
        if (JLIB::isFailure(r)) {
            JLIB_LOG("[E] DeviceSimulator::start - unit %u not set up (0x%08X)\n", static_cast<unsigned>(i),
                     static_cast<unsigned>(r));
            return r;
        }
    }
    JLIB_RETURN_IF_FAILED(m_service.initialize(m_units, kUnitCount, *this));
    for (uint32_t attempt = 0; attempt < (port == 0 ? kPickAttempts : 1); ++attempt) {
        const uint16_t candidate = port == 0 ? pickPort() : port;
        if (candidate != 0 && JLIB::isSuccess(m_service.listen("127.0.0.1", candidate))) {
            bound = candidate;
            return JLIB::kOk;
        }
    }
    JLIB_LOG("[E] DeviceSimulator::start - cannot listen on 127.0.0.1 port %u\n", static_cast<unsigned>(port));
    return ComControl::ServerService::kFailed;
}

JLIB::JResult DeviceSimulator::wakeup(uint16_t, VCOM::IVCom&) { return signalWake(); }

JLIB::JResult DeviceSimulator::signalWake()
{
    const char byte = 1;
    // A full pipe already holds a wake-up: nothing is lost.
    if (::write(m_wakeFd, &byte, 1) < 0 && errno != EAGAIN) return JLIB::kFailed;
    return JLIB::kOk;
}

void DeviceSimulator::onWakeup()
{
    if (m_silent) return;  // the socket's events wait; the engine hears nothing
    (void)m_service.runCallback();  // a unit's failure has been logged by the unit
    notifyChanges();                // what one connection wrote goes to the others
    for (uint32_t i = 0; i < kUnitCount; ++i) flush(i);
}

void DeviceSimulator::onTick()
{
    if (m_silent) return;
    (void)m_service.periodicHandle(kTickMs);  // as above
    notifyChanges();
    const uint32_t now = get1msCount();
    for (uint32_t i = 0; i < kUnitCount; ++i) {
        ComControl::ClientUnit& unit = m_units[i];
        if (m_keepAlive && unit.isValidSession() && m_outbox[i].empty() && now - unit.lastSentTime() > kKeepAliveMs) {
            queue(i, "KeepAlive", "");
        }
        flush(i);
    }
}

void DeviceSimulator::disconnected(int32_t unitId)
{
    if (unitId >= 0 && static_cast<uint32_t>(unitId) < kUnitCount) m_outbox[unitId].clear();
}

void DeviceSimulator::queue(uint32_t unit, const char* name, std::string text)
{
    m_outbox[unit].push_back(Outgoing{name, std::move(text)});
}

void DeviceSimulator::flush(uint32_t unit)
{
    std::deque<Outgoing>& outbox = m_outbox[unit];
    while (!outbox.empty() && m_units[unit].isValidSession()) {
        // 0 also when the messenger keeps it until the port has room; a refusal while one
        // waits leaves it queued here for the next pass.
        if (JLIB::isFailure(m_units[unit].sendEvent(0, 0, outbox.front().name.c_str(), outbox.front().text.c_str()))) {
            return;
        }
        outbox.pop_front();
    }
}

uint32_t DeviceSimulator::Executor::execute(uint32_t unit, const char* name, const char* text)
{
    m_pSimulator->onEvent(unit, name, text);
    return 0;
}

void DeviceSimulator::onEvent(uint32_t unit, const std::string& name, const std::string& text)
{
    if (unit >= kUnitCount) return;
    std::printf("EVENT %s %s\n", name.c_str(), text.c_str());
    if (name == "SetClientType") {
        queue(unit, "onSetClientType", setClientTypeReply(text));
    } else if (name == "ApplyConfig") {
        queue(unit, "onApplyConfig", "");
    } else if (name == "AbortSynchronize") {
        queue(unit, "onSyncAborted", "");
    }
}

std::string DeviceSimulator::setClientTypeReply(const std::string& text) const
{
    std::string pin;
    (void)findItem(text, "PIN", pin);  // an event without one gets an empty one back
    char buffer[kMaxText];
    uint32_t pinLength = 0;
    uint32_t hashLength = 0;
    if (JLIB::isFailure(ComControl::evtpEncodeString(buffer, sizeof(buffer), &pinLength, "PIN", pin.c_str()))) {
        pinLength = 4;  // "PIN:" is written first; only a value too long for one event gets here
    }
    buffer[pinLength] = ' ';
    const uint32_t at = pinLength + 1;
    if (JLIB::isFailure(ComControl::evtpEncodeStream(buffer + at, sizeof(buffer) - at, &hashLength, "HASH",
                                                     m_hash.data(), static_cast<uint32_t>(m_hash.size())))) {
        JLIB_LOG("[W] DeviceSimulator - HASH does not fit beside the PIN: sent without it\n");
        return std::string(buffer, pinLength);
    }
    return std::string(buffer, at + hashLength);
}

}  // namespace devsim
