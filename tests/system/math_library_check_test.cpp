// The start-up identification of the math library on the default simulated bench: the library is
// searched in the working directory, then along the system's list (put in by the test); its line
// appears in ABOUT's CERT_MSG, after a warning when its CRC record does not match.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "qm7x/app/program.h"
#include "qm7x/integrity/path_search.h"

namespace qm7x::test {
namespace {

namespace fs = std::filesystem;

constexpr char kLibraryName[] = "libtrqm7x_math.so.1";
const std::string kMarker =
    "\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9"
    "CRC32=";
const ui::PanelRef kDialog = ui::PanelRef::Title("Выбор инструмента");
constexpr int kDialogList = 4;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Hex8(unsigned long value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", value);
    return text;
}

unsigned long ZlibCrc(const std::string& bytes) {
    return ::crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                   static_cast<uInt>(bytes.size()));
}

// Records what CERT_MSG held when each message was shown.
class AboutWatchingFrontEnd : public RecordingFrontEnd {
  public:
    std::vector<std::string> certAtMessage;
    void ShowMessage(std::string_view title, std::string_view message) override {
        std::string cert;
        ui::GetCtrlVal(qm7x::aboutPanel, ABOUT_CERT_MSG, cert);
        certAtMessage.push_back(cert);
        RecordingFrontEnd::ShowMessage(title, message);
    }
};

class MathLibraryAtStartUp : public ::testing::Test {
  protected:
    MathLibraryAtStartUp() {
        ui::SetFrontEnd(&frontEnd);
        UseBench(scratch, DefaultBenchText());
        fs::create_directories(work);
        fs::create_directories(libDir);
        previousDir = fs::current_path();
        fs::current_path(work);
        integrity::SetSystemPathListSource([dir = libDir.string()] { return dir; });
    }
    ~MathLibraryAtStartUp() override {
        integrity::SetSystemPathListSource({});
        fs::current_path(previousDir);
    }

    static std::string DefaultBenchText() {
        std::ifstream file(QM7X_DEFAULT_BENCH);
        std::string text((std::istreambuf_iterator<char>(file)), {});
        const std::string dir = fs::path(QM7X_DEFAULT_BENCH).parent_path().string();
        const std::string key = "reference_file: ";
        if (auto at = text.find(key); at != std::string::npos) {
            text.insert(at + key.size(), dir + "/");
        }
        return text;
    }

    // Puts `bytes` as the library into `dir`, last written on 1 June 2025 at 10:20 local time.
    static void PlaceLibrary(const fs::path& dir, const std::string& bytes) {
        const fs::path file = dir / kLibraryName;
        std::ofstream(file, std::ios::binary) << bytes;
        std::tm fields{};
        fields.tm_year = 2025 - 1900;
        fields.tm_mon = 5;
        fields.tm_mday = 1;
        fields.tm_hour = 10;
        fields.tm_min = 20;
        fields.tm_isdst = -1;
        fs::last_write_time(file,
                            std::chrono::file_clock::from_sys(
                                std::chrono::system_clock::from_time_t(std::mktime(&fields))));
    }

    // Runs the program: the first carrier, a look at ABOUT, exit. Returns CERT_MSG.
    std::string RunAndReadCertificateLine() {
        std::string cert = "not read";
        session.script.DoubleClickItem(kDialog, kDialogList, 0)
            .Do("read ABOUT", [&] { ui::GetCtrlVal(qm7x::aboutPanel, ABOUT_CERT_MSG, cert); })
            .Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
            .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
        EXPECT_EQ(app::RunProgram(0, nullptr), 0);
        return cert;
    }

    static std::string Line(const std::string& bytes) {
        return std::string(kLibraryName) +
               ", версия:1.0, дата:01-06-2025, CRC32=" + Hex8(ZlibCrc(bytes));
    }

    ScratchDir scratch;
    const fs::path work = scratch.path() / "work";
    const fs::path libDir = scratch.path() / "lib";
    fs::path previousDir;
    AboutWatchingFrontEnd frontEnd;
    ui::HeadlessSession session;  // destroyed first: resets the run-time
    const std::string library = ReadAll(QM7X_MATH_LIBRARY);
};

TEST_F(MathLibraryAtStartUp, ASoundLibraryShowsItsLine) {
    PlaceLibrary(libDir, library);
    EXPECT_EQ(RunAndReadCertificateLine(), Line(library));
    EXPECT_TRUE(frontEnd.Messages().empty());
}

TEST_F(MathLibraryAtStartUp, TheWorkingDirectoryComesFirst) {
    std::string other = library;
    other[other.size() / 2] ^= 0x10;  // a damaged copy further down the list is not looked at
    PlaceLibrary(work, library);
    PlaceLibrary(libDir, other);
    EXPECT_EQ(RunAndReadCertificateLine(), Line(library));
    EXPECT_TRUE(frontEnd.Messages().empty());
}

TEST_F(MathLibraryAtStartUp, AChangedByteWarnsThenShowsTheCrcOfTheFileAsStored) {
    std::string changed = library;
    changed[changed.size() / 2] ^= 0x10;
    PlaceLibrary(libDir, changed);
    EXPECT_EQ(RunAndReadCertificateLine(), Line(changed));
    const std::vector<ui::HeadlessFrontEnd::Message> expected = {
        {"ВНИМАНИЕ!", "Некорректная контрольная сумма\nфайла libtrqm7x_math.so.1!"}};
    EXPECT_EQ(frontEnd.Messages(), expected);
    EXPECT_EQ(frontEnd.certAtMessage, std::vector<std::string>{""});  // the line came after
}

TEST_F(MathLibraryAtStartUp, ALibraryWithoutARecordLeavesTheLineAsItIs) {
    std::string unrecorded = library;
    const std::size_t marker = unrecorded.find(kMarker);
    ASSERT_NE(marker, std::string::npos);
    unrecorded[marker + 10] = 'X';  // "CRC32=" no longer follows the Cyrillic part
    ASSERT_EQ(unrecorded.find(kMarker), std::string::npos);
    PlaceLibrary(libDir, unrecorded);
    EXPECT_EQ(RunAndReadCertificateLine(), "");
    EXPECT_TRUE(frontEnd.Messages().empty());
}

TEST_F(MathLibraryAtStartUp, NoLibraryFoundShowsNothing) {
    EXPECT_EQ(RunAndReadCertificateLine(), "");
    EXPECT_TRUE(frontEnd.Messages().empty());
}

TEST_F(MathLibraryAtStartUp, WithoutItsPackageNoteTheVersionIsNotAvailable) {
    std::string noNote = library;
    const std::size_t owner = noNote.find(std::string("FDO\0{", 5));
    ASSERT_NE(owner, std::string::npos);
    noNote[owner] = 'X';
    // Restamp by hand: the record must match the changed file.
    const std::size_t digits = noNote.find(kMarker) + kMarker.size();
    noNote.replace(digits, 8, "00000000");
    noNote.replace(digits, 8, Hex8(ZlibCrc(noNote)));
    PlaceLibrary(libDir, noNote);
    EXPECT_EQ(RunAndReadCertificateLine(),
              std::string(kLibraryName) +
                  ", версия:n/a, дата:01-06-2025, CRC32=" + Hex8(ZlibCrc(noNote)));
    EXPECT_TRUE(frontEnd.Messages().empty());
}

}  // namespace
}  // namespace qm7x::test
