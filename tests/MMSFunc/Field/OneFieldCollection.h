#pragma once
// A field collection of one field, at position 0, for the tests that need a collection around a field.
#include "MMS/Common/mms_IField.h"
#include "MMSFunc/Field/mmsf_FieldCollection.h"

namespace FieldTestDefinition {

class OneField : public MMSFUNC::FieldCollection {
public:
    explicit OneField(MMS::IField* field) : m_field(field) {}
    MMS::IField* field(unsigned index) const override { return index == 0 ? m_field : nullptr; }
    const MMSFUNC::FieldInfo* fieldInfo(unsigned) const override { return &m_NullInfo; }
    unsigned fieldNum() const override { return 1; }
    uint32_t releaseAll() override { return 0; }

private:
    MMS::IField* m_field;  // kept alive by the test that made the collection
};

}  // namespace FieldTestDefinition
