#include "app/qt/PlotImage.h"

#include "app/qt/CpuState.h"

#include <QMouseEvent>
#include <QPainter>

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

}  // namespace kalvex::app
