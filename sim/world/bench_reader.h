// Reading of a bench file: every problem a BenchError with the file and the line.
#pragma once

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "bench.h"

namespace qm7x::sim {

// Reads one bench file and turns every problem into a BenchError with file and line.
class Reader {
  public:
    explicit Reader(std::filesystem::path file) : file_(std::move(file)) {}

    [[noreturn]] void fail(const YAML::Node& node, const std::string& problem) const {
        const int line = node.Mark().line;
        if (line >= 0) {
            throw BenchError(file_.string() + ", строка " + std::to_string(line + 1) + ": " +
                             problem);
        }
        throw BenchError(file_.string() + ": " + problem);
    }

    // Rejects keys that mean nothing here, so that a misspelt key is not silently ignored.
    void onlyKeys(const YAML::Node& map, std::initializer_list<std::string_view> allowed,
                  const std::string& where) const {
        if (!map.IsMap()) {
            fail(map, where + ": ожидается набор ключей");
        }
        for (const auto& entry : map) {
            const auto key = entry.first.as<std::string>();
            if (std::find(allowed.begin(), allowed.end(), key) == allowed.end()) {
                fail(entry.first, where + ": неизвестный ключ «" + key + "»");
            }
        }
    }

    std::string text(const YAML::Node& node, const std::string& what) const {
        if (!node.IsScalar()) {
            fail(node, what + ": ожидается текст");
        }
        return node.as<std::string>();
    }

    double number(const YAML::Node& node, const std::string& what) const {
        double value = 0.0;
        if (!node.IsScalar() || !YAML::convert<double>::decode(node, value) ||
            !std::isfinite(value)) {
            fail(node, what + ": ожидается число");
        }
        return value;
    }

    std::int64_t integer(const YAML::Node& node, const std::string& what, std::int64_t low,
                         std::int64_t high) const {
        std::int64_t value = 0;
        if (!node.IsScalar() || !YAML::convert<std::int64_t>::decode(node, value)) {
            fail(node, what + ": ожидается целое число");
        }
        if (value < low || value > high) {
            fail(node, what + ": значение " + std::to_string(value) + " вне пределов " +
                           std::to_string(low) + ".." + std::to_string(high));
        }
        return value;
    }

    bool flag(const YAML::Node& node, const std::string& what) const {
        bool value = false;
        if (!node.IsScalar() || !YAML::convert<bool>::decode(node, value)) {
            fail(node, what + ": ожидается true или false");
        }
        return value;
    }

    std::array<double, kChannels> triple(const YAML::Node& node, const std::string& what) const {
        if (!node.IsSequence() || node.size() != kChannels) {
            fail(node, what + ": ожидается список из трёх чисел (каналы 1, 2, 3)");
        }
        std::array<double, kChannels> values{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = number(node[i], what);
        }
        return values;
    }

    std::filesystem::path relative(const std::string& path) const {
        const std::filesystem::path given(path);
        return given.is_absolute() ? given : file_.parent_path() / given;
    }

    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
};

// The calibrator of a resource, and a fault of a calibrator's command (bench_calibrator.cpp).
CalibratorSpec ReadCalibrator(const Reader& reader, const YAML::Node& node);
CalibratorFault ReadCalibratorFault(const Reader& reader, const YAML::Node& node);
// Every wire reaches a carrier of the bench, every calibrator fault a calibrator.
void CheckCalibrators(const Reader& reader, const YAML::Node& root, const Bench& bench);

}  // namespace qm7x::sim
