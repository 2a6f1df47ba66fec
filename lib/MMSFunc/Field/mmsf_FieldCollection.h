#pragma once
// A numbered set of fields with a description record per field: the interface through which the
// filters and parameter addresses take their fields. Implementations say who may call them.
#include <cstdint>
#include <vector>

namespace MMS {
class IField;
}

namespace MMSFUNC {

// The description of one field of a collection.
struct FieldInfo {
    uint32_t index;         // the field's position
    const char* name;       // the name under which the field is registered with the instance broker
    const char* shortName;
    uint32_t attribute1;
    uint32_t attribute2;
};

class FieldCollection {
public:
    virtual ~FieldCollection();
    // The field at the index, or null.
    virtual MMS::IField* field(unsigned index) const = 0;
    // Never null: m_NullInfo for an index outside the collection.
    virtual const FieldInfo* fieldInfo(unsigned index) const = 0;
    virtual unsigned fieldNum() const = 0;
    // Gives up all fields; a result code.
    virtual uint32_t releaseAll() = 0;

    // The record of a position outside the collection: index 0xFFFFFFFF, no names, attributes 0.
    static const FieldInfo m_NullInfo;
    // Carried for implementations; nothing here fills or reads it.
    static std::vector<MMS::IField*> m_FieldTable;
};

}  // namespace MMSFUNC
