#pragma once
// The definition the field tests build on, as XML text (with node counts: only a root in a node
// pool of its own can lend its definition to instances):
//   Volume          int32  -100..100, default 5, step 1, nominal 0, scaling 10, kind 3
//   Send[6]         int32  -100..100, default 0
//   Label           string of at most 2000 characters, default "x"
//   Ch[2]/Band[3]/Gain   int16 -1000..1000, default 7
// Node indices below the top: Volume 0, Send 1, Label 2, Ch 3; Band 0 in Ch; Gain 0 in Band.
namespace FieldTestDefinition {

inline constexpr char kXml[] =
    "<function name=\"Top\" collections=\"3\" parameters=\"4\" stringsize=\"64\" version=\"01.00.00\">"
    "<collections>"
    "<parameter name=\"Volume\" type=\"int32_t\"><minimum>-100</minimum><maximum>100</maximum>"
    "<default>5</default><step>1</step><nominal>0</nominal><scaling>10</scaling><kind>3</kind></parameter>"
    "<parameter name=\"Send\" type=\"int32_t\" arraysize=\"6\"><minimum>-100</minimum><maximum>100</maximum>"
    "<default>0</default></parameter>"
    "<parameter name=\"Label\" type=\"string\"><maximum>2000</maximum><default>x</default></parameter>"
    "<collection name=\"Ch\" arraysize=\"2\"><collection name=\"Band\" arraysize=\"3\">"
    "<parameter name=\"Gain\" type=\"int16_t\"><minimum>-1000</minimum><maximum>1000</maximum>"
    "<default>7</default></parameter>"
    "</collection></collection>"
    "</collections></function>";

inline constexpr unsigned kVolume[1] = {0};
inline constexpr unsigned kSend[1] = {1};
inline constexpr unsigned kLabel[1] = {2};
inline constexpr unsigned kGain[3] = {3, 0, 0};

}  // namespace FieldTestDefinition
