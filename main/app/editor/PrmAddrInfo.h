#pragma once
// The device-information table: each keyed device parameter (labels, unit ids, versions, serial
// number, capacities, network settings, sampling frequency, meter peak hold) with the database,
// component and element that hold it. Fixed for the whole run; any task may read it.
#include <cstddef>
#include <cstdint>

namespace VDevice {

struct PRM_ADDR_INFO {
    const char* key;
    const char* dbName;
    uint32_t componentId;
    const char* path;
    uint32_t x;
    uint32_t y;
};

constexpr size_t PRM_ADDR_INFO_NUM = 25;

// Entry 0 is empty: it answers for every key the table lacks, and its empty database name is
// never found, so access by such a key fails.
extern const PRM_ADDR_INFO PRM_ADDR_INFO_TABLE[PRM_ADDR_INFO_NUM];

}  // namespace VDevice
