#include "jsdp/JsdpNetwork.h"

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

}  // namespace JSDP
