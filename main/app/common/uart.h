#pragma once
// Serial port functions of the hardware products; on this platform each does nothing and
// answers 0. Any task.
#include <cstdint>

uint32_t uartInit(uint32_t port);
uint32_t uartSetDataForm(uint32_t port, uint32_t dataBits, uint32_t stopBits);
uint32_t uartSetBaudRate(uint32_t port, uint32_t rate);
uint32_t uartTxStartStop(uint32_t port, bool on);
// Sends nothing; the sent count, when asked for, is left as it is.
uint32_t uartSendData(uint32_t port, uint32_t length, const uint8_t* bytes, uint32_t* sent);
