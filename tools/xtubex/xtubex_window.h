// The X-TUBEX window: beam settings on the left, the spectrum plot on the
// right, its figures below; recomputed as the inputs change, "Save" writes
// "B_TUBEX.dat" into the working directory.
#pragma once

#include <QWidget>

#include <optional>

#include "tools/xtubex/beam_input.h"
#include "tools/xtubex/spectrum_model.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::xtubex {

class SpectrumPlot;

class XTubexWindow : public QWidget {
    Q_OBJECT
public:
    // `model` must outlive the window.
    explicit XTubexWindow(const SpectrumModel& model, QWidget* parent = nullptr);

    // The text of the About box: what the program computes and its sources.
    static QString aboutText();

    // The beam on show: the last settings that were all valid.
    const std::optional<BeamSettings>& shownSettings() const { return shownSettings_; }

private:
    struct NumberInput {
        BeamField field;
        QLineEdit* edit = nullptr;
        QLabel* message = nullptr;
    };

    QLineEdit* addNumberRow(QGridLayout* grid, int row, BeamField field, const QString& label,
                            const QString& defaultText);
    void recompute();
    void save();
    void showAbout();
    void showStatus(const QString& text, bool isError);

    const SpectrumModel& model_;
    std::vector<NumberInput> inputs_;
    QComboBox* extraFilterBox_ = nullptr;
    QLineEdit* extraFilterEdit_ = nullptr;
    SpectrumPlot* plot_ = nullptr;
    QLabel* meanEnergyValue_ = nullptr;
    QLabel* hvlAluminiumValue_ = nullptr;
    QLabel* hvlCopperValue_ = nullptr;
    QLabel* airKermaValue_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    std::optional<BeamSettings> shownSettings_;
    std::optional<Beam> shownBeam_;
};

}  // namespace velmora::xtubex
