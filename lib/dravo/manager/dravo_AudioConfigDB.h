#pragma once
// The process-wide store of the current compiled audio configuration, guarded by the lock
// "AudioCfg" (taken after "CompoCol" where both are held; it takes no other lock). set and get
// from any thread; initialize and finalize from the device-control thread, while no other
// thread uses the store.
#include <memory>

#include "dravo_AudioConfig.h"
#include "dravo_DRAVOMutex.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

class AudioConfigDB {
public:
    // The one store, built on first use and destroyed at process exit.
    static AudioConfigDB& singleton();

    virtual ~AudioConfigDB();
    AudioConfigDB(const AudioConfigDB&) = delete;
    AudioConfigDB& operator=(const AudioConfigDB&) = delete;

    // Creates the lock. 0x80000000 when there is one already or no memory for it.
    [[nodiscard]] JLIB::JResult initialize();
    // Deletes the lock; the stored configuration stays. 0, also without a lock.
    JLIB::JResult finalize();
    // The stored configuration becomes a copy of config; 0x80000000 without a valid lock.
    [[nodiscard]] JLIB::JResult setAudioConfig(const AudioConfig& config);
    // Copies the stored configuration into config; 0x80000000 (config untouched) without a valid lock.
    [[nodiscard]] JLIB::JResult getAudioConfig(AudioConfig& config) const;

private:
    AudioConfigDB() = default;

    AudioConfig m_config;
    std::unique_ptr<DRAVOMutex> m_pLock;
};

}  // namespace DRAVO
