// The register of standards in the program: the panel that lists the register and adds an
// entry ("Эталоны" on the main panel), and the choice of the standard in use on the
// "Поверка" page ("не указан" by default).
#pragma once

#include <cstdint>

namespace qm7x::app {

// "Эталоны": shows the register's panel with the list read from the results store.
int standardsCB(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);
// "Добавить": checks the typed entry and appends it to the register.
int addStandardCB(int panel, int control, int event, void* callbackData, int eventData1,
                  int eventData2);

// Fills the "Поверка" page's choice of standard with the register's entries in force, keeping
// the choice when it is still there; "не указан" otherwise. Reads an existing store only: at
// start-up no store is created for it.
void RefreshStandardChoice();

// The register entry chosen on the "Поверка" page; 0 for "не указан".
std::int64_t ChosenStandardId();

}  // namespace qm7x::app
