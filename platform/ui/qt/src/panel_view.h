// The widget of one panel and the views of its controls. A top-level panel is a window; a tab
// page is a page of its tab control; a child panel sits inside its parent's widget.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>

#include "control_view.h"

namespace qm7x::ui::qt {

// The window (or page) itself: turns the close box and resizing into panel events.
class PanelWidget : public QWidget {
    Q_OBJECT
  public:
    PanelWidget(int panel, QWidget* parent, Qt::WindowFlags flags);
    int Handle() const { return panel_; }
    // Resizing done by the program, not by the operator: no size event.
    void ResizeQuietly(int width, int height);
    // True while the operator's new size is being written into the model.
    bool ReportingSize() const { return reportingSize_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int panel_;
    bool resizingQuietly_ = false;
    bool reportingSize_ = false;
};

class PanelView {
  public:
    PanelView(const Panel& panel, QWidget* parent, PanelResolver& resolver);
    ~PanelView();
    PanelView(const PanelView&) = delete;
    PanelView& operator=(const PanelView&) = delete;

    PanelWidget* Widget() const { return widget_; }
    bool IsWindow() const { return window_; }
    ControlView* Find(int control) const;

    // Title, colour and size; the window's place only when `place` (at first and when the
    // program moves it), so that a window the operator moved stays where it is.
    void ShowAttributes(const Panel& panel, bool place);
    void AddControl(const Control& control);
    void RemoveControl(int control);
    // Re-stacks the controls from back to front (the stacking positions of the model).
    void ApplyStacking();

  private:
    int handle_;
    bool window_;
    QPointer<PanelWidget> widget_;
    PanelResolver& resolver_;
    std::map<int, std::unique_ptr<ControlView>> controls_;
};

}  // namespace qm7x::ui::qt
