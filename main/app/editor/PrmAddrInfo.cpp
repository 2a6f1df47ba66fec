#include "editor/PrmAddrInfo.h"

namespace VDevice {

// "Virtual" entries describe this engine's own device, "Real" and the "Profile" entries the real
// device it is linked to. The capacities of entries 3 and 9 are the variation name, those of 22
// and 23 the number.
const PRM_ADDR_INFO PRM_ADDR_INFO_TABLE[PRM_ADDR_INFO_NUM] = {
    {"", "", 0, "", 0, 0},
    {"VirtualDeviceLabel", "VDeviceSetup", 0, "/Setup/DeviceName", 0, 0},
    {"VirtualUnitID", "VDeviceSetup", 0, "/Setup/UnitID", 0, 0},
    {"VirtualCapacity", "VDeviceSetup", 0, "/Specification/ProductVariationName", 0, 0},
    {"VirtualSyncVersion", "VDeviceSetup", 0, "/Specification/SyncVersion", 0, 0},
    {"VirtualAdminPin", "VDeviceSetup", 0, "/Setup/AdminPin", 0, 0},
    {"RealDeviceLabel", "DeviceSetup", 0, "/Setup/DeviceName", 0, 0},
    {"RealUnitID", "DeviceSetup", 0, "/Setup/UnitID", 0, 0},
    {"RealSyncVersion", "Profile", 0, "/Specification/SyncVersion", 0, 0},
    {"RealCapacity", "Profile", 0, "/Specification/ProductVariationName", 0, 0},
    {"RealAdminPin", "StaticSetup", 0, "/Setup/AdminPin", 0, 0},
    {"FirmwareVersion", "Profile", 0, "/Specification/FirmwareVersion", 0, 0},
    {"SerialNo", "Profile", 0, "/Specification/SerialNumber", 0, 0},
    {"IPMode", "DeviceSetup", 0, "/Network/OPVControlPort/IPSetting", 0, 0},
    {"StaticIPAddress", "DeviceSetup", 0, "/Network/OPVControlPort/StaticIPAddress", 0, 0},
    {"StaticSubnetMask", "DeviceSetup", 0, "/Network/OPVControlPort/SubnetMask", 0, 0},
    {"StaticGateway", "DeviceSetup", 0, "/Network/OPVControlPort/Gateway", 0, 0},
    {"CurrentIPAddress", "DeviceSetup", 0, "/Network/OPVControlPort/CurrentIPAddress", 0, 0},
    {"CurrentSubnetMask", "DeviceSetup", 0, "/Network/OPVControlPort/CurrentSubnetMask", 0, 0},
    {"CurrentGateway", "DeviceSetup", 0, "/Network/OPVControlPort/CurrentGateway", 0, 0},
    {"Battery", "Status", 0, "/Status/Battery", 0, 0},
    {"FS", "CommonSetup", 0, "/Config/ExpectedFs", 0, 0},
    {"OPVCapacity", "Profile", 0, "/OPV/Capacity", 0, 0},
    {"VDeviceCapacity", "VDeviceSetup", 0, "/OPV/Capacity", 0, 0},
    {"MeterPeakHold", "CommonSetup", 0, "/Meter/PeakHold/On", 0, 0},
};

}  // namespace VDevice
