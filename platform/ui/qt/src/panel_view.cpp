#include "panel_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "model_bridge.h"

namespace qm7x::ui::qt {

PanelWidget::PanelWidget(int panel, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), panel_(panel) {}

void PanelWidget::ResizeQuietly(int width, int height) {
    resizingQuietly_ = true;
    resize(width, height);
    resizingQuietly_ = false;
}

void PanelWidget::closeEvent(QCloseEvent* event) {
    // The window stays as it is: the program decides what the close box does. The run-time
    // hands the close event to the panel callback and commits the panel's close control.
    event->ignore();
    if (FindPanel(panel_) != nullptr) {
        DispatchUserAction(panel_, 0, EVENT_CLOSE);
    }
}

void PanelWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const Panel* panel = FindPanel(panel_);
    if (resizingQuietly_ || panel == nullptr || !isWindow() || !panel->sizable) {
        return;
    }
    if (panel->geometry.width == width() && panel->geometry.height == height()) {
        return;
    }
    reportingSize_ = true;
    SetPanelAttribute(panel_, ATTR_WIDTH, width());
    SetPanelAttribute(panel_, ATTR_HEIGHT, height());
    reportingSize_ = false;
    DispatchUserAction(panel_, 0, EVENT_PANEL_SIZE);
}

PanelView::PanelView(const Panel& panel, QWidget* parent, PanelResolver& resolver)
    : handle_(panel.handle),
      window_(parent == nullptr && panel.tabPageOf == 0),
      resolver_(resolver) {
    const Qt::WindowFlags flags =
        window_ ? Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                      Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint
                : Qt::Widget;
    widget_ = new PanelWidget(panel.handle, parent, flags);  // top level: deleted by ~PanelView
    widget_->setAutoFillBackground(true);
    for (const Control& control : panel.controls) {
        AddControl(control);
    }
    ShowAttributes(panel, true);
    ApplyStacking();
}

PanelView::~PanelView() {
    controls_.clear();
    if (widget_ != nullptr) {
        widget_->hide();
        widget_->setParent(nullptr);
        widget_->deleteLater();
    }
}

ControlView* PanelView::Find(int control) const {
    const auto it = controls_.find(control);
    return it == controls_.end() ? nullptr : it->second.get();
}

void PanelView::ShowAttributes(const Panel& panel, bool place) {
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, ToQColor(panel.backColor));
    widget_->setPalette(palette);
    if (!window_) {
        if (panel.tabPageOf == 0) {
            widget_->setGeometry(panel.geometry.left, panel.geometry.top, panel.geometry.width,
                                 panel.geometry.height);
        }
        return;
    }
    widget_->setWindowTitle(ToQString(panel.title));
    if (panel.sizable) {
        widget_->setMinimumSize(0, 0);
        widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (!widget_->ReportingSize()) {
            widget_->ResizeQuietly(panel.geometry.width, panel.geometry.height);
        }
    } else {
        widget_->setFixedSize(panel.geometry.width, panel.geometry.height);
    }
    if (!place) {
        return;
    }
    QPoint at(panel.geometry.left, panel.geometry.top);
    if (panel.centered) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            at = screen->availableGeometry().center() -
                 QPoint(panel.geometry.width / 2, panel.geometry.height / 2);
        }
    }
    widget_->move(at);
}

void PanelView::AddControl(const Control& control) {
    auto view = CreateControlView(control, handle_, widget_, resolver_);
    if (view != nullptr) {
        controls_[control.id] = std::move(view);
    }
}

void PanelView::RemoveControl(int control) {
    controls_.erase(control);
}

void PanelView::ApplyStacking() {
    for (const int id : PaintOrder(handle_)) {
        if (ControlView* view = Find(id)) {
            view->Raise();
        }
    }
}

}  // namespace qm7x::ui::qt
