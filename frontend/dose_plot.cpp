#include "frontend/dose_plot.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "formats/number_patterns.h"
#include "frontend/ui_common.h"

namespace velmora::plot {

namespace {

// Map and legend colours of bands 1 ... 11. The lowest band differs in blue:
// 220 on the map, 200 in the legend.
constexpr std::array<std::array<int, 3>, kBandCount> kMapColours = {{{255, 0, 255},
                                                                     {255, 0, 0},
                                                                     {255, 192, 0},
                                                                     {255, 255, 0},
                                                                     {146, 208, 80},
                                                                     {0, 176, 80},
                                                                     {0, 176, 240},
                                                                     {0, 112, 192},
                                                                     {112, 48, 160},
                                                                     {126, 126, 126},
                                                                     {200, 200, 220}}};

constexpr double kTwipsPerPixel = 15.0;
constexpr double kProfileTwipsPerUnitY = 20.5;
constexpr double kProfileTopUnit = 150.0;
constexpr double kLegendTwipsPerUnitY = 35.59091;
constexpr double kLegendTwipsPerBand = 10 * kLegendTwipsPerUnitY;

// Where the window puts the drawing areas' frames, in twips: the exported
// figures arrange labels, legend and limits as the window does.
constexpr int kMapFrameLeft = 4080;
constexpr int kMapFrameTop = 600;
constexpr int kProfileFrameTop = 7200;
constexpr int kAreaBorder = 2;  // pixels of the sunken frame around each area

struct PlacedText {
    int leftTwips;
    int topTwips;
    const char* text;
    double pointSize;
};

// Axis labels around the map, placed in window twips.
constexpr std::array<PlacedText, 10> kMapAxisLabels = {{{6960, 120, "Y", 18},
                                                       {10320, 3480, "X", 18},
                                                       {3600, 1920, "10", 18},
                                                       {3840, 3480, "0", 18},
                                                       {3480, 4920, "-10", 18},
                                                       {3600, 5280, "cm", 14.25},
                                                       {5280, 6720, "-10", 18},
                                                       {7080, 6720, "0", 18},
                                                       {8400, 6720, "10", 18},
                                                       {8880, 6780, "cm", 14.25}}};

constexpr std::array<PlacedText, 4> kProfileAxisLabels = {{{10320, 7200, "Gy", 18},
                                                           {10320, 8160, "1.0", 18},
                                                           {10320, 9120, "0.5", 18},
                                                           {10320, 10200, "0", 18}}};

void drawTextAt(QPainter& painter, QPoint topLeft, const QString& text, const QFont& font,
                const QColor& colour) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QRect(topLeft, QSize(400, 60)), Qt::AlignLeft | Qt::AlignTop, text);
}

void drawAreaFrame(QPainter& painter, const QRect& outer) {
    painter.fillRect(outer, QColor(160, 160, 160));
    painter.fillRect(outer.adjusted(0, 0, -1, -1), QColor(105, 105, 105));
    painter.fillRect(outer.adjusted(1, 1, -1, -1), QColor(227, 227, 227));
    painter.fillRect(outer.adjusted(1, 1, -2, -2), QColor(64, 64, 64));
}

QFont titleFont() { return ui::namedFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25); }

int titleHeight(const QStringList& lines) { return 6 + 20 * static_cast<int>(lines.size()); }

// Wide enough for the layout and for the longest title line.
int figureWidth(int layoutWidth, const QStringList& titleLines) {
    const QFontMetrics metrics(titleFont());
    int width = layoutWidth;
    for (const QString& line : titleLines) width = std::max(width, metrics.horizontalAdvance(line) + 24);
    return width;
}

void drawTitleLines(QPainter& painter, const QStringList& lines, int left, int top) {
    painter.setFont(titleFont());
    painter.setPen(Qt::black);
    const int width = painter.device()->width() - 2 * left;
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(QRect(left, top + i * 20, width, 20), Qt::AlignLeft | Qt::AlignTop,
                         lines[i]);
    }
}

}  // namespace

BandLimits bandLimitsFor(double bandMax, double bandMin) {
    const double bandStep = (bandMax - bandMin) / 10;
    BandLimits limits{};
    limits[0] = bandMax;
    for (int k = 2; k <= kBandCount; ++k) limits[k - 1] = bandMin + (kBandCount - k) * bandStep;
    return limits;
}

int bandIndex(double total, const BandLimits& limits) {
    for (int band = 0; band < kBandCount; ++band) {
        if (total >= limits[band]) return band;
    }
    return -1;
}

QColor mapBandColour(int band) {
    const auto& rgb = kMapColours.at(band);
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QColor legendBandColour(int band) {
    if (band == kBandCount - 1) return QColor(200, 200, 200);
    return mapBandColour(band);
}

MapBin binUnderCursor(float x, float y) {
    const auto roundHalfEven = [](double value) { return static_cast<int>(std::nearbyint(value)); };
    MapBin bin;
    bin.ix = roundHalfEven(x);
    if (y > 0) {
        // (0, 0.5] lies on the pixel of y = 0, the mirrored central row.
        bin.iy = std::max(1, roundHalfEven(y));
    } else {
        bin.iy = std::min(kResultYBins, roundHalfEven(1.0 - static_cast<double>(y)));
    }
    return bin;
}

int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QPointF profilePixel(double x, double y) {
    return QPointF(x, (kProfileTopUnit - y) * kProfileTwipsPerUnitY / kTwipsPerPixel);
}

QImage blankImage(int width, int height, const QColor& background) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

void drawDoseMap(QImage& map, const DoseGridView& grid, const BandLimits& limits) {
    map.fill(kPlotBackground);
    std::array<QRgb, kBandCount> colours{};
    for (int band = 0; band < kBandCount; ++band) colours[band] = mapBandColour(band).rgb();
    for (int ix = 1; ix <= kResultXBins; ++ix) {
        for (int iy = 1; iy <= kResultYBins; ++iy) {
            const int band = bandIndex(grid.total(ix, iy), limits);
            if (band < 0) continue;
            // Only |y| is scored: the bin shows below the axis at y = iy and
            // mirrored above it at y = 1 - iy.
            const int rowBelow = iy + kMapYOrigin;
            const int rowAbove = 1 - iy + kMapYOrigin;
            reinterpret_cast<QRgb*>(map.scanLine(rowBelow))[ix] = colours[band];
            reinterpret_cast<QRgb*>(map.scanLine(rowAbove))[ix] = colours[band];
        }
    }
}

void drawLegend(QImage& legend) {
    legend.fill(Qt::white);
    QPainter painter(&legend);
    for (int band = 0; band < kBandCount; ++band) {
        const int top = twipsToPixels(band * kLegendTwipsPerBand);
        const int bottom = twipsToPixels((band + 1) * kLegendTwipsPerBand);
        painter.fillRect(QRect(0, top, kLegendWidth, bottom - top), legendBandColour(band));
    }
}

void drawProfiles(QImage& profiles, const DoseGridView& grid) {
    profiles.fill(kPlotBackground);
    QPainter painter(&profiles);
    const std::array<QColor, 3> colours = {kTotalColour, kPrimaryColour, kScatterColour};
    for (int component = 0; component < 3; ++component) {
        // One unit is 0.01 Gy; the curve starts at x = 0 with the first bin's value.
        QPolygonF curve;
        curve.reserve(kResultXBins + 1);
        curve << profilePixel(0, 100 * grid.at(component, 1, 1));
        for (int ix = 1; ix <= kResultXBins; ++ix) {
            curve << profilePixel(ix, 100 * grid.at(component, ix, 1));
        }
        painter.setPen(QPen(colours[component], 2));
        painter.drawPolyline(curve);
    }
}

void paintMapGuides(QPainter& painter) {
    const int axis = twipsToPixels(3000);
    const int minus10 = twipsToPixels(1500);
    const int plus10 = twipsToPixels(4500);
    painter.setPen(QPen(kGuide, 1));
    for (int at : {minus10, plus10}) {
        painter.drawLine(0, at, kMapWidth - 1, at);
        painter.drawLine(at, 0, at, kMapHeight - 1);
    }
    painter.setPen(QPen(kLightGuide, 1));
    painter.drawLine(0, axis, kMapWidth - 1, axis);
    painter.drawLine(axis, 0, axis, kMapHeight - 1);
}

void paintProfileGuides(QPainter& painter) {
    painter.setPen(QPen(kGuide, 1));
    painter.drawLine(0, twipsToPixels(2050), kProfileWidth - 1, twipsToPixels(2050));
    painter.drawLine(twipsToPixels(1500), twipsToPixels(461), twipsToPixels(1500),
                     kProfileHeight - 1);
    painter.drawLine(twipsToPixels(4500), 0, twipsToPixels(4500), kProfileHeight - 1);
    painter.setPen(QPen(kLightGuide, 1));
    painter.drawLine(0, twipsToPixels(1025), kProfileWidth - 1, twipsToPixels(1025));
    painter.drawLine(twipsToPixels(3000), 0, twipsToPixels(3000), kProfileHeight - 1);
}

QStringList limitTexts(const BandLimits& limits) {
    QStringList texts;
    for (double limit : limits) texts << QString::fromStdString(formatFixedPattern(limit, 1, 3));
    return texts;
}

QImage renderMapFigure(const QImage& map, const QStringList& limits,
                       const QStringList& titleLines) {
    // The map's frame lies 60 pixels from the left and below the title, far
    // enough that the axis labels, which the window places outside it, fit.
    const QPoint frame(60, titleHeight(titleLines) + 40);
    const auto at = [&](int leftTwips, int topTwips) {
        return frame + QPoint(ui::px(leftTwips - kMapFrameLeft), ui::px(topTwips - kMapFrameTop));
    };
    QImage figure(figureWidth(frame.x() + ui::px(13700 - kMapFrameLeft), titleLines),
                  frame.y() + ui::px(6135 + 900),
                  QImage::Format_RGB32);
    figure.fill(QColor(240, 240, 240));
    QPainter painter(&figure);
    drawTitleLines(painter, titleLines, 10, 6);

    drawAreaFrame(painter, QRect(frame, QSize(ui::px(6135), ui::px(6135))));
    const QPoint inner = frame + QPoint(kAreaBorder, kAreaBorder);
    painter.drawImage(inner, map);
    painter.save();
    painter.translate(inner);
    painter.setClipRect(QRect(0, 0, kMapWidth, kMapHeight));
    paintMapGuides(painter);
    painter.restore();

    for (const auto& label : kMapAxisLabels) {
        drawTextAt(painter, at(label.leftTwips, label.topTwips), QString::fromUtf8(label.text),
                   ui::namedFont(QStringLiteral("Times New Roman"), label.pointSize), Qt::black);
    }

    // Legend with the eleven limits beside it, as the window lays them out.
    QImage legend = blankImage(kLegendWidth, kLegendHeight, Qt::white);
    drawLegend(legend);
    drawAreaFrame(painter, QRect(at(10920, 1080), QSize(ui::px(855), ui::px(3975))));
    painter.drawImage(at(10920, 1080) + QPoint(kAreaBorder, kAreaBorder), legend);
    drawTextAt(painter, at(12360, 720), QStringLiteral("Gy"),
               ui::namedFont(QStringLiteral("Times New Roman"), 14.25), Qt::black);
    const QFont limitFont = ui::namedFont(QStringLiteral("ＭＳ ゴシック"), 12);
    for (int band = 0; band < kBandCount; ++band) {
        const QRect box(at(11760, 1080 + 360 * band), QSize(ui::px(1335), ui::px(375)));
        painter.fillRect(box, Qt::white);
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setFont(limitFont);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, band < limits.size() ? limits[band] : QString());
        drawTextAt(painter, at(13200, 1200 + 360 * band), QStringLiteral("～"),
                   ui::namedFont(QStringLiteral("ＭＳ ゴシック"), 11.25), Qt::black);
    }
    return figure;
}

QImage renderProfileFigure(const QImage& profiles, const QStringList& titleLines) {
    const QPoint frame(20, titleHeight(titleLines) + 8);
    const auto at = [&](int leftTwips, int topTwips) {
        return frame +
               QPoint(ui::px(leftTwips - kMapFrameLeft), ui::px(topTwips - kProfileFrameTop));
    };
    QImage figure(figureWidth(frame.x() + ui::px(10920 - kMapFrameLeft), titleLines),
                  frame.y() + ui::px(3135) + 20,
                  QImage::Format_RGB32);
    figure.fill(QColor(240, 240, 240));
    QPainter painter(&figure);
    drawTitleLines(painter, titleLines, 10, 6);

    drawAreaFrame(painter, QRect(frame, QSize(ui::px(6135), ui::px(3135))));
    const QPoint inner = frame + QPoint(kAreaBorder, kAreaBorder);
    painter.drawImage(inner, profiles);
    painter.save();
    painter.translate(inner);
    painter.setClipRect(QRect(0, 0, kProfileWidth, kProfileHeight));
    paintProfileGuides(painter);
    const QFont legendFont = ui::namedFont(QStringLiteral("Times New Roman"), 15.75);
    drawTextAt(painter, QPoint(ui::px(240), 0), QStringLiteral("Profile (Y=0)"),
               ui::namedFont(QStringLiteral("Times New Roman"), 14.25), Qt::white);
    drawTextAt(painter, QPoint(ui::px(360), ui::px(360)), QStringLiteral("Total"), legendFont,
               kTotalColour);
    drawTextAt(painter, QPoint(ui::px(360), ui::px(720)), QStringLiteral("Primary"), legendFont,
               kPrimaryColour);
    drawTextAt(painter, QPoint(ui::px(360), ui::px(1080)), QStringLiteral("Scatter"), legendFont,
               kScatterColour);
    painter.restore();

    for (const auto& label : kProfileAxisLabels) {
        drawTextAt(painter, at(label.leftTwips, label.topTwips), QString::fromUtf8(label.text),
                   ui::namedFont(QStringLiteral("Times New Roman"), label.pointSize), Qt::black);
    }
    return figure;
}

QImage renderSummaryFigure(const DoseGridView& grid, const BandLimits& limits,
                           const QStringList& titleLines) {
    QImage map = blankImage(kMapWidth, kMapHeight, kPlotBackground);
    drawDoseMap(map, grid, limits);
    QImage profiles = blankImage(kProfileWidth, kProfileHeight, kPlotBackground);
    drawProfiles(profiles, grid);

    const QImage mapFigure = renderMapFigure(map, limitTexts(limits), titleLines);
    const QImage profileFigure = renderProfileFigure(profiles, {});
    QImage figure(std::max(mapFigure.width(), profileFigure.width() + 40),
                  mapFigure.height() + profileFigure.height(), QImage::Format_RGB32);
    figure.fill(QColor(240, 240, 240));
    QPainter painter(&figure);
    painter.drawImage(0, 0, mapFigure);
    painter.drawImage(40, mapFigure.height(), profileFigure);
    return figure;
}

}  // namespace velmora::plot
