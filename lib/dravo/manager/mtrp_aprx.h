#pragma once
// Fast single-precision approximations of the logarithm and power functions that the meter byte
// conversion uses once per meter element, in place of the library functions. Any task.
// Errors: about 1e-5 absolute for the logarithm, below 1e-6 relative for the power of ten.

// Natural logarithm from the float's exponent and fraction. Negative, infinite and not-a-number
// arguments give 0; zero and denormals -87.3365021 (about ln 2^-126).
float mtrp_aprx_ln(float x);
// mtrp_aprx_ln(x) * log10(e).
float mtrp_aprx_log10(float x);
// 10^x; 1 for 0. Overflows to infinity (and to 0 for negative x) beyond the float range.
float mtrp_aprx_pow10(float x);
// a^b through 10^(b log10 a); 0 for a <= 0, 1 for b = 0.
float mtrp_aprx_pow(float a, float b);
// e^x through 10^(x log10 e); 1 for 0.
float mtrp_aprx_exp(float x);
