// The result viewer on real widgets: file list, header display, loading,
// map, legend, limits, profiles, cursor read-out, failures and exports.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "formats/shift_jis.h"
#include "frontend/dose_plot.h"
#include "frontend/form1.h"
#include "frontend/module1.h"
#include "frontend/viewer_load.h"
#include "frontend/viewer_surface.h"
#include "test_form1_fixtures.h"

using velmora::DrawingSurface;
using velmora::Form1;
using velmora::Module1;
using velmora::testing::ResultFixture;

namespace {

const QColor kBackground(64, 64, 64);
const QColor kBand1(255, 0, 255);
const QColor kBand4(255, 255, 0);
const QColor kBand11Map(200, 200, 220);

std::string shiftJis(const char* utf8) { return *velmora::utf8ToShiftJis(utf8); }

// The main fixture. Central row (iy = 1): a primary field over ix 121 ... 280
// whose edge bins (121, 280) hold a low total that must not count for the
// band minimum; inside it a total of 1.1, the maximum 1.2 at ix 210 and the
// minimum 0.8 at ix 160. So bandMax = 1.2, bandMin = 0.8.
ResultFixture mainFixture() {
    ResultFixture f;
    f.spectrumHeader[0] = shiftJis(" 管電圧 = 80 kV");
    for (int ix = 121; ix <= 280; ++ix) {
        for (int iy = 1; iy <= 100; ++iy) {
            f.primary(ix, iy) = 0.9f;
            f.scatter(ix, iy) = 0.2f;
        }
    }
    for (int iy = 1; iy <= 100; ++iy) {
        f.primary(121, iy) = f.primary(280, iy) = 0.5f;
        f.scatter(121, iy) = f.scatter(280, iy) = 0.05f;
    }
    f.primary(210, 1) = 1.2f;
    f.scatter(210, 1) = 0.0f;
    f.primary(160, 1) = 0.8f;
    f.scatter(160, 1) = 0.0f;
    // Off the central row: above bandMax, below bandMin, and two neighbouring
    // rows with different doses for the read-out.
    f.primary(140, 60) = 1.3f;
    f.scatter(140, 60) = 0.2f;
    f.primary(170, 150) = 0.4f;
    f.scatter(170, 150) = 0.1f;
    f.primary(150, 30) = 0.95f;
    f.scatter(150, 30) = 0.25f;
    f.primary(150, 31) = 0.85f;
    f.scatter(150, 31) = 0.15f;
    return f;
}

// Another load: a narrow field with a plain total of 0.5.
ResultFixture secondFixture() {
    ResultFixture f;
    for (int ix = 181; ix <= 220; ++ix) {
        for (int iy = 1; iy <= 20; ++iy) {
            f.primary(ix, iy) = 0.4f;
            f.scatter(ix, iy) = 0.1f;
        }
    }
    f.parameters.photonCount = 1.5e7f;
    return f;
}

std::string withFirstDoseToken(std::string bytes, const std::string& token) {
    std::size_t position = 0;
    for (int line = 0; line < velmora::kResultHeaderLines; ++line) position = bytes.find("\r\n", position) + 2;
    bytes.replace(position, token.size(), token);
    return bytes;
}

std::string firstLines(const std::string& bytes, int lines) {
    std::size_t position = 0;
    for (int line = 0; line < lines; ++line) position = bytes.find("\r\n", position) + 2;
    return bytes.substr(0, position);
}

struct SeenWarning {
    int count = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs `action` and answers every message box that it opens with OK,
// recording what the box showed.
SeenWarning answeringWarnings(const std::function<void()>& action) {
    SeenWarning seen;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&seen] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible()) continue;
            ++seen.count;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer.start();
    action();
    timer.stop();
    return seen;
}

// A viewer as the main menu opens it, shown, with its controls at hand.
struct Viewer {
    Module1 module1;
    std::unique_ptr<Form1> form = std::make_unique<Form1>(module1);

    Viewer() {
        form->prepareForMainMenu();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("viewer window not exposed");
    }

    template <class T>
    T* find(const char* name) const {
        T* child = form->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) qFatal("no control named %s", name);
        return child;
    }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    DrawingSurface* area(const char* name) const { return find<DrawingSurface>(name); }
    QListWidget* fileList() const { return find<QListWidget>("File1"); }

    QStringList listedFiles() const {
        QStringList names;
        for (int row = 0; row < fileList()->count(); ++row) names << fileList()->item(row)->text();
        return names;
    }
    void clickFile(const QString& name) const {
        const auto items = fileList()->findItems(name, Qt::MatchExactly);
        if (items.size() != 1) qFatal("file %s is not listed", qPrintable(name));
        QTest::mouseClick(fileList()->viewport(), Qt::LeftButton, {},
                          fileList()->visualItemRect(items[0]).center());
    }
    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void loadAndDraw(const QString& name) const {
        clickFile(name);
        click("Command14");
        click("Command2");
    }
    void moveOnMap(QPointF pixel) const {
        DrawingSurface* map = area("Picture1");
        QMouseEvent move(QEvent::MouseMove, pixel, map->mapToGlobal(pixel), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(map, &move);
    }
    QStringList readout() const {
        QStringList texts;
        for (const char* name : {"Text4", "Text5", "Text8", "Text9", "Text10"}) texts << box(name)->text();
        return texts;
    }
    QStringList limits() const {
        QStringList texts;
        for (const char* name : {"Text1", "Text6", "Text7", "Text13", "Text14", "Text15", "Text16",
                                 "Text17", "Text19", "Text20", "Text21"}) {
            texts << box(name)->text();
        }
        return texts;
    }
    // Which of OK, map, redraw, return and Reset are enabled.
    QList<bool> buttonStates() const {
        return {button("Command14")->isEnabled(), button("Command2")->isEnabled(),
                button("Command3")->isEnabled(), button("Command6")->isEnabled(),
                button("Command1")->isEnabled()};
    }
    // The map pixel of a bin below (iy) or above (1 - iy) the X axis, as shown.
    QColor shownMapPixel(int ix, int y) const {
        const QImage shown = area("Picture1")->grab().toImage();
        return shown.pixelColor(ix, y + velmora::plot::kMapYOrigin);
    }
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void layoutMatchesTheWindowDesign();
    void listShowsResultFilesSortedByName();
    void headerIsPrintedAsTheFileHoldsIt();
    void photonCountIsShownWithTwoDecimals();
    void headerFollowsTheSelection();
    void buttonsFollowTheViewerStates();
    void mapButtonFillsLimitsAndDrawsBands();
    void redrawUsesTheEditedLimits();
    void redrawWithoutEditingUsesTheShownLimits();
    void profilesAreDrawnInTheirColours();
    void readoutShowsTheBinDrawnUnderTheCursor_data();
    void readoutShowsTheBinDrawnUnderTheCursor();
    void readoutFormatsFourSignificantDigits();
    void readoutIsOffUntilTheMapIsDrawn();
    void clickingAnotherFileOnlyReplacesTheHeader();
    void secondLoadClearsLimitsAndDisablesRedraw();
    void okWithoutSelectionWarns();
    void malformedFileLeavesEverythingAsItWas_data();
    void malformedFileLeavesEverythingAsItWas();
    void resetClearsAndRefreshes();
    void mainMenuPreparationClearsTheViewer();
    void returnAndCloseBringTheMainMenuBack();
    void exportsPicturesAndTables();

    void bandMinimumLeavesTheFieldEdgesOut_data();
    void bandMinimumLeavesTheFieldEdgesOut();
    void bandIndexTakesTheFirstLimitReached();

private:
    QTemporaryDir directory_;
    QString previousDirectory_;
};

void TestForm1::initTestCase() {
    QVERIFY(directory_.isValid());
    previousDirectory_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(directory_.path()));

    const std::string good = mainFixture().bytes();
    QCOMPARE(good.size(), std::size_t{1762046});
    ResultFixture::writeBytes("field.ddat", good);
    secondFixture().write("second.ddat");
    ResultFixture::writeBytes("header_only.ddat", firstLines(secondFixture().bytes(), 15));
    ResultFixture::writeBytes("truncated.ddat", good.substr(0, good.size() / 2));
    ResultFixture::writeBytes("bad_token.ddat", withFirstDoseToken(good, "  .9000X+00"));
    ResultFixture noPrimary = mainFixture();
    for (int ix = 1; ix <= velmora::kResultXBins; ++ix) noPrimary.primary(ix, 1) = 0.0f;
    noPrimary.write("no_primary.ddat");
    ResultFixture::writeBytes("notes.txt", "not a result file\r\n");
}

void TestForm1::cleanupTestCase() { QDir::setCurrent(previousDirectory_); }

void TestForm1::layoutMatchesTheWindowDesign() {
    Viewer v;
    QCOMPARE(v.form->windowTitle(), QStringLiteral("Simulated dose distribution"));
    // One unit one pixel: the map's drawing area holds x 0 ... 404, y -200 ... 204.
    QCOMPARE(v.area("Picture1")->size(), QSize(405, 405));
    QCOMPARE(v.area("Picture1")->mapTo(v.form.get(), QPoint(0, 0)), QPoint(4080 / 15 + 2, 600 / 15 + 2));
    QCOMPARE(v.button("Command14")->geometry(), QRect(16, 576, 201, 33));
    QCOMPARE(v.box("Text21")->geometry(), QRect(784, 312, 89, 25));
    QCOMPARE(v.find<QLabel>("LabelTotal")->text(), QStringLiteral("Total"));
    const QString hint = QStringLiteral(" 書き換え後、[再描画] を押して下さい ");
    QCOMPARE(v.find<QLabel>("Picture3")->toolTip(), hint);
    QCOMPARE(v.find<QLabel>("Label52")->toolTip(), hint);
    QCOMPARE(v.button("Command3")->text(), QStringLiteral("再描画"));
    QCOMPARE(v.button("Command2")->text(), QStringLiteral("入射表面線量分布"));
    // Legend: band 1 at the top, band 11 (greyer than on the map) at the bottom.
    const QImage legend = v.area("Picture5")->image();
    QCOMPARE(legend.pixelColor(26, 5), kBand1);
    QCOMPARE(legend.pixelColor(26, 255), QColor(200, 200, 200));
    QCOMPARE(legend.pixelColor(26, 12 + 3 * 24), kBand4);
    // Cross-hair hidden, limit boxes empty.
    QVERIFY(!v.find<QWidget>("Line2")->isVisible());
    QVERIFY(!v.find<QWidget>("Line3")->isVisible());
    QCOMPARE(v.limits(), QStringList(11, QString()));
}

void TestForm1::listShowsResultFilesSortedByName() {
    Viewer v;
    QCOMPARE(v.listedFiles(),
             QStringList({"bad_token.ddat", "field.ddat", "header_only.ddat", "no_primary.ddat",
                          "second.ddat", "truncated.ddat"}));
}

void TestForm1::headerIsPrintedAsTheFileHoldsIt() {
    Viewer v;
    v.clickFile("field.ddat");
    QStringList expected;
    expected << QString() << QStringLiteral(" 管電圧 = 80 kV") + QString(15, ' ');
    for (int line = 2; line <= 9; ++line) {
        const QString text = QStringLiteral(" spectrum line %1").arg(line);
        expected << text + QString(30 - text.size(), ' ');
    }
    const QString separator = QStringLiteral("  ---------------------");
    expected << separator << QStringLiteral(" 入射角度 =  30.0 度") << QStringLiteral(" FID =  100.0 cm")
             << QStringLiteral(" FSD =   70.0 cm") << QStringLiteral(" 照射野 at FID =  20.0 cm")
             << QStringLiteral(" 寝台水等価厚 =  1.50 cm") << separator
             << QStringLiteral(" 入射光子数 = 1.00E+07個");
    QCOMPARE(v.area("Picture4")->printedLines(), expected);
    // All eighteen lines are printed inside the pale yellow area: ink reaches
    // the lower part, and the last rows stay clear.
    const QImage header = v.area("Picture4")->image();
    int lastInkedRow = -1;
    for (int y = 0; y < header.height(); ++y)
        for (int x = 0; x < header.width(); ++x)
            if (header.pixelColor(x, y) != QColor(255, 255, 192)) lastInkedRow = y;
    QVERIFY2(lastInkedRow > header.height() - 40 && lastInkedRow < header.height() - 3,
             qPrintable(QString::number(lastInkedRow)));
}

void TestForm1::photonCountIsShownWithTwoDecimals() {
    Viewer v;
    v.clickFile("header_only.ddat");  // 15,000,000 photons: line 15 is "  .2E+08"
    QCOMPARE(v.area("Picture4")->printedLines().last(), QStringLiteral(" 入射光子数 = 2.00E+07個"));
}

void TestForm1::headerFollowsTheSelection() {
    ResultFixture::writeBytes("zz_changing.ddat", firstLines(mainFixture().bytes(), 15));
    Viewer v;
    // Focus alone selects nothing and shows nothing.
    v.fileList()->setFocus();
    QVERIFY(v.area("Picture4")->printedLines().isEmpty());
    QVERIFY(!v.button("Command14")->isEnabled());
    // The arrow keys move the selection and the header with it.
    v.clickFile("field.ddat");
    QTest::keyClick(v.fileList(), Qt::Key_Down);
    QCOMPARE(v.fileList()->selectedItems().first()->text(), QStringLiteral("header_only.ddat"));
    QCOMPARE(v.area("Picture4")->printedLines().last(), QStringLiteral(" 入射光子数 = 2.00E+07個"));
    // A second click on the selected entry reads its header again.
    v.clickFile("zz_changing.ddat");
    QCOMPARE(v.area("Picture4")->printedLines().last(), QStringLiteral(" 入射光子数 = 1.00E+07個"));
    ResultFixture::writeBytes("zz_changing.ddat", firstLines(secondFixture().bytes(), 15));
    v.clickFile("zz_changing.ddat");
    QCOMPARE(v.area("Picture4")->printedLines().last(), QStringLiteral(" 入射光子数 = 2.00E+07個"));
    QFile::remove(QStringLiteral("zz_changing.ddat"));
}

void TestForm1::buttonsFollowTheViewerStates() {
    Viewer v;
    using States = QList<bool>;  // OK, map, redraw, return, Reset
    QCOMPARE(v.buttonStates(), States({false, false, false, true, true}));
    v.clickFile("field.ddat");
    QCOMPARE(v.buttonStates(), States({true, false, false, true, true}));
    QVERIFY(v.button("Command14")->hasFocus());
    v.click("Command14");
    QCOMPARE(v.buttonStates(), States({true, true, false, true, true}));
    QCOMPARE(v.module1.mapDrawn, 0);
    QCOMPARE(v.form->bandMax(), 1.2);
    QCOMPARE(v.form->bandMin(), 0.8);
    // The grid holds primary, scatter and their sum; the zero row and column stay 0.
    QCOMPARE(v.module1.doseGrid(1, 150, 30), 0.95);
    QCOMPARE(v.module1.doseGrid(2, 150, 30), 0.25);
    QCOMPARE(v.module1.doseGrid(0, 150, 30), 0.95 + 0.25);
    QCOMPARE(v.module1.doseGrid(0, 0, 30), 0.0);
    QCOMPARE(v.module1.doseGrid(0, 150, 0), 0.0);
    v.click("Command2");
    QCOMPARE(v.buttonStates(), States({true, true, true, true, true}));
    QCOMPARE(v.module1.mapDrawn, 1);
    v.click("Command1");
    QCOMPARE(v.buttonStates(), States({false, false, false, true, true}));
    QCOMPARE(v.module1.mapDrawn, 0);
}

void TestForm1::mapButtonFillsLimitsAndDrawsBands() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    QCOMPARE(v.limits(), QStringList({"1.200", "1.160", "1.120", "1.080", "1.040", "1.000", "0.960",
                                      "0.920", "0.880", "0.840", "0.800"}));
    // Each bin shows below the axis (y = iy) and mirrored above it (y = 1 - iy).
    struct Case {
        int ix, iy;
        QColor colour;
    };
    const Case cases[] = {
        {210, 1, kBand1},        // equal to bandMax: band 1
        {140, 60, kBand1},       // above bandMax
        {160, 1, kBand11Map},    // equal to bandMin: band 11, bluish on the map
        {130, 50, kBand4},       // 1.1: at least 1.08, below 1.12
        {121, 50, kBackground},  // 0.55: below every limit
        {170, 150, kBackground}, // 0.5
        {50, 50, kBackground},   // no dose at all
    };
    const QImage drawn = v.area("Picture1")->image();
    for (const Case& c : cases) {
        QCOMPARE(drawn.pixelColor(c.ix, 200 + c.iy), c.colour);
        QCOMPARE(drawn.pixelColor(c.ix, 200 + 1 - c.iy), c.colour);
        QCOMPARE(v.shownMapPixel(c.ix, c.iy), c.colour);
    }
    // The guides lie over the map: Y = 0 light grey, X = +10 cm grey.
    QCOMPARE(v.shownMapPixel(130, 0), QColor(192, 192, 192));
    QCOMPARE(v.shownMapPixel(300, 50), QColor(128, 128, 128));
}

void TestForm1::redrawUsesTheEditedLimits() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    QCOMPARE(v.shownMapPixel(170, 150), kBackground);
    // Lowering the last limit colours the bins below it; a box without a
    // leading number counts as 0 and so catches every remaining bin.
    v.box("Text21")->setText(QStringLiteral("0.45 Gy"));
    v.click("Command3");
    QCOMPARE(v.shownMapPixel(170, 150), kBand11Map);
    QCOMPARE(v.shownMapPixel(50, 50), kBackground);
    v.box("Text21")->setText(QStringLiteral("abc"));
    v.click("Command3");
    QCOMPARE(v.shownMapPixel(50, 50), kBand11Map);
    QCOMPARE(v.shownMapPixel(130, 50), kBand4);
    // The read-out and buttons are untouched by a redraw.
    QCOMPARE(v.module1.mapDrawn, 1);
    QVERIFY(v.button("Command3")->isEnabled());
}

void TestForm1::redrawWithoutEditingUsesTheShownLimits() {
    // Central row: bandMax 1.203 (ix 200), bandMin 0.8 (ix 190), so limit 2 is
    // 0.8 + 9 x 0.0403 = 1.1627, shown as "1.163". A bin of total 1.1628 reaches
    // the computed limit but not the shown one.
    ResultFixture f;
    for (int ix = 181; ix <= 220; ++ix) f.primary(ix, 1) = 1.0f;
    f.primary(200, 1) = 1.203f;
    f.primary(190, 1) = 0.8f;
    f.primary(195, 50) = 1.162f;
    f.scatter(195, 50) = 0.0008f;
    f.write("rounded_limits.ddat");
    Viewer v;
    v.loadAndDraw("rounded_limits.ddat");
    QCOMPARE(v.limits().mid(0, 3), QStringList({"1.203", "1.163", "1.122"}));
    QCOMPARE(v.shownMapPixel(195, 50), QColor(255, 0, 0));  // band 2 by the computed limit
    v.click("Command3");
    QCOMPARE(v.shownMapPixel(195, 50), QColor(255, 192, 0));  // band 3 by the box's text
    QFile::remove(QStringLiteral("rounded_limits.ddat"));
}

void TestForm1::profilesAreDrawnInTheirColours() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    const QImage profiles = v.area("Picture2")->image();
    // Column 130 on the central row: total 1.1, primary 0.9, scatter 0.2 Gy;
    // y = 100 x dose, 150 at the top, 20.5 twips a unit.
    const auto rowOf = [](double gray) { return (150 - 100 * gray) * 20.5 / 15; };
    const auto colourNear = [&](int x, double row, const QColor& colour) {
        for (int y = std::max(0, int(row) - 1); y <= std::min(profiles.height() - 1, int(row) + 2); ++y)
            if (profiles.pixelColor(x, y) == colour) return true;
        return false;
    };
    QVERIFY(colourNear(130, rowOf(1.1), QColor(255, 0, 0)));
    QVERIFY(colourNear(130, rowOf(0.9), QColor(255, 255, 0)));
    QVERIFY(colourNear(130, rowOf(0.2), QColor(0, 255, 255)));
    QCOMPARE(profiles.pixelColor(130, 120), kBackground);
    // Outside the field all three lie on the bottom edge (0 Gy).
    QCOMPARE(profiles.pixelColor(50, 60), kBackground);
    QVERIFY(colourNear(50, rowOf(0.0) - 1, QColor(0, 255, 255)));
}

void TestForm1::readoutShowsTheBinDrawnUnderTheCursor_data() {
    QTest::addColumn<QPointF>("pixel");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("crossHair");
    // x = pixel x; y = pixel y - 200.
    QTest::newRow("x 150, y 30") << QPointF(150, 230)
                                 << QStringList({"-5.0", "-3.0", "9.500E-01", "2.500E-01", "1.200E+00"})
                                 << true;
    // Above the axis row iy is drawn at y = 1 - iy: y = -30 shows row 31.
    QTest::newRow("x 150, y -30") << QPointF(150, 170)
                                  << QStringList({"-5.0", "3.0", "8.500E-01", "1.500E-01", "1.000E+00"})
                                  << true;
    QTest::newRow("x 200, y 0") << QPointF(200, 200)
                                << QStringList({"0.0", "0.0", "9.000E-01", "2.000E-01", "1.100E+00"})
                                << true;
    QTest::newRow("x 200, y 1") << QPointF(200, 201)
                                << QStringList({"0.0", "-0.1", "9.000E-01", "2.000E-01", "1.100E+00"})
                                << true;
    QTest::newRow("x 399, y 199") << QPointF(399, 399)
                                  << QStringList({"19.9", "-19.9", "0.000E+00", "0.000E+00", "0.000E+00"})
                                  << true;
    const QStringList empty(5, QString());
    QTest::newRow("x 0") << QPointF(0, 230) << empty << false;
    QTest::newRow("x 400") << QPointF(400, 230) << empty << false;
    QTest::newRow("y -200") << QPointF(150, 0) << empty << false;
    QTest::newRow("y 200") << QPointF(150, 400) << empty << false;
}

void TestForm1::readoutShowsTheBinDrawnUnderTheCursor() {
    QFETCH(QPointF, pixel);
    QFETCH(QStringList, shown);
    QFETCH(bool, crossHair);
    Viewer v;
    v.loadAndDraw("field.ddat");
    v.moveOnMap(QPointF(100, 100));  // a first position inside, so that "outside" must clear it
    v.moveOnMap(pixel);
    QCOMPARE(v.readout(), shown);
    auto* horizontal = v.find<QWidget>("Line2");
    auto* vertical = v.find<QWidget>("Line3");
    QCOMPARE(horizontal->isVisible(), crossHair);
    QCOMPARE(vertical->isVisible(), crossHair);
    if (crossHair) {
        QCOMPARE(horizontal->geometry(), QRect(0, int(pixel.y()), 401, 1));
        QCOMPARE(vertical->geometry(), QRect(int(pixel.x()), 0, 1, 401));
        // The cross-hair shows red over the map.
        const QImage shown = v.area("Picture1")->grab().toImage();
        QCOMPARE(shown.pixelColor(int(pixel.x()), 10), QColor(255, 0, 0));
    }
}

void TestForm1::readoutFormatsFourSignificantDigits() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    v.module1.doseGrid(1, 250, 80) = 1.2346;
    v.module1.doseGrid(2, 250, 80) = 0.01234;
    v.module1.doseGrid(0, 250, 80) = 1.24694;
    v.moveOnMap(QPointF(250, 280));
    QCOMPARE(v.readout(), QStringList({"5.0", "-8.0", "1.235E+00", "1.234E-02", "1.247E+00"}));
}

void TestForm1::readoutIsOffUntilTheMapIsDrawn() {
    Viewer v;
    v.clickFile("field.ddat");
    v.click("Command14");
    v.moveOnMap(QPointF(150, 230));
    QCOMPARE(v.readout(), QStringList(5, QString()));
    QVERIFY(!v.find<QWidget>("Line2")->isVisible());

    // After a drawing, a new load switches the read-out off again: the last
    // values and cross-hair stay, the coordinates are emptied.
    v.click("Command2");
    v.moveOnMap(QPointF(150, 230));
    v.click("Command14");
    QCOMPARE(v.readout(), QStringList({"", "", "9.500E-01", "2.500E-01", "1.200E+00"}));
    QVERIFY(v.find<QWidget>("Line2")->isVisible());
    v.moveOnMap(QPointF(200, 200));
    QCOMPARE(v.readout(), QStringList({"", "", "9.500E-01", "2.500E-01", "1.200E+00"}));
}

void TestForm1::clickingAnotherFileOnlyReplacesTheHeader() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    v.moveOnMap(QPointF(150, 230));
    const QImage map = v.area("Picture1")->image();
    const QImage profiles = v.area("Picture2")->image();
    const QStringList readout = v.readout();
    v.clickFile("second.ddat");
    QCOMPARE(v.area("Picture4")->printedLines().last(), QStringLiteral(" 入射光子数 = 2.00E+07個"));
    QCOMPARE(v.area("Picture1")->image(), map);
    QCOMPARE(v.area("Picture2")->image(), profiles);
    QCOMPARE(v.readout(), readout);
    QCOMPARE(v.module1.mapDrawn, 1);
    QCOMPARE(v.module1.doseGrid(1, 150, 30), 0.95);
}

void TestForm1::secondLoadClearsLimitsAndDisablesRedraw() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    v.clickFile("second.ddat");
    v.click("Command14");
    QCOMPARE(v.limits(), QStringList(11, QString()));
    QCOMPARE(v.area("Picture1")->image().pixelColor(130, 250), kBackground);
    QCOMPARE(v.area("Picture2")->image().pixelColor(130, 54), kBackground);
    // Redrawing from the emptied boxes would paint everything in band 1.
    QVERIFY(!v.button("Command3")->isEnabled());
    QVERIFY(v.button("Command2")->isEnabled());
    QCOMPARE(v.module1.doseGrid(0, 200, 1), 0.5);
    QCOMPARE(v.form->bandMax(), 0.5);
    QCOMPARE(v.module1.doseGrid(0, 150, 30), 0.0);  // every bin was overwritten
}

void TestForm1::okWithoutSelectionWarns() {
    Viewer v;
    v.clickFile("field.ddat");
    QTest::mouseClick(v.fileList()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      v.fileList()->visualItemRect(v.fileList()->currentItem()).center());
    QVERIFY(v.fileList()->selectedItems().isEmpty());
    const SeenWarning seen = answeringWarnings([&] { v.click("Command14"); });
    QCOMPARE(seen.count, 1);
    QCOMPARE(seen.text, QStringLiteral("ファイルを選択して下さい"));
    QCOMPARE(seen.title, QStringLiteral("Velmora"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QVERIFY(!v.button("Command2")->isEnabled());
}

void TestForm1::malformedFileLeavesEverythingAsItWas_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("header only") << "header_only.ddat" << "160,000 dose values are expected";
    QTest::newRow("cut in the middle") << "truncated.ddat" << "line 415";
    QTest::newRow("token not a number") << "bad_token.ddat" << "\".9000X+00\" is not a number";
    QTest::newRow("no primary on the central row") << "no_primary.ddat" << "no primary dose";
    QTest::newRow("vanished after its header was shown") << "vanished.ddat" << "vanished.ddat";
}

void TestForm1::malformedFileLeavesEverythingAsItWas() {
    QFETCH(QString, file);
    QFETCH(QString, reason);
    QFile::copy(QStringLiteral("field.ddat"), QStringLiteral("vanished.ddat"));
    Viewer v;
    v.loadAndDraw("field.ddat");
    v.moveOnMap(QPointF(150, 230));
    const std::vector<double> grid = v.module1.doseGridValues;
    const QImage map = v.area("Picture1")->image();
    const QImage profiles = v.area("Picture2")->image();
    const QStringList limits = v.limits();
    const QStringList readout = v.readout();

    v.clickFile(file);
    QFile::remove(QStringLiteral("vanished.ddat"));
    const SeenWarning seen = answeringWarnings([&] { v.click("Command14"); });
    QCOMPARE(seen.count, 1);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QVERIFY2(seen.text.contains(file), qPrintable(seen.text));
    QVERIFY2(seen.text.contains(reason), qPrintable(seen.text));

    QVERIFY(v.module1.doseGridValues == grid);
    QCOMPARE(v.area("Picture1")->image(), map);
    QCOMPARE(v.area("Picture2")->image(), profiles);
    QCOMPARE(v.limits(), limits);
    QCOMPARE(v.readout(), readout);
    QCOMPARE(v.module1.mapDrawn, 1);
    QCOMPARE(v.form->bandMax(), 1.2);
    QCOMPARE(v.form->bandMin(), 0.8);
    QVERIFY(v.button("Command3")->isEnabled());
    // The read-out still works on the map that is shown.
    v.moveOnMap(QPointF(200, 200));
    QCOMPARE(v.readout()[4], QStringLiteral("1.100E+00"));
}

void TestForm1::resetClearsAndRefreshes() {
    Viewer v;
    v.loadAndDraw("field.ddat");
    v.moveOnMap(QPointF(150, 230));
    secondFixture().write("written_later.ddat");
    QVERIFY(!v.listedFiles().contains("written_later.ddat"));
    v.click("Command1");
    QVERIFY(v.listedFiles().contains("written_later.ddat"));
    QCOMPARE(v.readout(), QStringList(5, QString()));
    QCOMPARE(v.limits(), QStringList(11, QString()));
    QVERIFY(!v.find<QWidget>("Line2")->isVisible());
    QVERIFY(!v.find<QWidget>("Line3")->isVisible());
    QCOMPARE(v.area("Picture1")->image().pixelColor(130, 250), kBackground);
    QCOMPARE(v.area("Picture2")->image().pixelColor(130, 54), kBackground);
    QVERIFY(v.area("Picture4")->printedLines().isEmpty());
    // The loaded doses stay; drawing needs a new "OK".
    QCOMPARE(v.module1.doseGrid(1, 150, 30), 0.95);
    QCOMPARE(v.form->bandMax(), 1.2);
    QVERIFY(!v.button("Command2")->isEnabled());
    QFile::remove(QStringLiteral("written_later.ddat"));
}

void TestForm1::mainMenuPreparationClearsTheViewer() {
    Viewer v;
    QVERIFY(v.find<QLabel>("Label32")->isHidden());
    QVERIFY(v.find<QLabel>("Label33")->isHidden());
    v.loadAndDraw("field.ddat");
    v.moveOnMap(QPointF(150, 230));
    secondFixture().write("written_later.ddat");
    const QImage profiles = v.area("Picture2")->image();
    const QStringList limits = v.limits();
    v.form->hide();
    v.form->prepareForMainMenu();
    v.form->show();
    QVERIFY(v.listedFiles().contains("written_later.ddat"));
    QCOMPARE(v.readout(), QStringList(5, QString()));
    QVERIFY(v.area("Picture4")->printedLines().isEmpty());
    QCOMPARE(v.area("Picture1")->image().pixelColor(130, 250), kBackground);
    // The map goes; the profiles and the limit boxes stay.
    QCOMPARE(v.area("Picture2")->image(), profiles);
    QCOMPARE(v.limits(), limits);
    QCOMPARE(v.buttonStates(), QList<bool>({false, false, false, true, true}));
    QCOMPARE(v.module1.mapDrawn, 0);
    v.moveOnMap(QPointF(150, 230));
    QCOMPARE(v.readout(), QStringList(5, QString()));
    QFile::remove(QStringLiteral("written_later.ddat"));
}

void TestForm1::returnAndCloseBringTheMainMenuBack() {
    Viewer v;
    QSignalSpy back(v.form.get(), &Form1::returnToMainMenu);
    v.click("Command6");
    QCOMPARE(back.count(), 1);
    QVERIFY(!v.form->isVisible());
    v.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(v.form.get()));
    QVERIFY(v.form->close());
    QCOMPARE(back.count(), 2);
    QVERIFY(!v.form->isVisible());
}

void TestForm1::exportsPicturesAndTables() {
    Viewer v;
    QTemporaryDir out;
    QVERIFY(!v.form->saveGridCsv(out.filePath("early.csv")).isEmpty());  // nothing loaded yet
    v.loadAndDraw("field.ddat");

    // Bins below the last limit come into band 11, whose map colour appears
    // nowhere else: the exported figure shows as many of them as the window.
    v.box("Text21")->setText(QStringLiteral("0.45"));
    v.click("Command3");
    const auto countBand11 = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == kBand11Map;
        return count;
    };
    const int shownBand11 = countBand11(v.area("Picture1")->grab().toImage());
    QVERIFY(shownBand11 > 300);
    QCOMPARE(v.form->saveMapImage(out.filePath("map.png")), QString());
    const QImage map(out.filePath("map.png"));
    QVERIFY(!map.isNull());
    QCOMPARE(countBand11(map), shownBand11);

    QCOMPARE(v.form->saveProfileImage(out.filePath("profiles.png")), QString());
    QVERIFY(!QImage(out.filePath("profiles.png")).isNull());

    QCOMPARE(v.form->saveGridCsv(out.filePath("grid.csv")), QString());
    QFile grid(out.filePath("grid.csv"));
    QVERIFY(grid.open(QIODevice::ReadOnly));
    const QByteArray gridBytes = grid.readAll();
    const QString gridText = QString::fromStdString(velmora::shiftJisToUtf8(gridBytes.toStdString()));
    const QStringList gridLines = gridText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(gridLines.size(), 3 + 400 * 200);
    QVERIFY2(gridLines[0].startsWith(QStringLiteral("# field.ddat")), qPrintable(gridLines[0]));
    QVERIFY2(gridLines[0].contains(QStringLiteral("入射角度 =  30.0 度")), qPrintable(gridLines[0]));
    QVERIFY(gridLines[0].contains(QStringLiteral("照射野 at FID =  20.0 cm")));
    QCOMPARE(gridLines[2], QStringLiteral("ix,iy,total,primary,scatter"));
    QCOMPARE(gridLines[3 + 149 * 200 + 29], QStringLiteral("150,30,1.2,0.95,0.25"));

    QCOMPARE(v.form->saveProfileCsv(out.filePath("profile.csv")), QString());
    QFile profile(out.filePath("profile.csv"));
    QVERIFY(profile.open(QIODevice::ReadOnly));
    const QStringList profileLines = QString::fromLatin1(profile.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(profileLines.size(), 3 + 400);
    QCOMPARE(profileLines[3 + 209], QStringLiteral("210,1.0,1.2,1.2,0"));
    QCOMPARE(profileLines[3 + 159], QStringLiteral("160,-4.0,0.8,0.8,0"));

    // A path that cannot be written gives the reason and leaves nothing.
    QVERIFY(!v.form->saveMapImage(out.filePath("missing/map.png")).isEmpty());
}

void TestForm1::bandMinimumLeavesTheFieldEdgesOut_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<double>("bandMin");
    // Field bins get a total of 0.9, the edges 0.3; bins 152 and 249 hold 0.7.
    QTest::newRow("field 151-250: minimum from 152-249") << 151 << 250 << 0.7;
    QTest::newRow("field 152-249: the 0.7 bins are its edges") << 152 << 249 << 0.9;
    QTest::newRow("two bins wide: no inside") << 200 << 201 << 100.0;
    QTest::newRow("one bin wide") << 200 << 200 << 100.0;
    QTest::newRow("three bins wide") << 199 << 201 << 0.9;
    QTest::newRow("field to the grid's ends") << 1 << 400 << 0.7;
}

void TestForm1::bandMinimumLeavesTheFieldEdgesOut() {
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(double, bandMin);
    std::vector<double> values(velmora::kDoseGridSize, 0.0);
    const velmora::DoseGridView grid(values);
    const auto at = [&](int component, int ix) {
        return &values[(std::size_t(component) * Module1::kXSize + ix) * Module1::kYSize + 1];
    };
    for (int ix = first; ix <= last; ++ix) {
        const bool edge = ix == first || ix == last;
        const double total = edge ? 0.3 : (ix == 152 || ix == 249) ? 0.7 : 0.9;
        *at(1, ix) = total;
        *at(0, ix) = total;
    }
    QCOMPARE(velmora::centralRowFieldMinimum(grid, "x.ddat"), bandMin);
    QCOMPARE(velmora::centralRowMaximum(grid), last - first >= 2 ? 0.9 : 0.3);
}

void TestForm1::bandIndexTakesTheFirstLimitReached() {
    using velmora::plot::bandIndex;
    const auto limits = velmora::plot::bandLimitsFor(1.2, 0.8);
    QCOMPARE(bandIndex(1.2, limits), 0);
    QCOMPARE(bandIndex(5.0, limits), 0);
    QCOMPARE(bandIndex(0.8, limits), 10);
    QCOMPARE(bandIndex(0.79, limits), -1);
    QCOMPARE(bandIndex(1.1, limits), 3);
    // bandMin left at 100 (no field inside): the step is negative, and the
    // first limit reached in the order 1 ... 11 still decides.
    const auto inverted = velmora::plot::bandLimitsFor(1.0, 100.0);
    QCOMPARE(bandIndex(1.0, inverted), 0);
    QCOMPARE(bandIndex(0.5, inverted), -1);
    // Limits that all count as 0 put every bin, even an empty one, in band 1.
    QCOMPARE(bandIndex(0.0, velmora::plot::BandLimits{}), 0);
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
