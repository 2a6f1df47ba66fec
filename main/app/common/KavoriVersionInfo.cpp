#include "common/KavoriVersionInfo.h"

#include <cctype>

#include "jlib/jlib_number.h"
#include "jlib/jlib_printf.h"
#include "jlib/jlib_version.h"

namespace KAVORI {

namespace {

// How far the point of a version text is looked for.
constexpr uint32_t kPointSearch = 32;
// Room of a printed version word ("V1.23c") and of a network-audio text.
constexpr uint32_t kVersionTextSize = 7;
constexpr uint32_t kNetAudioTextSize = 32;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

KavoriVersionInfo::KavoriVersionInfo() : m_words{}, m_set{}, m_netAudioSet{} {}

JLIB::JResult KavoriVersionInfo::setVersion(uint32_t kind, const KavoriVersionItem& item)
{
    if (kind >= kVersionKindNum) return kFailed;
    uint32_t word = 0;
    JLIB_RETURN_IF_FAILED(jlib_encodeVersion(&word, item.kind, item.major, item.minor, item.sub, item.letter));
    m_words[kind] = word;
    m_set[kind] = true;
    return JLIB::kOk;
}

JLIB::JResult KavoriVersionInfo::setVersion(uint32_t kind, const char* text)
{
    if (kind >= kVersionKindNum || !text) return kFailed;
    KavoriVersionItem item;
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (first == 'R') {
        item.kind = 0;
    } else if (first == 'V') {
        item.kind = 1;
    } else {
        return kFailed;
    }
    uint32_t point = 1;
    while (point < kPointSearch && text[point] != '\0' && text[point] != '.') ++point;
    if (point >= kPointSearch || text[point] != '.') return kFailed;

    int32_t major = 0;
    JLIB_RETURN_IF_FAILED(jlib_strntol(&major, text + 1, nullptr, 10, point - 1));
    // Two digits of minor and sub; a third digit makes the number 100 or more, which the
    // encoder refuses.
    const char* digits = text + point + 1;
    uint32_t count = 0;
    while (isDigit(digits[count]) && count < kPointSearch) ++count;
    int32_t n = 0;
    JLIB_RETURN_IF_FAILED(jlib_strntol(&n, digits, nullptr, 10, count));
    const char after = digits[count];
    item.major = major;
    item.minor = n / 10;
    item.sub = n % 10;
    item.letter = std::isalpha(static_cast<unsigned char>(after)) ? std::tolower(static_cast<unsigned char>(after)) : 'a';
    return setVersion(kind, item);
}

JLIB::JResult KavoriVersionInfo::setVersion(uint32_t kind, uint8_t byte)
{
    KavoriVersionItem item;
    item.kind = 1;
    if (byte <= 0x3F) {
        item.minor = (byte >> 4) & 3;
        item.sub = byte & 0x0F;
    } else if (byte <= 0x7F) {
        const uint8_t b = static_cast<uint8_t>(byte - 0x40);
        item.minor = ((b >> 4) & 3) + 3;
        item.sub = b & 0x0F;
    } else {
        const uint8_t b = static_cast<uint8_t>(byte - 0x80);
        item.major = 1;
        item.minor = (b >> 4) & 7;
        item.sub = b & 0x0F;
    }
    return setVersion(kind, item);
}

JLIB::JResult KavoriVersionInfo::setVersion(uint32_t kind, uint32_t word)
{
    if (kind >= kVersionKindNum) return kFailed;
    m_words[kind] = word;
    m_set[kind] = true;
    return JLIB::kOk;
}

uint32_t KavoriVersionInfo::version(uint32_t kind) const { return isSet(kind) ? m_words[kind] : 0; }

JLIB::JResult KavoriVersionInfo::versionString(uint32_t kind, std::string& text) const
{
    if (kind >= kVersionKindNum) {
        text = "ERROR!";
        return kFailed;
    }
    if (!m_set[kind]) {
        text = "------";
        return kFailed;
    }
    char buffer[kVersionTextSize];
    // A word stored unchecked may not decode: its printed stand-in is the answer then.
    (void)jlib_makeVersionString(buffer, sizeof(buffer), m_words[kind]);
    text = buffer;
    return JLIB::kOk;
}

bool KavoriVersionInfo::isSet(uint32_t kind) const { return kind < kVersionKindNum && m_set[kind]; }

JLIB::JResult KavoriVersionInfo::setVersionNetAudio(uint32_t kind, int a, int b, int c, int d)
{
    if (kind >= kVersionNetAudioKindNum) return kFailed;
    char buffer[kNetAudioTextSize];
    if (kind == 2) {
        JLIB_RETURN_IF_FAILED(jlib_snprintf(buffer, sizeof(buffer), nullptr, "%d.%d.%d", a, b, c));
    } else {
        JLIB_RETURN_IF_FAILED(jlib_snprintf(buffer, sizeof(buffer), nullptr, "%d.%d.%d.%d", a, b, c, d));
    }
    m_netAudio[kind] = buffer;
    m_netAudioSet[kind] = true;
    return JLIB::kOk;
}

std::string KavoriVersionInfo::versionNetAudio(uint32_t kind) const
{
    if (kind >= kVersionNetAudioKindNum) return "-------";
    if (!m_netAudioSet[kind]) return kind == 2 ? "-----" : "-------";
    return m_netAudio[kind];
}

JLIB::JResult setProgrammedVersion(KavoriVersionInfo& table)
{
    static const uint32_t kKinds[] = {0, 3, 4, 5, 6, 7, 20, 21};
    for (const uint32_t kind : kKinds) (void)table.setVersion(kind, "R0.00.00");  // a fixed text that always encodes
    return JLIB::kOk;
}

}  // namespace KAVORI
