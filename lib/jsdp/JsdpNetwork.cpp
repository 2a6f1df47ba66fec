#include "jsdp/JsdpNetwork.h"

#include "jsdp/JsdpComm.h"
#include "jsdp/JsdpService.h"
#include "jsdp/jsdp_address.h"

namespace JSDP {

JLIB::JResult JsdpNetwork::initialize()
{
    m_address = netc_addr{};
    m_port = 0;
    m_pComm = nullptr;
    return m_services.initialize(kServiceCapacity);
}

void JsdpNetwork::finalize()
{
    m_services.release();
    m_pComm = nullptr;
    m_address = netc_addr{};
    m_port = 0;
}

void JsdpNetwork::set(const netc_addr& address, uint16_t port)
{
    m_address = address;
    m_port = port;
}

bool JsdpNetwork::compare(const netc_addr& address, uint16_t port) const
{
    return m_port == port && compareVSOCK_ADDR(m_address, address);
}

JsdpService* JsdpNetwork::searchServiceById(int32_t id) const
{
    for (JsdpService* service : m_services) {
        if (service->getId() == id) return service;
    }
    return nullptr;
}

void JsdpNetwork::searchServiceByName(uint8_t length, const uint8_t* name, JsdpService** first,
                                      JsdpService** second) const
{
    *first = nullptr;
    *second = nullptr;
    for (JsdpService* service : m_services) {
        if (!service->compareName(length, name)) continue;
        if (!*first) {
            *first = service;
        } else {
            *second = service;
            return;
        }
    }
}

void JsdpNetwork::runInterval(uint8_t* receive, uint8_t* send)
{
    if (!m_pComm) return;
    uint8_t newReceive = 0;
    uint8_t newSend = 0;
    if (JLIB::isFailure(m_pComm->doInterval(m_address, m_port, &newReceive, &newSend))) return;
    if (newReceive != 0 || newSend != 0) {
        // A new socket has joined no group and announced nothing yet: after a reset the
        // registrations start over as on a new line, or a responder would stay deaf to its group.
        for (JsdpService* service : m_services) service->setActive(false);
        *receive |= newReceive;
        *send |= newSend;
    }
    if (m_pComm->getStatus() == JsdpComm::kActive) {
        for (JsdpService* service : m_services) {
            if (service->isNormal()) continue;
            netc_addr group = {};
            if (JLIB::isSuccess(service->getMulticastAddr(&group))) {
                (void)m_pComm->addMulticast(group);  // a failed join leaves unicast working
            }
            service->runCommActive(*m_pComm, send);
        }
    }
    for (JsdpService* service : m_services) service->runInterval(*m_pComm, send);
}

}  // namespace JSDP
