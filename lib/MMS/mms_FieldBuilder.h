#pragma once
// The build operations of a field that the definition readers use, with the field's own
// signatures and result codes: the readers depend on nothing else of a field.
#include <cstdint>

class JVariant;

namespace MMS {

class IFieldBuilder {
public:
    virtual ~IFieldBuilder() = default;
    // 1 building, 2 ready, 3 failed construction.
    virtual uint32_t getStatus(unsigned char* status) = 0;
    virtual uint32_t startBuild() = 0;
    virtual uint32_t createRoot(const char* root, const char* topCollection, unsigned collections, unsigned parameters,
                                unsigned stringBytes) = 0;
    virtual uint32_t setDescName(const char* root, const char* descName) = 0;
    virtual uint32_t setDescVersion(const char* root, const char* version) = 0;
    virtual uint32_t addCollectionFast(unsigned* nodeIndex, const char* root, const unsigned* parentPath, unsigned depth,
                                       const char* name, unsigned arraySize) = 0;
    virtual uint32_t addPrmFast(unsigned* nodeIndex, const char* root, const unsigned* nodePath, unsigned depth,
                                const char* name, unsigned arraySize, unsigned type, JVariant* minimum, JVariant* maximum,
                                JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit,
                                unsigned unitSize, unsigned scaling, unsigned kind, const char* nameFormat,
                                unsigned nameFormatSize) = 0;
    virtual uint32_t linkBuild(unsigned char writeDefaults) = 0;
    virtual uint32_t finishBuild(unsigned char writeDefaults) = 0;
};

}  // namespace MMS
