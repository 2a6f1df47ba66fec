#include "textcontrol/ScpServerCommandFactory.h"

#include "textcontrol/ScpHeap.h"

namespace SCP {

template <typename T>
ScpServerCommand* ScpServerCommandFactory<T>::create()
{
    return JLIB::JNew<T>(getScpHeapId(), m_pTag, 1);
}

template <typename T>
void ScpServerCommandFactory<T>::destroy(ScpServerCommand*& command)
{
    if (command) (void)JLIB::JDelete(static_cast<T*>(command));
    command = nullptr;
}

ScpServerCommandFactorySET commandFactorySET("set", "ScpServerCommandSET");
ScpServerCommandFactorySETN commandFactorySETN("setn", "ScpServerCommandSETN");
ScpServerCommandFactorySETR commandFactorySETR("setr", "ScpServerCommandSETR");
ScpServerCommandFactorySETT commandFactorySETT("sett", "ScpServerCommandSETT");
ScpServerCommandFactoryEVENT commandFactoryEVENT("event", "ScpServerCommandEVENT");
ScpServerCommandFactoryDEVSTATUS commandFactoryDEVSTATUS("devstatus", "ScpServerCommandDEVSTATUS");
ScpServerCommandFactoryDEVINFO commandFactoryDEVINFO("devinfo", "ScpServerCommandDEVINFO");
ScpServerCommandFactoryDEVMODE commandFactoryDEVMODE("devmode", "ScpServerCommandDEVMODE");
ScpServerCommandFactorySCPMODE commandFactorySCPMODE("scpmode", "ScpServerCommandSCPMODE");
ScpServerCommandFactoryLISTITEMNUM commandFactoryLISTITEMNUM("LISTITEMNUM", "ScpServerCommandLISTITEMNUM");
ScpServerCommandFactoryLISTITEM commandFactoryLISTITEM("LISTITEM", "ScpServerCommandLISTITEM");
ScpServerCommandFactoryIDENTIFY commandFactoryIDENTIFY("identify", "ScpServerCommandIDENTIFY");

// The read, meter and snapshot commands take their places between "sett" and "event" when
// they are built.
IScpServerCommandFactory* const pCommandFactoryTable[] = {
    &commandFactorySET,     &commandFactorySETN,      &commandFactorySETR,     &commandFactorySETT,
    &commandFactoryEVENT,   &commandFactoryDEVSTATUS, &commandFactoryDEVINFO,  &commandFactoryDEVMODE,
    &commandFactorySCPMODE, &commandFactoryLISTITEMNUM, &commandFactoryLISTITEM, &commandFactoryIDENTIFY,
    nullptr};

}  // namespace SCP
