#pragma once
// The built-in logic component: its output "out" is 1.0 when every input ("in1", "in2", "in3")
// is at least 0.5, else 0.0. All ports are normalised; it processes only when triggered.
#include <cstdint>

#include "logic_AbstractLogicComponent.h"

namespace LogicCtrl {

class AndComponent : public AbstractLogicComponent {
public:
    // The two further numbers are ignored. Codes as AbstractLogicComponent::initialize.
    [[nodiscard]] JLIB::JResult initialize(uint32_t id, uint32_t unused1, uint32_t unused2);

    // A value that is not a number counts as false.
    JLIB::JResult processLogic(uint32_t timeMs, RunState state) override;
};

}  // namespace LogicCtrl
