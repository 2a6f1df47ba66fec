#pragma once
// One network entry: a local address and port, the socket line lent to it and its registrations.
// A slot of the manager's pool; used under the main lock.
#include <cstdint>

#include "jsdp/JsdpList.h"
#include "jsdp/jsdp_types.h"

namespace JSDP {

class JsdpComm;
class JsdpService;

class JsdpNetwork {
public:
    static constexpr uint32_t kServiceCapacity = 4;

    // Builds the empty registration list; 0 or its failure.
    [[nodiscard]] JLIB::JResult initialize();
    void finalize();

    void set(const netc_addr& address, uint16_t port);
    // comm is a slot of the manager's pool.
    void setComm(JsdpComm* comm) { m_pComm = comm; }
    void clearComm() { m_pComm = nullptr; }
    JsdpComm* getComm() const { return m_pComm; }
    // Equal address (compareVSOCK_ADDR) and port.
    bool compare(const netc_addr& address, uint16_t port) const;

    [[nodiscard]] JLIB::JResult addService(JsdpService* service) { return m_services.push(service); }
    [[nodiscard]] JLIB::JResult removeService(const JsdpService* service) { return m_services.remove(service); }
    // The first registration with the id; null when none.
    JsdpService* searchServiceById(int32_t id) const;
    // The first and the second registration with this name (compareName), each null when none.
    void searchServiceByName(uint8_t length, const uint8_t* name, JsdpService** first, JsdpService** second) const;
    bool IsEmpty() const { return m_services.empty(); }
    const JsdpList<JsdpService>& services() const { return m_services; }

    // The interval step of the entry: the line gets a socket when it has none (a new socket sets
    // *receive and *send and makes every registration new to it, so each joins its group and
    // announces again); on an active line new registrations join and announce, and every
    // registration runs its periodic announcement.
    void runInterval(uint8_t* receive, uint8_t* send);

    const netc_addr& getAddress() const { return m_address; }
    uint16_t getPort() const { return m_port; }

private:
    netc_addr m_address = {};
    uint16_t m_port = 0;
    JsdpComm* m_pComm = nullptr;  // the manager's pool slot
    JsdpList<JsdpService> m_services;
};

}  // namespace JSDP
