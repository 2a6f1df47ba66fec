#pragma once
// A parameter's definition and value as editor-link argument-map entries, and the editor's
// numbering of parameter types. Stateless; any task.
#include <cstdint>
#include <string>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace PDB {
class ParameterInfo;
}

namespace VDProtocol {

class ArgumentMap;

class ParameterConvertor {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    virtual ~ParameterConvertor() = default;

    // "prmType" of a database type code (BOOL shares 5 with UINT16); 0x80000000 for BINARY and
    // unknown codes, the output untouched.
    [[nodiscard]] static JLIB::JResult Decode_ParameterType(uint32_t& prmType, uint8_t typeCode);
    // Adds "prmType", the range keys and "prmValue" (keys already present keep their values).
    // 0x80000000 with the map unchanged for a type without a "prmType".
    [[nodiscard]] static JLIB::JResult Decode_ParameterInfo(ArgumentMap& map, const PDB::ParameterInfo& info,
                                                            const JVariant& value);
    // The leading decimal number of the text (blanks skipped, the rest ignored) as the type's
    // value: UInt32 for unsigned and BOOL, Int32 for signed, Float; STRING keeps the text.
    // 0x80000000 for other types, no leading number or one too large.
    [[nodiscard]] static JLIB::JResult Encode_ParameterValue(JVariant& value, uint8_t typeCode,
                                                             const std::string& text);
};

}  // namespace VDProtocol
