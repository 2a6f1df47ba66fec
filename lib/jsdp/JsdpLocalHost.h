#pragma once
// One entry of the discovered-host table: the host record, its changed and enabled flags, its
// expiry timer and the send record through which a responding registration answers it. A slot of
// the manager's pool; used under the main lock.
#include "jsdp/JsdpTxData.h"
#include "jsdp/jsdp_types.h"
#include "oswrap/oswrap_types.h"

namespace JSDP {

class JsdpLocalHost {
public:
    // Clears the record and both flags and stops the timer; the reply record becomes idle.
    void initialize();

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
