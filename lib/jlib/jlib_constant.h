#pragma once
// Accessors that hand a configuration constant back unchanged. Defined out of line so that
// a condition comparing two constants (a table size against a limit) stays in the code as
// written instead of being folded away with a warning.

unsigned int J_CONSTANT_UINT(unsigned int value);
int J_CONSTANT_SINT(int value);
float J_CONSTANT_FLOAT(float value);
double J_CONSTANT_DOUBLE(double value);
const char* J_CONSTANT_STRING(const char* value);

unsigned int J_CONSTANT(unsigned int value);
int J_CONSTANT(int value);
