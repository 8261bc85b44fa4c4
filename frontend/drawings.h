// The stored pictures of the main menu and the geometry dialog: a black-and-white
// drawing of the oblique irradiation set-up, and the program's icon.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QWidget>

class QPainter;
class QRectF;

namespace velmora {

enum class SetupDrawingKind {
    MainMenu,  // titled, entrance surface in red with its label
    Geometry,  // couch and phantom named, FSD dimension along the central ray
};

// Draws the set-up scaled into `area`, keeping its proportions.
void drawSetupScene(QPainter& painter, const QRectF& area, SetupDrawingKind kind);

// A picture area showing the set-up drawing on a plain background.
class SetupPicture : public QWidget {
public:
    SetupPicture(SetupDrawingKind kind, const QColor& background, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SetupDrawingKind kind_;
    QColor background_;
};

// The program's icon at the given size in pixels.
QPixmap programIconPixmap(int sizePixels);
QIcon programIcon();

}  // namespace velmora
