#pragma once
// Why a plug-in's execute is called. Carries nothing itself: a collection passes a plain instance
// made for the call; owners may derive richer reasons.
namespace MMS {

class ILinkReason {
public:
    virtual ~ILinkReason() = default;
};

}  // namespace MMS
