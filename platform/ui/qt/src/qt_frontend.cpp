#include "qt_frontend.h"

#include <QAbstractEventDispatcher>
#include <QFileInfo>
#include <cmath>

#include "model_bridge.h"
#include "popups.h"
#include "qm7x/ui/qt/qt_frontend.h"

namespace qm7x::ui::qt {

QtFrontEnd::QtFrontEnd(int& argc, char** argv) {
    if (QApplication::instance() == nullptr) {
        ownedApp_ = std::make_unique<QApplication>(argc, argv);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    wakeTimer_ = std::make_unique<QTimer>();
    wakeTimer_->setSingleShot(true);
}

QtFrontEnd::~QtFrontEnd() {
    if (GetFrontEnd() == this) {
        SetFrontEnd(nullptr);
    }
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
    }
    panels_.clear();
    wakeTimer_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ownedApp_.reset();
}

int QtFrontEnd::Initialize(int /*argc*/, char** /*argv*/) {
    return QApplication::instance() != nullptr ? 0 : UIEInitFailed;
}

PanelView* QtFrontEnd::Find(int panel) const {
    const auto it = panels_.find(panel);
    return it == panels_.end() ? nullptr : it->second.get();
}

ControlView* QtFrontEnd::FindView(int panel, int control) const {
    const PanelView* view = Find(panel);
    return view == nullptr ? nullptr : view->Find(control);
}

QWidget* QtFrontEnd::PanelWidgetOf(int panel) const {
    const PanelView* view = Find(panel);
    return view == nullptr ? nullptr : view->Widget();
}

QWidget* QtFrontEnd::ControlWidgetOf(int panel, int control) const {
    const ControlView* view = FindView(panel, control);
    return view == nullptr ? nullptr : view->Body();
}

PanelView* QtFrontEnd::Ensure(int panel) {
    if (PanelView* view = Find(panel)) {
        return view;
    }
    const Panel* model = FindPanel(panel);
    if (model == nullptr) {
        return nullptr;
    }
    QWidget* parent = nullptr;
    if (model->parent != 0 && model->tabPageOf == 0) {
        if (PanelView* parentView = Ensure(model->parent)) {
            parent = parentView->Widget();
        }
        model = FindPanel(panel);  // building the parent may have moved the model's panels
        if (model == nullptr) {
            return nullptr;
        }
    }
    // Reserve the slot first: a tab control inside asks for its pages, which must not build
    // this panel again.
    auto& slot = panels_[panel];
    PanelResolver& resolver = *this;
    auto view = std::make_unique<PanelView>(*model, parent, resolver);
    slot = std::move(view);
    return slot.get();
}

QWidget* QtFrontEnd::PageWidget(int pagePanel) {
    PanelView* view = Ensure(pagePanel);
    return view == nullptr ? nullptr : view->Widget();
}

void QtFrontEnd::PanelLoaded(int panel) {
    Ensure(panel);
}

namespace {
// A tab page is shown and hidden by its tab control, which keeps one page on top: displaying
// or hiding the page's panel changes nothing on the screen.
bool IsTabPage(int panel) {
    const Panel* model = FindPanel(panel);
    return model != nullptr && model->tabPageOf != 0;
}
}  // namespace

void QtFrontEnd::PanelDisplayed(int panel) {
    PanelView* view = Ensure(panel);
    if (view == nullptr || view->Widget() == nullptr || IsTabPage(panel)) {
        return;
    }
    view->Widget()->show();
    if (view->IsWindow()) {
        view->Widget()->raise();
        view->Widget()->activateWindow();
    }
}

void QtFrontEnd::PanelHidden(int panel) {
    if (IsTabPage(panel)) {
        return;
    }
    if (PanelView* view = Find(panel); view != nullptr && view->Widget() != nullptr) {
        view->Widget()->hide();
    }
}

void QtFrontEnd::PanelDiscarded(int panel) {
    panels_.erase(panel);
    CollectDiscarded();
}

void QtFrontEnd::PopupInstalled(int panel) {
    PanelView* view = Ensure(panel);
    if (view == nullptr || view->Widget() == nullptr) {
        return;
    }
    QWidget* window = view->Widget();
    window->hide();  // modality takes effect when a window is shown
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
}

void QtFrontEnd::PopupRemoved(int panel) {
    PanelView* view = Find(panel);
    if (view == nullptr || view->Widget() == nullptr) {
        return;
    }
    view->Widget()->hide();
    view->Widget()->setWindowModality(Qt::NonModal);
}

void QtFrontEnd::PanelAttributeChanged(int panel, int attribute) {
    const Panel* model = FindPanel(panel);
    if (PanelView* view = Find(panel); view != nullptr && model != nullptr) {
        view->ShowAttributes(*model, attribute == ATTR_TOP || attribute == ATTR_LEFT);
    }
}

void QtFrontEnd::ControlAdded(int panel, int control) {
    const Control* model = FindControl(panel, control);
    PanelView* view = Find(panel);
    if (view == nullptr || model == nullptr) {
        return;
    }
    view->AddControl(*model);
    view->ApplyStacking();
}

void QtFrontEnd::ControlDiscarded(int panel, int control) {
    if (PanelView* view = Find(panel)) {
        view->RemoveControl(control);
    }
    CollectDiscarded();
}

void QtFrontEnd::ControlValueChanged(int panel, int control) {
    const Control* model = FindControl(panel, control);
    if (ControlView* view = FindView(panel, control); view != nullptr && model != nullptr) {
        view->ShowValue(*model);
    }
}

void QtFrontEnd::ControlAttributeChanged(int panel, int control, int attribute) {
    const Control* model = FindControl(panel, control);
    ControlView* view = FindView(panel, control);
    if (view == nullptr || model == nullptr) {
        return;
    }
    if (attribute == ATTR_ZPLANE_POSITION) {
        Find(panel)->ApplyStacking();
        return;
    }
    view->ShowAttributes(*model);
}

void QtFrontEnd::ControlItemsChanged(int panel, int control) {
    const Control* model = FindControl(panel, control);
    if (ControlView* view = FindView(panel, control); view != nullptr && model != nullptr) {
        view->ShowItems(*model);
    }
}

void QtFrontEnd::TableCellsChanged(int panel, int control, Rect cells) {
    const Control* model = FindControl(panel, control);
    if (ControlView* view = FindView(panel, control); view != nullptr && model != nullptr) {
        view->ShowCells(*model, cells);
    }
}

void QtFrontEnd::TextBoxLinesChanged(int panel, int control) {
    const Control* model = FindControl(panel, control);
    if (ControlView* view = FindView(panel, control); view != nullptr && model != nullptr) {
        view->ShowLines(*model);
    }
}

void QtFrontEnd::ActiveTabPageChanged(int panel, int control) {
    const Control* model = FindControl(panel, control);
    if (ControlView* view = FindView(panel, control); view != nullptr && model != nullptr) {
        view->ShowActivePage(*model);
    }
}

void QtFrontEnd::ActiveControlChanged(int panel, int control) {
    if (ControlView* view = FindView(panel, control); view != nullptr && view->Body()) {
        view->Body()->setFocus(Qt::OtherFocusReason);
    }
}

void QtFrontEnd::GraphPlotsChanged(int panel, int control) {
    const Control* model = FindControl(panel, control);
    if (ControlView* view = FindView(panel, control); view != nullptr && model != nullptr) {
        view->ShowPlots(*model);
    }
}

void QtFrontEnd::ShowMessage(std::string_view title, std::string_view message) {
    ShowMessageDialog(title, message);
}

int QtFrontEnd::Confirm(std::string_view title, std::string_view message) {
    return ShowConfirmDialog(title, message);
}

int QtFrontEnd::Prompt(std::string_view title, std::string_view message, std::string& reply,
                       int maxReplyLength) {
    return ShowPromptDialog(title, message, reply, maxReplyLength);
}

int QtFrontEnd::SelectFile(const FileSelectOptions& options, std::string& path) {
    return ShowFileDialog(options, path);
}

void QtFrontEnd::WaitCursorChanged(bool on) {
    if (on == waitCursor_) {
        return;
    }
    waitCursor_ = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtFrontEnd::CollectDiscarded() {
    if (UserActionDepth() == 0) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void QtFrontEnd::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    CollectDiscarded();
}

int QtFrontEnd::WaitForEvents(double timeoutSeconds) {
    const bool anyWindow = std::any_of(panels_.begin(), panels_.end(), [](const auto& entry) {
        return entry.second->IsWindow() && entry.second->Widget() != nullptr &&
               entry.second->Widget()->isVisible();
    });
    if (!anyWindow && timeoutSeconds < 0) {
        return UIENoFrontEnd;  // nothing on screen could ever produce an event
    }
    if (timeoutSeconds >= 0) {
        wakeTimer_->start(static_cast<int>(std::ceil(timeoutSeconds * 1000.0)));
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    CollectDiscarded();
    return 0;
}

void QtFrontEnd::WakeUp() {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        dispatcher->wakeUp();
    }
}

int QtFrontEnd::SavePanelImage(int panel, const std::string& path) {
    PanelView* view = Find(panel);
    if (view == nullptr || view->Widget() == nullptr) {
        return FindPanel(panel) == nullptr ? UIEHandleInvalid : UIENotSupported;
    }
    QWidget* widget = view->Widget();
    widget->ensurePolished();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QPixmap image = widget->grab();
    if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
        return UIEIOError;
    }
    return 0;
}

std::unique_ptr<FrontEnd> InstallQtFrontEnd(int& argc, char** argv) {
    auto frontEnd = std::make_unique<QtFrontEnd>(argc, argv);
    SetFrontEnd(frontEnd.get());
    return frontEnd;
}

}  // namespace qm7x::ui::qt
