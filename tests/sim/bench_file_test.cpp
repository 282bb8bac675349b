// Broken bench and reference files: a clear error naming file, line and problem; never a crash.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench_fixture.h"
#include "reference_source.h"
#include "status.h"
#include "visa_functions.h"
#include "world.h"

namespace qm7x::sim::test {
namespace {

using BenchFile = BenchTest;

TEST_F(BenchFile, ABrokenBenchFailsEveryCallWithATextNamingFileLineAndProblem) {
    struct Case {
        const char* name;
        std::string yaml;
        const char* line;
        const char* problem;
    };
    const Case cases[] = {
        {"syntax", "resources:\n  - name: [VXI0::8::INSTR\n", "строка 3",
         "синтаксическая ошибка YAML"},
        {"unknown key", SmallBench() + "extra_key: 1\n", "строка 31",
         "неизвестный ключ «extra_key»"},
        {"bad mode", SmallBench("sometimes"), "строка 16",
         "acquisition: ожидается realtime, instant или never, а не «sometimes»"},
        {"bad number", "resources:\n  - name: VXI0::1::INSTR\n    interface: vxi\n    slot: abc\n",
         "строка 4", "slot: ожидается целое число"},
        {"bad interface", "resources:\n  - name: X0::1::INSTR\n    interface: can\n", "строка 3",
         "неизвестный интерфейс «can»"},
        {"three positions",
         "resources:\n  - name: VXI0::1::INSTR\n    interface: vxi\n    carrier:\n      "
         "positions: [{}, {}, {}]\n",
         "строка 5", "ожидается список из четырёх позиций"},
        {"unknown operation", SmallBench("instant", "[{operation: trqm7x_flash, status: 1}]"),
         "строка 30", "неизвестная операция «trqm7x_flash»"},
        {"serial",
         "resources:\n  - name: VXI0::1::INSTR\n    interface: vxi\n    carrier:\n"
         "      positions:\n        - qm7x: {serial: \"../x\"}\n        - {}\n"
         "        - {}\n        - {}\n",
         "строка 6", "serial: «../x»"},
        {"duplicate",
         "resources:\n  - {name: ASRL1::INSTR, interface: asrl}\n  - {name: "
         "asrl1::instr, interface: asrl}\n",
         "строка 3", "повторён"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        loadBench(c.yaml);
        ViSession vi = VI_NULL;
        EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
        EXPECT_EQ(trqm7x_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
        EXPECT_EQ(trqm7x_readFlash(VI_NULL), kErrorBench);
        EXPECT_EQ(viOpenDefaultRM(&vi), VI_ERROR_SYSTEM_ERROR);
        const std::string text = errorText(kErrorBench);
        EXPECT_EQ(text.rfind("Ошибка файла описания стенда: ", 0), 0u) << text;
        EXPECT_EQ(text.find(dir().string()), std::string::npos) << text;  // the name is enough
        EXPECT_NE(text.find("bench.yaml, "), std::string::npos) << text;
        EXPECT_NE(text.find(c.line), std::string::npos) << text;
        EXPECT_NE(text.find(c.problem), std::string::npos) << text;
        // The revision is still told, so the program can show what it runs against.
        char driver[TRQM7X_TEXT_LEN] = {}, instrument[TRQM7X_TEXT_LEN] = {};
        EXPECT_EQ(trqm7x_revision_query(VI_NULL, driver, instrument), VI_SUCCESS);
    }
}

TEST_F(BenchFile, NestingTooDeepIsRefusedAsSuch) {
    for (const char* open : {"[", "{a: "}) {
        SCOPED_TRACE(open);
        std::string yaml = "resources: ";
        for (int i = 0; i < 100000; ++i) {
            yaml += open;
        }
        loadBench(yaml + "\n");
        ViSession vi = VI_NULL;
        EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
        const std::string text = errorText(kErrorBench);
        EXPECT_NE(text.find("bench.yaml, строка "), std::string::npos) << text;
        EXPECT_NE(text.find(": слишком глубокая вложенность"), std::string::npos) << text;
    }
}

// Nothing in a bench file is silently ignored: not a second value of a key, not a second document.
TEST_F(BenchFile, ADuplicatedKeyOrASecondDocumentIsAnError) {
    struct Case {
        const char* name;
        std::string yaml;
        const char* problem;
    };
    const Case cases[] = {
        {"block",
         "resources:\n  - name: VXI0::1::INSTR\n    interface: vxi\n    slot: 5\n"
         "    slot: 9\n",
         "строка 5: ключ «slot» повторён (впервые в строке 4)"},
        {"flow", "seed: 1\nresources: [{name: ASRL1::INSTR, interface: asrl, interface: usb}]\n",
         "строка 2: ключ «interface» повторён (впервые в строке 2)"},
        {"top level", "seed: 1\nfaults: []\nseed: 2\n",
         "строка 3: ключ «seed» повторён (впервые в строке 1)"},
        {"quoted alike", "seed: 1\n\"seed\": 2\n", "ключ «seed» повторён"},
        {"null keys", "~: 1\nnull: 2\n", "строка 2: ключ «~» повторён"},
        {"second document", "seed: 1\n---\nseed: 2\n",
         "строка 2: в файле больше одного документа YAML"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        loadBench(c.yaml);
        ViSession vi = VI_NULL;
        EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
        const std::string text = errorText(kErrorBench);
        EXPECT_NE(text.find(c.problem), std::string::npos) << text;
    }
    // The same keys in different maps are no duplicates.
    loadBench(SmallBench());
    ViSession vi = VI_NULL;
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), VI_SUCCESS);
}

// A bench far beyond any real one is refused at once with its limit, before it takes the memory.
TEST_F(BenchFile, ABenchBeyondItsLimitsIsRefused) {
    std::string resources = "resources:\n";
    for (int i = 0; i <= 1000; ++i) {
        resources += "  - {name: ASRL" + std::to_string(i) + "::INSTR, interface: asrl}\n";
    }
    std::string faults = "faults:\n";
    for (int i = 0; i <= 1000; ++i) {
        faults +=
            "  - {operation: viOpen, status: VI_ERROR_TMO, call: " + std::to_string(i + 1) + "}\n";
    }
    std::string nodes = "seed: [1";
    for (int i = 0; i < 100000; ++i) {
        nodes += ",1";
    }
    const std::string padding = "# " + std::string(100, '-') + "\n";
    std::string large = SmallBench();
    while (large.size() <= (1u << 20)) {
        large += padding;
    }
    const std::pair<std::string, const char*> cases[] = {
        {resources, "строка 2: resources: больше 1000 ресурсов"},
        {faults, "строка 2: faults: больше 1000 отказов"},
        {nodes + "]\n", "строка 1: больше 100000 элементов YAML"},
        {large, "bench.yaml: файл больше 1048576 байт"},
    };
    for (const auto& [yaml, problem] : cases) {
        SCOPED_TRACE(problem);
        loadBench(yaml);
        ViSession vi = VI_NULL;
        EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
        const std::string text = errorText(kErrorBench);
        EXPECT_NE(text.find(problem), std::string::npos) << text;
    }
}

TEST_F(BenchFile, AMissingBenchFileIsNamed) {
    auto& world = World::Instance();
    {
        auto guard = world.lock();
        world.load(dir() / "absent.yaml");
    }
    ViSession vi = VI_NULL;
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
    const std::string text = errorText(kErrorBench);
    EXPECT_NE(text.find("absent.yaml: файл не открывается"), std::string::npos) << text;
}

// A directory where a file belongs is the bench's own error with the file and the cause, for
// the bench file, the reference file and an EEPROM image alike.
TEST_F(BenchFile, ADirectoryInPlaceOfAFileIsNamedWithItsCause) {
    const std::string isDirectory = std::strerror(EISDIR);
    std::filesystem::create_directories(dir() / "folder.yaml");
    {
        auto& world = World::Instance();
        auto guard = world.lock();
        world.load(dir() / "folder.yaml");
    }
    ViSession vi = VI_NULL;
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
    EXPECT_EQ(trqm7x_init(const_cast<ViRsrc>(kCarrier), 1, 1, &vi), kErrorBench);
    std::string text = errorText(kErrorBench);
    EXPECT_NE(text.find("folder.yaml: файл не открывается: " + isDirectory), std::string::npos)
        << text;

    loadBench(SmallBench());
    std::filesystem::create_directories(dir() / "bench.reference.yaml");
    const ViSession carrier = openCarrier(kCarrier);
    const ViSession mez = openMezzanine(kCarrier, carrier, 1);
    ASSERT_EQ(trqm7x_mode_block(mez, 10), VI_SUCCESS);
    EXPECT_EQ(trqm7x_start(mez), kErrorBench);
    text = errorText(kErrorBench);
    EXPECT_NE(text.find("bench.reference.yaml"), std::string::npos) << text;
    EXPECT_NE(text.find(isDirectory), std::string::npos) << text;

    std::filesystem::create_directories(dir() / "state" / "Q1.eeprom.yaml");
    EXPECT_EQ(trqm7x_readFlash(mez), kErrorEepromRead);
    text = errorText(kErrorEepromRead);
    EXPECT_NE(text.find("Q1.eeprom.yaml"), std::string::npos) << text;
    EXPECT_NE(text.find(isDirectory), std::string::npos) << text;
}

TEST_F(BenchFile, ReferenceFileIsReadAtEachStartAndABrokenOneIsReported) {
    loadBench(SmallBench());
    const ViSession carrier = openCarrier(kCarrier);
    const ViSession mez = openMezzanine(kCarrier, carrier, 1);
    ASSERT_EQ(trqm7x_input_trigger(mez, 0, 1), VI_SUCCESS);
    ASSERT_EQ(trqm7x_mode_block(mez, 10), VI_SUCCESS);
    ViInt32 code = 0;

    writeReference("channels_v: [1.0, 0, 0]\nmodules:\n  Q1: [3.0, 0, 0]\n");
    ASSERT_EQ(trqm7x_start(mez), VI_SUCCESS);
    ASSERT_EQ(trholdr_m_read_block(mez, 0, 1, &code), VI_SUCCESS);
    EXPECT_NEAR(code * 1.2e-6, 3.001, 0.002);  // Q1 has its own entry

    writeReference("channels_v: [1.0, 0, 0]\n");
    ASSERT_EQ(trqm7x_start(mez), VI_SUCCESS);
    ASSERT_EQ(trholdr_m_read_block(mez, 0, 1, &code), VI_SUCCESS);
    EXPECT_NEAR(code * 1.2e-6, 1.001, 0.002);

    writeReference("channels_v: [1.0, 0]\n");
    EXPECT_EQ(trqm7x_start(mez), kErrorBench);
    const std::string text = errorText(kErrorBench);
    EXPECT_NE(text.find("bench.reference.yaml, строка 1"), std::string::npos) << text;

    writeReference("channels_v: [1.0, 0, 0]\nchannels_v: [2.0, 0, 0]\n");
    EXPECT_EQ(trqm7x_start(mez), kErrorBench);
    EXPECT_NE(errorText(kErrorBench).find("строка 2: ключ «channels_v» повторён"),
              std::string::npos);

    writeReference("channel_v: [1.0, 0, 0]\n");  // misspelt: not silently 0 V
    EXPECT_EQ(trqm7x_start(mez), kErrorBench);
    EXPECT_NE(errorText(kErrorBench).find("строка 1: неизвестный ключ «channel_v»"),
              std::string::npos);
    writeReference("modules: [1.0, 0, 0]\n");
    EXPECT_EQ(trqm7x_start(mez), kErrorBench);

    std::filesystem::remove(dir() / "bench.reference.yaml");  // no source: 0 V
    ASSERT_EQ(trqm7x_start(mez), VI_SUCCESS);
    ASSERT_EQ(trholdr_m_read_block(mez, 0, 1, &code), VI_SUCCESS);
    EXPECT_NEAR(code * 1.2e-6, 0.001, 0.002);
}

// A reference file caught half rewritten is refused with its cause, never read as 0 V.
TEST_F(BenchFile, AnEmptyCutShortOrIncompleteReferenceFileIsAnErrorNotZeroVolts) {
    loadBench(SmallBench());
    const ViSession carrier = openCarrier(kCarrier);
    const ViSession mez = openMezzanine(kCarrier, carrier, 1);
    ASSERT_EQ(trqm7x_mode_block(mez, 10), VI_SUCCESS);
    const std::vector<std::pair<std::string, std::string>> broken{
        {"", "файл пуст"},
        {"  \n", "файл пуст"},
        {"# channels_v: [1.0, 0, 0]\n", "в файле нет напряжений источника, только комментарии"},
        {"channels_v: [1.0, 0, 0]", "последняя строка не завершена"},
        {"modules:\n  Q9: [1.0, 0, 0]\n", "нет напряжений ни для Q1"},
    };
    for (const auto& [text, cause] : broken) {
        writeReference(text);
        EXPECT_EQ(trqm7x_start(mez), kErrorBench) << text;
        const std::string message = errorText(kErrorBench);
        EXPECT_NE(message.find("bench.reference.yaml: " + cause), std::string::npos) << message;
    }
}

// scripts/source, which the walk-throughs use: it changes one entry, keeps the others, and leaves
// a whole file the drivers read and no temporary file behind.
TEST_F(BenchFile, TheSourceScriptWritesAReferenceFileTheDriversRead) {
    const std::filesystem::path file = dir() / "source.reference.yaml";
    const std::string script =
        std::string(QM7X_SOURCE_DIR) + "/scripts/source --file '" + file.string() + "' ";
    ASSERT_EQ(std::system((script + "all 1 2 3 >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((script + "QM7X-0412 9 0 0.05 >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((script + "QM7X-0415 -9 0,5 0 >/dev/null").c_str()), 0);
    EXPECT_NE(std::system((script + "QM7X-0415 nan 0 0 2>/dev/null").c_str()), 0);
    EXPECT_EQ(ReadReference(file, "QM7X-0412"), (std::array<double, 3>{9, 0, 0.05}));
    EXPECT_EQ(ReadReference(file, "QM7X-0415"), (std::array<double, 3>{-9, 0.5, 0}));
    EXPECT_EQ(ReadReference(file, "QM7X-0999"), (std::array<double, 3>{1, 2, 3}));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& name) { return name.ends_with(".tmp"); }),
              0);
}

TEST_F(BenchFile, TheDefaultBenchLoadsAndHoldsWhatItPromises) {
    loadDefaultBench();
    const ViSession carrier = openCarrier("VXI0::8::INSTR");
    ViInt16 present = 0, type = 0;
    std::string qm7x;
    for (ViInt16 position = 1; position <= 4; ++position) {
        ASSERT_EQ(trholdr_m_type_q(carrier, position, &present, &type), VI_SUCCESS);
        if (present != 0 && type == TRHOLDR_TYPE_QM7X) {
            qm7x += std::to_string(position);
        }
    }
    EXPECT_EQ(qm7x, "24");
    ViSession vi = VI_NULL;
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>("VXI0::32::INSTR"), 1, 1, &vi), kErrorFailIdQuery);
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>("USB0::0x0E76::0x1004::1234::INSTR"), 1, 1, &vi),
              VI_SUCCESS);
}

}  // namespace
}  // namespace qm7x::sim::test
