// Opening the carrier, listing its QM7X positions and binding the chosen mezzanine.
#include "qm7x/app/sessions.h"

#include <string>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/calibr/coeff_storage.h"
#include "qm7x/os/encoding.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/page_feedback.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::app {

namespace {

constexpr const char* kCarrierInitFailed =
    "          Ошибка инициализации.\nУстройство занято либо не сконфигурировано\n"
    "          Менеджером Ресурсов.";
constexpr const char* kNoQM7X = "нет наших мезонинов на базе";
constexpr const char* kMezInitFailed = "Ошибка инициализации";
constexpr const char* kInitialising = "Идет инициализация";

// Every failed step of a mezzanine open, in the order met, each with the driver's text: shown
// together on the status line when the open ends, the first cause first, before anything the
// load showed after it.
class OpenFailures {
  public:
    OpenFailures() = default;
    OpenFailures(const OpenFailures&) = delete;
    OpenFailures& operator=(const OpenFailures&) = delete;
    ~OpenFailures() {
        if (texts_.empty()) {
            return;
        }
        std::string shown;
        ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, shown);
        int colour = kStatusWhite;
        ui::GetCtrlAttribute(mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, colour);
        std::string text;
        for (const auto& failure : texts_) {
            text += (text.empty() ? "" : "; ") + failure;
        }
        if (!shown.empty() && colour == kStatusRed && shown != kInitialising) {
            text += "; " + shown;
        }
        showStatusError(text);
    }
    void add(const char* operation, ViStatus status) {
        texts_.push_back(driverStatusText(status) + " (" + operation + ")");
    }

  private:
    std::vector<std::string> texts_;
};

// Reads a driver text attribute of the carrier; driver texts are Windows-1251. A failed read
// leaves the title saying so, with the driver's text, instead of ending in "на ".
std::string carrierText(ViSession carrier, OpenFailures& failures) {
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> text{};  // one spare byte keeps it terminated
    const ViStatus status = trholdr_m_get_attribute(carrier, TRHOLDR_ATTR_DESCRIPTION, text.data());
    if (status < 0) {
        failures.add("trholdr_m_get_attribute", status);
        return "[описание носителя не прочитано: " + driverStatusText(status) + "]";
    }
    return os::FromCp1251(text.data());
}

// "Протокол поверки мезонина QM7X N <position> на <carrier text>".
std::string makeProtocolTitle(int position, const std::string& carrier) {
    const std::string mezzanine = "QM7X N " + std::to_string(position) + " на " + carrier;
    return "Протокол поверки мезонина " + mezzanine;
}

// The driver's record is valid only while its session is open; without one, the program's copy
// stands in for it.
void unbindCoeffRecord() {
    coeffPtr = &coeffCopy;
}

// A mezzanine whose open failed before its record was bound is closed again: calibrated, stored
// and logged, the program's copy and the driver's record would differ. One record or none.
void abandonMezzanine(OpenFailures& failures) {
    if (mezSession != 0) {
        if (const ViStatus status = trqm7x_close(mezSession); status < 0) {
            failures.add("trqm7x_close", status);
        }
        mezSession = 0;
    }
    unbindCoeffRecord();
}

// Where the carrier sits: the crate's logical address and the slot of a VXI carrier. A Vektrum
// box sits in no crate, and without a carrier there is no place to show: both stay empty.
void showCarrierLocation() {
    const bool vxi = CurrentInstr != nullptr && CurrentInstr->modelCode != kModelVektrum &&
                     CurrentInstr->slot != kSlotVektrum;
    for (const int control : {MP_K, MP_S}) {
        ui::SetCtrlAttribute(mpPanel, control, ui::ATTR_VISIBLE, vxi ? 1 : 0);
    }
    if (vxi) {
        ui::SetCtrlVal(mpPanel, MP_K, static_cast<unsigned short>(CurrentInstr->mainframeLA));
        ui::SetCtrlVal(mpPanel, MP_S, static_cast<unsigned short>(CurrentInstr->slot));
    }
}

}  // namespace

int defMezonin(ViSession carrier, std::array<int, 4>& types, int* failedPosition) {
    for (int position = 1; position <= 4; ++position) {
        ViInt16 present = 0;
        ViInt16 type = 0;
        const ViStatus status =
            trholdr_m_type_q(carrier, static_cast<ViInt16>(position), &present, &type);
        if (status < 0) {
            if (failedPosition != nullptr) {
                *failedPosition = position;
            }
            return status;
        }
        types[position - 1] = present != 0 ? type : 0;
    }
    return 0;
}

void SelMez() {
    showCarrierLocation();
    if (CurrentInstr == nullptr) {
        return;
    }
    if (trholdr_init(CurrentInstr->rsrcName, 1, 1, &carrierSession) < 0) {
        carrierSession = 0;
        ui::MessagePopup("", kCarrierInitFailed);
        return;
    }
    CurrentInstr->session = carrierSession;
    int failedPosition = 0;
    const ViStatus typeStatus = defMezonin(carrierSession, mezonin, &failedPosition);
    // Positions from the failed one on are unknown: that, not "no QM7X", is what the operator
    // must read.
    const std::string typeFailure =
        typeStatus < 0
            ? "Позиция " + std::to_string(failedPosition) +
                  " носителя не опрошена (trholdr_m_type_q): " + driverStatusText(typeStatus)
            : std::string();

    ui::ClearListCtrl(mpPanel, MP_MEZ_NUM);
    bool any = false;
    for (int position = 1; position <= 4; ++position) {
        if (mezonin[position - 1] == kTypeQM7X) {
            ui::InsertListItem(mpPanel, MP_MEZ_NUM, -1, std::to_string(position), position);
            any = true;
        }
    }
    if (!any) {
        ui::MessagePopup("", typeFailure.empty() ? kNoQM7X : typeFailure.c_str());
        return;
    }
    if (!typeFailure.empty()) {
        ui::MessagePopup("", typeFailure.c_str());
    }
    ui::SetActiveCtrl(mpPanel, MP_MEZ_NUM);
    showStatusInfo(kInitialising);
    ui::DisplayPanel(mpPanel);
    selMezonin(mpPanel, MP_MEZ_NUM, ui::EVENT_COMMIT, nullptr, 0, 0);
}

int closeMezSession() {
    const int status = checkErr(trqm7x_close(mezSession));
    if (status >= 0) {
        mezSession = 0;
        unbindCoeffRecord();
    }
    return status;
}

int selMezonin(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
               int /*eventData2*/) {
    // A run in progress keeps its mezzanine until it ends.
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    // With no QM7X listed there is no position to open.
    int items = 0;
    if (ui::GetNumListItems(panel, MP_MEZ_NUM, items) < 0 || items == 0) {
        return 0;
    }

    showStatusInfo(kInitialising);
    ui::DisplayPanel(mpPanel);

    if (mezSession != 0) {
        if (closeMezSession() < 0) {
            return 0;  // the old session stays
        }
        if (!protocolFileName.empty()) {
            verify::DiscardChlp(1);
            protocolFileName.clear();
            verify::ShowProtocolFileName();
        }
    }

    unsigned short position = 0;
    ui::GetCtrlVal(panel, MP_MEZ_NUM, position);

    // Every failed step is why the module did not open as it should: all of them reach the
    // status line, the first cause first, whatever the rest of the sequence runs into after it.
    OpenFailures failures;
    ViRsrc resource = CurrentInstr != nullptr ? CurrentInstr->rsrcName : nullptr;
    if (const ViStatus status = trqm7x_init(resource, 1, 1, &mezSession); status != 0) {
        ui::MessagePopup("", kMezInitFailed);
        failures.add("trqm7x_init", status);
    }
    if (const ViStatus status =
            trqm7x_connect(mezSession, carrierSession, static_cast<ViInt16>(position), 1, 1);
        status != 0) {
        ui::MessagePopup("", kMezInitFailed);
        failures.add("trqm7x_connect", status);
    }

    if (carrierSession != 0) {
        ui::DefaultPanel(mpPanel);
        showCarrierLocation();
        ui::SetCtrlVal(mpPanel, MP_MEZ_NUM, position);
        protocolTitle = makeProtocolTitle(position, carrierText(carrierSession, failures));
        protocolFileName.clear();
        verify::ShowProtocolFileName();
        if (mezSession != 0) {
            ViUInt32 memorySize = 0;
            if (const ViStatus status = trholdr_mem_q(carrierSession, &memorySize); status < 0) {
                failures.add("trholdr_mem_q", status);
                abandonMezzanine(failures);
                return status;
            }
            if (const ViStatus status =
                    trqm7x_alloc(mezSession, static_cast<ViInt32>(memorySize / 64));
                status < 0) {
                failures.add("trqm7x_alloc", status);
                abandonMezzanine(failures);
                return 0;
            }
        }
    }

    void* record = nullptr;
    if (const ViStatus status = trqm7x_get_attribute(mezSession, TRQM7X_ATTR_COEFF_RECORD, &record);
        status < 0 || record == nullptr) {
        failures.add("trqm7x_get_attribute", status < 0 ? status : VI_ERROR_INV_OBJECT);
        abandonMezzanine(failures);
        return 0;
    }
    coeffPtr = static_cast<CoeffRecord*>(record);

    calibr::refreshRanges();
    calibr::loadCoefficients();
    checkErr(trqm7x_config_events(mezSession, 0, 0));
    return 0;
}

}  // namespace qm7x::app
