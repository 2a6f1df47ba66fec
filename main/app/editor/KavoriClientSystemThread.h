#pragma once
// The root thread "System": owns the application threads, declares the shared system
// parameters, initialises the device-logic settings and the children, and leaves their staged
// start and release to its base. It raises "ProductState" to 1 once the databases, the editor
// link and the restored memories are ready, and releases the whole tree on a "Close" request.
// Hooks run on its own task; release may be called from any task.
#include <atomic>
#include <cstdint>

#include "TMS/SystemThread.h"
#include "common/KavoriDebugConsoleThread.h"
#include "common/KavoriDeviceControlThread.h"
#include "common/Lpc/LpcMurRemoteThread.h"
#include "common/Lpc/LpcOscServerThread.h"
#include "common/Lpc/LpcUzProtoDeviceControlThread.h"
#include "editor/KavoriClientSyncThread.h"
#include "editor/KavoriClientVDProtocolThread.h"
#include "editor/OPVCompilerThread.h"

namespace KAVORI {

class KavoriClientSystemThread : public TMS::SystemThread {
public:
    static constexpr uint32_t kChildNum = 8;

    // A child's place in the tree, in the order of initialisation and registration.
    struct ChildPlace {
        const char* name;
        uint8_t startOrder;
    };
    static const ChildPlace kChildPlaces[kChildNum];

    KavoriClientSystemThread();
    // Releases the tree (nothing to do once it has ended), then the children go in the reverse
    // order of their construction.
    ~KavoriClientSystemThread() override;

    // What the initialisation gave: 0x80000000 when the shared parameters could not be declared
    // (no child was initialised then). Meaningful once the thread has left "OPENING".
    JLIB::JResult initializationResult() const { return m_initResult.load(); }

    // Nothing calls it; it does nothing.
    JLIB::JResult onChangePDBStatus(uint32_t state);

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;

    // Declares the shared system parameters on this root.
    virtual JLIB::JResult declareSystemInfo();
    // Puts a thread in the place of that name; before initialize. The thread is borrowed and
    // must outlive this root's release. 0x80000000 for a name without a place.
    JLIB::JResult placeChild(const char* name, TMS::AbstractThread& thread);

private:
    // Null where the child is not in this build; indexed like kChildPlaces.
    TMS::AbstractThread* m_children[kChildNum];
    std::atomic<JLIB::JResult> m_initResult;
    KavoriDebugConsoleThread m_debugConsole;  // its port: the start-up option "dbgport", else 50002
    KavoriDeviceControlThread m_deviceControl;
    KavoriClientSyncThread m_sync;
    KavoriClientVDProtocolThread m_vdProtocol;
    OPVCompilerThread m_compiler;
    LPC::LpcMurRemoteThread m_murRemote;
    LPC::LpcOscServerThread m_oscServer;
    LPC::LpcUzProtoDeviceControlThread m_deviceControlForUZ;
};

}  // namespace KAVORI
