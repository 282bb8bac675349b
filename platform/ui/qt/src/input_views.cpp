// Views of the controls the operator operates: command button, text field, numeric, ring,
// binary switch, radio button, list box.
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <limits>

#include "binary_switch.h"
#include "control_view.h"
#include "control_views.h"
#include "label_text.h"
#include "model_bridge.h"
#include "numeric_edit.h"

namespace qm7x::ui::qt {
namespace {

bool IsIndicator(int panel, int control) {
    const Control* c = FindControl(panel, control);
    return c == nullptr || c->mode == VAL_INDICATOR;
}

class CommandButtonView : public ControlView {
  public:
    CommandButtonView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        button_ = new QPushButton();
        Adopt(button_, area, false);
        button_->setAutoDefault(false);
        QObject::connect(button_, &QPushButton::clicked, button_, [panel, control] {
            if (!IsIndicator(panel, control)) {
                DispatchUserAction(panel, control, EVENT_COMMIT);
            }
        });
    }

  protected:
    void ShowKindAttributes(const Control& c) override {
        button_->setText(ToQString(ToQtMnemonic(c.label)));
    }
    void SetIndicator(bool indicator) override {
        button_->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    }

  private:
    QPushButton* button_;
};

class StringView : public ControlView {
  public:
    StringView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        edit_ = new QLineEdit();
        Adopt(edit_, area, true);
        QObject::connect(edit_, &QLineEdit::editingFinished, edit_, [edit = edit_, panel, control] {
            const Control* c = FindControl(panel, control);
            if (c == nullptr || c->mode == VAL_INDICATOR) {
                return;
            }
            const std::string text = edit->text().toStdString();
            const auto* current = std::get_if<std::string>(&c->value);
            if (current != nullptr && *current == text) {
                return;
            }
            SetCtrlVal(panel, control, text);
            DispatchUserAction(panel, control, EVENT_COMMIT);
        });
    }
    void ShowValue(const Control& c) override {
        const auto* text = std::get_if<std::string>(&c.value);
        const QString shown = text != nullptr ? ToQString(*text) : QString();
        if (edit_->text() != shown) {
            edit_->setText(shown);
            edit_->setCursorPosition(0);
        }
        // A text longer than the field (a driver's status text, a library line) can still be
        // read in full: it is the field's tool tip.
        const bool fits =
            edit_->fontMetrics().horizontalAdvance(shown) + 8 <= edit_->contentsRect().width();
        edit_->setToolTip(fits ? QString() : shown);
    }

  protected:
    void ShowKindAttributes(const Control& c) override { ShowValue(c); }
    void SetIndicator(bool indicator) override {
        edit_->setReadOnly(indicator);
        edit_->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    }

  private:
    QLineEdit* edit_;
};

class NumericView : public ControlView {
  public:
    NumericView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        edit_ = new NumericEdit();
        Adopt(edit_, area, true);
        QObject::connect(edit_, &NumericEdit::Committed, edit_, [panel, control](double value) {
            const Control* c = FindControl(panel, control);
            if (c == nullptr || c->mode == VAL_INDICATOR) {
                return;
            }
            WriteNumber(panel, control, c->dataType, value);
            DispatchUserAction(panel, control, EVENT_COMMIT);
        });
    }
    void ShowValue(const Control& c) override { edit_->ShowValue(AsDouble(c.value)); }

  protected:
    void ShowKindAttributes(const Control& c) override {
        Control format;  // only what the display format needs: a copy outlives the model's
        format.kind = CtrlKind::Numeric;
        format.dataType = c.dataType;
        format.format = c.format;
        format.precision = c.precision;
        edit_->SetIntegral(c.dataType != VAL_DOUBLE);
        constexpr double kHuge = std::numeric_limits<double>::max();
        edit_->SetLimits(c.hasRange ? c.minValue : -kHuge, c.hasRange ? c.maxValue : kHuge, c.step);
        edit_->SetFormatter([format](double v) { return FormatNumeric(format, v); });
        ShowValue(c);
    }
    void SetIndicator(bool indicator) override { edit_->SetIndicator(indicator); }

  private:
    NumericEdit* edit_;
};

class RingView : public ControlView {
  public:
    RingView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        combo_ = new QComboBox();
        Adopt(combo_, area, true);
        QObject::connect(combo_, &QComboBox::activated, combo_, [panel, control](int index) {
            const Control* c = FindControl(panel, control);
            if (c == nullptr || c->mode == VAL_INDICATOR || index == c->index) {
                return;
            }
            SetCtrlIndex(panel, control, index);
            DispatchUserAction(panel, control, EVENT_COMMIT);
        });
    }
    void ShowItems(const Control& c) override {
        const QSignalBlocker block(combo_);
        combo_->clear();
        for (const ListItem& item : c.items) {
            combo_->addItem(ToQString(item.label));
        }
        ShowValue(c);
    }
    void ShowValue(const Control& c) override {
        const QSignalBlocker block(combo_);
        combo_->setCurrentIndex(c.index);
    }

  protected:
    void SetIndicator(bool indicator) override {
        combo_->setAttribute(Qt::WA_TransparentForMouseEvents, indicator);
        combo_->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    }

  private:
    QComboBox* combo_;
};

// A binary switch holds its state as the index of its two items: 0 off, 1 on.
bool IsOnState(const Control& c) {
    return c.items.size() == 2 && c.index == 1;
}

class BinarySwitchView : public ControlView {
  public:
    BinarySwitchView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        switch_ = new BinarySwitch();
        Adopt(switch_, area, true);
        QObject::connect(switch_, &BinarySwitch::clicked, switch_, [panel, control](bool on) {
            const Control* c = FindControl(panel, control);
            if (c == nullptr || c->items.size() != 2 || c->mode == VAL_INDICATOR) {
                return;
            }
            SetCtrlIndex(panel, control, on ? 1 : 0);
            DispatchUserAction(panel, control, EVENT_COMMIT);
        });
    }
    void ShowValue(const Control& c) override {
        const QSignalBlocker block(switch_);
        switch_->setChecked(IsOnState(c));
    }

  protected:
    void ShowKindAttributes(const Control& c) override {
        if (c.items.size() == 2) {
            switch_->SetStateTexts(ToQString(c.items[0].label), ToQString(c.items[1].label));
        }
        ShowValue(c);
    }
    void SetIndicator(bool indicator) override {
        switch_->setAttribute(Qt::WA_TransparentForMouseEvents, indicator);
        switch_->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    }

  private:
    BinarySwitch* switch_;
};

// Independent two-state button; keeping one of a group selected is the program's business.
class RadioButtonView : public ControlView {
  public:
    RadioButtonView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        radio_ = new QRadioButton();
        radio_->setAutoExclusive(false);
        Adopt(radio_, area, false);
        QObject::connect(radio_, &QRadioButton::clicked, radio_, [panel, control](bool on) {
            if (IsIndicator(panel, control)) {
                return;
            }
            SetCtrlVal(panel, control, on ? 1 : 0);
            DispatchUserAction(panel, control, EVENT_COMMIT);
        });
    }
    void ShowValue(const Control& c) override {
        const QSignalBlocker block(radio_);
        radio_->setChecked(AsDouble(c.value) != 0.0);
    }

  protected:
    void ShowKindAttributes(const Control& c) override {
        radio_->setText(ToQString(ToQtMnemonic(c.label)));
        ShowValue(c);
    }
    void SetIndicator(bool indicator) override {
        radio_->setAttribute(Qt::WA_TransparentForMouseEvents, indicator);
        radio_->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    }

  private:
    QRadioButton* radio_;
};

// A list whose Enter commits and whose double click reports the item (the selection dialog
// takes either as the choice); moving the selection is a value change.
class ListWidget : public QListWidget {
  public:
    using QListWidget::QListWidget;
    std::function<void()> onEnter;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && onEnter) {
            onEnter();
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

class ListBoxView : public ControlView {
  public:
    ListBoxView(int panel, int control, QWidget* area) : ControlView(panel, control) {
        list_ = new ListWidget();
        Adopt(list_, area, true);
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        QObject::connect(list_, &QListWidget::currentRowChanged, list_, [panel, control](int row) {
            const Control* c = FindControl(panel, control);
            if (c == nullptr || row < 0 || row == c->index) {
                return;
            }
            SetCtrlIndex(panel, control, row);
            DispatchUserAction(panel, control, EVENT_VAL_CHANGED);
        });
        QObject::connect(list_, &QListWidget::itemDoubleClicked, list_,
                         [list = list_, panel, control](QListWidgetItem* item) {
                             const int row = list->row(item);
                             SetCtrlIndex(panel, control, row);
                             DispatchUserAction(panel, control, EVENT_LEFT_DOUBLE_CLICK, row, 0);
                         });
        list_->onEnter = [panel, control] {
            if (!IsIndicator(panel, control)) {
                DispatchUserAction(panel, control, EVENT_COMMIT);
            }
        };
    }
    void ShowItems(const Control& c) override {
        const QSignalBlocker block(list_);
        list_->clear();
        for (const ListItem& item : c.items) {
            list_->addItem(ToQString(item.label));
        }
        ShowValue(c);
    }
    void ShowValue(const Control& c) override {
        const QSignalBlocker block(list_);
        list_->setCurrentRow(c.index);
    }

  protected:
    void SetIndicator(bool indicator) override {
        list_->setSelectionMode(indicator ? QAbstractItemView::NoSelection
                                          : QAbstractItemView::SingleSelection);
    }

  private:
    ListWidget* list_;
};

}  // namespace

std::unique_ptr<ControlView> CreateInputView(const Control& control, int panel, QWidget* area) {
    switch (control.kind) {
        case CtrlKind::CommandButton:
            return std::make_unique<CommandButtonView>(panel, control.id, area);
        case CtrlKind::String:
            return std::make_unique<StringView>(panel, control.id, area);
        case CtrlKind::Numeric:
            return std::make_unique<NumericView>(panel, control.id, area);
        case CtrlKind::Ring:
            return std::make_unique<RingView>(panel, control.id, area);
        case CtrlKind::BinarySwitch:
            return std::make_unique<BinarySwitchView>(panel, control.id, area);
        case CtrlKind::RadioButton:
            return std::make_unique<RadioButtonView>(panel, control.id, area);
        case CtrlKind::ListBox:
            return std::make_unique<ListBoxView>(panel, control.id, area);
        default:
            return nullptr;
    }
}

}  // namespace qm7x::ui::qt
