// The widgets of one control: its body (the widget of its kind) and, for kinds whose label sits
// outside the body, a label above it. Model -> widget: the Show* functions, called on the
// run-time's notifications. Widget -> model: each kind connects its widget's signals to the
// operations (value first, then the event), capturing only the panel and control numbers.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "qm7x/ui/model.h"

namespace qm7x::ui::qt {

class PanelResolver;

class ControlView {
  public:
    ControlView(int panel, int control) : panel_(panel), control_(control) {}
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    int Panel() const { return panel_; }
    int Id() const { return control_; }
    QWidget* Body() const { return body_; }
    QLabel* Label() const { return label_; }

    // Geometry, label, visibility, dimming, mode, colours and font, then the kind's own
    // attributes (range, format, state texts...).
    void ShowAttributes(const Control& control);
    virtual void ShowValue(const Control& /*control*/) {}
    virtual void ShowItems(const Control& control) { ShowValue(control); }
    virtual void ShowCells(const Control& /*control*/, Rect /*cells*/) {}
    virtual void ShowLines(const Control& /*control*/) {}
    virtual void ShowActivePage(const Control& /*control*/) {}
    virtual void ShowPlots(const Control& /*control*/) {}
    // Puts the body (and its label) in front of the controls raised before it.
    void Raise();

  protected:
    // Takes the body widget (a child of `area`) and makes the outside label when the kind has one.
    void Adopt(QWidget* body, QWidget* area, bool outsideLabel);
    virtual void ShowKindAttributes(const Control& /*control*/) {}
    virtual void SetIndicator(bool /*indicator*/) {}
    // Palette roles that carry the text colour of this kind.
    virtual void ApplyTextColor(const QColor& color);
    virtual void ApplyBackColor(const QColor& color);

    const int panel_;
    const int control_;

  private:
    void PlaceLabel(const Control& control);

    QPointer<QWidget> body_;
    QPointer<QLabel> label_;
};

// Builds the view of a control's kind inside `area`, filled from the model. Tab controls ask
// `resolver` for the widgets of their page panels.
std::unique_ptr<ControlView> CreateControlView(const Control& control, int panel, QWidget* area,
                                               PanelResolver& resolver);

// What a tab control needs of the front end: the widget of a page panel.
class PanelResolver {
  public:
    virtual ~PanelResolver() = default;
    virtual QWidget* PageWidget(int pagePanel) = 0;
};

}  // namespace qm7x::ui::qt
