#include "bench.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <set>

#include "bench_reader.h"
#include "status.h"
#include "yaml_file.h"

namespace qm7x::sim {
namespace {

namespace fs = std::filesystem;

std::uint16_t InterfaceByName(const Reader& reader, const YAML::Node& node) {
    const auto name = reader.text(node, "interface");
    static const std::vector<std::pair<std::string, std::uint16_t>> kNames{
        {"gpib", VI_INTF_GPIB}, {"vxi", VI_INTF_VXI}, {"gpib-vxi", VI_INTF_GPIB_VXI},
        {"asrl", VI_INTF_ASRL}, {"pxi", VI_INTF_PXI}, {"tcpip", VI_INTF_TCPIP},
        {"usb", VI_INTF_USB}};
    for (const auto& [known, type] : kNames) {
        if (known == name) {
            return type;
        }
    }
    reader.fail(node, "interface: неизвестный интерфейс «" + name +
                          "» (gpib, vxi, gpib-vxi, asrl, pxi, tcpip, usb)");
}

CoeffRecord ReadFactoryRecord(const Reader& reader, const YAML::Node& node) {
    if (node.IsScalar()) {
        const auto kind = node.as<std::string>();
        if (kind == "blank") {
            return BlankRecord();
        }
        if (kind == "default") {
            return DefaultRecord();
        }
        reader.fail(node, "factory: ожидается blank, default или набор коэффициентов");
    }
    reader.onlyKeys(node,
                    {"tag", "range_v", "gain_pos_v_per_code", "gain_neg_v_per_code", "test_u_v"},
                    "factory");
    CoeffRecord record = DefaultRecord();
    if (node["tag"]) {
        const auto tag = reader.text(node["tag"], "tag");
        if (tag.size() != 4) {
            reader.fail(node["tag"], "tag: ожидается ровно 4 символа");
        }
        record.setTag(tag);
    }
    const auto apply = [&](const char* key, auto setter) {
        if (node[key]) {
            const auto values = reader.triple(node[key], key);
            for (int channel = 1; channel <= kChannels; ++channel) {
                setter(channel, values[static_cast<std::size_t>(channel - 1)]);
            }
        }
    };
    apply("range_v", [&](int c, double v) { record.setRange(c, v); });
    apply("gain_pos_v_per_code", [&](int c, double v) { record.setGain(c, false, v); });
    apply("gain_neg_v_per_code", [&](int c, double v) { record.setGain(c, true, v); });
    apply("test_u_v", [&](int c, double v) { record.setTestU(c, v); });
    return record;
}

ChannelPhysics ReadChannel(const Reader& reader, const YAML::Node& node) {
    reader.onlyKeys(
        node, {"range_v", "gain_pos_v_per_code", "gain_neg_v_per_code", "offset_v", "noise_v"},
        "channels");
    ChannelPhysics channel;
    if (node["range_v"]) {
        channel.rangeV = reader.number(node["range_v"], "range_v");
        if (channel.rangeV <= 0.0) {
            reader.fail(node["range_v"], "range_v: диапазон должен быть больше нуля");
        }
    }
    channel.gainPosVPerCode = channel.rangeV / kFullScaleCodes;
    channel.gainNegVPerCode = channel.gainPosVPerCode;
    for (const auto& [key, target] : {std::pair{"gain_pos_v_per_code", &channel.gainPosVPerCode},
                                      std::pair{"gain_neg_v_per_code", &channel.gainNegVPerCode}}) {
        if (node[key]) {
            *target = reader.number(node[key], key);
            if (*target <= 0.0) {
                reader.fail(node[key], std::string(key) + ": усиление должно быть больше нуля");
            }
        }
    }
    if (node["offset_v"]) {
        channel.offsetV = reader.number(node["offset_v"], "offset_v");
    }
    if (node["noise_v"]) {
        channel.noiseV = reader.number(node["noise_v"], "noise_v");
        if (channel.noiseV < 0.0) {
            reader.fail(node["noise_v"], "noise_v: шум не может быть отрицательным");
        }
    }
    return channel;
}

Qm7xSpec ReadQm7x(const Reader& reader, const YAML::Node& node, const fs::path& stateDir) {
    reader.onlyKeys(node, {"serial", "revision", "acquisition", "self_test", "eeprom", "channels"},
                    "qm7x");
    Qm7xSpec spec;
    if (!node["serial"]) {
        reader.fail(node, "qm7x: не указан serial");
    }
    spec.serial = reader.text(node["serial"], "serial");
    // The serial number names the EEPROM image file: letters, digits, '-', '_' and '.' only.
    const bool plain = !spec.serial.empty() && spec.serial.front() != '.' &&
                       std::all_of(spec.serial.begin(), spec.serial.end(), [](unsigned char c) {
                           return std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.';
                       });
    if (!plain) {
        reader.fail(node["serial"], "serial: «" + spec.serial +
                                        "»: допустимы латинские буквы, цифры, '-', '_' и '.'");
    }
    spec.revision =
        node["revision"] ? reader.text(node["revision"], "revision") : "QM7X " + spec.serial;
    if (node["acquisition"]) {
        const auto mode = reader.text(node["acquisition"], "acquisition");
        if (mode == "realtime") {
            spec.mode = AcquisitionMode::realtime;
        } else if (mode == "instant") {
            spec.mode = AcquisitionMode::instant;
        } else if (mode == "never") {
            spec.mode = AcquisitionMode::never;
        } else {
            reader.fail(node["acquisition"],
                        "acquisition: ожидается realtime, instant или never, а не «" + mode + "»");
        }
    }
    spec.selfTest.message = "Самоконтроль пройден";
    if (const auto test = node["self_test"]) {
        reader.onlyKeys(test, {"result", "message", "duration_s"}, "self_test");
        if (test["result"]) {
            spec.selfTest.result =
                static_cast<std::int16_t>(reader.integer(test["result"], "result", -32768, 32767));
        }
        spec.selfTest.message =
            test["message"] ? reader.text(test["message"], "message")
            : spec.selfTest.result == 0
                ? spec.selfTest.message
                : "Самоконтроль не пройден, код " + std::to_string(spec.selfTest.result);
        if (test["duration_s"]) {
            spec.selfTest.durationS = reader.number(test["duration_s"], "duration_s");
            if (spec.selfTest.durationS < 0.0 || spec.selfTest.durationS > 60.0) {
                reader.fail(test["duration_s"], "duration_s: ожидается 0..60 с");
            }
        }
    }
    spec.eepromImage = stateDir / (spec.serial + ".eeprom.yaml");
    if (const auto eeprom = node["eeprom"]) {
        reader.onlyKeys(eeprom, {"image", "factory"}, "eeprom");
        if (eeprom["image"]) {
            const fs::path image(reader.text(eeprom["image"], "image"));
            spec.eepromImage = image.is_absolute() ? image : stateDir / image;
        }
        if (eeprom["factory"]) {
            spec.factoryRecord = ReadFactoryRecord(reader, eeprom["factory"]);
        }
    }
    if (const auto channels = node["channels"]) {
        if (!channels.IsSequence() || channels.size() != kChannels) {
            reader.fail(channels, "channels: ожидается список из трёх каналов");
        }
        for (std::size_t i = 0; i < spec.channels.size(); ++i) {
            spec.channels[i] = ReadChannel(reader, channels[i]);
        }
    }
    return spec;
}

CarrierSpec ReadCarrier(const Reader& reader, const YAML::Node& node, const fs::path& stateDir) {
    reader.onlyKeys(node, {"description", "memory_bytes", "positions"}, "carrier");
    CarrierSpec carrier;
    carrier.description =
        node["description"] ? reader.text(node["description"], "description") : "TRHOLDR";
    if (node["memory_bytes"]) {
        carrier.memoryBytes = static_cast<std::uint32_t>(
            reader.integer(node["memory_bytes"], "memory_bytes", 64, 0xFFFFFFFFLL));
    }
    if (const auto positions = node["positions"]) {
        if (!positions.IsSequence() || positions.size() != carrier.positions.size()) {
            reader.fail(positions, "positions: ожидается список из четырёх позиций");
        }
        for (std::size_t i = 0; i < carrier.positions.size(); ++i) {
            const auto entry = positions[i];
            reader.onlyKeys(entry, {"present", "type_code", "qm7x"}, "positions");
            auto& position = carrier.positions[i];
            if (entry["qm7x"]) {
                position.qm7x = ReadQm7x(reader, entry["qm7x"], stateDir);
                position.present = true;
                position.typeCode = 31;
            }
            if (entry["present"]) {
                position.present = reader.flag(entry["present"], "present");
            }
            if (entry["type_code"]) {
                position.typeCode = static_cast<std::int16_t>(
                    reader.integer(entry["type_code"], "type_code", -32768, 32767));
            }
            if (position.qm7x && (!position.present || position.typeCode != 31)) {
                reader.fail(entry, "positions: QM7X должен быть present: true с type_code: 31");
            }
        }
    }
    return carrier;
}

ResourceSpec ReadResource(const Reader& reader, const YAML::Node& node, const fs::path& stateDir) {
    reader.onlyKeys(
        node,
        {"name", "interface", "manufacturer_id", "model_code", "slot", "mainframe_la",
         "logical_address", "address", "idn", "locked_elsewhere", "carrier", "calibrator"},
        "resources");
    ResourceSpec resource;
    if (!node["name"] || !node["interface"]) {
        reader.fail(node, "resources: у ресурса должны быть name и interface");
    }
    resource.name = reader.text(node["name"], "name");
    if (resource.name.find("::") == std::string::npos) {
        reader.fail(node["name"], "name: «" + resource.name + "» не имя ресурса VISA");
    }
    resource.interfaceType = InterfaceByName(reader, node["interface"]);
    const auto word = [&](const char* key, std::optional<std::uint16_t>& target) {
        if (node[key]) {
            target = static_cast<std::uint16_t>(reader.integer(node[key], key, 0, 0xFFFF));
        }
    };
    word("manufacturer_id", resource.manufacturerId);
    word("model_code", resource.modelCode);
    word("slot", resource.slot);
    word("mainframe_la", resource.mainframeLa);
    word("logical_address", resource.logicalAddress);
    if (node["address"]) {
        resource.tcpipAddress = reader.text(node["address"], "address");
    }
    if (node["idn"] && !node["idn"].IsNull()) {
        resource.idn = reader.text(node["idn"], "idn");
        if (resource.idn->size() > 255) {
            reader.fail(node["idn"], "idn: ответ длиннее 255 символов");
        }
    }
    if (node["locked_elsewhere"]) {
        resource.lockedElsewhere = reader.flag(node["locked_elsewhere"], "locked_elsewhere");
    }
    if (node["carrier"]) {
        resource.carrier = ReadCarrier(reader, node["carrier"], stateDir);
    }
    if (node["calibrator"]) {
        resource.calibrator = ReadCalibrator(reader, node["calibrator"]);
    }
    return resource;
}

FaultSpec ReadFault(const Reader& reader, const YAML::Node& node) {
    reader.onlyKeys(node, {"operation", "status", "call"}, "faults");
    if (!node["operation"] || !node["status"]) {
        reader.fail(node, "faults: нужны operation и status");
    }
    FaultSpec fault;
    fault.operation = reader.text(node["operation"], "operation");
    static const std::set<std::string, std::less<>> kOperations{"trholdr_init",
                                                                "trholdr_close",
                                                                "trholdr_m_type_q",
                                                                "trholdr_m_get_attribute",
                                                                "trholdr_mem_q",
                                                                "trholdr_m_read_block",
                                                                "trqm7x_init",
                                                                "trqm7x_connect",
                                                                "trqm7x_alloc",
                                                                "trqm7x_get_attribute",
                                                                "trqm7x_config_events",
                                                                "trqm7x_close",
                                                                "trqm7x_self_test",
                                                                "trqm7x_readFlash",
                                                                "trqm7x_writeFlash",
                                                                "trqm7x_resetCoeff",
                                                                "trqm7x_reset",
                                                                "trqm7x_displacement",
                                                                "trqm7x_range_q",
                                                                "trqm7x_mode_block",
                                                                "trqm7x_sample_period",
                                                                "trqm7x_config_chans",
                                                                "trqm7x_input_trigger",
                                                                "trqm7x_start",
                                                                "trqm7x_stop",
                                                                "trqm7x_state",
                                                                "trqm7x_read_block",
                                                                "trqm7x_extcalibr",
                                                                "viOpenDefaultRM",
                                                                "viFindRsrc",
                                                                "viFindNext",
                                                                "viOpen",
                                                                "viClose",
                                                                "viGetAttribute",
                                                                "viLock",
                                                                "viUnlock",
                                                                "viClear",
                                                                "viQueryf",
                                                                "viWrite"};
    if (kOperations.count(fault.operation) == 0) {
        reader.fail(node["operation"], "operation: неизвестная операция «" + fault.operation + "»");
    }
    const auto statusText = reader.text(node["status"], "status");
    if (const auto named = StatusByName(statusText)) {
        fault.status = *named;
    } else {
        const auto value = reader.integer(node["status"], "status", -0x80000000LL, 0xFFFFFFFFLL);
        fault.status = static_cast<ViStatus>(static_cast<std::uint32_t>(value));
    }
    if (node["call"]) {
        fault.call = static_cast<std::uint64_t>(reader.integer(node["call"], "call", 1, 1LL << 40));
    }
    return fault;
}

void CheckUnique(const Reader& reader, const YAML::Node& root, const Bench& bench) {
    std::set<std::string> names, serials, images;
    for (std::size_t i = 0; i < bench.resources.size(); ++i) {
        const auto& resource = bench.resources[i];
        std::string upper = resource.name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (!names.insert(upper).second) {
            reader.fail(root["resources"][i], "resources: ресурс " + resource.name + " повторён");
        }
        if (!resource.carrier) {
            continue;
        }
        for (const auto& position : resource.carrier->positions) {
            if (position.qm7x && (!serials.insert(position.qm7x->serial).second ||
                                  !images.insert(position.qm7x->eepromImage.string()).second)) {
                reader.fail(root["resources"][i], "qm7x: серийный номер " + position.qm7x->serial +
                                                      " или файл EEPROM повторён");
            }
        }
    }
}

}  // namespace

Bench LoadBench(const fs::path& file, const std::optional<fs::path>& stateDirOverride) {
    const fs::path absolute = fs::absolute(file);
    std::string text;
    try {
        text = ReadTextFile(absolute, kMaxBenchFileBytes);
    } catch (const YamlFileError& error) {
        throw BenchError(Located(absolute.string(), error.line(), error.what()));
    }
    return ParseBench(text, absolute, stateDirOverride);
}

Bench ParseBench(const std::string& text, const fs::path& absolute,
                 const std::optional<fs::path>& stateDirOverride) {
    const Reader reader(absolute);
    YAML::Node root;
    try {
        root = ParseYamlDocument(text);
    } catch (const YamlFileError& error) {
        throw BenchError(Located(absolute.string(), error.line(), error.what()));
    }
    try {
        reader.onlyKeys(root, {"seed", "state_dir", "reference_file", "resources", "faults"},
                        "файл стенда");
        Bench bench;
        bench.file = absolute;
        if (root["seed"]) {
            bench.seed = static_cast<std::uint64_t>(
                reader.integer(root["seed"], "seed", 0, std::numeric_limits<std::int64_t>::max()));
        }
        bench.stateDir = stateDirOverride ? *stateDirOverride
                         : root["state_dir"]
                             ? reader.relative(reader.text(root["state_dir"], "state_dir"))
                             : absolute.parent_path() / "state";
        bench.referenceFile =
            root["reference_file"]
                ? reader.relative(reader.text(root["reference_file"], "reference_file"))
                : fs::path(absolute).replace_extension(".reference.yaml");
        if (const auto resources = root["resources"]) {
            if (!resources.IsSequence()) {
                reader.fail(resources, "resources: ожидается список ресурсов");
            }
            if (resources.size() > kMaxBenchResources) {
                reader.fail(resources, "resources: больше " + std::to_string(kMaxBenchResources) +
                                           " ресурсов");
            }
            for (const auto& node : resources) {
                bench.resources.push_back(ReadResource(reader, node, bench.stateDir));
            }
        }
        if (const auto faults = root["faults"]) {
            if (!faults.IsSequence()) {
                reader.fail(faults, "faults: ожидается список отказов");
            }
            if (faults.size() > kMaxBenchFaults) {
                reader.fail(faults,
                            "faults: больше " + std::to_string(kMaxBenchFaults) + " отказов");
            }
            for (const auto& node : faults) {
                if (node.IsMap() && node["calibrator"]) {
                    bench.calibratorFaults.push_back(ReadCalibratorFault(reader, node));
                } else {
                    bench.faults.push_back(ReadFault(reader, node));
                }
            }
        }
        CheckUnique(reader, root, bench);
        CheckCalibrators(reader, root, bench);
        return bench;
    } catch (const YAML::Exception& error) {
        throw BenchError(absolute.string() + ", строка " + std::to_string(error.mark.line + 1) +
                         ": " + error.msg);
    }
}

}  // namespace qm7x::sim
