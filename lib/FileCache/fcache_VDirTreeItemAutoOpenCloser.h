#pragma once
// Keeps an item open for one scope: opens it unless it is open already, and closes it at the
// end only when this closer opened it.
#include "fcache_FileAccessor.h"
#include "jlib/jlib_result.h"

namespace FILECACHE {

class VDirTreeItem;

class VDirTreeItemAutoOpenCloser {
public:
    // item is borrowed and must outlive the closer; null does nothing.
    VDirTreeItemAutoOpenCloser(VDirTreeItem* item, FileAccessor::OpenMode mode);
    ~VDirTreeItemAutoOpenCloser();
    VDirTreeItemAutoOpenCloser(const VDirTreeItemAutoOpenCloser&) = delete;
    VDirTreeItemAutoOpenCloser& operator=(const VDirTreeItemAutoOpenCloser&) = delete;

    // The open's result; 0 when nothing was opened.
    JLIB::JResult errCode() const { return m_result; }

private:
    VDirTreeItem* m_pItem;
    bool m_wasOpen = false;
    JLIB::JResult m_result = 0;
};

}  // namespace FILECACHE
