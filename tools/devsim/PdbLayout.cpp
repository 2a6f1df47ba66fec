#include "PdbLayout.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_UniqId.h"

namespace devsim {

namespace {

bool readFile(const std::filesystem::path& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return true;
}

// A folder named by the layout stays inside the layout's own folder.
bool isPlainRelative(const std::string& name)
{
    if (name.empty() || name.find('\\') != std::string::npos) return false;
    const std::filesystem::path p(name);
    if (p.is_absolute()) return false;
    for (const auto& part : p) {
        if (part == "..") return false;
    }
    return true;
}

}  // namespace

PdbLayout::~PdbLayout()
{
    release();
}

void PdbLayout::release()
{
    for (auto& e : m_entries) (void)PDB::gPDBCollection.removePDB(e->id);
    m_entries.clear();
}

JLIB::JResult PdbLayout::load(const std::string& path, std::string& error)
{
    release();
    std::string text;
    if (!readFile(path, text)) {
        error = "cannot read " + path;
        return JLIB::kFailed;
    }
    const nlohmann::json layout = nlohmann::json::parse(text, nullptr, false);
    if (layout.is_discarded() || !layout.is_object()) {
        error = "not a JSON object: " + path;
        return JLIB::kFailed;
    }
    const std::filesystem::path base = std::filesystem::path(path).parent_path();
    const nlohmann::json& definitions = PDB::getJsonObject(layout, "definitions");
    if (definitions.is_string()) {
        const std::string folder = definitions.get<std::string>();
        if (!isPlainRelative(folder)) {
            error = "definitions folder outside the layout's folder: " + folder;
            return JLIB::kFailed;
        }
        std::error_code ec;
        for (const auto& file : std::filesystem::directory_iterator(base / folder, ec)) {
            if (file.path().extension() != ".json") continue;
            std::string definition;
            if (!readFile(file.path(), definition)) continue;
            const PDB::ComponentInfo info = PDB::parseComponentInfoJSON(definition.c_str());
            (void)PDB::getComponentInfoRepository().addComponentInfo(info);  // known already: kept
        }
        if (ec) {
            error = "cannot list " + (base / folder).string();
            return JLIB::kFailed;
        }
    }
    const nlohmann::json& databases = PDB::getJsonObject(layout, "databases");
    if (!databases.is_array()) {
        error = "no databases";
        return JLIB::kFailed;
    }
    for (const nlohmann::json& d : databases) {
        uint32_t id = 0;
        std::string name;
        if (JLIB::isFailure(PDB::getJsonValue(d, "id", id, 0)) || JLIB::isFailure(PDB::getJsonValue(d, "name", name, "")) ||
            id >= PDB::ParameterDBCollection::kMaxSlots || PDB::gPDBCollection.getPDB(id).isValid()) {
            error = "database without a free id or a name";
            release();
            return JLIB::kFailed;
        }
        auto entry = std::make_unique<Entry>();
        entry->id = id;
        if (JLIB::isFailure(entry->db.initialize(id, name.c_str(), &entry->lock))) {
            error = "database name refused: " + name;
            release();
            return JLIB::kFailed;
        }
        const nlohmann::json& components = PDB::getJsonObject(d, "components");
        if (components.is_array()) {
            for (const nlohmann::json& c : components) {
                uint32_t uniq = 0, version = 0, numX = 1, numY = 1;
                std::string type;
                (void)PDB::getJsonValue(c, "uniqId", uniq, 0);
                (void)PDB::getJsonValue(c, "type", type, "");
                (void)PDB::getJsonValue(c, "version", version, 1);
                (void)PDB::getJsonValue(c, "numX", numX, 1);
                (void)PDB::getJsonValue(c, "numY", numY, 1);
                if (JLIB::isFailure(entry->db.addComponent(PDB::UniqId(uniq), type.c_str(), version, numX, numY, 0))) {
                    error = "component " + std::to_string(uniq) + " of type " + type + " refused";
                    release();
                    return JLIB::kFailed;
                }
            }
        }
        if (JLIB::isFailure(PDB::gPDBCollection.addPDB(entry->db))) {
            error = "database not registered: " + name;
            release();
            return JLIB::kFailed;
        }
        m_entries.push_back(std::move(entry));
    }
    return JLIB::kOk;
}

PDB::ParameterDB* PdbLayout::database(uint32_t id)
{
    for (auto& e : m_entries) {
        if (e->id == id) return &e->db;
    }
    return nullptr;
}

std::vector<uint32_t> PdbLayout::ids() const
{
    std::vector<uint32_t> out;
    for (const auto& e : m_entries) out.push_back(e->id);
    return out;
}

bool parseValue(const PDB::IParameterDB& db, uint32_t ci, uint32_t ai, const std::string& text, JVariant& value)
{
    const JVariant& def = db.paramInfo(ci, ai).def;
    char* end = nullptr;
    switch (def.getType()) {
    case JVariant::kTypeString:
        value = JVariant(text.c_str(), static_cast<unsigned>(text.size() + 1));
        return true;
    case JVariant::kTypeFloat: {
        const float f = std::strtof(text.c_str(), &end);
        value = f;
        break;
    }
    case JVariant::kTypeInt32: {
        const long v = std::strtol(text.c_str(), &end, 0);
        value = static_cast<int>(v);
        break;
    }
    case JVariant::kTypeUInt32: {
        const unsigned long v = std::strtoul(text.c_str(), &end, 0);
        value = static_cast<unsigned int>(v);
        break;
    }
    default:
        return false;
    }
    return end && end != text.c_str() && *end == '\0';
}

std::string toHex(const uint8_t* bytes, uint32_t count)
{
    std::string out;
    char two[3];
    for (uint32_t i = 0; i < count; ++i) {
        std::snprintf(two, sizeof(two), "%02x", bytes[i]);
        out += two;
    }
    return out;
}

std::string formatValue(const JVariant& value)
{
    switch (value.getType()) {
    case JVariant::kTypeInt32: return std::to_string(value.toInt32());
    case JVariant::kTypeUInt32: return std::to_string(value.toUInt32());
    case JVariant::kTypeFloat: {
        char text[32];
        std::snprintf(text, sizeof(text), "%g", static_cast<double>(value.toFloat()));
        return text;
    }
    case JVariant::kTypeString: return value.toString() ? value.toString() : "";
    case JVariant::kTypeBinary: return toHex(value.toBinary(), value.getBinaryLength());
    default: return "";
    }
}

}  // namespace devsim
