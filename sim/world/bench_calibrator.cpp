// The calibrator part of a bench file: its accuracy per range, settling, noise and wiring, and
// the faults of its commands.
#include <set>

#include "bench_reader.h"

namespace qm7x::sim {
namespace {

std::vector<int> IntegerList(const Reader& reader, const YAML::Node& node, const std::string& what,
                             int low, int high) {
    if (!node.IsSequence()) {
        reader.fail(node, what + ": ожидается список");
    }
    std::vector<int> values;
    for (const auto& item : node) {
        values.push_back(static_cast<int>(reader.integer(item, what, low, high)));
    }
    return values;
}

}  // namespace

CalibratorSpec ReadCalibrator(const Reader& reader, const YAML::Node& node) {
    reader.onlyKeys(node, {"ranges", "settle_s", "noise_v", "wiring"}, "calibrator");
    CalibratorSpec spec;
    const auto ranges = node["ranges"];
    if (!ranges || !ranges.IsSequence() || ranges.size() == 0) {
        reader.fail(ranges ? ranges : node, "calibrator: ожидается список диапазонов ranges");
    }
    for (const auto& entry : ranges) {
        reader.onlyKeys(entry, {"range_v", "ppm", "floor_v"}, "ranges");
        if (!entry["range_v"]) {
            reader.fail(entry, "ranges: не указан range_v");
        }
        CalibratorRange range;
        range.rangeV = reader.number(entry["range_v"], "range_v");
        range.ppm = entry["ppm"] ? reader.number(entry["ppm"], "ppm") : 0.0;
        range.floorV = entry["floor_v"] ? reader.number(entry["floor_v"], "floor_v") : 0.0;
        if (range.rangeV <= 0.0 || range.ppm < 0.0 || range.floorV < 0.0) {
            reader.fail(entry, "ranges: диапазон больше нуля, ppm и floor_v не отрицательны");
        }
        if (!spec.ranges.empty() && range.rangeV <= spec.ranges.back().rangeV) {
            reader.fail(entry, "ranges: диапазоны перечисляются по возрастанию");
        }
        spec.ranges.push_back(range);
    }
    if (node["settle_s"]) {
        spec.settleS = reader.number(node["settle_s"], "settle_s");
        if (spec.settleS < 0.0 || spec.settleS > 10.0) {
            reader.fail(node["settle_s"], "settle_s: ожидается 0..10 с");
        }
    }
    if (node["noise_v"]) {
        spec.noiseV = reader.number(node["noise_v"], "noise_v");
        if (spec.noiseV < 0.0) {
            reader.fail(node["noise_v"], "noise_v: шум не может быть отрицательным");
        }
    }
    if (const auto wiring = node["wiring"]) {
        if (!wiring.IsSequence()) {
            reader.fail(wiring, "wiring: ожидается список подключений");
        }
        for (const auto& entry : wiring) {
            reader.onlyKeys(entry, {"carrier", "positions", "channels"}, "wiring");
            if (!entry["carrier"]) {
                reader.fail(entry, "wiring: не указан carrier");
            }
            CalibratorWire wire;
            wire.carrier = reader.text(entry["carrier"], "carrier");
            if (entry["positions"]) {
                wire.positions = IntegerList(reader, entry["positions"], "positions", 1, 4);
            }
            if (entry["channels"]) {
                wire.channels = IntegerList(reader, entry["channels"], "channels", 1, kChannels);
            }
            spec.wiring.push_back(std::move(wire));
        }
    }
    return spec;
}

CalibratorFault ReadCalibratorFault(const Reader& reader, const YAML::Node& node) {
    reader.onlyKeys(node, {"calibrator", "command", "fault", "error", "call"}, "faults");
    if (!node["command"] || !node["fault"]) {
        reader.fail(node, "faults: калибратору нужны command и fault");
    }
    CalibratorFault fault;
    fault.resource = reader.text(node["calibrator"], "calibrator");
    fault.command = CanonicalCalibratorHeader(reader.text(node["command"], "command"));
    const auto kind = reader.text(node["fault"], "fault");
    if (kind == "no_reply") {
        fault.kind = CalibratorFaultKind::noReply;
    } else if (kind == "error") {
        fault.kind = CalibratorFaultKind::error;
    } else if (kind == "refused") {
        fault.kind = CalibratorFaultKind::refused;
    } else {
        reader.fail(node["fault"],
                    "fault: ожидается no_reply, error или refused, а не «" + kind + "»");
    }
    if (node["error"]) {
        fault.error = reader.text(node["error"], "error");
    }
    if (node["call"]) {
        fault.call = static_cast<std::uint64_t>(reader.integer(node["call"], "call", 1, 1LL << 40));
    }
    return fault;
}

void CheckCalibrators(const Reader& reader, const YAML::Node& root, const Bench& bench) {
    const auto upper = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return text;
    };
    std::set<std::string> carriers;
    for (const auto& resource : bench.resources) {
        if (resource.carrier) {
            carriers.insert(upper(resource.name));
        }
        if (resource.carrier && resource.calibrator) {
            reader.fail(root["resources"], "resources: " + resource.name +
                                               " не может быть и носителем, и калибратором");
        }
    }
    for (std::size_t i = 0; i < bench.resources.size(); ++i) {
        const auto& resource = bench.resources[i];
        if (!resource.calibrator) {
            continue;
        }
        if (!resource.idn) {
            reader.fail(root["resources"][i],
                        "calibrator: " + resource.name + " должен отвечать на *IDN? (idn)");
        }
        for (const auto& wire : resource.calibrator->wiring) {
            if (carriers.count(upper(wire.carrier)) == 0) {
                reader.fail(root["resources"][i],
                            "wiring: " + wire.carrier + " не носитель этого стенда");
            }
        }
    }
    for (std::size_t i = 0; i < bench.calibratorFaults.size(); ++i) {
        const auto& fault = bench.calibratorFaults[i];
        const bool known = std::any_of(
            bench.resources.begin(), bench.resources.end(), [&](const ResourceSpec& resource) {
                return resource.calibrator && upper(resource.name) == upper(fault.resource);
            });
        if (!known) {
            reader.fail(root["faults"],
                        "faults: " + fault.resource + " не калибратор этого стенда");
        }
    }
}

}  // namespace qm7x::sim
