#include "editor/PacketConvcertor.h"

#include <cfloat>
#include <cstdint>
#include <exception>
#include <limits>

#include <nlohmann/json.hpp>

#include "dbgc/dbgc_stdapi.h"
#include "editor/VDProtocolDefine.h"

namespace VDProtocol {

namespace {

using json = nlohmann::json;

const json& nullJson()
{
    static const json null;
    return null;
}

// A JSON number beyond the float range becomes an infinity, as the IEEE narrowing gives it,
// without the undefined out-of-range conversion.
float narrowToFloat(double value)
{
    if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
    if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

void writeValue(json& object, const ArgumentMap& map, const std::string& key)
{
    if (key == KEY_COPY_DATA) {
        object[key] = map.toBase64Data(key);  // an empty text when it holds no Binary
        return;
    }
    switch (map.getType(key)) {
    case JVariant::kTypeInt32:
        object[key] = map.toInt32(key);
        break;
    case JVariant::kTypeUInt32:
        object[key] = map.toUInt32(key);
        break;
    case JVariant::kTypeFloat:
        object[key] = static_cast<double>(map.toFloat(key));
        break;
    case JVariant::kTypeString: {
        const char* text = map.toString(key);
        object[key] = text ? text : "";
        break;
    }
    default:  // Binary under another key and invalid values do not travel
        break;
    }
}

void readValue(ArgumentMap& map, const std::string& key, const json& value)
{
    // Each insert refuses an empty key, and a Base64 text that does not decode leaves the key out.
    switch (value.type()) {
    case json::value_t::boolean:
        (void)map.insert(key, value.get<bool>() ? 1 : 0);
        break;
    case json::value_t::number_float:
        (void)map.insert(key, narrowToFloat(value.get<double>()));
        break;
    case json::value_t::number_unsigned:
        (void)map.insert(key, static_cast<unsigned int>(value.get<uint64_t>()));  // low 32 bits
        break;
    case json::value_t::number_integer:
        (void)map.insert(key, static_cast<int>(static_cast<uint32_t>(value.get<int64_t>())));  // low 32 bits
        break;
    case json::value_t::string: {
        const std::string& text = value.get_ref<const std::string&>();
        const auto length = static_cast<unsigned int>(text.size());  // a line holds at most 5 MiB
        if (key == KEY_COPY_DATA) {
            (void)map.insertBase64(key, text.c_str(), length);
        } else {
            (void)map.insertString(key, text.c_str(), length + 1);
        }
        break;
    }
    default:  // null, arrays, objects
        break;
    }
}

}  // namespace

JLIB::JResult PacketConvcertor::Encode_VDProtocol(std::string& text, const PacketContainer& packet)
{
    text.clear();
    try {
        const json object = packet;
        text = object.dump();  // compact, UTF-8 unescaped; throws on text that is not UTF-8
    } catch (const std::exception&) {
        text.clear();
        return kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult PacketConvcertor::Decode_VDProtocol(PacketContainer& packet, std::string_view line)
{
    json object;
    try {
        object = json::parse(line.begin(), line.end());
    } catch (const json::parse_error&) {
        return kFailed;
    } catch (const std::exception&) {
        (void)dbgPrintf("JSON: unknown exception occurred.\n");
        return kFailed;
    }
    try {
        // Decoded aside, so that a line dropped halfway leaves the caller's packet as it was.
        PacketContainer decoded;
        from_json(object, decoded);
        packet = decoded;
    } catch (const std::exception&) {
        (void)dbgPrintf("JSON: unknown exception occurred.\n");
        return kFailed;
    }
    return JLIB::kOk;
}

void to_json(json& object, const PacketContainer& packet)
{
    json inner = json::object();
    inner["from"] = packet.from();
    if (!packet.to().empty()) inner["to"] = packet.to();
    if (!packet.requestID().empty()) inner["reqid"] = packet.requestID();
    if (!packet.commandName().empty()) inner["cmd"] = packet.getCommandString();
    if (packet.isResult()) {
        inner["result"] = packet.resultToString();
        inner["progress"] = packet.progressToString();
        inner["message"] = packet.message();
    }
    if (packet.cmndInfoNum() > 0) {
        json info = json::object();
        (void)map_to_json(info, packet.cmndInfo());  // always 0
        inner["cmdinfo"]["info"] = std::move(info);
    }
    if (packet.cmndListNum() > 0) {
        json list = json::array();
        for (size_t i = 0; i < packet.cmndListNum(); ++i) {
            json item = json::object();
            (void)map_to_json(item, packet.cmndListItem(i));  // always 0
            list.push_back(std::move(item));
        }
        inner["cmdinfo"]["list"] = std::move(list);
    }
    object = json::object();
    object[packet.category()] = std::move(inner);
}

void from_json(const json& object, PacketContainer& packet)
{
    packet.clear();
    const json& request = getJsonObject(object, COM_REQUEST);
    if (request.is_null()) {
        if (!isAboutJson(object, packet)) (void)dbgPrintf("JSON: 'component' tag not found.\n");
        return;
    }
    std::string from;
    std::string to;
    std::string requestId;
    std::string command;
    // Members that are missing or not strings read as empty texts.
    (void)getJsonValue(request, "from", from, "");
    (void)getJsonValue(request, "to", to, "");
    (void)getJsonValue(request, "reqid", requestId, "");
    (void)getJsonValue(request, "cmd", command, "");
    if (JLIB::isFailure(packet.initialize(COM_REQUEST, command.c_str(), from.c_str(), to.c_str(), requestId.c_str()))) {
        (void)dbgPrintf("JSON: 'commandInfo' decode error.\n");
        return;
    }
    const json& cmdinfo = getJsonObject(request, "cmdinfo");
    if (cmdinfo.is_null()) return;
    const json& info = getJsonObject(cmdinfo, "info");
    if (!info.is_null()) {
        ArgumentMap map;
        (void)map_from_json(map, info);  // throws for an "info" that is no object
        (void)packet.setCmndInfo(map);
    }
    const json& list = getJsonObject(cmdinfo, "list");
    if (list.is_null()) return;
    for (size_t i = 0; i < list.size(); ++i) {
        ArgumentMap map;
        (void)map_from_json(map, getJsonObject(list, i));  // a null element gives an empty map
        (void)packet.addCmndListItem(map);
    }
}

JLIB::JResult map_to_json(json& object, const ArgumentMap& map)
{
    for (const std::string& key : map.keys()) writeValue(object, map, key);
    return JLIB::kOk;
}

JLIB::JResult map_from_json(ArgumentMap& map, const json& object)
{
    // Asking a string, number or non-empty array for its member names throws the library's
    // invalid_iterator: such a map refuses the whole line. A null has no members.
    for (auto it = object.begin(); it != object.end(); ++it) readValue(map, it.key(), it.value());
    return JLIB::kOk;
}

bool isAboutJson(const json& object, PacketContainer& packet)
{
    const json& abort = getJsonObject(object, COM_ABORT);
    if (abort.is_null()) return false;
    std::string requestId;
    (void)getJsonValue(abort, "reqid", requestId, "");  // not a string: empty
    (void)packet.initialize(COM_ABORT, nullptr, nullptr, nullptr, requestId.c_str());  // 1: an abort has no command
    return true;
}

const json& getJsonObject(const json& object, const std::string& key)
{
    if (!object.is_object()) return nullJson();
    const auto it = object.find(key);
    return it == object.end() ? nullJson() : *it;
}

const json& getJsonObject(const json& array, size_t index)
{
    if (!array.is_array() || index >= array.size()) return nullJson();
    return array[index];
}

JLIB::JResult getJsonValue(const json& object, const std::string& key, std::string& text,
                           const std::string& defaultText)
{
    const json& value = getJsonObject(object, key);
    if (!value.is_string()) {
        text = defaultText;
        return JLIB::kFailed;
    }
    text = value.get<std::string>();
    return JLIB::kOk;
}

}  // namespace VDProtocol
