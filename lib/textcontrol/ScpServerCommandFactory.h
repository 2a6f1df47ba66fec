#pragma once
// The factory of one command class (the tag names the allocation), the process-wide factories
// and their table. The table is read-only once built; create and destroy run on the server's thread.
#include "textcontrol/IScpServerCommandFactory.h"
#include "textcontrol/ScpServerCommandDEVINFO.h"
#include "textcontrol/ScpServerCommandDEVMODE.h"
#include "textcontrol/ScpServerCommandDEVSTATUS.h"
#include "textcontrol/ScpServerCommandEVENT.h"
#include "textcontrol/ScpServerCommandIDENTIFY.h"
#include "textcontrol/ScpServerCommandLISTITEM.h"
#include "textcontrol/ScpServerCommandLISTITEMNUM.h"
#include "textcontrol/ScpServerCommandSCPMODE.h"
#include "textcontrol/ScpServerCommandSET.h"
#include "textcontrol/ScpServerCommandSETN.h"
#include "textcontrol/ScpServerCommandSETR.h"
#include "textcontrol/ScpServerCommandSETT.h"

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
