// A certificate of plain data for the tests and the benchmark: points on all three channels,
// as found and as left, one standard.
#pragma once

#include <string>

#include "qm7x/certificate/model.h"

namespace qm7x::certificate {

inline PointRow SamplePoint(int i) {
    PointRow p;
    p.channel = 1 + i % 3;
    p.range_v = p.channel == 1 ? 10.0 : p.channel == 2 ? 1.0 : 0.1;
    p.un_v = p.range_v * (i % 2 == 0 ? 0.9 : -0.5);
    p.ux_v = p.un_v + 1e-6 * (i + 1);  // every row's Ux differs
    p.tolerance_v = p.channel == 2 ? 0.0001 * std::abs(p.un_v) + 0.00035 : 0.00035;
    p.norm = true;
    p.uncertainty = PointUncertainty{2.4e-5, 2.0, 120.0};
    p.standard_identifier = "КВ-01";
    p.recorded_at = "2026-12-07T10:15:02+03:00";
    p.temperature = "+18 ... +22 C";
    p.passband = "менее 500 кГц";
    p.period_s = 0.0002;
    return p;
}

inline Certificate SampleCertificate(int points_as_left, int points_as_found = 0) {
    Certificate c;
    c.number = "QM7X-2026-000017";
    c.laboratory = {"Метрологическая лаборатория <ООО «Аркомет»>", "Москва, ул. Примерная, 1"};
    c.module = {"QM7X-0412", "QM7X ред. 2, ПЛИС 1.4", "TRHOLDR Н.М., крейт 1, слот 5"};
    c.calibration_dates = "2026-12-07";
    c.issue_date = "2026-12-07";
    c.standards.push_back({"КВ-01", "калибратор напряжения", "DVC-5520", "A1234",
                           "С-ГА/07-12-2026/123456", "2026-03-01", "2027-03-01"});
    for (int i = 0; i < points_as_found; ++i) {
        c.as_found.push_back(SamplePoint(i));
    }
    for (int i = 0; i < points_as_left; ++i) {
        c.as_left.push_back(SamplePoint(i));
    }
    c.coefficients.push_back({1,
                              10.0,
                              {1.1920928955078125e-06, 1.1920928955078125e-06},
                              {1.1968612670898439e-06, 1.1885166168212891e-06}});
    c.software = {"p_qm7x 1.2.1",
                  "libtrqm7x_math.so.1, версия:1.0, дата:07-12-2026, CRC32=7AA4E1A1"};
    return c;
}

}  // namespace qm7x::certificate
