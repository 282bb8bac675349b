// The automatic procedure on the default bench and its calibrator. qm7x-auto runs as a program of
// its own (options, standard output and error, exit status); the safe endings are seen from
// inside the program, with the simulated bench's state at hand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "choose_carrier.h"
#include "program_fixture.h"
#include "qm7x/app/program.h"
#include "qm7x/metrology/budgets.h"
#include "qm7x/os/encoding.h"
#include "qm7x/procedure/procedure.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/results/store.h"
#include "qm7x/ui/clock.h"
#include "world.h"

namespace qm7x::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr const char* kCalibrator = "GPIB0::4::INSTR";

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string DefaultBench() {
    return ReadFile(QM7X_DEFAULT_BENCH);
}

// The default bench with faults of its own.
std::string BenchWithFaults(const std::string& faults) {
    std::string bench = DefaultBench();
    const auto at = bench.find("\nfaults:");
    if (at != std::string::npos) {
        bench.resize(at + 1);
    }
    return bench + "faults:\n" + faults;
}

struct AutoRun {
    int status = -1;
    std::string out, err;
};

class AutoProcedure : public ::testing::Test {
  protected:
    void SetUp() override {
        UseBench(scratch_, DefaultBench());
        std::ofstream(scratch_.path() / "default.reference.yaml") << "channels_v: [0, 0, 0]\n";
    }

    // qm7x-auto in the scratch folder, on the bench written there.
    AutoRun run(const std::string& arguments) const {
        const fs::path dir = scratch_.path();
        const std::string command =
            "cd '" + dir.string() + "' && '" QM7X_AUTO "' " + arguments + " > out.txt 2> err.txt";
        AutoRun result;
        const int status = std::system(command.c_str());
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFile(dir / "out.txt");
        result.err = ReadFile(dir / "err.txt");
        return result;
    }
    static std::string module(int position, const std::string& more = "") {
        return "--carrier VXI0::8::INSTR --position " + std::to_string(position) +
               " --calibrator GPIB0::4::INSTR --plan " QM7X_PLANS "/standard.yaml " + more;
    }
    // The verdicts the protocol holds, in order.
    std::vector<std::string> verdicts(const std::string& file = "qm7X.log") const {
        std::istringstream lines(os::FromCp1251(ReadFile(scratch_.path() / file)));
        std::vector<std::string> found;
        for (std::string line; std::getline(lines, line);) {
            if (line.ends_with("Не норма")) {
                found.emplace_back("Не норма");
            } else if (line.ends_with("Норма")) {
                found.emplace_back("Норма");
            }
        }
        return found;
    }
    std::size_t countLines(const std::string& text, const std::string& part) const {
        std::istringstream lines(text);
        std::size_t count = 0;
        for (std::string line; std::getline(lines, line);) {
            count += line.find(part) != std::string::npos ? 1 : 0;
        }
        return count;
    }

    ScratchDir scratch_;
};

TEST_F(AutoProcedure, TheStandardPlanPassesOnTheWellCalibratedModule) {
    const AutoRun result = run(module(4));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(countLines(result.err, "verification точка "), 21u) << result.err;
    EXPECT_THAT(result.out, HasSubstr("Итог: Норма (21 из 21 точек в норме)"));
    EXPECT_EQ(verdicts(), std::vector<std::string>(21, "Норма"));
}

TEST_F(AutoProcedure, TheBadModuleIsCalibratedWhereNeededStoredAndThenPasses) {
    const AutoRun first = run(module(2, "--calibrate if-needed"));
    EXPECT_EQ(first.status, 0) << first.err;
    // As found, channel 1 fails at ±90 %; calibrated, stored and logged; as left all pass.
    EXPECT_THAT(first.err, HasSubstr("as_found точка 6 из 21: канал 1, Un=9 В"));
    EXPECT_THAT(first.err, ::testing::ContainsRegex("as_found точка 6 из 21: [^\n]*Не норма"));
    EXPECT_THAT(first.err, HasSubstr("калибровка канала 1 при 9 и -9 В выполнена"));
    EXPECT_THAT(first.err, HasSubstr("коэффициенты записаны в EEPROM"));
    EXPECT_EQ(countLines(first.err, "as_left точка "), 21u);
    EXPECT_THAT(first.err, ::testing::Not(::testing::ContainsRegex("as_left [^\n]*Не норма")));
    EXPECT_THAT(first.out, HasSubstr("Итог: Норма (21 из 21 точек в норме)"));
    std::ifstream log(scratch_.path() / "qm7x-calibration.log");
    std::vector<std::string> entries;
    for (std::string line; std::getline(log, line);) {
        entries.push_back(line);
    }
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_THAT(entries[0], HasSubstr("\"position\": 2"));
    // The results store has every point as automatic, with its phase and the calibrator.
    std::map<std::string, int> pointsByPhase;
    for (const auto& session :
         results::ResultsStore::Open((scratch_.path() / "qm7x-results.sqlite").string())
             ->History("QM7X-0412")) {
        for (const auto& point : session.points) {
            EXPECT_EQ(point.mode, results::kAutomatic);
            ++pointsByPhase[point.phase];
        }
    }
    EXPECT_EQ(pointsByPhase, (std::map<std::string, int>{{"as_found", 21}, {"as_left", 21}}));

    const AutoRun second = run(module(2, "--calibrate never"));
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(second.out, HasSubstr("Итог: Норма (21 из 21 точек в норме)"));
    EXPECT_THAT(second.err, ::testing::Not(HasSubstr("калибровка канала")));
}

// The default bench's calibrator in the register of the run's results store, due on `due`.
void RegisterBenchCalibrator(const fs::path& store_file, const std::string& due) {
    metrology::StandardEntry standard;
    standard.identifier = "КВ-01";
    standard.kind = "калибратор напряжения";
    standard.model = "DCC-22";
    standard.serial = "0042";
    standard.certificate_number = "С-ГА/" + due;
    standard.calibration_date = "2020-01-01";
    standard.due_date = due;
    standard.ranges = {{{11.0, 6.0, 4e-6, 1e-6}, std::nullopt}};
    metrology::AddStandard(*results::ResultsStore::Open(store_file.string()), standard);
}

TEST_F(AutoProcedure, EveryAutomaticPointStoresItsBudgetWithTheCalibratorsStandard) {
    const fs::path file = scratch_.path() / "qm7x-results.sqlite";
    RegisterBenchCalibrator(file, "2099-01-01");
    const AutoRun result = run(module(4));
    ASSERT_EQ(result.status, 0) << result.err;
    auto store = results::ResultsStore::Open(file.string());
    std::vector<std::int64_t> ids;
    for (const auto& session : store->History("QM7X-0415")) {
        for (const auto& point : session.points) {
            ids.push_back(point.id);
        }
    }
    ASSERT_EQ(ids.size(), 21u);
    const auto budgets = metrology::ReadBudgets(*store, ids);
    ASSERT_EQ(budgets.size(), 21u);
    for (const auto& [id, budget] : budgets) {
        EXPECT_EQ(budget.standard_id, 1) << "point " << id;
        ASSERT_TRUE(budget.budget.has_value()) << "point " << id << ": " << budget.refusal;
        EXPECT_GT(budget.budget->expanded_v, 0.0);
    }
}

TEST_F(AutoProcedure, AStandardPastItsDueDateBlocksUnlessOverriddenAndTheOverrideIsRecorded) {
    const fs::path file = scratch_.path() / "qm7x-results.sqlite";
    RegisterBenchCalibrator(file, "2021-01-01");
    const AutoRun blocked = run(module(4));
    EXPECT_EQ(blocked.status, 2);
    EXPECT_THAT(blocked.err, HasSubstr("Процедура не начата"));
    EXPECT_THAT(blocked.err, HasSubstr("КВ-01"));
    EXPECT_THAT(blocked.err, HasSubstr("2021-01-01"));
    EXPECT_EQ(countLines(blocked.err, "точка "), 0u);
    auto overrides = [&] {
        return results::ResultsStore::Open(file.string())
            ->backend()
            .Query("SELECT standard_id, session_id, reason FROM qm7x_due_overrides");
    };
    EXPECT_TRUE(overrides().empty());

    const AutoRun overridden = run(module(4, "--override-due-date"));
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_THAT(overridden.err, HasSubstr("--override-due-date"));
    const auto rows = overrides();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(results::AsInteger(rows[0][0]), 1);
    EXPECT_GT(results::AsInteger(rows[0][1]), 0);
    EXPECT_EQ(results::AsText(rows[0][2]), "--override-due-date");
}

TEST_F(AutoProcedure, ABadCommandLineOrPlanEndsWithStatusTwoAndItsCause) {
    const AutoRun missing = run("--carrier VXI0::8::INSTR");
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("нужны --carrier, --position, --calibrator и --plan"));
    std::ofstream(scratch_.path() / "bad.yaml") << "points:\n  - {channel: 4, volts: 1}\n";
    const AutoRun badPlan =
        run("--carrier VXI0::8::INSTR --position 4 --calibrator GPIB0::4::INSTR --plan bad.yaml");
    EXPECT_EQ(badPlan.status, 2);
    EXPECT_THAT(badPlan.err, HasSubstr("bad.yaml, строка 2: channel: ожидается целое число 1..3"));
    const AutoRun noCalibrator =
        run("--carrier VXI0::8::INSTR --position 4 --calibrator GPIB0::22::INSTR --plan " QM7X_PLANS
            "/standard.yaml");
    EXPECT_EQ(noCalibrator.status, 2);
    EXPECT_THAT(noCalibrator.err, HasSubstr("не калибратор этой программы"));
    // A protocol that cannot be written is no result, whatever the verdicts.
    const AutoRun noProtocol = run(module(4, "--protocol /nonexistent/dir/p.log"));
    EXPECT_EQ(noProtocol.status, 2);
    EXPECT_THAT(noProtocol.err, HasSubstr("протокол не записан в файл"));
    EXPECT_THAT(noProtocol.err, HasSubstr("/nonexistent/dir/p.log"));
}

// The protocol of an automatic plan is the protocol of the same points taken by hand: the
// operator sets the calibrator, types the voltage, switches the relay in and presses "Пуск".
TEST_F(AutoProcedure, TheProtocolOfAPlanIsByteForByteThatOfTheSamePointsTakenByHand) {
    std::ofstream(scratch_.path() / "three.yaml")
        << "name: три точки\nzero_offset: true\npoints:\n"
           "  - {channel: 1, volts: 9}\n  - {channel: 2, percent: -50, period_s: 0.0004}\n"
           "  - {channel: 3, volts: 0.01}\n";
    const AutoRun automatic =
        run("--carrier VXI0::8::INSTR --position 4 --calibrator GPIB0::4::INSTR --plan three.yaml "
            "--protocol auto.log --temperature 40");
    ASSERT_EQ(automatic.status, 0) << automatic.err;

    ui::HeadlessSession ui;
    ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
    const auto pp = ui::PanelRef::Resource(PP);
    const auto calibrator = [](const std::string& command) {
        auto& world = sim::World::Instance();
        auto guard = world.lock();
        world.calibrator(kCalibrator)->execute(command);
    };
    ChooseTheFirstCarrier(ui.script)
        .Enter(ui::PanelRef::Resource(MP), MP_MEZ_NUM, static_cast<unsigned short>(4))
        .ChooseTabPage(ui::PanelRef::Resource(MP), MP_TAB, 1)
        .Enter(pp, PP_FILE_NAME, std::string("manual.log"))
        .Commit(pp, PP_TEMPERATURE_40)
        .Commit(ui::PanelRef::Resource(MP), MP_CALIBR);
    const struct {
        int channel;
        double volts, period;
    } points[] = {{1, 9.0, 0.0002}, {2, -0.5, 0.0004}, {3, 0.01, 0.0004}};
    for (const auto& point : points) {
        ui.script
            .Do("set the calibrator",
                [&] { calibrator("SOUR:VOLT " + std::to_string(point.volts) + ";OUTP ON"); })
            .Enter(pp, PP_U, point.volts)
            .Enter(pp, PP_CHAN, point.channel)
            .Enter(pp, PP_PERIOD, point.period)
            .Enter(pp, PP_RELE_SWITCH, 1)
            .Commit(pp, PP_START)
            .Do("standby", [&] { calibrator("OUTP OFF"); });
    }
    ui.script.Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    EXPECT_EQ(app::RunProgram(0, nullptr), 0);
    EXPECT_TRUE(ui.script.Done()) << ui.script.Pending();

    // The time stamp is the clock's; everything else is the same bytes.
    const std::regex stamp("Время:[0-9:]+, Дата: [0-9-]+ ");
    const auto masked = [&](const std::string& file) {
        return std::regex_replace(os::FromCp1251(ReadFile(scratch_.path() / file)), stamp, "*");
    };
    const std::string manual = masked("manual.log");
    EXPECT_EQ(masked("auto.log"), manual);
    EXPECT_EQ(countLines(manual, "Норма"), 3u) << manual;
}

}  // namespace
}  // namespace qm7x::test
