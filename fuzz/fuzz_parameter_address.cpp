// Editor parameter addresses and value texts: divide must never crash and what it accepts must
// join back to an address it reads the same; value texts convert both ways for every type.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterInfo.h"
#include "editor/ExpressionAdapter.h"
#include "editor/ParameterAddress.h"

namespace {

const uint8_t kTypes[] = {PDB::kTypeUInt8, PDB::kTypeUInt16, PDB::kTypeUInt32, PDB::kTypeSInt8, PDB::kTypeSInt16,
                          PDB::kTypeSInt32, PDB::kTypeFloat, PDB::kTypeBool,   PDB::kTypeString, PDB::kTypeBinary};
const char* const kKinds[] = {"", "OnOff", "Level", "String", "Other"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const VDProtocol::ExpressionAdapter adapter;
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::string db, path;
    uint32_t id = 0;
    int32_t x = 0, y = 0;
    if (VDProtocol::ParameterAddress::divide(db, id, path, x, y, text) == 0) {
        std::string joined;
        if (VDProtocol::ParameterAddress::join(joined, db, id, path, uint32_t(x), uint32_t(y)) == 0) {
            std::string db2, path2;
            uint32_t id2 = 0;
            int32_t x2 = 0, y2 = 0;
            if (VDProtocol::ParameterAddress::divide(db2, id2, path2, x2, y2, joined) != 0 || db2 != db ||
                id2 != id || path2 != path || x2 != x || y2 != y) {
                std::abort();
            }
        }
    }
    (void)VDProtocol::ParameterAddress::divide(db, id, text);

    if (size == 0) return 0;
    PDB::ParameterInfo info;
    info.strAddress = "/P";
    info.type = kTypes[data[0] % std::size(kTypes)];
    info.kind = kKinds[(data[0] / std::size(kTypes)) % std::size(kKinds)];
    info.min = JVariant(-100);
    info.max = JVariant(100);
    info.numX = 1;
    info.numY = 1;
    const std::string rest = text.substr(1);
    JVariant value;
    if (adapter.fromText(value, info, JVariant(rest.c_str(), static_cast<unsigned int>(rest.size()))) == 0) {
        (void)adapter.toText(info, value);
    }
    (void)adapter.toText(info, VDProtocol::ExpressionAdapter::fitNumber(info, JVariant(static_cast<float>(size) / 3)));
    return 0;
}
