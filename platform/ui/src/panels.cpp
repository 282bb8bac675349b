// Panels: loading from the resource, building at run time, showing, hiding, discarding,
// pop-ups and tab pages. Panel attributes are in panel_attributes.cpp.
#include <algorithm>
#include <set>

#include "callbacks.h"
#include "controls_internal.h"
#include "resources.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Lookup;
using detail::Notify;
using detail::State;

namespace {

std::unique_ptr<Panel> Instantiate(const detail::PanelTemplate& t, int parent) {
    auto panel = std::make_unique<Panel>(t.panel);
    panel->parent = parent;
    for (Control& c : panel->controls) {
        detail::RestoreDefault(c);
    }
    return panel;
}

// Handles of the panel and every panel below it, children first.
void CollectTree(int handle, std::vector<int>& out) {
    for (int h : State().loadOrder) {
        const Panel* p = detail::PanelOf(h);
        if (p && p->parent == handle) {
            CollectTree(h, out);
        }
    }
    out.push_back(handle);
}

std::set<int>& Discarding() {
    static std::set<int> handles;
    return handles;
}

}  // namespace

int LoadPanel(int parentPanel, std::string_view file, int resourceId) {
    if (parentPanel != 0 && !detail::PanelOf(parentPanel)) {
        return UIEHandleInvalid;
    }
    int error = 0;
    auto resource = detail::GetResource(file, error);
    if (!resource) {
        return error;
    }
    const detail::PanelTemplate* t = resource->Find(resourceId);
    if (!t) {
        return UIEPanelNotInResource;
    }
    const int handle = detail::AddPanel(Instantiate(*t, parentPanel));
    std::vector<int> pages;
    for (const auto& [ctrl, pageConstants] : t->tabPagePanels) {
        for (std::size_t i = 0; i < pageConstants.size(); ++i) {
            const detail::PanelTemplate* pt = resource->FindByConstant(pageConstants[i]);
            auto page = Instantiate(*pt, handle);
            page->tabPageOf = handle;
            page->visible = true;  // shown whenever its tab control is
            const int pageHandle = detail::AddPanel(std::move(page));
            Control* tab = nullptr;
            detail::Lookup(handle, ctrl, tab);
            tab->pages[i].panel = pageHandle;
            pages.push_back(pageHandle);
        }
    }
    Notify([&](FrontEnd& fe) { fe.PanelLoaded(handle); });
    for (int page : pages) {
        Notify([&](FrontEnd& fe) { fe.PanelLoaded(page); });
    }
    return handle;
}

int NewPanel(int parentPanel, std::string_view title, int top, int left, int height, int width) {
    if (parentPanel != 0 && !detail::PanelOf(parentPanel)) {
        return UIEHandleInvalid;
    }
    if (height < 0 || width < 0) {
        return UIEInvalidArgument;
    }
    auto panel = std::make_unique<Panel>();
    panel->parent = parentPanel;
    panel->title = title;
    panel->centered = top == VAL_AUTO_CENTER || left == VAL_AUTO_CENTER;
    panel->geometry = {panel->centered ? 0 : top, panel->centered ? 0 : left, width, height};
    const int handle = detail::AddPanel(std::move(panel));
    Notify([&](FrontEnd& fe) { fe.PanelLoaded(handle); });
    return handle;
}

int DisplayPanel(int panel) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    p->visible = true;
    Notify([&](FrontEnd& fe) { fe.PanelDisplayed(panel); });
    return 0;
}

int HidePanel(int panel) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    auto& popups = State().popups;
    if (auto it = std::find(popups.begin(), popups.end(), panel); it != popups.end()) {
        popups.erase(it);
        p->visible = false;
        Notify([&](FrontEnd& fe) { fe.PopupRemoved(panel); });
        return 0;
    }
    p->visible = false;
    Notify([&](FrontEnd& fe) { fe.PanelHidden(panel); });
    return 0;
}

int DiscardPanel(int panel) {
    if (!detail::PanelOf(panel)) {
        return UIEHandleInvalid;
    }
    if (!Discarding().insert(panel).second) {
        return 0;  // a callback of the panel discards it again while it is being discarded
    }
    struct Done {
        int panel;
        ~Done() { Discarding().erase(panel); }
    } done{panel};
    std::vector<int> tree;
    CollectTree(panel, tree);
    for (int h : tree) {
        // Callbacks learn of the discard first, while the panel can still be read.
        if (Panel* p = detail::PanelOf(h)) {
            std::vector<int> ids;
            for (const Control& c : p->controls) {
                // Names nobody registered were reported when they were used; a discard only
                // tells the callbacks that exist.
                if (c.callback || detail::FindCtrlCallback(c.callbackName)) {
                    ids.push_back(c.id);
                }
            }
            for (int id : ids) {
                DispatchUserEvent(h, id, EVENT_DISCARD);
            }
            Panel* again = detail::PanelOf(h);  // the callbacks may have changed the model
            if (again && (again->callback || detail::FindPanelCallback(again->callbackName))) {
                DispatchUserEvent(h, 0, EVENT_DISCARD);
            }
        }
    }
    detail::Runtime& rt = State();
    for (int h : tree) {
        if (!detail::PanelOf(h)) {
            continue;
        }
        if (auto it = std::find(rt.popups.begin(), rt.popups.end(), h); it != rt.popups.end()) {
            rt.popups.erase(it);
            Notify([&](FrontEnd& fe) { fe.PopupRemoved(h); });
        }
        Notify([&](FrontEnd& fe) { fe.PanelDiscarded(h); });
        rt.panels.erase(h);
        std::erase(rt.loadOrder, h);
    }
    return 0;
}

int InstallPopup(int panel) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    auto& popups = State().popups;
    if (std::find(popups.begin(), popups.end(), panel) != popups.end()) {
        return UIEInvalidArgument;  // already a pop-up
    }
    popups.push_back(panel);
    p->visible = true;
    Notify([&](FrontEnd& fe) { fe.PopupInstalled(panel); });
    return 0;
}

int RemovePopup(int removeAll) {
    auto& popups = State().popups;
    if (popups.empty()) {
        return UIENotAPopup;
    }
    do {
        const int panel = popups.back();
        popups.pop_back();
        if (Panel* p = detail::PanelOf(panel)) {
            p->visible = false;
        }
        Notify([&](FrontEnd& fe) { fe.PopupRemoved(panel); });
    } while (removeAll != 0 && !popups.empty());
    return 0;
}

int InstallPanelCallback(int panel, PanelCallbackPtr fn, void* callbackData) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    p->callback = fn;
    p->callbackData = callbackData;
    p->callbackName.clear();
    return 0;
}

namespace {

int LookupTab(int panel, int tabControl, Control*& tab) {
    if (int e = Lookup(panel, tabControl, tab); e < 0) {
        return e;
    }
    return tab->kind == CtrlKind::Tab ? 0 : UIEAttributeNotValid;
}

}  // namespace

int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int& pagePanel) {
    Control* tab = nullptr;
    if (int e = LookupTab(panel, tabControl, tab); e < 0) {
        return e;
    }
    if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size())) {
        return UIEIndexOutOfRange;
    }
    pagePanel = tab->pages[static_cast<std::size_t>(pageIndex)].panel;
    return 0;
}

int SetActiveTabPage(int panel, int tabControl, int pageIndex) {
    Control* tab = nullptr;
    if (int e = LookupTab(panel, tabControl, tab); e < 0) {
        return e;
    }
    if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size())) {
        return UIEIndexOutOfRange;
    }
    tab->activePage = pageIndex;
    Notify([&](FrontEnd& fe) { fe.ActiveTabPageChanged(panel, tabControl); });
    return 0;
}

int GetActiveTabPage(int panel, int tabControl, int& pageIndex) {
    Control* tab = nullptr;
    if (int e = LookupTab(panel, tabControl, tab); e < 0) {
        return e;
    }
    pageIndex = tab->activePage;
    return 0;
}

int SetActiveCtrl(int panel, int control) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    detail::PanelOf(panel)->activeCtrl = control;
    Notify([&](FrontEnd& fe) { fe.ActiveControlChanged(panel, control); });
    return 0;
}

int GetActiveCtrl(int panel, int& control) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    control = p->activeCtrl;
    return 0;
}

}  // namespace qm7x::ui
