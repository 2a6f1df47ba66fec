// Definition files from arbitrary bytes: the XML reader with build option 3 into a fresh field
// that checks every build call it receives (names, depths, node paths, sizes) and answers like a
// field would. Nothing may crash, and the result must be one of the reader's codes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "MMS/mms_ParseHandler.h"
#include "jlib/JHeap.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

JLIB::GlobalHeapManagerBase g_heap;
const bool g_registered = JLIB::SubscribeHeapId(1, g_heap) == 0;

const T_MMS_SCRIPT_MACRO kMacros[] = {{"N", 3}, {"CH", 8}};

bool goodName(const char* name) { return name && std::strlen(name) >= 1 && std::strlen(name) <= 23; }

class CheckingField : public MMS::IFieldBuilder {
public:
    uint32_t getStatus(unsigned char* status) override
    {
        *status = m_status;
        return 0;
    }
    uint32_t startBuild() override
    {
        if (m_status == 2) m_status = 1;
        return m_status == 1 ? 0 : 0x80000004u;
    }
    uint32_t createRoot(const char* root, const char* top, unsigned, unsigned, unsigned) override
    {
        check(m_status == 1 && goodName(root) && goodName(top));
        if (m_hasRoot) return 0x80000009u;  // a nested function element names the same root again
        m_hasRoot = true;
        return 0;
    }
    uint32_t setDescName(const char* root, const char* desc) override
    {
        check(m_hasRoot && desc && std::strlen(desc) <= 23);
        return 0;
    }
    uint32_t setDescVersion(const char* root, const char* version) override
    {
        check(version && (std::strlen(version) == 8 || std::strlen(version) == 10));
        return 0;
    }
    uint32_t addCollectionFast(unsigned* index, const char* root, const unsigned* path, unsigned depth,
                               const char* name, unsigned arraySize) override
    {
        check(m_hasRoot && index && path && depth <= 3 && goodName(name) && arraySize >= 1);
        for (unsigned d = 0; d < depth; ++d) check(path[d] < m_next);
        *index = m_next++;
        return (arraySize % 7 == 0) ? 0x80000009u : 0;  // some refusals
    }
    uint32_t addPrmFast(unsigned* index, const char* root, const unsigned* path, unsigned depth, const char* name,
                        unsigned arraySize, unsigned type, JVariant* mn, JVariant* mx, JVariant* def, JVariant* step,
                        JVariant* nominal, const char* unit, unsigned unitSize, unsigned, unsigned,
                        const char* nameFormat, unsigned nameFormatSize) override
    {
        check(m_hasRoot && index && path && depth <= 4 && goodName(name) && arraySize >= 1 && type != 0);
        check(unit ? unitSize == std::strlen(unit) + 1 && unitSize <= 24 : unitSize == 0);
        check(nameFormat ? nameFormatSize == std::strlen(nameFormat) + 1 && nameFormatSize <= 65 : nameFormatSize == 0);
        for (JVariant* v : {mn, mx, def, step, nominal}) check(!v || v->isValid());
        if (type == 0x304) {
            for (JVariant* v : {mn, mx, def, step, nominal}) check(!v || v->getType() == JVariant::kTypeFloat);
        }
        if (def && type == 0x201) check(def->getType() == JVariant::kTypeString && std::strlen(def->toString()) <= 255);
        *index = m_next++;
        return 0;
    }
    uint32_t linkBuild(unsigned char) override { return 0x80000004u; }
    uint32_t finishBuild(unsigned char) override
    {
        check(m_status == 1);
        m_status = 2;
        return 0x80000005u;
    }

private:
    unsigned char m_status = 2;
    bool m_hasRoot = false;
    unsigned m_next = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)g_registered;
    if (size == 0) return 0;
    CheckingField field;
    const uint32_t r = MMS::XmlParser::Parse(&field, "Desc", 4, "Template", 8, reinterpret_cast<const char*>(data),
                                             static_cast<uint32_t>(size), MMS::BUILD_OPTION_FINISH, kMacros, 2);
    check(r == 0 || r == 0x80010010u || r == 0x80010011u || r == 0x80010000u || r == 0x80010080u);
    return 0;
}
