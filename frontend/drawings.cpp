#include "frontend/drawings.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace velmora {

namespace {

// The scene is laid out in a 320 x 372 unit box, y downwards, and scaled
// uniformly into the picture. The beam is drawn at 30 degrees from the normal.
constexpr double kSceneWidth = 320;
constexpr double kSceneHeight = 372;
constexpr double kDrawnAngleDegrees = 30;

const QPointF kEntryPoint(175, 215);       // central ray meets the entrance surface
const QRectF kBody(40, 150, 260, 65);      // phantom (body) lying on the couch
const QRectF kCouch(15, 215, 295, 12);     // couch, a long flat bar
constexpr double kFocusDistance = 150;     // focus to entry point, along the ray
constexpr double kDetectorDistance = 140;  // entry point to detector centre
constexpr double kDetectorHalfLength = 65;
constexpr double kBeamHalfWidthAtDetector = 55;

QFont labelFont(double pixelSize) {
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(qRound(pixelSize));
    return font;
}

// Text on a white patch, so that it stays legible over hatching and lines.
void drawLabel(QPainter& painter, const QPointF& topLeft, const QString& text, bool whitePatch) {
    const QFontMetricsF metrics(painter.font());
    const QRectF box(topLeft, QSizeF(metrics.horizontalAdvance(text) + 4, metrics.height()));
    if (whitePatch) painter.fillRect(box, Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void drawArrowHead(QPainter& painter, const QPointF& tip, const QPointF& from, double length) {
    const QPointF direction = tip - from;
    const double norm = std::hypot(direction.x(), direction.y());
    if (norm == 0) return;
    const QPointF unit = direction / norm;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = tip - unit * length;
    QPolygonF head;
    head << tip << base + normal * (length * 0.35) << base - normal * (length * 0.35);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(head);
    painter.restore();
}

}  // namespace

void drawSetupScene(QPainter& painter, const QRectF& area, SetupDrawingKind kind) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(area.width() / kSceneWidth, area.height() / kSceneHeight);
    painter.translate(area.left() + (area.width() - kSceneWidth * scale) / 2,
                      area.top() + (area.height() - kSceneHeight * scale) / 2);
    painter.scale(scale, scale);

    const double theta = qDegreesToRadians(kDrawnAngleDegrees);
    const QPointF towardsDetector(-std::sin(theta), -std::cos(theta));
    const QPointF across(std::cos(theta), -std::sin(theta));  // perpendicular, to the right
    const QPointF focus = kEntryPoint - towardsDetector * kFocusDistance;
    const QPointF detectorCentre = kEntryPoint + towardsDetector * kDetectorDistance;

    const QPen thin(Qt::black, 1.0);
    const QPen thick(Qt::black, 3.0, Qt::SolidLine, Qt::FlatCap);
    const QPen centralRayPen(Qt::black, 2.5, Qt::SolidLine, Qt::FlatCap);

    // Phantom: hatched block on the couch.
    painter.setPen(thin);
    painter.setBrush(Qt::white);
    painter.drawRect(kBody);
    painter.setBrush(QBrush(Qt::black, Qt::BDiagPattern));
    painter.drawRect(kBody);

    // Couch.
    painter.setBrush(Qt::white);
    painter.drawRect(kCouch);
    painter.setBrush(Qt::NoBrush);

    // Beam: the two edges (thin) and the central ray (thick), focus to detector.
    painter.setPen(thin);
    painter.drawLine(focus, detectorCentre + across * kBeamHalfWidthAtDetector);
    painter.drawLine(focus, detectorCentre - across * kBeamHalfWidthAtDetector);
    painter.setPen(centralRayPen);
    painter.drawLine(focus, detectorCentre);

    // Image detector: a bar across the central ray.
    painter.setPen(QPen(Qt::black, 7.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(detectorCentre + across * kDetectorHalfLength,
                     detectorCentre - across * kDetectorHalfLength);

    // X-ray focus.
    painter.setPen(thin);
    painter.setBrush(Qt::white);
    painter.drawEllipse(focus, 5.0, 5.0);
    painter.setBrush(Qt::NoBrush);

    // Angle between the surface normal (vertical) and the central ray.
    painter.setPen(QPen(Qt::black, 1.0, Qt::DashLine));
    painter.drawLine(kEntryPoint, kEntryPoint + QPointF(0, 118));
    painter.setPen(thin);
    constexpr double arcRadius = 45;
    const QRectF arcBox(kEntryPoint.x() - arcRadius, kEntryPoint.y() - arcRadius, 2 * arcRadius,
                        2 * arcRadius);
    painter.drawArc(arcBox, -90 * 16, qRound(kDrawnAngleDegrees * 16));

    QFont thetaFont(QStringLiteral("Liberation Serif"));
    thetaFont.setPixelSize(17);
    thetaFont.setItalic(true);
    painter.setFont(thetaFont);
    const double bisector = qDegreesToRadians(90 - kDrawnAngleDegrees / 2);
    const QPointF thetaAt = kEntryPoint + QPointF(std::cos(bisector), std::sin(bisector)) * 60.0;
    painter.drawText(QRectF(thetaAt - QPointF(10, 10), QSizeF(20, 20)), Qt::AlignCenter,
                     QStringLiteral("θ"));

    painter.setFont(labelFont(12));
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(painter.font());
    const QString focusText = QStringLiteral("Ｘ線焦点");
    drawLabel(painter, focus + QPointF(-metrics.horizontalAdvance(focusText) / 2 - 2, 8), focusText,
              false);
    drawLabel(painter, detectorCentre + across * kDetectorHalfLength + QPointF(8, -4),
              QStringLiteral("画像検出器"), false);

    if (kind == SetupDrawingKind::MainMenu) {
        drawLabel(painter, QPointF(kBody.right() - 64, kBody.top() + 8), QStringLiteral("被射体"),
                  true);

        // The entrance surface, where the dose is scored.
        painter.setPen(QPen(QColor(255, 0, 0), 3.5, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(kBody.left(), kBody.bottom()), QPointF(kBody.right(), kBody.bottom()));

        const QString entranceText = QStringLiteral("入射表面線量分布");
        const QPointF entranceLabelAt(10, 290);
        painter.setPen(Qt::black);
        drawLabel(painter, entranceLabelAt, entranceText, false);
        const QPointF arrowStart(entranceLabelAt.x() + 40, entranceLabelAt.y() - 2);
        const QPointF arrowTip(kBody.left() + 45, kBody.bottom() + 2);
        painter.setPen(QPen(Qt::black, 1.2));
        painter.drawLine(arrowStart, arrowTip);
        drawArrowHead(painter, arrowTip, arrowStart, 9);

        QFont titleFont = labelFont(15);
        titleFont.setBold(true);
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, 4, kSceneWidth, 24), Qt::AlignCenter,
                         QStringLiteral("斜入射照射時の入射表面線量分布"));
    } else {
        drawLabel(painter, QPointF(kBody.right() - 76, kBody.top() + 5),
                  QStringLiteral("ファントム"), true);
        drawLabel(painter, QPointF(kCouch.left() + 4, kCouch.bottom() + 3), QStringLiteral("寝台"),
                  false);

        // FSD: a dimension parallel to the central ray, from the focus to the
        // entrance surface, on the side away from the angle mark.
        constexpr double offset = 52;
        const QPointF focusEnd = focus + across * offset;
        const QPointF surfaceEnd = kEntryPoint + across * offset;
        painter.setPen(thin);
        painter.drawLine(focus + across * 7.0, focusEnd + across * 5.0);
        painter.setPen(QPen(Qt::white, 5.0));
        painter.drawLine(kEntryPoint + across * 4.0, surfaceEnd + across * 5.0);
        painter.drawLine(focusEnd, surfaceEnd);
        painter.setPen(thin);
        painter.drawLine(kEntryPoint + across * 4.0, surfaceEnd + across * 5.0);
        painter.drawLine(focusEnd, surfaceEnd);
        drawArrowHead(painter, focusEnd, surfaceEnd, 9);
        drawArrowHead(painter, surfaceEnd, focusEnd, 9);
        QFont dimensionFont(QStringLiteral("Liberation Serif"));
        dimensionFont.setPixelSize(14);
        painter.setFont(dimensionFont);
        drawLabel(painter, (focusEnd + surfaceEnd) / 2 + QPointF(6, -8), QStringLiteral("FSD"), true);
    }
    painter.restore();
}

SetupPicture::SetupPicture(SetupDrawingKind kind, const QColor& background, QWidget* parent)
    : QWidget(parent), kind_(kind), background_(background) {}

void SetupPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    drawSetupScene(painter, QRectF(rect()).adjusted(4, 4, -4, -4), kind_);
}

QPixmap programIconPixmap(int sizePixels) {
    QPixmap pixmap(sizePixels, sizePixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(sizePixels / 32.0, sizePixels / 32.0);
    // A water block struck obliquely by a beam from a focus at the lower right.
    painter.setPen(QPen(QColor(20, 40, 120), 1.0));
    painter.setBrush(QColor(120, 190, 255));
    painter.drawRect(QRectF(2, 4, 28, 12));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 210, 0, 220));
    QPolygonF beam;
    beam << QPointF(25, 29) << QPointF(8, 16) << QPointF(20, 16);
    painter.drawPolygon(beam);
    painter.setPen(QPen(QColor(255, 0, 0), 2.0));
    painter.drawLine(QPointF(7, 16), QPointF(21, 16));
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(25, 28), 2.5, 2.5);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) icon.addPixmap(programIconPixmap(size));
    return icon;
}

}  // namespace velmora
