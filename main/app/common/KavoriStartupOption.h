#pragma once
// Parser of the options "-c" (a signed number) and "--updated" (a flag). Carried for other
// products: nothing in the engine calls it. Not locked.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace KAVORI {

class KavoriStartupOption {
public:
    enum OPTTION_TYPE : uint32_t { OPTION_C = 0, OPTION_UPDATED = 1, OPTION_OTHER = 2 };

    static KavoriStartupOption& getInstance();

    KavoriStartupOption();

    // Reads the arguments after the program path: "-c" takes the next argument as a decimal
    // number (0 when it does not parse; logged and 0 when "-c" is last), "--updated" sets the
    // flag, anything else is ignored. 0, or 0x80000000 for a count above 1 with no vector.
    [[nodiscard]] JLIB::JResult set(int argc, const char* const* argv);
    // 0 for exactly "-c", 1 for exactly "--updated", 2 for anything else and for null.
    static uint32_t parse(const char* text);
    // Kind 0: a copy of the "-c" value; kind 1: an unsigned 1 or 0; any other kind the integer 0.
    JVariant get(uint32_t kind) const;

private:
    JVariant m_c;
    bool m_updated;
};

}  // namespace KAVORI
