// A picture area that keeps what is drawn on it: the drawing goes into an
// image, and painting shows the image, so covered parts come back unchanged.
#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>

namespace velmora {

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    DrawingSurface(QSize pixelSize, const QColor& background, QWidget* parent);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    const QColor& background() const { return background_; }

    // Fills the area with its background and forgets printed text.
    void clear();
    // Prints one line of text below the previous one, starting at the top-left
    // corner after each clear, in the surface's font.
    void printLine(const QString& text);
    // The lines printed since the last clear, as the operator reads them.
    const QStringList& printedLines() const { return printedLines_; }

    // Call after drawing into image() directly.
    void imageChanged() { update(); }

signals:
    // Cursor position in pixels of the area (with mouse tracking on).
    void mouseMoved(QPointF pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QColor background_;
    QStringList printedLines_;
};

// A thin line object over a picture area (fixed guides, the cross-hair): a
// one-pixel widget of one colour that never takes the mouse.
class LineObject : public QWidget {
    Q_OBJECT
public:
    LineObject(Qt::Orientation orientation, const QColor& colour, QWidget* parent);
    // Horizontal: row `at` from column `from` to `to`; vertical: column `at`.
    void place(int at, int from, int to);
    Qt::Orientation orientation() const { return orientation_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation orientation_;
    QColor colour_;
};

}  // namespace velmora
