#include "editor/VDProtocolDefine.h"

namespace VDProtocol {

const std::map<uint32_t, const char*> RESULT_TABLE = {
    {VDevice::RESULT_OK, "ok"},
    {VDevice::RESULT_EXCUTING, "excuting"},
    {VDevice::RESULT_ABORTED, "aborted"},
    {VDevice::RESULT_FAILED, "ng"},
    {VDevice::RESULT_FAILED_UNKNOWN_COMMAND, "ng/unknown_cmd"},
    {VDevice::RESULT_FAILED_NOT_FOUND, "ng/not_found"},
    {VDevice::RESULT_FAILED_OUT_OF_RANGE, "ng/out_of_range"},
    {VDevice::RESULT_FAILED_DUPLICATE, "ng/duplicate"},
    {VDevice::RESULT_FAILED_MEMORY_SHORTAGE, "ng/memory_shortage"},
    {VDevice::RESULT_FAILED_FILE_SYSTEM, "ng/file_system"},
    {VDevice::RESULT_FAILED_LIMIT_OVER, "ng/limit_over"},
    {VDevice::RESULT_FAILED_TIME_OUT, "ng/timeout"},
    {VDevice::RESULT_FAILED_COMPATIBLE, "ng/compatible"},
    {VDevice::RESULT_FAILED_STATUS, "ng/device_status"},
    {VDevice::RESULT_FAILED_UNMATCHED_CONFIG, "ng/unmatched_config"},
    {VDevice::RESULT_FAILED_CAPACITY_OVER, "ng/capacity_over"},
};

}  // namespace VDProtocol
