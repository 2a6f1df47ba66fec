#pragma once
// Which command event a device parameter change stands for: a title or comment written into a
// scene slot becomes "uz:Command/Scene/Store" of that slot's scene with the new text, so a
// client's edit of the scene list is stored. Stateless; any task.
#include <cstdint>
#include <string>

#include "OscServer/OscCore/OscTypes.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace LPC {

class LpcUzPDBParamOscEvent {
public:
    // For a change of "/SceneStatus/Bank/Info/Title" or "/SceneStatus/Bank/Info/Comment" at slot
    // x: 0 with event set and the scene number, title and comment appended (the changed value in
    // its own place). 0x80000000 for any other address, a slot without a scene number, or a
    // stored title or comment that is not a text (outputs then unchanged). y and factor are not
    // used.
    [[nodiscard]] JLIB::JResult getAssociatedOscEvent(const std::string& pdbAddress, uint32_t x, uint32_t y,
                                                      uint8_t factor, const JVariant& value, std::string& event,
                                                      JOSC::JVariantList& arguments) const;
};

}  // namespace LPC
