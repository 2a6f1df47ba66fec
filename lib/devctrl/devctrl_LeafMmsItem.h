#pragma once
// A registered field or command repository in the instance broker's tree, with its state,
// reference count, permission and setter task. Used under the broker's ctrl lock only.
#include <cstdint>

#include "devctrl/devctrl_BaseMmsItem.h"

namespace DeviceControl {

class LeafMmsItem : public BaseMmsItem {
public:
    NODE_TYPE nodeType() const override { return NODE_LEAF; }

    // Each stores its value and gives 0.
    [[nodiscard]] uint32_t setField(MMS::IField* field) override;
    [[nodiscard]] uint32_t setCommandRepository(TCM::CommandRepository* repository) override;
    [[nodiscard]] uint32_t setState(int state) override;
    [[nodiscard]] uint32_t setPermission(int permission) override;
    [[nodiscard]] uint32_t setSetter(uint16_t setter) override;
    // 0x80000007 when the count is already at its limit (addRef) or at 0 (release).
    [[nodiscard]] uint32_t addRef() override;
    [[nodiscard]] uint32_t release() override;

    MMS::IField* field() const override { return m_pField; }
    TCM::CommandRepository* repository() const override { return m_pRepository; }
    int state() const override { return m_state; }
    uint32_t ref() const override { return m_ref; }
    int permission() const override { return m_permission; }
    uint16_t setter() const override { return m_setter; }

private:
    MMS::IField* m_pField = nullptr;                  // not owned: the registering task keeps it
    TCM::CommandRepository* m_pRepository = nullptr;  // not owned: the registering task keeps it
    int m_state = 0;
    uint32_t m_ref = 0;
    int m_permission = 0;
    uint16_t m_setter = 0;
};

}  // namespace DeviceControl
