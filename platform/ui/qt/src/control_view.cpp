#include "control_view.h"

#include <QFontDatabase>

#include "label_text.h"
#include "model_bridge.h"

namespace qm7x::ui::qt {

ControlView::~ControlView() {
    // The widgets may be inside a signal of their own: disconnect them now, delete them later.
    for (QWidget* widget : {static_cast<QWidget*>(body_), static_cast<QWidget*>(label_)}) {
        if (widget != nullptr) {
            widget->disconnect();
            widget->hide();
            widget->deleteLater();
        }
    }
}

void ControlView::Adopt(QWidget* body, QWidget* area, bool outsideLabel) {
    body_ = body;
    body_->setParent(area);
    if (outsideLabel) {
        label_ = new QLabel(area);  // owned by the panel's widget
        label_->setTextFormat(Qt::PlainText);
        label_->setBuddy(body_);
    }
}

void ControlView::ShowAttributes(const Control& control) {
    if (body_ == nullptr) {
        return;
    }
    const Geometry& g = control.geometry;
    body_->setGeometry(g.left, g.top, std::max(g.width, 1), std::max(g.height, 1));
    body_->setEnabled(!control.dimmed);
    SetIndicator(control.mode == VAL_INDICATOR);

    QFont font = body_->parentWidget() != nullptr ? body_->parentWidget()->font() : body_->font();
    if (control.fixedPitch) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                          QStringLiteral("Noto Sans Mono"), QStringLiteral("Monospace")});
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    }
    if (!control.font.empty() && !control.fixedPitch) {
        font.setFamilies({ToQString(control.font), font.family()});
    }
    if (control.pointSize > 0) {
        font.setPointSize(control.pointSize);
    }
    font.setBold(control.bold);
    body_->setFont(font);

    ApplyTextColor(ToQColor(control.textColor));
    if (control.backColor >= 0) {
        ApplyBackColor(ToQColor(control.backColor));
    }
    ShowKindAttributes(control);
    body_->setVisible(control.visible);
    PlaceLabel(control);
}

void ControlView::PlaceLabel(const Control& control) {
    if (label_ == nullptr) {
        return;
    }
    label_->setText(ToQString(ToQtMnemonic(control.label)));
    label_->setEnabled(!control.dimmed);
    label_->adjustSize();
    // The label stands just above the body, flush with its left edge.
    const Geometry& g = control.geometry;
    label_->move(g.left, std::max(0, g.top - label_->height() - 1));
    label_->setVisible(control.visible && !control.label.empty());
}

void ControlView::Raise() {
    if (body_ != nullptr) {
        body_->raise();
    }
    if (label_ != nullptr) {
        label_->raise();
    }
}

void ControlView::ApplyTextColor(const QColor& color) {
    QPalette palette = body_->palette();
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Active, role, color);
        palette.setColor(QPalette::Inactive, role, color);
    }
    body_->setPalette(palette);
}

void ControlView::ApplyBackColor(const QColor& color) {
    QPalette palette = body_->palette();
    for (const auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        palette.setColor(role, color);
    }
    body_->setPalette(palette);
}

}  // namespace qm7x::ui::qt
