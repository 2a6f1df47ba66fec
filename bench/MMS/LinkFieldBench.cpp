// What a linked field adds to a single-value set: on an element that is in no link (one search-
// tree lookup), and on a member of a 3-member offset link (two further sets), against the thread-
// safe field's set of the same definition under the same kind of lock object.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/mms_LinkField.h"
#include "devctrl/devctrl_MMSMutex.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

const uint32_t kGainNode[1] = {0};
const uint32_t kMember[1] = {0};    // linked with elements 1 and 2
const uint32_t kUnlinked[1] = {5};

void registerHeap()
{
    static JLIB::GlobalHeapManagerBase manager;
    static const bool registered = JLIB::SubscribeHeapId(1, manager) == 0;
    (void)registered;
}

// Root "A" holding Gain[8], int32 -1000000 .. 1000000 in steps of 1.
bool build(MMS::IField& field)
{
    JVariant minimum(-1000000);
    JVariant maximum(1000000);
    JVariant def(0);
    JVariant step(1);
    uint32_t index = 0;
    bool ok = field.startBuild() == 0;
    ok = ok && field.createRoot("A", "Top", 0, 0, 64) == 0;
    ok = ok && field.addPrmFast(&index, "A", nullptr, 0, "Gain", 8, MMS::kMmsTypeInt32, &minimum, &maximum, &def,
                                &step, nullptr, nullptr, 0, 1, 0, nullptr, 0) == 0;
    return ok && field.finishBuild(1) == 0;
}

uint32_t set(MMS::IField& field, const uint32_t* element, int value)
{
    return field.setPrmFast(JVariant(value), "A", kGainNode, element, 1, 1, 0, 0, 0, 99, nullptr, 0, nullptr);
}

template <typename Make>
void runSets(benchmark::State& state, Make make, const uint32_t* element)
{
    registerHeap();
    DeviceControl::MMSMutex mutex;
    auto field = make(&mutex);
    if (!field) {
        state.SkipWithError("field not built");
        return;
    }
    int v = 0;
    for (auto _ : state) {
        v = v == 0 ? 5 : 0;  // every set changes the element
        benchmark::DoNotOptimize(set(*field, element, v));
    }
}

std::unique_ptr<MMS::Field> makeField(MMS::IMutex* mutex)
{
    auto field = std::make_unique<MMS::Field>(nullptr, mutex, nullptr, nullptr, nullptr);
    return build(*field) ? std::move(field) : nullptr;
}

std::unique_ptr<MMS::LinkField> makeLinkField(MMS::IMutex* mutex)
{
    auto field = std::make_unique<MMS::LinkField>(nullptr, nullptr, mutex, nullptr, nullptr, nullptr);
    if (!build(*field)) return nullptr;
    uint32_t handle = 0;
    uint32_t id = 0;
    if (field->linkHndlOpen(&handle) != 0 || field->createLink(&id, "A", handle, 0, 0) != 0) return nullptr;
    for (uint32_t e = 0; e < 3; ++e) {
        const uint32_t at[1] = {e};
        if (field->addLinkPrm("A", id, kGainNode, at, 1, handle, 0, 0) != 0) return nullptr;
    }
    return field;
}

void BM_FieldSetPrmFast(benchmark::State& state) { runSets(state, makeField, kUnlinked); }
void BM_LinkFieldSetPrmFastUnlinked(benchmark::State& state) { runSets(state, makeLinkField, kUnlinked); }
void BM_LinkFieldSetPrmFastLinked(benchmark::State& state) { runSets(state, makeLinkField, kMember); }

BENCHMARK(BM_FieldSetPrmFast);
BENCHMARK(BM_LinkFieldSetPrmFastUnlinked);
BENCHMARK(BM_LinkFieldSetPrmFastLinked);

}  // namespace
