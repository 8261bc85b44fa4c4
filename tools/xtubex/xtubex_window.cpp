// Layout and handlers of the X-TUBEX window.
#include "tools/xtubex/xtubex_window.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "tools/xtubex/attenuation.h"
#include "tools/xtubex/spectrum_file.h"
#include "tools/xtubex/spectrum_plot.h"

namespace velmora::xtubex {
namespace {

const char* objectNameOf(BeamField field) {
    switch (field) {
        case BeamField::TubeVoltage: return "tubeVoltage";
        case BeamField::AnodeAngle: return "anodeAngle";
        case BeamField::Ripple: return "ripple";
        case BeamField::Aluminium: return "aluminium";
        case BeamField::Copper: return "copper";
        case BeamField::ExtraFilterThickness: return "extraFilter";
    }
    return "field";
}

double BeamSettings::*memberOf(BeamField field) {
    switch (field) {
        case BeamField::TubeVoltage: return &BeamSettings::tubeVoltageKV;
        case BeamField::AnodeAngle: return &BeamSettings::anodeAngleDeg;
        case BeamField::Ripple: return &BeamSettings::ripplePercent;
        case BeamField::Aluminium: return &BeamSettings::aluminiumMm;
        case BeamField::Copper: return &BeamSettings::copperMm;
        case BeamField::ExtraFilterThickness: return &BeamSettings::extraFilterMm;
    }
    return &BeamSettings::tubeVoltageKV;
}

QLabel* figureLabel(const char* objectName) {
    auto* label = new QLabel("–");
    label->setObjectName(objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

XTubexWindow::XTubexWindow(const SpectrumModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setWindowTitle("X-TUBEX");
    setObjectName("XTubexWindow");

    // Left: the beam settings, each with its unit and a message next to it.
    auto* beamBox = new QGroupBox("Tube and filtration");
    auto* grid = new QGridLayout(beamBox);
    grid->setColumnStretch(3, 1);
    const BeamSettings defaults;
    addNumberRow(grid, 0, BeamField::TubeVoltage, "Tube voltage", QString::number(defaults.tubeVoltageKV));
    addNumberRow(grid, 1, BeamField::AnodeAngle, "Anode angle", QString::number(defaults.anodeAngleDeg));
    addNumberRow(grid, 2, BeamField::Ripple, "Ripple", QString::number(defaults.ripplePercent));
    addNumberRow(grid, 3, BeamField::Aluminium, "Added Al", QString::number(defaults.aluminiumMm));
    addNumberRow(grid, 4, BeamField::Copper, "Added Cu", QString::number(defaults.copperMm));

    grid->addWidget(new QLabel("Extra filter"), 5, 0);
    extraFilterBox_ = new QComboBox;
    extraFilterBox_->setObjectName("extraFilterMaterial");
    extraFilterBox_->addItem("none");
    for (const auto& label : extraFilterLabels()) extraFilterBox_->addItem(QString::fromStdString(label));
    grid->addWidget(extraFilterBox_, 5, 1);
    extraFilterEdit_ = addNumberRow(grid, 6, BeamField::ExtraFilterThickness, "  thickness", "0");
    extraFilterEdit_->setEnabled(false);

    auto* windowNote = new QLabel("Added filtration is on top of the 0.8 mm Be tube window.");
    windowNote->setWordWrap(true);
    windowNote->setStyleSheet("color: #555555;");
    grid->addWidget(windowNote, 7, 0, 1, 4);

    saveButton_ = new QPushButton("Save");
    saveButton_->setObjectName("saveButton");
    saveButton_->setToolTip(QString("Write %1 into the working directory").arg(kSpectrumFileName));
    auto* aboutButton = new QPushButton("About");
    aboutButton->setObjectName("aboutButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveButton_);
    buttons->addWidget(aboutButton);
    buttons->addStretch(1);

    statusLabel_ = new QLabel;
    statusLabel_->setObjectName("statusLabel");
    statusLabel_->setWordWrap(true);

    // A fixed width, so that messages appearing next to the fields never move the plot.
    auto* leftPanel = new QWidget;
    leftPanel->setFixedWidth(480);
    auto* left = new QVBoxLayout(leftPanel);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(beamBox);
    left->addLayout(buttons);
    left->addWidget(statusLabel_);
    left->addStretch(1);

    // Right: the plot, and the beam's figures below it.
    plot_ = new SpectrumPlot;
    auto* figuresBox = new QGroupBox("Beam quality");
    auto* figures = new QGridLayout(figuresBox);
    meanEnergyValue_ = figureLabel("meanEnergyValue");
    hvlAluminiumValue_ = figureLabel("hvlAluminiumValue");
    hvlCopperValue_ = figureLabel("hvlCopperValue");
    airKermaValue_ = figureLabel("airKermaValue");
    figures->addWidget(new QLabel("Mean energy"), 0, 0);
    figures->addWidget(meanEnergyValue_, 0, 1);
    figures->addWidget(new QLabel("Air kerma at 100 cm"), 0, 2);
    figures->addWidget(airKermaValue_, 0, 3);
    figures->addWidget(new QLabel("HVL1 / HVL2 in Al"), 1, 0);
    figures->addWidget(hvlAluminiumValue_, 1, 1);
    figures->addWidget(new QLabel("HVL1 / HVL2 in Cu"), 1, 2);
    figures->addWidget(hvlCopperValue_, 1, 3);
    figures->setColumnStretch(1, 1);
    figures->setColumnStretch(3, 1);
    figures->setHorizontalSpacing(14);

    auto* right = new QVBoxLayout;
    right->addWidget(plot_, 1);
    right->addWidget(figuresBox);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(leftPanel, 0);
    layout->addLayout(right, 1);

    for (const auto& input : inputs_) connect(input.edit, &QLineEdit::textChanged, this, &XTubexWindow::recompute);
    connect(extraFilterBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        extraFilterEdit_->setEnabled(index > 0);
        recompute();
    });
    connect(saveButton_, &QPushButton::clicked, this, &XTubexWindow::save);
    connect(aboutButton, &QPushButton::clicked, this, &XTubexWindow::showAbout);

    recompute();
    resize(1060, 600);
}

QLineEdit* XTubexWindow::addNumberRow(QGridLayout* grid, int row, BeamField field, const QString& label,
                                      const QString& defaultText) {
    const QString name = objectNameOf(field);
    auto* edit = new QLineEdit(defaultText);
    edit->setObjectName(name + "Edit");
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(90);
    const FieldLimits limits = limitsOf(field);
    edit->setToolTip(QString("%1 to %2 %3").arg(limits.minimum).arg(limits.maximum).arg(limits.unit));
    auto* message = new QLabel;
    message->setObjectName(name + "Message");
    message->setWordWrap(true);
    message->setStyleSheet("color: #b00020;");
    const QString unit = QString(limits.unit) == "deg" ? QString("°") : QString(limits.unit);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(unit), row, 2);
    grid->addWidget(message, row, 3);
    inputs_.push_back({field, edit, message});
    return edit;
}

void XTubexWindow::recompute() {
    BeamSettings settings;
    bool allValid = true;
    for (const auto& input : inputs_) {
        if (!input.edit->isEnabled()) {
            input.message->clear();
            input.edit->setStyleSheet({});
            continue;
        }
        const FieldCheck check = checkField(input.field, input.edit->text().toStdString());
        input.message->setText(QString::fromStdString(check.message));
        input.edit->setStyleSheet(check.value ? QString() : QString("border: 1px solid #b00020;"));
        if (check.value) {
            settings.*memberOf(input.field) = *check.value;
        } else {
            allValid = false;
        }
    }
    if (extraFilterBox_->currentIndex() > 0) {
        settings.extraFilter = extraFilterBox_->currentText().toStdString();
    } else {
        settings.extraFilterMm = 0;
    }

    if (!allValid) {
        saveButton_->setEnabled(false);
        showStatus("Input refused; the spectrum shown is for the last valid input.", true);
        return;
    }
    try {
        Beam beam = model_.computeBeam(settings);
        shownBeam_ = std::move(beam);
        shownSettings_ = settings;
    } catch (const std::exception& error) {
        saveButton_->setEnabled(false);
        showStatus(QString("No spectrum: %1").arg(error.what()), true);
        return;
    }

    const BeamQuality& quality = shownBeam_->quality;
    plot_->setSpectrum(shownBeam_->spectrum, settings.tubeVoltageKV);
    meanEnergyValue_->setText(QString("%1 keV").arg(quality.meanEnergyKeV, 0, 'f', 1));
    hvlAluminiumValue_->setText(
        QString("%1 / %2 mm").arg(quality.hvl1MmAl, 0, 'f', 2).arg(quality.hvl2MmAl, 0, 'f', 2));
    hvlCopperValue_->setText(
        QString("%1 / %2 mm").arg(quality.hvl1MmCu, 0, 'f', 3).arg(quality.hvl2MmCu, 0, 'f', 3));
    airKermaValue_->setText(QString("%1 µGy/mAs").arg(quality.airKermaMicroGyPerMAs, 0, 'f', 1));
    saveButton_->setEnabled(true);
    showStatus({}, false);
}

void XTubexWindow::save() {
    if (!shownBeam_ || !shownSettings_ || !saveButton_->isEnabled()) return;
    try {
        writeSpectrumFile(kSpectrumFileName, *shownSettings_, *shownBeam_);
        showStatus(QString("Saved %1 in %2.").arg(kSpectrumFileName, QDir::toNativeSeparators(QDir::currentPath())),
                   false);
    } catch (const std::exception& error) {
        showStatus(QString("Not saved: %1").arg(QString::fromLocal8Bit(error.what())), true);
    }
}

void XTubexWindow::showStatus(const QString& text, bool isError) {
    statusLabel_->setStyleSheet(isError ? "color: #b00020;" : "color: #1b5e20;");
    statusLabel_->setText(text);
}

QString XTubexWindow::aboutText() {
    return QString(
        "<h3>X-TUBEX</h3>"
        "<p>Tungsten-anode X-ray spectra for the dose simulation, written as "
        "<tt>%1</tt>: fluence per 0.5 keV bin in percent of the largest bin.</p>"
        "<p><b>Spectra:</b> TASMICS &ndash; A. M. Hernandez and J. M. Boone, "
        "&ldquo;Tungsten anode spectral model using interpolating cubic splines: unfiltered "
        "x-ray spectra from 20 kV to 640 kV&rdquo;, Med. Phys. 41(4), 042101 (2014). "
        "Linear interpolation between 1 kV columns; 0.8 mm Be tube window.</p>"
        "<p><b>Cross-check and ripple:</b> TASMIP &ndash; J. M. Boone and J. A. Seibert, "
        "&ldquo;An accurate method for computer-generating tungsten anode x-ray spectra "
        "from 30 to 140 kV&rdquo;, Med. Phys. 24(11), 1661&ndash;1670 (1997).</p>"
        "<p><b>Anode angle:</b> empirical heel self-filtration in tungsten, referred to a 12&deg; anode.</p>"
        "<p><b>Attenuation:</b> xraylib total cross sections. <b>Air kerma and HVL:</b> "
        "NIST SRD 126 mass energy-absorption coefficients of dry air (Hubbell &amp; Seltzer).</p>")
        .arg(kSpectrumFileName);
}

void XTubexWindow::showAbout() { QMessageBox::about(this, "About X-TUBEX", aboutText()); }

}  // namespace velmora::xtubex
