#include "common/KavoriStartupOption.h"

#include <cstring>

#include "jlib/jlib_cfg.h"
#include "jlib/jlib_number.h"

namespace KAVORI {

namespace {
// A signed 32-bit number needs at most 11 characters.
constexpr uint32_t kNumberRoom = 11;
}  // namespace

KavoriStartupOption& KavoriStartupOption::getInstance()
{
    static KavoriStartupOption instance;
    return instance;
}

KavoriStartupOption::KavoriStartupOption() : m_c(0), m_updated(false) {}

uint32_t KavoriStartupOption::parse(const char* text)
{
    if (!text) return OPTION_OTHER;
    if (std::strcmp(text, "-c") == 0) return OPTION_C;
    if (std::strcmp(text, "--updated") == 0) return OPTION_UPDATED;
    return OPTION_OTHER;
}

JLIB::JResult KavoriStartupOption::set(int argc, const char* const* argv)
{
    if (argc > 1 && !argv) return JLIB::kFailed;
    for (int i = 1; i < argc; ++i) {
        switch (parse(argv[i])) {
        case OPTION_C: {
            const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
            if (!next) {
                m_c = 0;
                JLIB_LOG("[E] Invalid \"-c\" Option value\n");
                break;
            }
            int32_t value = 0;
            if (JLIB::isFailure(jlib_strntol(&value, next, nullptr, 10, kNumberRoom))) value = 0;
            m_c = static_cast<int>(value);
            break;  // the number is looked at again as an argument of its own, and ignored
        }
        case OPTION_UPDATED:
            m_updated = true;
            break;
        default:
            break;
        }
    }
    return JLIB::kOk;
}

JVariant KavoriStartupOption::get(uint32_t kind) const
{
    if (kind == OPTION_C) return m_c;
    if (kind == OPTION_UPDATED) return JVariant(static_cast<unsigned int>(m_updated ? 1 : 0));
    return JVariant(0);
}

}  // namespace KAVORI
