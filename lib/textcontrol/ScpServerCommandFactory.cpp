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
ScpServerCommandFactoryGET commandFactoryGET("get", "ScpServerCommandGET");
ScpServerCommandFactoryGETN commandFactoryGETN("getn", "ScpServerCommandGETN");
ScpServerCommandFactoryGETT commandFactoryGETT("gett", "ScpServerCommandGETT");
ScpServerCommandFactoryPRMINFO commandFactoryPRMINFO("prminfo", "ScpServerCommandPRMINFO");
ScpServerCommandFactoryPRMNUM commandFactoryPRMNUM("prmnum", "ScpServerCommandPRMNUM");
ScpServerCommandFactoryMTRSTART commandFactoryMTRSTART("mtrstart", "ScpServerCommandMTRSTART");
ScpServerCommandFactoryMTRSTOP commandFactoryMTRSTOP("mtrstop", "ScpServerCommandMTRSTOP");
ScpServerCommandFactoryMTRINFO commandFactoryMTRINFO("mtrinfo", "ScpServerCommandMTRINFO");
ScpServerCommandFactoryMTRNUM commandFactoryMTRNUM("mtrnum", "ScpServerCommandMTRNUM");
ScpServerCommandFactorySSCURRENT commandFactorySSCURRENT("sscurrent", "ScpServerCommandSSCURRENT");
ScpServerCommandFactorySSRECALL commandFactorySSRECALL("ssrecall", "ScpServerCommandSSRECALL");
ScpServerCommandFactorySSUPDATE commandFactorySSUPDATE("ssupdate", "ScpServerCommandSSUPDATE");
ScpServerCommandFactorySSINFO commandFactorySSINFO("ssinfo", "ScpServerCommandSSINFO");
ScpServerCommandFactorySSNUM commandFactorySSNUM("ssnum", "ScpServerCommandSSNUM");
ScpServerCommandFactorySSCURRENT_EX commandFactorySSCURRENT_EX("sscurrent_ex", "ScpServerCommandSSCURRENT_EX");
ScpServerCommandFactorySSRECALL_EX commandFactorySSRECALL_EX("ssrecall_ex", "ScpServerCommandSSRECALL_EX");
ScpServerCommandFactorySSUPDATE_EX commandFactorySSUPDATE_EX("ssupdate_ex", "ScpServerCommandSSUPDATE_EX");
ScpServerCommandFactorySSINFO_EX commandFactorySSINFO_EX("ssinfo_ex", "ScpServerCommandSSINFO_EX");
ScpServerCommandFactorySSNUM_EX commandFactorySSNUM_EX("ssnum_ex", "ScpServerCommandSSNUM_EX");
ScpServerCommandFactoryEVENT commandFactoryEVENT("event", "ScpServerCommandEVENT");
ScpServerCommandFactoryDEVSTATUS commandFactoryDEVSTATUS("devstatus", "ScpServerCommandDEVSTATUS");
ScpServerCommandFactoryDEVINFO commandFactoryDEVINFO("devinfo", "ScpServerCommandDEVINFO");
ScpServerCommandFactoryDEVMODE commandFactoryDEVMODE("devmode", "ScpServerCommandDEVMODE");
ScpServerCommandFactorySCPMODE commandFactorySCPMODE("scpmode", "ScpServerCommandSCPMODE");
ScpServerCommandFactoryLISTITEMNUM commandFactoryLISTITEMNUM("LISTITEMNUM", "ScpServerCommandLISTITEMNUM");
ScpServerCommandFactoryLISTITEM commandFactoryLISTITEM("LISTITEM", "ScpServerCommandLISTITEM");
ScpServerCommandFactoryIDENTIFY commandFactoryIDENTIFY("identify", "ScpServerCommandIDENTIFY");

IScpServerCommandFactory* const pCommandFactoryTable[] = {
    &commandFactorySET,
    &commandFactorySETN,
    &commandFactorySETR,
    &commandFactorySETT,
    &commandFactoryGET,
    &commandFactoryGETN,
    &commandFactoryGETT,
    &commandFactoryPRMINFO,
    &commandFactoryPRMNUM,
    &commandFactoryMTRSTART,
    &commandFactoryMTRSTOP,
    &commandFactoryMTRINFO,
    &commandFactoryMTRNUM,
    &commandFactorySSCURRENT,
    &commandFactorySSRECALL,
    &commandFactorySSUPDATE,
    &commandFactorySSINFO,
    &commandFactorySSNUM,
    &commandFactorySSCURRENT_EX,
    &commandFactorySSRECALL_EX,
    &commandFactorySSUPDATE_EX,
    &commandFactorySSINFO_EX,
    &commandFactorySSNUM_EX,
    &commandFactoryEVENT,
    &commandFactoryDEVSTATUS,
    &commandFactoryDEVINFO,
    &commandFactoryDEVMODE,
    &commandFactorySCPMODE,
    &commandFactoryLISTITEMNUM,
    &commandFactoryLISTITEM,
    &commandFactoryIDENTIFY,
    nullptr};

}  // namespace SCP
