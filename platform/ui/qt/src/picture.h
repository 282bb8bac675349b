// Picture control: shows the control's own drawing (SVG text of the resource) scaled into its
// area. Without a drawing (or without SVG support in the build) it paints artwork of its own: a
// VXI bus emblem or the module's emblem (a voltage trace over the name).
#pragma once

#include <QWidget>
#include <memory>

class QSvgRenderer;

namespace qm7x::ui::qt {

class Picture : public QWidget {
    Q_OBJECT
  public:
    enum class Artwork { VxiEmblem, ModuleEmblem };

    explicit Picture(Artwork artwork, QWidget* parent = nullptr);
    ~Picture() override;
    Artwork Art() const { return artwork_; }
    // Takes an SVG drawing; false (and the artwork stays) when it cannot be drawn.
    bool SetDrawing(const QByteArray& svg);
    bool HasDrawing() const;
    // Artwork for a picture control by its image name or constant: a name mentioning "vxi"
    // gets the VXI emblem, every other picture the module's emblem.
    static Artwork ArtworkFor(const QString& name);

    QSize sizeHint() const override { return {64, 64}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Artwork artwork_;
    std::unique_ptr<QSvgRenderer> drawing_;
};

}  // namespace qm7x::ui::qt
