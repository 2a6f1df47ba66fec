#include "common/KavoriDiagThread.h"

#include <new>
#include <string>

#include "DiagFramework/diagfrwk_DiagLogger.h"
#include "MacBarServer/macbar_ServerThread.h"
#include "TMS/AbstractMessage.h"
#include "common/KavoriProductInfo.h"
#include "ossupport/ossupport_Network.h"

namespace KAVORI {

namespace {

constexpr uint32_t kQueueCapacity = 1;
constexpr uint32_t kProductRunning = 1;
constexpr uint32_t kWriterRunMode = 2;
constexpr uint32_t kRequestId = 0x10000000;
constexpr uint32_t kOutputId = 0x10000001;
constexpr uint32_t kReplyId = 0x10000002;

const char* textOf(const TMS::AbstractMessage& message, const char* key)
{
    const JVariant& value = message.data(key);
    return value.getType() == JVariant::kTypeString ? value.toString() : "";
}

uint32_t readUnsigned(const TMS::AbstractThread& thread, const char* name)
{
    JVariant value;
    return JLIB::isFailure(thread.getSysParam(value, name, 0)) ? 0 : value.toUInt32();
}

}  // namespace

KavoriDiagThread::KavoriDiagThread(uint16_t diagPort, uint16_t macBarPort)
    : TMS::AbstractThread(kQueueCapacity),
      m_server(diagPort),
      m_previousRunMode(0xFFFFFFFF),
      m_macBarPort(macBarPort)
{
    (void)DiagFramework::DiagLogger::getInstance().initialize();  // without its lock the log stays empty
}

KavoriDiagThread::~KavoriDiagThread()
{
    stopWriter();
    (void)DiagFramework::DiagLogger::getInstance().finalize();  // always 0
}

JLIB::JResult KavoriDiagThread::onDiagConsoleWakeup(DiagFramework::DiagConsole&) { return sendEvent(kConsoleEvent); }

JLIB::JResult KavoriDiagThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    const JLIB::JResult base = TMS::AbstractThread::onInitialize(arguments);
    const JLIB::JResult console = m_console.initialize(this, m_server);
    if (JLIB::isFailure(base) || JLIB::isFailure(console)) {
        (void)outputLog("[E] DiagThread::initialize - Cannot initialize 'DiagConsole for TCP Server'!\n");
    }
    return base | console;
}

void KavoriDiagThread::startWriter()
{
    if (m_pWriter) return;
    std::unique_ptr<MACBAR::MacBarServerThread> writer(new (std::nothrow) MACBAR::MacBarServerThread(m_macBarPort));
    if (!writer) return;  // tried again after the run mode has left 2
    if (JLIB::isFailure(writer->initialize("MacBarServer", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap())) ||
        JLIB::isFailure(writer->start(TMS::getNullDataMap()))) {
        (void)outputLog("[E] KavoriDiagThread::onChangeSystemInfo - Cannot start 'MacBarServer'!\n");
    }
    // Kept even when it did not start: leaving run mode 2 deletes it like a running one.
    m_pWriter = std::move(writer);
}

void KavoriDiagThread::stopWriter()
{
    if (!m_pWriter) return;
    (void)m_pWriter->release();  // a thread that never ran answers at once
    m_pWriter.reset();
}

JLIB::JResult KavoriDiagThread::onChangeSystemInfo()
{
    const JLIB::JResult result = TMS::AbstractThread::onChangeSystemInfo();
    // "RunMode" keeps its mark when "ProductState" changed with it; its value is read all the same.
    const bool changed = isSysParamChanged("ProductState", 0, true) || isSysParamChanged("RunMode", 0, true);
    if (!changed) return result;
    const uint32_t productState = readUnsigned(*this, "ProductState");
    const uint32_t runMode = readUnsigned(*this, "RunMode");
    if (productState != kProductRunning) return result;
    if (runMode == kWriterRunMode && m_previousRunMode != kWriterRunMode) {
        startWriter();
    } else if (runMode != kWriterRunMode && m_previousRunMode == kWriterRunMode) {
        stopWriter();
        const std::string etherPort = KavoriProductInfo::getInstance().etherPort();
        (void)OSSUPPORT::RestoreIPConfig(etherPort.c_str());  // not done on this platform
    }
    m_previousRunMode = runMode;
    return result;
}

JLIB::JResult KavoriDiagThread::onReceiveEvent(uint32_t eventNumber)
{
    if (eventNumber == kConsoleEvent) (void)m_console.run();  // a failed transport shows on the next wake-up
    return JLIB::kOk;
}

JLIB::JResult KavoriDiagThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    switch (message.messageId()) {
    case kRequestId:
        (void)m_console.onReceiveRequest(textOf(message, "CommandName"), message.data("SequenceNo").toUInt32(),
                                         message.fromWhere());
        break;
    case kOutputId:
        (void)m_console.onReceiveOutputMessage(textOf(message, "Message"));
        break;
    case kReplyId:
        (void)m_console.onReceiveReply(textOf(message, "CommandName"), message.data("SequenceNo").toUInt32(),
                                       static_cast<DiagFramework::DiagResult>(message.data("Result").toUInt32()),
                                       textOf(message, "Message"));
        break;
    case 0:
        if (std::string(textOf(message, "CommandName")) == "SaveDiagLog") {
            if (JLIB::isFailure(DiagFramework::DiagLogger::getInstance().exportToFile(textOf(message, "Path")))) {
                (void)outputLog("[E] KavoriDiagThread::onReceiveMessage - Cannot save the diagnostics log to '%s'!\n",
                                textOf(message, "Path"));
            }
        }
        break;
    default:
        break;
    }
    return JLIB::kOk;
}

}  // namespace KAVORI
