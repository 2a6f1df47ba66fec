#include "common/Lpc/LpcRecallUndo.h"

#include <new>
#include <utility>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_SnapshotFile.h"
#include "PDB/pdb_UniqId.h"
#include "common/Lpc/LpcPDB.h"

namespace LPC {

namespace {

constexpr const char* kProductName = "MUR-UZ";

}  // namespace

RecallUndo::RecallUndo()
{
    PDB::SnapshotContentsList contents;
    // A database without "uzCurrent" leaves the list empty and every store then fails.
    (void)contents.addComponent(getLpcPDB(), PDB::UniqId(CATEGORY_PDBTYPE_UZCURRENT));
    for (std::unique_ptr<PDB::SnapshotData>& buffer : m_buffers) {
        buffer.reset(new (std::nothrow) PDB::SnapshotData);
        // The buffers never touch a file, so they need no folder; a failed set-up shows at store.
        if (buffer) (void)buffer->initialize(kProductName, 0, 0, contents, "");
    }
}

RecallUndo::~RecallUndo() = default;

JLIB::JResult RecallUndo::store()
{
    if (!m_buffers[m_next]) return JLIB::kFailed;
    return m_buffers[m_next]->store(getSnapshotInfoPDB());
}

JLIB::JResult RecallUndo::undo()
{
    if (!m_buffers[0] || !m_buffers[1]) return JLIB::kFailed;
    (void)switchBuffer();  // always 0
    JLIB_RETURN_IF_FAILED(store());
    PDB::IParameterDB& db = getLpcPDB();
    JLIB::JResult result = db.writeLock();
    result |= m_buffers[m_previous]->recall();
    result |= db.writeUnlock();
    return result;
}

uint32_t RecallUndo::switchBuffer()
{
    std::swap(m_previous, m_next);
    return 0;
}

JLIB::JResult RecallUndo::clear()
{
    JLIB::JResult result = JLIB::kOk;
    for (std::unique_ptr<PDB::SnapshotData>& buffer : m_buffers) {
        if (buffer) result |= buffer->unCache();
    }
    return result;
}

bool RecallUndo::canUndo() const { return m_buffers[m_next] && m_buffers[m_next]->isCached(); }

}  // namespace LPC
