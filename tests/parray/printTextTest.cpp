#include "parray/printText.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "parray/Array1D.h"
#include "parray/Array2D.h"
#include "parray/Array3D.h"
#include "parray/ParrayTestSupport.h"

using parraytest::printed;

TEST(printTextTest, IntegersWidenWithTheirOwnSignednessAndFloatsUsePercentF)
{
    struct Case { const char* expected; std::function<uint32_t()> print; };
    const Case cases[] = {
        {"-1", [] { return PARRAY::printText(uint32_t{4294967295u}); }},
        {"-2147483648", [] { return PARRAY::printText(uint32_t{0x80000000u}); }},
        {"2147483647", [] { return PARRAY::printText(uint32_t{0x7FFFFFFFu}); }},
        {"65535", [] { return PARRAY::printText(uint16_t{65535}); }},
        {"255", [] { return PARRAY::printText(uint8_t{255}); }},
        {"-2147483648", [] { return PARRAY::printText(int32_t{INT32_MIN}); }},
        {"-32768", [] { return PARRAY::printText(int16_t{-32768}); }},
        {"-128", [] { return PARRAY::printText(int8_t{-128}); }},
        {"1.500000", [] { return PARRAY::printText(1.5f); }},
        {"-0.250000", [] { return PARRAY::printText(-0.25); }},
        {"0.000000", [] { return PARRAY::printText(0.0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        uint32_t result = 0xDEADu;
        EXPECT_EQ(c.expected, printed([&] { result = c.print(); }));
        EXPECT_EQ(0u, result);
    }
}

TEST(printTextTest, ArraysPrintWithTheTabAndCommaRulesOfTheirShape)
{
    PARRAY::Array1D<int32_t> three(3);
    three.at(0) = 1;
    three.at(1) = 2;
    three.at(2) = 3;
    PARRAY::Array1D<uint8_t> one(1);
    one.at(0) = 7;
    PARRAY::Array2D<int32_t> square(2, 2);
    square.at(0, 0) = 1;
    square.at(0, 1) = 2;
    square.at(1, 0) = 3;
    square.at(1, 1) = 4;
    PARRAY::Array2D<uint32_t> unsignedRow(1, 2);
    unsignedRow.at(0, 0) = 4294967295u;
    PARRAY::Array2D<float> floats(2, 1);
    floats.at(1, 0) = 0.5f;
    PARRAY::Array3D<int16_t> cube(2, 2, 1);
    cube.at(0, 0, 0) = 1;
    cube.at(0, 1, 0) = 2;
    cube.at(1, 0, 0) = 3;
    cube.at(1, 1, 0) = -4;
    PARRAY::Array3D<double> row(1, 1, 2);
    row.at(0, 0, 1) = 2.0;
    const PARRAY::Array1D<int32_t> empty1D;
    const PARRAY::Array2D<int32_t> empty2D(0, 5);
    const PARRAY::Array3D<uint8_t> empty3D;

    struct Case { const char* name; const PARRAY::IArray& array; const char* expected; };
    const Case cases[] = {
        {"1D three", three, "{ 1, 2, 3 }\n"},
        {"1D one", one, "{ 7 }\n"},
        {"1D empty", empty1D, "{ }\n"},
        {"2D square", square, "{\n\t{ 1, 2 },\n\t{ 3, 4 }\n}\n"},
        {"2D unsigned", unsignedRow, "{\n\t{ -1, 0 }\n}\n"},
        {"2D floats", floats, "{\n\t{ 0.000000 },\n\t{ 0.500000 }\n}\n"},
        {"2D empty", empty2D, "null\n"},
        {"3D cube", cube, "{\n\t{\n\t\t{ 1 },\n\t\t{ 2 }\n\t},\n\t{\n\t\t{ 3 },\n\t\t{ -4 }\n\t}\n}\n"},
        {"3D row", row, "{\n\t{\n\t\t{ 0.000000, 2.000000 }\n\t}\n}\n"},
        {"3D empty", empty3D, "null\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t result = 0xDEADu;
        EXPECT_EQ(c.expected, printed([&] { result = c.array.print(); }));
        EXPECT_EQ(0u, result);
    }
}
