#pragma once
// Helpers shared by the typed array tests.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace parraytest {

// A size word as a component library writes it: scale code, granule code, count.
constexpr uint32_t sizeWord(uint32_t scale, uint32_t granule, uint32_t count)
{
    return scale << 28 | granule << 24 | count;
}

// What fn writes to standard output.
template <typename Fn>
std::string printed(Fn&& fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

}  // namespace parraytest
