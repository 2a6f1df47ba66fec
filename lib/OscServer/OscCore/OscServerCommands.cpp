#include "OscServer/OscCore/OscServerCommands.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscAddressAttrib.h"
#include "OscServer/OscCore/OscInfoAccessor.h"
#include "OscServer/OscCore/OscMeterAttrib.h"
#include "OscServer/OscCore/OscSessionData.h"
#include "OscServer/OscCore/OscSnapshotAttrib.h"
#include "jlib/jlib_number.h"

namespace JOSC {

namespace {

// A plain String keeps the whole text; JVariant itself turns more than 1023 characters into "ERROR:".
constexpr unsigned int kWholeText = 0xFFFFFFFFu;
constexpr unsigned int kShortText = 20;
constexpr unsigned int kInfoText = 32;
constexpr unsigned int kAttribText = 64;
constexpr unsigned int kMeterAddressText = 200;
constexpr int32_t kLongestIdentify = 60;
constexpr JLIB::JResult kDoneNotExactly = 1;

bool isNumber(const JVariant& v) { return v.getType() == JVariant::kTypeInt32 || v.getType() == JVariant::kTypeUInt32; }
bool isString(const JVariant& v) { return v.getType() == JVariant::kTypeString; }
// The text of a String argument; "" for any other type.
std::string textOf(const JVariant& v)
{
    const char* text = isString(v) ? v.toString() : nullptr;
    return text ? text : "";
}

JVariant str(const char* text, unsigned int maxLength = kWholeText) { return JVariant(text ? text : "", maxLength); }
JVariant str(const std::string& text, unsigned int maxLength = kWholeText) { return str(text.c_str(), maxLength); }
JVariant int32(uint32_t value) { return JVariant(static_cast<int>(value)); }

void append(JVariantList* reply, JVariant value)
{
    if (reply) reply->push_back(std::move(value));
}

// An index text as an element number: 0 when absent, else its decimal value (a "-" wraps).
uint32_t indexOf(const std::string& text)
{
    if (text.empty()) return 0;
    uint32_t value = 0;
    (void)jlib_strntoul(&value, text.c_str(), nullptr, 10, static_cast<uint32_t>(text.size()));  // 0 or held at the limit
    return value;
}

// The provider's code is not passed on: a lookup that fails always means an unknown address.
JLIB::JResult parameterIndex(OscInfoAccessor& accessor, const OscCommandData& command, uint32_t& index)
{
    index = 0;
    if (JLIB::isFailure(accessor.getParameters().getIndexFromAddress(index, command.address))) return kUnknownAddress;
    return JLIB::kOk;
}

JLIB::JResult meterIndex(OscInfoAccessor& accessor, const OscCommandData& command, uint32_t& index)
{
    index = 0;
    if (JLIB::isFailure(accessor.getMeters().getIndexFromAddress(index, command.address))) return kUnknownAddress;
    return JLIB::kOk;
}

// Reads go into the reply, or nowhere when there is none.
JVariantList& target(JVariantList* reply, JVariantList& scratch) { return reply ? *reply : scratch; }

enum class Read { kValue, kRatio, kText };

JLIB::JResult readElement(Read kind, uint8_t origin, const OscCommandData& command, OscInfoAccessor& accessor,
                   JVariantList* reply)
{
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(parameterIndex(accessor, command, index));
    const uint32_t x = indexOf(command.x);
    const uint32_t y = indexOf(command.y);
    JVariantList scratch;
    JVariantList& out = target(reply, scratch);
    OscParameter& parameters = accessor.getParameters();
    switch (kind) {
    case Read::kValue: return parameters.getValue(out, origin, index, x, y);
    case Read::kRatio:
        return parameters.getRatio(out, accessor.getSessionData().getResolution(), origin, index, x, y);
    case Read::kText: return parameters.getText(out, origin, index, x, y);
    }
    return JLIB::kFailed;
}

// The element as it is after a write; the reads' own results do not change the write's.
void readBack(std::initializer_list<Read> reads, uint8_t origin, OscParameter& parameters, uint32_t resolution,
              uint32_t index, uint32_t x, uint32_t y, JVariantList* reply)
{
    if (!reply) return;
    for (Read kind : reads) {
        switch (kind) {
        case Read::kValue: (void)parameters.getValue(*reply, origin, index, x, y); break;
        case Read::kRatio: (void)parameters.getRatio(*reply, resolution, origin, index, x, y); break;
        case Read::kText: (void)parameters.getText(*reply, origin, index, x, y); break;
        }
    }
}

// One procedure for the four writes: address first, then the argument count.
template <typename Write>
JLIB::JResult write(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                    OscInfoAccessor& accessor, JVariantList* reply, std::initializer_list<Read> reads, Write doWrite)
{
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(parameterIndex(accessor, command, index));
    if (arguments.empty()) return kInvalidArgument;
    const uint32_t x = indexOf(command.x);
    const uint32_t y = indexOf(command.y);
    OscParameter& parameters = accessor.getParameters();
    const JLIB::JResult result = doWrite(parameters, index, x, y);
    if (JLIB::isFailure(result)) return result;
    readBack(reads, origin, parameters, accessor.getSessionData().getResolution(), index, x, y, reply);
    return result;
}

// The parameter indices of an address, or of the members of a group address.
JLIB::JResult subscriptionIndices(OscInfoAccessor& accessor, const OscCommandData& command, OscIndexList& indices)
{
    uint32_t index = 0;
    if (JLIB::isSuccess(accessor.getParameters().getIndexFromAddress(index, command.address))) {
        indices.assign(1, index);
        return JLIB::kOk;
    }
    indices.clear();
    if (JLIB::isFailure(accessor.getParameters().getIndexListFromAddress(indices, command.address))) {
        return kUnknownAddress;
    }
    return JLIB::kOk;
}

// The checks of the snapshot commands, in order: count, a String category, the second argument.
enum class Second { kNone, kNumber, kText };

JLIB::JResult checkSnapshotArguments(const JVariantList& arguments, Second second)
{
    const size_t needed = second == Second::kNone ? 1 : 2;
    if (arguments.size() < needed) return kInvalidArgument;
    if (!isString(arguments[0])) return kInvalidArgument;
    if (second == Second::kNumber && !isNumber(arguments[1])) return kInvalidArgument;
    if (second == Second::kText && !isString(arguments[1])) return kInvalidArgument;
    return JLIB::kOk;
}

void appendSnapshotTexts(JVariantList* reply, const OscSnapshotAttrib& attrib)
{
    append(reply, str(attrib.name));
    append(reply, str(attrib.title));
    append(reply, str(attrib.comment));
    append(reply, str(attrib.attribToString(), kAttribText));
}

const char* modifiedWord(bool modified) { return modified ? "modified" : "unmodified"; }

// "devinfo" and "devstatus": any failure of the provider is reported as an invalid key.
template <typename Get>
JLIB::JResult deviceText(const JVariantList& arguments, JVariantList* reply, Get get)
{
    if (arguments.empty() || !isString(arguments[0])) return kInvalidArgument;
    std::string value;
    const JLIB::JResult result = get(value, textOf(arguments[0]));
    append(reply, arguments[0]);
    append(reply, str(value));
    return JLIB::isFailure(result) ? kInvalidArgument : JLIB::kOk;
}

// A "scpmode" option whose value is one of two words, the first meaning 0 and the second 1.
template <typename Set>
JLIB::JResult setWordOption(const JVariant* value, const char* first, const char* second, Set set)
{
    if (!value || !isString(*value)) return kInvalidArgument;
    const std::string word = textOf(*value);
    if (word == first) return set(0u);
    if (word == second) return set(1u);
    return kInvalidArgument;
}

JLIB::JResult setScpOption(OscSessionData& session, const std::string& key, const JVariant* value)
{
    if (key == "valuetype") {
        return setWordOption(value, "raw", "normalized",
                             [&](uint32_t v) { return session.setValueType(static_cast<OscValueType>(v)); });
    }
    if (key == "sstype") {
        return setWordOption(value, "index", "text",
                             [&](uint32_t v) { return session.setSnapshotType(static_cast<OscSnapshotType>(v)); });
    }
    if (key == "resolution") {
        if (!value || !isNumber(*value) || value->toInt32() < static_cast<int32_t>(OscSessionData::kMinResolution)) {
            return kInvalidArgument;
        }
        return session.setResolution(value->toUInt32());
    }
    if (key == "maxmsg") {
        if (!value) {
            session.setMaxMessageNum(OscSessionData::kNoMessageCap);
            return JLIB::kOk;
        }
        if (!isNumber(*value) || value->toInt32() < 1) return kInvalidArgument;
        session.setMaxMessageNum(value->toUInt32());
        return JLIB::kOk;
    }
    // "format", "encoding" and "keepalive" are refused like any unknown key: the format and the
    // encoding are fixed, and keep-alive has its own command.
    return kInvalidArgument;
}

}  // namespace


// Parameter reads.

JLIB::JResult OscServerCommandGET::run(uint8_t origin, const OscCommandData& command, const JVariantList&,
                                       OscInfoAccessor& accessor, JVariantList* reply)
{
    return readElement(Read::kValue, origin, command, accessor, reply);
}

JLIB::JResult OscServerCommandGETN::run(uint8_t origin, const OscCommandData& command, const JVariantList&,
                                        OscInfoAccessor& accessor, JVariantList* reply)
{
    return readElement(Read::kRatio, origin, command, accessor, reply);
}

JLIB::JResult OscServerCommandGETT::run(uint8_t origin, const OscCommandData& command, const JVariantList&,
                                        OscInfoAccessor& accessor, JVariantList* reply)
{
    return readElement(Read::kText, origin, command, accessor, reply);
}

// Parameter writes.

JLIB::JResult OscServerCommandSET::run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                       OscInfoAccessor& accessor, JVariantList* reply)
{
    return write(origin, command, arguments, accessor, reply, {Read::kValue, Read::kText},
                 [&](OscParameter& p, uint32_t index, uint32_t x, uint32_t y) {
                     return p.setValue(origin, index, x, y, arguments);
                 });
}

JLIB::JResult OscServerCommandSETN::run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                        OscInfoAccessor& accessor, JVariantList* reply)
{
    const uint32_t resolution = accessor.getSessionData().getResolution();
    bool clipped = false;
    const JLIB::JResult result = write(
        origin, command, arguments, accessor, reply, {Read::kRatio, Read::kText},
        [&](OscParameter& p, uint32_t index, uint32_t x, uint32_t y) {
            JVariantList ratios;
            ratios.reserve(arguments.size());
            for (const JVariant& argument : arguments) {
                const int32_t v = argument.toInt32();
                uint32_t ratio = static_cast<uint32_t>(v);
                if (v < 0) {
                    ratio = 0;
                    clipped = true;
                } else if (ratio >= resolution) {
                    ratio = resolution == 0 ? 0 : resolution - 1;
                    clipped = true;
                }
                ratios.emplace_back(ratio);
            }
            return p.setRatio(origin, index, x, y, ratios, resolution);
        });
    if (JLIB::isFailure(result)) return result;
    return clipped ? kDoneNotExactly : result;
}

JLIB::JResult OscServerCommandSETR::run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                        OscInfoAccessor& accessor, JVariantList* reply)
{
    return write(origin, command, arguments, accessor, reply, {Read::kValue, Read::kText},
                 [&](OscParameter& p, uint32_t index, uint32_t x, uint32_t y) {
                     return p.incDec(origin, index, x, y, arguments, 0, 0);
                 });
}

JLIB::JResult OscServerCommandSETT::run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                        OscInfoAccessor& accessor, JVariantList* reply)
{
    return write(origin, command, arguments, accessor, reply, {Read::kText},
                 [&](OscParameter& p, uint32_t index, uint32_t x, uint32_t y) {
                     return p.setText(origin, index, x, y, arguments);
                 });
}

// Parameter information.

JLIB::JResult OscServerCommandPRMINFO::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                           OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty()) return kInvalidArgument;
    // The provider's own numbering: not an index text, so no origin conversion.
    const uint32_t number = arguments[0].toUInt32();
    std::vector<OscAddressAttrib> records;
    const JLIB::JResult result = accessor.getParameters().getAttrib(records, number);
    for (const OscAddressAttrib& r : records) {
        append(reply, int32(number));
        append(reply, str(r.address));
        append(reply, int32(r.xSize));
        append(reply, int32(r.ySize));
        append(reply, JVariant(static_cast<int>(r.minimum)));
        append(reply, JVariant(static_cast<int>(r.maximum)));
        append(reply, r.infoValue);
        append(reply, str(r.infoText, kInfoText));
        append(reply, str(r.typeToString(), kInfoText));
        append(reply, str(r.uiTypeToString(), kInfoText));
        append(reply, str(r.accessToString(), kInfoText));
        append(reply, JVariant(static_cast<int>(r.scaling)));
    }
    return result;
}

JLIB::JResult OscServerCommandPRMNUM::run(uint8_t, const OscCommandData&, const JVariantList&,
                                          OscInfoAccessor& accessor, JVariantList* reply)
{
    append(reply, int32(accessor.getParameters().getAddressNum()));
    return JLIB::kOk;
}

// Subscriptions.

JLIB::JResult OscServerCommandSUBSCRIBE::run(uint8_t, const OscCommandData& command, const JVariantList&,
                                             OscInfoAccessor& accessor, JVariantList*)
{
    OscIndexList indices;
    JLIB_RETURN_IF_FAILED(subscriptionIndices(accessor, command, indices));
    return accessor.getSessionData().subscribeAddress(indices);
}

JLIB::JResult OscServerCommandUNSUBSCRIBE::run(uint8_t, const OscCommandData& command, const JVariantList&,
                                               OscInfoAccessor& accessor, JVariantList*)
{
    OscIndexList indices;
    JLIB_RETURN_IF_FAILED(subscriptionIndices(accessor, command, indices));
    return accessor.getSessionData().unsubscribeAddress(indices);
}

// Meters.

JLIB::JResult OscServerCommandMTRINFO::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                           OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty() || !isNumber(arguments[0])) return kInvalidArgument;
    OscMeterAttrib attrib;
    attrib.clear();
    const JLIB::JResult result = accessor.getMeters().getAttrib(attrib, arguments[0].toUInt32());
    append(reply, arguments[0]);
    append(reply, str(attrib.address, kMeterAddressText));
    append(reply, int32(attrib.count));
    append(reply, str(attrib.typeToString(), kShortText));
    return result;
}

JLIB::JResult OscServerCommandMTRNUM::run(uint8_t, const OscCommandData&, const JVariantList&,
                                          OscInfoAccessor& accessor, JVariantList* reply)
{
    append(reply, int32(accessor.getMeters().getAddressNum()));
    return JLIB::kOk;
}

JLIB::JResult OscServerCommandMTRSTART::run(uint8_t, const OscCommandData& command, const JVariantList& arguments,
                                            OscInfoAccessor& accessor, JVariantList*)
{
    if (arguments.empty() || !isNumber(arguments[0])) return kInvalidArgument;
    const uint32_t intervalMs = arguments[0].toUInt32();
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(meterIndex(accessor, command, index));
    return accessor.getSessionData().setMeterStart(index, intervalMs);
}

JLIB::JResult OscServerCommandMTRSTOP::run(uint8_t, const OscCommandData& command, const JVariantList&,
                                           OscInfoAccessor& accessor, JVariantList*)
{
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(meterIndex(accessor, command, index));
    return accessor.getSessionData().setMeterStop(index);
}

// Snapshots: the category first, then the snapshot by number or by name.

JLIB::JResult OscServerCommandSSCURRENT_EX::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                                OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kNone));
    uint32_t number = 0;
    bool modified = false;
    const JLIB::JResult result = accessor.getParameters().getCurrentSnapshot(number, modified, textOf(arguments[0]));
    append(reply, arguments[0]);
    append(reply, int32(number));
    append(reply, str(modifiedWord(modified), kShortText));
    return result;
}

JLIB::JResult OscServerCommandSSCURRENTT_EX::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                                 OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kNone));
    std::string name;
    bool modified = false;
    const JLIB::JResult result = accessor.getParameters().getCurrentSnapshot(name, modified, textOf(arguments[0]));
    append(reply, arguments[0]);
    append(reply, str(name));
    append(reply, str(modifiedWord(modified), kShortText));
    return result;
}

JLIB::JResult OscServerCommandSSINFO_EX::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                             OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kNumber));
    const uint32_t number = arguments[1].toUInt32();
    OscSnapshotAttrib attrib;
    attrib.clear();
    const JLIB::JResult result = accessor.getParameters().getSnapshotAttrib(attrib, textOf(arguments[0]), number);
    append(reply, arguments[0]);
    append(reply, int32(number));
    appendSnapshotTexts(reply, attrib);
    return result;
}

JLIB::JResult OscServerCommandSSINFOT_EX::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                              OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kText));
    OscSnapshotAttrib attrib;
    attrib.clear();
    const JLIB::JResult result =
        accessor.getParameters().getSnapshotAttrib(attrib, textOf(arguments[0]), textOf(arguments[1]));
    append(reply, arguments[0]);
    append(reply, arguments[1]);
    appendSnapshotTexts(reply, attrib);
    return result;
}

JLIB::JResult OscServerCommandSSNUM_EX::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                            OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kNone));
    const uint32_t count = accessor.getParameters().getSnapshotNum(textOf(arguments[0]));
    append(reply, arguments[0]);
    append(reply, int32(count));
    return JLIB::kOk;
}

JLIB::JResult OscServerCommandSSRECALL_EX::run(uint8_t origin, const OscCommandData&, const JVariantList& arguments,
                                               OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kNumber));
    const JLIB::JResult result =
        accessor.getParameters().recallSnapshot(origin, textOf(arguments[0]), arguments[1].toUInt32());
    append(reply, arguments[0]);
    append(reply, arguments[1]);
    return result;
}

JLIB::JResult OscServerCommandSSRECALLT_EX::run(uint8_t origin, const OscCommandData&, const JVariantList& arguments,
                                                OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kText));
    const JLIB::JResult result =
        accessor.getParameters().recallSnapshot(origin, textOf(arguments[0]), textOf(arguments[1]));
    append(reply, arguments[0]);
    append(reply, arguments[1]);
    return result;
}

JLIB::JResult OscServerCommandSSUPDATE_EX::run(uint8_t origin, const OscCommandData&, const JVariantList& arguments,
                                               OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kNumber));
    const JLIB::JResult result =
        accessor.getParameters().updateSnapshot(origin, textOf(arguments[0]), arguments[1].toUInt32());
    append(reply, arguments[0]);
    append(reply, arguments[1]);
    return result;
}

JLIB::JResult OscServerCommandSSUPDATET_EX::run(uint8_t origin, const OscCommandData&, const JVariantList& arguments,
                                                OscInfoAccessor& accessor, JVariantList* reply)
{
    JLIB_RETURN_IF_FAILED(checkSnapshotArguments(arguments, Second::kText));
    const JLIB::JResult result =
        accessor.getParameters().updateSnapshot(origin, textOf(arguments[0]), textOf(arguments[1]));
    append(reply, arguments[0]);
    append(reply, arguments[1]);
    return result;
}

// Device.

JLIB::JResult OscServerCommandDEVINFO::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                           OscInfoAccessor& accessor, JVariantList* reply)
{
    return deviceText(arguments, reply, [&](std::string& value, const std::string& key) {
        return accessor.getDeviceController().getDeviceInfo(value, key);
    });
}

JLIB::JResult OscServerCommandDEVMODE::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                           OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty() || !isString(arguments[0])) return kInvalidArgument;
    const JLIB::JResult result = accessor.getDeviceController().changeDeviceMode(textOf(arguments[0]));
    append(reply, arguments[0]);
    return JLIB::isFailure(result) ? kInvalidArgument : JLIB::kOk;
}

JLIB::JResult OscServerCommandDEVSTATUS::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                             OscInfoAccessor& accessor, JVariantList* reply)
{
    return deviceText(arguments, reply, [&](std::string& value, const std::string& key) {
        return accessor.getDeviceController().getDeviceStatus(value, key);
    });
}

JLIB::JResult OscServerCommandEVENT::run(uint8_t origin, const OscCommandData&, const JVariantList& arguments,
                                         OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty() || !isString(arguments[0])) return kInvalidArgument;
    const JVariantList eventArguments(arguments.begin() + 1, arguments.end());
    const JLIB::JResult result =
        accessor.getDeviceController().runEvent(origin, textOf(arguments[0]), eventArguments);
    for (const JVariant& argument : arguments) append(reply, argument);
    return result;
}

JLIB::JResult OscServerCommandSCPMODE::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                           OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty() || !isString(arguments[0])) return kInvalidArgument;
    const JVariant* value = arguments.size() > 1 ? &arguments[1] : nullptr;
    JLIB_RETURN_IF_FAILED(setScpOption(accessor.getSessionData(), textOf(arguments[0]), value));
    append(reply, arguments[0]);
    if (value) append(reply, *value);
    return JLIB::kOk;
}

JLIB::JResult OscServerCommandLISTITEM::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                            OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.size() < 2 || !isString(arguments[0])) return kInvalidArgument;
    const uint32_t itemIndex = arguments[1].toUInt32();
    JVariant item;
    (void)item.invalid();  // always 0
    bool flag = false;
    const JLIB::JResult result =
        accessor.getDeviceController().getListItem(textOf(arguments[0]), itemIndex, item, flag);
    append(reply, arguments[0]);
    append(reply, int32(itemIndex));
    append(reply, item);
    return flag ? kDoneNotExactly : result;
}

JLIB::JResult OscServerCommandLISTITEMNUM::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                               OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty() || !isString(arguments[0])) return kInvalidArgument;
    uint32_t count = 0;
    uint32_t head = 0;
    uint32_t tail = 0;
    const JLIB::JResult result =
        accessor.getDeviceController().getListItemNum(textOf(arguments[0]), count, head, tail);
    append(reply, arguments[0]);
    append(reply, int32(count));
    append(reply, int32(head));
    append(reply, int32(tail));
    return result;
}

JLIB::JResult OscServerCommandIDENTIFY::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                            OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty()) return kInvalidArgument;
    int32_t duration = arguments[0].toInt32();
    const bool clipped = duration > kLongestIdentify;
    if (clipped) duration = kLongestIdentify;
    // No lower bound: a negative duration reaches the controller as its two's complement.
    const JLIB::JResult result = accessor.getDeviceController().runIdentify(static_cast<uint32_t>(duration));
    append(reply, JVariant(static_cast<int>(duration)));
    if (JLIB::isFailure(result)) return result;
    return clipped ? kDoneNotExactly : JLIB::kOk;
}

// Session.

JLIB::JResult OscServerCommandKEEPALIVE::run(uint8_t, const OscCommandData&, const JVariantList& arguments,
                                             OscInfoAccessor& accessor, JVariantList* reply)
{
    if (arguments.empty()) return kInvalidArgument;
    OscSessionData& session = accessor.getSessionData();
    const int32_t asked = arguments[0].toInt32();
    const uint32_t interval = asked < 0 ? 0u : static_cast<uint32_t>(asked);
    session.setKeepAliveInterval(interval);
    (void)session.startKeepAlive();  // always 0
    append(reply, int32(session.getKeepAliveInterval()));
    if (arguments.size() > 1) {
        const uint16_t port = static_cast<uint16_t>(arguments[1].toUInt32() & 0xFFFFu);
        session.setTxPort(port);
        append(reply, int32(port));
    } else {
        append(reply, int32(session.getTxPort()));
    }
    if (session.getSessionNo() == 0) session.setSessionNo(OscSessionData::makeSessionNo());
    append(reply, int32(session.getSessionNo()));
    return static_cast<uint32_t>(asked) != session.getKeepAliveInterval() ? kDoneNotExactly : JLIB::kOk;
}

// Words, answers and the table.

const char* OscServerCommandGET::getCommandName() const { return "get"; }
bool OscServerCommandGET::shouldReply() const { return true; }
const char* OscServerCommandGETN::getCommandName() const { return "getn"; }
bool OscServerCommandGETN::shouldReply() const { return true; }
const char* OscServerCommandGETT::getCommandName() const { return "gett"; }
bool OscServerCommandGETT::shouldReply() const { return true; }
const char* OscServerCommandSET::getCommandName() const { return "set"; }
const char* OscServerCommandSETN::getCommandName() const { return "setn"; }
const char* OscServerCommandSETR::getCommandName() const { return "setr"; }
const char* OscServerCommandSETT::getCommandName() const { return "sett"; }
const char* OscServerCommandPRMINFO::getCommandName() const { return "prminfo"; }
bool OscServerCommandPRMINFO::shouldReply() const { return true; }
const char* OscServerCommandPRMNUM::getCommandName() const { return "prmnum"; }
bool OscServerCommandPRMNUM::shouldReply() const { return true; }
const char* OscServerCommandSUBSCRIBE::getCommandName() const { return "subscribe"; }
const char* OscServerCommandUNSUBSCRIBE::getCommandName() const { return "unsubscribe"; }
const char* OscServerCommandMTRINFO::getCommandName() const { return "mtrinfo"; }
bool OscServerCommandMTRINFO::shouldReply() const { return true; }
const char* OscServerCommandMTRNUM::getCommandName() const { return "mtrnum"; }
bool OscServerCommandMTRNUM::shouldReply() const { return true; }
const char* OscServerCommandMTRSTART::getCommandName() const { return "mtrstart"; }
const char* OscServerCommandMTRSTOP::getCommandName() const { return "mtrstop"; }
const char* OscServerCommandSSCURRENT_EX::getCommandName() const { return "sscurrent_ex"; }
bool OscServerCommandSSCURRENT_EX::shouldReply() const { return true; }
const char* OscServerCommandSSCURRENTT_EX::getCommandName() const { return "sscurrentt_ex"; }
bool OscServerCommandSSCURRENTT_EX::shouldReply() const { return true; }
const char* OscServerCommandSSINFO_EX::getCommandName() const { return "ssinfo_ex"; }
bool OscServerCommandSSINFO_EX::shouldReply() const { return true; }
const char* OscServerCommandSSINFOT_EX::getCommandName() const { return "ssinfot_ex"; }
bool OscServerCommandSSINFOT_EX::shouldReply() const { return true; }
const char* OscServerCommandSSNUM_EX::getCommandName() const { return "ssnum_ex"; }
bool OscServerCommandSSNUM_EX::shouldReply() const { return true; }
const char* OscServerCommandSSRECALL_EX::getCommandName() const { return "ssrecall_ex"; }
const char* OscServerCommandSSRECALLT_EX::getCommandName() const { return "ssrecallt_ex"; }
const char* OscServerCommandSSUPDATE_EX::getCommandName() const { return "ssupdate_ex"; }
const char* OscServerCommandSSUPDATET_EX::getCommandName() const { return "ssupdatet_ex"; }
const char* OscServerCommandDEVINFO::getCommandName() const { return "devinfo"; }
bool OscServerCommandDEVINFO::shouldReply() const { return true; }
const char* OscServerCommandDEVMODE::getCommandName() const { return "devmode"; }
const char* OscServerCommandDEVSTATUS::getCommandName() const { return "devstatus"; }
bool OscServerCommandDEVSTATUS::shouldReply() const { return true; }
const char* OscServerCommandEVENT::getCommandName() const { return "event"; }
const char* OscServerCommandSCPMODE::getCommandName() const { return "scpmode"; }
const char* OscServerCommandLISTITEM::getCommandName() const { return "listitem"; }
bool OscServerCommandLISTITEM::shouldReply() const { return true; }
const char* OscServerCommandLISTITEMNUM::getCommandName() const { return "listitemnum"; }
bool OscServerCommandLISTITEMNUM::shouldReply() const { return true; }
const char* OscServerCommandIDENTIFY::getCommandName() const { return "identify"; }
const char* OscServerCommandKEEPALIVE::getCommandName() const { return "keepalive"; }

OscServerCommandGET commandGET;
OscServerCommandGETN commandGETN;
OscServerCommandGETT commandGETT;
OscServerCommandSET commandSET;
OscServerCommandSETN commandSETN;
OscServerCommandSETR commandSETR;
OscServerCommandSETT commandSETT;
OscServerCommandPRMINFO commandPRMINFO;
OscServerCommandPRMNUM commandPRMNUM;
OscServerCommandSUBSCRIBE commandSUBSCRIBE;
OscServerCommandUNSUBSCRIBE commandUNSUBSCRIBE;
OscServerCommandMTRINFO commandMTRINFO;
OscServerCommandMTRNUM commandMTRNUM;
OscServerCommandMTRSTART commandMTRSTART;
OscServerCommandMTRSTOP commandMTRSTOP;
OscServerCommandSSCURRENT_EX commandSSCURRENT_EX;
OscServerCommandSSCURRENTT_EX commandSSCURRENTT_EX;
OscServerCommandSSINFO_EX commandSSINFO_EX;
OscServerCommandSSINFOT_EX commandSSINFOT_EX;
OscServerCommandSSNUM_EX commandSSNUM_EX;
OscServerCommandSSRECALL_EX commandSSRECALL_EX;
OscServerCommandSSRECALLT_EX commandSSRECALLT_EX;
OscServerCommandSSUPDATE_EX commandSSUPDATE_EX;
OscServerCommandSSUPDATET_EX commandSSUPDATET_EX;
OscServerCommandDEVINFO commandDEVINFO;
OscServerCommandDEVMODE commandDEVMODE;
OscServerCommandDEVSTATUS commandDEVSTATUS;
OscServerCommandEVENT commandEVENT;
OscServerCommandSCPMODE commandSCPMODE;
OscServerCommandLISTITEM commandLISTITEM;
OscServerCommandLISTITEMNUM commandLISTITEMNUM;
OscServerCommandIDENTIFY commandIDENTIFY;
OscServerCommandKEEPALIVE commandKEEPALIVE;

OscServerCommand* const sServerCommmandTable[kServerCommandCount] = {
    &commandGET,
    &commandGETN,
    &commandGETT,
    &commandSET,
    &commandSETN,
    &commandSETR,
    &commandSETT,
    &commandPRMINFO,
    &commandPRMNUM,
    &commandSUBSCRIBE,
    &commandUNSUBSCRIBE,
    &commandMTRINFO,
    &commandMTRNUM,
    &commandMTRSTART,
    &commandMTRSTOP,
    &commandSSCURRENT_EX,
    &commandSSCURRENTT_EX,
    &commandSSINFO_EX,
    &commandSSINFOT_EX,
    &commandSSNUM_EX,
    &commandSSRECALL_EX,
    &commandSSRECALLT_EX,
    &commandSSUPDATE_EX,
    &commandSSUPDATET_EX,
    &commandDEVINFO,
    &commandDEVMODE,
    &commandDEVSTATUS,
    &commandEVENT,
    &commandSCPMODE,
    &commandLISTITEM,
    &commandLISTITEMNUM,
    &commandIDENTIFY,
    &commandKEEPALIVE,
};

}  // namespace JOSC
