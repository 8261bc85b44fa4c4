// The X-TUBEX window on the offscreen platform: what the operator sees as the
// inputs change, refusals next to the field, and "Save" writing the file.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "tools/xtubex/spectrum_file.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/spectrum_plot.h"
#include "tools/xtubex/tables.h"
#include "tools/xtubex/xtubex_window.h"

using namespace velmora::xtubex;

namespace {
// Makes a fresh temporary folder the working directory for one test and puts
// the previous one back afterwards, also when the test fails half-way.
class TemporaryWorkingDirectory {
public:
    TemporaryWorkingDirectory() : previous_(QDir::currentPath()) { QDir::setCurrent(directory_.path()); }
    ~TemporaryWorkingDirectory() { QDir::setCurrent(previous_); }
    QString path() const { return directory_.path(); }

private:
    QTemporaryDir directory_;
    QString previous_;
};
}  // namespace

class XTubexWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SpectrumModel> model_;

    template <typename T>
    static T* child(const QWidget& window, const char* name) {
        auto* widget = window.findChild<T*>(name);
        if (widget == nullptr) qFatal("no widget %s", name);
        return widget;
    }
    // Replaces the field's text by typing, as the operator does.
    static void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
        } else {
            QTest::keyClicks(edit, text);
        }
    }
    static QImage plotImage(const QWidget& window) {
        return child<SpectrumPlot>(window, "spectrumPlot")->grab().toImage();
    }

private slots:
    void initTestCase() { model_ = std::make_unique<SpectrumModel>(loadEmbeddedTables()); }

    void opensWithTheDefaultBeam() {
        XTubexWindow window(*model_);
        window.show();
        QCOMPARE(window.windowTitle(), QString("X-TUBEX"));
        QCOMPARE(child<QLineEdit>(window, "tubeVoltageEdit")->text(), QString("80"));
        QCOMPARE(child<QLineEdit>(window, "anodeAngleEdit")->text(), QString("12"));
        QCOMPARE(child<QLineEdit>(window, "aluminiumEdit")->text(), QString("2.5"));
        const Beam beam = model_->computeBeam(BeamSettings{});
        QCOMPARE(child<QLabel>(window, "hvlAluminiumValue")->text(),
                 QString("%1 / %2 mm").arg(beam.quality.hvl1MmAl, 0, 'f', 2).arg(beam.quality.hvl2MmAl, 0, 'f', 2));
        QCOMPARE(child<QLabel>(window, "meanEnergyValue")->text(),
                 QString("%1 keV").arg(beam.quality.meanEnergyKeV, 0, 'f', 1));
        QVERIFY(child<QLabel>(window, "airKermaValue")->text().endsWith("µGy/mAs"));
        QVERIFY(child<QPushButton>(window, "saveButton")->isEnabled());
        QVERIFY(!child<QLineEdit>(window, "extraFilterEdit")->isEnabled());
    }

    void changingTheVoltageChangesPlotAndHvl() {
        XTubexWindow window(*model_);
        window.resize(1100, 600);
        window.show();
        const QImage before = plotImage(window);
        const QString hvlBefore = child<QLabel>(window, "hvlAluminiumValue")->text();

        type(child<QLineEdit>(window, "tubeVoltageEdit"), "120");
        QCOMPARE(window.shownSettings()->tubeVoltageKV, 120.0);
        BeamSettings expected;
        expected.tubeVoltageKV = 120;
        const Beam beam = model_->computeBeam(expected);
        QCOMPARE(child<QLabel>(window, "hvlAluminiumValue")->text(),
                 QString("%1 / %2 mm").arg(beam.quality.hvl1MmAl, 0, 'f', 2).arg(beam.quality.hvl2MmAl, 0, 'f', 2));
        QVERIFY(child<QLabel>(window, "hvlAluminiumValue")->text() != hvlBefore);
        QVERIFY(plotImage(window) != before);
        QCOMPARE(child<SpectrumPlot>(window, "spectrumPlot")->spectrum().highestNonZeroBin(),
                 beam.spectrum.highestNonZeroBin());
    }

    void badInputIsRefusedNextToTheField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("voltage too high") << "tubeVoltage" << "151" << "Tube voltage must be between 20 and 150 kV."
                                          << "70";
        QTest::newRow("voltage too low") << "tubeVoltage" << "19.5" << "Tube voltage must be between 20 and 150 kV."
                                         << "70";
        QTest::newRow("voltage not a number") << "tubeVoltage" << "8o" << "\"8o\" is not a number." << "70";
        QTest::newRow("voltage empty") << "tubeVoltage" << "" << "Enter a number." << "70";
        QTest::newRow("negative Al") << "aluminium" << "-1" << "Thickness must not be negative." << "3";
        QTest::newRow("negative Cu") << "copper" << "-0.05" << "Thickness must not be negative." << "0.05";
        QTest::newRow("angle") << "anodeAngle" << "40" << "Anode angle must be between 6 and 25 deg." << "16";
        QTest::newRow("ripple text") << "ripple" << "a lot" << "\"a lot\" is not a number." << "10";
    }

    void badInputIsRefusedNextToTheField() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, corrected);
        const TemporaryWorkingDirectory directory;

        XTubexWindow window(*model_);
        window.resize(1100, 600);
        window.show();
        const QImage before = plotImage(window);
        const QString hvlBefore = child<QLabel>(window, "hvlAluminiumValue")->text();
        auto* edit = child<QLineEdit>(window, (field + "Edit").toLatin1().constData());
        auto* messageLabel = child<QLabel>(window, (field + "Message").toLatin1().constData());
        auto* save = child<QPushButton>(window, "saveButton");

        type(edit, text);
        QCOMPARE(messageLabel->text(), message);
        QVERIFY(messageLabel->isVisible());
        // The last good spectrum and its figures stay on show; nothing can be saved.
        QCOMPARE(plotImage(window), before);
        QCOMPARE(child<QLabel>(window, "hvlAluminiumValue")->text(), hvlBefore);
        QCOMPARE(window.shownSettings()->tubeVoltageKV, 80.0);
        QVERIFY(!save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY(!QFile::exists(kSpectrumFileName));
        QVERIFY(child<QLabel>(window, "statusLabel")->text().contains("refused"));

        // Correcting the field clears the message and brings the figures back.
        type(edit, corrected);
        QVERIFY(messageLabel->text().isEmpty());
        QVERIFY(save->isEnabled());
        QVERIFY(plotImage(window) != before);
        QVERIFY(child<QLabel>(window, "hvlAluminiumValue")->text() != hvlBefore);
    }

    void saveWritesTheFileIntoTheWorkingDirectory() {
        const TemporaryWorkingDirectory directory;
        XTubexWindow window(*model_);
        window.show();
        type(child<QLineEdit>(window, "tubeVoltageEdit"), "95");
        type(child<QLineEdit>(window, "copperEdit"), "0.1");
        type(child<QLineEdit>(window, "rippleEdit"), "5");
        child<QComboBox>(window, "extraFilterMaterial")->setCurrentText("Sn");
        type(child<QLineEdit>(window, "extraFilterEdit"), "0.05");
        QTest::mouseClick(child<QPushButton>(window, "saveButton"), Qt::LeftButton);

        BeamSettings settings;
        settings.tubeVoltageKV = 95;
        settings.copperMm = 0.1;
        settings.ripplePercent = 5;
        settings.extraFilter = "Sn";
        settings.extraFilterMm = 0.05;
        const std::string expected = spectrumFileBytes(settings, model_->computeBeam(settings));
        QFile file(QDir(directory.path()).filePath(kSpectrumFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::fromStdString(expected));
        QVERIFY(child<QLabel>(window, "statusLabel")->text().startsWith("Saved B_TUBEX.dat"));
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{kSpectrumFileName});
    }

    void extraFilterThicknessCountsOnlyWithAMaterial() {
        XTubexWindow window(*model_);
        window.show();
        auto* material = child<QComboBox>(window, "extraFilterMaterial");
        auto* thickness = child<QLineEdit>(window, "extraFilterEdit");
        material->setCurrentText("Cu");  // not offered: Cu has its own field
        QCOMPARE(material->currentIndex(), 0);
        material->setCurrentText("Pb");
        QVERIFY(thickness->isEnabled());
        type(thickness, "-1");
        QCOMPARE(child<QLabel>(window, "extraFilterMessage")->text(), QString("Thickness must not be negative."));
        material->setCurrentIndex(0);  // "none": the field no longer counts
        QVERIFY(child<QLabel>(window, "extraFilterMessage")->text().isEmpty());
        QVERIFY(child<QPushButton>(window, "saveButton")->isEnabled());
        QVERIFY(window.shownSettings()->extraFilter.empty());
    }

    void aboutCitesTheSpectralModels() {
        const QString text = XTubexWindow::aboutText();
        QVERIFY(text.contains("TASMICS"));
        QVERIFY(text.contains("Hernandez and J. M. Boone"));
        QVERIFY(text.contains("(2014)"));
        QVERIFY(text.contains("TASMIP"));
        QVERIFY(text.contains("Boone and J. A. Seibert"));
        QVERIFY(text.contains("(1997)"));
    }
};

QTEST_MAIN(XTubexWindowTest)
#include "xtubex_window_test.moc"
