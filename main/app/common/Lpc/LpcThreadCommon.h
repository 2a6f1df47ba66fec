#pragma once
// Settings of the device logic and of the parts built on it (rack bridge, OSC surface): ten keys
// of section [Setting] of "SystemSetting.ini" in the working folder, read once by the root
// thread before any child exists and handed out under the lock "LpcThreadCommon" to any task.
// Also the conversions between rack preset numbers and scene indexes (no lock).
#include <cstdint>
#include <memory>
#include <string>

#include "FileCache/fcache_IniFile.h"
#include "jlib/jlib_result.h"

namespace TMS {
class TMSMutex;
}

namespace LPC {

class LpcThreadCommon {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    static LpcThreadCommon& getInstance();

    LpcThreadCommon();
    ~LpcThreadCommon();
    LpcThreadCommon(const LpcThreadCommon&) = delete;
    LpcThreadCommon& operator=(const LpcThreadCommon&) = delete;

    // Once: creates the lock (0x80000000 when it cannot) and reads the file; a missing or
    // unreadable file gives every key its default. 0, also when the lock exists already
    // (nothing is read again).
    [[nodiscard]] JLIB::JResult initialize();
    // Deletes the lock; 0.
    JLIB::JResult finalize();

    // Any task; copies.
    std::string murServerAddress() const;
    std::string etherInterfaceName() const;
    uint32_t oscTxPort() const;
    uint32_t oscRxPort() const;
    std::string dataPath() const;
    bool IsSyncFromPlugin() const;
    bool debugOutLink() const;
    bool emitAllJOSCNotify() const;
    uint32_t obaNum() const;
    bool JOSCWritable() const;

    // n + 1 held to 1..50 (a sum that wraps below 1 gives 1).
    static int presetNoToSnapshotIndex(int n);
    // i - 1 for i above 0, else 0.
    static int snapshotIndexToPresetNo(int i);
    // 0x80000000 for a null output; i above 0: i - 1 and 0; otherwise 0 and 0x80000000.
    [[nodiscard]] static JLIB::JResult snapshotIndexToPresetNo(int i, int* presetNo);

private:
    template <typename T>
    T locked(const T& member) const;
    void load();

    std::unique_ptr<TMS::TMSMutex> m_pLock;  // null until initialize
    FILECACHE::IniFile m_settings;
    std::string m_murServerAddress;
    std::string m_etherInterfaceName;
    uint32_t m_oscTxPort;
    uint32_t m_oscRxPort;
    std::string m_dataPath;
    bool m_syncFromPlugin;
    bool m_debugOutLink;
    bool m_emitAllJOSCNotify;
    uint32_t m_obaNum;
    bool m_JOSCWritable;
};

}  // namespace LPC
