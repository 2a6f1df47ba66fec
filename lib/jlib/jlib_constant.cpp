#include "jlib_constant.h"

unsigned int J_CONSTANT_UINT(unsigned int value) { return value; }
int J_CONSTANT_SINT(int value) { return value; }
float J_CONSTANT_FLOAT(float value) { return value; }
double J_CONSTANT_DOUBLE(double value) { return value; }
const char* J_CONSTANT_STRING(const char* value) { return value; }
unsigned int J_CONSTANT(unsigned int value) { return value; }
int J_CONSTANT(int value) { return value; }
