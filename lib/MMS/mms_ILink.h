#pragma once
// The link operations of a field that carries links: link subscriptions, the build handle, link
// and member editing, on/off and link type, and the queries of the link structure and its change
// bits. Implemented by the linked field, which runs each under the field's locks.
#include <cstdint>

class JVariant;

namespace MMS {

class ILink {
public:
    [[nodiscard]] virtual uint32_t linkSubscribe(uint32_t taskId, uint32_t unused, bool raise) = 0;
    [[nodiscard]] virtual uint32_t linkUnsubscribe(uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t linkHndlOpen(uint32_t* handle) = 0;
    [[nodiscard]] virtual uint32_t linkHndlClose(uint32_t handle) = 0;
    [[nodiscard]] virtual uint32_t createLink(uint32_t* linkId, const char* root, uint32_t handle, uint8_t markOwn,
                                              uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t deleteLink(const char* root, uint32_t linkId, uint32_t handle, uint8_t markOwn,
                                              uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                              const uint32_t* indices, uint32_t depth, uint32_t handle,
                                              uint8_t markOwn, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth, uint32_t handle,
                                                 uint8_t markOwn, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint32_t handle,
                                                uint8_t markOwn, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId) = 0;
    [[nodiscard]] virtual uint32_t setLinkType(const char* root, uint32_t linkId, uint16_t linkType,
                                               uint32_t handle, uint8_t markOwn, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getLinkType(uint16_t* linkType, const char* root, uint32_t linkId) = 0;
    [[nodiscard]] virtual uint32_t getNumOfLink(uint32_t* count, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId) = 0;
    [[nodiscard]] virtual uint32_t cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position) = 0;
    [[nodiscard]] virtual uint32_t getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                   JVariant* value, uint32_t capacity, const char* root,
                                                   uint32_t linkId, uint32_t position) = 0;
    [[nodiscard]] virtual uint32_t isLinkChanged(uint8_t* changed, const char* root, const char* address,
                                                 uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                                 uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                                     const uint32_t* indices, uint32_t levels, uint8_t clear,
                                                     uint32_t taskId) = 0;
    virtual ~ILink() = 0;
};

inline ILink::~ILink() = default;

}  // namespace MMS
