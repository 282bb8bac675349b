#include "qm7x/app/standards_panel.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "p_qm7x.h"
#include "qm7x/metrology/register.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/status_line.h"
#include "qm7x/results/backend.h"
#include "qm7x/results/recorder.h"
#include "qm7x/ui/userint.h"

namespace qm7x::app {

namespace {

constexpr std::string_view kTitle = "Реестр эталонов";

std::string Field(int control) {
    std::string value;
    ui::GetCtrlVal(srPanel, control, value);
    const auto first = value.find_first_not_of(' ');
    const auto last = value.find_last_not_of(' ');
    return first == std::string::npos ? "" : value.substr(first, last - first + 1);
}

std::string UserName() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

// The store of the program's recorder, or nullptr with the cause on the status line.
results::ResultsStore* Store() {
    std::string error;
    results::ResultsStore* store = results::ProgramRecorder().Store(error);
    if (store == nullptr) {
        showStatusError("Реестр эталонов недоступен: " + error);
    }
    return store;
}

void FillList(results::ResultsStore& store) {
    ui::ResetTextBox(srPanel, SR_LIST, "");
    const auto entries = metrology::ListStandards(store);
    if (entries.empty()) {
        ui::InsertTextBoxLine(srPanel, SR_LIST, -1, "Реестр пуст.");
    }
    for (const auto& entry : entries) {
        ui::InsertTextBoxLine(srPanel, SR_LIST, -1, metrology::DescribeEntry(entry));
    }
}

void FillChoice(results::ResultsStore& store) {
    // A renewed standard is a new entry: the choice follows the identifier of the one chosen.
    const std::int64_t chosen = ChosenStandardId();
    const auto chosen_entry = chosen != 0 ? metrology::StandardById(store, chosen) : std::nullopt;
    ui::ClearListCtrl(ppPanel, PP_STANDARD);
    ui::InsertListItem(ppPanel, PP_STANDARD, -1, "не указан", 0);
    int index = 0;
    int chosen_index = 0;
    for (const auto& entry : metrology::CurrentStandards(store)) {
        ++index;
        ui::InsertListItem(
            ppPanel, PP_STANDARD, -1,
            entry.identifier + " (" + entry.certificate_number + ", до " + entry.due_date + ")",
            static_cast<int>(entry.id));
        if (chosen_entry && chosen_entry->identifier == entry.identifier) {
            chosen_index = index;
        }
    }
    ui::SetCtrlIndex(ppPanel, PP_STANDARD, chosen_index);
}

}  // namespace

int standardsCB(int, int, int event, void*, int, int) {
    if (event != ui::EVENT_COMMIT) {
        return 0;
    }
    if (srPanel <= 0 && (srPanel = ui::LoadPanel(0, kResourceFile, SR)) < 0) {
        srPanel = 0;
        showStatusError("Панель реестра эталонов не загружена");
        return 0;
    }
    results::ResultsStore* store = Store();
    if (store == nullptr) {
        return 0;
    }
    try {
        FillList(*store);
        FillChoice(*store);
    } catch (const std::exception& e) {
        showStatusError(std::string("Реестр эталонов не прочитан: ") + e.what());
        return 0;
    }
    ui::DisplayPanel(srPanel);
    return 0;
}

int addStandardCB(int, int, int event, void*, int, int) {
    if (event != ui::EVENT_COMMIT) {
        return 0;
    }
    metrology::StandardEntry entry;
    entry.identifier = Field(SR_IDENT);
    entry.kind = Field(SR_KIND);
    entry.model = Field(SR_MODEL);
    entry.serial = Field(SR_SERIAL);
    entry.certificate_number = Field(SR_CERTIFICATE);
    entry.calibration_date = Field(SR_CAL_DATE);
    entry.due_date = Field(SR_DUE_DATE);
    entry.added_by = UserName();
    std::string problem;
    entry.ranges = metrology::ParseTypedRanges(Field(SR_RANGES), problem);
    if (problem.empty()) {
        problem = metrology::Validate(entry);
    }
    if (!problem.empty()) {
        ui::MessagePopup(kTitle, "Запись не добавлена: " + problem);
        return 0;
    }
    results::ResultsStore* store = Store();
    if (store == nullptr) {
        return 0;
    }
    try {
        const std::int64_t id = metrology::AddStandard(*store, entry);
        FillList(*store);
        FillChoice(*store);
        showStatusInfo("В реестр эталонов добавлена запись " + std::to_string(id) + ": " +
                       entry.identifier + ", сертификат " + entry.certificate_number);
    } catch (const std::exception& e) {
        ui::MessagePopup(kTitle, std::string("Запись не добавлена: ") + e.what());
    }
    return 0;
}

void RefreshStandardChoice() {
    const std::string location = results::DefaultStoreLocation();
    if (!results::IsPostgresLocation(location) && !std::filesystem::exists(location)) {
        return;  // no store yet: nothing registered, "не указан" stands
    }
    results::ResultsStore* store = Store();
    if (store == nullptr) {
        return;
    }
    try {
        FillChoice(*store);
    } catch (const std::exception& e) {
        showStatusError(std::string("Реестр эталонов не прочитан: ") + e.what());
    }
}

std::int64_t ChosenStandardId() {
    int id = 0;
    ui::GetCtrlVal(ppPanel, PP_STANDARD, id);
    return id;
}

}  // namespace qm7x::app
