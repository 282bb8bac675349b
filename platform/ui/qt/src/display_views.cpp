// Views of the controls that mostly show things: text message, LED, table, text box, tab
// control, picture, decoration.
#include <QFrame>
#include <QHeaderView>
#include <QScrollBar>
#include <QTabWidget>

#include "control_view.h"
#include "control_views.h"
#include "label_text.h"
#include "led.h"
#include "model_bridge.h"
#include "numeric_table.h"
#include "picture.h"
#include "text_box.h"

namespace qm7x::ui::qt {
namespace {

class TextMessageView : public ControlView {
  public:
    TextMessageView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        text_ = new QLabel();
        text_->setTextFormat(Qt::PlainText);
        text_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        Adopt(text_, area, false);
    }
    void ShowValue(const Control& c) override {
        const auto* text = std::get_if<std::string>(&c.value);
        text_->setText(text != nullptr ? ToQString(*text) : QString());
    }

  protected:
    void ShowKindAttributes(const Control& c) override { ShowValue(c); }
    void ApplyBackColor(const QColor& color) override {
        text_->setAutoFillBackground(true);
        ControlView::ApplyBackColor(color);
    }

  private:
    QLabel* text_;
};

class LedView : public ControlView {
  public:
    LedView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        led_ = new Led();
        Adopt(led_, area, true);
    }
    void ShowValue(const Control& c) override { led_->SetOn(AsDouble(c.value) != 0.0); }

  protected:
    void ShowKindAttributes(const Control& c) override { ShowValue(c); }
    void ApplyTextColor(const QColor& /*color*/) override {}

  private:
    Led* led_;
};

QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list << ToQString(text);
    }
    return list;
}

class TableView : public ControlView {
  public:
    TableView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        table_ = new NumericTable();
        Adopt(table_, area, true);
        QObject::connect(table_, &NumericTable::CellCommitted, table_,
                         [panel, control](int column, int row, double value) {
                             const Control* c = FindControl(panel, control);
                             if (c == nullptr || c->mode == VAL_INDICATOR) {
                                 return;
                             }
                             SetTableCellVal(panel, control, MakePoint(column + 1, row + 1), value);
                             DispatchUserAction(panel, control, EVENT_COMMIT, row + 1, column + 1);
                         });
    }
    void ShowCells(const Control& c, Rect cells) override {
        const int columns = static_cast<int>(c.columnLabels.size());
        const int lastRow = std::min(cells.top + cells.height - 1, table_->rowCount());
        const int lastColumn = std::min(cells.left + cells.width - 1, table_->columnCount());
        for (int row = std::max(cells.top, 1); row <= lastRow; ++row) {
            for (int column = std::max(cells.left, 1); column <= lastColumn; ++column) {
                const auto at = static_cast<std::size_t>((row - 1) * columns + (column - 1));
                if (at < c.cells.size()) {
                    table_->ShowCell(column - 1, row - 1, c.cells[at]);
                }
            }
        }
    }
    void ShowValue(const Control& c) override {
        ShowCells(c, MakeRect(1, 1, static_cast<int>(c.rowLabels.size()),
                              static_cast<int>(c.columnLabels.size())));
    }

  protected:
    void ShowKindAttributes(const Control& c) override {
        table_->setRowCount(static_cast<int>(c.rowLabels.size()));
        table_->setColumnCount(static_cast<int>(c.columnLabels.size()));
        table_->setVerticalHeaderLabels(ToQStringList(c.rowLabels));
        table_->setHorizontalHeaderLabels(ToQStringList(c.columnLabels));
        Control format;  // only what the display formats need: a copy outlives the model's
        format.kind = CtrlKind::Table;
        format.dataType = VAL_DOUBLE;
        format.format = c.format;
        format.precision = c.precision;
        format.columnFormats = c.columnFormats;
        table_->SetFormatter(
            [format](int column, double v) { return FormatTableCell(format, column + 1, v); });
        ShowValue(c);
    }
    void SetIndicator(bool indicator) override { table_->SetIndicator(indicator); }
    void ApplyTextColor(const QColor& color) override {
        QPalette palette = table_->palette();
        palette.setColor(QPalette::Text, color);
        table_->setPalette(palette);
    }

  private:
    NumericTable* table_;
};

class TextBoxView : public ControlView {
  public:
    TextBoxView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        box_ = new TextBox();
        Adopt(box_, area, true);
        QObject::connect(box_, &TextBox::EditingFinished, box_, [box = box_, panel, control] {
            if (FindControl(panel, control) == nullptr) {
                return;
            }
            ResetTextBox(panel, control, box->toPlainText().toStdString());
            DispatchUserAction(panel, control, EVENT_COMMIT);
        });
        // Scrolling by the operator is the control's first visible line.
        QObject::connect(box_, &TextBox::ScrolledTo, box_, [panel, control](int line) {
            const Control* c = FindControl(panel, control);
            if (c != nullptr && c->firstVisibleLine != line) {
                SetCtrlAttribute(panel, control, ATTR_FIRST_VISIBLE_LINE, line);
            }
        });
    }
    void ShowLines(const Control& c) override {
        QStringList lines = ToQStringList(c.lines);
        if (lines.size() == box_->LineCount() + 1 &&
            box_->toPlainText() == QStringList(lines.mid(0, lines.size() - 1)).join('\n')) {
            box_->AppendLine(lines.back());  // the common case: one line appended
        } else {
            box_->SetLines(lines);
        }
        box_->SetFirstVisibleLine(c.firstVisibleLine);
    }
    void ShowValue(const Control& c) override { ShowLines(c); }

  protected:
    void ShowKindAttributes(const Control& c) override {
        if (c.fixedPitch) {
            box_->UseFixedPitchFont();
        }
        box_->SetFirstVisibleLine(c.firstVisibleLine);
    }
    void SetIndicator(bool indicator) override { box_->setReadOnly(indicator); }

  private:
    TextBox* box_;
};

class TabView : public ControlView {
  public:
    TabView(int panel, int control, QWidget* area, PanelResolver& resolver)
        : ControlView(panel, control), resolver_(resolver) {
        tabs_ = new QTabWidget();
        Adopt(tabs_, area, false);
        QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_, [panel, control](int page) {
            const Control* c = FindControl(panel, control);
            if (c == nullptr || page < 0 || page == c->activePage) {
                return;
            }
            const int previous = c->activePage;
            SetActiveTabPage(panel, control, page);
            DispatchUserAction(panel, control, EVENT_ACTIVE_TAB_CHANGE, previous, page);
        });
    }
    void ShowActivePage(const Control& c) override {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(c.activePage);
    }
    void ShowValue(const Control& c) override { ShowActivePage(c); }

  protected:
    void ShowKindAttributes(const Control& c) override {
        {
            const QSignalBlocker block(tabs_);
            for (std::size_t i = 0; i < c.pages.size(); ++i) {
                QWidget* page = resolver_.PageWidget(c.pages[i].panel);
                const QString label = ToQString(ToQtMnemonic(c.pages[i].label));
                const int at = static_cast<int>(i);
                if (page == nullptr) {
                    continue;
                }
                if (tabs_->indexOf(page) < 0) {
                    tabs_->insertTab(at, page, label);
                } else {
                    tabs_->setTabText(tabs_->indexOf(page), label);
                }
            }
        }
        ShowActivePage(c);
    }
    void ApplyTextColor(const QColor& /*color*/) override {}  // the pages keep their own

  private:
    PanelResolver& resolver_;
    QTabWidget* tabs_;
};

class PictureView : public ControlView {
  public:
    PictureView(const Control& c, int panel, QWidget* area) : ControlView(panel, c.id) {
        auto* picture = new Picture(
            Picture::ArtworkFor(ToQString(c.constant) + QLatin1Char(' ') + ToQString(c.image)));
        if (!c.image.empty()) {
            picture->SetDrawing(QByteArray::fromStdString(c.image));
        }
        Adopt(picture, area, true);
    }
};

// A frame. It is opaque, so a frame in front of other controls covers them (and takes their
// clicks), as the stacking position says.
class DecorationView : public ControlView {
  public:
    DecorationView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        frame_ = new QFrame();
        frame_->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame_->setLineWidth(2);
        frame_->setAutoFillBackground(true);
        Adopt(frame_, area, false);
    }

  protected:
    void ApplyTextColor(const QColor& /*color*/) override {}

  private:
    QFrame* frame_;
};

}  // namespace

std::unique_ptr<ControlView> CreateDisplayView(const Control& control, int panel, QWidget* area,
                                               PanelResolver& resolver) {
    switch (control.kind) {
        case CtrlKind::TextMessage:
            return std::make_unique<TextMessageView>(panel, control.id, area);
        case CtrlKind::Led:
            return std::make_unique<LedView>(panel, control.id, area);
        case CtrlKind::Table:
            return std::make_unique<TableView>(panel, control.id, area);
        case CtrlKind::TextBox:
            return std::make_unique<TextBoxView>(panel, control.id, area);
        case CtrlKind::Tab:
            return std::make_unique<TabView>(panel, control.id, area, resolver);
        case CtrlKind::Picture:
            return std::make_unique<PictureView>(control, panel, area);
        case CtrlKind::Decoration:
            return std::make_unique<DecorationView>(panel, control.id, area);
        default:
            return nullptr;
    }
}

std::unique_ptr<ControlView> CreateControlView(const Control& control, int panel, QWidget* area,
                                               PanelResolver& resolver) {
    auto view = CreateInputView(control, panel, area);
    if (view == nullptr) {
        view = CreateDisplayView(control, panel, area, resolver);
    }
    if (view == nullptr) {
        view = CreateGraphView(control, panel, area);
    }
    if (view != nullptr) {
        view->ShowAttributes(control);
        view->ShowItems(control);
        view->ShowLines(control);
    }
    return view;
}

}  // namespace qm7x::ui::qt
