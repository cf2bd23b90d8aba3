// ImgSpect: shows the plot bitmap and reports mouse presses, moves and releases on it.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "app/qt/QtCanvas.h"
#include "view/MouseLogic.h"

namespace kalvex::app {

/// The picture control of the main window. Owns the bitmap (PlotBitmap) and the canvas on
/// it; mouse coordinates are bitmap pixels.
class PlotImage : public QWidget {
    Q_OBJECT

public:
    /// Screen resolution the plot's fonts are sized with.
    static constexpr int kScreenPixelsPerInch = 96;

    explicit PlotImage(QWidget* parent = nullptr);
    ~PlotImage() override;

    /// A fresh white bitmap of the given size at (x, y) of the parent; returns its canvas.
    QtCanvas& CreateBitmap(int x, int y, int width, int height);
    /// The canvas of the current bitmap, or nullptr before the first one.
    QtCanvas* Canvas() { return canvas_.get(); }
    /// The bitmap as drawn so far (painting pending on the canvas is flushed by Qt's
    /// raster engine as it goes).
    const QImage& Bitmap() const { return image_; }

signals:
    void MouseDown(view::MouseButton button, view::ShiftState shift, int x, int y);
    void MouseMove(view::ShiftState shift, int x, int y);
    void MouseUp(view::MouseButton button, view::ShiftState shift, int x, int y);
    /// Whole notches of the wheel over column x: positive away from the user (zoom in).
    void Wheel(int x, int notches);
    /// A double click with the middle button.
    void MiddleDoubleClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
    int wheel_angle_ = 0;  // eighths of a degree not yet a whole notch (fine-stepping wheels)
};

}  // namespace kalvex::app
