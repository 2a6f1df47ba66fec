// The parameter-tree synchronisation commands: the tree's decoders over the input, then the
// synchroniser's receive step in the state the first byte picks, against a test tree of three
// roots, followed by its send steps.
#include <cstdint>
#include <cstring>
#include <vector>

#include "../tests/comctrl/Core/TreeFacadeSupport.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_MmsSynchronizer.h"
#include "comctrl/Core/comctrl_MmsSynchronizerProtocol.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "dbgc/dbgc_stdapi.h"
#include "oswrap/oswrap.h"

namespace {

using namespace ComControl;
using M = MmsSynchronizerProtocol;
using P = PdbSynchronizerProtocol;

class NullPort : public IPort {
public:
    JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
    JLIB::JResult writeRequest(const char*) override { return 0; }
};

std::vector<uint8_t> encoded(JLIB::JResult r, std::vector<uint8_t> buffer, uint32_t length)
{
    buffer.resize(JLIB::isFailure(r) ? 0 : length);
    return buffer;
}

std::vector<uint8_t> begin(bool withTarget)
{
    std::vector<uint8_t> b(256);
    uint32_t length = 0;
    return encoded(P::Encode_AssociationBeginRequest(b.data(), 256, &length, "FuzzTree", withTarget), b, length);
}

std::vector<uint8_t> tellCompleteAnswer()
{
    std::vector<uint8_t> b(64);
    uint32_t length = 0;
    return encoded(P::Encode_AssociationTellCompleteAnswer(b.data(), 64, &length), b, length);
}

void deliver(MmsSynchronizer& sync, const std::vector<uint8_t>& c, std::vector<uint8_t>& out)
{
    uint32_t produced = 0;
    uint8_t flags = 0;
    (void)sync.eventReceived(out.data(), uint32_t(out.size()), &produced, c.data(), uint32_t(c.size()), &flags);
}

void sendAll(MmsSynchronizer& sync, std::vector<uint8_t>& out)
{
    uint32_t produced = 0;
    bool more = true;
    for (int i = 0; i < 64 && more; ++i) {
        more = false;
        if (JLIB::isFailure(sync.eventSend(out.data(), uint32_t(out.size()), &produced, &more))) break;
    }
}

void decodeAll(comctrltest::TreeFacade& tree, const uint8_t* data, uint32_t size)
{
    const char* name = nullptr;
    bool a = false, b = false;
    (void)M::Decode_AssociationTellParameter(data, size, &tree, &name, &a, &b);
    uint32_t word = 0;
    (void)P::Decode_AssociationTellParameterAnswer(data, size, &word, &name, &a, &b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = oswrap_init(nullptr, 0, 0) == 0 && dbgSetDbgMode(0) == 0;
    (void)started;
    if (size < 1) return 0;
    const std::vector<uint8_t> rest(data + 1, data + size);  // a copy of exactly its size, for ASan
    comctrltest::TreeFacade tree;
    tree.roots = {comctrltest::treeRoot("Scene", 1, "values"), comctrltest::treeRoot("Mixer", 2, "m"),
                  comctrltest::treeRoot("Patch", 3, "p")};
    tree.roots[0].transactionDirty = (data[0] & 0x40) != 0;
    tree.roots[1].changes.push_back({{1, 2}, {0, 1}, JVariant(7u), 0x01});
    tree.roots[2].changes.push_back({{0, 3}, {2, 0}, JVariant(int32_t(-7)), 0x01});
    decodeAll(tree, rest.data(), uint32_t(rest.size()));

    NullPort port;
    MmsSynchronizer sync;
    (void)sync.initialize(data[0] & 0x80, nullptr);
    (void)sync.setPort(&port);
    if (JLIB::isFailure(sync.setFacade("FuzzTree", &tree, nullptr, 0, 0xF0))) return 0;
    std::vector<uint8_t> out(M::getMaxBufferSize(&tree));
    switch (data[0] % 7) {
    case 1: deliver(sync, begin(true), out); break;   // associating, this side wins
    case 2: deliver(sync, begin(false), out); break;  // associating, the peer wins
    case 3:                                           // associated, Patch's structure differs
    case 4:                                           // waiting for the end answer
        deliver(sync, tellCompleteAnswer(), out);
        (void)sync.clearRootState();
        (void)sync.setRootState("Mixer", true);
        (void)sync.setRootState("Patch", false);
        if (data[0] % 7 == 4) {
            (void)sync.asynchronize();
            sendAll(sync, out);
        }
        break;
    case 5:  // analysing
    case 6:  // analysing, then analysed with the first root matched
        (void)sync.analyze();
        sendAll(sync, out);
        if (data[0] % 7 == 6) {
            std::vector<uint8_t> b(128);
            uint32_t length = 0;
            deliver(sync, encoded(P::Encode_AssociationTellParameterAnswer(b.data(), 128, &length, "Scene", true, true),
                                  b, length),
                    out);
        }
        break;
    default: break;  // not associated
    }
    uint32_t produced = 0;
    uint8_t flags = 0;
    (void)sync.eventReceived(out.data(), uint32_t(out.size()), &produced, rest.data(), uint32_t(rest.size()), &flags);
    (void)sync.notify();
    sendAll(sync, out);
    (void)sync.transferAllParam();
    sendAll(sync, out);
    return 0;
}
