#pragma once
// Recall undo: two in-memory snapshots of the current settings ("uzCurrent"), one taken before a
// scene recall and one when undoing, so undo toggles between the settings before and after the
// recall. Owned by the scene list; device-control thread only.
#include <cstdint>
#include <memory>

#include "jlib/jlib_result.h"

namespace PDB {
class SnapshotData;
}

namespace LPC {

class RecallUndo {
public:
    // Sets both buffers up; a buffer that cannot be allocated stays missing.
    RecallUndo();
    virtual ~RecallUndo();
    RecallUndo(const RecallUndo&) = delete;
    RecallUndo& operator=(const RecallUndo&) = delete;

    // Takes the current settings into the buffer at the next index, with the live scene
    // information. 0x80000000 without that buffer; 0x80000008 when the buffer's information and
    // the live one both carry the protect mark; else the snapshot's result.
    [[nodiscard]] JLIB::JResult store();
    // Swaps the buffers, keeps the current settings in the new next one and recalls the previous
    // one whole under the database's write lock. 0x80000000 when a buffer is missing.
    [[nodiscard]] JLIB::JResult undo();
    uint32_t switchBuffer();
    // Drops both in-memory snapshots; the OR of the results.
    JLIB::JResult clear();
    bool canUndo() const;

private:
    std::unique_ptr<PDB::SnapshotData> m_buffers[2];
    uint32_t m_previous = 0;
    uint32_t m_next = 1;
};

}  // namespace LPC
