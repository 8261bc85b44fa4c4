#include "frontend/viewer_surface.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace velmora {

DrawingSurface::DrawingSurface(QSize pixelSize, const QColor& background, QWidget* parent)
    : QWidget(parent),
      image_(pixelSize, QImage::Format_RGB32),
      background_(background) {
    setFixedSize(pixelSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_.fill(background_);
}

void DrawingSurface::clear() {
    image_.fill(background_);
    printedLines_.clear();
    update();
}

void DrawingSurface::printLine(const QString& text) {
    // Lines advance by the font's em, as the header's eighteen lines were laid
    // out to fit the area; the CJK face's own line gap is much wider and would
    // push the last lines out of it.
    const double emPixels = font().pointSizeF() * logicalDpiY() / 72.0;
    const double lineStep = std::round(emPixels);
    const double top = lineStep * printedLines_.size();
    QPainter painter(&image_);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPointF(0, top + std::ceil(emPixels * 0.88)), text);
    printedLines_ << text;
    update();
}

void DrawingSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position());
    QWidget::mouseMoveEvent(event);
}

LineObject::LineObject(Qt::Orientation orientation, const QColor& colour, QWidget* parent)
    : QWidget(parent), orientation_(orientation), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineObject::place(int at, int from, int to) {
    if (orientation_ == Qt::Horizontal) {
        setGeometry(from, at, to - from + 1, 1);
    } else {
        setGeometry(at, from, 1, to - from + 1);
    }
}

void LineObject::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

}  // namespace velmora
