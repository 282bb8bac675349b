// Reads a panel resource (YAML text) into panel templates. Used by the run-time to load panels
// and by the build-time generator of the constants header, so both read the resource alike.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "qm7x/ui/model.h"

namespace qm7x::ui::detail {

struct PanelTemplate {
    Panel panel;  // handle 0; tab pages hold no handles yet
    // Tab control id -> constants of the panels that are its pages, in page order.
    std::map<int, std::vector<std::string>> tabPagePanels;
};

struct ParsedResource {
    std::vector<PanelTemplate> panels;
    const PanelTemplate* Find(int resourceId) const;
    const PanelTemplate* FindByConstant(std::string_view constant) const;
};

// Parses and checks the resource (unique numbers and constants, control numbers from 2, known
// kinds, tab pages that exist, items fitting their data type). On failure returns false and
// describes the first problem in `error`.
bool ParseResource(std::string_view text, ParsedResource& out, std::string& error);

}  // namespace qm7x::ui::detail
