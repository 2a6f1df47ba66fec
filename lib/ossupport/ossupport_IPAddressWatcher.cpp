#include "ossupport/ossupport_IPAddressWatcher.h"

namespace OSSUPPORT {

IPAddressWatcher::~IPAddressWatcher() = default;

JLIB::JResult IPAddressWatcher::setObserver(IIPAddressWatcherObserver* observer)
{
    (void)observer;
    (void)m_pObserver;
    return JLIB::kOk;
}

JLIB::JResult IPAddressWatcher::start() { return JLIB::kOk; }

JLIB::JResult IPAddressWatcher::stop() { return JLIB::kOk; }

bool IPAddressWatcher::isLinkUp(const char* interfaceName) const
{
    (void)interfaceName;
    return true;
}

}  // namespace OSSUPPORT
