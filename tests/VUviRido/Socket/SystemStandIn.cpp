// The socket layer's system call stand-ins, once in this program too.
#include "vsock/SystemStandIn.cpp"
