#pragma once
// A port component's report to its link unit that its synchronisation state changed. Called on
// the owner task of the link.
namespace ComControl {

class UnitComponent;

class IUnitComponentObserver {
public:
    virtual void notify(UnitComponent& component) = 0;
    virtual ~IUnitComponentObserver() = default;
};

}  // namespace ComControl
