#include "status.h"

#include <array>
#include <cstdio>

namespace qm7x::sim {
namespace {

struct KnownStatus {
    ViStatus status;
    std::string_view name;
    std::string_view text;
};

constexpr std::array kKnown{
    KnownStatus{VI_SUCCESS, "VI_SUCCESS", "Успешное завершение"},
    KnownStatus{VI_WARN_UNKNOWN_STATUS, "VI_WARN_UNKNOWN_STATUS", "Неизвестный код состояния"},
    KnownStatus{VI_ERROR_SYSTEM_ERROR, "VI_ERROR_SYSTEM_ERROR", "Системная ошибка драйвера"},
    KnownStatus{VI_ERROR_INV_OBJECT, "VI_ERROR_INV_OBJECT",
                "Недействительный сеанс: устройство не открыто"},
    KnownStatus{VI_ERROR_RSRC_LOCKED, "VI_ERROR_RSRC_LOCKED",
                "Устройство занято другим приложением"},
    KnownStatus{VI_ERROR_INV_EXPR, "VI_ERROR_INV_EXPR", "Неверное выражение поиска ресурсов"},
    KnownStatus{VI_ERROR_RSRC_NFOUND, "VI_ERROR_RSRC_NFOUND", "Устройство не найдено"},
    KnownStatus{VI_ERROR_INV_RSRC_NAME, "VI_ERROR_INV_RSRC_NAME", "Неверное имя ресурса"},
    KnownStatus{VI_ERROR_INV_ACC_MODE, "VI_ERROR_INV_ACC_MODE", "Неверный режим доступа"},
    KnownStatus{VI_ERROR_TMO, "VI_ERROR_TMO", "Истекло время ожидания ответа устройства"},
    KnownStatus{VI_ERROR_NSUP_ATTR, "VI_ERROR_NSUP_ATTR", "Атрибут не поддерживается"},
    KnownStatus{VI_ERROR_INV_LOCK_TYPE, "VI_ERROR_INV_LOCK_TYPE", "Неверный тип блокировки"},
    KnownStatus{VI_ERROR_ALLOC, "VI_ERROR_ALLOC", "Недостаточно памяти"},
    KnownStatus{VI_ERROR_IO, "VI_ERROR_IO", "Ошибка обмена с устройством"},
    KnownStatus{VI_ERROR_INV_FMT, "VI_ERROR_INV_FMT", "Неверная строка формата"},
    KnownStatus{VI_ERROR_NSUP_OPER, "VI_ERROR_NSUP_OPER", "Операция не поддерживается"},
    KnownStatus{VI_ERROR_LIBRARY_NFOUND, "VI_ERROR_LIBRARY_NFOUND", "Не найдена библиотека VISA"},
    KnownStatus{kErrorUserBuf, "VI_ERROR_USER_BUF", "Неверный адрес буфера"},
    KnownStatus{kErrorSessionNotLocked, "VI_ERROR_SESN_NLOCKED",
                "Ресурс не заблокирован этим сеансом"},
    KnownStatus{kWarnNullObject, "VI_WARN_NULL_OBJECT", "Пустой идентификатор сеанса"},
    KnownStatus{kSuccessNestedExclusive, "VI_SUCCESS_NESTED_EXCLUSIVE",
                "Ресурс уже заблокирован этим сеансом"},
    KnownStatus{kErrorParameter1, "VI_ERROR_PARAMETER1", "Неверное значение параметра 1"},
    KnownStatus{kErrorParameter2, "VI_ERROR_PARAMETER2", "Неверное значение параметра 2"},
    KnownStatus{kErrorParameter3, "VI_ERROR_PARAMETER3", "Неверное значение параметра 3"},
    KnownStatus{kErrorParameter4, "VI_ERROR_PARAMETER4", "Неверное значение параметра 4"},
    KnownStatus{kErrorParameter5, "VI_ERROR_PARAMETER5", "Неверное значение параметра 5"},
    KnownStatus{kErrorParameter6, "VI_ERROR_PARAMETER6", "Неверное значение параметра 6"},
    KnownStatus{kErrorParameter7, "VI_ERROR_PARAMETER7", "Неверное значение параметра 7"},
    KnownStatus{kErrorFailIdQuery, "VI_ERROR_FAIL_ID_QUERY",
                "Устройство не опознано: это не носитель мезонинов TRHOLDR"},
    KnownStatus{kErrorBench, "TRQM7X_ERROR_BENCH", "Ошибка файла описания стенда"},
    KnownStatus{kErrorNotConnected, "TRQM7X_ERROR_NOT_CONNECTED",
                "Мезонин не подключён к позиции носителя"},
    KnownStatus{kErrorNoQm7x, "TRQM7X_ERROR_NO_QM7X", "На этой позиции носителя нет мезонина QM7X"},
    KnownStatus{kErrorCarrierMismatch, "TRQM7X_ERROR_CARRIER_MISMATCH",
                "Сеанс носителя открыт для другого устройства"},
    KnownStatus{kErrorBusy, "TRQM7X_ERROR_BUSY", "Идёт измерение: операция недоступна"},
    KnownStatus{kErrorNoData, "TRQM7X_ERROR_NO_DATA", "Запрошенные отсчёты не были измерены"},
    KnownStatus{kErrorBlockTooLong, "TRQM7X_ERROR_BLOCK_TOO_LONG",
                "Блок не помещается в выделенный буфер"},
    KnownStatus{kErrorEepromRead, "TRQM7X_ERROR_EEPROM_READ", "Ошибка чтения EEPROM мезонина"},
    KnownStatus{kErrorEepromWrite, "TRQM7X_ERROR_EEPROM_WRITE", "Ошибка записи EEPROM мезонина"},
    KnownStatus{kErrorCalibration, "TRQM7X_ERROR_CALIBRATION",
                "Калибровка невозможна: коэффициент не вычисляется по этим отсчётам"},
    KnownStatus{kErrorPositionInUse, "TRQM7X_ERROR_POSITION_IN_USE",
                "Мезонин уже открыт другим сеансом"},
    KnownStatus{kErrorNotCarrier, "TRHOLDR_ERROR_NOT_CARRIER",
                "Носитель не открыт: неверный сеанс носителя"},
    KnownStatus{kWarnEepromBlank, "TRQM7X_WARN_EEPROM_BLANK",
                "EEPROM мезонина не записана: установлены коэффициенты по умолчанию"},
};

}  // namespace

std::optional<std::string> StatusText(ViStatus status) {
    for (const auto& known : kKnown) {
        if (known.status == status) {
            return std::string(known.text);
        }
    }
    return std::nullopt;
}

std::optional<ViStatus> StatusByName(std::string_view name) {
    for (const auto& known : kKnown) {
        if (known.name == name) {
            return known.status;
        }
    }
    return std::nullopt;
}

}  // namespace qm7x::sim
