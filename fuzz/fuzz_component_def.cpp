// Component definition files (JSON) and "#CI1" definition images.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"

namespace {

// One registered type, so images naming it get past the lookup.
bool registerKnownType()
{
    const PDB::ComponentInfo info = PDB::parseComponentInfoJSON(R"({"component": {"name": "Fuzz", "majorVer": 1,
        "minX": 1, "maxX": 64, "minY": 1, "maxY": 8, "parameters": [
        {"strAddress": "gain", "type": "SINT16", "patternX": "*1", "min": "-100", "max": "100"},
        {"strAddress": "name", "type": "STRING", "max": "16"},
        {"strAddress": "on", "type": "BOOL", "patternY": "*1"}]}})");
    return JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(info));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = registerKnownType();
    (void)registered;

    const std::string text(reinterpret_cast<const char*>(data), size);
    PDB::ComponentInfo parsed = PDB::parseComponentInfoJSON(text.c_str());
    if (parsed.isValid()) {
        std::vector<uint8_t> image(parsed.exportSize());
        (void)parsed.exportBinary(image.data(), static_cast<uint32_t>(image.size()));
    }

    PDB::ComponentInfo fromImage;
    uint32_t records = 0;
    (void)fromImage.importBinary(data, static_cast<uint32_t>(size), records);
    return 0;
}
