#pragma once
// Roots built from definition tables compiled into a program: arrays of rows, each a collection or
// a parameter with its limits written as plain literals. The tables describe a flat tree: the top
// collection holds collections, and each collection the parameters that follow it. No state.
#include <cstdint>

#include "jlib/JVariant.h"
#include "MMS/Common/mms_IField.h"

namespace MMS {

// One table row, supplied by the caller and only read. Collection rows use name and array size.
struct NodeStruct {
    const char* name;
    uint32_t arraySize;  // not 0
    uint32_t nodeKind;   // 0 collection, 1 parameter
    uint32_t type;       // 0x001, 0x002, 0x004, 0x101, 0x102, 0x104 or 0x201
    const char* minimum;
    const char* maximum;
    const char* defaultValue;
    const char* step;
    const char* unit;  // empty: no unit
};

class StructArrayParser {
public:
    virtual ~StructArrayParser() = default;

    uint32_t createMms(IField* field, const char* rootName, uint32_t nameLength, const NodeStruct* table,
                       uint32_t count);
    // The second table is appended after the first.
    uint32_t createMms(IField* field, const char* rootName, uint32_t nameLength, const NodeStruct* table1,
                       uint32_t count1, const NodeStruct* table2, uint32_t count2);
    uint32_t countParams(const NodeStruct* table, uint32_t count, unsigned* collections, unsigned* parameters,
                         unsigned* stringBytes);
    uint32_t createMmsCore(IField* field, const char* rootName, const NodeStruct* table, uint32_t count);
    // By the lowest byte: 0x01, 0x03, 0x04 the field refused; 0x02, 0x08, 0x09 unacceptable; else unchanged.
    uint32_t toMmspError(uint32_t code);
    bool validate(const NodeStruct* row) const;
    uint32_t appendCollection(IField* field, const char* rootName, const NodeStruct* row, unsigned* collectionIndex);
    uint32_t appendParameter(IField* field, const char* rootName, const NodeStruct* row, unsigned collectionIndex);
    uint32_t appendStringParameter(IField* field, const char* rootName, const NodeStruct* row,
                                   unsigned collectionIndex);
    uint32_t appendNumericParameter(IField* field, const char* rootName, const NodeStruct* row,
                                    unsigned collectionIndex);
    uint32_t validateNumericParameter(const JVariant* value, unsigned readingKind, unsigned typeCode,
                                      bool mustBePositive);
    uint32_t countStringSize(const NodeStruct* row);
};

}  // namespace MMS
