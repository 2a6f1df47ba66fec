// The device simulator's layout for the end-to-end tests of this folder: the shipped definitions
// of the device's databases copied into the layout's own folder, and the layout file naming them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace EngineTest {

struct DeviceDatabase {
    uint32_t id;
    const char* name;
    std::vector<std::string> types;  // one component each, numbered from 0
};

// Writes folder/layout.json over the databases, in their order, and copies each type's definition
// from definitions into folder/defs. Answers the layout file's path.
inline std::filesystem::path writeDeviceLayout(const std::filesystem::path& folder, const std::string& definitions,
                                               const std::vector<DeviceDatabase>& rows)
{
    std::filesystem::create_directories(folder / "defs");
    nlohmann::json databases = nlohmann::json::array();
    for (const DeviceDatabase& row : rows) {
        nlohmann::json components = nlohmann::json::array();
        for (size_t i = 0; i < row.types.size(); ++i) {
            const std::string file = row.types[i] + "_1.json";
            std::filesystem::copy_file(definitions + "/" + file, folder / "defs" / file,
                                       std::filesystem::copy_options::overwrite_existing);
            components.push_back({{"uniqId", i}, {"type", row.types[i]}, {"version", 1}, {"numX", 0}, {"numY", 0}});
        }
        databases.push_back({{"id", row.id}, {"name", row.name}, {"components", components}});
    }
    std::ofstream(folder / "layout.json") << nlohmann::json{{"definitions", "defs"}, {"databases", databases}}.dump();
    return folder / "layout.json";
}

}  // namespace EngineTest
