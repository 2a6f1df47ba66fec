#include "devctrl/devctrl_ReadwriteFacade.h"

#include "MMS/Common/mms_DataAccessor.h"
#include "MMS/Common/mms_IField.h"
#include "PDB/Expression/ILinkFramework.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kFrameworkPasses = 4;
constexpr uint32_t kMaxDepth = 5;

bool isFailure(uint32_t r) { return (r & 0x80000000u) != 0; }

}  // namespace

ReadwriteFacade::ReadwriteFacade(MMS::IField* field, uint32_t taskId, ParameterProc::ILinkFramework* framework,
    const char* name, uint32_t length)
    : ReadonlyFacade(field, taskId, framework, name, length)
{
}

uint32_t ReadwriteFacade::importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
    uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
    uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->importDataUsingMuchMemoryFast(image, imageSize, filter, filterSize, root, nodes, indices, depth,
        factor, markOwn, setOption, taskId(), checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
    uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices,
    uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
    uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->importDataUsingMuchMemory(image, imageSize, filter, filterSize, root, address, length, indices,
        indexCount, factor, markOwn, setOption, taskId(), checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
    const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t markOwn,
    uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth, factor, markOwn,
        setOption, taskId(), checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
    const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
    uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->importData(image, imageSize, filter, filterSize, root, address, length, indices, indexCount, factor,
        markOwn, setOption, taskId(), checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
    uint32_t filterSize, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
    uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->setDumpUsingMuchMemoryFast(image, imageSize, filterDump, filterSize, factor, markOwn, setOption,
        taskId(), checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
    uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->setDumpFast(image, imageSize, filterDump, filterSize, factor, markOwn, setOption, taskId(), checker,
        subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setDefaultPrms(const char* root, uint8_t factor, uint8_t markOwn)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    return field->setDefaultPrms(root, factor, markOwn, taskId());
}

uint32_t ReadwriteFacade::setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
    const uint32_t* indexes, uint32_t depth, uint8_t factor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
    const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    if (ParameterProc::ILinkFramework* const framework = linkFramework()) {
        char descName[kUnitNameSize];
        if (!isFailure(readDescName(descName, root))) {
            const uint32_t r = framework->setLinkedPrm(value, unitName(), descName, root, nodes, indexes, depth,
                factor,
                markOwn, checkMode, setOption, taskId(), checker, subscribeMode, externalArg);
            // A framework that refuses or fails leaves the write to the field.
            if (!isFailure(r) && r != kFrameworkPasses) return 0;
        }
    }
    return field->setPrmFast(value, root, nodes, indexes, depth, factor, markOwn, checkMode, setOption, taskId(),
        checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setPrm(const JVariant& value, const char* root, const char* address, uint32_t addressLength,
    const uint32_t* indexes, uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint16_t checkMode,
    uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    if (linkFramework()) {
        uint32_t nodes[kMaxDepth] = {};
        uint32_t depth = 0;
        if (!isFailure(field->cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, addressLength))) {
            // The converted address is written with the caller's indexes, one per level.
            if (indexCount < depth) return kBadArgument;
            return setPrmFast(value, root, nodes, indexes, depth, factor, markOwn, checkMode, setOption, checker,
                subscribeMode, externalArg);
        }
    }
    return field->setPrm(value, root, address, addressLength, indexes, indexCount, factor, markOwn, checkMode,
        setOption, taskId(), checker, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
    const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth, uint8_t factor, uint8_t sameValue,
    uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption,
    uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg)
{
    return setPrmAndFactorArrayFast(values, root, nodes, startIndexes, endIndexes, depth, &factor, sameValue, 1,
        markOwn, checkMode, setOption, checker, channelOption, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setPrmArray(const JVariantArray& values, const char* root, const char* address,
    uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount,
    uint8_t factor, uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
    const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    return setPrmAndFactorArray(values, root, address, addressLength, startIndexes, endIndexes, indexCount, &factor,
        sameValue, 1, markOwn, checkMode, setOption, checker, channelOption, subscribeMode, externalArg);
}

uint32_t ReadwriteFacade::setPrmAndFactorArrayFast(const JVariantArray& values, const char* root,
    const uint32_t* nodes, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth,
    const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode,
    uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    bool elementByElement = false;
    if (ParameterProc::ILinkFramework* const framework = linkFramework()) {
        char descName[kUnitNameSize];
        if (!isFailure(readDescName(descName, root))) {
            const uint32_t linked = framework->isLinkedPrm(unitName(), descName, root, nodes, depth);
            elementByElement = !isFailure(linked) && linked > 0;
        }
    }
    if (!elementByElement) {
        return field->setPrmAndFactorArrayFast(values, root, nodes, startIndexes, endIndexes, depth, factors,
            sameValue, sameFactor, markOwn, checkMode, setOption, taskId(), checker, channelOption, subscribeMode,
            externalArg);
    }

    // Depth 0 has no index to advance, so the walk would never end; a depth above 5 does not fit
    // the index vector.
    if (depth == 0 || depth > kMaxDepth || !startIndexes || !endIndexes) return kBadArgument;
    uint32_t current[kMaxDepth] = {};
    for (uint32_t level = 0; level < depth; ++level) current[level] = startIndexes[level];
    uint32_t result = 0;
    uint32_t valueIndex = 0;
    uint32_t factorIndex = 0;
    for (;;) {
        JVariant value;
        uint32_t r = kBadArgument;
        if (!isFailure(values.getValue(&value, valueIndex))) {
            const uint8_t factor = factors ? factors[factorIndex] : 0;
            r = setPrmFast(value, root, nodes, current, depth, factor, markOwn, checkMode, setOption, checker,
                subscribeMode, externalArg);
        }
        // The first failure is kept; later elements are still written.
        if (!isFailure(result)) result = isFailure(r) ? r : (result | r);
        if (isFailure(MMS::DataAccessor::incrementVector(current, startIndexes, endIndexes, depth))) break;
        if (!sameValue) ++valueIndex;
        if (!sameFactor) ++factorIndex;
    }
    return result;
}

uint32_t ReadwriteFacade::setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
    uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount,
    const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode,
    uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
    const MMS::ExternalSetArg* externalArg)
{
    MMS::IField* const field = workingField();
    if (!field) return kWrongState;
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    const uint32_t r = field->cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, addressLength);
    if (isFailure(r)) return r;
    // The converted address is written with the caller's index vectors, one entry per level.
    if (indexCount < depth) return kBadArgument;
    return setPrmAndFactorArrayFast(values, root, nodes, startIndexes, endIndexes, depth, factors, sameValue,
        sameFactor, markOwn, checkMode, setOption, checker, channelOption, subscribeMode, externalArg);
}

}  // namespace DeviceControl
