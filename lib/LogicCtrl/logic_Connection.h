#pragma once
// One end of a link between logic components: the component at the other end (not owned) and
// its port. Plain value; the components keep it consistent on both sides.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace LogicCtrl {

class ILogicComponent;

class Connection {
public:
    Connection() = default;
    Connection(ILogicComponent* component, uint32_t port) : m_pComponent(component), m_port(port) {}

    // Always 0.
    JLIB::JResult connect(ILogicComponent* component, uint32_t port)
    {
        m_pComponent = component;
        m_port = port;
        return JLIB::kOk;
    }
    // Back to no component and port 0; always 0.
    JLIB::JResult disconnect() { return connect(nullptr, 0); }

    ILogicComponent* component() const { return m_pComponent; }
    uint32_t port() const { return m_port; }
    bool isConnected() const { return m_pComponent != nullptr; }
    bool operator==(const Connection& other) const
    {
        return m_pComponent == other.m_pComponent && m_port == other.m_port;
    }

private:
    ILogicComponent* m_pComponent = nullptr;  // borrowed; the link is removed before it goes
    uint32_t m_port = 0;
};

}  // namespace LogicCtrl
