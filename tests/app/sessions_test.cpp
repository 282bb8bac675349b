// Opening the carrier and the QM7X positions on the simulated bench, with the failures the
// drivers can report, and the coefficient storage on an open mezzanine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

#include "program_panels.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/sessions.h"
#include "qm7x/calibr/coeff_storage.h"
#include "qm7x/program/protocol_state.h"
#include "sim_bench.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using Message = ui::HeadlessFrontEnd::Message;

constexpr ViStatus kBusy = static_cast<ViStatus>(0xBFFF0072);
constexpr ViStatus kTimeout = VI_ERROR_TMO;
constexpr ViStatus kEepromRead = static_cast<ViStatus>(0xBFFC0808);
constexpr ViStatus kEepromWrite = static_cast<ViStatus>(0xBFFC0809);
constexpr ViStatus kWarning = static_cast<ViStatus>(0x3FFC0801);

const Message kMezInitFailed{"", "Ошибка инициализации"};

class Sessions : public ProgramPanels {
  protected:
    void useBench(const std::vector<std::string>& positions,
                  const std::vector<Fault>& faults = {}) {
        bench_.emplace(positions, faults);
        std::strcpy(app::Instruments[0].rsrcName, kCarrierResource);
        app::CurrentInstr = &app::Instruments[0];
    }

    static int reselect() {
        return app::selMezonin(qm7x::mpPanel, MP_MEZ_NUM, ui::EVENT_COMMIT, nullptr, 0, 0);
    }

    static std::vector<std::string> ringLabels() {
        int count = 0;
        ui::GetNumListItems(qm7x::mpPanel, MP_MEZ_NUM, count);
        std::vector<std::string> labels(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            ui::GetLabelFromIndex(qm7x::mpPanel, MP_MEZ_NUM, i, labels[i]);
        }
        return labels;
    }
    static std::vector<int> ringValues() {
        int count = 0;
        ui::GetNumListItems(qm7x::mpPanel, MP_MEZ_NUM, count);
        std::vector<int> values(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            ui::GetValueFromIndex(qm7x::mpPanel, MP_MEZ_NUM, i, values[i]);
        }
        return values;
    }
    static int selectedPosition() {
        unsigned short position = 0;
        ui::GetCtrlVal(qm7x::mpPanel, MP_MEZ_NUM, position);
        return position;
    }
    static bool recordBound() {
        return qm7x::coeffPtr != &qm7x::coeffCopy &&
               std::memcmp(qm7x::coeffPtr, &qm7x::coeffCopy, sizeof(qm7x::CoeffRecord)) == 0;
    }
    static void commitStore(ui::HeadlessFrontEnd& frontEnd) {
        frontEnd.AnswerConfirm(true);
        calibr::writeEEPROM(qm7x::cpPanel, CP_WRITE_EEPROM, ui::EVENT_COMMIT, nullptr, 0, 0);
    }
    static void commit(int (*callback)(int, int, int, void*, int, int), int control) {
        callback(qm7x::cpPanel, control, ui::EVENT_COMMIT, nullptr, 0, 0);
    }
    const std::vector<Message>& messages() { return ui_.frontEnd.Messages(); }

    std::optional<SimBench> bench_;
};

TEST_F(Sessions, Qm7xPositionsAreListedInOrderAndTheFirstIsOpened) {
    useBench({EmptyPosition(), Qm7x("QM7X-T2", 2.0), OtherType(12, true), Qm7x("QM7X-T4", 4.0)});
    app::SelMez();

    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_THAT(app::mezonin, ElementsAre(0, 31, 12, 31));
    EXPECT_THAT(ringLabels(), ElementsAre("2", "4"));
    EXPECT_THAT(ringValues(), ElementsAre(2, 4));
    EXPECT_EQ(selectedPosition(), 2);
    int active = 0;
    ui::GetActiveCtrl(qm7x::mpPanel, active);
    EXPECT_EQ(active, MP_MEZ_NUM);
    EXPECT_NE(qm7x::carrierSession, 0u);
    EXPECT_EQ(app::CurrentInstr->session, qm7x::carrierSession);
    EXPECT_NE(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::protocolTitle,
              "Протокол поверки мезонина QM7X N 2 на TRHOLDR Н.М., крейт 1, слот 5");
    EXPECT_EQ(qm7x::protocolFileName, "");
    EXPECT_TRUE(recordBound());
    EXPECT_THAT(column(4), ElementsAre(2.0, 0.2, 0.02));
    EXPECT_THAT(qm7x::rangeIdx, ElementsAre(0, 1, 2));
    EXPECT_EQ(statusLine(), "");
}

TEST_F(Sessions, PresenceZeroIsEmptyAndOtherTypesAreNeverOffered) {
    useBench({OtherType(31, false), OtherType(12, true), Qm7x("QM7X-T3", 3.0), EmptyPosition()});
    app::SelMez();
    EXPECT_THAT(app::mezonin, ElementsAre(0, 12, 31, 0));
    EXPECT_THAT(ringLabels(), ElementsAre("3"));
    EXPECT_THAT(column(4), ElementsAre(3.0, 0.3, 0.03));
}

TEST_F(Sessions, CarrierWithoutQm7xIsLeftOpenWithNoMezzanine) {
    useBench({OtherType(31, false), OtherType(12, true), EmptyPosition(), EmptyPosition()});
    app::SelMez();
    EXPECT_THAT(messages(), ElementsAre(Message{"", "нет наших мезонинов на базе"}));
    EXPECT_THAT(ringLabels(), IsEmpty());
    EXPECT_NE(qm7x::carrierSession, 0u);
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
    // A commit of the empty ring opens nothing.
    EXPECT_EQ(reselect(), 0);
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_THAT(messages(), testing::SizeIs(1));
}

TEST_F(Sessions, CarrierThatCannotBeOpenedLeavesDemonstrationMode) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trholdr_init", kBusy}});
    app::SelMez();
    EXPECT_THAT(messages(),
                ElementsAre(Message{"",
                                    "          Ошибка инициализации.\nУстройство занято либо не "
                                    "сконфигурировано\n          Менеджером Ресурсов."}));
    EXPECT_EQ(qm7x::carrierSession, 0u);
    EXPECT_EQ(app::CurrentInstr->session, 0u);
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_THAT(ringLabels(), IsEmpty());
}

TEST_F(Sessions, ReopeningThePositionClosesItAndEndsTheProtocol) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()});
    app::SelMez();
    const ViSession first = qm7x::mezSession;
    qm7x::protocolFileName = "qm7X.log";
    setColumn(4, {5.0, 5.0, 5.0});

    EXPECT_EQ(reselect(), 0);

    EXPECT_NE(qm7x::mezSession, 0u);
    EXPECT_NE(qm7x::mezSession, first);
    EXPECT_LT(trqm7x_close(first), 0) << "the first session is closed";
    EXPECT_EQ(qm7x::protocolFileName, "");
    EXPECT_TRUE(recordBound());
    EXPECT_THAT(column(4), ElementsAre(1.0, 0.1, 0.01));
    EXPECT_THAT(messages(), IsEmpty());
}

TEST_F(Sessions, ChoosingAnotherPositionOpensThatMezzanine) {
    useBench({EmptyPosition(), Qm7x("QM7X-T2", 2.0), EmptyPosition(), Qm7x("QM7X-T4", 4.0)});
    app::SelMez();
    ASSERT_GE(ui::SetCtrlVal(qm7x::mpPanel, MP_MEZ_NUM, 4), 0);
    EXPECT_EQ(reselect(), 0);
    EXPECT_EQ(selectedPosition(), 4);
    EXPECT_THAT(column(4), ElementsAre(4.0, 0.4, 0.04));
    EXPECT_EQ(qm7x::protocolTitle,
              "Протокол поверки мезонина QM7X N 4 на TRHOLDR Н.М., крейт 1, слот 5");
}

TEST_F(Sessions, FailedCloseKeepsTheOldSessionAndReopensNothing) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_close", kTimeout}});
    app::SelMez();
    const ViSession old = qm7x::mezSession;
    const qm7x::CoeffRecord* bound = qm7x::coeffPtr;
    qm7x::protocolFileName = "qm7X.log";

    EXPECT_EQ(reselect(), 0);

    EXPECT_EQ(qm7x::mezSession, old);
    EXPECT_EQ(qm7x::coeffPtr, bound);
    EXPECT_EQ(qm7x::protocolFileName, "qm7X.log");
    EXPECT_EQ(statusLine(), StatusText(kTimeout));
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_THAT(messages(), IsEmpty());
}

TEST_F(Sessions, FailedMezzanineOpenIsReportedForEachStepAndBindsNothing) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_init", kBusy}});
    app::SelMez();
    // The connect of the missing session fails too.
    EXPECT_THAT(messages(), ElementsAre(kMezInitFailed, kMezInitFailed));
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
    EXPECT_THAT(column(4), ElementsAre(0.0, 0.0, 0.0));
    EXPECT_EQ(qm7x::protocolTitle,
              "Протокол поверки мезонина QM7X N 1 на TRHOLDR Н.М., крейт 1, слот 5");
}

TEST_F(Sessions, FailedReopenFallsBackToTheProgramsCopy) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_init", kBusy, 2}});
    app::SelMez();
    ASSERT_TRUE(recordBound());
    EXPECT_EQ(reselect(), 0);
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
    // The copy still holds what was loaded and can be edited and stored without a mezzanine.
    EXPECT_THAT(qm7x::coeffCopy.testU, ElementsAre(1.0, 0.1, 0.01));
}

TEST_F(Sessions, FailedConnectIsReportedOnceAndTheSequenceGoesOn) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_connect", kBusy}});
    app::SelMez();
    EXPECT_THAT(messages(), ElementsAre(kMezInitFailed));
    // The unconnected mezzanine then refuses its buffer, which ends the selection on the status
    // line, both steps named, and closes the session whose record was never bound.
    EXPECT_THAT(statusLine(), AllOf(StartsWith(StatusText(kBusy) + " (trqm7x_connect); "),
                                    HasSubstr("(trqm7x_alloc)")));
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
}

// The operator reads why the module did not open (the image and the problem), not the
// consequences of the failed open that follow it.
TEST_F(Sessions, FailedOpenLeavesTheDriversTextOfItsCauseOnTheStatusLine) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()});
    std::ofstream(bench_->stateDir() / "QM7X-T1.eeprom.yaml") << "record_hex: |\n  01 02\n";
    app::SelMez();
    EXPECT_THAT(messages(), ElementsAre(kMezInitFailed));
    EXPECT_THAT(statusLine(), StartsWith(StatusText(kEepromRead) + " (trqm7x_connect)"));
    EXPECT_THAT(statusLine(), ::testing::AllOf(::testing::HasSubstr("2 байт вместо 112"),
                                               ::testing::HasSubstr("QM7X-T1.eeprom.yaml")));
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
}

// A failed init is shown the same way, not the connect that could only fail after it.
TEST_F(Sessions, FailedInitLeavesItsOwnTextOnTheStatusLine) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_init", kBusy, 2}});
    app::SelMez();
    ASSERT_TRUE(recordBound());
    EXPECT_EQ(reselect(), 0);
    EXPECT_THAT(statusLine(), StartsWith(StatusText(kBusy) + " (trqm7x_init); "));
}

TEST_F(Sessions, FailedMemoryQueryIsReturnedAndEndsTheSelection) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trholdr_mem_q", kTimeout, 2}});
    app::SelMez();
    ASSERT_TRUE(recordBound());
    EXPECT_EQ(reselect(), kTimeout);
    EXPECT_EQ(statusLine(), StatusText(kTimeout) + " (trholdr_mem_q)");
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
}

TEST_F(Sessions, FailedBufferReservationEndsTheSelection) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_alloc", kTimeout}});
    app::SelMez();
    EXPECT_EQ(statusLine(), StatusText(kTimeout) + " (trqm7x_alloc)");
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
    EXPECT_THAT(column(4), ElementsAre(0.0, 0.0, 0.0));
    EXPECT_EQ(reselect(), 0);
}

TEST_F(Sessions, FailedFlashReadIsShownAndTheDriversRecordIsLoaded) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_readFlash", kEepromRead}});
    app::SelMez();
    EXPECT_EQ(statusLine(), StatusText(kEepromRead));
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_TRUE(recordBound());
    EXPECT_EQ(column(4), qm7x::coeffCopy.testU);
    EXPECT_THAT(messages(), IsEmpty());
}

TEST_F(Sessions, FailedEventConfigurationIsShownAfterTheLoad) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_config_events", kTimeout}});
    app::SelMez();
    EXPECT_EQ(statusLine(), StatusText(kTimeout));
    EXPECT_TRUE(recordBound());
    EXPECT_THAT(column(4), ElementsAre(1.0, 0.1, 0.01));
    EXPECT_EQ(reselect(), 0);
}

// Without the record's address the session is closed again: the table, a calibration, a store
// and the log would otherwise each see another record.
TEST_F(Sessions, FailedRecordAddressIsShownAndLeavesNoMezzanineOpen) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_get_attribute", kTimeout}});
    app::SelMez();
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_EQ(statusLine(), StatusText(kTimeout) + " (trqm7x_get_attribute)");
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_EQ(qm7x::mezSession, 0u);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
    EXPECT_THAT(column(4), ElementsAre(0.0, 0.0, 0.0));
    EXPECT_THAT(qm7x::rangeIdx, ElementsAre(0, 0, 0));
    // A store then writes no EEPROM: the module's image is still the factory's.
    commitStore(ui_.frontEnd);
    EXPECT_FALSE(std::filesystem::exists(bench_->stateDir() / "QM7X-T1.eeprom.yaml"));
}

// A failed range query is shown and changes neither the range nor the tolerance of the channel.
TEST_F(Sessions, FailedRangeQueryIsShownAndLeavesTheChannelsRange) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_range_q", kTimeout, 1}, {"trqm7x_range_q", kTimeout, 4}});
    app::SelMez();
    // Channel 1 keeps what it held at start (the 10 V range), not a class made of no answer.
    EXPECT_THAT(qm7x::rangeIdx, ElementsAre(0, 1, 2));
    EXPECT_EQ(qm7x::range[0], 0.0);
    EXPECT_EQ(statusLine(),
              "Диапазон канала 1 не прочитан, допуск оставлен прежним: " + StatusText(kTimeout));
}

// A position that cannot be queried is not "no QM7X": the driver's text says why.
TEST_F(Sessions, FailedPositionQueryIsShownInsteadOfNoQm7x) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trholdr_m_type_q", kTimeout}});
    app::SelMez();
    EXPECT_THAT(messages(),
                ElementsAre(Message{"", "Позиция 1 носителя не опрошена (trholdr_m_type_q): " +
                                            StatusText(kTimeout)}));
    EXPECT_EQ(qm7x::mezSession, 0u);
}

TEST_F(Sessions, FailedQueryOfALaterPositionIsShownAndTheEarlierOnesAreOffered) {
    useBench({EmptyPosition(), Qm7x("QM7X-T2", 2.0), EmptyPosition(), Qm7x("QM7X-T4", 4.0)},
             {{"trholdr_m_type_q", kTimeout, 4}});
    app::SelMez();
    EXPECT_THAT(messages(),
                ElementsAre(Message{"", "Позиция 4 носителя не опрошена (trholdr_m_type_q): " +
                                            StatusText(kTimeout)}));
    EXPECT_THAT(ringLabels(), ElementsAre("2"));
    EXPECT_TRUE(recordBound());
}

TEST_F(Sessions, UnreadCarrierTextIsShownInTheTitleAndOnTheStatusLine) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trholdr_m_get_attribute", kTimeout}});
    app::SelMez();
    EXPECT_EQ(qm7x::protocolTitle,
              "Протокол поверки мезонина QM7X N 1 на [описание носителя не прочитано: " +
                  StatusText(kTimeout) + "]");
    EXPECT_EQ(statusLine(), StatusText(kTimeout) + " (trholdr_m_get_attribute)");
    EXPECT_TRUE(recordBound());
}

// A record whose gains are zero or not numbers is loaded, with a warning naming the channels.
TEST_F(Sessions, UnusableGainsAreWarnedOfAtTheLoad) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()});
    app::SelMez();
    ASSERT_EQ(statusLine(), "");
    qm7x::coeffCopy.gain.fill(0.0);
    firstGain(qm7x::coeffCopy, 3) = 1e-9;
    secondGain(qm7x::coeffCopy, 3) = std::nan("");
    commitStore(ui_.frontEnd);
    commit(calibr::readEEPROM, CP_READ_EEPROM);
    EXPECT_EQ(statusLine(),
              "ВНИМАНИЕ! Коэффициенты EEPROM непригодны (нулевые или не числа), канал 1, 2, 3: "
              "модуль нужно откалибровать");
    EXPECT_EQ(qm7x::coeffCopy.gain[0], 0.0);
}

TEST_F(Sessions, StoreDefaultAndLoadOnAnOpenMezzanine) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()});
    app::SelMez();
    ASSERT_GE(ui::SetCtrlVal(qm7x::cpPanel, CP_RANGE, 1.0), 0);
    commit(calibr::allCB, CP_RANGE);
    ASSERT_GE(ui::SetCtrlVal(qm7x::cpPanel, CP_TEST_U, 0.7), 0);
    commit(calibr::allCB, CP_TEST_U);
    ASSERT_GE(ui::SetCtrlIndex(qm7x::cpPanel, CP_RING_LINE, 1), 0);

    commitStore(ui_.frontEnd);
    EXPECT_TRUE(recordBound());
    EXPECT_THAT(qm7x::rangeIdx, ElementsAre(1, 1, 1)) << "ranges refreshed after the store";
    EXPECT_EQ(statusLine(), "");

    commit(calibr::resetCf, CP_RESET_CF);
    EXPECT_THAT(column(3), ElementsAre(10.0, 1.0, 0.1));
    EXPECT_EQ(ringIndex(), 0);
    EXPECT_THAT(qm7x::rangeIdx, ElementsAre(1, 1, 1)) << "no refresh after a default reset";

    commit(calibr::readEEPROM, CP_READ_EEPROM);
    EXPECT_THAT(column(3), ElementsAre(1.0, 1.0, 1.0));
    EXPECT_THAT(column(4), ElementsAre(0.7, 0.7, 0.7));
    EXPECT_EQ(ringIndex(), 1);
    EXPECT_EQ(qm7x::coeffCopy.tag, (std::array<char, 4>{'P', 'X', '9', '4'}));
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
}

TEST_F(Sessions, NewGainsAreStoredByAStoreAndDiscardedByALoad) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()});
    app::SelMez();
    // What a calibration run leaves: a new pair in the driver's record and in the copy.
    const auto calibrate = [](double gain) {
        qm7x::firstGain(*qm7x::coeffPtr, 2) = qm7x::firstGain(qm7x::coeffCopy, 2) = gain;
    };
    calibrate(1.25e-7);
    commitStore(ui_.frontEnd);
    calibrate(9.0e-7);
    commit(calibr::readEEPROM, CP_READ_EEPROM);
    EXPECT_EQ(qm7x::firstGain(qm7x::coeffCopy, 2), 1.25e-7);
    EXPECT_EQ(column(1)[1], 1.25e-7);
}

// A write's status decides whether the ranges are refreshed after the store.
struct WriteCase {
    ViStatus status;
    bool refreshed;
    friend void PrintTo(const WriteCase& c, std::ostream* os) {
        *os << "write status " << c.status << (c.refreshed ? ", refreshed" : ", not refreshed");
    }
};
class StoreStatus : public Sessions, public testing::WithParamInterface<WriteCase> {};

TEST_P(StoreStatus, RefreshFollowsAnythingButAFailedWrite) {
    useBench({Qm7x("QM7X-T1", 1.0), EmptyPosition(), EmptyPosition(), EmptyPosition()},
             {{"trqm7x_writeFlash", GetParam().status, 1}});
    app::SelMez();
    ASSERT_THAT(qm7x::rangeIdx, ElementsAre(0, 1, 2));
    setColumn(3, {1.0, 1.0, 1.0});

    commitStore(ui_.frontEnd);

    EXPECT_THAT(qm7x::coeffPtr->rangeV, ElementsAre(1.0, 1.0, 1.0))
        << "the driver's record is written before the EEPROM";
    if (GetParam().refreshed) {
        EXPECT_THAT(qm7x::rangeIdx, ElementsAre(1, 1, 1));
    } else {
        EXPECT_THAT(qm7x::rangeIdx, ElementsAre(0, 1, 2));
    }
    EXPECT_EQ(statusLine(), GetParam().status == 0 ? "" : StatusText(GetParam().status));
}

INSTANTIATE_TEST_SUITE_P(Statuses, StoreStatus,
                         testing::Values(WriteCase{0, true}, WriteCase{kEepromWrite, false},
                                         WriteCase{kWarning, true}),
                         [](const testing::TestParamInfo<WriteCase>& testCase) {
                             return testCase.param.status == 0  ? std::string("Success")
                                    : testCase.param.status < 0 ? std::string("Error")
                                                                : std::string("Warning");
                         });

}  // namespace
}  // namespace qm7x::test
