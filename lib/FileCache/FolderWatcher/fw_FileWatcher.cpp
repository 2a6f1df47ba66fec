#include "fw_FileWatcher.h"

#include "fw_FileWatcherLinux.h"

namespace FW {

FileWatcher::FileWatcher() : m_pImpl(new FileWatcherLinux) {}

FileWatcher::~FileWatcher() = default;

WatchID FileWatcher::addWatch(const std::string& folder, FileWatchListener* listener)
{
    return m_pImpl->addWatch(folder, listener);
}

void FileWatcher::removeWatch(const std::string& folder) { m_pImpl->removeWatch(folder); }

void FileWatcher::removeWatch(WatchID watchId) { m_pImpl->removeWatch(watchId); }

void FileWatcher::update() { m_pImpl->update(); }

// The constructor makes the only implementation there is.
void FileWatcher::serviceEvents() { static_cast<FileWatcherLinux*>(m_pImpl.get())->serviceEvents(); }

}  // namespace FW
