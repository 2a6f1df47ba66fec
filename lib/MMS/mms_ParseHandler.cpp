#include "mms_ParseHandler.h"

#include <expat.h>

#include <cstring>

#include "MMS/Common/mms_Platform.h"

namespace MMS {
namespace Parser {

namespace {

bool same(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

// The value of the first attribute of that name; null when absent.
const char* attribute(const char** attributes, const char* name)
{
    if (!attributes) return nullptr;
    for (uint32_t i = 0; attributes[i]; i += 2)
        if (same(attributes[i], name)) return attributes[i + 1];
    return nullptr;
}

// Copies at most max characters up to the NUL, and a NUL (out holds max + 1 bytes).
void copyCut(char* out, const char* text, uint32_t max)
{
    uint32_t n = 0;
    if (text)
        while (n < max && text[n]) {
            out[n] = text[n];
            ++n;
        }
    out[n] = '\0';
}

uint32_t boundedLength(const char* text) { return static_cast<uint32_t>(text ? std::strlen(text) : 0); }

constexpr unsigned kTypeString = 0x201;
constexpr unsigned kTypeReal = 0x304;

}  // namespace

uint32_t cnvMmsErr2ParserErr(uint32_t code)
{
    if ((code & 0x80000000u) == 0) return 0;
    switch (code & 0xFFu) {
    case 0x02: return kMmspMissingArgument;
    case 0x03: return kMmspNoMemory;
    default: return kMmspFieldRefused;
    }
}

void adjustEdgeSpace(const char* text, const char** begin, uint32_t* length)
{
    uint32_t start = 0;
    while (text[start] == ' ' || text[start] == '\t') ++start;
    uint32_t end = start;
    while (text[end]) ++end;
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    *begin = text + start;
    *length = end - start;
}

uint32_t extractName(char* out, uint32_t size, const char* text)
{
    if (!out || !text) return kMmspMissingArgument;
    const char* begin = nullptr;
    uint32_t length = 0;
    adjustEdgeSpace(text, &begin, &length);
    if (length < 1 || length >= size) return kMmspUnacceptable;
    if (isIllegalName(begin, length) != 0) return kMmspUnacceptable;
    std::memcpy(out, begin, length);
    out[length] = '\0';
    return 0;
}

bool chkDigit(char c) { return c >= '0' && c <= '9'; }
bool chkAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

uint32_t extractVersion(char* out, const char* text)
{
    if (!out || !text) return kMmspMissingArgument;
    while (*text == ' ' || *text == '\t') ++text;
    // Each check stops at the first failing position, so no byte past a NUL is read.
    for (uint32_t i = 0; i < 8; ++i) {
        const bool ok = (i == 2 || i == 5) ? text[i] == '.' : chkDigit(text[i]);
        if (!ok) return kMmspUnacceptable;
    }
    uint32_t length = 0;
    if (text[8] == '\0') length = 8;
    else if (text[8] == ' ' && chkAlpha(text[9])) length = 10;
    else return kMmspUnacceptable;
    std::memset(out, 0, kVersionSize);
    std::memcpy(out, text, length);
    return 0;
}

bool isValidType(unsigned type, unsigned readingKind)
{
    switch (type) {
    case 0x001:
    case 0x002:
    case 0x004: return readingKind == kReadingSigned || readingKind == kReadingUnsigned;
    case 0x101:
    case 0x102:
    case 0x104:
    case 0x100: return readingKind == kReadingUnsigned;
    case kTypeReal: return readingKind == kReadingReal;
    default: return false;
    }
}

unsigned typeCodeOf(const char* text)
{
    static const struct {
        const char* name;
        unsigned code;
    } kTypes[] = {{"uint8_t", 0x101}, {"uint16_t", 0x102}, {"uint32_t", 0x104}, {"int8_t", 0x001},
                  {"int16_t", 0x002}, {"int32_t", 0x004},  {"string", 0x201},   {"float", 0x304},
                  {"double", 0x304},  {"bit", 0x100}};
    for (const auto& t : kTypes)
        if (same(text, t.name)) return t.code;
    return 0;
}

const char* const ParseHandler::attrAry[T_PRM_INFO::CATEGORY_COUNT] = {
    "minimum", "maximum", "default", "step", "nominal", "unit", "scaling", "kind", "nameformat"};

ParseHandler::ParseHandler(IField* field, const char* descName, uint32_t descLength, const char* rootName,
                           uint32_t rootLength, BUILD_OPTION option, const T_MMS_SCRIPT_MACRO* macros,
                           uint32_t macroCount)
    : m_field(field), m_nodes{}, m_depth(0), m_state(kBeforeFunction), m_savedState(kBeforeFunction), m_prm{},
      m_skipDepth(0), m_error(0), m_option(option), m_macros(macros), m_macroCount(macroCount)
{
    const uint32_t descCut = descName ? mmsStrnlen(descName, descLength < kNameSize - 1 ? descLength : kNameSize - 1) : 0;
    const uint32_t rootCut = rootName ? mmsStrnlen(rootName, rootLength < kNameSize - 1 ? rootLength : kNameSize - 1) : 0;
    std::memset(m_descName, 0, sizeof m_descName);
    std::memset(m_rootName, 0, sizeof m_rootName);
    if (descCut) std::memcpy(m_descName, descName, descCut);
    if (rootCut) std::memcpy(m_rootName, rootName, rootCut);
    initPrmInfo();
}

void ParseHandler::initPrmInfo()
{
    m_prm.category = 0;
    m_prm.mask = 0;
    std::memset(m_prm.text, 0, sizeof m_prm.text);
    m_prm.textLength = 0;
    std::memset(m_prm.name, 0, sizeof m_prm.name);
    m_prm.type = 0;
    m_prm.arraySize = 1;
    for (JVariant& v : m_prm.values) (void)v.setInt32(0);
    std::memset(m_prm.unit, 0, sizeof m_prm.unit);
    m_prm.scaling = 1;
    m_prm.kind = 0;
    std::memset(m_prm.nameFormat, 0, sizeof m_prm.nameFormat);
}

void ParseHandler::startDocument() { m_error = 0; }

void ParseHandler::skip()
{
    m_savedState = m_state;
    m_state = kSkipping;
    m_skipDepth = 1;
}

unsigned ParseHandler::readCount(const char* text, unsigned fallback) const
{
    if (!text) return fallback;
    JVariant value;
    unsigned kind = 0;
    (void)cnvScriptToNum(text, boundedLength(text), &value, &kind, m_macros, m_macroCount);
    if (kind != kReadingUnsigned) return fallback;
    const unsigned n = value.toUInt32();
    return n ? n : fallback;
}

uint32_t ParseHandler::startFunction(const char** attributes)
{
    char top[kNameSize] = {};
    uint32_t r = extractName(top, kNameSize, attribute(attributes, "name"));
    if (r != 0) {
        m_error = r;
        skip();
        return r;
    }
    const unsigned collections = readCount(attribute(attributes, "collections"), 0);
    const unsigned parameters = readCount(attribute(attributes, "parameters"), 0);
    (void)readCount(attribute(attributes, "datasize"), 0);  // read, but the root sizes its data itself
    const unsigned stringBytes = readCount(attribute(attributes, "stringsize"), 0);
    char version[kVersionSize] = {};
    const char* versionText = attribute(attributes, "version");
    const bool hasVersion = versionText && extractVersion(version, versionText) == 0;

    if (!m_field) r = kMmspMissingArgument;
    if (r == 0 && m_option != BUILD_OPTION_NONE) r = cnvMmsErr2ParserErr(m_field->startBuild());
    if (r == 0) r = cnvMmsErr2ParserErr(m_field->createRoot(m_rootName, top, collections, parameters, stringBytes));
    if (r == 0) r = cnvMmsErr2ParserErr(m_field->setDescName(m_rootName, m_descName));
    if (r != 0) {
        m_error = r;
        skip();
        return r;
    }
    if (hasVersion) (void)m_field->setDescVersion(m_rootName, version);
    m_state = kInFunction;
    return 0;
}

uint32_t ParseHandler::startCollection(const char** attributes)
{
    char name[kNameSize] = {};
    uint32_t r = extractName(name, kNameSize, attribute(attributes, "name"));
    const unsigned arraySize = readCount(attribute(attributes, "arraysize"), 1);
    if (r == 0 && m_depth >= kMaxCollectionDepth) r = kMmspUnacceptable;
    if (r == 0) r = cnvMmsErr2ParserErr(m_field->addCollectionFast(&m_nodes[m_depth], m_rootName, m_nodes, m_depth, name, arraySize));
    if (r != 0) {
        skip();
        return r;
    }
    ++m_depth;
    return 0;
}

uint32_t ParseHandler::startParameter(const char** attributes)
{
    initPrmInfo();
    uint32_t r = extractName(m_prm.name, kNameSize, attribute(attributes, "name"));
    const char* typeText = attribute(attributes, "type");
    if (r == 0 && !typeText) r = kMmspMissingArgument;
    if (r == 0) {
        m_prm.type = typeCodeOf(typeText);
        if (m_prm.type == 0) r = kMmspUnacceptable;
    }
    if (r != 0) {
        initPrmInfo();
        skip();
        return r;
    }
    m_prm.arraySize = readCount(attribute(attributes, "arraysize"), 1);
    m_state = kInParameter;
    return 0;
}

uint32_t ParseHandler::endParameter()
{
    using P = T_PRM_INFO;
    auto pick = [this](uint32_t category) -> JVariant* {
        return (m_prm.mask & (1u << category)) ? &m_prm.values[category] : nullptr;
    };
    const uint32_t unitLength = boundedLength(m_prm.unit);
    const uint32_t formatLength = boundedLength(m_prm.nameFormat);
    (void)m_field->addPrmFast(&m_nodes[m_depth], m_rootName, m_nodes, m_depth, m_prm.name, m_prm.arraySize, m_prm.type,
                              pick(P::CATEGORY_MINIMUM), pick(P::CATEGORY_MAXIMUM), pick(P::CATEGORY_DEFAULT),
                              pick(P::CATEGORY_STEP), pick(P::CATEGORY_NOMINAL), unitLength ? m_prm.unit : nullptr,
                              unitLength ? unitLength + 1 : 0, m_prm.scaling, m_prm.kind,
                              formatLength ? m_prm.nameFormat : nullptr, formatLength ? formatLength + 1 : 0);
    initPrmInfo();
    m_state = kInCollections;
    return 0;
}

void ParseHandler::endAttribute()
{
    using P = T_PRM_INFO;
    const uint32_t category = m_prm.category;
    const uint32_t bit = 1u << category;
    const char* text = m_prm.text;
    const uint32_t length = m_prm.textLength;
    bool accepted = false;
    if (!(m_prm.mask & bit)) {
        const bool isString = m_prm.type == kTypeString;
        JVariant value;
        unsigned kind = 0;
        auto read = [&]() { (void)cnvScriptToNum(text, length, &value, &kind, m_macros, m_macroCount); };
        switch (category) {
        case P::CATEGORY_UNIT:
            copyCut(m_prm.unit, text, kUnitSize - 1);
            accepted = true;
            break;
        case P::CATEGORY_NAMEFORMAT:
            copyCut(m_prm.nameFormat, text, kNameFormatSize - 1);
            accepted = true;
            break;
        case P::CATEGORY_SCALING:
        case P::CATEGORY_KIND:
            read();
            if (kind == kReadingUnsigned) {
                (category == P::CATEGORY_SCALING ? m_prm.scaling : m_prm.kind) = value.toUInt32();
                accepted = true;
            }
            break;
        default:  // minimum, maximum, default, step, nominal
            if (isString) {
                if (category == P::CATEGORY_MAXIMUM) {
                    read();
                    if (kind == kReadingUnsigned) {
                        m_prm.values[category] = value;
                        accepted = true;
                    }
                } else if (category == P::CATEGORY_DEFAULT || category == P::CATEGORY_NOMINAL) {
                    accepted = (m_prm.values[category].setString(text, kTextSize - 1) & 0x80000000u) == 0;
                }
                break;  // minimum and step of a string are accepted and ignored
            }
            read();
            accepted = isValidType(m_prm.type, kind);
            if (accepted && category == P::CATEGORY_STEP)
                accepted = kind != kReadingSigned && !(kind == kReadingReal && value.toFloat() < 0.0f);
            if (accepted) m_prm.values[category] = value;
            break;
        }
    }
    if (accepted) m_prm.mask |= bit;
    std::memset(m_prm.text, 0, sizeof m_prm.text);
    m_prm.textLength = 0;
    m_state = kInParameter;
}

uint32_t ParseHandler::startElement(const char* name, const char** attributes)
{
    switch (m_state) {
    case kBeforeFunction:
        if (same(name, "function")) return startFunction(attributes);
        skip();
        return 0;
    case kInFunction:
        if (same(name, "collections")) {
            m_state = kInCollections;
            unsigned char status = 0;
            if (m_field && (m_field->getStatus(&status) & 0x80000000u) == 0 && status == 0) return kMmspUnacceptable;
            return 0;
        }
        skip();
        return 0;
    case kInCollections:
        if (same(name, "collection")) return startCollection(attributes);
        if (same(name, "parameter")) return startParameter(attributes);
        skip();
        return 0;
    case kInParameter:
        for (uint32_t c = 0; c < T_PRM_INFO::CATEGORY_COUNT; ++c) {
            if (same(name, attrAry[c])) {
                m_prm.category = c;
                m_prm.textLength = 0;
                m_state = kInAttribute;
                return 0;
            }
        }
        skip();
        return 0;
    case kInAttribute:
        skip();
        return 0;
    default:
        ++m_skipDepth;
        return 0;
    }
}

uint32_t ParseHandler::endElement(const char* name)
{
    switch (m_state) {
    case kInCollections:
        if (same(name, "collection")) {
            if (m_depth > 0) --m_depth;
        } else if (same(name, "collections") && m_depth == 0) {
            m_state = kBeforeFunction;
        }
        return 0;
    case kInParameter:
        if (same(name, "parameter")) return endParameter();
        return 0;
    case kInAttribute:
        endAttribute();
        return 0;
    case kSkipping:
        if (--m_skipDepth == 0) m_state = m_savedState;
        return 0;
    default:
        return 0;
    }
}

uint32_t ParseHandler::characters(const char* text, int length)
{
    if (m_state != kInAttribute || !text || length <= 0) return 0;
    // Only the first 255 characters are kept; the rest is cut off.
    const uint32_t room = kTextSize - 1 - m_prm.textLength;
    const uint32_t n = static_cast<uint32_t>(length) < room ? static_cast<uint32_t>(length) : room;
    std::memcpy(m_prm.text + m_prm.textLength, text, n);
    m_prm.textLength += n;
    m_prm.text[m_prm.textLength] = '\0';
    return 0;
}

uint32_t ParseHandler::endDocument()
{
    if ((m_option != BUILD_OPTION_LINK && m_option != BUILD_OPTION_FINISH) || !m_field) return 0;
    unsigned char status = 3;
    if (m_field->getStatus(&status) & 0x80000000u) status = 3;
    uint32_t r = 0;
    if (status == 1) {
        r = m_option == BUILD_OPTION_LINK ? m_field->linkBuild(1) : m_field->finishBuild(1);
        if (r == kMmsNoDefault) r = 0;
    } else if (status >= 3) {
        r = kMmsWrongState;
    }
    return cnvMmsErr2ParserErr(r);
}

}  // namespace Parser

void element_start(void* user, const char* name, const char** attributes)
{
    (void)static_cast<Parser::ParseHandler*>(user)->startElement(name, attributes);
}

void element_end(void* user, const char* name) { (void)static_cast<Parser::ParseHandler*>(user)->endElement(name); }

void characters(void* user, const char* text, int length)
{
    (void)static_cast<Parser::ParseHandler*>(user)->characters(text, length);
}

const T_MMS_SCRIPT_MACRO* XmlParser::m_pMacros = nullptr;
uint32_t XmlParser::m_macroSize = 0;

uint32_t XmlParser::setScriptMacros(const T_MMS_SCRIPT_MACRO* macros, uint32_t count)
{
    if (!macros && count != 0) return kMmspMissingArgument;
    m_pMacros = macros;
    m_macroSize = count;
    return 0;
}

namespace {

constexpr uint32_t kSliceSize = 256;

// Reads one slice into buffer: 0 with *count and *final, or a reader code.
class SliceSource {
public:
    virtual ~SliceSource() = default;
    virtual uint32_t next(const char** slice, uint32_t* count, bool* final) = 0;
};

class BufferSource : public SliceSource {
public:
    BufferSource(const char* text, uint32_t length) : m_text(text), m_left(length) {}
    uint32_t next(const char** slice, uint32_t* count, bool* final) override
    {
        uint32_t n = m_left < kSliceSize ? m_left : kSliceSize;
        *final = m_left <= kSliceSize;
        if (const void* nul = std::memchr(m_text, '\0', n)) {
            n = static_cast<uint32_t>(static_cast<const char*>(nul) - m_text);  // the document ends here
            *final = true;
        }
        *slice = m_text;
        *count = n;
        m_text += n;
        m_left -= n;
        return 0;
    }

private:
    const char* m_text;
    uint32_t m_left;
};

class FileSource : public SliceSource {
public:
    explicit FileSource(T_MMS_FILE* file) : m_file(file) {}
    uint32_t next(const char** slice, uint32_t* count, bool* final) override
    {
        uint32_t n = 0;
        if (mmsFileRead(m_buffer, &n, kSliceSize, m_file) & 0x80000000u) return kMmspReadFailed;
        *slice = m_buffer;
        *count = n;
        *final = n < kSliceSize;
        return 0;
    }

private:
    T_MMS_FILE* m_file;
    char m_buffer[kSliceSize];
};

bool missing(const void* p, uint32_t length) { return !p || length == 0; }

uint32_t run(IField* field, const char* descName, uint32_t descLength, const char* rootName, uint32_t rootLength,
             XML_Parser reader, SliceSource& source, BUILD_OPTION option, const T_MMS_SCRIPT_MACRO* macros,
             uint32_t macroCount)
{
    Parser::ParseHandler handler(field, descName, descLength, rootName, rootLength, option, macros, macroCount);
    XML_SetUserData(reader, &handler);
    XML_SetElementHandler(reader, element_start, element_end);
    XML_SetCharacterDataHandler(reader, characters);
    handler.startDocument();
    uint32_t result = 0;
    for (;;) {
        const char* slice = nullptr;
        uint32_t count = 0;
        bool final = false;
        result = source.next(&slice, &count, &final);
        if (result != 0) break;
        if (XML_Parse(reader, slice, static_cast<int>(count), final ? 1 : 0) == XML_STATUS_ERROR ||
            (handler.getError() & 0x80000000u)) {
            result = kMmspReadFailed;
            break;
        }
        if (final) break;
    }
    const uint32_t end = handler.endDocument();
    return result != 0 ? result : end;
}

}  // namespace

uint32_t XmlParser::Parse(IField* field, const char* descName, uint32_t descLength, const char* rootName,
                          uint32_t rootLength, const char* buffer, uint32_t bufferLength, BUILD_OPTION option,
                          const T_MMS_SCRIPT_MACRO* macros, uint32_t macroCount)
{
    if (!field || missing(rootName, rootLength) || missing(buffer, bufferLength)) return kMmspMissingArgument;
    if (!macros || macroCount == 0) {
        macros = m_pMacros;
        macroCount = m_macroSize;
    }
    XML_Parser reader = XML_ParserCreate(nullptr);
    if (!reader) return kMmspNoMemory;
    BufferSource source(buffer, bufferLength);
    const uint32_t r = run(field, descName, descLength, rootName, rootLength, reader, source, option, macros, macroCount);
    XML_ParserFree(reader);
    return r;
}

uint32_t XmlParser::Parse(IField* field, const char* descName, uint32_t descLength, const char* rootName,
                          uint32_t rootLength, const char* directory, uint32_t directoryLength, const char* file,
                          uint32_t fileLength, BUILD_OPTION option, const T_MMS_SCRIPT_MACRO* macros,
                          uint32_t macroCount)
{
    if (!field || missing(rootName, rootLength) || missing(directory, directoryLength) || missing(file, fileLength))
        return kMmspMissingArgument;
    if (!macros || macroCount == 0) {
        macros = m_pMacros;
        macroCount = m_macroSize;
    }
    XML_Parser reader = XML_ParserCreate(nullptr);
    if (!reader) return kMmspNoMemory;

    const uint32_t dirLen = mmsStrnlen(directory, directoryLength);
    const uint32_t fileLen = mmsStrnlen(file, fileLength);
    const uint64_t pathSize = static_cast<uint64_t>(dirLen) + fileLen + 2;
    char* path = pathSize <= 0xFFFFFFFFu ? static_cast<char*>(mmsMalloc(static_cast<uint32_t>(pathSize))) : nullptr;
    if (!path) {
        XML_ParserFree(reader);
        return kMmspNoMemory;
    }
    std::memcpy(path, directory, dirLen);
    path[dirLen] = '/';
    std::memcpy(path + dirLen + 1, file, fileLen);
    path[dirLen + 1 + fileLen] = '\0';
    T_MMS_FILE* handle = nullptr;
    const uint32_t opened = mmsFileOpen(&handle, path, 3);
    (void)mmsFree(path);
    if ((opened & 0x80000000u) || !handle) {
        XML_ParserFree(reader);
        return kMmspOpenFailed;
    }
    FileSource source(handle);
    const uint32_t r = run(field, descName, descLength, rootName, rootLength, reader, source, option, macros, macroCount);
    XML_ParserFree(reader);
    (void)mmsFileClose(handle);
    return r;
}

}  // namespace MMS
