#pragma once
// Reads the DSP system database text into its record and holds it until the next read.
// One task at a time (the compile service's); nothing is thrown out of it.
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "compiler_DspSystemDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class DspSystemDBConverter {
public:
    // Replaces the held record with what the text describes: an empty one when the text is not
    // JSON (the library's message then goes to standard output). Always 0.
    JLIB::JResult fromJsonString(const std::string& text);
    const std::vector<T_DSPSYSTEMDB_DSPSYSTEM>& getDspSystemDB() const { return m_db.dspSystems; }

private:
    T_DSPSYSTEMDB m_db;
};

// The JSON library's conversion hook: clears db, then reads it; a missing "dspSystemDB" or
// "dspSystems" goes to the debug print and leaves db empty. DSP and core numbers are the
// positions in their lists. Never throws.
void from_json(const nlohmann::json& value, T_DSPSYSTEMDB& db);

}  // namespace Compiler
