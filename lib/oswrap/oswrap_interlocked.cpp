#include "oswrap/oswrap_interlocked.h"

// Sequentially consistent builtins give the full barrier on both sides.

int32_t oswrap_InterlockedCompareExchange(volatile int32_t* target, int32_t exchange, int32_t comparand)
{
    int32_t expected = comparand;
    __atomic_compare_exchange_n(target, &expected, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return expected;  // the old value whether or not the exchange happened
}

int32_t oswrap_InterlockedIncrement(volatile int32_t* target) { return __atomic_fetch_add(target, 1, __ATOMIC_SEQ_CST); }

int32_t oswrap_InterlockedDecrement(volatile int32_t* target) { return __atomic_fetch_sub(target, 1, __ATOMIC_SEQ_CST); }

int32_t oswrap_InterlockedExchange(volatile int32_t* target, int32_t value)
{
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
