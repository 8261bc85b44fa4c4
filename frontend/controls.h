// Building blocks of the main menu and dialogs: named controls placed in twips,
// with the fonts and colours of their layout.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace velmora::ui {

// A push button that paints its own background colour.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, int leftTwips,
                        int topTwips, int widthTwips, int heightTwips, const QFont& font,
                        const QColor& background);

// A label with a transparent background, sized to its text.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int leftTwips,
                  int topTwips, const QFont& font, const QColor& colour = QColor(0, 0, 0));

// A single-line text box with centred text.
QLineEdit* makeTextBox(QWidget* parent, const QString& name, int leftTwips, int topTwips,
                       int widthTwips, int heightTwips, const QFont& font);

// Fixed client size in twips; the window cannot be resized.
void setFixedClientSize(QWidget* window, int widthTwips, int heightTwips);

// Places the window's client area in the middle of its screen.
void centreOnScreen(QWidget* window);

}  // namespace velmora::ui
