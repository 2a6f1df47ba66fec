#include "common/Lpc/LpcSpeakerData.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <locale>
#include <sstream>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"

namespace LPC {

namespace {

constexpr const char* kLabel = "/ToSpeaker/Label/Name";
constexpr const char* kPosition = "/OBA/Speaker/Position";
constexpr const char* kPositionMembers = "xyz";
constexpr const char* kFaderOn = "/ToSpeaker/Fader/On";
constexpr const char* const kHeader[] = {"#",        "Speaker System", "x-Pos",      "y-Pos",
                                         "z-Pos",    "Horiz-Rot",      "Vert-Rot",   "Gain",
                                         "Delay-Time", "Delay-Distance", "Mute"};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The Float the text begins with (after white space; the rest ignored); false when it does not
// begin with a finite number.
bool readFloat(const std::string& text, float& out)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(begin, &end);
    if (end == begin || !std::isfinite(value)) return false;
    out = value;
    return true;
}

bool readInteger(const std::string& text, long& out)
{
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    const char* begin = text.c_str() + i;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin) return false;
    out = value;
    return true;
}

// Metres to centimetres as the device stores them, cut toward zero; false when the result does not
// fit an Int32. A value within single-precision resolution of a whole centimetre is that
// centimetre: the exported text of -327.61 m reads back as a Float just short of it, and a plain
// cut would move the speaker by 1 cm on every export and import.
bool toCentimetres(float metres, int32_t& out)
{
    const double cm = static_cast<double>(metres) * 100.0;
    if (!std::isfinite(cm)) return false;
    const double nearest = std::round(cm);
    const double cut = std::fabs(cm - nearest) <= std::fabs(cm) * 0x1p-23 ? nearest : std::trunc(cm);
    if (cut < -2147483648.0 || cut > 2147483647.0) return false;
    out = static_cast<int32_t>(cut);
    return true;
}

// One line into a row; kSpeakerFieldMalformed when the file must be refused.
JLIB::JResult parseLine(uint32_t lineNumber, const std::string& line, SpeakerData& row, uint32_t& stored)
{
    uint32_t column = 0;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        const std::string field = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        const JLIB::JResult result = toData(lineNumber, column, field, row);
        if (result == kSpeakerFieldMalformed) return result;
        if (JLIB::isSuccess(result)) ++column;  // a refused field is dropped; the next one gets its column
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    stored = column;
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult toData(uint32_t lineNumber, uint32_t column, const std::string& text, SpeakerData& row)
{
    float* const floats[] = {&row.x,    &row.y,         &row.z,     &row.horizontalRotation, &row.verticalRotation,
                             &row.gain, &row.delayTime, &row.delayDistance};
    switch (column) {
    case 0:
        // The line's place names the speaker, not the text.
        row.number = lineNumber - 1;
        return JLIB::kOk;
    case 1:
        row.name = text;
        return JLIB::kOk;
    case 10: {
        long value = 0;
        if (!readInteger(text, value)) return kSpeakerFieldMalformed;
        row.mute = value != 0;
        return JLIB::kOk;
    }
    default:
        break;
    }
    if (column > 10) return JLIB::kFailed;
    if (column == 2 && text.empty()) return JLIB::kFailed;  // the next field shifts into x
    return readFloat(text, *floats[column - 2]) ? JLIB::kOk : kSpeakerFieldMalformed;
}

LpcSpeakerData::~LpcSpeakerData() = default;

JLIB::JResult LpcSpeakerData::importFromFile(const char* path)
{
    SpeakerDataList rows;
    JLIB_RETURN_IF_FAILED(fromFile(path, rows));
    return toPDB(rows);
}

JLIB::JResult LpcSpeakerData::exportToFile(const char* path)
{
    SpeakerDataList rows;
    JLIB_RETURN_IF_FAILED(fromPDB(rows));
    return toFile(path, rows);
}

JLIB::JResult LpcSpeakerData::fromFile(const char* path, SpeakerDataList& rows)
{
    rows.clear();
    if (!path) return JLIB::kFailed;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        JLIB_LOG("[E] LpcSpeakerData::fromFile - cannot open %s\n", path);
        return JLIB::kFailed;
    }
    // Read at most one byte past the bound, so an endless or huge file is never taken in whole.
    std::string text(kMaxFileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxFileSize) {
        JLIB_LOG("[E] LpcSpeakerData::fromFile - %s is larger than %llu bytes\n", path,
                 static_cast<unsigned long long>(kMaxFileSize));
        return JLIB::kFailed;
    }
    const JLIB::JResult result = fromText(text, rows);
    if (JLIB::isFailure(result)) JLIB_LOG("[E] LpcSpeakerData::fromFile - %s refused\n", path);
    return result;
}

JLIB::JResult LpcSpeakerData::fromText(const std::string& text, SpeakerDataList& rows)
{
    rows.clear();
    SpeakerDataList parsed;
    uint32_t lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        if (end - start > kMaxLineLength) return JLIB::kFailed;
        if (lineNumber != 0) {
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();  // CR LF reads as LF
            SpeakerData row;
            uint32_t stored = 0;
            if (JLIB::isFailure(parseLine(lineNumber, line, row, stored))) return JLIB::kFailed;
            int32_t cm = 0;
            if (!toCentimetres(row.x, cm) || !toCentimetres(row.y, cm) || !toCentimetres(row.z, cm)) {
                return JLIB::kFailed;
            }
            if (stored > 1) parsed.push_back(std::move(row));
        }
        ++lineNumber;
        start = next;
    }
    rows = std::move(parsed);
    return JLIB::kOk;
}

JLIB::JResult LpcSpeakerData::toPDB(const SpeakerDataList& rows)
{
    JLIB::JResult result = JLIB::kOk;
    for (const SpeakerData& row : rows) {
        const uint32_t s = row.number;
        // Taken up to the longest text a value holds (a longer one would become an error text);
        // the write then cuts it to the label's size.
        result = pdb_setParam(CATEGORY_PDBTYPE_UZSETUP, kLabel, s, 0,
                              JVariant(row.name.c_str(), JVariant::kMaxStringLength), kDerivedWriteAttr);
        if (JLIB::isFailure(result)) return result;
        int32_t cm[3] = {};
        // fromText refused rows whose centimetres do not fit; rows from elsewhere are checked here.
        if (!toCentimetres(row.x, cm[0]) || !toCentimetres(row.y, cm[1]) || !toCentimetres(row.z, cm[2])) {
            return JLIB::kFailed;
        }
        const JVariantList position = {JVariant(cm[0]), JVariant(cm[1]), JVariant(cm[2])};
        result = pdb_setParams(CATEGORY_PDBTYPE_UZSETUP, kPosition, kPositionMembers, 3, s, 0, position,
                               kDerivedWriteAttr);
        if (JLIB::isFailure(result)) return result;
        result = pdb_setParamT<unsigned int>(CATEGORY_PDBTYPE_UZSETUP, kFaderOn, s, 0, row.mute ? 0u : 1u);
        if (JLIB::isFailure(result)) return result;
    }
    return result;
}

JLIB::JResult LpcSpeakerData::fromPDB(SpeakerDataList& rows)
{
    rows.clear();
    const PDB::AddressId labelId = pdb_resolveAddress(CATEGORY_PDBTYPE_UZSETUP, kLabel);
    const uint32_t count = getLpcPDB().paramInfo(labelId.componentIndex(), labelId.addressIndex()).numX;
    for (uint32_t s = 0; s < count; ++s) {
        SpeakerData row;
        row.number = s;
        const JVariant name = pdb_getParam(CATEGORY_PDBTYPE_UZSETUP, kLabel, s, 0);
        const char* chars = name.toString();
        row.name = chars ? chars : "";
        JVariantList position;
        if (JLIB::isFailure(pdb_getParams(CATEGORY_PDBTYPE_UZSETUP, kPosition, kPositionMembers, 3, s, 0, position)) ||
            position.size() != 3) {
            continue;
        }
        row.x = static_cast<float>(position[0].toInt32()) / 100.0f;
        row.y = static_cast<float>(position[1].toInt32()) / 100.0f;
        row.z = static_cast<float>(position[2].toInt32()) / 100.0f;
        row.mute = pdb_getParam(CATEGORY_PDBTYPE_UZSETUP, kFaderOn, s, 0).toInt32() == 0;
        rows.push_back(std::move(row));
    }
    return JLIB::kOk;
}

JLIB::JResult LpcSpeakerData::toFile(const char* path, const SpeakerDataList& rows)
{
    if (!path) return JLIB::kFailed;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        JLIB_LOG("[E] LpcSpeakerData::toFile - cannot create %s\n", path);
        return JLIB::kFailed;
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    for (const char* name : kHeader) text << name << '\t';
    text << '\n';
    for (const SpeakerData& row : rows) {
        text << row.number << '\t' << row.name << '\t';
        for (float value : {row.x, row.y, row.z, row.horizontalRotation, row.verticalRotation, row.gain,
                            row.delayTime, row.delayDistance}) {
            text << value << '\t';
        }
        text << (row.mute ? 1 : 0) << '\t' << '\n';
    }
    const std::string bytes = text.str();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return JLIB::kOk;
}

JLIB::JResult LpcSpeakerData::test(const char* inputPath, const char* outputPath)
{
    SpeakerDataList rows;
    JLIB_RETURN_IF_FAILED(fromFile(inputPath, rows));
    return toFile(outputPath, rows);
}

}  // namespace LPC
