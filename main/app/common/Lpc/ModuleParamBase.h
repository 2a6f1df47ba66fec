#pragma once
// What a catalogue entry tells its users: for each element index of one argument of a device
// value, the rack module (GUID text, name) and plug-in parameter number that carry it, and
// whether a value is spread over all parameters or all modules. Entries are immutable
// constants; any task, no lock.
#include <cstdint>

namespace LPC {

class ModuleParamBase {
public:
    // Null when the index's module number is not below the module count or there is no table.
    virtual const char* getGuid(uint64_t index) const = 0;
    virtual const char* getGuidWithModuleNo(uint64_t moduleNo) const = 0;
    // The module count when isSendToAllModules, otherwise 1.
    virtual uint64_t getModuleSize() const = 0;
    virtual const char* getModuleName(uint64_t index) const = 0;
    virtual const char* getModuleNameWithModuleNo(uint64_t moduleNo) const = 0;
    // Any index gives a number; nothing is checked.
    virtual uint64_t getParamNo(uint64_t index) const = 0;
    // Element indexes served: 0 to this minus 1.
    virtual uint64_t getTotalParamSize() const = 0;
    virtual bool isSendToAllParams() const = 0;
    virtual bool isSendToAllModules() const = 0;
    // The plug-in's sense is inverted; the converter inverts the value, not the catalogue.
    virtual bool isInvert() const = 0;

protected:
    constexpr ModuleParamBase() = default;
    // Entries live for the whole program and are never destroyed through the interface.
    ~ModuleParamBase() = default;
    ModuleParamBase(const ModuleParamBase&) = default;
    ModuleParamBase& operator=(const ModuleParamBase&) = default;
};

}  // namespace LPC
