#pragma once
// The editor link's vocabulary: packet categories, command types and names, argument keys, and
// the result codes with their wire texts. Constants only; any task may read them.
#include <cstdint>
#include <map>

namespace VDevice {

constexpr uint32_t RESULT_OK = 0;
constexpr uint32_t RESULT_EXCUTING = 1;
constexpr uint32_t RESULT_ABORTED = 2;
constexpr uint32_t RESULT_FAILED = 0x80000000u;
constexpr uint32_t RESULT_FAILED_UNKNOWN_COMMAND = 0x80000001u;
constexpr uint32_t RESULT_FAILED_NOT_FOUND = 0x80000002u;
constexpr uint32_t RESULT_FAILED_OUT_OF_RANGE = 0x80000003u;
constexpr uint32_t RESULT_FAILED_DUPLICATE = 0x80000004u;
constexpr uint32_t RESULT_FAILED_MEMORY_SHORTAGE = 0x80000005u;
constexpr uint32_t RESULT_FAILED_FILE_SYSTEM = 0x80000006u;
constexpr uint32_t RESULT_FAILED_LIMIT_OVER = 0x80000007u;
constexpr uint32_t RESULT_FAILED_TIME_OUT = 0x80000008u;
constexpr uint32_t RESULT_FAILED_COMPATIBLE = 0x80000009u;
constexpr uint32_t RESULT_FAILED_STATUS = 0x8000000Au;
constexpr uint32_t RESULT_FAILED_UNMATCHED_CONFIG = 0x8000000Bu;
constexpr uint32_t RESULT_FAILED_CAPACITY_OVER = 0x8000000Cu;

}  // namespace VDevice

namespace VDProtocol {

// Wire text of every result code above. A code handed on from another module keeps its number
// and is rendered through this one table.
extern const std::map<uint32_t, const char*> RESULT_TABLE;

// Categories: the member of the line's object that holds the packet.
inline constexpr const char* COM_REQUEST = "request";
inline constexpr const char* COM_ABORT = "abort";
inline constexpr const char* COM_CONNECTED = "connected";
inline constexpr const char* COM_REPLY = "reply";
inline constexpr const char* COM_NOTIFY = "notify";

// Command types: the part of "cmd" before the first "_".
inline constexpr const char* CMDTYPE_ADD = "add";
inline constexpr const char* CMDTYPE_DEL = "del";
inline constexpr const char* CMDTYPE_SET = "set";
inline constexpr const char* CMDTYPE_GET = "get";
inline constexpr const char* CMDTYPE_SETDATA = "setData";
inline constexpr const char* CMDTYPE_GETDATA = "getData";

// Command names: the rest of "cmd".
inline constexpr const char* CMDNAME_METER = "meter";
inline constexpr const char* CMDNAME_PARAMETER_VAL = "prm_val";
inline constexpr const char* CMDNAME_DEVICE_STATUS = "dev_status";
inline constexpr const char* CMDNAME_COMPILE = "compile";
inline constexpr const char* CMDNAME_SYNC_DEVICE = "sync_device";
inline constexpr const char* CMDNAME_COMPONENT_INFO = "cpt_info";
inline constexpr const char* CMDNAME_COMPONENT_CHANGE = "cpt_change";
inline constexpr const char* CMDNAME_COMPONENT_CONNECT = "cpt_connect";
inline constexpr const char* CMDNAME_COMPONENT_RESOURCE = "cpt_resource";
inline constexpr const char* CMDNAME_REGIST_PARAMETER = "regist_parameter";
inline constexpr const char* CMDNAME_COMPONENT_METER = "cpt_meter";
inline constexpr const char* CMDNAME_PARAMSET = "prmset";
inline constexpr const char* CMDNAME_PARAMSET_DUPLICATE = "prmset_duplicate";
inline constexpr const char* CMDNAME_PARAMSET_ASSIGN = "prmset_assign";
inline constexpr const char* CMDNAME_MODIFIED = "modified";
inline constexpr const char* CMDNAME_ALERTLOG = "alert_log";
inline constexpr const char* CMDNAME_NETWORK_INFO = "net_info";
inline constexpr const char* CMDNAME_PEAK_HOLD = "peak_hold";
inline constexpr const char* CMDNAME_SETUP = "setup";
inline constexpr const char* CMDNAME_COPY_PASTE = "copy_paste";
inline constexpr const char* CMDNAME_ACTIVE = "active";
inline constexpr const char* CMDNAME_SAVE = "save";
inline constexpr const char* CMDNAME_AUTOSAVE = "auto_save";
inline constexpr const char* CMDNAME_LOAD = "load";
inline constexpr const char* CMDNAME_DEVICE_LABEL = "dev_label";
inline constexpr const char* CMDNAME_VDEVICE_ID = "virtual_dev_id";
inline constexpr const char* CMDNAME_DEVICE_CAPACITY = "dev_capacity";
inline constexpr const char* CMDNAME_DEVICE_FS = "dev_fs";
inline constexpr const char* CMDNAME_SECURITY_CHECK = "security_check";
inline constexpr const char* CMDNAME_SYNC_OFFLINE = "sync_offline";
inline constexpr const char* CMDNAME_IDENTIFY = "identify";
inline constexpr const char* CMDNAME_UPDATE = "update";
inline constexpr const char* CMDNAME_REBOOT = "reboot";
inline constexpr const char* CMDNAME_DEVICE_NETWORK = "real_dev_net_info";
inline constexpr const char* CMDNAME_PARAMETER_STEP = "prm_step";
inline constexpr const char* CMDNAME_METER_INFO = "meter_info";
inline constexpr const char* CMDNAME_DEVICE_INFO = "dev_info";
inline constexpr const char* CMDNAME_DETECT = "detect";
inline constexpr const char* CMDNAME_PARAMETER_INFO = "prm_info";
inline constexpr const char* CMDNAME_PARAMETER_RANGE = "range_prm";

// Argument keys of "cmdinfo". Three keys share the text "type"; the command tells them apart.
inline constexpr const char* KEY_PRM_ADDR = "prmAddr";
inline constexpr const char* KEY_PRM_STR = "prmStr";
inline constexpr const char* KEY_PRM_VAL = "prmValue";
inline constexpr const char* KEY_CPT_NAME = "cptName";
inline constexpr const char* KEY_PRM_TYPE = "prmType";
inline constexpr const char* KEY_PRM_MIN = "prmMin";
inline constexpr const char* KEY_PRM_MAX = "prmMax";
inline constexpr const char* KEY_PRM_DEF = "prmDef";
inline constexpr const char* KEY_PRM_DEF_UI = "prmDefUI";
inline constexpr const char* KEY_PRM_NOMINAL = "prmNominal";
inline constexpr const char* KEY_PRM_STEP = "prmStep";
inline constexpr const char* KEY_PRM_SCALE = "prmScale";
inline constexpr const char* KEY_PRM_UNIT = "prmUnit";
inline constexpr const char* KEY_PRM_KIND = "prmKind";
inline constexpr const char* KEY_START_X = "startX";
inline constexpr const char* KEY_START_Y = "startY";
inline constexpr const char* KEY_END_X = "endX";
inline constexpr const char* KEY_END_Y = "endY";
inline constexpr const char* KEY_METER_TYPE = "type";
inline constexpr const char* KEY_METER_INDEX = "index";
inline constexpr const char* KEY_METER_VAL = "value";
inline constexpr const char* KEY_METER_ID = "id";
inline constexpr const char* KEY_METER_TIME = "time";
inline constexpr const char* KEY_PEAK_HOLD_ON = "on";
inline constexpr const char* KEY_DEVICE_STATUS = "deviceStatus";
inline constexpr const char* KEY_DEVICE_IP_ADDR = "devIpAddr";
inline constexpr const char* KEY_DEVICE_MAC_ADDR = "devMacAddr";
inline constexpr const char* KEY_PC_IP_ADDR = "pcIpAddr";
inline constexpr const char* KEY_CAPACITY = "capacity";
inline constexpr const char* KEY_CAPACITY_STATUS = "capacityStatus";
inline constexpr const char* KEY_RESOURCE = "resource";
inline constexpr const char* KEY_LOCAL_LABEL = "localLabel";
inline constexpr const char* KEY_DEVICE_UNITID = "deviceID";
inline constexpr const char* KEY_PATH = "path";
inline constexpr const char* KEY_FS = "fs";
inline constexpr const char* KEY_PROJECT_VERSION = "projectVersion";
inline constexpr const char* KEY_DEVICE_GUID = "deviceGUID";
inline constexpr const char* KEY_MODEL_NAME = "modelName";
inline constexpr const char* KEY_SERIES = "series";
inline constexpr const char* KEY_CATEGORY = "category";
inline constexpr const char* KEY_LABEL = "label";
inline constexpr const char* KEY_VERSION = "version";
inline constexpr const char* KEY_SERIAL_NO = "serialNo";
inline constexpr const char* KEY_IP_MODE = "ipMode";
inline constexpr const char* KEY_STATIC_IP_ADDR = "staticIP";
inline constexpr const char* KEY_STATIC_NETMASK = "staticNetmask";
inline constexpr const char* KEY_STATIC_GATEWAY = "staticGateway";
inline constexpr const char* KEY_CURRENT_IP_ADDR = "currentIP";
inline constexpr const char* KEY_CURRENT_NETMASK = "currentNetmask";
inline constexpr const char* KEY_CURRENT_GATEWAY = "currentGateway";
inline constexpr const char* KEY_SYNC_VERSION = "syncVersion";
inline constexpr const char* KEY_LOCAL_SYNC_VERSION = "localSyncVersion";
inline constexpr const char* KEY_SYNC_STATUS = "syncStatus";
inline constexpr const char* KEY_RX_CPT = "rx_cpt";
inline constexpr const char* KEY_RX_CPT_PORT = "rx_cpt_port";
inline constexpr const char* KEY_TX_CPT = "tx_cpt";
inline constexpr const char* KEY_TX_CPT_PORT = "tx_cpt_port";
inline constexpr const char* KEY_COPY_TYPE = "type";
inline constexpr const char* KEY_COPY_DATA = "d:data";
inline constexpr const char* KEY_PARAMSET_GUID = "prmSetGUID";
inline constexpr const char* KEY_PARAMSET_ID = "prmSetID";
inline constexpr const char* KEY_PROTECT = "protect";
inline constexpr const char* KEY_ASSIGN_TYPE = "type";

// Fixed values of some keys.
inline constexpr const char* COPY_TYPE_COMPONENT = "currentCpt";
inline constexpr const char* COPY_TYPE_PARAMETER = "currentPrm";
inline constexpr const char* ALL_METER_ID = "_ALL_";
inline constexpr const char* ASSIGN_TYPE_PARAMETER = "parameter";

}  // namespace VDProtocol
