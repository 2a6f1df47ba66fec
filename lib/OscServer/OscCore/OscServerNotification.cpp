#include "OscServer/OscCore/OscServerNotification.h"

#include <string>

#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscMeterAttrib.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscSessionData.h"

namespace JOSC {

namespace {

constexpr const char* kNotify = "notify";
constexpr const char* kUnmodified = "unmodified";
constexpr unsigned int kModifiedWordLength = 20;

// Steps shared by "set" and "setn" up to the read: the address, then type, command and both
// index texts. The address goes through a local text so that a failing provider leaves nothing.
JLIB::JResult setParameterHead(OscCommandData& command, const char* word, OscParameter& parameters, uint32_t index,
                               uint32_t x, uint32_t y)
{
    std::string address;
    JLIB_RETURN_IF_FAILED(parameters.getAddress(address, index));
    command.address = std::move(address);
    command.type = kNotify;
    command.command = word;
    command.x = std::to_string(x);
    command.y = std::to_string(y);
    return JLIB::kOk;
}

void setSnapshot(OscCommandData& command, JVariantList& arguments, const char* word, const JVariant& category,
                 const JVariant& second, bool withModified)
{
    command.type = kNotify;
    command.command = word;
    arguments.push_back(category);
    arguments.push_back(second);
    if (withModified) arguments.emplace_back(kUnmodified, kModifiedWordLength);
}

JVariant int32Of(uint32_t number) { return JVariant(static_cast<int>(number)); }

}  // namespace

OscServerNotification::~OscServerNotification() = default;

JLIB::JResult OscServerNotification::makeNotification(OscCommandData* command, JVariantList* arguments) const
{
    if (command) *command = m_command;
    if (arguments) *arguments = m_arguments;
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSET::set(uint8_t origin, OscParameter& parameters, uint32_t index, uint32_t x,
                                            uint32_t y)
{
    JLIB_RETURN_IF_FAILED(setParameterHead(m_command, getCommandName(), parameters, index, x, y));
    JLIB_RETURN_IF_FAILED(parameters.getValue(m_arguments, origin, index, x, y));
    return parameters.getText(m_arguments, origin, index, x, y);
}

JLIB::JResult OscServerNotificationSETN::set(uint8_t origin, OscParameter& parameters, const OscSessionData& session,
                                             uint32_t index, uint32_t x, uint32_t y)
{
    JLIB_RETURN_IF_FAILED(setParameterHead(m_command, getCommandName(), parameters, index, x, y));
    JLIB_RETURN_IF_FAILED(parameters.getRatio(m_arguments, session.getResolution(), origin, index, x, y));
    JLIB_RETURN_IF_FAILED(parameters.getText(m_arguments, origin, index, x, y));
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationMTR::set(OscMeter& meters, uint32_t meterIndex)
{
    m_command.type = kNotify;
    m_command.command = getCommandName();
    std::string address;
    JLIB_RETURN_IF_FAILED(meters.getAddress(address, meterIndex));
    m_command.address = std::move(address);
    OscMeterAttrib attrib;
    attrib.clear();
    JLIB_RETURN_IF_FAILED(meters.getAttrib(attrib, meterIndex));
    const uint8_t* bytes = nullptr;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(meters.getMeters(bytes, count, meterIndex));
    m_arguments.emplace_back(attrib.typeToString(), kTypeWordLength);
    // Copied now: the provider's bytes are only valid until it next refreshes them. No bytes make
    // a value without type, which travels as no argument.
    m_arguments.emplace_back(bytes, count);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationDEVSTATUS::set(const char* key, const char* value)
{
    if (!key || !value) return kInvalidArgument;
    m_command.type = kNotify;
    m_command.command = getCommandName();
    m_arguments.emplace_back(key, kTextLength);
    m_arguments.emplace_back(value, kTextLength);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSSRECALL_EX::set(const JVariant& category, uint32_t number)
{
    setSnapshot(m_command, m_arguments, getCommandName(), category, int32Of(number), false);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSSCURRENT_EX::set(const JVariant& category, uint32_t number)
{
    setSnapshot(m_command, m_arguments, getCommandName(), category, int32Of(number), true);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSSUPDATE_EX::set(const JVariant& category, uint32_t number)
{
    setSnapshot(m_command, m_arguments, getCommandName(), category, int32Of(number), false);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSSRECALLT_EX::set(const JVariant& category, const JVariant& text)
{
    setSnapshot(m_command, m_arguments, getCommandName(), category, text, false);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSSCURRENTT_EX::set(const JVariant& category, const JVariant& text)
{
    setSnapshot(m_command, m_arguments, getCommandName(), category, text, true);
    return JLIB::kOk;
}

JLIB::JResult OscServerNotificationSSUPDATET_EX::set(const JVariant& category, const JVariant& text)
{
    setSnapshot(m_command, m_arguments, getCommandName(), category, text, false);
    return JLIB::kOk;
}

}  // namespace JOSC
