#pragma once
// Value fills for testing the device: the current settings' object parameters set to their
// minimum or maximum, or to a pseudo-random pattern that repeats from run to run. Any task; each
// single write locks the database by itself, so other tasks may see a half-filled state.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace LPC {

enum CATEGORY_OF_CreateSceneType : uint32_t {
    CATEGORY_CREATESCENETYPE_MIN = 0,
    CATEGORY_CREATESCENETYPE_MAX = 1,
};

// The object parameters of the current settings a test scene fills, in fill order.
constexpr uint32_t kSceneParameterNameNum = 19;
extern const char* const gl_pSceneParameterName[kSceneParameterNameNum];

// The test scene numbers of the recall-speed test with their title (also the comment).
struct TestSceneNumber {
    const char* number;
    const char* title;
};
extern const TestSceneNumber gl_testSceneNumbers[2];

// The label buffer of a random scene: longer labels are cut to kRandomLabelSize - 1 characters.
constexpr uint32_t kRandomLabelSize = 136;

// Every element of each table parameter to its minimum (texts empty) or maximum (texts the
// 80-digit text, cut by the write), past the link engine with attribute 255. Always 0.
JLIB::JResult createScene(CATEGORY_OF_CreateSceneType kind);
// Labels "OBA_<tag>_<object>_<60 digits>" and random levels, switches, positions and sizes of
// objects 0 to 127 through the link engine, drawn from the unseeded rand in a fixed order. A null
// tag counts as empty. Always 0.
JLIB::JResult createRandomScene(const char* tag);
// low + (rand() mod (high - low + 1)).
int myRand(int low, int high);

}  // namespace LPC
