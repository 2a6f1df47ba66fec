#include "dravo_AudioConfigDB.h"

#include <new>

#include "jlib/jlib_cfg.h"

namespace DRAVO {

AudioConfigDB& AudioConfigDB::singleton()
{
    static AudioConfigDB s_instance;
    return s_instance;
}

AudioConfigDB::~AudioConfigDB() { (void)finalize(); }  // always 0

JLIB::JResult AudioConfigDB::initialize()
{
    if (m_pLock) return JLIB::kFailed;
    m_pLock.reset(new (std::nothrow) DRAVOMutex("AudioCfg"));
    if (!m_pLock) return JLIB::kFailed;
    JLIB_LOG("[i] AudioConfigDB::initialize - AUDIOCONFIG_DB() initialized.\n");
    return JLIB::kOk;
}

JLIB::JResult AudioConfigDB::finalize()
{
    if (!m_pLock) return JLIB::kOk;
    m_pLock.reset();
    JLIB_LOG("[i] AudioConfigDB::finalize - AUDIOCONFIG_DB() finalized.\n");
    return JLIB::kOk;
}

JLIB::JResult AudioConfigDB::setAudioConfig(const AudioConfig& config)
{
    if (!m_pLock || !m_pLock->isValid()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    m_config = config;
    return JLIB::kOk;
}

JLIB::JResult AudioConfigDB::getAudioConfig(AudioConfig& config) const
{
    if (!m_pLock || !m_pLock->isValid()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    config = m_config;
    return JLIB::kOk;
}

}  // namespace DRAVO
