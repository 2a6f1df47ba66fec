#pragma once
// ASCII character classes, independent of the C locale. A byte above 0x7F passed from a
// signed char is negative and in no class. Stateless: any task may call.

int jlib_isblank(int c);
int jlib_isspace(int c);
int jlib_isalnum(int c);
int jlib_isalpha(int c);
int jlib_iscntrl(int c);
int jlib_isprint(int c);
int jlib_isgraph(int c);
int jlib_ispunct(int c);
int jlib_isdigit(int c);
int jlib_isxdigit(int c);
int jlib_isupper(int c);
int jlib_islower(int c);

// Only ASCII letters change; every other value comes back as it was.
int jlib_toupper(int c);
int jlib_tolower(int c);
