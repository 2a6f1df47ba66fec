#pragma once
// One plug-in slot of a root: the plug-in attached to one collection node of the tree, or none.
// Lives in the root's plug-in list; used under the locks of the field that owns the root.
#include "mms_Platform.h"

namespace MMS {

class ILinkPlugin;

class ProcessOption {
public:
    MMS_CLASS_ALLOCATORS

    ProcessOption() = default;

    ILinkPlugin* m_pPlugin = nullptr;  // not owned; the collection detaches it before it goes
};

}  // namespace MMS
