#pragma once
// The registry side of an instance broker item: what is registered under the name, its state,
// reference count, permission and setter, and a virtual unit's link framework. The defaults suit
// an item that registers nothing (every set operation refused with 0x8000000a). Used under the
// broker's ctrl lock only.
#include <cstdint>

namespace MMS {
class IField;
}
namespace TCM {
class CommandRepository;
}
namespace ParameterProc {
class ILinkFramework;
}

namespace DeviceControl {

class MmsItem {
public:
    virtual ~MmsItem() = default;

    [[nodiscard]] virtual uint32_t setField(MMS::IField* field);
    [[nodiscard]] virtual uint32_t setCommandRepository(TCM::CommandRepository* repository);
    [[nodiscard]] virtual uint32_t setState(int state);
    [[nodiscard]] virtual uint32_t setPermission(int permission);
    [[nodiscard]] virtual uint32_t setSetter(uint16_t setter);
    [[nodiscard]] virtual uint32_t addRef();
    [[nodiscard]] virtual uint32_t release();
    [[nodiscard]] virtual uint32_t setLinkFramework(ParameterProc::ILinkFramework* framework);
    // Defaults: null, null, 0xFFFFFFFF, 0, 0xFFFFFFFF, 0, null.
    virtual MMS::IField* field() const;
    virtual TCM::CommandRepository* repository() const;
    virtual int state() const;
    virtual uint32_t ref() const;
    virtual int permission() const;
    virtual uint16_t setter() const;
    virtual ParameterProc::ILinkFramework* linkFramework() const;

    // The task that created the item; 0 for a group made on the way to a deeper name.
    void setOwner(uint16_t owner) { m_owner = owner; }
    uint16_t owner() const { return m_owner; }

private:
    uint16_t m_owner = 0;
};

}  // namespace DeviceControl
