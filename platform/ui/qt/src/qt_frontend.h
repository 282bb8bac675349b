// The Qt front end: keeps one PanelView per loaded panel in step with the run-time's model.
#pragma once

#include <QApplication>
#include <QTimer>
#include <map>
#include <memory>

#include "panel_view.h"
#include "qm7x/ui/frontend.h"

namespace qm7x::ui::qt {

class QtFrontEnd final : public FrontEnd, private PanelResolver {
  public:
    // Uses the running QApplication or creates one from the command line (argc must outlive
    // the front end).
    QtFrontEnd(int& argc, char** argv);
    ~QtFrontEnd() override;
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;

    // The widget of a panel (window, page or child), nullptr if it has none.
    QWidget* PanelWidgetOf(int panel) const;
    // The body widget of a control, nullptr if it has none.
    QWidget* ControlWidgetOf(int panel, int control) const;

    int Initialize(int argc, char** argv) override;

    void PanelLoaded(int panel) override;
    void PanelDisplayed(int panel) override;
    void PanelHidden(int panel) override;
    void PanelDiscarded(int panel) override;
    void PopupInstalled(int panel) override;
    void PopupRemoved(int panel) override;
    void PanelAttributeChanged(int panel, int attribute) override;
    void ControlAdded(int panel, int control) override;
    void ControlDiscarded(int panel, int control) override;
    void ControlValueChanged(int panel, int control) override;
    void ControlAttributeChanged(int panel, int control, int attribute) override;
    void ControlItemsChanged(int panel, int control) override;
    void TableCellsChanged(int panel, int control, Rect cells) override;
    void TextBoxLinesChanged(int panel, int control) override;
    void ActiveTabPageChanged(int panel, int control) override;
    void ActiveControlChanged(int panel, int control) override;
    void GraphPlotsChanged(int panel, int control) override;

    void ShowMessage(std::string_view title, std::string_view message) override;
    int Confirm(std::string_view title, std::string_view message) override;
    int Prompt(std::string_view title, std::string_view message, std::string& reply,
               int maxReplyLength) override;
    int SelectFile(const FileSelectOptions& options, std::string& path) override;
    void WaitCursorChanged(bool on) override;

    void ProcessEvents() override;
    int WaitForEvents(double timeoutSeconds) override;
    void WakeUp() override;

    int SavePanelImage(int panel, const std::string& path) override;

  private:
    QWidget* PageWidget(int pagePanel) override;
    PanelView* Ensure(int panel);
    PanelView* Find(int panel) const;
    ControlView* FindView(int panel, int control) const;
    // Deletes widgets of discarded panels and controls unless a widget's signal is running.
    void CollectDiscarded();

    std::unique_ptr<QApplication> ownedApp_;
    std::map<int, std::unique_ptr<PanelView>> panels_;
    std::unique_ptr<QTimer> wakeTimer_;
    bool waitCursor_ = false;
};

}  // namespace qm7x::ui::qt
