#include "editor/ParameterAddress.h"

#include <vector>

#include "jlib/jlib_number.h"

namespace VDProtocol {

namespace {

// A literal's 32 bits. An index or id with a fraction names no element: its float bits would
// silently address another one.
JLIB::JResult readNumber(uint32_t& bits, const std::string& text)
{
    CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
    uint32_t value = 0;
    const JLIB::JResult result = jlib_str2value(&value, &category, text.c_str(), text.size());
    if (JLIB::isFailure(result)) return result;
    if (category == CATEGORY_JLIB_FLOAT) return ParameterAddress::kFailed;
    bits = value;
    return JLIB::kOk;
}

std::vector<std::string> nonEmptyPieces(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

JLIB::JResult readComponentPart(uint32_t& componentId, const std::string& part)
{
    if (part.empty() || part[0] != '#') return ParameterAddress::kFailed;
    return ParameterAddress::divide(componentId, part.substr(1));
}

}  // namespace

JLIB::JResult ParameterAddress::divide(std::string& dbName, uint32_t& componentId, std::string& path, int32_t& x,
                                       int32_t& y, const std::string& address)
{
    const std::vector<std::string> pieces = nonEmptyPieces(address, ':');
    if (pieces.size() != 3) return kFailed;
    uint32_t xBits = 0;
    uint32_t yBits = 0;
    JLIB_RETURN_IF_FAILED(readNumber(xBits, pieces[1]));
    JLIB_RETURN_IF_FAILED(readNumber(yBits, pieces[2]));

    const std::string& head = pieces[0];
    const size_t firstSlash = head.find('/');
    if (firstSlash == std::string::npos) return kFailed;
    const std::string rest = head.substr(firstSlash + 1);
    const size_t pathStart = rest.find('/');
    if (pathStart == std::string::npos) return kFailed;
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(readComponentPart(id, rest.substr(0, pathStart)));

    dbName = head.substr(0, firstSlash);
    componentId = id;
    path = rest.substr(pathStart);
    x = static_cast<int32_t>(xBits);
    y = static_cast<int32_t>(yBits);
    return JLIB::kOk;
}

JLIB::JResult ParameterAddress::divide(std::string& dbName, uint32_t& componentId, const std::string& componentAddress)
{
    const size_t slash = componentAddress.find('/');
    const std::string name = slash == std::string::npos ? componentAddress : componentAddress.substr(0, slash);
    const std::string rest = slash == std::string::npos ? componentAddress : componentAddress.substr(slash + 1);
    uint32_t id = 0;
    JLIB_RETURN_IF_FAILED(readComponentPart(id, rest));
    dbName = name;
    componentId = id;
    return JLIB::kOk;
}

JLIB::JResult ParameterAddress::divide(uint32_t& componentId, const std::string& text)
{
    return readNumber(componentId, text);
}

JLIB::JResult ParameterAddress::join(std::string& address, const std::string& dbName, uint32_t componentId,
                                     const std::string& path, uint32_t x, uint32_t y)
{
    if (dbName.empty() || path.empty()) return kFailed;
    address = dbName + "/#" + std::to_string(componentId) + path + ":" + std::to_string(x) + ":" + std::to_string(y);
    return JLIB::kOk;
}

JLIB::JResult ParameterAddress::join(std::string& address, const std::string& dbName, uint32_t componentId)
{
    if (dbName.empty()) return kFailed;
    address = dbName + "/#" + std::to_string(componentId);
    return JLIB::kOk;
}

}  // namespace VDProtocol
