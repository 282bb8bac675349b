// The panel resource read into panel templates: the panels, their controls (resource_controls.cpp)
// and the checks across them.
#include "resource_parser.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <set>

#include "resource_fields.h"

namespace qm7x::ui::detail {
namespace {
PanelTemplate ReadPanel(const YAML::Node& node, int order) {
    PanelTemplate t;
    Panel& p = t.panel;
    const std::string where0 = "panel#" + std::to_string(order + 1);
    if (!node["number"] || !node["constant"]) {
        Fail(where0, "needs number and constant");
    }
    p.resourceId = static_cast<int>(Integer(node["number"], where0 + ".number"));
    p.constant = node["constant"].as<std::string>();
    const std::string where = p.constant;
    if (p.resourceId < 1) {
        Fail(where, "panel numbers start at 1");
    }
    p.title = Text(node, "title");
    p.callbackName = Text(node, "callback");
    p.geometry = {0, 0, 400, 300};
    const bool centered = Text(node, "top") == "center" || Text(node, "left") == "center";
    if (centered) {
        p.centered = true;
        p.geometry.width = Int(node, "width", 400, where);
        p.geometry.height = Int(node, "height", 300, where);
    } else {
        ReadGeometry(node, p.geometry, where);
    }
    p.backColor = Int(node, "back_color", VAL_PANEL_GRAY, where);
    p.sizable = Flag(node, "sizable", false);
    std::set<int> ids;
    std::set<std::string> constants;
    if (const YAML::Node controls = node["controls"]) {
        int i = 0;
        for (const auto& cn : controls) {
            std::vector<std::string> pages;
            Control c = ReadControl(cn, where, i++, pages);
            if (!ids.insert(c.id).second || !constants.insert(c.constant).second) {
                Fail(where + "." + c.constant, "control number or constant used twice");
            }
            if (!pages.empty()) {
                t.tabPagePanels[c.id] = pages;
            }
            p.controls.push_back(std::move(c));
        }
    }
    // Controls listed first lie furthest back (0 = front), unless the resource says otherwise.
    const int count = static_cast<int>(p.controls.size());
    for (int k = 0; k < count; ++k) {
        Control& c = p.controls[static_cast<std::size_t>(k)];
        if (c.zPlane < 0) {
            c.zPlane = count - 1 - k;
        }
    }
    if (const YAML::Node close = node["close_ctrl"]) {
        const std::string name = close.as<std::string>();
        auto it = std::find_if(p.controls.begin(), p.controls.end(),
                               [&](const Control& c) { return c.constant == name; });
        if (it == p.controls.end()) {
            Fail(where, "close_ctrl '" + name + "' is not a control of the panel");
        }
        p.closeCtrl = it->id;
    }
    return t;
}

}  // namespace

const PanelTemplate* ParsedResource::Find(int resourceId) const {
    for (const PanelTemplate& t : panels) {
        if (t.panel.resourceId == resourceId) {
            return &t;
        }
    }
    return nullptr;
}

const PanelTemplate* ParsedResource::FindByConstant(std::string_view constant) const {
    for (const PanelTemplate& t : panels) {
        if (t.panel.constant == constant) {
            return &t;
        }
    }
    return nullptr;
}

bool ParseResource(std::string_view text, ParsedResource& out, std::string& error) {
    out.panels.clear();
    try {
        const YAML::Node root = YAML::Load(std::string(text));
        const YAML::Node panels = root["panels"];
        if (!panels || !panels.IsSequence()) {
            Fail("resource", "needs a list 'panels'");
        }
        std::set<int> numbers;
        std::set<std::string> constants;
        int i = 0;
        for (const auto& pn : panels) {
            PanelTemplate t = ReadPanel(pn, i++);
            if (!numbers.insert(t.panel.resourceId).second ||
                !constants.insert(t.panel.constant).second) {
                Fail(t.panel.constant, "panel number or constant used twice");
            }
            out.panels.push_back(std::move(t));
        }
        for (const PanelTemplate& t : out.panels) {
            for (const auto& [ctrl, pages] : t.tabPagePanels) {
                for (const std::string& page : pages) {
                    const PanelTemplate* pt = out.FindByConstant(page);
                    if (!pt || !pt->tabPagePanels.empty() || page == t.panel.constant) {
                        Fail(t.panel.constant,
                             "tab page '" + page + "' is not a panel without tab pages of its own");
                    }
                }
            }
        }
        return true;
    } catch (const ResourceError& e) {
        error = e.what();
    } catch (const YAML::Exception& e) {
        error = std::string("YAML: ") + e.what();
    }
    out.panels.clear();
    return false;
}

}  // namespace qm7x::ui::detail
