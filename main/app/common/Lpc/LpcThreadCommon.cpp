#include "common/Lpc/LpcThreadCommon.h"

#include <new>
#include <optional>

#include "TMS/TMSMutex.h"
#include "jlib/jlib_number.h"
#include "jlib/jlib_string.h"

namespace LPC {

namespace {

constexpr const char* kSetting = "Setting";

// Holds the lock for a scope once it exists.
class Hold {
public:
    explicit Hold(const std::unique_ptr<TMS::TMSMutex>& lock)
    {
        if (lock) m_hold.emplace(*lock);
    }

private:
    std::optional<TMS::TMSMutexAutoReleaser> m_hold;
};

// Decimal, an optional sign first: no digits give 0, a minus negates in unsigned arithmetic,
// an overflow gives 0xFFFFFFFF.
uint32_t toUnsigned(const char* text)
{
    uint32_t value = 0;
    const JLIB::JResult parsed = jlib_strntoul(&value, text, nullptr, 10, jlib_strlen(text, 0xFFFFFFFFu));
    if (JLIB::isFailure(parsed)) return parsed == JLIB_STR_OVERFLOW ? 0xFFFFFFFFu : 0;
    return value;
}

bool isOn(const char* text)
{
    const std::string value(text ? text : "");
    return value == "1" || value == "on";
}

}  // namespace

LpcThreadCommon& LpcThreadCommon::getInstance()
{
    static LpcThreadCommon instance;
    return instance;
}

LpcThreadCommon::LpcThreadCommon()
    : m_oscTxPort(0),
      m_oscRxPort(0),
      m_syncFromPlugin(false),
      m_debugOutLink(false),
      m_emitAllJOSCNotify(false),
      m_obaNum(0),
      m_JOSCWritable(false)
{
}

LpcThreadCommon::~LpcThreadCommon() = default;

JLIB::JResult LpcThreadCommon::initialize()
{
    if (m_pLock) return JLIB::kOk;
    m_pLock.reset(new (std::nothrow) TMS::TMSMutex("LpcThreadCommon"));
    if (!m_pLock) return kFailed;
    load();
    return JLIB::kOk;
}

JLIB::JResult LpcThreadCommon::finalize()
{
    m_pLock.reset();
    return JLIB::kOk;
}

void LpcThreadCommon::load()
{
    Hold hold(m_pLock);
    // The working folder's file as it is: a missing one is not made here.
    JLIB::JResult result = m_settings.initialize(nullptr, FILECACHE::VDirTreeItem::ITEM_FILE, "./SystemSetting.ini", false);
    if (JLIB::isSuccess(result)) result = m_settings.readAll();
    // Without a readable file every key takes its default, so the OSC server still finds its
    // port and the objects their count.
    if (JLIB::isFailure(result)) (void)m_settings.clear();  // always 0

    m_murServerAddress = m_settings.item(kSetting, "MURServerAddress", "localhost");
    m_etherInterfaceName = m_settings.item(kSetting, "EtherPort", "eth0");
    m_oscTxPort = toUnsigned(m_settings.item(kSetting, "OSCTxPort", "0"));
    m_oscRxPort = toUnsigned(m_settings.item(kSetting, "OSCRxPort", "49900"));
    m_dataPath = m_settings.item(kSetting, "DataPath", ".");
    m_syncFromPlugin = isOn(m_settings.item(kSetting, "SyncFromPlugin", "0"));
    m_debugOutLink = isOn(m_settings.item(kSetting, "DebugOutLink", "0"));
    m_emitAllJOSCNotify = isOn(m_settings.item(kSetting, "EmitAllJOSCNotify", "0"));
    m_obaNum = toUnsigned(m_settings.item(kSetting, "OBANum", "128"));
    m_JOSCWritable = isOn(m_settings.item(kSetting, "JOSCWritable", "0"));
}

template <typename T>
T LpcThreadCommon::locked(const T& member) const
{
    Hold hold(m_pLock);
    return member;
}

std::string LpcThreadCommon::murServerAddress() const { return locked(m_murServerAddress); }
std::string LpcThreadCommon::etherInterfaceName() const { return locked(m_etherInterfaceName); }
uint32_t LpcThreadCommon::oscTxPort() const { return locked(m_oscTxPort); }
uint32_t LpcThreadCommon::oscRxPort() const { return locked(m_oscRxPort); }
std::string LpcThreadCommon::dataPath() const { return locked(m_dataPath); }
bool LpcThreadCommon::IsSyncFromPlugin() const { return locked(m_syncFromPlugin); }
bool LpcThreadCommon::debugOutLink() const { return locked(m_debugOutLink); }
bool LpcThreadCommon::emitAllJOSCNotify() const { return locked(m_emitAllJOSCNotify); }
uint32_t LpcThreadCommon::obaNum() const { return locked(m_obaNum); }
bool LpcThreadCommon::JOSCWritable() const { return locked(m_JOSCWritable); }

int LpcThreadCommon::presetNoToSnapshotIndex(int n)
{
    // The sum wraps in 32 bits, as the rack's preset number may be anything.
    const int v = static_cast<int>(static_cast<uint32_t>(n) + 1u);
    if (v <= 0) return 1;
    return v > 50 ? 50 : v;
}

int LpcThreadCommon::snapshotIndexToPresetNo(int i) { return i > 0 ? i - 1 : 0; }

JLIB::JResult LpcThreadCommon::snapshotIndexToPresetNo(int i, int* presetNo)
{
    if (!presetNo) return kFailed;
    if (i > 0) {
        *presetNo = i - 1;
        return JLIB::kOk;
    }
    *presetNo = 0;
    return kFailed;
}

}  // namespace LPC
