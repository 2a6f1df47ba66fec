#pragma once
// The version table of the product: 23 version words (program, boot loader, kernel and further
// items) and three network-audio version texts, each with a set flag. Not locked: the product
// information guards its table with its own lock.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace KAVORI {

enum VersionKind : uint32_t {
    kVersionProgram = 0,
    kVersionBootLoader = 1,
    kVersionKernel = 2,
    kVersionKindNum = 23,
};

enum VersionNetAudioKind : uint32_t {
    kVersionNetAudioKindNum = 3,
};

// One version as its parts: kind 0 "R" (release) or 1 "V" (version), major, minor, sub, letter.
struct KavoriVersionItem {
    uint32_t kind = 0;
    int32_t major = 0;
    int32_t minor = 0;
    int32_t sub = 0;
    int32_t letter = 'a';
};

class KavoriVersionInfo {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    KavoriVersionInfo();

    // Every setter answers 0x80000000 for a kind of 23 or more and leaves the table as it was
    // on any failure.
    // The item must pass jlib_encodeVersion.
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, const KavoriVersionItem& item);
    // "R" or "V" (any case), the major number, a point within the first 32 characters, a number
    // below 100 (minor and sub), an optional letter: "R0.00.00", "V1.23c".
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, const char* text);
    // A "V" version packed in one byte (three ranges: 0x00-0x3F, 0x40-0x7F, 0x80-0xFF).
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, uint8_t byte);
    // Stored unchecked.
    [[nodiscard]] JLIB::JResult setVersion(uint32_t kind, uint32_t word);

    // 0 for a kind out of range or not set.
    uint32_t version(uint32_t kind) const;
    // "ERROR!" for a kind out of range and "------" for one not set (both 0x80000000); else the
    // printed word, at most 6 characters, and 0.
    JLIB::JResult versionString(uint32_t kind, std::string& text) const;
    bool isSet(uint32_t kind) const;

    // Kinds 0 and 1 store "a.b.c.d", kind 2 "a.b.c"; other kinds 0x80000000.
    [[nodiscard]] JLIB::JResult setVersionNetAudio(uint32_t kind, int a, int b, int c, int d);
    // The stored text; "-------" for a kind out of range or kinds 0 and 1 not set, "-----" for
    // kind 2 not set.
    std::string versionNetAudio(uint32_t kind) const;

private:
    uint32_t m_words[kVersionKindNum];
    bool m_set[kVersionKindNum];
    std::string m_netAudio[kVersionNetAudioKindNum];
    bool m_netAudioSet[kVersionNetAudioKindNum];
};

// Sets the kinds 0, 3 to 7, 20 and 21 from "R0.00.00"; 0.
JLIB::JResult setProgrammedVersion(KavoriVersionInfo& table);

}  // namespace KAVORI
