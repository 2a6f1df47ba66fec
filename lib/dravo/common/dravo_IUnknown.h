#pragma once
// Root of the four function interfaces a component library hands to the engine: reference
// counting and the query for an interface by identifier. The virtual slot order is a contract
// with the libraries. There is deliberately no virtual destructor: an object is destroyed only by
// its own release, inside the library that made it.
#include <cstdint>

#include "dravo/common/dravo_GUID.h"

namespace DRAVO {

class IUnknown {
public:
    // The object as the asked interface with one more reference, or null (no reference taken).
    virtual void* queryInterface(const GUID& iid) = 0;
    // The new count.
    virtual uint32_t addRef() = 0;
    // The new count; at 0 the object is gone.
    virtual uint32_t release() = 0;

protected:
    ~IUnknown() = default;
};

// An exported factory of a component library ("createParamInfoFunction" and its three
// companions): a new function object holding one reference, or null.
using CreateFunctionProc = IUnknown* (*)();

}  // namespace DRAVO
