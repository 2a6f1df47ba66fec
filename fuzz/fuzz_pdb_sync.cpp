// The parameter-database synchronisation commands: every decoder over the input, then the
// synchroniser's receive step in the state the first byte picks, against a small database.
#include <cstdint>
#include <cstring>
#include <vector>

#include "PDB/pdb_ParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_PdbSynchronizer.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_cnp.h"
#include "dbgc/dbgc_stdapi.h"
#include "fuzz_pdb_types.h"
#include "oswrap/oswrap.h"

namespace {

using namespace ComControl;
using P = PdbSynchronizerProtocol;
constexpr uint32_t kId = 2;

class NullPort : public IPort {
public:
    JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
    JLIB::JResult writeRequest(const char*) override { return 0; }
};

struct Database {
    Database()
    {
        ok = fuzztypes::registerTypes() && JLIB::isSuccess(db.initialize(kId, "FuzzSync", &lock)) &&
             JLIB::isSuccess(db.addComponent(PDB::UniqId(0x100), "Fuzz", 1, 2, 2, 0)) &&
             JLIB::isSuccess(db.addDirtyFlag(7, nullptr, 0)) && JLIB::isSuccess(PDB::gPDBCollection.addPDB(db));
    }
    PDB::SimpleReadWriteMutex lock;
    PDB::ParameterDB db;
    bool ok = false;
};

std::vector<uint8_t> command(JLIB::JResult (*encode)(uint8_t*, uint32_t, uint32_t*, bool), bool flag)
{
    std::vector<uint8_t> b(256);
    uint32_t length = 0;
    if (JLIB::isFailure(encode(b.data(), uint32_t(b.size()), &length, flag))) length = 0;
    b.resize(length);
    return b;
}

JLIB::JResult begin(uint8_t* b, uint32_t c, uint32_t* l, bool withTarget)
{
    return P::Encode_AssociationBeginRequest(b, c, l, "FuzzSync", withTarget);
}

JLIB::JResult tellCompleteAnswer(uint8_t* b, uint32_t c, uint32_t* l, bool)
{
    return P::Encode_AssociationTellCompleteAnswer(b, c, l);
}

void deliver(PdbSynchronizer& sync, const std::vector<uint8_t>& c, std::vector<uint8_t>& out)
{
    uint32_t produced = 0;
    uint8_t flags = 0;
    (void)sync.eventReceived(out.data(), uint32_t(out.size()), &produced, c.data(), uint32_t(c.size()), &flags);
}

void decodeAll(const uint8_t* data, uint32_t size)
{
    const char* name = nullptr;
    const char* sub = nullptr;
    bool a = false, b = false;
    uint32_t word = 0, factor = 0;
    (void)P::Decode_AssociationBeginRequest(data, size, &name, &a);
    (void)P::Decode_AssociationTellParameter(data, size, kId, &name, &a, &b);
    (void)P::Decode_AssociationTellParameterAnswer(data, size, &word, &name, &a, &b);
    (void)P::Decode_ParameterFlip(data, size, &name, &sub);
    uint32_t numbers[5], indexes[5];
    P::Address address;
    address.numbers = numbers;
    address.indexes = indexes;
    JVariant value;
    (void)P::Decode_SetParameter(data, size, 5, &value, &factor, &address);
    const uint8_t* image = nullptr;
    const uint8_t* filter = nullptr;
    uint32_t imageSize = 0, filterSize = 0;
    (void)P::Decode_SetParameterBlock(data, size, 5, &image, &imageSize, &filter, &filterSize, &factor, &address);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = oswrap_init(nullptr, 0, 0) == 0 && dbgSetDbgMode(0) == 0;
    (void)started;
    static Database database;
    if (!database.ok || size < 1) return 0;
    const std::vector<uint8_t> rest(data + 1, data + size);  // a copy of exactly its size, for ASan
    decodeAll(rest.data(), uint32_t(rest.size()));

    NullPort port;
    PdbSynchronizer sync;
    (void)sync.initialize(data[0] & 0x80, nullptr);
    (void)sync.setPort(&port);
    if (JLIB::isFailure(sync.setFacade(kId, 7, 0xF0))) return 0;
    std::vector<uint8_t> out(P::getMaxBufferSize(kId));
    switch (data[0] % 5) {
    case 1: deliver(sync, command(&begin, true), out); break;   // associating, this side wins
    case 2: deliver(sync, command(&begin, false), out); break;  // associating, the peer wins
    case 3: deliver(sync, command(&tellCompleteAnswer, false), out); break;  // associated
    case 4: {
        deliver(sync, command(&tellCompleteAnswer, false), out);
        (void)sync.asynchronize();  // waits for the end answer once the end went out
        uint32_t produced = 0;
        bool more = false;
        (void)sync.eventSend(out.data(), uint32_t(out.size()), &produced, &more);
        break;
    }
    default: break;  // not associated
    }
    uint32_t produced = 0;
    uint8_t flags = 0;
    (void)sync.eventReceived(out.data(), uint32_t(out.size()), &produced, rest.data(), uint32_t(rest.size()), &flags);
    (void)sync.notify();
    bool more = true;
    for (int i = 0; i < 64 && more; ++i) {
        more = false;
        if (JLIB::isFailure(sync.eventSend(out.data(), uint32_t(out.size()), &produced, &more))) break;
    }
    return 0;
}
