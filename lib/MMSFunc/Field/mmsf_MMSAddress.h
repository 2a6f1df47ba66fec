#pragma once
// One node of one root of a field (a collection or a parameter) with a channel per level, and a
// copy of the parameter's attributes. A level's channel may be CH_ANY: the value operations then
// run over every channel of that level. One address is used by one task at a time; copies are
// independent but share the root-id text, which must outlive them.
//
// Results are 0 or 0x80000000 (getKind excepted); an empty or invalid address fails every
// operation without calling the field.
#include <cstdint>
#include <vector>

#include "jlib/JVariant.h"

namespace MMS {
class IField;
}

namespace MMSFUNC {

class FieldCollection;
class MMSAddress;

// The value kinds a read can take.
enum GetOpeType : uint32_t { GET_OPE_VALUE = 0, GET_OPE_DEFAULT = 1, GET_OPE_MINIMUM = 2, GET_OPE_MAXIMUM = 3 };

// The one field call of a read at the address's node and channels (operation 0 value, 1 default,
// 2 minimum, 3 maximum; any other 0x80000000). The field's result unchanged.
uint32_t getMMSValueDeligate(GetOpeType operation, JVariant& value, const MMSAddress& address, unsigned char* factor,
                             unsigned char clear, unsigned int taskId);
// The calling task's 16-bit OS task id.
uint32_t getLocalSubscribeId();

class MMSAddress {
public:
    static constexpr uint32_t CH_ANY = 0xFFFFFFFFu;
    static constexpr uint32_t kMaxDepth = 5;
    static constexpr uint32_t kFailed = 0x80000000u;

    MMSAddress();
    MMSAddress(MMS::IField* field, const char* rootId, const char* path);
    MMSAddress(MMS::IField* field, const char* rootId, const unsigned int* nodes, unsigned int depth);
    MMSAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId, const char* path);
    MMSAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId, const unsigned int* nodes,
               unsigned int depth);
    MMSAddress(const MMSAddress& other);
    MMSAddress& operator=(const MMSAddress& other);
    virtual ~MMSAddress();

    // ---- Setting: each caches the attributes and calls onSetAddress on success ----
    // The text form leaves the address invalid (field and root id kept) when the field cannot
    // convert the path. The channels are all 0 afterwards.
    uint32_t setAddress(MMS::IField* field, const char* rootId, const char* path);
    uint32_t setAddress(MMS::IField* field, const char* rootId, const unsigned int* nodes, unsigned int depth);
    uint32_t setAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId, const char* path);
    uint32_t setAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId,
                        const unsigned int* nodes, unsigned int depth);
    // With the address's own field and root id; 0x80000000 when no field is set.
    uint32_t setAddress(const char* path);
    uint32_t setAddress(const unsigned int* nodes, unsigned int depth);
    uint32_t clear();

    MMS::IField* field() const { return m_pField; }
    const char* rootId() const { return m_pRootId; }
    const unsigned int* addrVector() const { return m_nodes; }
    const unsigned int* chVector() const { return m_channels; }
    unsigned int vectorLen() const { return m_depth; }
    bool isValid() const { return m_depth != 0; }

    // ---- Text and tree queries ----
    // The text path without root name into buffer.
    uint32_t getAddress(char* buffer, unsigned int size) const;
    // Bytes of the text path with its terminator; 0 on failure.
    unsigned int getAddressBuffSize() const;
    // 0 on failure.
    unsigned int getChildNodeNum() const;
    // One level deeper at child index, channel 0 there; an empty address when there is no such child.
    MMSAddress getChildAddress(unsigned int index) const;
    // False with any-channel levels (such an address cannot be tested) and on failure.
    bool isChanged(bool clear, unsigned int taskId) const;
    // This address as a pattern: other is at least as deep, every node equal, and every channel
    // CH_ANY here or equal. Field and root id are not compared.
    bool match(const MMSAddress& other) const;

    // ---- Channels (index = level from 0) ----
    uint32_t setCh(unsigned int index, unsigned int channel);
    unsigned int getCh(unsigned int index) const;
    unsigned int getChNum(unsigned int index) const;
    virtual unsigned int getChMin(unsigned int index) const;
    virtual unsigned int getChMax(unsigned int index) const;
    virtual bool isValidCh(unsigned int index, unsigned int channel) const;
    // setCh for the first min(count, depth) levels from channels (none when null), 0 for the rest;
    // the OR of the results.
    uint32_t setChVector(const unsigned int* channels, unsigned int count);
    uint32_t setChVector(unsigned int ch0, unsigned int ch1, unsigned int ch2, unsigned int ch3, unsigned int ch4);
    uint32_t setAnyCh(unsigned int index);
    uint32_t setAnyChAll();
    bool isAnyCh(unsigned int index) const;
    bool isAnyCh() const;

    // ---- Attributes: cached at setting, or read from the field (minimum, maximum, default) ----
    uint32_t getType(unsigned int& type) const;
    virtual uint32_t getScale(unsigned int& scale) const;
    // Gives the kind itself; 0x80000000 (with 0 stored) when invalid.
    virtual uint32_t getKind(unsigned int& kind) const;
    virtual uint32_t getNominal(JVariant& value) const;
    virtual uint32_t getStep(JVariant& value) const;
    virtual uint32_t getMinimum(JVariant& value) const;
    virtual uint32_t getMaximum(JVariant& value) const;
    virtual uint32_t getDefault(JVariant& value) const;
    // The same giving the attribute, with the result code through result when not null.
    unsigned int getType(unsigned int* result) const;
    unsigned int getScale(unsigned int* result) const;
    unsigned int getKind(unsigned int* result) const;
    JVariant getNominal(unsigned int* result) const;
    JVariant getStep(unsigned int* result) const;
    JVariant getMinimum(unsigned int* result) const;
    JVariant getMaximum(unsigned int* result) const;
    JVariant getDefault(unsigned int* result) const;

    // ---- Values ----
    // One element: 0x80000000 with any-channel levels. No lock of its own: the field locks the call.
    virtual uint32_t getValue(JVariant& value, unsigned char* factor, unsigned char clear, unsigned int taskId) const;
    JVariant getValue(unsigned int* result, unsigned char* factor, unsigned char clear, unsigned int taskId) const;
    // Every element the address covers, any-channel levels in channel order (the last fastest),
    // into values (emptied first) under the field's ctrl and get locks; failing elements are skipped and
    // reported as 0x80000000.
    virtual uint32_t getValues(GetOpeType operation, std::vector<JVariant>& values, unsigned char* factor,
                               unsigned char clear, unsigned int taskId) const;
    virtual uint32_t setValue(const JVariant& value, unsigned char factor, unsigned char markOwn,
                              unsigned short checkMode, unsigned char setOption, unsigned int taskId);
    // 0x80000000 for a null text or one longer than a string value holds (nothing is written).
    virtual uint32_t setValueStr(const char* text, unsigned char factor, unsigned char markOwn,
                                 unsigned short checkMode, unsigned char setOption, unsigned int taskId);
    // The values to the covered elements in the same order under the field's ctrl and set locks;
    // elements beyond the values, and failing writes, are reported as 0x80000000.
    virtual uint32_t setValues(const std::vector<JVariant>& values, unsigned char factor, unsigned char markOwn,
                               unsigned short checkMode, unsigned char setOption, unsigned int taskId);

    // Calls leaf(element) for every element the address covers, the any-channel levels from
    // firstLevel on expanded in channel order (the last fastest); 0x80000000 when any leaf failed.
    template <typename Leaf>
    uint32_t forEachElement(Leaf&& leaf, unsigned int firstLevel = 0) const
    {
        return walkElements(*this, firstLevel, leaf);
    }

    // Reads the channel counts and the attributes under the field's ctrl and get locks. 0x80000000
    // when the attribute query or the last level's array size failed (so for a collection).
    virtual uint32_t cacheAttribute();
    // Called after every successful setAddress; 0 here.
    virtual uint32_t onSetAddress();

private:
    void resetVectors();

    template <typename Leaf>
    static uint32_t walkElements(const MMSAddress& at, unsigned int level, Leaf& leaf)
    {
        for (unsigned int i = level; i < at.m_depth; ++i) {
            if (at.m_channels[i] != CH_ANY) continue;
            MMSAddress one(at);
            uint32_t result = 0;
            for (unsigned int c = 0; c < at.m_channelCounts[i]; ++c) {
                one.m_channels[i] = c;
                result |= walkElements(one, i + 1, leaf);
            }
            return (result & kFailed) != 0 ? kFailed : 0;
        }
        return (leaf(at) & kFailed) != 0 ? kFailed : 0;
    }

    MMS::IField* m_pField;  // not owned
    const char* m_pRootId;  // not owned
    unsigned int m_depth;
    unsigned int m_nodes[kMaxDepth];
    unsigned int m_channels[kMaxDepth];
    unsigned int m_channelCounts[kMaxDepth];
    unsigned int m_type;
    JVariant m_minimum;
    JVariant m_maximum;
    JVariant m_step;
    JVariant m_nominal;
    unsigned int m_scaling;
    unsigned int m_kind;
};

}  // namespace MMSFUNC
