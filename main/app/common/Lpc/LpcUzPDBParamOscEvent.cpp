#include "common/Lpc/LpcUzPDBParamOscEvent.h"

#include "common/Lpc/LpcPDB.h"

namespace LPC {

namespace {

constexpr const char* kTitle = "/SceneStatus/Bank/Info/Title";
constexpr const char* kComment = "/SceneStatus/Bank/Info/Comment";
constexpr const char* kSceneNumber = "/SceneList/Bank/Info/SceneNumber";
constexpr const char* kStoreEvent = "uz:Command/Scene/Store";

bool readText(CATEGORY_OF_PDBTYPE category, const char* address, uint32_t x, JVariant& value)
{
    return JLIB::isSuccess(pdb_getParam(category, address, x, 0, value)) && value.getType() == JVariant::kTypeString;
}

}  // namespace

JLIB::JResult LpcUzPDBParamOscEvent::getAssociatedOscEvent(const std::string& pdbAddress, uint32_t x, uint32_t,
                                                           uint8_t, const JVariant& value, std::string& event,
                                                           JOSC::JVariantList& arguments) const
{
    const bool isTitle = pdbAddress.find(kTitle) != std::string::npos;
    if (!isTitle && pdbAddress.find(kComment) == std::string::npos) return JLIB::kFailed;

    // An empty slot has no scene to store the text into.
    JVariant sceneNumber;
    if (!readText(CATEGORY_PDBTYPE_UZSCENELIST, kSceneNumber, x, sceneNumber) ||
        sceneNumber.toString()[0] == '\0') {
        return JLIB::kFailed;
    }
    // The other text of the pair, as the slot holds it.
    JVariant stored;
    if (!readText(CATEGORY_PDBTYPE_UZSCENESTATUS, isTitle ? kComment : kTitle, x, stored)) return JLIB::kFailed;

    event = kStoreEvent;
    arguments.push_back(sceneNumber);
    arguments.push_back(isTitle ? value : stored);
    arguments.push_back(isTitle ? stored : value);
    return JLIB::kOk;
}

}  // namespace LPC
