#pragma once
// The link framework of a virtual unit: an application-supplied object that may answer value,
// minimum and maximum reads and carry out writes for linked parameters before the field is asked.
// The instance broker only stores it; the facades call it on their client's task.
#include <cstdint>

class JVariant;

namespace MMS {
class ExternalSetArg;
class ISetChecker;
}  // namespace MMS

namespace ParameterProc {

class ILinkFramework {
public:
    // The destructor takes the interface's first two slots; the facades never call it.
    virtual ~ILinkFramework() = default;

    // The four value operations: 4 or a failure (top bit set) means the framework did not answer
    // and the field is to be used; any other result means it answered and wrote the outputs.
    [[nodiscard]] virtual uint32_t setLinkedPrm(const JVariant& value, const char* unitName, const char* descName,
                                                const char* root, const uint32_t* nodes, const uint32_t* indexes,
                                                uint32_t depth, uint8_t factor, uint8_t markOwn, uint16_t checkMode,
                                                uint8_t setOption, uint32_t taskId, const MMS::ISetChecker* checker,
                                                uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t getLinkedPrm(JVariant* value, uint8_t* state, const char* unitName,
                                                const char* descName, const char* root, const uint32_t* nodes,
                                                const uint32_t* indexes, uint32_t depth, uint8_t option,
                                                uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getLinkedPrmMin(JVariant* value, const char* unitName, const char* descName,
                                                   const char* root, const uint32_t* nodes, uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getLinkedPrmMax(JVariant* value, const char* unitName, const char* descName,
                                                   const char* root, const uint32_t* nodes, uint32_t depth) = 0;
    // Above 0: the parameter's elements are to be written one by one.
    [[nodiscard]] virtual uint32_t isLinkedPrm(const char* unitName, const char* descName, const char* root,
                                               const uint32_t* nodes, uint32_t depth) = 0;
};

}  // namespace ParameterProc
