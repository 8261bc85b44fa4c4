#include "frontend/controls.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include "frontend/ui_common.h"

namespace velmora::ui {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, int leftTwips,
                        int topTwips, int widthTwips, int heightTwips, const QFont& font,
                        const QColor& background) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(twipsRect(leftTwips, topTwips, widthTwips, heightTwips));
    button->setFont(font);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, background);
    button->setPalette(palette);
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int leftTwips,
                  int topTwips, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    label->move(px(leftTwips), px(topTwips));
    label->adjustSize();
    return label;
}

QLineEdit* makeTextBox(QWidget* parent, const QString& name, int leftTwips, int topTwips,
                       int widthTwips, int heightTwips, const QFont& font) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(twipsRect(leftTwips, topTwips, widthTwips, heightTwips));
    box->setFont(font);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

void setFixedClientSize(QWidget* window, int widthTwips, int heightTwips) {
    window->setFixedSize(px(widthTwips), px(heightTwips));
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect client = window->geometry();
    client.moveCenter(screen->availableGeometry().center());
    window->move(client.topLeft());
}

}  // namespace velmora::ui
