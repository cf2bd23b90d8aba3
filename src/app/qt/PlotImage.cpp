// ImgSpect: the plot bitmap on the screen and the mouse events on it, in bitmap pixels.
#include "app/qt/PlotImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/qt/CpuState.h"

namespace kalvex::app {

namespace {

view::ShiftState ShiftOf(const QMouseEvent* e) {
    view::ShiftState s;
    s.Shift = e->modifiers() & Qt::ShiftModifier;
    s.Ctrl = e->modifiers() & Qt::ControlModifier;
    s.Alt = e->modifiers() & Qt::AltModifier;
    s.Left = e->buttons() & Qt::LeftButton;
    s.Right = e->buttons() & Qt::RightButton;
    s.Middle = e->buttons() & Qt::MiddleButton;
    return s;
}

view::MouseButton ButtonOf(const QMouseEvent* e) {
    switch (e->button()) {
        case Qt::RightButton:
            return view::MouseButton::kRight;
        case Qt::MiddleButton:
            return view::MouseButton::kMiddle;
        default:
            return view::MouseButton::kLeft;
    }
}

}  // namespace

PlotImage::PlotImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImgSpect"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PlotImage::~PlotImage() = default;

QtCanvas& PlotImage::CreateBitmap(int x, int y, int width, int height) {
    canvas_.reset();  // finish painting on the old bitmap before it goes
    image_ = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    image_.fill(Qt::white);
    setGeometry(x, y, image_.width(), image_.height());
    canvas_ = std::make_unique<QtCanvas>(&image_, kScreenPixelsPerInch);
    update();
    ClearUpperVectorState();
    return *canvas_;
}

void PlotImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    p.drawImage(0, 0, image_);
}

void PlotImage::mousePressEvent(QMouseEvent* e) {
    emit MouseDown(ButtonOf(e), ShiftOf(e), e->position().toPoint().x(),
                   e->position().toPoint().y());
}

void PlotImage::mouseMoveEvent(QMouseEvent* e) {
    emit MouseMove(ShiftOf(e), e->position().toPoint().x(), e->position().toPoint().y());
}

void PlotImage::mouseReleaseEvent(QMouseEvent* e) {
    emit MouseUp(ButtonOf(e), ShiftOf(e), e->position().toPoint().x(), e->position().toPoint().y());
}

void PlotImage::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        emit MiddleDoubleClick();
        return;
    }
    mousePressEvent(e);  // a fast second click is a click like any other
}

void PlotImage::wheelEvent(QWheelEvent* e) {
    constexpr int kNotch = 120;  // eighths of a degree per notch of a standard wheel
    wheel_angle_ += e->angleDelta().y();
    const int notches = wheel_angle_ / kNotch;
    wheel_angle_ -= notches * kNotch;
    if (notches != 0) emit Wheel(e->position().toPoint().x(), notches);
    e->accept();
}

}  // namespace kalvex::app
