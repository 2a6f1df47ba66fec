#pragma once
// The factory of one command class (the tag names the allocation), the process-wide factories
// and their table. The table is read-only once built; create and destroy run on the server's thread.
#include "textcontrol/IScpServerCommandFactory.h"
#include "textcontrol/ScpServerCommandDEVINFO.h"
#include "textcontrol/ScpServerCommandDEVMODE.h"
#include "textcontrol/ScpServerCommandDEVSTATUS.h"
#include "textcontrol/ScpServerCommandEVENT.h"
#include "textcontrol/ScpServerCommandGET.h"
#include "textcontrol/ScpServerCommandGETN.h"
#include "textcontrol/ScpServerCommandGETT.h"
#include "textcontrol/ScpServerCommandIDENTIFY.h"
#include "textcontrol/ScpServerCommandLISTITEM.h"
#include "textcontrol/ScpServerCommandLISTITEMNUM.h"
#include "textcontrol/ScpServerCommandMTRINFO.h"
#include "textcontrol/ScpServerCommandMTRNUM.h"
#include "textcontrol/ScpServerCommandMTRSTART.h"
#include "textcontrol/ScpServerCommandMTRSTOP.h"
#include "textcontrol/ScpServerCommandPRMINFO.h"
#include "textcontrol/ScpServerCommandPRMNUM.h"
#include "textcontrol/ScpServerCommandSCPMODE.h"
#include "textcontrol/ScpServerCommandSET.h"
#include "textcontrol/ScpServerCommandSETN.h"
#include "textcontrol/ScpServerCommandSETR.h"
#include "textcontrol/ScpServerCommandSETT.h"
#include "textcontrol/ScpServerCommandSSCURRENT.h"
#include "textcontrol/ScpServerCommandSSCURRENT_EX.h"
#include "textcontrol/ScpServerCommandSSINFO.h"
#include "textcontrol/ScpServerCommandSSINFO_EX.h"
#include "textcontrol/ScpServerCommandSSNUM.h"
#include "textcontrol/ScpServerCommandSSNUM_EX.h"
#include "textcontrol/ScpServerCommandSSRECALL.h"
#include "textcontrol/ScpServerCommandSSRECALL_EX.h"
#include "textcontrol/ScpServerCommandSSUPDATE.h"
#include "textcontrol/ScpServerCommandSSUPDATE_EX.h"

namespace SCP {

template <typename T>
class ScpServerCommandFactory : public IScpServerCommandFactory {
public:
    ScpServerCommandFactory(const char* name, const char* tag) : m_pName(name), m_pTag(tag) {}
    const char* getCommandName() const override { return m_pName; }
    ScpServerCommand* create() override;
    void destroy(ScpServerCommand*& command) override;

private:
    const char* m_pName;
    const char* m_pTag;
};

using ScpServerCommandFactorySET = ScpServerCommandFactory<ScpServerCommandSET>;
using ScpServerCommandFactorySETN = ScpServerCommandFactory<ScpServerCommandSETN>;
using ScpServerCommandFactorySETR = ScpServerCommandFactory<ScpServerCommandSETR>;
using ScpServerCommandFactorySETT = ScpServerCommandFactory<ScpServerCommandSETT>;
using ScpServerCommandFactoryGET = ScpServerCommandFactory<ScpServerCommandGET>;
using ScpServerCommandFactoryGETN = ScpServerCommandFactory<ScpServerCommandGETN>;
using ScpServerCommandFactoryGETT = ScpServerCommandFactory<ScpServerCommandGETT>;
using ScpServerCommandFactoryPRMINFO = ScpServerCommandFactory<ScpServerCommandPRMINFO>;
using ScpServerCommandFactoryPRMNUM = ScpServerCommandFactory<ScpServerCommandPRMNUM>;
using ScpServerCommandFactoryMTRSTART = ScpServerCommandFactory<ScpServerCommandMTRSTART>;
using ScpServerCommandFactoryMTRSTOP = ScpServerCommandFactory<ScpServerCommandMTRSTOP>;
using ScpServerCommandFactoryMTRINFO = ScpServerCommandFactory<ScpServerCommandMTRINFO>;
using ScpServerCommandFactoryMTRNUM = ScpServerCommandFactory<ScpServerCommandMTRNUM>;
using ScpServerCommandFactorySSCURRENT = ScpServerCommandFactory<ScpServerCommandSSCURRENT>;
using ScpServerCommandFactorySSRECALL = ScpServerCommandFactory<ScpServerCommandSSRECALL>;
using ScpServerCommandFactorySSUPDATE = ScpServerCommandFactory<ScpServerCommandSSUPDATE>;
using ScpServerCommandFactorySSINFO = ScpServerCommandFactory<ScpServerCommandSSINFO>;
using ScpServerCommandFactorySSNUM = ScpServerCommandFactory<ScpServerCommandSSNUM>;
using ScpServerCommandFactorySSCURRENT_EX = ScpServerCommandFactory<ScpServerCommandSSCURRENT_EX>;
using ScpServerCommandFactorySSRECALL_EX = ScpServerCommandFactory<ScpServerCommandSSRECALL_EX>;
using ScpServerCommandFactorySSUPDATE_EX = ScpServerCommandFactory<ScpServerCommandSSUPDATE_EX>;
using ScpServerCommandFactorySSINFO_EX = ScpServerCommandFactory<ScpServerCommandSSINFO_EX>;
using ScpServerCommandFactorySSNUM_EX = ScpServerCommandFactory<ScpServerCommandSSNUM_EX>;
using ScpServerCommandFactoryEVENT = ScpServerCommandFactory<ScpServerCommandEVENT>;
using ScpServerCommandFactoryDEVSTATUS = ScpServerCommandFactory<ScpServerCommandDEVSTATUS>;
using ScpServerCommandFactoryDEVINFO = ScpServerCommandFactory<ScpServerCommandDEVINFO>;
using ScpServerCommandFactoryDEVMODE = ScpServerCommandFactory<ScpServerCommandDEVMODE>;
using ScpServerCommandFactorySCPMODE = ScpServerCommandFactory<ScpServerCommandSCPMODE>;
using ScpServerCommandFactoryLISTITEMNUM = ScpServerCommandFactory<ScpServerCommandLISTITEMNUM>;
using ScpServerCommandFactoryLISTITEM = ScpServerCommandFactory<ScpServerCommandLISTITEM>;
using ScpServerCommandFactoryIDENTIFY = ScpServerCommandFactory<ScpServerCommandIDENTIFY>;
extern ScpServerCommandFactorySET commandFactorySET;
extern ScpServerCommandFactorySETN commandFactorySETN;
extern ScpServerCommandFactorySETR commandFactorySETR;
extern ScpServerCommandFactorySETT commandFactorySETT;
extern ScpServerCommandFactoryGET commandFactoryGET;
extern ScpServerCommandFactoryGETN commandFactoryGETN;
extern ScpServerCommandFactoryGETT commandFactoryGETT;
extern ScpServerCommandFactoryPRMINFO commandFactoryPRMINFO;
extern ScpServerCommandFactoryPRMNUM commandFactoryPRMNUM;
extern ScpServerCommandFactoryMTRSTART commandFactoryMTRSTART;
extern ScpServerCommandFactoryMTRSTOP commandFactoryMTRSTOP;
extern ScpServerCommandFactoryMTRINFO commandFactoryMTRINFO;
extern ScpServerCommandFactoryMTRNUM commandFactoryMTRNUM;
extern ScpServerCommandFactorySSCURRENT commandFactorySSCURRENT;
extern ScpServerCommandFactorySSRECALL commandFactorySSRECALL;
extern ScpServerCommandFactorySSUPDATE commandFactorySSUPDATE;
extern ScpServerCommandFactorySSINFO commandFactorySSINFO;
extern ScpServerCommandFactorySSNUM commandFactorySSNUM;
extern ScpServerCommandFactorySSCURRENT_EX commandFactorySSCURRENT_EX;
extern ScpServerCommandFactorySSRECALL_EX commandFactorySSRECALL_EX;
extern ScpServerCommandFactorySSUPDATE_EX commandFactorySSUPDATE_EX;
extern ScpServerCommandFactorySSINFO_EX commandFactorySSINFO_EX;
extern ScpServerCommandFactorySSNUM_EX commandFactorySSNUM_EX;
extern ScpServerCommandFactoryEVENT commandFactoryEVENT;
extern ScpServerCommandFactoryDEVSTATUS commandFactoryDEVSTATUS;
extern ScpServerCommandFactoryDEVINFO commandFactoryDEVINFO;
extern ScpServerCommandFactoryDEVMODE commandFactoryDEVMODE;
extern ScpServerCommandFactorySCPMODE commandFactorySCPMODE;
extern ScpServerCommandFactoryLISTITEMNUM commandFactoryLISTITEMNUM;
extern ScpServerCommandFactoryLISTITEM commandFactoryLISTITEM;
extern ScpServerCommandFactoryIDENTIFY commandFactoryIDENTIFY;

// In keyword-table order, ended by null.
extern IScpServerCommandFactory* const pCommandFactoryTable[];

}  // namespace SCP
