// Drawing of the spectrum plot with QPainter.
#include "tools/xtubex/spectrum_plot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velmora::xtubex {
namespace {

// Tick step giving about five to ten ticks over `span`.
double tickStep(double span) {
    for (const double step : {5.0, 10.0, 20.0, 25.0, 50.0}) {
        if (span / step <= 10.0) return step;
    }
    return 50.0;
}

}  // namespace

SpectrumPlot::SpectrumPlot(QWidget* parent) : QWidget(parent) {
    setObjectName("spectrumPlot");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SpectrumPlot::setSpectrum(const BinnedSpectrum& spectrum, double tubeVoltageKV) {
    spectrum_ = spectrum;
    // The energy axis ends at the next multiple of 10 keV above the voltage.
    axisEnergyKeV_ = std::max(20.0, std::ceil(tubeVoltageKV / 10.0) * 10.0);
    hasSpectrum_ = spectrum.peak() > 0;
    update();
}

void SpectrumPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect(), Qt::white);

    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance("100") + metrics.height() + 14;
    const int bottom = 2 * metrics.height() + 14;
    const QRectF area(left, 12, std::max(10, width() - left - 16), std::max(10, height() - bottom - 12));

    const auto xOf = [&](double energyKeV) { return area.left() + area.width() * energyKeV / axisEnergyKeV_; };
    const auto yOf = [&](double percent) { return area.bottom() - area.height() * percent / 100.0; };

    // Grid and tick labels.
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    const double energyStep = tickStep(axisEnergyKeV_);
    for (double energy = 0; energy <= axisEnergyKeV_ + 1e-9; energy += energyStep) {
        painter.drawLine(QPointF(xOf(energy), area.top()), QPointF(xOf(energy), area.bottom()));
    }
    for (int percent = 0; percent <= 100; percent += 20) {
        painter.drawLine(QPointF(area.left(), yOf(percent)), QPointF(area.right(), yOf(percent)));
    }
    painter.setPen(Qt::black);
    for (double energy = 0; energy <= axisEnergyKeV_ + 1e-9; energy += energyStep) {
        const QString text = QString::number(energy, 'f', 0);
        const double x = xOf(energy) - metrics.horizontalAdvance(text) / 2.0;
        painter.drawText(QPointF(x, area.bottom() + metrics.ascent() + 4), text);
    }
    for (int percent = 0; percent <= 100; percent += 20) {
        const QString text = QString::number(percent);
        painter.drawText(QPointF(area.left() - metrics.horizontalAdvance(text) - 5,
                                 yOf(percent) + metrics.ascent() / 2.0 - 1),
                         text);
    }
    const QString energyTitle = "Photon energy (keV)";
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(energyTitle) / 2.0,
                             height() - metrics.descent() - 4),
                     energyTitle);
    painter.save();
    painter.translate(metrics.ascent() + 2, area.center().y());
    painter.rotate(-90);
    const QString fluenceTitle = "Fluence per 0.5 keV bin (% of peak)";
    painter.drawText(QPointF(-metrics.horizontalAdvance(fluenceTitle) / 2.0, 0), fluenceTitle);
    painter.restore();

    // The spectrum as a histogram: bin k covers (E_k - 0.25, E_k + 0.25) keV.
    if (hasSpectrum_) {
        const double peak = spectrum_.peak();
        QPainterPath outline;
        outline.moveTo(xOf(0), yOf(0));
        for (int bin = 1; bin <= kBinCount; ++bin) {
            const double energy = binEnergyKeV(bin);
            if (energy - 0.25 > axisEnergyKeV_) break;
            const double y = yOf(100.0 * spectrum_.fluence[bin] / peak);
            outline.lineTo(xOf(energy - 0.25), y);
            outline.lineTo(xOf(std::min(energy + 0.25, axisEnergyKeV_)), y);
        }
        outline.lineTo(xOf(axisEnergyKeV_), yOf(0));
        QPainterPath filled = outline;
        filled.closeSubpath();
        painter.fillPath(filled, QColor(70, 130, 200, 90));
        painter.setPen(QPen(QColor(20, 70, 150), 1.4));
        painter.drawPath(outline);
    }

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
}

}  // namespace velmora::xtubex
