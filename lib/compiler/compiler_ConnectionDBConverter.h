#pragma once
// Reads the connection database text into its record and holds it until the next read.
// One task at a time (the compile service's); nothing is thrown out of it.
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "compiler_ConnectionDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class ConnectionDBConverter {
public:
    // Replaces the held record with what the text describes: an empty one when the text is not
    // JSON (the library's message then goes to standard output). Always 0.
    JLIB::JResult fromJsonString(const std::string& text);
    const T_CONNECTIONDB& getConnectionDB() const { return m_db; }

private:
    T_CONNECTIONDB m_db;
};

// The JSON library's conversion hook: clears db, then reads it. The three lists are sorted and
// hold each entry once; they are filled only when "components", "connections" and
// "logicConnections" are all present (a missing one goes to the debug print), while the DSP
// system values read before stay. Never throws.
void from_json(const nlohmann::json& value, T_CONNECTIONDB& db);

}  // namespace Compiler
