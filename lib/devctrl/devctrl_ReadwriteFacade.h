#pragma once
// The facade handed to a task that may write a field: a read-only facade in every respect except
// that it carries out the writes. Single writes are offered to the unit's link framework first;
// array writes of a parameter the framework links are split into single writes so that the
// framework sees every element. Threading: one client task; no lock of its own.
#include <cstdint>

#include "devctrl/devctrl_ReadonlyFacade.h"

namespace DeviceControl {

class ReadwriteFacade : public ReadonlyFacade {
public:
    // See ReadonlyFacade: field and framework are borrowed.
    ReadwriteFacade(MMS::IField* field, uint32_t taskId, ParameterProc::ILinkFramework* framework, const char* name,
                    uint32_t length);

    // Every write gives 0x80000004 without a working field, else the field's (or the framework's)
    // result. The forms with a text address and a link framework convert the address first and
    // refuse an index count below the converted depth with 0x80000002. An element-by-element write
    // refuses depth 0 and depths above 5 with 0x80000002 and writes nothing then; a null factor
    // array writes factor 0. The walk goes on after a failing element and reports the first failure.
    [[nodiscard]] uint32_t importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
            uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
            uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
            uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices,
            uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
            const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor,
            uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
            const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
            uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
            uint32_t filterSize, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
            uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
            const uint32_t* indexes, uint32_t depth, uint8_t factor, uint8_t markOwn, uint16_t checkMode,
            uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrm(const JVariant& value, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount, uint8_t factor, uint8_t markOwn,
            uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
            const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth, uint8_t factor,
            uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
            const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount,
            uint8_t factor, uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
            const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArrayFast(const JVariantArray& values, const char* root,
            const uint32_t* nodes, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth,
            const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode,
            uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount,
            const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode,
            uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t markOwn) override;
};

}  // namespace DeviceControl
