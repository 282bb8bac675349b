// Sessions of the two drivers: session 0, positions, init and connect failures, texts.
#include <cstring>
#include <functional>

#include "bench_fixture.h"
#include "status.h"

namespace qm7x::sim::test {
namespace {

using SessionDrivers = BenchTest;

TEST_F(SessionDrivers, EveryOperationWithSessionZeroFailsWithATextTheDriverGives) {
    loadBench(SmallBench());
    ViInt16 word = 0;
    ViReal64 real = 0.0;
    ViUInt32 size = 0;
    ViChar text[TRQM7X_TEXT_LEN] = {};
    void* address = nullptr;
    ViInt32 samples[4] = {};
    ViReal64 results[4] = {};
    const std::vector<std::pair<const char*, std::function<ViStatus()>>> calls{
        {"connect", [&] { return trqm7x_connect(0, 0, 1, 1, 1); }},
        {"alloc", [&] { return trqm7x_alloc(0, 1000); }},
        {"get_attribute", [&] { return trqm7x_get_attribute(0, 1, &address); }},
        {"config_events", [&] { return trqm7x_config_events(0, 0, 0); }},
        {"close", [&] { return trqm7x_close(0); }},
        {"self_test", [&] { return trqm7x_self_test(0, &word, text); }},
        {"readFlash", [&] { return trqm7x_readFlash(0); }},
        {"writeFlash", [&] { return trqm7x_writeFlash(0); }},
        {"resetCoeff", [&] { return trqm7x_resetCoeff(0); }},
        {"reset", [&] { return trqm7x_reset(0); }},
        {"displacement", [&] { return trqm7x_displacement(0); }},
        {"range_q", [&] { return trqm7x_range_q(0, 1, &real); }},
        {"mode_block", [&] { return trqm7x_mode_block(0, 100); }},
        {"sample_period", [&] { return trqm7x_sample_period(0, 2e-4); }},
        {"config_chans", [&] { return trqm7x_config_chans(0, 1); }},
        {"input_trigger", [&] { return trqm7x_input_trigger(0, 0, 0); }},
        {"start", [&] { return trqm7x_start(0); }},
        {"stop", [&] { return trqm7x_stop(0); }},
        {"state", [&] { return trqm7x_state(0, &word, nullptr); }},
        {"read_block", [&] { return trqm7x_read_block(0, 0, 4, results); }},
        {"extcalibr", [&] { return trqm7x_extcalibr(0, 1.0, -1.0, samples, samples, 4, 1); }},
        {"trholdr_close", [&] { return trholdr_close(0); }},
        {"m_type_q", [&] { return trholdr_m_type_q(0, 1, &word, &word); }},
        {"m_get_attribute", [&] { return trholdr_m_get_attribute(0, 0x3FFF0880, text); }},
        {"mem_q", [&] { return trholdr_mem_q(0, &size); }},
        {"m_read_block", [&] { return trholdr_m_read_block(0, 0, 4, samples); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(call(), VI_ERROR_INV_OBJECT);
    }
    EXPECT_EQ(errorText(VI_ERROR_INV_OBJECT), "Недействительный сеанс: устройство не открыто");
}

TEST_F(SessionDrivers, ErrorMessageCoversKnownUnknownAndSuccessStatusesInWindows1251) {
    loadBench(SmallBench());
    char raw[TRQM7X_TEXT_LEN] = {};
    EXPECT_EQ(trqm7x_error_message(VI_NULL, kErrorNoQm7x, raw), VI_SUCCESS);
    // "На" in Windows-1251: every driver text is 8-bit.
    EXPECT_EQ(static_cast<unsigned char>(raw[0]), 0xCD);
    EXPECT_EQ(static_cast<unsigned char>(raw[1]), 0xE0);
    EXPECT_EQ(errorText(kErrorNoQm7x), "На этой позиции носителя нет мезонина QM7X");
    EXPECT_EQ(errorText(VI_SUCCESS), "Успешное завершение");
    EXPECT_EQ(trqm7x_error_message(VI_NULL, static_cast<ViStatus>(0xBFFC0FFF), raw),
              VI_WARN_UNKNOWN_STATUS);
    EXPECT_EQ(errorText(static_cast<ViStatus>(0xBFFC0FFF)), "Неизвестная ошибка, код 0xBFFC0FFF");
    EXPECT_EQ(errorText(0x3FFC0FFF), "Неизвестное предупреждение, код 0x3FFC0FFF");
    EXPECT_EQ(trqm7x_error_message(VI_NULL, VI_SUCCESS, nullptr), kErrorParameter3);
}

TEST_F(SessionDrivers, RevisionQueryAnswersWithAndWithoutASession) {
    loadBench(SmallBench());
    char driver[TRQM7X_TEXT_LEN] = {};
    char instrument[TRQM7X_TEXT_LEN] = {};
    EXPECT_EQ(trqm7x_revision_query(VI_NULL, driver, instrument), VI_SUCCESS);
    EXPECT_EQ(std::string(driver).rfind("trqm7x_32 ", 0), 0u);
    EXPECT_GT(std::strlen(instrument), 0u);
    const ViSession carrier = openCarrier(kCarrier);
    const ViSession mez = openMezzanine(kCarrier, carrier, 1);
    EXPECT_EQ(trqm7x_revision_query(mez, driver, instrument), VI_SUCCESS);
    EXPECT_STREQ(instrument, "QM7X Q1");
    EXPECT_EQ(trqm7x_revision_query(mez + 1000, driver, instrument), VI_ERROR_INV_OBJECT);
}

TEST_F(SessionDrivers, CarrierReportsPositionsTextAndMemory) {
    loadBench(SmallBench());
    const ViSession carrier = openCarrier(kCarrier);
    struct Expected {
        ViInt16 present, type;
    };
    const Expected expected[4] = {{1, 31}, {1, 12}, {1, 31}, {0, 0}};
    for (ViInt16 position = 1; position <= 4; ++position) {
        ViInt16 present = -1, type = -1;
        ASSERT_EQ(trholdr_m_type_q(carrier, position, &present, &type), VI_SUCCESS);
        EXPECT_EQ(present, expected[position - 1].present) << position;
        EXPECT_EQ(type, expected[position - 1].type) << position;
    }
    ViInt16 present = 0, type = 0;
    EXPECT_EQ(trholdr_m_type_q(carrier, 5, &present, &type), kErrorParameter2);
    char text[256] = {};
    ASSERT_EQ(trholdr_m_get_attribute(carrier, TRHOLDR_ATTR_DESCRIPTION, text), VI_SUCCESS);
    EXPECT_EQ(FromCp1251(text), "Носитель 1");
    EXPECT_EQ(trholdr_m_get_attribute(carrier, 0x3FFF0881, text), VI_ERROR_NSUP_ATTR);
    ViUInt32 memory = 0;
    ASSERT_EQ(trholdr_mem_q(carrier, &memory), VI_SUCCESS);
    EXPECT_EQ(memory, 67108864u);
    EXPECT_EQ(trholdr_close(carrier), VI_SUCCESS);
    EXPECT_EQ(trholdr_close(carrier), VI_ERROR_INV_OBJECT);
}

TEST_F(SessionDrivers, InitAndConnectRefuseWhatARealDriverRefuses) {
    loadBench(SmallBench());
    ViSession vi = 123;
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>("VXI0::99::INSTR"), 1, 1, &vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(vi, VI_NULL);
    EXPECT_EQ(trqm7x_init(nullptr, 1, 1, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(trqm7x_init(const_cast<ViRsrc>("nonsense"), 1, 1, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(trqm7x_init(const_cast<ViRsrc>("VXI0::99::INSTR"), 1, 1, &vi), VI_ERROR_RSRC_NFOUND);

    const ViSession carrier = openCarrier(kCarrier);
    ViSession mez = VI_NULL;
    ASSERT_EQ(trqm7x_init(const_cast<ViRsrc>(kCarrier), 1, 1, &mez), VI_SUCCESS);
    ViInt16 busy = 0;
    EXPECT_EQ(trqm7x_state(mez, &busy, nullptr), kErrorNotConnected);
    EXPECT_EQ(trqm7x_connect(mez, 0, 1, 1, 1), kErrorNotCarrier);
    EXPECT_EQ(trqm7x_connect(mez, carrier, 2, 1, 1), kErrorNoQm7x);  // another type
    EXPECT_EQ(trqm7x_connect(mez, carrier, 4, 1, 1), kErrorNoQm7x);  // empty
    EXPECT_EQ(trqm7x_connect(mez, carrier, 0, 1, 1), kErrorParameter3);
    ASSERT_EQ(trqm7x_connect(mez, carrier, 3, 1, 1), VI_SUCCESS);

    ViSession second = VI_NULL;
    ASSERT_EQ(trqm7x_init(const_cast<ViRsrc>(kCarrier), 1, 1, &second), VI_SUCCESS);
    EXPECT_EQ(trqm7x_connect(second, carrier, 3, 1, 1), kErrorPositionInUse);
    EXPECT_EQ(trqm7x_close(mez), VI_SUCCESS);
    EXPECT_EQ(trqm7x_connect(second, carrier, 3, 1, 1), VI_SUCCESS);
    EXPECT_EQ(trqm7x_state(mez, &busy, nullptr), VI_ERROR_INV_OBJECT);
}

TEST_F(SessionDrivers, SelfTestGivesTheBenchOutcome) {
    loadBench(SmallBench());
    const ViSession carrier = openCarrier(kCarrier);
    ViInt16 result = -1;
    char message[TRQM7X_TEXT_LEN] = {};
    const ViSession passing = openMezzanine(kCarrier, carrier, 1);
    EXPECT_EQ(trqm7x_self_test(passing, &result, message), VI_SUCCESS);
    EXPECT_EQ(result, 0);
    EXPECT_GT(std::strlen(message), 0u);
    const ViSession failing = openMezzanine(kCarrier, carrier, 3);
    EXPECT_EQ(trqm7x_self_test(failing, &result, message), VI_SUCCESS);
    EXPECT_EQ(result, 5);
    EXPECT_EQ(FromCp1251(message), "Отказ АЦП канала 2");
}

}  // namespace
}  // namespace qm7x::sim::test
