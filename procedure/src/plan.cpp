#include "qm7x/procedure/plan.h"

#include <yaml-cpp/yaml.h>

#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string_view>
#include <system_error>

namespace qm7x::procedure {
namespace {

constexpr int kChannels = 3;
constexpr int kPassbands = 2;  // the ring "Полоса пропускания"
constexpr double kMinPeriodS = 4e-7;
constexpr double kMaxPeriodS = 65535 * 4e-7;

class PlanReader {
  public:
    explicit PlanReader(std::string name) : name_(std::move(name)) {}

    [[noreturn]] void fail(const YAML::Node& node, const std::string& problem) const {
        const int line = node.Mark().line;
        throw PlanError(line >= 0 ? name_ + ", строка " + std::to_string(line + 1) + ": " + problem
                                  : name_ + ": " + problem);
    }

    void onlyKeys(const YAML::Node& map, std::initializer_list<std::string_view> allowed,
                  const std::string& where) const {
        if (!map.IsMap()) {
            fail(map, where + ": ожидается набор ключей");
        }
        for (const auto& entry : map) {
            const auto key = entry.first.as<std::string>();
            bool known = false;
            for (const auto name : allowed) {
                known = known || name == key;
            }
            if (!known) {
                fail(entry.first, where + ": неизвестный ключ «" + key + "»");
            }
        }
    }

    double number(const YAML::Node& node, const std::string& what) const {
        double value = 0.0;
        if (!node.IsScalar() || !YAML::convert<double>::decode(node, value) ||
            !std::isfinite(value)) {
            fail(node, what + ": ожидается число");
        }
        return value;
    }

    int integer(const YAML::Node& node, const std::string& what, int low, int high) const {
        long long value = 0;
        if (!node.IsScalar() || !YAML::convert<long long>::decode(node, value) || value < low ||
            value > high) {
            fail(node, what + ": ожидается целое число " + std::to_string(low) + ".." +
                           std::to_string(high));
        }
        return static_cast<int>(value);
    }

    // The keys a plan and a point share.
    void conditions(const YAML::Node& node, std::optional<double>& period,
                    std::optional<int>& passband, std::optional<Temperature>& temperature) const {
        if (node["period_s"]) {
            period = number(node["period_s"], "period_s");
            if (*period < kMinPeriodS || *period > kMaxPeriodS) {
                fail(node["period_s"], "period_s: ожидается 4e-7..0.026214 с");
            }
        }
        if (node["passband"]) {
            passband = integer(node["passband"], "passband", 0, kPassbands - 1);
        }
        if (node["temperature"]) {
            temperature =
                TemperatureFromDegrees(integer(node["temperature"], "temperature", -60, 100));
        }
    }

  private:
    std::string name_;
};

}  // namespace

Temperature TemperatureFromDegrees(int degrees) {
    switch (degrees) {
        case 20:
            return {Temperature::Kind::normal, 20};
        case 5:
            return {Temperature::Kind::at5, 5};
        case 40:
            return {Temperature::Kind::at40, 40};
        default:
            return {Temperature::Kind::given, degrees};
    }
}

Plan ParsePlan(const std::string& text, const std::string& name) {
    const PlanReader reader(name);
    YAML::Node root;
    try {
        root = YAML::Load(text);
    } catch (const YAML::Exception& error) {
        throw PlanError(name + ", строка " + std::to_string(error.mark.line + 1) + ": " +
                        error.msg);
    }
    reader.onlyKeys(root, {"name", "zero_offset", "period_s", "passband", "temperature", "points"},
                    "план");
    Plan plan;
    if (root["name"]) {
        if (!root["name"].IsScalar()) {
            reader.fail(root["name"], "name: ожидается текст");
        }
        plan.name = root["name"].as<std::string>();
    }
    if (root["zero_offset"] && !YAML::convert<bool>::decode(root["zero_offset"], plan.zeroOffset)) {
        reader.fail(root["zero_offset"], "zero_offset: ожидается true или false");
    }
    std::optional<double> period;
    std::optional<int> passband;
    std::optional<Temperature> temperature;
    reader.conditions(root, period, passband, temperature);
    const auto points = root["points"];
    if (!points || !points.IsSequence() || points.size() == 0) {
        reader.fail(points ? points : root, "points: ожидается непустой список точек");
    }
    if (points.size() > kMaxPlanPoints) {
        reader.fail(points, "points: больше " + std::to_string(kMaxPlanPoints) + " точек");
    }
    for (const auto& node : points) {
        reader.onlyKeys(
            node, {"channel", "volts", "percent", "period_s", "passband", "temperature"}, "points");
        PlanPoint point;
        if (!node["channel"]) {
            reader.fail(node, "points: не указан channel");
        }
        point.channel = reader.integer(node["channel"], "channel", 1, kChannels);
        if (static_cast<bool>(node["volts"]) == static_cast<bool>(node["percent"])) {
            reader.fail(node, "points: нужно одно из volts и percent");
        }
        if (node["volts"]) {
            point.volts = reader.number(node["volts"], "volts");
        } else {
            point.percent = reader.number(node["percent"], "percent");
            if (std::fabs(*point.percent) > 100.0) {
                reader.fail(node["percent"], "percent: ожидается -100..100 % диапазона");
            }
        }
        point.periodS = period;
        point.passband = passband;
        point.temperature = temperature;
        reader.conditions(node, point.periodS, point.passband, point.temperature);
        plan.points.push_back(point);
    }
    return plan;
}

Plan LoadPlan(const std::filesystem::path& file) {
    const std::string name = file.string();
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::is_regular_file(status)) {
        throw PlanError(name + ": " + (error ? error.message() : std::string("не обычный файл")));
    }
    if (std::filesystem::file_size(file, error) > kMaxPlanBytes || error) {
        throw PlanError(name + ": " + (error ? error.message() : std::string("больше 1 МиБ")));
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in.good() && !in.eof()) {
        throw PlanError(name + ": не удалось прочитать файл");
    }
    return ParsePlan(text.str(), name);
}

}  // namespace qm7x::procedure
