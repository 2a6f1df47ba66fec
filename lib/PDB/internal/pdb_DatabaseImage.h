#pragma once
// Reading and writing "#CT1" database images, shared by the live and the local database.
// No lock: the calling database holds its own lock around every call.
#include <cstdint>
#include <vector>

#include "../pdb_ComponentInfo.h"
#include "../pdb_IParameterDB.h"

namespace PDB {

class DatabaseImage {
public:
    static constexpr uint32_t kHeaderSize = 12;

    // One checked entry of an image: where its component image lies and the definition it
    // names; known is false for a type the repository lacks (the entry is skipped).
    struct Entry {
        uint32_t offset = 0;
        uint32_t room = 0;  // bytes from the component image to the end of the database image
        bool known = false;
        ComponentInfo info;
    };

    // 12 + 4 n + the listed components' image sizes, in 64 bits so that no list wraps it.
    static uint64_t listSize(const IParameterDB& db, const ComponentIndexList& indexes);
    static uint32_t clampSize(uint64_t size) { return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(size); }

    // 0x80000001 and nothing written for a null buffer, or a size below the whole database's
    // image or below the list's image.
    [[nodiscard]] static JLIB::JResult write(const IParameterDB& db, uint8_t* buffer, uint32_t size,
                                             uint32_t dbWord, const ComponentIndexList& indexes);

    // Checks the whole image before anything is changed: 0x80000001 for a null image, fewer
    // than 12 bytes or a table larger than the image; 0x80010000 for a wrong magic, an offset
    // that is misaligned, outside the image or without room for a component image, an
    // unreadable definition or a component image whose records are not framed.
    [[nodiscard]] static JLIB::JResult read(const uint8_t* image, uint32_t size, std::vector<Entry>& entries);

    // Without the configuration bit: 0x80020000 (logged) when an entry names a present component
    // of another type.
    [[nodiscard]] static JLIB::JResult checkTypes(const IParameterDB& db, const std::vector<Entry>& entries);
};

}  // namespace PDB
