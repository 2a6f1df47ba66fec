#include "editor/KavoriEventExecutor.h"

#include <cstdlib>
#include <cstring>

#include "TMS/AbstractMessage.h"
#include "comctrl/Core/comctrl_evtp.h"
#include "editor/SyncStatusInfo.h"

namespace KAVORI {

namespace {

struct Item {
    const char* key = nullptr;
    uint32_t keyLength = 0;
    const char* value = nullptr;
    uint32_t valueLength = 0;
};

// Calls visit for every item of text until the parser finds no further one.
template <typename Visit>
void forEachItem(const char* text, Visit visit)
{
    if (!text) return;
    const char* at = text;
    const char* const end = text + std::strlen(text);
    while (at < end) {
        Item item;
        uint32_t consumed = 0;
        if (JLIB::isFailure(ComControl::evtpParseCommand(at, static_cast<uint32_t>(end - at), &item.key, &item.keyLength,
                                                         &item.value, &item.valueLength, &consumed))) {
            return;
        }
        visit(item);
        if (consumed == 0) return;  // no progress: the parser has nothing more for us
        at += consumed;
    }
}

bool keyMatches(const Item& item, const char* word)
{
    return item.keyLength <= std::strlen(word) && std::strncmp(item.key, word, item.keyLength) == 0;
}

uint32_t decimal(const Item& item)
{
    const std::string digits(item.value, item.valueLength);
    return static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 10));
}

// The plain value of the first item matching word; false when none matched.
bool findItem(const char* value, const char* word, std::string& text, bool numeric, uint32_t* number)
{
    bool found = false;
    forEachItem(value, [&](const Item& item) {
        if (found || !keyMatches(item, word)) return;
        found = true;
        if (numeric) {
            *number = decimal(item);
            return;
        }
        char plain[KavoriEventExecutor::kMaxItemText + 1];
        uint32_t length = 0;
        if (item.valueLength == 0 ||
            JLIB::isFailure(ComControl::evtpRemoveEscapeSequence(plain, sizeof(plain), &length, item.value,
                                                                 item.valueLength))) {
            text.clear();  // an empty value, or one too long for the item limit, reads as none
            return;
        }
        text.assign(plain, length);
    });
    return found;
}

uint32_t findNumber(const char* value, const char* word, bool* found = nullptr)
{
    std::string unused;
    uint32_t number = 0;
    const bool hit = findItem(value, word, unused, true, &number);
    if (found) *found = hit;
    return number;
}

void toDeviceControl(TMS::AbstractMessage& message) { (void)message.sendWithWaiting("DeviceControl"); }

TMS::AbstractMessage command(const char* name)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    (void)message.addData("CommandName", name);      // a short text always fits
    return message;
}

}  // namespace

bool KavoriEventExecutor::findText(const char* value, const char* word, std::string& text)
{
    text.clear();
    (void)findItem(value, word, text, false, nullptr);
    return !text.empty();
}

JLIB::JResult KavoriEventExecutor::convFactorToUnitId(uint32_t& unitId, uint32_t factor)
{
    if (factor < kFirstUnitFactor || factor > kLastUnitFactor) {
        unitId = 0;
        return JLIB::kFailed;
    }
    unitId = factor - kFirstUnitFactor;
    return JLIB::kOk;
}

JLIB::JResult KavoriEventExecutor::keepAlive(uint32_t, const char*) { return JLIB::kOk; }

JLIB::JResult KavoriEventExecutor::resultClientType(uint32_t, const char* value)
{
    std::string hash;
    (void)findText(value, "HASH", hash);  // none: the empty text
    TMS::AbstractMessage message = command("isSameConfig");
    (void)message.addData("ConfigHash", hash.c_str());  // at most one item long: fits
    toDeviceControl(message);
    return JLIB::kOk;
}

JLIB::JResult KavoriEventExecutor::onApplyConfig(uint32_t, const char*) { return JLIB::kOk; }

JLIB::JResult KavoriEventExecutor::notifyDirSyncStatus(uint32_t factor, const char* value)
{
    uint32_t unitId = 0;
    JLIB_RETURN_IF_FAILED(convFactorToUnitId(unitId, factor));
    SyncStatusInfo status;
    forEachItem(value, [&](const Item& item) {
        // "SCN0INI": the pair, the folder digit (not looked at), the field.
        if (item.keyLength < 7) return;
        DirSyncStatusInfo* pair = nullptr;
        if (std::strncmp(item.key, "SCN", 3) == 0) pair = &status.snapshot;
        if (std::strncmp(item.key, "PRS", 3) == 0) pair = &status.parameterSet;
        if (!pair) return;
        if (std::strncmp(item.key + 4, "INI", 3) == 0) pair->initSyncNum = decimal(item);
        if (std::strncmp(item.key + 4, "REQ", 3) == 0) pair->requestedNum = decimal(item);
    });
    (void)status.setToPDB(unitId, true);  // always 0
    return JLIB::kOk;
}

JLIB::JResult KavoriEventExecutor::onSetWarningMessage(uint32_t, const char* value)
{
    std::string id;
    std::string message;
    const bool hasId = findText(value, "ID", id);
    const bool hasMessage = findText(value, "MESSAGE", message);
    return hasId && hasMessage ? JLIB::kOk : JLIB::kFailed;
}

JLIB::JResult KavoriEventExecutor::setClientType(uint32_t factor, const char* value, uint32_t& unitId,
                                                 uint16_t& udpPort)
{
    JLIB_RETURN_IF_FAILED(convFactorToUnitId(unitId, factor));
    std::string type;
    std::string pin;
    const bool hasType = findText(value, "TYPE", type);
    uint32_t direction = findNumber(value, "SYNCDIR");
    (void)findText(value, "PIN", pin);  // none: the empty text
    const uint32_t port = findNumber(value, "UDPPORT");
    if (direction > 2) direction = 0;
    if (!hasType || direction == 0) return JLIB::kFailed;
    udpPort = static_cast<uint16_t>(port & 0xFFFFu);
    TMS::AbstractMessage message = command("PrepareToSync");
    (void)message.addData("UnitId", unitId);
    (void)message.addData("AdminPIN", pin.c_str());
    (void)message.addData("SyncDirection", direction == 1 ? "ClientToServer" : "ServerToClient");
    toDeviceControl(message);
    return JLIB::kOk;
}

JLIB::JResult KavoriEventExecutor::clearClientType(uint32_t factor, const char*, uint32_t& unitId)
{
    return convFactorToUnitId(unitId, factor);
}

JLIB::JResult KavoriEventExecutor::abortSynchronize(uint32_t factor, const char* value, uint32_t& unitId)
{
    JLIB_RETURN_IF_FAILED(clearClientType(factor, value, unitId));
    TMS::AbstractMessage message = command("SyncAbort");
    toDeviceControl(message);
    return JLIB::kOk;
}

JLIB::JResult KavoriEventExecutor::setApplyConfig(uint32_t factor, const char*)
{
    uint32_t unitId = 0;
    JLIB_RETURN_IF_FAILED(convFactorToUnitId(unitId, factor));
    TMS::AbstractMessage message = command("StartConfig");
    (void)message.addData("UnitId", unitId);
    toDeviceControl(message);
    return JLIB::kOk;
}

JLIB::JResult KavoriEventExecutor::meterRequest(uint32_t factor, const char* value, uint32_t& unitId,
                                                uint16_t& componentId, uint8_t& interval)
{
    JLIB_RETURN_IF_FAILED(convFactorToUnitId(unitId, factor));
    interval = static_cast<uint8_t>(findNumber(value, "CYCLE") & 0xFFu);
    componentId = static_cast<uint16_t>(findNumber(value, "COMPONENT") & 0xFFFFu);
    return JLIB::kOk;
}

}  // namespace KAVORI
