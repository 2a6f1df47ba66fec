#pragma once
// The speaker layout (label, position, mute of each speaker output) as a tab-separated text file:
// export reads the setup component of the device database, import writes it back through the
// link path so linked parameters follow. One object per command on the device-control thread; it
// keeps nothing between calls.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace LPC {

// One speaker row in file column order; positions in metres.
struct SpeakerData {
    uint32_t number = 0;
    std::string name;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float horizontalRotation = 0.0f;
    float verticalRotation = 0.0f;
    float gain = 0.0f;
    float delayTime = 0.0f;
    float delayDistance = 0.0f;
    bool mute = false;
};
using SpeakerDataList = std::vector<SpeakerData>;

// A field that should hold a number but does not begin with a finite one: the whole file is
// refused, since storing a default in its place would move a speaker silently.
constexpr JLIB::JResult kSpeakerFieldMalformed = 0x80000001u;

// Stores field text of file line lineNumber into column's field of row. 0 when stored,
// 0x80000000 when the column takes no such field (an empty x, column 11 and up),
// kSpeakerFieldMalformed for a number column whose text does not begin with a finite number.
[[nodiscard]] JLIB::JResult toData(uint32_t lineNumber, uint32_t column, const std::string& text, SpeakerData& row);

class LpcSpeakerData {
public:
    // Bounds of what a client-named file may make the reader take in.
    static constexpr uint64_t kMaxFileSize = 1024 * 1024;
    static constexpr size_t kMaxLineLength = 4096;

    LpcSpeakerData() = default;
    virtual ~LpcSpeakerData();

    // fromFile, then toPDB: the failing step's code, else toPDB's.
    [[nodiscard]] JLIB::JResult importFromFile(const char* path);
    // fromPDB, then toFile.
    [[nodiscard]] JLIB::JResult exportToFile(const char* path);

    // The speaker rows of the file (path as UTF-8), the header line skipped. 0x80000000 without a
    // path, for a file that cannot be opened, is over kMaxFileSize, has a line over kMaxLineLength,
    // a malformed number field or a position whose centimetres do not fit an Int32; rows is empty
    // then.
    [[nodiscard]] JLIB::JResult fromFile(const char* path, SpeakerDataList& rows);
    // The parser of fromFile over text already read, with the same refusals.
    [[nodiscard]] static JLIB::JResult fromText(const std::string& text, SpeakerDataList& rows);
    // Label, position (centimetres, cut toward zero) and fader switch of each row's speaker in list
    // order; the first failing write ends it with its code, earlier rows stay written. 0 for none.
    [[nodiscard]] JLIB::JResult toPDB(const SpeakerDataList& rows);
    // Every speaker of the label parameter's x size whose position reads whole. 0.
    [[nodiscard]] JLIB::JResult fromPDB(SpeakerDataList& rows);
    // The header and one line per row. 0x80000000 without a path or when the file cannot be
    // created; write errors after that are not seen.
    [[nodiscard]] JLIB::JResult toFile(const char* path, const SpeakerDataList& rows);
    // fromFile then toFile: a file rewritten through the row list.
    [[nodiscard]] JLIB::JResult test(const char* inputPath, const char* outputPath);
};

}  // namespace LPC
