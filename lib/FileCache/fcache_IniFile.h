#pragma once
// A settings file of "[section]" headers and "key = value" lines, held in memory, read whole
// from disk and written whole back. Not locked: its users guard it with their own mutex.
#include <cstdint>
#include <map>
#include <string>

#include "fcache_VDirTreeItem.h"
#include "jlib/jlib_result.h"

namespace FILECACHE {

// The UTF-8 byte-order mark, skipped when a file starts with it.
extern const uint8_t gUTF8BOM[3];

class IniFile : public VDirTreeItem {
public:
    // Longest section, key and value a file may hold (blanks around them take no room). A line
    // with a longer key or value is skipped with a log line; a longer section name fails the read.
    static constexpr size_t kSectionRoom = 30;
    static constexpr size_t kKeyRoom = 30;
    static constexpr size_t kValueRoom = 128;

    struct ItemKey {
        ItemKey(const char* sectionName, const char* keyName);
        bool isValid() const { return !section.empty() && !key.empty(); }
        std::string section;
        std::string key;
    };

    // Section, then key, byte by byte (case-sensitive); an invalid key is never less.
    struct cmpKey {
        bool operator()(const ItemKey& a, const ItemKey& b) const;
    };

    struct IniItem {
        const char* section;
        const char* key;
        std::string value;
    };

    enum DecodeStatus : int32_t {
        DECODE_LINE = 0,     // at the start of a line, or between items on it
        DECODE_SECTION = 1,  // after "["
        DECODE_AFTER_SECTION = 2,
        DECODE_KEY = 3,
        DECODE_VALUE = 4,    // after "=" or ":"
        DECODE_COMMENT = 5,  // up to the end of the line
    };

    using ItemMap = std::map<ItemKey, std::string, cmpKey>;

    IniFile() = default;
    ~IniFile() override;

    using VDirTreeItem::initialize;
    // Binds to folder/name, making a missing folder and an empty file; empties the entries
    // whatever the binding answered.
    [[nodiscard]] JLIB::JResult initialize(const char* folder, ItemType type, const char* name);
    JLIB::JResult refresh() override;
    // Replaces the entries with the file's. 0x80000000 when the file cannot be read or holds
    // something malformed; the entries decoded before the fault stay. A line whose key or value
    // is too long is skipped with a log line, and the rest of the file still counts.
    [[nodiscard]] virtual JLIB::JResult readAll();
    // Writes every entry sorted, sections apart by a blank line. The file is replaced only once
    // the new content is complete, so a failure leaves the old file as it was.
    [[nodiscard]] virtual JLIB::JResult writeAll(bool withBOM);

    // The value, or defaultValue for an invalid key or one without an entry. The text lives
    // until that entry is changed or the entries are cleared or read again.
    const char* item(const char* section, const char* key, const char* defaultValue) const;
    bool isExist(const char* section, const char* key) const;
    // 0x80000000 for a null value or an invalid key; an empty value is stored.
    [[nodiscard]] JLIB::JResult addItem(const char* section, const char* key, const char* value);
    // 0x80000000 for an empty value.
    [[nodiscard]] JLIB::JResult addItem(const IniItem& item);
    [[nodiscard]] JLIB::JResult removeItem(const char* section, const char* key);
    JLIB::JResult clear();
    ItemMap::iterator begin() { return m_items.begin(); }
    ItemMap::const_iterator begin() const { return m_items.begin(); }
    ItemMap::iterator end() { return m_items.end(); }
    ItemMap::const_iterator end() const { return m_items.end(); }

    // Any byte but the controls other than tab, ":", "=", "[" and "]".
    bool isTagCharacter(uint8_t byte) const;
    static std::string trimString(const std::string& text, const char* characters);
    // Parses one chunk, carrying the state and texts over to the next; 0x80000000 at the first
    // malformed byte. A line whose key or value outgrows its room is skipped (logged) and the
    // state carries on as in a comment. With last set the pending line is finished.
    [[nodiscard]] JLIB::JResult decode(const uint8_t* bytes, uint32_t count, DecodeStatus& status,
                                       std::string& section, std::string& key, std::string& value, bool last);

private:
    void finishLine(const std::string& section, std::string& key, std::string& value);
    // Logs the line whose key or value outgrew its room and drops what was collected of it.
    void skipLine(const std::string& section, std::string& key, std::string& value, bool valueTooLong);

    ItemMap m_items;
};

}  // namespace FILECACHE
