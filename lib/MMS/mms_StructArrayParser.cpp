#include "mms_StructArrayParser.h"

#include "MMS/Common/mms_Platform.h"
#include "mms_Script.h"

namespace MMS {

namespace {

// Table texts are read within this many characters; a longer literal is refused.
constexpr uint32_t kTableTextLength = 24;
constexpr uint32_t kUnitLength = 4;
constexpr uint32_t kTypeString = 0x201;

bool isSignedType(unsigned t) { return t == 0x001 || t == 0x002 || t == 0x004; }
bool isUnsignedType(unsigned t) { return t == 0x101 || t == 0x102 || t == 0x104; }

// The unit as passed to the field: the text with size 4, or none for an empty (or null) one.
const char* unitOf(const NodeStruct* row, unsigned* size)
{
    const bool has = row->unit && row->unit[0] != '\0';
    *size = has ? kUnitLength : 0;
    return has ? row->unit : nullptr;
}

}  // namespace

uint32_t StructArrayParser::toMmspError(uint32_t code)
{
    switch (code & 0xFFu) {
    case 0x01:
    case 0x03:
    case 0x04: return kMmspFieldRefused;
    case 0x02:
    case 0x08:
    case 0x09: return kMmspUnacceptable;
    default: return code;
    }
}

bool StructArrayParser::validate(const NodeStruct* row) const
{
    return row && row->name && row->arraySize != 0 && (row->nodeKind == 0 || row->nodeKind == 1);
}

uint32_t StructArrayParser::countStringSize(const NodeStruct* row)
{
    if (!row) return 0;
    uint32_t size = 0;
    if (row->type == kTypeString && row->defaultValue && row->maximum) {
        JVariant maximum;
        unsigned kind = 0;
        if ((cnvStrToNum(row->maximum, kTableTextLength, &maximum, &kind) & 0x80000000u) == 0)
            size += mmsStrnlen(row->defaultValue, maximum.toUInt32()) + 1;
    }
    // A null unit counts as empty rather than being measured.
    if (row->unit && row->unit[0] != '\0') size += mmsStrnlen(row->unit, kUnitLength) + 1;
    return size;
}

uint32_t StructArrayParser::countParams(const NodeStruct* table, uint32_t count, unsigned* collections,
                                        unsigned* parameters, unsigned* stringBytes)
{
    if (!table || count == 0 || !collections || !parameters || !stringBytes) return kMmspMissingArgument;
    unsigned c = 0;
    unsigned p = 0;
    unsigned s = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (table[i].nodeKind == 0) {
            ++c;
        } else if (table[i].nodeKind == 1) {
            ++p;
            s += countStringSize(&table[i]);
        }
    }
    *collections = c;
    *parameters = p;
    *stringBytes = s;
    return 0;
}

uint32_t StructArrayParser::validateNumericParameter(const JVariant* value, unsigned readingKind, unsigned typeCode,
                                                     bool mustBePositive)
{
    if (!value) return kMmspMissingArgument;
    uint32_t kindCheck = 0;
    if (isSignedType(typeCode)) kindCheck = readingKind == kReadingReal ? kMmspReadFailed : 0;
    else if (isUnsignedType(typeCode)) kindCheck = readingKind != kReadingUnsigned ? kMmspReadFailed : 0;
    else kindCheck = kMmspUnacceptable;

    const double v = value->toDouble();
    bool refused = false;
    switch (typeCode) {
    case 0x001: refused = v < -128 || v > 127; break;
    case 0x002: refused = v < -32768 || v > 32767; break;
    case 0x101: refused = v > 255; break;
    case 0x102: refused = v > 65535; break;
    case 0x004:
    case 0x104: break;
    default: refused = true; break;
    }
    if (mustBePositive) {
        if (isSignedType(typeCode)) refused = refused || v <= 0;
        else if (isUnsignedType(typeCode)) refused = refused || v == 0;
        else refused = true;
    }
    return refused ? kMmspUnacceptable : kindCheck;
}

uint32_t StructArrayParser::appendCollection(IField* field, const char* rootName, const NodeStruct* row,
                                             unsigned* collectionIndex)
{
    if (!field || !rootName || !row || !collectionIndex) return kMmspMissingArgument;
    unsigned index = 0;
    const uint32_t r = field->addCollectionFast(&index, rootName, nullptr, 0, row->name, row->arraySize);
    if (r == 0) *collectionIndex = index;
    return r;
}

uint32_t StructArrayParser::appendParameter(IField* field, const char* rootName, const NodeStruct* row,
                                            unsigned collectionIndex)
{
    if (!field || !rootName || !row) return kMmspMissingArgument;
    return row->type == kTypeString ? appendStringParameter(field, rootName, row, collectionIndex)
                                    : appendNumericParameter(field, rootName, row, collectionIndex);
}

uint32_t StructArrayParser::appendNumericParameter(IField* field, const char* rootName, const NodeStruct* row,
                                                   unsigned collectionIndex)
{
    if (!field || !rootName || !row) return kMmspMissingArgument;
    const char* texts[4] = {row->minimum, row->maximum, row->defaultValue, row->step};
    JVariant values[4];
    uint32_t readings = 0;
    uint32_t checks = 0;
    for (int i = 0; i < 4; ++i) {
        unsigned kind = 0;
        readings |= texts[i] ? cnvStrToNum(texts[i], kTableTextLength, &values[i], &kind) : kMmspMissingArgument;
        if (readings & 0x80000000u) continue;
        const bool isStep = i == 3;
        checks |= validateNumericParameter(&values[i], kind, isStep ? 0x104 : row->type, isStep);
    }
    if (readings != 0) return kMmspReadFailed;
    // Each check's own code: a wrong kind and a value out of range stay distinguishable.
    if (checks != 0) return checks;
    unsigned unitSize = 0;
    const char* unit = unitOf(row, &unitSize);
    unsigned index = 0;
    const unsigned path[1] = {collectionIndex};
    return field->addPrmFast(&index, rootName, path, 1, row->name, row->arraySize, row->type, &values[0], &values[1],
                             &values[2], &values[3], nullptr, unit, unitSize, 1, 0, nullptr, 0);
}

uint32_t StructArrayParser::appendStringParameter(IField* field, const char* rootName, const NodeStruct* row,
                                                  unsigned collectionIndex)
{
    if (!field || !rootName || !row) return kMmspMissingArgument;
    JVariant maximum(0u);
    unsigned kind = 0;
    uint32_t r = row->maximum ? cnvStrToNum(row->maximum, kTableTextLength, &maximum, &kind) : kMmspMissingArgument;
    r = ((r & 0x80000000u) || kind != kReadingUnsigned) ? kMmspReadFailed : 0;
    // The default is measured against the maximum as the reading left it (0 when nothing was read).

    JVariant defaultValue;
    const bool hasDefault = row->defaultValue != nullptr;
    if (hasDefault) {
        const uint32_t length = mmsStrnlen(row->defaultValue, kTableTextLength);
        if (defaultValue.setString(row->defaultValue, length) & 0x80000000u) return kMmspNoMemory;
        if (length > maximum.toUInt32()) r = kMmspUnacceptable;
    }
    if (r != 0) return r;
    unsigned unitSize = 0;
    const char* unit = unitOf(row, &unitSize);
    unsigned index = 0;
    const unsigned path[1] = {collectionIndex};
    return field->addPrmFast(&index, rootName, path, 1, row->name, row->arraySize, row->type, nullptr, &maximum,
                             hasDefault ? &defaultValue : nullptr, nullptr, nullptr, unit, unitSize, 1, 0, nullptr, 0);
}

uint32_t StructArrayParser::createMmsCore(IField* field, const char* rootName, const NodeStruct* table,
                                          uint32_t count)
{
    if (!field || !rootName || !table || count == 0) return kMmspMissingArgument;
    if (table[count - 1].nodeKind != 1) return kMmspUnacceptable;
    unsigned collection = 0;
    bool afterParameter = true;
    uint32_t r = 0;
    for (uint32_t i = 0; i < count && r == 0; ++i) {
        const NodeStruct* row = &table[i];
        if (!validate(row)) {
            r = kMmspUnacceptable;
        } else if (row->nodeKind == 1) {
            r = appendParameter(field, rootName, row, collection);
            if (r == 0) afterParameter = true;
        } else if (afterParameter) {
            r = appendCollection(field, rootName, row, &collection);
            if (r == 0) afterParameter = false;
        } else {
            r = kMmspUnacceptable;  // no empty collections
        }
    }
    return r;
}

namespace {

struct TablePart {
    const NodeStruct* table;
    uint32_t count;
};

}  // namespace

static uint32_t buildRoot(StructArrayParser& parser, IField* field, const char* rootName, uint32_t nameLength,
                          const TablePart* parts, int partCount)
{
    if (!field || !rootName || nameLength == 0) return kMmspMissingArgument;
    for (int i = 0; i < partCount; ++i)
        if (!parts[i].table || parts[i].count == 0) return kMmspMissingArgument;
    if (field->startBuild() & 0x80000000u) return kMmspFieldRefused;
    unsigned collections = 1;  // the top collection
    unsigned parameters = 0;
    unsigned stringBytes = 0;
    for (int i = 0; i < partCount; ++i) {
        unsigned c = 0, p = 0, s = 0;
        if (parser.countParams(parts[i].table, parts[i].count, &c, &p, &s) != 0) return kMmspFieldRefused;
        collections += c;
        parameters += p;
        stringBytes += s;
    }
    char name[24] = {};
    const uint32_t length = mmsStrnlen(rootName, nameLength < 23 ? nameLength : 23);
    for (uint32_t i = 0; i < length; ++i) name[i] = rootName[i];

    uint32_t r = field->createRoot(name, name, collections, parameters, stringBytes);
    for (int i = 0; i < partCount && r == 0; ++i) r = parser.createMmsCore(field, name, parts[i].table, parts[i].count);
    // The root is finished with whatever was built, also after a failure.
    uint32_t finished = field->finishBuild(1);
    if (finished == kMmsNoDefault) finished = 0;
    return parser.toMmspError(r == 0 ? finished : r);
}

uint32_t StructArrayParser::createMms(IField* field, const char* rootName, uint32_t nameLength,
                                      const NodeStruct* table, uint32_t count)
{
    const TablePart parts[1] = {{table, count}};
    return buildRoot(*this, field, rootName, nameLength, parts, 1);
}

uint32_t StructArrayParser::createMms(IField* field, const char* rootName, uint32_t nameLength,
                                      const NodeStruct* table1, uint32_t count1, const NodeStruct* table2,
                                      uint32_t count2)
{
    const TablePart parts[2] = {{table1, count1}, {table2, count2}};
    return buildRoot(*this, field, rootName, nameLength, parts, 2);
}

}  // namespace MMS
