#include "editor/OPVCompilerThread.h"

#include <limits>
#include <vector>

#include "TMS/AbstractMessage.h"
#include "common/KavoriProductInfo.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioConfig.h"
#include "dravo/manager/dravo_AudioConfigDB.h"
#include "dravo/manager/dravo_parseAudioConfigJSON.h"
#include "editor/OPVCompilerAPI.h"
#include "fsw/fsw_api.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"

namespace KAVORI {

namespace {

constexpr uint32_t kRequestNameLength = 40;
constexpr uint32_t kStartCompileNameLength = 20;

// The compile databases are written only for whoever looks at them; the compile works on the texts.
constexpr const char* kComponentDBFile = "/ComponentDB.json";
constexpr const char* kConnectionDBFile = "/ConnectionDB.json";
constexpr const char* kDspSystemDBFile = "/DspSystemDB.json";
constexpr const char* kCompileResultFile = "/CompileResult.json";
constexpr const char* kTemporarySuffix = ".tmp";

std::string configFolder() { return KavoriProductInfo::getInstance().dataPath(kDataDirConfig, false); }

// Writes the text whole under a temporary name beside the file and renames it over the file, so
// a reader (the link to a real device sends "CompileResult.json") never finds a cut file and a
// failed write leaves the previous file as it was. 0 or the first failure.
JLIB::JResult replaceFile(const std::string& path, const std::string& text)
{
    if (text.size() > std::numeric_limits<uint32_t>::max()) return kFswTooLarge;
    const std::string temporary = path + kTemporarySuffix;
    T_FSW_HANDLE handle = kFswInvalidHandle;
    JLIB_RETURN_IF_FAILED(fsw_open(&handle, temporary.c_str(), kFswOpenWrite | kFswOpenCreate));
    uint32_t written = 0;
    JLIB::JResult result = fsw_write(text.data(), &written, static_cast<uint32_t>(text.size()), &handle);
    // On the disk before the rename: otherwise a power cut could leave the new name on no data.
    if (JLIB::isSuccess(result)) result = fsw_flush(&handle);
    if (JLIB::isSuccess(result)) result = fsw_fsync(&handle);
    const JLIB::JResult closed = fsw_close(&handle);
    if (JLIB::isSuccess(result)) result = closed;
    if (JLIB::isSuccess(result)) result = fsw_rename(temporary.c_str(), path.c_str());
    if (JLIB::isFailure(result)) (void)fsw_removeFile(temporary.c_str());  // may not exist; nothing to undo
    return result;
}

bool isRequest(const TMS::AbstractMessage& message, const char* name, uint32_t maxLength)
{
    // The known name on the left decides: only a String of the same length and bytes equals it.
    return JVariant(name, maxLength) == message.data("CommandName");
}

// An answer is a user message of id 0 to the requester's thread; whether it arrives is the
// requester's affair (a thread gone or busy for all retries misses it).
template <typename Value>
void answer(const char* to, const char* commandName, Value result, const uint32_t* uniqId = nullptr)
{
    TMS::AbstractMessage message;
    if (JLIB::isFailure(message.initialize(TMS::kMessageUser, 0))) return;
    if (JLIB::isFailure(message.addData("CommandName", commandName))) return;
    if (uniqId && JLIB::isFailure(message.addData("UniqId", *uniqId))) return;
    if (JLIB::isFailure(message.addData("Result", result))) return;
    (void)message.sendWithWaiting(to);  // see above
}

}  // namespace

OPVCompilerThread::OPVCompilerThread() : KavoriAppThread(1) {}

OPVCompilerThread::~OPVCompilerThread() = default;

uint32_t OPVCompilerThread::onCompileProgress(bool& cancel)
{
    cancel = OPVCompilerAPI::isCompileCancelRequest();
    return JLIB::kOk;
}

JLIB::JResult OPVCompilerThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    if (message.messageType() != TMS::kMessageUser || message.messageId() != 0) return JLIB::kOk;
    struct Handler {
        const char* name;
        uint32_t maxLength;
        void (OPVCompilerThread::*serve)(const TMS::AbstractMessage&);
    };
    static const Handler kHandlers[] = {
        {"getTotalProcessingResourceCapacity", kRequestNameLength, &OPVCompilerThread::serveTotalCapacity},
        {"getTotalProcessingResourceUsage", kRequestNameLength, &OPVCompilerThread::serveTotalUsage},
        {"getProcessingResourceUsage", kRequestNameLength, &OPVCompilerThread::serveUsage},
        {"startCompile", kStartCompileNameLength, &OPVCompilerThread::serveStartCompile},
    };
    for (const Handler& handler : kHandlers) {
        if (!isRequest(message, handler.name, handler.maxLength)) continue;
        (this->*handler.serve)(message);
        break;
    }
    return JLIB::kOk;
}

void OPVCompilerThread::serveTotalCapacity(const TMS::AbstractMessage& request)
{
    answer(request.fromWhere(), "Re:getTotalProcessingResourceCapacity",
           OPVCompilerAPI::getTotalProcessingResourceCapacity());
}

void OPVCompilerThread::serveTotalUsage(const TMS::AbstractMessage& request)
{
    answer(request.fromWhere(), "Re:getTotalProcessingResourceUsage",
           OPVCompilerAPI::getTotalProcessingResourceUsage());
}

void OPVCompilerThread::serveUsage(const TMS::AbstractMessage& request)
{
    const uint32_t uniqId = request.data("UniqId").toUInt32();  // 0 when absent or not an integer
    answer(request.fromWhere(), "Re:getProcessingResourceUsage", OPVCompilerAPI::getProcessingResourceUsage(uniqId),
           &uniqId);
}

void OPVCompilerThread::serveStartCompile(const TMS::AbstractMessage& request)
{
    // A copy: the requester's name must stay readable for the answer after the compile.
    const std::string requester = request.fromWhere() ? request.fromWhere() : "";
    answer(requester.c_str(), "Re:startCompile", int32_t(0));
    const JLIB::JResult code = compileAndStore();
    answer(requester.c_str(), "Notify:compileResult", uint32_t(code));
}

JLIB::JResult OPVCompilerThread::buildDatabaseTexts(std::string& componentDB, std::string& connectionDB,
                                                    std::string& dspSystemDB)
{
    bool printed[3] = {false, false, false};
    componentDB = OPVCompilerAPI::getComponentDBJsonString(&printed[0]);
    connectionDB = OPVCompilerAPI::getConnectionDBJsonString(&printed[1]);
    dspSystemDB = OPVCompilerAPI::getDspSystemDBJsonString(&printed[2]);
    return printed[0] && printed[1] && printed[2] ? JLIB::kOk : JLIB::kFailed;
}

JLIB::JResult OPVCompilerThread::compileAndStore()
{
    std::string componentDB, connectionDB, dspSystemDB;
    if (JLIB::isFailure(buildDatabaseTexts(componentDB, connectionDB, dspSystemDB))) {
        // Nothing is compiled and no file is touched: the stored files and the configuration in
        // force stay those of the last compile.
        (void)outputLog("[E] CompilerThread - the compile databases cannot be built.\n");
        return kNotStored;
    }

    const std::string folder = configFolder();
    // The compile works on the texts: a database file that cannot be stored changes nothing.
    (void)fsw_makeDir(folder.c_str());
    (void)replaceFile(folder + kComponentDBFile, componentDB);
    (void)replaceFile(folder + kConnectionDBFile, connectionDB);
    (void)replaceFile(folder + kDspSystemDBFile, dspSystemDB);

    (void)OPVCompilerAPI::clearCompileCancelRequest();  // always 0
    std::string result;
    JLIB::JResult code = m_compiler.compile(componentDB, connectionDB, dspSystemDB, this, result);
    (void)outputLog("[i] CompilerThread - compile result = 0x%08x\n", code);

    const std::string resultFolder = configFolder();
    (void)fsw_makeDir(resultFolder.c_str());  // a folder that cannot be made fails the write below
    if (JLIB::isFailure(replaceFile(resultFolder + kCompileResultFile, result))) code = kNotStored;
    if (JLIB::isFailure(code)) return code;

    const DRAVO::AudioConfig config = DRAVO::parseAudioConfigJSON(result);
    // Fails only before the device-control thread has set the store up, which starts before us.
    (void)DRAVO::AudioConfigDB::singleton().setAudioConfig(config);
    DRAVO::AudioComponentCollection& components = *DRAVO::AudioComponentCollection::singleton();
    JLIB_ASSERT(JLIB::isSuccess(components.setActualConnections(config.connections)));
    return code;
}

}  // namespace KAVORI
