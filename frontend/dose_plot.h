// Drawing of the dose map, its colour legend and the central-row profiles into
// QImages. The viewer paints these images; the PNG exporter and the command
// line renderer use the same code without a window.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <array>

#include "frontend/viewer_load.h"

class QPainter;

namespace velmora::plot {

inline constexpr int kBandCount = 11;
// Lower limits of the eleven colour bands, band 1 (highest) first.
using BandLimits = std::array<double, kBandCount>;

// Limits as the map button sets them: band 1 at bandMax, then bandMin + 9, 8,
// ... 0 steps of (bandMax - bandMin) / 10.
BandLimits bandLimitsFor(double bandMax, double bandMin);

// The band (0-based) of a total dose: the first limit it reaches, in the order
// band 1 ... 11; -1 when it is below all of them and the background stays.
int bandIndex(double total, const BandLimits& limits);

QColor mapBandColour(int band);     // 0-based
QColor legendBandColour(int band);  // 0-based; band 11 is greyer than on the map

inline const QColor kPlotBackground(64, 64, 64);
inline const QColor kLightGuide(192, 192, 192);
inline const QColor kGuide(128, 128, 128);
inline const QColor kTotalColour(255, 0, 0);
inline const QColor kPrimaryColour(255, 255, 0);
inline const QColor kScatterColour(0, 255, 255);

// Pixel sizes of the drawing areas inside their 2-pixel sunken borders.
// Map: one unit one pixel, x 0 ... 404 to the right, y -200 ... 204 downwards.
inline constexpr int kMapWidth = 405;
inline constexpr int kMapHeight = 405;
inline constexpr int kMapYOrigin = 200;  // pixel row of y = 0
// Profiles: x one pixel a unit; y 150 at the top to 0 at the bottom, 20.5
// twips (1.3667 pixels) a unit.
inline constexpr int kProfileWidth = 405;
inline constexpr int kProfileHeight = 205;
// Legend: 30 x 110 units of 26.5 x 35.59091 twips.
inline constexpr int kLegendWidth = 53;
inline constexpr int kLegendHeight = 261;

// Pixel of a map unit (x to the right, y downwards from the X axis).
inline QPointF mapPixel(double x, double y) { return QPointF(x, y + kMapYOrigin); }
// Map unit under a pixel position.
inline QPointF mapUnit(QPointF pixel) { return QPointF(pixel.x(), pixel.y() - kMapYOrigin); }
// The cursor read-out works strictly inside the map: 0 < x < 400, -200 < y < 200.
inline bool insideMapArea(float x, float y) {
    return x > 0 && x < kResultXBins && y > -kResultYBins && y < kResultYBins;
}

// The bin drawn under a cursor position inside the map area. Below the X axis
// row iy is drawn at y = iy, above it at y = 1 - iy, so above the axis the row
// is 1 - y. Halves go to the even neighbour; ix can be 0 (x below 0.5), which
// reads the never-loaded zero column.
struct MapBin {
    int ix = 0;
    int iy = 0;
};
MapBin binUnderCursor(float x, float y);

// Pixel of a profile point (x in bins, y in 0.01 Gy).
QPointF profilePixel(double x, double y);
// A design position in twips inside a drawing area, to the nearest pixel.
int twipsToPixels(double twips);

QImage blankImage(int width, int height, const QColor& background);

// Clears the map and draws every bin of the total dose in its band colour at
// (ix, iy) and mirrored at (ix, 1 - iy); bins below all limits stay background.
void drawDoseMap(QImage& map, const DoseGridView& grid, const BandLimits& limits);

// Fills the eleven legend boxes, band 1 at the top.
void drawLegend(QImage& legend);

// Clears the area and draws the total, primary and scatter dose along the
// central row, 2 pixels wide.
void drawProfiles(QImage& profiles, const DoseGridView& grid);

// The thin fixed lines that lie over each area (Y = 0, X = 0, +-10 cm; 0.5 and
// 1.0 Gy). The viewer keeps them as separate line objects; exported pictures
// paint them with these.
void paintMapGuides(QPainter& painter);
void paintProfileGuides(QPainter& painter);

// Stand-alone pictures for export: the map with its axis labels, legend and
// limit texts; the profiles with their labels and axis; both under a title.
QImage renderMapFigure(const QImage& map, const QStringList& limitTexts,
                       const QStringList& titleLines);
QImage renderProfileFigure(const QImage& profiles, const QStringList& titleLines);
QImage renderSummaryFigure(const DoseGridView& grid, const BandLimits& limits,
                           const QStringList& titleLines);

// Limits as the boxes show them: pattern "0.000".
QStringList limitTexts(const BandLimits& limits);

}  // namespace velmora::plot
