#pragma once
// XML definition files of a root: the element handler that turns the elements of one definition
// into build operations of a field, and the reader that feeds a file or a text held in memory to
// expat in slices of 256 bytes. Lenient: only a fault at the "function" element stops a parse; a
// faulty collection, parameter or attribute element is skipped and the rest is still built.
// One handler per parse, on the caller's stack; the field's own locks guard each build call.
#include <cstdint>

#include "jlib/JVariant.h"
#include "MMS/Common/mms_IField.h"
#include "mms_Script.h"

namespace MMS {

// 0: the caller started the build and finishes it; 1: the parse starts it and leaves the field
// building; 2: as 1 and ends with linkBuild(1); 3: as 1 and ends with finishBuild(1).
enum BUILD_OPTION : uint32_t {
    BUILD_OPTION_NONE = 0,
    BUILD_OPTION_START = 1,
    BUILD_OPTION_LINK = 2,
    BUILD_OPTION_FINISH = 3,
};

namespace Parser {

constexpr uint32_t kNameSize = 24;
constexpr uint32_t kVersionSize = 12;
constexpr uint32_t kTextSize = 256;
constexpr uint32_t kUnitSize = 24;
constexpr uint32_t kNameFormatSize = 65;
constexpr uint32_t kMaxCollectionDepth = 4;

// Tree codes as reader codes: a success gives 0; a failure by its lowest byte: 0x02 missing
// argument, 0x03 out of memory, anything else "the field refused".
[[nodiscard]] uint32_t cnvMmsErr2ParserErr(uint32_t code);
// The text without leading and trailing blanks and tabs: *begin and *length.
void adjustEdgeSpace(const char* text, const char** begin, uint32_t* length);
// A name attribute, trimmed, 1 to size-1 characters and passing isIllegalName, copied with a NUL:
// 0, 0x80010000 for a missing text, 0x80010012 otherwise.
[[nodiscard]] uint32_t extractName(char* out, uint32_t size, const char* text);
// "dd.dd.dd", optionally followed by a blank and a letter, after leading blanks and tabs; the
// version goes to a 12-byte zero-filled buffer. 0 or 0x80010012.
[[nodiscard]] uint32_t extractVersion(char* out, const char* text);
bool chkDigit(char c);
bool chkAlpha(char c);
// Whether a reading of that kind fits the type code.
bool isValidType(unsigned type, unsigned readingKind);
// The type code of a type attribute; 0 for an unknown one.
unsigned typeCodeOf(const char* text);

class ParseHandler {
public:
    struct T_PRM_INFO {
        enum CATEGORY_PRM_ATTRIB : uint32_t {
            CATEGORY_MINIMUM = 0,
            CATEGORY_MAXIMUM = 1,
            CATEGORY_DEFAULT = 2,
            CATEGORY_STEP = 3,
            CATEGORY_NOMINAL = 4,
            CATEGORY_UNIT = 5,
            CATEGORY_SCALING = 6,
            CATEGORY_KIND = 7,
            CATEGORY_NAMEFORMAT = 8,
            CATEGORY_COUNT = 9,
        };
        uint32_t category;
        uint32_t mask;  // bit n: the attribute element of category n was accepted
        char text[kTextSize];
        uint32_t textLength;
        char name[kNameSize];
        unsigned type;
        unsigned arraySize;
        JVariant values[5];  // minimum, maximum, default, step, nominal
        char unit[kUnitSize];
        unsigned scaling;
        unsigned kind;
        char nameFormat[kNameFormatSize];
    };

    ParseHandler(IField* field, const char* descName, uint32_t descLength, const char* rootName,
                 uint32_t rootLength, BUILD_OPTION option, const T_MMS_SCRIPT_MACRO* macros, uint32_t macroCount);
    ParseHandler(const ParseHandler&) = delete;
    ParseHandler& operator=(const ParseHandler&) = delete;

    void startDocument();
    // Attributes as name/value pairs ending with a null name.
    uint32_t startElement(const char* name, const char** attributes);
    uint32_t endElement(const char* name);
    uint32_t characters(const char* text, int length);
    uint32_t endDocument();
    uint32_t getError() const { return m_error; }

    // The element names of the attribute categories, in category order.
    static const char* const attrAry[T_PRM_INFO::CATEGORY_COUNT];

private:
    enum State : uint32_t { kBeforeFunction = 0, kInFunction = 1, kInCollections = 2, kInParameter = 3, kInAttribute = 4, kSkipping = 5 };

    void initPrmInfo();
    void skip();
    uint32_t startFunction(const char** attributes);
    uint32_t startCollection(const char** attributes);
    uint32_t startParameter(const char** attributes);
    uint32_t endParameter();
    void endAttribute();
    // An integer attribute: its value when it reads as a positive integer (unsigned kind), else fallback.
    unsigned readCount(const char* text, unsigned fallback) const;

    IField* m_field;
    char m_descName[kNameSize];
    char m_rootName[kNameSize];
    unsigned m_nodes[5];
    unsigned m_depth;
    uint32_t m_state;
    uint32_t m_savedState;
    T_PRM_INFO m_prm;
    uint32_t m_skipDepth;
    uint32_t m_error;
    BUILD_OPTION m_option;
    const T_MMS_SCRIPT_MACRO* m_macros;
    uint32_t m_macroCount;
};

}  // namespace Parser

class XmlParser {
public:
    // The file form: directory "/" file, opened for reading.
    static uint32_t Parse(IField* field, const char* descName, uint32_t descLength, const char* rootName,
                          uint32_t rootLength, const char* directory, uint32_t directoryLength, const char* file,
                          uint32_t fileLength, BUILD_OPTION option, const T_MMS_SCRIPT_MACRO* macros,
                          uint32_t macroCount);
    // The buffer form: the document ends at the end of the buffer or at a NUL in it.
    static uint32_t Parse(IField* field, const char* descName, uint32_t descLength, const char* rootName,
                          uint32_t rootLength, const char* buffer, uint32_t bufferLength, BUILD_OPTION option,
                          const T_MMS_SCRIPT_MACRO* macros, uint32_t macroCount);
    // The default table of every parse whose own table is null or empty; set before parses start.
    static uint32_t setScriptMacros(const T_MMS_SCRIPT_MACRO* macros, uint32_t count);

private:
    static const T_MMS_SCRIPT_MACRO* m_pMacros;
    static uint32_t m_macroSize;
};

// The expat callbacks; they discard the handler's results.
void element_start(void* user, const char* name, const char** attributes);
void element_end(void* user, const char* name);
void characters(void* user, const char* text, int length);

}  // namespace MMS
