#include "fcache_VDirTreeItemAutoOpenCloser.h"

#include "fcache_VDirTreeItem.h"

namespace FILECACHE {

VDirTreeItemAutoOpenCloser::VDirTreeItemAutoOpenCloser(VDirTreeItem* item, FileAccessor::OpenMode mode)
    : m_pItem(item)
{
    if (!m_pItem) return;
    m_wasOpen = m_pItem->isOpened();
    if (!m_wasOpen) m_result = m_pItem->open(mode);
}

VDirTreeItemAutoOpenCloser::~VDirTreeItemAutoOpenCloser()
{
    // Also after a failed open: closing what did not open is answered and harmless.
    if (m_pItem && !m_wasOpen) (void)m_pItem->close();
}

}  // namespace FILECACHE
