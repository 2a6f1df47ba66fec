#pragma once
// A component library's logic control object: describes the component's logic ports and runs its
// logic on them through the logic component accessor. Set up on the thread that creates the
// component, run by the logic network. The virtual slot order is a contract with the libraries.
#include <cstdint>

#include "dravo/common/dravo_IComponentFunction.h"

namespace DRAVO {

class IComponentDescription;
class ILogicComponentAccessor_V1;
struct LogicPortInfo_V1;

class ILogicControlFunction_V1 : public IComponentFunction {
public:
    virtual const IComponentDescription* getComponentDescription() = 0;
    virtual uint32_t getUniqID() = 0;
    virtual uint32_t getNumX() = 0;
    virtual uint32_t getNumY() = 0;
    // The accessor belongs to the engine and outlives the object's use of it.
    virtual uint32_t initialize(ILogicComponentAccessor_V1* accessor, uint32_t uniqID, uint32_t numX,
                                uint32_t numY) = 0;

    // Supplied by the library. interval: milliseconds between periodic passes, 0 triggered only.
    virtual uint32_t getLogicSetting(bool& usesLogic, uint32_t& interval) = 0;
    virtual uint32_t getLogicInputPortNum() = 0;
    virtual uint32_t getLogicOutputPortNum() = 0;
    // Fills count records made by the engine.
    virtual uint32_t getLogicInputPortInfo(LogicPortInfo_V1* table, uint32_t count) = 0;
    virtual uint32_t getLogicOutputPortInfo(LogicPortInfo_V1* table, uint32_t count) = 0;
    // A change of that element calls for logic processing.
    virtual bool isParamForLogic(uint32_t ai, uint32_t x, uint32_t y) = 0;
    // runState: 0 initial, 1 triggered, 2 periodic pass.
    virtual uint32_t processLogic(uint32_t timeMs, uint32_t runState) = 0;

protected:
    ~ILogicControlFunction_V1() = default;
};

}  // namespace DRAVO
