#pragma once
// The editor's parameter addresses ("prmAddr": database name, "/#", component id, parameter
// path, ":", x, ":", y) and component addresses (the first two parts): splitting and building.
// Stateless; any task.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace VDProtocol {

class ParameterAddress {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    // Splits at ":" (empty pieces skipped) into exactly three pieces; x and y are numeric literals
    // taken as signed (a negative one is the caller's wildcard), the path keeps its leading "/".
    // 0x80000000 for another piece count, a first piece without a second "/" or without "#"
    // before the id, and for a number with a fraction; a literal that does not parse gives the
    // parser's code. The outputs are written only on success.
    [[nodiscard]] static JLIB::JResult divide(std::string& dbName, uint32_t& componentId, std::string& path,
                                              int32_t& x, int32_t& y, const std::string& address);
    // A component address: name up to the first "/" (the whole text without one), then "#" and id.
    [[nodiscard]] static JLIB::JResult divide(std::string& dbName, uint32_t& componentId,
                                              const std::string& componentAddress);
    // A component id literal; the parser's code, or 0x80000000 for a fraction.
    [[nodiscard]] static JLIB::JResult divide(uint32_t& componentId, const std::string& text);

    // Numbers in unsigned decimal (x = -1 as 4294967295). 0x80000000 for an empty name or path.
    [[nodiscard]] static JLIB::JResult join(std::string& address, const std::string& dbName, uint32_t componentId,
                                            const std::string& path, uint32_t x, uint32_t y);
    // 0x80000000 for an empty name.
    [[nodiscard]] static JLIB::JResult join(std::string& address, const std::string& dbName, uint32_t componentId);
};

}  // namespace VDProtocol
