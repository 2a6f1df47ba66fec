#pragma once
// Reads the component database text into its record and holds it until the next read.
// One task at a time (the compile service's); nothing is thrown out of it.
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "compiler_ComponentDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class ComponentDBConverter {
public:
    // Replaces the held record with what the text describes: an empty one when the text is not
    // JSON (the library's message then goes to standard output). Always 0.
    JLIB::JResult fromJsonString(const std::string& text);
    const std::vector<T_COMPONENTDB_COMPONENT>& getComponentDB() const { return m_db.components; }

private:
    T_COMPONENTDB m_db;
};

// The JSON library's conversion hook: clears db, then reads it; a missing "componentDB" or
// "components" goes to the debug print and leaves db empty. Never throws.
void from_json(const nlohmann::json& value, T_COMPONENTDB& db);

}  // namespace Compiler
