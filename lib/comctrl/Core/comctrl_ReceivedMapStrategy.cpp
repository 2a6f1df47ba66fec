#include "comctrl_ReceivedMapStrategy.h"

#include "FileCache/fcache_VDir.h"

namespace ComControl {

namespace {

bool isZero(const FILECACHE::FileAccessor::DateTime& t)
{
    return t.year == 0 && t.month == 0 && t.day == 0 && t.hour == 0 && t.minute == 0 && t.second == 0;
}

}  // namespace

ReceivedMapStrategy::ReceivedMapStrategy(const FILECACHE::VDir& listing) : m_listing(listing) {}

FILECACHE::FileAccessor::DateTime ReceivedMapStrategy::zeroDateTime()
{
    FILECACHE::FileAccessor::DateTime zero;
    zero.year = 0;
    zero.month = 0;
    zero.day = 0;
    return zero;
}

FILECACHE::FileAccessor::DateTime ReceivedMapStrategy::timeStamp(const char* fileName) const
{
    const std::string path = std::string(m_listing.currentDir()) + "/" + fileName;
    FILECACHE::FileAccessor::DateTime stamp;
    if (JLIB::isFailure(FILECACHE::FileAccessor::dateTime(path.c_str(), FILECACHE::FileAccessor::DATETIME_MODIFIED,
                                                          stamp, true))) {
        return zeroDateTime();
    }
    return stamp;
}

JLIB::JResult ReceivedMapStrategy::append(const char* fileName)
{
    if (!fileName) return 0x80000001u;
    m_stamps[fileName] = timeStamp(fileName);
    return JLIB::kOk;
}

bool ReceivedMapStrategy::isReceivedItem(const char* fileName)
{
    if (!fileName) return false;
    const auto found = m_stamps.find(fileName);
    if (found == m_stamps.end()) return false;
    const FILECACHE::FileAccessor::DateTime now = timeStamp(fileName);
    const bool received = isZero(now) ? isZero(found->second) : found->second >= now;
    if (!received) m_stamps.erase(found);
    return received;
}

JLIB::JResult ReceivedMapStrategy::clear()
{
    m_stamps.clear();
    return JLIB::kOk;
}

}  // namespace ComControl
