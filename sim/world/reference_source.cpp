#include "reference_source.h"

#include <yaml-cpp/yaml.h>

#include <cmath>

#include "bench.h"
#include "yaml_file.h"

namespace qm7x::sim {
namespace {

// The reference source is a few lines; anything much larger is not one.
constexpr std::uintmax_t kMaxReferenceFileBytes = 1 << 20;

std::array<double, kChannels> Triple(const YAML::Node& node, const std::string& file) {
    if (!node.IsSequence() || node.size() != kChannels) {
        throw BenchError(file + ", строка " + std::to_string(node.Mark().line + 1) +
                         ": ожидается список из трёх напряжений (каналы 1, 2, 3)");
    }
    std::array<double, kChannels> volts{};
    for (std::size_t i = 0; i < volts.size(); ++i) {
        if (!YAML::convert<double>::decode(node[i], volts[i]) || !std::isfinite(volts[i])) {
            throw BenchError(file + ", строка " + std::to_string(node[i].Mark().line + 1) +
                             ": ожидается число");
        }
    }
    return volts;
}

}  // namespace

std::array<double, kChannels> ReadReference(const std::filesystem::path& file,
                                            const std::string& serial) {
    // Only a file that is not there is absent; one that cannot be looked at is an error.
    std::error_code error;
    if (std::filesystem::status(file, error).type() == std::filesystem::file_type::not_found) {
        return {};
    }
    // Named as the bench file is named in a driver text: by its name, which leaves room for the
    // cause.
    const std::string name = file.filename().string();
    std::string text;
    try {
        text = ReadTextFile(file, kMaxReferenceFileBytes);
    } catch (const YamlFileError& problem) {
        throw BenchError(Located(name, problem.line(), problem.what()));
    }
    return ParseReference(text, name, serial);
}

std::array<double, kChannels> ParseReference(const std::string& text, const std::string& name,
                                             const std::string& serial) {
    // A file caught while another process rewrites it in place is empty or cut short: taken for
    // 0 V, it would fail every point without a word.
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        throw BenchError(name + ": файл пуст, напряжения источника не заданы");
    }
    if (text.back() != '\n') {
        throw BenchError(name + ": последняя строка не завершена, файл записан не полностью");
    }
    try {
        const YAML::Node root = ParseYamlDocument(text);
        if (!root.IsMap()) {
            if (root.IsNull()) {
                throw BenchError(name + ": в файле нет напряжений источника, только комментарии");
            }
            throw BenchError(name + ": ожидается набор ключей channels_v и modules");
        }
        // A misspelt key would silently mean 0 V at every input.
        for (const auto& entry : root) {
            const auto key = entry.first.as<std::string>();
            if (key != "channels_v" && key != "modules") {
                throw BenchError(
                    Located(name, entry.first.Mark().line + 1, "неизвестный ключ «" + key + "»"));
            }
        }
        if (const auto modules = root["modules"]; modules && !modules.IsMap()) {
            throw BenchError(Located(name, modules.Mark().line + 1,
                                     "modules: ожидается набор серийных номеров"));
        }
        if (const auto modules = root["modules"]; modules && modules[serial]) {
            return Triple(modules[serial], name);
        }
        if (const auto all = root["channels_v"]) {
            return Triple(all, name);
        }
        throw BenchError(name + ": нет напряжений ни для " + serial +
                         " (modules), ни для всех модулей (channels_v)");
    } catch (const YamlFileError& problem) {
        throw BenchError(Located(name, problem.line(), problem.what()));
    } catch (const YAML::Exception& problem) {
        throw BenchError(name + ": " + problem.what());
    }
}

}  // namespace qm7x::sim
