#pragma once
// Definition of one component type: name, major version, size limits and current sizes, and the
// ordered list of its parameter definitions. A plain value: the repository keeps the registered
// copies, and each component guards its own copy with its database's lock.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jlib/jlib_result.h"
#include "pdb_ParameterAttr.h"
#include "pdb_ParameterInfo.h"
#include "pdb_UniqId.h"

namespace PDB {

class ParameterStrategy;

class ComponentInfo {
public:
    // Bounded byte-wise order of the address index; a null key counts as empty.
    struct cmp_str {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a.compare(b) < 0; }
        bool operator()(const char* a, std::string_view b) const { return b.compare(a ? a : "") > 0; }
        bool operator()(std::string_view a, const char* b) const { return a.compare(b ? b : "") < 0; }
    };

    static constexpr uint32_t kExportSize = 92;
    static constexpr uint32_t kInvalidIndex = 0xFFFFFFFFu;
    static constexpr uint32_t kMaxSize = 0xFFFF;
    static constexpr uint32_t kNameFieldSize = 24;
    static constexpr uint32_t kUserNameFieldSize = 48;
    // Result of importBinary for a type that is not registered.
    static constexpr JLIB::JResult kUnknownComponent = 0x80000002u;
    // Result of importBinary for an image that does not start with "#CI1".
    static constexpr JLIB::JResult kBadMagic = 0x80000003u;

    ComponentInfo();
    ComponentInfo(const ComponentInfo& other);
    ComponentInfo(ComponentInfo&& other) noexcept;
    ComponentInfo& operator=(const ComponentInfo& other);
    ComponentInfo& operator=(ComponentInfo&& other) noexcept;
    virtual ~ComponentInfo();

    // Starts an empty type (generation 0, sizes at the minima). 0x80000001 and an empty
    // definition for a limit of 0 or above 0xFFFF, or a maximum below its minimum.
    // The strategy is not owned; null stands for the shared pass-through strategy.
    [[nodiscard]] JLIB::JResult initialize(const char* name, uint32_t version, uint32_t minX, uint32_t minY,
                                           uint32_t maxX, uint32_t maxY, const char* commentX,
                                           const char* commentY, ParameterStrategy* strategy);
    // A size of 0 stands for the minimum. 0x80000001 for a definition without parameters or a
    // size outside the limits (nothing changes then); otherwise the sizes and generation are set
    // and the first failure of a parameter's size refresh is returned.
    [[nodiscard]] JLIB::JResult resize(uint32_t x, uint32_t y, int16_t generation);
    // Every field back to empty except the strategy pointer.
    uint32_t clear();

    uint32_t setUniqId(const UniqId& id);
    uint32_t setUserName(const char* name);
    uint32_t setAttribute(uint32_t attribute);
    uint32_t setParameterStrategy(ParameterStrategy* strategy);

    const UniqId& uniqId() const { return m_uniqId; }
    const std::string& userName() const { return m_userName; }
    uint32_t attribute() const { return m_attribute; }
    ParameterStrategy* parameterStrategy() const { return m_pParameterStrategy; }
    const std::string& componentName() const { return m_componentName; }
    uint32_t componentVersion() const { return m_componentVersion; }
    int16_t generation() const { return m_generation; }
    uint32_t numX() const { return m_numX; }
    uint32_t numY() const { return m_numY; }
    uint32_t minX() const { return m_minX; }
    uint32_t minY() const { return m_minY; }
    uint32_t maxX() const { return m_maxX; }
    uint32_t maxY() const { return m_maxY; }
    const std::string& commentX() const { return m_commentX; }
    const std::string& commentY() const { return m_commentY; }
    uint32_t addressNum() const { return static_cast<uint32_t>(m_params.size()); }
    bool isValid() const { return !m_params.empty(); }

    // The definition at that index, or a shared empty one ("<unknown>", type 0) outside the list.
    const ParameterInfo& paramInfo(uint32_t addressIndex) const;
    // 0xFFFFFFFF for an address that is not defined (or null).
    uint32_t addressIndex(const char* address) const;

    // Add operations: a null text is stored empty; the address must not be null. Adding an
    // address again refills its slot. 0x80000001, with nothing changed, for a size pattern of
    // count 0 or a shape whose storage does not fit in 32 bits.
    [[nodiscard]] JLIB::JResult addAddressUINT32(const char* address, uint32_t patternX, uint32_t patternY,
                                                 const char* commentX, const char* commentY, uint32_t min,
                                                 uint32_t max, uint32_t def, uint32_t nominal, uint32_t step,
                                                 uint32_t scaling, const ParamAttr& attr, const char* unit,
                                                 const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressUINT16(const char* address, uint32_t patternX, uint32_t patternY,
                                                 const char* commentX, const char* commentY, uint16_t min,
                                                 uint16_t max, uint16_t def, uint16_t nominal, uint32_t step,
                                                 uint32_t scaling, const ParamAttr& attr, const char* unit,
                                                 const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressUINT8(const char* address, uint32_t patternX, uint32_t patternY,
                                                const char* commentX, const char* commentY, uint8_t min,
                                                uint8_t max, uint8_t def, uint8_t nominal, uint32_t step,
                                                uint32_t scaling, const ParamAttr& attr, const char* unit,
                                                const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressSINT32(const char* address, uint32_t patternX, uint32_t patternY,
                                                 const char* commentX, const char* commentY, int32_t min,
                                                 int32_t max, int32_t def, int32_t nominal, uint32_t step,
                                                 uint32_t scaling, const ParamAttr& attr, const char* unit,
                                                 const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressSINT16(const char* address, uint32_t patternX, uint32_t patternY,
                                                 const char* commentX, const char* commentY, int16_t min,
                                                 int16_t max, int16_t def, int16_t nominal, uint32_t step,
                                                 uint32_t scaling, const ParamAttr& attr, const char* unit,
                                                 const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressSINT8(const char* address, uint32_t patternX, uint32_t patternY,
                                                const char* commentX, const char* commentY, int8_t min,
                                                int8_t max, int8_t def, int8_t nominal, uint32_t step,
                                                uint32_t scaling, const ParamAttr& attr, const char* unit,
                                                const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressFLOAT(const char* address, uint32_t patternX, uint32_t patternY,
                                                const char* commentX, const char* commentY, float min, float max,
                                                float def, float nominal, float step, uint32_t scaling,
                                                const ParamAttr& attr, const char* unit, const char* kind,
                                                const char* defUI);
    // Values are stored as 1 for any non-zero value, else 0.
    [[nodiscard]] JLIB::JResult addAddressBOOL(const char* address, uint32_t patternX, uint32_t patternY,
                                               const char* commentX, const char* commentY, uint32_t min,
                                               uint32_t max, uint32_t def, const ParamAttr& attr, const char* unit,
                                               const char* kind, const char* defUI);
    // size is the element size in bytes; the default keeps the whole text.
    [[nodiscard]] JLIB::JResult addAddressSTRING(const char* address, uint32_t patternX, uint32_t patternY,
                                                 const char* commentX, const char* commentY, uint32_t size,
                                                 const char* defaultText, const ParamAttr& attr, const char* unit,
                                                 const char* kind, const char* defUI);
    [[nodiscard]] JLIB::JResult addAddressBINARY(const char* address, uint32_t patternX, uint32_t patternY,
                                                 const char* commentX, const char* commentY, uint32_t size,
                                                 const ParamAttr& attr, const char* unit, const char* kind,
                                                 const char* defUI);

    // The two halves of every add: choose the slot for the address (its own, the first one with
    // an empty address, or a new one; a reused slot is cleared), then enter the address of the
    // filled slot into the index. postAddAddress: 0x80000001 for an index outside the list.
    [[nodiscard]] JLIB::JResult preAddAddress(const char* address, uint32_t& index);
    [[nodiscard]] JLIB::JResult postAddAddress(uint32_t index);

    uint32_t exportSize() const { return kExportSize; }
    // Writes the 92-byte "#CI1" image; 0x80000001 and nothing written for a null buffer or fewer
    // than 92 bytes.
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t length) const;
    // Becomes the registered definition named by the image, with the image's identity, user
    // name, attribute and sizes; recordCount gets the image's parameter count. 0x80000001 (and
    // no change) for a null pointer or fewer than 92 bytes; kBadMagic, kUnknownComponent or the
    // resize failure with the definition left empty.
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t* data, uint32_t length, uint32_t& recordCount);

private:
    // Checks the shape of a filled definition, then stores it in the address's slot.
    [[nodiscard]] JLIB::JResult addParameter(ParameterInfo&& info);
    void copyFrom(const ComponentInfo& other);

    UniqId m_uniqId;
    std::string m_userName;
    uint32_t m_attribute = 0;
    ParameterStrategy* m_pParameterStrategy;  // not owned: strategies live for the whole run
    std::string m_componentName;
    uint32_t m_componentVersion = 0;
    int16_t m_generation = -1;
    uint32_t m_numX = 1;
    uint32_t m_numY = 1;
    uint32_t m_minX = 1;
    uint32_t m_minY = 1;
    uint32_t m_maxX = 1;
    uint32_t m_maxY = 1;
    std::string m_commentX;
    std::string m_commentY;
    // Owned one by one so that references handed out by paramInfo survive later adds.
    std::vector<std::unique_ptr<ParameterInfo>> m_params;
    std::map<std::string, uint32_t, cmp_str> m_addressIndex;
};

// Writes text into a field of width bytes: at most width - 1 characters, the rest zero.
// 0x80000001 for a null field or width 0; a null text writes an empty field.
[[nodiscard]] JLIB::JResult stringToBinary(uint8_t* field, uint32_t width, const char* text);

}  // namespace PDB
