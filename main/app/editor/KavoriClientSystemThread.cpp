#include "editor/KavoriClientSystemThread.h"

#include <cstring>

#include "TMS/AbstractMessage.h"
#include "common/KavoriSystemInfo.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "editor/VDStartupOption.h"

namespace KAVORI {

namespace {

// Sizes every child is set up with.
constexpr int16_t kChildPriority = 0;
constexpr uint32_t kChildStackSize = 20000;
constexpr uint32_t kChildHeapSize = 20000;
constexpr uint32_t kChildLogLines = 100;
constexpr uint32_t kChildTimerPeriodMs = 100;

// The parameters the readiness rule watches, tested in this order; the first one marked changed
// ends the test (its mark is cleared, the others stay for the next change).
constexpr const char* kProductState = "ProductState";
constexpr const char* kReadinessParams[] = {kProductState, "PDBState", "VDPState", "DRAVOmState"};
constexpr uint32_t kPDBReady = 1;
constexpr uint32_t kVDPReady = 1;
// The device-control thread's memories are restored: before that the editor would read values
// the restore then replaces without telling anyone.
constexpr uint32_t kDRAVOmRestored = 3;

uint32_t readUnsigned(const TMS::AbstractThread& thread, const char* name)
{
    JVariant value;
    if (JLIB::isFailure(thread.getSysParam(value, name, 0))) return 0;
    return value.toUInt32();
}

}  // namespace

// The order of initialisation and registration: within a stage the children start in this order
// and are released in its reverse.
const KavoriClientSystemThread::ChildPlace KavoriClientSystemThread::kChildPlaces[kChildNum] = {
    {"DebugConsole", 1}, {"DeviceControl", 2},      {"VDProtocol", 3}, {"Sync", 4},
    {"Compiler", 5},     {"DeviceControlForUZ", 2}, {"OSCServer", 4},  {"MURRemote", 5},
};

// The children are members constructed in this order, which differs from the order above:
// "DebugConsole", "DeviceControl", "Sync", "VDProtocol", "Compiler", "MURRemote", "OSCServer",
// "DeviceControlForUZ". Each one, once built, is declared as a member in that order and placed
// here with placeChild.
KavoriClientSystemThread::KavoriClientSystemThread() : TMS::SystemThread(1), m_children{}, m_initResult(JLIB::kOk),
      m_debugConsole(KavoriDebugConsoleThread::portOfOption(VDevice::VDStartupOption::getInstance().argumentValue("dbgport")))
{
    (void)placeChild("DebugConsole", m_debugConsole);  // as below
    (void)placeChild("DeviceControl", m_deviceControl);  // a name of the table: always placed
    (void)placeChild("Sync", m_sync);                     // as above
    (void)placeChild("VDProtocol", m_vdProtocol);         // as above
    (void)placeChild("Compiler", m_compiler);             // as above
    (void)placeChild("MURRemote", m_murRemote);           // as above
    (void)placeChild("OSCServer", m_oscServer);           // as above
    (void)placeChild("DeviceControlForUZ", m_deviceControlForUZ);  // as above
}

KavoriClientSystemThread::~KavoriClientSystemThread()
{
    (void)release();  // an ended tree answers 0 at once; a failure has been logged by the base
}

JLIB::JResult KavoriClientSystemThread::placeChild(const char* name, TMS::AbstractThread& thread)
{
    if (!name) return JLIB::kFailed;
    for (uint32_t i = 0; i < kChildNum; ++i) {
        if (std::strcmp(kChildPlaces[i].name, name) != 0) continue;
        m_children[i] = &thread;
        return JLIB::kOk;
    }
    return JLIB::kFailed;
}

JLIB::JResult KavoriClientSystemThread::onChangePDBStatus(uint32_t) { return JLIB::kOk; }

JLIB::JResult KavoriClientSystemThread::declareSystemInfo() { return registSystemInfo(*this); }

JLIB::JResult KavoriClientSystemThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    if (JLIB::isFailure(declareSystemInfo())) {
        (void)outputLog("[E] KavoriClientSystemThread::onInitialize - Cannot declare the system parameters!\n");
        m_initResult.store(JLIB::kFailed);
        return JLIB::kFailed;
    }
    (void)LPC::LpcThreadCommon::getInstance().initialize();  // without its lock the settings keep their defaults

    for (uint32_t i = 0; i < kChildNum; ++i) {
        if (!m_children[i]) {
            (void)outputLog("[W] KavoriClientSystemThread::onInitialize - '%s' is not in this build, starting without it.\n",
                            kChildPlaces[i].name);
            continue;
        }
        // A child that cannot be set up logs why; it is registered all the same and its place
        // in the staged start simply stays empty.
        (void)m_children[i]->initialize(kChildPlaces[i].name, kChildPriority, kChildPlaces[i].startOrder,
                                        kChildStackSize, kChildHeapSize, kChildLogLines, kChildTimerPeriodMs,
                                        TMS::getNullDataMap());
    }
    for (TMS::AbstractThread* child : m_children) {
        if (child) (void)addThread(*child);  // refused only for a child that could not be set up
    }
    const JLIB::JResult result = TMS::SystemThread::onInitialize(arguments);
    m_initResult.store(result);
    return result;
}

JLIB::JResult KavoriClientSystemThread::onChangeSystemInfo()
{
    const JLIB::JResult result = TMS::SystemThread::onChangeSystemInfo();
    bool changed = false;
    for (const char* name : kReadinessParams) {
        if (isSysParamChanged(name, 0, true)) {
            changed = true;
            break;
        }
    }
    if (!changed) return result;
    const bool ready = readUnsigned(*this, kProductState) == 0 && readUnsigned(*this, "PDBState") == kPDBReady &&
                       readUnsigned(*this, "VDPState") == kVDPReady &&
                       readUnsigned(*this, "DRAVOmState") == kDRAVOmRestored;
    if (!ready) return result;
    if (JLIB::isFailure(setSysParam(kProductState, 0, JVariant(1u))) || JLIB::isFailure(flushSysParam())) {
        (void)outputLog("[E] KavoriClientSystemThread::onChangeSystemInfo - Cannot publish \"%s\"!\n", kProductState);
    }
    return result;
}

JLIB::JResult KavoriClientSystemThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = TMS::SystemThread::onReceiveMessage(message);
    const JVariant close("Close", 5);
    // The message's value on the left: only a text "Close" matches, never a number.
    if (message.messageId() == 0 && message.data("CommandName") == close) {
        (void)release();  // from the root's own task: starts the staged release and returns at once
    }
    return result;
}

}  // namespace KAVORI
