#include "qm7x/procedure/dc_calibrator.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "qm7x/visa/visa.h"

namespace qm7x::procedure {
namespace {

constexpr std::size_t kReplyLength = 256;
// Errors read back after one command: more than a queue holds means the queue is broken.
constexpr int kMaxErrorsRead = 20;

// The calibrators this driver speaks to: maker, model and the data sheet's accuracy (one year,
// 23 +/- 5 degrees C).
struct KnownModel {
    const char* maker;
    const char* model;
    std::vector<AccuracyRange> accuracy;
};
const std::vector<KnownModel>& KnownModels() {
    static const std::vector<KnownModel> models{
        {"ARKOMETRIX",
         "DCC-22",
         {{0.22, 10, 0.5e-6}, {2.2, 8, 1.0e-6}, {11, 6, 4.0e-6}, {22, 6, 8.0e-6}}},
    };
    return models;
}

const KnownModel* ModelOf(const std::string& idn) {
    for (const auto& known : KnownModels()) {
        if (idn.rfind(std::string(known.maker) + "," + known.model + ",", 0) == 0) {
            return &known;
        }
    }
    return nullptr;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// A voltage as the calibrator reads it: enough digits to be the same double.
std::string VoltsText(double volts) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", volts);
    return text;
}

}  // namespace

bool IsKnownCalibrator(const std::string& idn) {
    return ModelOf(idn) != nullptr;
}

std::vector<CalibratorFound> FindCalibrators() {
    std::vector<CalibratorFound> found;
    ViSession rm = VI_NULL;
    if (visa::viOpenDefaultRM(&rm) < 0) {
        return found;
    }
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    std::array<ViChar, VI_FIND_BUFLEN> name{};
    std::vector<std::string> names;
    if (visa::viFindRsrc(rm, "(GPIB|TCPIP|USB|ASRL)?*INSTR", &list, &count, name.data()) >= 0) {
        names.emplace_back(name.data());
        while (names.size() < count && visa::viFindNext(list, name.data()) >= 0) {
            names.emplace_back(name.data());
        }
        visa::viClose(list);
    }
    for (const auto& resource : names) {
        ViSession vi = VI_NULL;
        if (visa::viOpen(rm, resource.c_str(), VI_NO_LOCK, 0, &vi) < 0) {
            continue;
        }
        std::array<ViChar, kReplyLength> reply{};
        if (visa::viQueryf(vi, "*IDN?\n", "%t", reply) >= 0) {
            const std::string idn = Trimmed(reply.data());
            if (IsKnownCalibrator(idn)) {
                found.push_back({resource, idn});
            }
        }
        visa::viClose(vi);
    }
    visa::viClose(rm);
    return found;
}

std::string VisaStatusText(ViStatus status) {
    switch (status) {
        case VI_ERROR_TMO:
            return "VI_ERROR_TMO: прибор не ответил за отведённое время";
        case VI_ERROR_RSRC_NFOUND:
            return "VI_ERROR_RSRC_NFOUND: ресурс не найден";
        case VI_ERROR_RSRC_LOCKED:
            return "VI_ERROR_RSRC_LOCKED: ресурс занят другим приложением";
        case VI_ERROR_INV_RSRC_NAME:
            return "VI_ERROR_INV_RSRC_NAME: неверное имя ресурса";
        case VI_ERROR_INV_OBJECT:
            return "VI_ERROR_INV_OBJECT: сеанс не открыт";
        case VI_ERROR_LIBRARY_NFOUND:
            return "VI_ERROR_LIBRARY_NFOUND: библиотека VISA не загружена";
        case VI_ERROR_NSUP_OPER:
            return "VI_ERROR_NSUP_OPER: библиотека VISA не поддерживает операцию";
        case VI_ERROR_IO:
            return "VI_ERROR_IO: ошибка ввода-вывода";
        case VI_ERROR_SYSTEM_ERROR:
            return "VI_ERROR_SYSTEM_ERROR: системная ошибка VISA";
        default: {
            char text[48];
            std::snprintf(text, sizeof text, "ошибка VISA 0x%08X", static_cast<unsigned>(status));
            return text;
        }
    }
}

DcCalibrator::~DcCalibrator() {
    close();
}

std::string DcCalibrator::failure(const std::string& command, const std::string& cause) const {
    return "Калибратор " + resource_ + ", команда «" + command + "»: " + cause;
}

DcCalibrator::Failure DcCalibrator::open(const std::string& resource) {
    close();
    resource_ = resource;
    ViStatus status = visa::viOpenDefaultRM(&rm_);
    if (status < 0) {
        rm_ = VI_NULL;
        return "Калибратор " + resource + ": VISA недоступна: " + VisaStatusText(status);
    }
    status = visa::viOpen(rm_, resource.c_str(), VI_NO_LOCK, 0, &vi_);
    if (status < 0) {
        vi_ = VI_NULL;
        const std::string text = "Калибратор " + resource + ": " + VisaStatusText(status);
        close();
        return text;
    }
    std::string reply;
    if (auto failed = query("*IDN?", reply)) {
        close();
        return failed;
    }
    if (!IsKnownCalibrator(reply)) {
        close();
        return "Калибратор " + resource + ": прибор «" + reply + "» не калибратор этой программы";
    }
    idn_ = reply;
    accuracy_ = ModelOf(reply)->accuracy;
    if (auto failed = write("*RST;*CLS")) {
        close();
        return failed;
    }
    return std::nullopt;
}

void DcCalibrator::close() {
    if (vi_ != VI_NULL) {
        visa::viClose(vi_);
        vi_ = VI_NULL;
    }
    if (rm_ != VI_NULL) {
        visa::viClose(rm_);
        rm_ = VI_NULL;
    }
}

DcCalibrator::Failure DcCalibrator::write(const std::string& command) {
    const ViStatus status = visa::viWrite(vi_, command + "\n", nullptr);
    if (status < 0) {
        return failure(command, VisaStatusText(status));
    }
    return std::nullopt;
}

DcCalibrator::Failure DcCalibrator::query(const std::string& command, std::string& reply) {
    std::array<ViChar, kReplyLength> text{};
    const ViStatus status = visa::viQueryf(vi_, (command + "\n").c_str(), "%t", text);
    if (status < 0) {
        return failure(command, VisaStatusText(status));
    }
    reply = Trimmed(text.data());
    return std::nullopt;
}

DcCalibrator::Failure DcCalibrator::checkErrors(const std::string& command) {
    for (int read = 0; read < kMaxErrorsRead; ++read) {
        std::string entry;
        if (auto failed = query("SYST:ERR?", entry)) {
            return failed;
        }
        if (entry.rfind("0,", 0) == 0 || entry == "0") {
            return std::nullopt;
        }
        // The first error is the cause; the rest of the queue is emptied with it.
        const Failure cause = failure(command, "ошибка калибратора " + entry);
        if (auto failed = write("*CLS")) {
            return *cause + "; " + *failed;
        }
        return cause;
    }
    return failure(command, "очередь ошибок калибратора не опустела");
}

double DcCalibrator::accuracyV(double volts) const {
    const double magnitude = std::fabs(volts);
    for (const auto& range : accuracy_) {
        if (magnitude <= range.rangeV) {
            return range.ppm * 1e-6 * magnitude + range.floorV;
        }
    }
    return 0.0;
}

DcCalibrator::Failure DcCalibrator::setVolts(double volts) {
    const std::string command = "SOUR:VOLT " + VoltsText(volts);
    if (auto failed = write(command)) {
        return failed;
    }
    return checkErrors(command);
}

DcCalibrator::Failure DcCalibrator::operate() {
    if (auto failed = write("OUTP ON")) {
        return failed;
    }
    return checkErrors("OUTP ON");
}

DcCalibrator::Failure DcCalibrator::standby() {
    if (vi_ == VI_NULL) {
        return std::nullopt;
    }
    if (auto failed = write("OUTP OFF")) {
        return failed;
    }
    return checkErrors("OUTP OFF");
}

DcCalibrator::Failure DcCalibrator::waitSettled() {
    std::string reply;
    if (auto failed = query("*OPC?", reply)) {
        return failed;
    }
    if (reply != "1") {
        return failure("*OPC?", "ответ «" + reply + "» вместо «1»");
    }
    return std::nullopt;
}

}  // namespace qm7x::procedure
