#pragma once
// Reads the compile result document into an AudioConfig. No shared state; any thread.
// Nothing is thrown out of these functions.
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "dravo_AudioConfig.h"

namespace DRAVO {

// The configuration the text describes. A text that is not JSON prints the library's "message: "
// and "exception id: " lines on standard output and gives a cleared configuration.
AudioConfig parseAudioConfigJSON(const std::string& text);

// The JSON library's conversion hook: clears config, then reads it part by part; a missing part
// goes to the debug print and ends the reading with the parts before it kept (a missing
// "logicConnections" only prints). A member that does not convert takes its default.
void from_json(const nlohmann::json& value, AudioConfig& config);

}  // namespace DRAVO
