#include "common/uart.h"

uint32_t uartInit(uint32_t) { return 0; }
uint32_t uartSetDataForm(uint32_t, uint32_t, uint32_t) { return 0; }
uint32_t uartSetBaudRate(uint32_t, uint32_t) { return 0; }
uint32_t uartTxStartStop(uint32_t, bool) { return 0; }
uint32_t uartSendData(uint32_t, uint32_t, const uint8_t*, uint32_t*) { return 0; }
