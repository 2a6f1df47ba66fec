#pragma once
// The 33 request commands of the OSC server, one stateless static instance each, and the table
// by which the server registers them. Run on the server's host thread, one request at a time.
// Index texts arrive counted from 0; a missing argument, a wrong type or a refused option gives
// 0x80000004, an address the provider does not know 0x80000005.
#include <cstdint>

#include "OscServer/OscCore/OscServerCommand.h"

namespace JOSC {

class OscServerCommandGET : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandGETN : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandGETT : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSET : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSETN : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSETR : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSETT : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandPRMINFO : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandPRMNUM : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSUBSCRIBE : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandUNSUBSCRIBE : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandMTRINFO : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandMTRNUM : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandMTRSTART : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandMTRSTOP : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSCURRENT_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSCURRENTT_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSINFO_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSINFOT_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSNUM_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSRECALL_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSRECALLT_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSUPDATE_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSSUPDATET_EX : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandDEVINFO : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandDEVMODE : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandDEVSTATUS : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandEVENT : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandSCPMODE : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandLISTITEM : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandLISTITEMNUM : public OscServerCommand {
public:
    const char* getCommandName() const override;
    bool shouldReply() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandIDENTIFY : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

class OscServerCommandKEEPALIVE : public OscServerCommand {
public:
    const char* getCommandName() const override;
    [[nodiscard]] JLIB::JResult run(uint8_t origin, const OscCommandData& command, const JVariantList& arguments,
                                    OscInfoAccessor& accessor, JVariantList* reply) override;
};

extern OscServerCommandGET commandGET;
extern OscServerCommandGETN commandGETN;
extern OscServerCommandGETT commandGETT;
extern OscServerCommandSET commandSET;
extern OscServerCommandSETN commandSETN;
extern OscServerCommandSETR commandSETR;
extern OscServerCommandSETT commandSETT;
extern OscServerCommandPRMINFO commandPRMINFO;
extern OscServerCommandPRMNUM commandPRMNUM;
extern OscServerCommandSUBSCRIBE commandSUBSCRIBE;
extern OscServerCommandUNSUBSCRIBE commandUNSUBSCRIBE;
extern OscServerCommandMTRINFO commandMTRINFO;
extern OscServerCommandMTRNUM commandMTRNUM;
extern OscServerCommandMTRSTART commandMTRSTART;
extern OscServerCommandMTRSTOP commandMTRSTOP;
extern OscServerCommandSSCURRENT_EX commandSSCURRENT_EX;
extern OscServerCommandSSCURRENTT_EX commandSSCURRENTT_EX;
extern OscServerCommandSSINFO_EX commandSSINFO_EX;
extern OscServerCommandSSINFOT_EX commandSSINFOT_EX;
extern OscServerCommandSSNUM_EX commandSSNUM_EX;
extern OscServerCommandSSRECALL_EX commandSSRECALL_EX;
extern OscServerCommandSSRECALLT_EX commandSSRECALLT_EX;
extern OscServerCommandSSUPDATE_EX commandSSUPDATE_EX;
extern OscServerCommandSSUPDATET_EX commandSSUPDATET_EX;
extern OscServerCommandDEVINFO commandDEVINFO;
extern OscServerCommandDEVMODE commandDEVMODE;
extern OscServerCommandDEVSTATUS commandDEVSTATUS;
extern OscServerCommandEVENT commandEVENT;
extern OscServerCommandSCPMODE commandSCPMODE;
extern OscServerCommandLISTITEM commandLISTITEM;
extern OscServerCommandLISTITEMNUM commandLISTITEMNUM;
extern OscServerCommandIDENTIFY commandIDENTIFY;
extern OscServerCommandKEEPALIVE commandKEEPALIVE;

constexpr unsigned int kServerCommandCount = 33;
// In registration order; the word of each is its getCommandName.
extern OscServerCommand* const sServerCommmandTable[kServerCommandCount];

}  // namespace JOSC
