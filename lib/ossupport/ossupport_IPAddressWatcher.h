#pragma once
// Watches interfaces for address changes. On this platform it watches nothing: every call
// succeeds and every link counts as up. Any task may call.
#include "jlib/jlib_result.h"

namespace OSSUPPORT {

// Told of address changes where the platform reports them; this one never does.
class IIPAddressWatcherObserver {
public:
    virtual ~IIPAddressWatcherObserver() = default;
};

class IPAddressWatcher {
public:
    IPAddressWatcher() = default;
    virtual ~IPAddressWatcher();

    // The observer is not stored: nothing would ever call it.
    JLIB::JResult setObserver(IIPAddressWatcherObserver* observer);
    JLIB::JResult start();
    JLIB::JResult stop();
    bool isLinkUp(const char* interfaceName) const;

private:
    IIPAddressWatcherObserver* m_pObserver = nullptr;  // room for the observer; unused here
};

}  // namespace OSSUPPORT
