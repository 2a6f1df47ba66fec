#include "editor/KavoriEventMaker.h"

#include "comctrl/Core/comctrl_evtp.h"
#include "editor/SyncStatusInfo.h"

namespace KAVORI {

namespace {

// Appends one item built by encode into a buffer of kItemCapacity bytes, a blank before every
// item but the first.
template <typename Encode>
JLIB::JResult append(std::string& value, Encode encode)
{
    char buffer[KavoriEventMaker::kItemCapacity];
    uint32_t length = 0;
    if (JLIB::isFailure(encode(buffer, static_cast<uint32_t>(sizeof(buffer)), &length))) return JLIB::kFailed;
    if (!value.empty()) value += ' ';
    value.append(buffer, length);
    return JLIB::kOk;
}

JLIB::JResult appendString(std::string& value, const char* key, const char* text)
{
    return append(value, [&](char* b, uint32_t c, uint32_t* l) {
        return ComControl::evtpEncodeString(b, c, l, key, text ? text : "");
    });
}

JLIB::JResult appendNumber(std::string& value, const char* key, uint32_t number)
{
    return append(value, [&](char* b, uint32_t c, uint32_t* l) { return ComControl::evtpEncodeNumber(b, c, l, key, number); });
}

JLIB::JResult plain(std::string& key, std::string& value, const char* name)
{
    key = name;
    value.clear();
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult KavoriEventMaker::keepAliveEvent(std::string& key, std::string& value)
{
    return plain(key, value, "KeepAlive");
}

JLIB::JResult KavoriEventMaker::setClientTypeEvent(std::string& key, std::string& value, uint32_t clientType,
                                                   uint32_t direction, const char* pin, uint16_t udpPort)
{
    key = "SetClientType";
    value.clear();
    const char* type = clientType == 0 ? "Editor" : clientType == 1 ? "Explorer" : nullptr;
    if (!type) return JLIB::kFailed;
    JLIB_RETURN_IF_FAILED(appendString(value, "TYPE", type));
    JLIB_RETURN_IF_FAILED(appendNumber(value, "SYNCDIR", direction));
    JLIB_RETURN_IF_FAILED(appendString(value, "PIN", pin));
    return append(value, [&](char* b, uint32_t c, uint32_t* l) { return ComControl::evtpEncodeNumber(b, c, l, "UDPPORT", udpPort); });
}

JLIB::JResult KavoriEventMaker::applyConfigEvent(std::string& key, std::string& value)
{
    return plain(key, value, "ApplyConfig");
}

JLIB::JResult KavoriEventMaker::abortSynchronize(std::string& key, std::string& value)
{
    return plain(key, value, "AbortSynchronize");
}

JLIB::JResult KavoriEventMaker::clearClientTypeEvent(std::string& key, std::string& value)
{
    return plain(key, value, "ClearClientType");
}

JLIB::JResult KavoriEventMaker::notifyDirSyncStatus(std::string& key, std::string& value, const SyncStatusInfo& status)
{
    key = "NotifyDirSyncStatus";
    value.clear();
    JLIB_RETURN_IF_FAILED(appendNumber(value, "SCN0INI", status.snapshot.initSyncNum));
    JLIB_RETURN_IF_FAILED(appendNumber(value, "SCN0REQ", status.snapshot.requestedNum));
    JLIB_RETURN_IF_FAILED(appendNumber(value, "PRS0INI", status.parameterSet.initSyncNum));
    return appendNumber(value, "PRS0REQ", status.parameterSet.requestedNum);
}

JLIB::JResult KavoriEventMaker::setMeterRequest(std::string& key, std::string& value, uint8_t interval,
                                                uint16_t componentId)
{
    key = "MeterRequest";
    value.clear();
    JLIB_RETURN_IF_FAILED(appendNumber(value, "CYCLE", interval));
    return append(value, [&](char* b, uint32_t c, uint32_t* l) {
        return ComControl::evtpEncodeNumber(b, c, l, "COMPONENT", componentId);
    });
}

JLIB::JResult KavoriEventMaker::onSetClientType(std::string& key, std::string& value, const char* pin,
                                                const uint8_t* hash, uint32_t length)
{
    key = "onSetClientType";
    value.clear();
    JLIB_RETURN_IF_FAILED(appendString(value, "PIN", pin));
    return append(value, [&](char* b, uint32_t c, uint32_t* l) {
        return ComControl::evtpEncodeStream(b, c, l, "HASH", hash, length);
    });
}

JLIB::JResult KavoriEventMaker::onSyncAborted(std::string& key, std::string& value)
{
    return plain(key, value, "onSyncAborted");
}

JLIB::JResult KavoriEventMaker::onSetApplyConfig(std::string& key, std::string& value)
{
    return plain(key, value, "onApplyConfig");
}

}  // namespace KAVORI
