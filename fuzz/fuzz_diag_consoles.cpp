// Feeds the factory consoles and the unit files. Input: one selector byte, then
//   0: chunks for the diagnostics console (each a length byte and that many typed bytes, one
//      received event per chunk), without a thread tree: every send goes to the null thread;
//   1: chunks for the address and serial writer, whose files go to a scratch folder;
//   2, 3: the whole rest as the content of "GW.env" or "GW.eserial", read back.
// What the consoles send must fit their output buffers; a file that reads back must satisfy the
// reader's rules.
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DiagFramework/diagfrwk_DiagConsole.h"
#include "DiagFramework/diagfrwk_DiagLogger.h"
#include "MacBarServer/macbar_File.h"
#include "MacBarServer/macbar_Server.h"
#include "TMS/TMSystem.h"
#include "fuzz_lowio.h"

namespace {

class FuzzLowIO : public QueuedLowIO {
public:
    explicit FuzzLowIO(uint32_t limit) : m_limit(limit) {}
    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override
    {
        if (!data || size == 0 || size >= m_limit) __builtin_trap();
        *sent = size;
        return 0;
    }
    JLIB::JResult runCallback() override
    {
        // Bytes left after an empty line raise the next event, as the network transport does.
        while (!m_input.empty()) {
            const size_t before = m_input.size();
            (void)m_pCallback->onLowIOReceived(*this);
            if (m_input.size() == before) __builtin_trap();  // a pass that reads nothing would spin
        }
        return 0;
    }
    void type(const uint8_t* data, size_t size) { queue(data, size); }

private:
    uint32_t m_limit;
};

class ScratchInfo : public MACBAR::IMacBarProductInfo {
public:
    std::string folder;
    std::string staticDataPath() const override { return folder; }
    std::string productName(uint32_t) const override { return "UZ"; }
    std::string etherPort() const override { return "lo-none"; }
};

ScratchInfo s_info;

template <typename Feed>
void chunks(const uint8_t* data, size_t size, FuzzLowIO& lowIO, Feed feed)
{
    size_t at = 0;
    while (at < size) {
        const size_t length = data[at++];
        const size_t take = length < size - at ? length : size - at;
        lowIO.type(data + at, take);
        at += take;
        feed();
    }
}

void writeFile(const char* name, const uint8_t* data, size_t size)
{
    const std::string path = s_info.folder + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    if (size > 0) (void)std::fwrite(data, 1, size, file);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static TMS::TMSystem system;
    (void)DiagFramework::DiagLogger::getInstance().initialize();
    char pattern[] = "/tmp/fuzz_diag.XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    s_info.folder = pattern;
    MACBAR::macbar_SetProductInfo(&s_info);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const uint8_t selector = data[0] % 4;
    ++data;
    --size;
    if (selector == 0) {
        FuzzLowIO lowIO(DiagFramework::DiagConsole::kOutputSize);
        DiagFramework::DiagConsole console;
        if (console.initialize(nullptr, lowIO) != 0) __builtin_trap();
        chunks(data, size, lowIO, [&] { (void)console.run(); });
    } else if (selector == 1) {
        FuzzLowIO lowIO(MACBAR::MacBarServer::kOutputSize);
        MACBAR::MacBarServer server;
        if (server.initialize(nullptr, lowIO) != 0) __builtin_trap();
        chunks(data, size, lowIO, [&] { (void)server.run(); });
    } else if (selector == 2) {
        writeFile(MACBAR::kEnvFileName, data, size);
        char digits[13];
        if (MACBAR::macbar_GetMACAddress(digits, sizeof digits) == 0) {
            if (std::strlen(digits) != 12) __builtin_trap();
            for (const char c : std::string(digits)) {
                if (!std::isxdigit(static_cast<unsigned char>(c)) || std::islower(static_cast<unsigned char>(c))) {
                    __builtin_trap();
                }
            }
        } else if (digits[0] != '\0') {
            __builtin_trap();
        }
    } else {
        writeFile(MACBAR::kSerialFileName, data, size);
        char serial[17];
        if (MACBAR::macbar_GetESerial(serial, sizeof serial) == 0) {
            if (std::strlen(serial) != 16 || std::memcmp(serial, data, 16) != 0) __builtin_trap();
        } else if (serial[0] != '\0') {
            __builtin_trap();
        }
    }
    return 0;
}
