#include "jlib_ascii.h"

int jlib_isblank(int c) { return c == ' ' || c == '\t'; }
int jlib_isspace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
int jlib_isdigit(int c) { return c >= '0' && c <= '9'; }
int jlib_isupper(int c) { return c >= 'A' && c <= 'Z'; }
int jlib_islower(int c) { return c >= 'a' && c <= 'z'; }
int jlib_isalpha(int c) { return jlib_isupper(c) || jlib_islower(c); }
int jlib_isalnum(int c) { return jlib_isalpha(c) || jlib_isdigit(c); }
int jlib_iscntrl(int c) { return (c >= 0 && c <= 31) || c == 127; }
int jlib_isprint(int c) { return c >= 32 && c <= 126; }
int jlib_isgraph(int c) { return c >= 33 && c <= 126; }
int jlib_ispunct(int c) { return jlib_isgraph(c) && !jlib_isalnum(c); }
int jlib_isxdigit(int c) { return jlib_isdigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int jlib_toupper(int c) { return jlib_islower(c) ? c - 'a' + 'A' : c; }
int jlib_tolower(int c) { return jlib_isupper(c) ? c - 'A' + 'a' : c; }
