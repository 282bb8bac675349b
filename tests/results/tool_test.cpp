// qm7x-results as the lab runs it: verify's exit status and the row it names after a byte of the
// SQLite file was changed with an editor, and the CSV export of one module.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "qm7x/results/store.h"
#include "store_location.h"

namespace qm7x::results::test {
namespace {

using testing::HasSubstr;

struct ToolRun {
    int status;
    std::string output;
};

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ResultsTool : public testing::Test {
  protected:
    ToolRun Run(const std::string& arguments) {
        auto output = store_.folder() / "tool-output.txt";
        auto command =
            std::string(QM7X_RESULTS_TOOL) + " " + arguments + " >" + output.string() + " 2>&1";
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(output)};
    }

    // Three sessions; the second's carrier text is the one the test will change.
    void Fill() {
        auto store = ResultsStore::Open(store_.location());
        for (const char* carrier : {"carrier one", "carrier TAMPER-ME", "carrier three"}) {
            SessionRecord session;
            session.carrier_text = carrier;
            session.serial = "QM-7";
            PointRecord point;
            point.session_id = store->RecordSession(session);
            point.channel = 2;
            point.un = 0.9;
            point.volts = {0.9, 0.9001};
            point.ux = 0.90005;
            point.verdict = "Норма, \"в допуске\"";
            store->RecordPoint(point);
        }
    }

    StoreLocation store_{Kind::Sqlite};
};

TEST_F(ResultsTool, VerifyNamesTheRowWhoseByteWasChangedInTheFile) {
    Fill();
    auto intact = Run("verify " + store_.location());
    EXPECT_EQ(intact.status, 0) << intact.output;
    EXPECT_THAT(intact.output, HasSubstr("intact"));

    // The store is closed, so the file holds every row (the write-ahead log is checkpointed).
    auto bytes = ReadAll(store_.location());
    auto at = bytes.find("TAMPER-ME");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'D';
    std::ofstream(store_.location(), std::ios::binary | std::ios::trunc) << bytes;

    auto broken = Run("verify " + store_.location());
    EXPECT_EQ(broken.status, 1) << broken.output;
    EXPECT_THAT(broken.output, HasSubstr("table qm7x_sessions, row 2"));
}

TEST_F(ResultsTool, ExportWritesTheModulesPointsAsCsv) {
    Fill();
    auto csv = store_.folder() / "qm7x.csv";
    auto run = Run("export " + store_.location() + " --serial QM-7 --csv " + csv.string());
    ASSERT_EQ(run.status, 0) << run.output;
    auto text = ReadAll(csv);
    EXPECT_THAT(text, testing::StartsWith("point_id,session_id,serial,"));
    EXPECT_THAT(text, HasSubstr(",QM-7,"));
    EXPECT_THAT(text, HasSubstr(",\"Норма, \"\"в допуске\"\"\","));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);

    EXPECT_EQ(Run("verify " + (store_.folder() / "absent.sqlite").string()).status, 2);
    EXPECT_EQ(Run("export " + store_.location() + " --serial QM-7").status, 64);
}

}  // namespace
}  // namespace qm7x::results::test
