// The tables of the lab's metrology records: the laboratory, the register of standards, the
// points' uncertainty budgets, due-date overrides, certificate numbers and certificates.
#pragma once

#include "qm7x/results/schema.h"

namespace qm7x::results {

Migration MetrologySchema(int version);

}  // namespace qm7x::results
