#include "frontend/ui_common.h"

#include <QMessageBox>

namespace velmora::ui {

QFont namedFont(const QString& windowsName, double pointSize, bool italic) {
    const bool serif = windowsName.contains(QStringLiteral("Times"));
    QFont font(serif ? QStringLiteral("Liberation Serif") : QStringLiteral("Noto Sans CJK JP"));
    font.setPointSizeF(pointSize);
    font.setItalic(italic);
    return font;
}

void showWarning(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmora"), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace velmora::ui
