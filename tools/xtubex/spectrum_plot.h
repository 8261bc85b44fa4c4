// The spectrum drawn as a histogram of fluence per 0.5 keV bin, in percent of
// the largest bin, with energy and fluence axes.
#pragma once

#include <QWidget>

#include "tools/xtubex/spectrum_model.h"

namespace velmora::xtubex {

class SpectrumPlot : public QWidget {
    Q_OBJECT
public:
    explicit SpectrumPlot(QWidget* parent = nullptr);

    void setSpectrum(const BinnedSpectrum& spectrum, double tubeVoltageKV);
    const BinnedSpectrum& spectrum() const { return spectrum_; }

    QSize sizeHint() const override { return {560, 380}; }
    QSize minimumSizeHint() const override { return {320, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BinnedSpectrum spectrum_;
    double axisEnergyKeV_ = 100;  // right end of the energy axis
    bool hasSpectrum_ = false;
};

}  // namespace velmora::xtubex
