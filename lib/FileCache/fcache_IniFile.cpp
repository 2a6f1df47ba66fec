#include "fcache_IniFile.h"

#include <algorithm>
#include <cstring>

#include "fcache_VDirTreeItemAutoOpenCloser.h"
#include "jlib/jlib_cfg.h"

namespace FILECACHE {

const uint8_t gUTF8BOM[3] = {0xEF, 0xBB, 0xBF};

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr uint32_t kChunkSize = 256;
constexpr const char* kTrimmed = " \t\r\n";
constexpr const char* prefix = "[";
constexpr const char* postfix = "]\n";
constexpr const char* delimiter = " = ";
constexpr const char* newLine = "\n";

// Appends within the room of a working text; false when the text would outgrow it. Blanks
// before the text, and blanks past its room that can only end it, are trimmed anyway and take no
// room, so "key = value" as written here reads back at the full room.
bool appendWithin(std::string& text, uint8_t byte, size_t room)
{
    const bool blank = byte == ' ' || byte == '\t';
    if (blank && (text.empty() || text.size() >= room)) return true;
    if (text.size() >= room) return false;
    text.push_back(static_cast<char>(byte));
    return true;
}

}  // namespace

IniFile::ItemKey::ItemKey(const char* sectionName, const char* keyName)
    : section(sectionName ? sectionName : ""), key(keyName ? keyName : "")
{
}

bool IniFile::cmpKey::operator()(const ItemKey& a, const ItemKey& b) const
{
    if (!a.isValid()) return false;
    const int sections = a.section.compare(b.section);
    if (sections != 0) return sections < 0;
    return a.key.compare(b.key) < 0;
}

IniFile::~IniFile() = default;

JLIB::JResult IniFile::initialize(const char* folder, ItemType type, const char* name)
{
    const JLIB::JResult r = VDirTreeItem::initialize(folder, type, name, true);
    m_items.clear();
    return r;
}

JLIB::JResult IniFile::refresh() { return readAll(); }

JLIB::JResult IniFile::readAll()
{
    VDirTreeItemAutoOpenCloser closer(this, FileAccessor::OPEN_READ);
    if (JLIB::isFailure(closer.errCode())) return kFailed;

    m_items.clear();
    std::string section;
    std::string key;
    std::string value;
    DecodeStatus status = DECODE_LINE;
    const uint32_t total = size();
    uint32_t remaining = total;
    JLIB::JResult result = 0;
    uint8_t chunk[kChunkSize];
    bool first = true;
    while (remaining > 0) {
        uint32_t got = 0;
        const JLIB::JResult r = read(chunk, std::min(kChunkSize, remaining), &got);
        if (JLIB::isFailure(r) || got == 0) return kFailed;
        uint32_t skip = 0;
        if (first && total >= 3 && got >= 3 && std::memcmp(chunk, gUTF8BOM, 3) == 0) skip = 3;
        first = false;
        result = decode(chunk + skip, got - skip, status, section, key, value, remaining == got);
        if (JLIB::isFailure(result)) {
            std::string full;
            (void)pathAndName(full);  // cannot fail
            JLIB_LOG("[E] IniFile::readAll - malformed settings file \"%s\"!\n", full.c_str());
            return kFailed;
        }
        remaining -= std::min(got, remaining);
    }
    return result;
}

JLIB::JResult IniFile::writeAll(bool withBOM)
{
    if (!isFile()) return kFailed;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    // Emptying the file first would lose every setting on a failed write: build a new file
    // beside it and put it in place only once it is whole.
    const std::string temporary = full + ".tmp";
    FileAccessor out;
    if (JLIB::isFailure(out.open(temporary.c_str(), FileAccessor::OPEN_CREATE))) return kFailed;

    bool ok = true;
    auto put = [&out, &ok](const void* bytes, size_t count) {
        uint32_t written = 0;
        if (JLIB::isFailure(out.write(bytes, static_cast<uint32_t>(count), &written))) ok = false;
    };
    auto putText = [&put](const std::string& text) { put(text.data(), text.size()); };

    if (withBOM) put(gUTF8BOM, sizeof(gUTF8BOM));
    const std::string* previous = nullptr;
    for (const auto& entry : m_items) {
        if (!entry.first.isValid()) continue;
        const bool newSection = !previous || *previous != entry.first.section;
        if (previous && newSection) putText(newLine);
        if (newSection) {
            putText(prefix);
            putText(entry.first.section);
            putText(postfix);
        }
        putText(entry.first.key);
        putText(delimiter);
        putText(entry.second);
        putText(newLine);
        previous = &entry.first.section;
    }
    if (JLIB::isFailure(out.fsync())) ok = false;
    if (JLIB::isFailure(out.close())) ok = false;
    if (ok && JLIB::isSuccess(FileAccessor::rename(temporary.c_str(), full.c_str()))) return 0;
    (void)FileAccessor::remove(temporary.c_str(), false);  // the failure is what gets reported
    return kFailed;
}

const char* IniFile::item(const char* section, const char* key, const char* defaultValue) const
{
    const ItemKey itemKey(section, key);
    if (!itemKey.isValid()) return defaultValue;
    const auto found = m_items.find(itemKey);
    return found == m_items.end() ? defaultValue : found->second.c_str();
}

bool IniFile::isExist(const char* section, const char* key) const
{
    const ItemKey itemKey(section, key);
    return itemKey.isValid() && m_items.find(itemKey) != m_items.end();
}

JLIB::JResult IniFile::addItem(const char* section, const char* key, const char* value)
{
    const ItemKey itemKey(section, key);
    if (!value || !itemKey.isValid()) return kFailed;
    m_items[itemKey] = value;
    return 0;
}

JLIB::JResult IniFile::addItem(const IniItem& item)
{
    if (item.value.empty()) return kFailed;
    return addItem(item.section, item.key, item.value.c_str());
}

JLIB::JResult IniFile::removeItem(const char* section, const char* key)
{
    const ItemKey itemKey(section, key);
    if (!itemKey.isValid()) return kFailed;
    return m_items.erase(itemKey) == 1 ? 0 : kFailed;
}

JLIB::JResult IniFile::clear()
{
    m_items.clear();
    return 0;
}

bool IniFile::isTagCharacter(uint8_t byte) const
{
    if (byte < 0x20 && byte != '\t') return false;
    return byte != ':' && byte != '=' && byte != '[' && byte != ']';
}

std::string IniFile::trimString(const std::string& text, const char* characters)
{
    const size_t first = text.find_first_not_of(characters);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

void IniFile::finishLine(const std::string& section, std::string& key, std::string& value)
{
    key = trimString(key, kTrimmed);
    value = trimString(value, kTrimmed);
    if (!section.empty() && !key.empty() && !value.empty()) {
        (void)addItem(section.c_str(), key.c_str(), value.c_str());  // all three are set
    }
    key.clear();
    value.clear();
}

void IniFile::skipLine(const std::string& section, std::string& key, std::string& value, bool valueTooLong)
{
    std::string full;
    (void)pathAndName(full);  // cannot fail
    const std::string name = trimString(key, kTrimmed);
    if (valueTooLong) {
        JLIB_LOG("[W] IniFile::decode - line skipped in \"%s\": value of key \"%s\" in [%s] is longer than %u "
                 "characters!\n",
                 full.c_str(), name.c_str(), section.c_str(), static_cast<unsigned>(kValueRoom));
    } else {
        JLIB_LOG("[W] IniFile::decode - line skipped in \"%s\": key \"%s...\" of [%s] is longer than %u characters!\n",
                 full.c_str(), name.c_str(), section.c_str(), static_cast<unsigned>(kKeyRoom));
    }
    // The rest of the line is passed over like a comment and leaves nothing to store.
    key.clear();
    value.clear();
}

JLIB::JResult IniFile::decode(const uint8_t* bytes, uint32_t count, DecodeStatus& status, std::string& section,
                              std::string& key, std::string& value, bool last)
{
    if (!bytes && count > 0) return kFailed;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        if (byte == '\r' || byte == '\n') {
            finishLine(section, key, value);
            status = DECODE_LINE;
            continue;
        }
        if (byte == '#' || byte == ';') {
            status = DECODE_COMMENT;
            continue;
        }
        if (status == DECODE_LINE) {
            if (byte == '[') {
                section.clear();
                status = DECODE_SECTION;
                continue;
            }
            if (!isTagCharacter(byte)) continue;
            status = DECODE_KEY;  // this byte starts the key
        }
        switch (status) {
        case DECODE_SECTION:
            if (byte == ']') {
                section = trimString(section, kTrimmed);
                status = DECODE_AFTER_SECTION;
            } else if (!isTagCharacter(byte) || !appendWithin(section, byte, kSectionRoom)) {
                return kFailed;
            }
            break;
        case DECODE_AFTER_SECTION:
            if (byte != ' ' && byte != '\t') return kFailed;
            break;
        case DECODE_KEY:
            if (section.empty()) return kFailed;
            if (byte == '=' || byte == ':') {
                status = DECODE_VALUE;
            } else if (!isTagCharacter(byte)) {
                return kFailed;
            } else if (!appendWithin(key, byte, kKeyRoom)) {
                skipLine(section, key, value, false);
                status = DECODE_COMMENT;
            }
            break;
        case DECODE_VALUE:
            if (!appendWithin(value, byte, kValueRoom)) {
                skipLine(section, key, value, true);
                status = DECODE_COMMENT;
            }
            break;
        case DECODE_COMMENT:
            break;
        default:
            return kFailed;
        }
    }
    if (last) {
        finishLine(section, key, value);
        section.clear();
    }
    return 0;
}

}  // namespace FILECACHE
