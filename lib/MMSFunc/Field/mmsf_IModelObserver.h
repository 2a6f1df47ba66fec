#pragma once
// What an application registers at a node of an address tree to hear of changes there. Called on
// the task that notifies the tree (a model core's owner), synchronously.
namespace MMSFUNC {

class MMSAddress;

class IModelObserver {
public:
    virtual ~IModelObserver() = default;
    // address: the changed element's node with concrete channels. changed: always true from the tree.
    // May register or remove observers of the same item; the tree notices and goes on correctly.
    virtual void onChanged(const MMSAddress& address, bool changed) = 0;
};

}  // namespace MMSFUNC
