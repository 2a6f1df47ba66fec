#pragma once
// Atomic read-modify-write operations with a full barrier; each returns the value held before.
#include <cstdint>

// Stores exchange when *target equals comparand.
int32_t oswrap_InterlockedCompareExchange(volatile int32_t* target, int32_t exchange, int32_t comparand);
int32_t oswrap_InterlockedIncrement(volatile int32_t* target);
int32_t oswrap_InterlockedDecrement(volatile int32_t* target);
int32_t oswrap_InterlockedExchange(volatile int32_t* target, int32_t value);
