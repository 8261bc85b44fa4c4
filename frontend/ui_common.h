// Small helpers every window uses: twips to pixels, the named fonts with their
// Linux substitutes, colours, and the standard warning box.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace velmora::ui {

// Window geometry is laid out in twips; 15 twips are one pixel at 96 dpi.
constexpr int px(int twips) { return twips / 15; }
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// The layout names Windows fonts that Linux does not have. They are replaced
// once, here: the Japanese faces ("HG丸ｺﾞｼｯｸM-PRO", "メイリオ", "ＭＳ ゴシック",
// "ＭＳ Ｐゴシック") by Noto Sans CJK JP, "Times New Roman" by Liberation Serif.
QFont namedFont(const QString& windowsName, double pointSize, bool italic = false);

// The standard warning: exclamation icon, one OK button, caption "Velmora".
void showWarning(QWidget* parent, const QString& text);

inline const QColor kButtonYellow(255, 255, 192);

}  // namespace velmora::ui
