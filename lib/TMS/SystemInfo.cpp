#include "TMS/SystemInfo.h"

#include "TMS/SystemInfoLocalData.h"
#include "TMS/SystemInfoNodeStruct.h"
#include "TMS/TMSMutex.h"
#include "TMS/ThreadLogger.h"
#include "TMS/currentThreadLogger.h"
#include "jlib/JHeap.h"
#include "jlib/JVariantArray.h"
#include "jlib/jlib_printf.h"

namespace TMS {

namespace {

constexpr unsigned int kMaxTextLength = 1024;
constexpr uint32_t kLineSize = 128;
constexpr uint32_t kLineBreakRoom = 40;  // a line ends when less than this is left of it

}  // namespace

SystemInfo::~SystemInfo()
{
    // The lock may already be gone when the owner never bound one; the arrays go anyway.
    if (hasLock()) (void)release();  // always 0 with a lock
    else freeNodes();
}

bool SystemInfo::hasLock() const { return m_pLock && m_pLock->isValid(); }

JLIB::JResult SystemInfo::precheck(const char* name) const
{
    if (!m_valid) return kNotValid;
    if (!name) return kBadArgument;
    if (!hasLock()) return kNoLock;
    return JLIB::kOk;
}

void SystemInfo::freeNodes()
{
    for (auto& entry : m_params) {
        (void)JLIB::JDelete(entry.second.values);  // blocks of our own making
        (void)JLIB::JDelete(entry.second.dirty);
    }
    m_params.clear();
    m_valid = false;
}

SystemInfo::SystemInfoNode* SystemInfo::find(const char* name)
{
    auto it = m_params.find(name);
    return it == m_params.end() ? nullptr : &it->second;
}

const SystemInfo::SystemInfoNode* SystemInfo::find(const char* name) const
{
    auto it = m_params.find(name);
    return it == m_params.end() ? nullptr : &it->second;
}

bool SystemInfo::addNode(const SystemInfoParamAttr& attr, const JVariant* initial, bool marked)
{
    SystemInfoNode node;
    node.attr = attr;
    node.values = JLIB::JNew<JVariant>(0, "SystemInfoItem", attr.num(), attr.defaultValue());
    node.dirty = JLIB::JNew<bool>(0, "SystemInfoDirty", attr.num(), marked);
    if (!node.values || !node.dirty) {
        if (node.values) (void)JLIB::JDelete(node.values);  // ours, cannot fail
        if (node.dirty) (void)JLIB::JDelete(node.dirty);
        return false;
    }
    if (initial) {
        for (uint32_t i = 0; i < attr.num(); ++i) node.values[i] = initial[i];
    }
    m_params.emplace(attr.name(), node);
    return true;
}

JLIB::JResult SystemInfo::initialize(const TMSMutex* lock)
{
    m_pLock = lock;
    if (!hasLock()) {
        freeNodes();
        return JLIB::kOk;
    }
    return release();
}

JLIB::JResult SystemInfo::release()
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    freeNodes();
    return JLIB::kOk;
}

JLIB::JResult SystemInfo::addParams(const SystemInfoNodeStruct* rows, uint32_t count)
{
    if (!rows || count == 0) return kBadArgument;
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    for (uint32_t i = 0; i < count; ++i) {
        SystemInfoParamAttr attr;
        JLIB_RETURN_IF_FAILED(attr.set(rows[i]));
        if (find(attr.name())) continue;
        if (!addNode(attr, nullptr, false)) {
            freeNodes();
            return kNoLock;
        }
    }
    m_valid = true;
    return JLIB::kOk;
}

JLIB::JResult SystemInfo::getParam(JVariant& value, const char* name, uint32_t index) const
{
    (void)value.invalid();
    JLIB_RETURN_IF_FAILED(precheck(name));
    TMSMutexAutoReleaser hold(m_pLock);
    if (!m_valid) return kNotValid;
    const SystemInfoNode* node = find(name);
    if (!node || index >= node->attr.num()) return kUnknownName;
    value = node->values[index];
    return JLIB::kOk;
}

JLIB::JResult SystemInfo::getParamAttr(SystemInfoParamAttr& attr, const char* name) const
{
    attr.clear();
    JLIB_RETURN_IF_FAILED(precheck(name));
    TMSMutexAutoReleaser hold(m_pLock);
    if (!m_valid) return kNotValid;
    const SystemInfoNode* node = find(name);
    if (!node) return kUnknownName;
    attr = node->attr;
    return JLIB::kOk;
}

bool SystemInfo::isChanged(const char* name, uint32_t index, bool clear)
{
    JVariant ignored;
    return isChanged(ignored, name, index, clear);
}

bool SystemInfo::isChanged(JVariant& value, const char* name, uint32_t index, bool clear)
{
    if (JLIB::isFailure(precheck(name))) return false;
    TMSMutexAutoReleaser hold(m_pLock);
    if (!m_valid) return false;
    SystemInfoNode* node = find(name);
    if (!node || index >= node->attr.num()) return true;
    value = node->values[index];
    const bool changed = node->dirty[index];
    if (clear) node->dirty[index] = false;
    return changed;
}

JLIB::JResult SystemInfo::clearDirty()
{
    if (!m_valid) return kNotValid;
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    for (auto& entry : m_params) {
        for (uint32_t i = 0; i < entry.second.attr.num(); ++i) entry.second.dirty[i] = false;
    }
    return JLIB::kOk;
}

JLIB::JResult SystemInfo::clearDirty(const char* name)
{
    if (!m_valid) return kNotValid;
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    if (SystemInfoNode* node = find(name)) {
        for (uint32_t i = 0; i < node->attr.num(); ++i) node->dirty[i] = false;
    }
    return JLIB::kOk;
}

JLIB::JResult SystemInfo::overwrite(const SystemInfo& other)
{
    if (&other == this) return kBadArgument;
    if (!other.m_valid) return kOtherNotValid;
    if (!hasLock() || !other.hasLock()) return kNoLock;
    TMSMutexAutoReleaser holdSelf(m_pLock);
    TMSMutexAutoReleaser holdOther(other.m_pLock);
    TMSMutexAutoReleaser holdSelfAgain(m_pLock);
    m_valid = false;
    JLIB::JResult result = JLIB::kOk;
    for (const auto& entry : other.m_params) {
        const SystemInfoNode& theirs = entry.second;
        SystemInfoNode* mine = find(entry.first);
        if (!mine) {
            if (!addNode(theirs.attr, theirs.values, true)) {
                freeNodes();
                return kNoLock;
            }
            continue;
        }
        if (mine->attr != theirs.attr) {
            result = kBadArgument;
            continue;
        }
        for (uint32_t i = 0; i < mine->attr.num(); ++i) {
            if (mine->values[i] != theirs.values[i]) {
                mine->values[i] = theirs.values[i];
                mine->dirty[i] = true;
            }
        }
    }
    m_valid = !JLIB::isFailure(result);
    return result;
}

JLIB::JResult SystemInfo::overwrite(const SystemInfoLocalData& pending)
{
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < pending.getParamNum(); ++i) {
        const SystemInfoLocalItem* item = pending.getParam(i);
        SystemInfoNode* node = find(item->name());
        if (!node || item->index() >= node->attr.num()) {
            result = kBadArgument;
            continue;
        }
        JVariant& element = node->values[item->index()];
        if (element != item->value()) {
            element = item->value();
            node->dirty[item->index()] = true;
        }
    }
    return result;
}

JLIB::JResult SystemInfo::write(SystemInfoNode& node, uint32_t index, const JVariant& value)
{
    const SystemInfoParamAttr& attr = node.attr;
    const int type = value.getType();
    switch (attr.type()) {
    case SystemInfoParamAttr::kTypeSigned: {
        if (type != JVariant::kTypeInt32 && type != JVariant::kTypeUInt32) return kBadArgument;
        int v = value.toInt32();
        if (v < attr.minimum().toInt32()) v = attr.minimum().toInt32();
        if (v > attr.maximum().toInt32()) v = attr.maximum().toInt32();
        node.values[index] = JVariant(v);
        break;
    }
    case SystemInfoParamAttr::kTypeUnsigned: {
        if (type != JVariant::kTypeInt32 && type != JVariant::kTypeUInt32) return kBadArgument;
        unsigned int v = value.toUInt32();
        if (v < attr.minimum().toUInt32()) v = attr.minimum().toUInt32();
        if (v > attr.maximum().toUInt32()) v = attr.maximum().toUInt32();
        node.values[index] = JVariant(v);
        break;
    }
    case SystemInfoParamAttr::kTypeText:
        if (type != JVariant::kTypeString) return kBadArgument;
        node.values[index] = JVariant(value.toString(), attr.maximum().toUInt32());
        break;
    default:
        return kBadArgument;
    }
    node.dirty[index] = true;  // also when the value stayed the same
    return JLIB::kOk;
}

JLIB::JResult SystemInfo::setParam(const char* name, uint32_t index, const JVariant& value)
{
    JLIB_RETURN_IF_FAILED(precheck(name));
    TMSMutexAutoReleaser hold(m_pLock);
    if (!m_valid) return kNotValid;
    SystemInfoNode* node = find(name);
    if (!node || index >= node->attr.num()) return kUnknownName;
    return write(*node, index, value);
}

JLIB::JResult SystemInfo::setParam(const char* name, uint32_t index, const char* text)
{
    return setParam(name, index, JVariant(text, kMaxTextLength));
}

JLIB::JResult SystemInfo::setParamArray(const char* name, uint32_t first, const JVariant* values, uint32_t count)
{
    if (!values) return m_valid ? kBadArgument : kNotValid;
    JLIB_RETURN_IF_FAILED(precheck(name));
    TMSMutexAutoReleaser hold(m_pLock);
    if (!m_valid) return kNotValid;
    SystemInfoNode* node = find(name);
    if (!node) return kUnknownName;
    JLIB::JResult result = kUnknownName;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t index = uint64_t{first} + i;
        if (index >= node->attr.num()) continue;
        result = write(*node, static_cast<uint32_t>(index), values[i]);
    }
    return result;
}

JLIB::JResult SystemInfo::setParamArray(const char* name, uint32_t first, const JVariantArray& values)
{
    JLIB_RETURN_IF_FAILED(precheck(name));
    TMSMutexAutoReleaser hold(m_pLock);
    if (!m_valid) return kNotValid;
    SystemInfoNode* node = find(name);
    if (!node) return kUnknownName;
    JLIB::JResult result = kUnknownName;
    for (uint32_t i = 0; i < values.getLength(); ++i) {
        const uint64_t index = uint64_t{first} + i;
        if (index >= node->attr.num()) continue;
        JVariant value;
        (void)values.getValue(&value, i);  // an unreadable element stays invalid and is refused
        result = write(*node, static_cast<uint32_t>(index), value);
    }
    return result;
}

JLIB::JResult SystemInfo::output(bool changedOnly) const { return output(changedOnly, currentThreadLogger()); }

JLIB::JResult SystemInfo::output(bool changedOnly, ThreadLogger* log) const
{
    if (!m_valid) return kNotValid;
    if (!hasLock()) return kNoLock;
    TMSMutexAutoReleaser hold(m_pLock);
    char line[kLineSize];
    for (const auto& entry : m_params) {
        const SystemInfoNode& node = entry.second;
        const uint32_t count = node.attr.num();
        if (changedOnly) {
            bool any = false;
            for (uint32_t i = 0; i < count && !any; ++i) any = node.dirty[i];
            if (!any) continue;
        }
        uint32_t headLength = 0;
        (void)jlib_snprintf(line, kLineSize, &headLength, "    [%s] =", entry.first);  // cut when long
        uint32_t length = headLength;
        bool pending = true;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t written = 0;
            const JVariant& v = node.values[i];
            switch (node.attr.type()) {
            case SystemInfoParamAttr::kTypeSigned:
                (void)jlib_snprintf(line + length, kLineSize - length, &written, " %d", v.toInt32());
                break;
            case SystemInfoParamAttr::kTypeUnsigned:
                (void)jlib_snprintf(line + length, kLineSize - length, &written, " %u", v.toUInt32());
                break;
            default: {
                const char* text = v.toString();
                (void)jlib_snprintf(line + length, kLineSize - length, &written, " \"%s\"", text ? text : "");
                break;
            }
            }
            length += written;
            if (node.dirty[i]) {
                (void)jlib_snprintf(line + length, kLineSize - length, &written, "*");
                length += written;
            }
            pending = true;
            if (kLineSize - length < kLineBreakRoom) {
                if (length > kLineSize - 2) length = kLineSize - 2;  // room for the line end
                line[length++] = '\n';
                line[length] = '\0';
                if (log) (void)log->add("%s", line);  // a missing ring loses the line
                length = headLength < kLineSize - kLineBreakRoom ? headLength : 0;
                for (uint32_t k = 0; k < length; ++k) line[k] = ' ';
                line[length] = '\0';
                pending = false;
            }
        }
        if (pending) {
            if (length > kLineSize - 2) length = kLineSize - 2;
            line[length++] = '\n';
            line[length] = '\0';
            if (log) (void)log->add("%s", line);
        }
    }
    return JLIB::kOk;
}

}  // namespace TMS
