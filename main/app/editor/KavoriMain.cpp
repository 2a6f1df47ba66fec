#include "editor/KavoriMain.h"

#include <string>

#include "TMS/AbstractMessage.h"
#include "common/KavoriProductInfo.h"
#include "common/KavoriResourcePath.h"
#include "common/Lpc/LpcRestart.h"
#include "dbgc/dbgc_ProductInfo.h"
#include "editor/VDStartupOption.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"
#include "vsock/vsock.h"

namespace KAVORI {

namespace {

constexpr const char* kRootName = "System";
constexpr uint32_t kRootPollMs = 500;
constexpr uint32_t kRestartWithInitialize = 1;

// The device identifier names one folder inside the work folder: nothing that leads elsewhere,
// since the user folder is removed whole on a restart with initialisation.
bool namesOneFolder(const std::string& uid)
{
    return uid != "." && uid != ".." && uid.find('/') == std::string::npos && uid.find('\\') == std::string::npos;
}

void sendClose()
{
    TMS::AbstractMessage message;
    JLIB::JResult result = message.initialize(TMS::kMessageUser, 0);
    if (JLIB::isSuccess(result)) result = message.addData("CommandName", "Close");
    if (JLIB::isSuccess(result)) result = message.sendWithWaiting(kRootName);
    if (JLIB::isFailure(result)) {
        JLIB_LOG("[E] mainInternal - Cannot send \"Close\" to \"%s\" (0x%08X)!\n", kRootName,
                 static_cast<unsigned>(result));
    }
}

// What the debug console's banner shows of this product.
class BannerProductInfo final : public DBGC::IProductInfoSource {
public:
    const char* productName(int32_t mode) const override
    {
        // The banner is written by one console at a time; the text lives until the next call.
        thread_local std::string name;
        name = KavoriProductInfo::getInstance().productName(static_cast<uint32_t>(mode));
        return name.c_str();
    }
    JLIB::JResult versionString(uint32_t kind, char* text, uint32_t size) const override
    {
        if (!text || size == 0) return JLIB::kFailed;
        std::string version;
        const JLIB::JResult result = KavoriProductInfo::getInstance().versionString(kind, version);
        const size_t n = version.size() < size - 1 ? version.size() : size - 1;
        version.copy(text, n);
        text[n] = '\0';
        return result;
    }
};

BannerProductInfo gBannerProductInfo;

// Takes a root that failed to come up apart again.
void releaseRoot(KavoriClientSystemThread& root)
{
    if (root.getTaskId() == TMS::AbstractThread::kNoId) return;  // no task was made: nothing to give back
    if (root.getStatus() == TMS::kStatusUninitialized) {
        // Set up up to a task that never ran: there is no loop for a staged release.
        (void)root.TMS::AbstractThread::release();  // takes the parts apart without asking the loop
        return;
    }
    (void)root.release();  // failures are logged by the framework
}

}  // namespace

int mainInternal(int argc, char** argv) { return runProcess<KavoriClientSystemThread>(argc, argv); }

namespace entry {

void prepareProcess(int argc, char** argv)
{
    (void)VDevice::VDStartupOption::getInstance().set(argc, argv);  // a malformed option keeps those before it
    (void)JLIB::SetHeapDebugOutput(0, false);                         // heap 0 always has its manager
}

void prepareServices()
{
    const VDevice::VDStartupOption& options = VDevice::VDStartupOption::getInstance();
    KavoriProductInfo& info = KavoriProductInfo::getInstance();
    (void)info.initialize(options.processPath());  // an unreadable file is logged and leaves every default

    const JVariant work = options.workDirPath();
    const JVariant uid = options.deviceUID();
    if (work.toString() && uid.toString()) {
        // The definition files ship beside the program, whatever the working folder.
        info.setSystemDataPath(programFolder());
        const std::string device = uid.toString();
        if (namesOneFolder(device)) {
            info.setUserFolder(std::string(work.toString()) + "/" + device);
        } else {
            JLIB_LOG("[E] mainInternal - The device identifier \"%s\" names no folder inside \"%s\": the user folder "
                     "stays \"%s\".\n",
                     device.c_str(), work.toString(), info.dataPath(kDataDirUser, false).c_str());
        }
    }
    DBGC::setProductInfoSource(&gBannerProductInfo);
    (void)vsock_initModule();  // logs its own failure; the threads then report what they cannot open
}

JLIB::JResult runRoot(KavoriClientSystemThread& root, KavoriProcessSignals& signals, uint32_t& endStatus)
{
    endStatus = 0;
    const TMS::ArgumentMap& none = TMS::getNullDataMap();
    if (JLIB::isFailure(root.initialize(kRootName, 0, 0, 20000, 20000, 100, 100, none))) {
        JLIB_LOG("[E] mainInternal - Cannot initialize the root thread \"%s\"!\n", kRootName);
        releaseRoot(root);
        return JLIB::kFailed;
    }
    if (JLIB::isFailure(root.start(none))) {
        JLIB_LOG("[E] mainInternal - Cannot start the root thread \"%s\"!\n", kRootName);
        releaseRoot(root);
        return JLIB::kFailed;
    }
    // The initialisation ran before the root could run.
    if (JLIB::isFailure(root.initializationResult())) {
        JLIB_LOG("[E] mainInternal - The root thread \"%s\" cannot declare the system parameters!\n", kRootName);
        releaseRoot(root);
        return JLIB::kFailed;
    }
    bool closing = false;
    while (root.getStatus() != TMS::kStatusDestroy && root.getTaskId() != TMS::AbstractThread::kNoId) {
        const int signal = signals.wait(kRootPollMs);
        if (signal == 0 || closing) continue;
        closing = true;
        JLIB_LOG("[i] mainInternal - Signal %d: closing \"%s\".\n", signal, kRootName);
        sendClose();
    }
    endStatus = root.waitForRelease();
    return JLIB::kOk;
}

void endServices(uint32_t endStatus)
{
    (void)vsock_endModule();  // not running: nothing to end
    DBGC::setProductInfoSource(nullptr);
    (void)KavoriProductInfo::getInstance().finalize(endStatus);  // always 0
}

int endProcess(int argc, char** argv, uint32_t endStatus, JLIB::JResult ran, KavoriProcessSignals& signals)
{
    if (endStatus == kRestartWithInitialize) {
        signals.restore();
        (void)LPC::restart(argc > 0 && argv ? argv[0] : nullptr);  // no program path: nothing to restart
    }
    return JLIB::isFailure(ran) ? 1 : 0;
}

}  // namespace entry

}  // namespace KAVORI
