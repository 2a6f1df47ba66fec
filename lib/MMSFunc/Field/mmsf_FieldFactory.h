#pragma once
// Makes any number of thread-safe fields that share one definition. The definition lives in a
// template field: one the caller gives, or one the factory parses once from an XML definition
// file or text into the root "Template". Each instance has one root of its own name that borrows
// the template root's definition memory and starts with the template's current values; the
// factory counts the instances of a parsed definition and drops the template with the last one.
// No lock: calls on one factory come from one task at a time.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace MMS {
class Field;
class IEventFlagTrigger;
class IField;
class ProcessOption;
}  // namespace MMS

namespace MMSFUNC {

class FieldFactory {
public:
    // Gives the folder of a definition file from its name.
    using FolderCallback = std::string (*)(const char* fileName);

    // Template-based: templateField stays the caller's and must outlive the factory and every
    // instance it makes.
    explicit FieldFactory(MMS::IField* templateField);
    // File-based: fileName relative to the folder that folderCallback gives for it, or without a
    // callback to the installed descriptor folder. The texts are the caller's and must outlive
    // the factory; a null description name counts as empty.
    FieldFactory(const char* descName, const char* fileName, FolderCallback folderCallback);
    // Buffer-based: the XML text; a length of 0 means its text length plus 1.
    FieldFactory(const char* descName, const char* buffer, uint32_t length);
    // The buffer form for a plain integer length such as 0 (a null callback is written nullptr).
    FieldFactory(const char* descName, const char* buffer, int length)
        : FieldFactory(descName, buffer, static_cast<uint32_t>(length))
    {
    }
    // Frees a template that no instance uses. A template that instances still borrow, and the
    // plug-in lists of instances still alive, are kept (and a line printed): freeing them would
    // pull memory from under those instances. Destroy every instance through the factory first.
    ~FieldFactory();

    FieldFactory(const FieldFactory&) = delete;
    FieldFactory& operator=(const FieldFactory&) = delete;

    // A new ready field with one root named rootName, owned by the caller until destroyInstance;
    // trigger is borrowed and must outlive it. Null on any failure.
    MMS::Field* createInstance(const char* rootName, MMS::IEventFlagTrigger* trigger, bool withoutPluginList);
    // Destroys the instance with its plug-in list and nulls the pointer; 0, or 0x80000000 for null.
    // Only an instance this factory made counts down (a foreign one cannot release the template).
    uint32_t destroyInstance(MMS::IField*& instance);
    // The template root's values into dstRoot of dst; 0, or 0x80000000 (also without template).
    uint32_t copyDefPrm(MMS::IField* dst, const char* dstRoot, const char* templateRoot);

    // Instances of a parsed definition that are still alive.
    uint32_t instanceCount() const { return static_cast<uint32_t>(m_counted.size()); }
    bool hasTemplate() const { return m_pTemplate != nullptr; }

private:
    bool isParsing() const { return m_pFileName != nullptr || m_pBuffer != nullptr; }
    // The parsed template, or null when the definition cannot be found or read.
    std::unique_ptr<MMS::Field> parseTemplate() const;
    void dropTemplate();

    MMS::IField* m_pTemplate;  // owned through m_pOwnedTemplate when parsed, else the caller's
    std::unique_ptr<MMS::Field> m_pOwnedTemplate;
    const char* m_pDescName;
    const char* m_pFileName;
    FolderCallback m_folderCallback;
    const char* m_pBuffer;
    uint32_t m_bufferLength;
    std::map<MMS::IField*, MMS::ProcessOption*> m_pluginLists;
    std::set<MMS::IField*> m_counted;  // the live instances of a parsed definition: its count
};

}  // namespace MMSFUNC
