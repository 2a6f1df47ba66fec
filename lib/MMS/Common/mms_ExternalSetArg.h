#pragma once
// What a caller adds to a set or import operation: the factor modifier the root asks for the set
// factor of derived writes (plug-in passes, linked channels, imports). Made by the caller for one
// call.
namespace MMS {

class IFactorModifier;

class ExternalSetArg {
public:
    ExternalSetArg() = default;
    explicit ExternalSetArg(IFactorModifier* modifier) : m_pModifier(modifier) {}

    IFactorModifier* m_pModifier = nullptr;  // borrowed for the call; null: factors unchanged
};

}  // namespace MMS
