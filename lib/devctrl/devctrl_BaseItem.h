#pragma once
// The tree side of an instance broker item: adding, removing and finding children by path.
// The defaults suit an item without children. Used under the broker's ctrl lock only.
#include <cstdint>

namespace DeviceControl {

class BaseItem {
public:
    // 0 leaf, 1 composite; any other value is refused where an item is made.
    enum NODE_TYPE : uint32_t { NODE_LEAF = 0, NODE_COMPOSITE = 1 };

    virtual ~BaseItem() = default;
    // A length of 0 means the name ends at its NUL. Default: 0x8000000a.
    [[nodiscard]] virtual uint32_t add(const char* name, uint32_t length, NODE_TYPE type);
    [[nodiscard]] virtual uint32_t remove(const char* name, uint32_t length);
    // Default: null.
    virtual BaseItem* item(const char* name, uint32_t length);
    virtual const BaseItem* item(const char* name, uint32_t length) const;
    // Default: 0.
    virtual uint32_t childNum() const;
    virtual NODE_TYPE nodeType() const = 0;
};

}  // namespace DeviceControl
