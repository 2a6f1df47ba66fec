#pragma once
// Making and dropping the function objects of a component library. The caller of
// createFunctionInstance holds two references (the factory's and the query's);
// deleteFunctionInstance gives both back. Call on the thread that owns the audio component.
#include <cstdint>

#include "dravo/common/dravo_GUID.h"
#include "dravo/common/dravo_IUnknown.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

// Null when the factory is null or makes nothing, and when the object does not offer iid: the
// factory's reference is then given back, so the object does not outlive the call. T must be the
// interface iid names.
template <class T>
T* createFunctionInstance(CreateFunctionProc factory, const GUID& iid)
{
    if (!factory) return nullptr;
    IUnknown* object = factory();
    if (!object) return nullptr;
    void* asked = object->queryInterface(iid);
    if (!asked) (void)object->release();  // the last reference: the object is gone
    return static_cast<T*>(asked);
}

// Releases both references and clears the pointer; a null pointer is left alone. Returns 0.
template <class T>
uint32_t deleteFunctionInstance(T*& function)
{
    if (!function) return JLIB::kOk;
    T* object = function;
    function = nullptr;
    (void)object->release();  // the count left is of no interest
    (void)object->release();
    return JLIB::kOk;
}

}  // namespace DRAVO
