#pragma once
// The editor link's line codec: one packet to and from one compact JSON object whose single
// member, named after the category, holds the packet. Stateless; both directions run on the
// editor-link thread. The JSON library's exceptions stop here.
#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "editor/ArgumentMap.h"
#include "editor/PacketContainer.h"
#include "jlib/jlib_result.h"

namespace VDProtocol {

class PacketConvcertor {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    PacketConvcertor() = default;
    virtual ~PacketConvcertor() = default;

    // The compact JSON text of the packet, without a line feed; 0, or 0x80000000 with the text
    // left empty when the packet holds text that is not valid UTF-8.
    [[nodiscard]] static JLIB::JResult Encode_VDProtocol(std::string& text, const PacketContainer& packet);
    // Replaces the packet by what the line holds (white space around the object allowed): 0 for
    // any JSON text, also one without a known category (an empty packet then). 0x80000000 with
    // the packet unchanged for a line that is not JSON, or whose "info" or list element is not an
    // object ("JSON: unknown exception occurred.\n" printed).
    [[nodiscard]] static JLIB::JResult Decode_VDProtocol(PacketContainer& packet, std::string_view line);
};

// Called by the JSON library when a packet is assigned to or taken from a JSON value. from_json
// prints "JSON: 'commandInfo' decode error.\n" for a request whose "cmd" does not split and
// "JSON: 'component' tag not found.\n" for an object with neither "request" nor "abort"; it
// throws the library's exceptions for an "info" or list element that is not an object.
void to_json(nlohmann::json& json, const PacketContainer& packet);
void from_json(const nlohmann::json& json, PacketContainer& packet);

// One argument map to and from a JSON object; both answer 0. Binary values leave only under
// "d:data" (as Base64 text); null, array and object members are skipped when reading.
JLIB::JResult map_to_json(nlohmann::json& object, const ArgumentMap& map);
JLIB::JResult map_from_json(ArgumentMap& map, const nlohmann::json& object);

// True when the json holds a non-null "abort", which is then decoded into the packet.
bool isAboutJson(const nlohmann::json& json, PacketContainer& packet);

// The member or element, or a shared null value when the json is no object (array) or lacks it.
const nlohmann::json& getJsonObject(const nlohmann::json& json, const std::string& key);
const nlohmann::json& getJsonObject(const nlohmann::json& json, size_t index);
// A string member into text: 0; otherwise text becomes the default and 0x80000000.
JLIB::JResult getJsonValue(const nlohmann::json& json, const std::string& key, std::string& text,
                           const std::string& defaultText);

}  // namespace VDProtocol
