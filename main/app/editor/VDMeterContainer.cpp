#include "editor/VDMeterContainer.h"

#include <algorithm>

#include "editor/ParameterAddress.h"

namespace VDevice {

namespace {

std::string keyOf(const MeterInfo& info) { return info.meterId + "/" + info.componentAddress; }

bool isComplete(const MeterInfo& info) { return !info.meterId.empty() && !info.componentAddress.empty(); }

// The component address of a key: the text after its first "/"; empty when there is none.
std::string addressOf(const std::string& key)
{
    const size_t slash = key.find('/');
    return slash == std::string::npos ? std::string() : key.substr(slash + 1);
}

}  // namespace

VDMeterContainer& VDMeterContainer::getInstance()
{
    struct Instance : VDMeterContainer {};
    static Instance instance;
    return instance;
}

bool VDMeterContainer::regist(const MeterInfo& info)
{
    if (!isComplete(info)) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    ++m_meters[keyOf(info)];
    return true;
}

bool VDMeterContainer::unregist(const MeterInfo& info)
{
    if (!isComplete(info)) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    const auto it = m_meters.find(keyOf(info));
    if (it == m_meters.end()) return false;
    if (--it->second <= 0) m_meters.erase(it);
    return true;
}

bool VDMeterContainer::clear()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_meters.clear();
    return true;
}

std::vector<std::string> VDMeterContainer::componentAddrList() const
{
    std::vector<std::string> out;
    std::lock_guard<std::mutex> hold(m_lock);
    for (const auto& entry : m_meters) {
        std::string address = addressOf(entry.first);
        if (address.empty() || std::find(out.begin(), out.end(), address) != out.end()) continue;
        out.push_back(std::move(address));
    }
    return out;
}

std::vector<uint32_t> VDMeterContainer::componentIDList() const
{
    std::vector<uint32_t> out;
    for (const std::string& address : componentAddrList()) {
        std::string dbName;
        uint32_t id = 0;
        if (JLIB::isFailure(VDProtocol::ParameterAddress::divide(dbName, id, address))) continue;
        if (std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
    }
    return out;
}

int32_t VDMeterContainer::getIntervalTime() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_interval;
}

bool VDMeterContainer::setIntervalTime(int32_t milliseconds)
{
    if (milliseconds < kMinimumIntervalMs) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    m_interval = milliseconds;
    return true;
}

}  // namespace VDevice
