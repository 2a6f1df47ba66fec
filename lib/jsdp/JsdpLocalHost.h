#pragma once
// One entry of the discovered-host table: the host record, its changed and enabled flags, its
// expiry timer and the send record through which a responding registration answers it. A slot of
// the manager's pool; used under the main lock.
#include "jsdp/JsdpList.h"
#include "jsdp/JsdpObserver.h"
#include "jsdp/JsdpTxData.h"
#include "jsdp/jsdp_types.h"
#include "oswrap/oswrap_types.h"

namespace JSDP {

// A printf-like output function of the debug prints.
using JsdpPrintFunction = int (*)(const char* format, ...);

// Role, kind, status, advertised address, MAC, name, extension (at most 1024 bytes), receiving and
// source address all equal.
bool compareJSDP_HOST_INFO(const _JSDP_HOST_INFO& a, const _JSDP_HOST_INFO& b);

class JsdpLocalHost {
public:
    static constexpr uint32_t kExpiryMs = 7000;

    // Clears the record and both flags and stops the timer; the reply record becomes idle.
    void initialize();
    // A new entry: the record, enabled, changed, expiry started.
    void setHost(const _JSDP_HOST_INFO& host);
    // A datagram of this host: takes a differing record, re-enables, restarts the expiry. The
    // changed flag afterwards (also one not yet notified).
    bool updateHost(const _JSDP_HOST_INFO& host);
    // Same host: role, advertised, source and receiving address, name.
    bool compare(const _JSDP_HOST_INFO& host) const;
    // Disables an enabled entry whose expiry is no longer running; true when it did.
    bool runTimeoutProcess();
    // Tells every subscriber of a changed entry (1 enabled, 0 gone) and clears the changed flag;
    // *remove is set for a disabled entry, which the caller frees.
    void callback(const JsdpList<JsdpObserver>& observers, bool* remove);
    // The replay at subscription: one call with 1 for an enabled entry.
    void initialCallback(JsdpHostCallback callback) const;
    void print(JsdpPrintFunction f) const;

    bool IsEnable() const { return m_enabled; }
    bool isChanged() const { return m_changed; }
    const _JSDP_HOST_INFO& getHost() const { return m_host; }
    JsdpTxData& getTxDataInfo() { return m_txData; }

private:
    _JSDP_HOST_INFO m_host = {};
    bool m_changed = false;
    bool m_enabled = false;
    T_OSW_TIMER m_expiry = {};
    JsdpTxData m_txData;
};

}  // namespace JSDP
