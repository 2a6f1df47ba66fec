#pragma once
// Holds a compile result and writes it as the compile result document ("CompileResult.json").
// One task at a time (the compile service's); nothing is thrown out of it.
#include <string>

#include "compiler_CompileResult.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class CompileResultConverter {
public:
    // Copies result into the converter. Always 0.
    JLIB::JResult setCompileResult(const T_COMPILERESULT& result);

    // Writes the held result: members sorted by key, indent 2, no final line feed; lists sorted,
    // each entry once. 0x80000000 and an empty text when the DSP system name is empty or a text
    // is not valid UTF-8.
    [[nodiscard]] JLIB::JResult toJsonString(std::string& text) const;

private:
    T_COMPILERESULT m_result;
};

}  // namespace Compiler
