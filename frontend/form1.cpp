#include "frontend/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStyle>
#include <cmath>

#include "formats/input_error.h"
#include "formats/number_patterns.h"
#include "formats/shift_jis.h"
#include "frontend/dose_plot.h"
#include "frontend/module1.h"
#include "frontend/ui_common.h"
#include "frontend/viewer_load.h"
#include "frontend/viewer_surface.h"

namespace velmora {

namespace {

using ui::px;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QString kMeiryo = QStringLiteral("メイリオ");
const QString kTimes = QStringLiteral("Times New Roman");
const QString kMsGothic = QStringLiteral("ＭＳ ゴシック");
const QString kMsPGothic = QStringLiteral("ＭＳ Ｐゴシック");

// The window's client area in pixels. Its outer size is 18210 x 10665 twips;
// the client area holds every control, the lowest ending at 10455 twips.
constexpr int kClientWidth = 1206;
constexpr int kClientHeight = 705;
constexpr int kAreaBorder = 2;

// Band-limit boxes and the labels after them, band 1 first.
constexpr std::array<const char*, plot::kBandCount> kLimitBoxNames = {
    "Text1", "Text6", "Text7", "Text13", "Text14", "Text15",
    "Text16", "Text17", "Text19", "Text20", "Text21"};
constexpr std::array<const char*, plot::kBandCount> kLimitTildeNames = {
    "Label2", "Label1", "Label37", "Label38", "Label39", "Label40",
    "Label41", "Label42", "Label43", "Label48", "Label49"};

const QString kRedrawHint = QStringLiteral(" 書き換え後、[再描画] を押して下さい ");

// The rectangle shape around the note: a red border two pixels wide.
class RectangleShape : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(QColor(255, 0, 0), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int leftTwips,
                  int topTwips, const QFont& font, const QColor& colour = Qt::black) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(px(leftTwips), px(topTwips));
    label->adjustSize();
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QRect twips,
                        const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(ui::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    button->setFont(font);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, ui::kButtonYellow);
    button->setPalette(palette);
    return button;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, QRect twips, const QFont& font,
                       const QColor& background) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(ui::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    box->setFont(font);
    box->setAlignment(Qt::AlignCenter);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    box->setPalette(palette);
    return box;
}

// A picture area: a sunken two-pixel frame with the drawing surface inside.
DrawingSurface* makeArea(QWidget* parent, const char* name, QRect twips, const QColor& background) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name) + QStringLiteral("Frame"));
    frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    frame->setGeometry(ui::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    const QSize inner(px(twips.width()) - 2 * kAreaBorder, px(twips.height()) - 2 * kAreaBorder);
    auto* surface = new DrawingSurface(inner, background, frame);
    surface->setObjectName(QString::fromLatin1(name));
    surface->move(kAreaBorder, kAreaBorder);
    return surface;
}

LineObject* makeLine(QWidget* area, const char* name, Qt::Orientation orientation,
                     const QColor& colour, int at, int from, int to) {
    auto* line = new LineObject(orientation, colour, area);
    if (name != nullptr) line->setObjectName(QString::fromLatin1(name));
    line->place(at, from, to);
    return line;
}

// The geometry sketch: focus below, the oblique beam through couch and
// phantom to the image detector above, the angle at the focus.
QPixmap geometrySketch(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = ui::namedFont(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    painter.setFont(font);

    const double width = size.width();
    const QPointF focus(width * 0.70, size.height() * 0.88);
    const double angle = 30.0 * M_PI / 180.0;
    const QPointF axis(-std::sin(angle), -std::cos(angle));
    const QPointF across(axis.y(), -axis.x());
    const double couchTop = size.height() * 0.58;
    const double couchHeight = 8;
    const double phantomTop = couchTop - size.height() * 0.17;

    // Phantom and couch.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(205, 230, 250));
    painter.drawRect(QRectF(12, phantomTop, width - 24, couchTop - phantomTop));
    painter.setBrush(QColor(170, 170, 170));
    painter.drawRect(QRectF(4, couchTop, width - 8, couchHeight));

    // Beam: central ray thick, edges thin; the detector across the central ray.
    const double reach = (focus.y() - size.height() * 0.10) / std::cos(angle);
    const QPointF detectorCentre = focus + axis * reach;
    const double spread = 8.0 * M_PI / 180.0;
    painter.setBrush(Qt::NoBrush);
    for (double side : {-1.0, 1.0}) {
        const QPointF edge(-std::sin(angle + side * spread), -std::cos(angle + side * spread));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(focus, focus + edge * (reach / std::cos(spread)));
    }
    painter.setPen(QPen(Qt::black, 2.5));
    painter.drawLine(focus, detectorCentre);
    painter.setPen(QPen(Qt::black, 5));
    painter.drawLine(detectorCentre - across * 45, detectorCentre + across * 45);

    // Focus, vertical and the angle between it and the central ray.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(focus, 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawLine(focus, QPointF(focus.x(), couchTop + couchHeight + 4));
    painter.setPen(QPen(Qt::black, 1));
    const double radius = 26;
    painter.drawArc(QRectF(focus.x() - radius, focus.y() - radius, 2 * radius, 2 * radius), 90 * 16,
                    30 * 16);

    painter.drawText(QPointF(focus.x() - 14, focus.y() - radius - 4), QStringLiteral("θ"));
    painter.drawText(QPointF(focus.x() - 22, focus.y() + 18), QStringLiteral("Ｘ線焦点"));
    const QPointF fsdLabel = focus + axis * ((focus.y() - couchTop) / std::cos(angle) * 0.55);
    painter.drawText(fsdLabel + QPointF(8, 4), QStringLiteral("FSD"));
    painter.drawText(QPointF(width - 40, couchTop + couchHeight + 14), QStringLiteral("寝台"));
    painter.drawText(QPointF(width * 0.56, phantomTop + 18), QStringLiteral("ファントム"));
    painter.drawText(detectorCentre - across * 45 + QPointF(6, 12), QStringLiteral("画像検出器"));
    return pixmap;
}

// A pencil on a sheet: the mark for the editable band limits.
QPixmap editIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(4.5, 3.5, 18, 24));
    painter.setPen(QPen(QColor(0, 0, 255), 1));
    for (int row = 0; row < 4; ++row) painter.drawLine(QPointF(8, 9 + 5 * row), QPointF(19, 9 + 5 * row));
    QPainterPath pencil;
    pencil.moveTo(12, 27);
    pencil.lineTo(14, 21);
    pencil.lineTo(27, 8);
    pencil.lineTo(31, 12);
    pencil.lineTo(18, 25);
    pencil.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(255, 192, 0));
    painter.drawPath(pencil);
    return pixmap;
}

// The window icon: the eleven band colours as a small map.
QIcon viewerIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(plot::kPlotBackground);
    QPainter painter(&pixmap);
    for (int band = plot::kBandCount - 1; band >= 0; --band) {
        const int inset = 2 + band;
        painter.fillRect(QRect(inset, inset, 32 - 2 * inset, 32 - 2 * inset),
                         plot::mapBandColour(plot::kBandCount - 1 - band));
    }
    return QIcon(pixmap);
}

// Shift_JIS for the exported tables, like every file of the system; a
// character without a Shift_JIS form (possible only in a file name) becomes "?".
std::string toShiftJisLossy(const QString& text) {
    if (auto converted = utf8ToShiftJis(text.toStdString())) return *converted;
    std::string bytes;
    for (const uint codePoint : text.toUcs4()) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
        const auto converted = utf8ToShiftJis(character.toStdString());
        bytes += converted ? *converted : std::string("?");
    }
    return bytes;
}

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) return file.errorString();
    if (!file.commit()) return file.errorString();
    return {};
}

QString writePng(const QString& path, const QImage& image) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return QStringLiteral("the PNG image could not be encoded");
    }
    if (!file.commit()) return file.errorString();
    return {};
}

QString number(double value) { return QString::number(value, 'g', 10); }

}  // namespace

Form1::Form1(Module1& module1, QWidget* parent) : QWidget(parent), module1_(module1) {
    setObjectName(QStringLiteral("Form1"));
    // A fixed dialog frame, its own window even when a parent is given.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Simulated dose distribution"));
    setWindowIcon(viewerIcon());
    setFixedSize(kClientWidth, kClientHeight);

    buildFileAndHeaderControls();
    buildMapControls();
    buildReadoutControls();
    buildNoteControls();

    // Window created: legend drawn, limit boxes empty, cross-hair hidden.
    plot::drawLegend(picture5_->image());
    picture5_->imageChanged();
    clearLimitBoxes();
    line2_->hide();
    line3_->hide();
    command14_->setEnabled(false);
    command2_->setEnabled(false);
    command3_->setEnabled(false);
    refreshFileList();
}

void Form1::buildFileAndHeaderControls() {
    makeLabel(this, "Label6", QStringLiteral("ファイルを選択"), 840, 120, ui::namedFont(kMeiryo, 12),
              kBlue);
    file1_ = new QListWidget(this);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setGeometry(ui::twipsRect(240, 480, 3015, 3210));
    file1_->setFont(ui::namedFont(kMsPGothic, 12));
    file1_->viewport()->installEventFilter(this);
    // The header follows the selection (a click or the arrow keys). The focus
    // alone makes an entry current without selecting it, and shows nothing.
    connect(file1_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = file1_->selectedItems();
        if (!selected.isEmpty()) showHeader(file1_->row(selected.first()));
    });
    connect(file1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the entry that was selected already shows its header again.
        const int row = file1_->row(item);
        if (row == selectedRowAtPress_ && item->isSelected()) showHeader(row);
    });

    makeLabel(this, "Label7", QStringLiteral("このファイルデータ"), 480, 3840,
              ui::namedFont(kMeiryo, 12), kBlue);
    picture4_ = makeArea(this, "Picture4", QRect(240, 4200, 3015, 4335), ui::kButtonYellow);
    // The substitute face is wider than the original proportional Gothic: a
    // narrower setting keeps the 30-byte header lines inside the area.
    QFont headerFont = ui::namedFont(kMsPGothic, 11.25);
    headerFont.setStretch(QFont::Condensed);
    picture4_->setFont(headerFont);

    command14_ = makeButton(this, "Command14", QStringLiteral("OK"), QRect(240, 8640, 3015, 495),
                            ui::namedFont(kTimes, 15.75));
    command2_ = makeButton(this, "Command2", QStringLiteral("入射表面線量分布"),
                           QRect(240, 9240, 3015, 495), ui::namedFont(kMeiryo, 12));
    command6_ = new QPushButton(this);
    command6_->setObjectName(QStringLiteral("Command6"));
    command6_->setGeometry(ui::twipsRect(360, 9960, 495, 495));
    command6_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    command6_->setIconSize(QSize(24, 24));
    command1_ = makeButton(this, "Command1", QStringLiteral("Reset"), QRect(1800, 9960, 1335, 495),
                           ui::namedFont(kTimes, 14.25));

    connect(command14_, &QPushButton::clicked, this, &Form1::loadDoses);
    connect(command2_, &QPushButton::clicked, this, &Form1::drawMapAndProfiles);
    connect(command1_, &QPushButton::clicked, this, &Form1::reset);
    connect(command6_, &QPushButton::clicked, this, &Form1::returnToMenu);
}

void Form1::buildMapControls() {
    makeLabel(this, "Label16", QStringLiteral("入射表面水吸収線量分布"), 3600, 120,
              ui::namedFont(kMeiryo, 14.25), kBlue);

    // Map: one unit one pixel; fixed guides at X, Y = 0 and +-10 cm, then the
    // red cross-hair above them.
    picture1_ = makeArea(this, "Picture1", QRect(4080, 600, 6135, 6135), plot::kPlotBackground);
    picture1_->setMouseTracking(true);
    picture1_->setContextMenuPolicy(Qt::CustomContextMenu);
    const int mapEnd = plot::kMapWidth - 1;
    for (int twips : {1500, 4500}) {
        makeLine(picture1_, nullptr, Qt::Horizontal, plot::kGuide, px(twips), 0, mapEnd);
        makeLine(picture1_, nullptr, Qt::Vertical, plot::kGuide, px(twips), 0, mapEnd);
    }
    makeLine(picture1_, nullptr, Qt::Horizontal, plot::kLightGuide, px(3000), 0, mapEnd);
    makeLine(picture1_, nullptr, Qt::Vertical, plot::kLightGuide, px(3000), 0, mapEnd);
    line2_ = makeLine(picture1_, "Line2", Qt::Horizontal, kRed, px(3600), 0, px(6000));
    line3_ = makeLine(picture1_, "Line3", Qt::Vertical, kRed, px(2040), 0, px(6000));
    connect(picture1_, &DrawingSurface::mouseMoved, this, &Form1::followCursor);
    connect(picture1_, &QWidget::customContextMenuRequested, this, &Form1::showMapMenu);

    const QFont axisFont = ui::namedFont(kTimes, 18);
    const QFont unitFont = ui::namedFont(kTimes, 14.25);
    makeLabel(this, "LabelAxisY", QStringLiteral("Y"), 6960, 120, axisFont);
    makeLabel(this, "LabelAxisX", QStringLiteral("X"), 10320, 3480, axisFont);
    makeLabel(this, "LabelYPlus10", QStringLiteral("10"), 3600, 1920, axisFont);
    makeLabel(this, "LabelYZero", QStringLiteral("0"), 3840, 3480, axisFont);
    makeLabel(this, "LabelYMinus10", QStringLiteral("-10"), 3480, 4920, axisFont);
    makeLabel(this, "LabelYUnit", QStringLiteral("cm"), 3600, 5280, unitFont);
    makeLabel(this, "LabelXMinus10", QStringLiteral("-10"), 5280, 6720, axisFont);
    makeLabel(this, "LabelXZero", QStringLiteral("0"), 7080, 6720, axisFont);
    makeLabel(this, "LabelXPlus10", QStringLiteral("10"), 8400, 6720, axisFont);
    makeLabel(this, "LabelXUnit", QStringLiteral("cm"), 8880, 6780, unitFont);

    // Profiles: guides at 1.0 and 0.5 Gy and at X = 0, +-10 cm; the labels
    // lie on the area.
    picture2_ = makeArea(this, "Picture2", QRect(4080, 7200, 6135, 3135), plot::kPlotBackground);
    picture2_->setContextMenuPolicy(Qt::CustomContextMenu);
    const int profileRight = plot::kProfileWidth - 1;
    const int profileBottom = plot::kProfileHeight - 1;
    makeLine(picture2_, nullptr, Qt::Horizontal, plot::kGuide, plot::twipsToPixels(2050), 0,
             profileRight);
    makeLine(picture2_, nullptr, Qt::Vertical, plot::kGuide, px(1500), plot::twipsToPixels(461),
             profileBottom);
    makeLine(picture2_, nullptr, Qt::Vertical, plot::kGuide, px(4500), 0, profileBottom);
    makeLine(picture2_, nullptr, Qt::Horizontal, plot::kLightGuide, plot::twipsToPixels(1025), 0,
             profileRight);
    makeLine(picture2_, nullptr, Qt::Vertical, plot::kLightGuide, px(3000), 0, profileBottom);
    const QFont profileFont = ui::namedFont(kTimes, 15.75);
    for (QLabel* label :
         {makeLabel(picture2_, "LabelProfile", QStringLiteral("Profile (Y=0)"), 240, 0,
                    ui::namedFont(kTimes, 14.25), Qt::white),
          makeLabel(picture2_, "LabelTotal", QStringLiteral("Total"), 360, 360, profileFont,
                    plot::kTotalColour),
          makeLabel(picture2_, "LabelPrimary", QStringLiteral("Primary"), 360, 720, profileFont,
                    plot::kPrimaryColour),
          makeLabel(picture2_, "LabelScatter", QStringLiteral("Scatter"), 360, 1080, profileFont,
                    plot::kScatterColour)}) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    connect(picture2_, &QWidget::customContextMenuRequested, this, &Form1::showProfileMenu);
    makeLabel(this, "LabelProfileUnit", QStringLiteral("Gy"), 10320, 7200, axisFont);
    makeLabel(this, "LabelProfileOne", QStringLiteral("1.0"), 10320, 8160, axisFont);
    makeLabel(this, "LabelProfileHalf", QStringLiteral("0.5"), 10320, 9120, axisFont);
    makeLabel(this, "LabelProfileZero", QStringLiteral("0"), 10320, 10200, axisFont);

    // Legend, the eleven editable limits and the redraw button.
    picture5_ = makeArea(this, "Picture5", QRect(10920, 1080, 855, 3975), Qt::white);
    makeLabel(this, "Label51", QStringLiteral("Gy"), 12360, 720, unitFont);
    for (int band = 0; band < plot::kBandCount; ++band) {
        limitBoxes_[band] = makeTextBox(this, kLimitBoxNames[band],
                                        QRect(11760, 1080 + 360 * band, 1335, 375),
                                        ui::namedFont(kMsGothic, 12), Qt::white);
        makeLabel(this, kLimitTildeNames[band], QStringLiteral("～"), 13200, 1200 + 360 * band,
                  ui::namedFont(kMsGothic, 11.25));
    }
    auto* picture3 = new QLabel(this);
    picture3->setObjectName(QStringLiteral("Picture3"));
    picture3->setGeometry(ui::twipsRect(11880, 5160, 480, 480));
    picture3->setPixmap(editIcon());
    picture3->setToolTip(kRedrawHint);
    QLabel* label52 =
        makeLabel(this, "Label52", QStringLiteral("書換可"), 12360, 5280, ui::namedFont(kMeiryo, 11.25));
    label52->setToolTip(kRedrawHint);
    command3_ = makeButton(this, "Command3", QStringLiteral("再描画"), QRect(13200, 5280, 2055, 495),
                           ui::namedFont(kMeiryo, 12));
    connect(command3_, &QPushButton::clicked, this, &Form1::redrawMap);
}

void Form1::buildReadoutControls() {
    const QFont hintFont = ui::namedFont(kMeiryo, 11.25);
    const QFont meiryo12 = ui::namedFont(kMeiryo, 12);
    const QFont times = ui::namedFont(kTimes, 14.25);
    const QFont sign = ui::namedFont(kMeiryo, 14.25);
    label32_ = makeLabel(this, "Label32", QStringLiteral("線量分布画像上で"), 11520, 6120, hintFont, kBlue);
    label33_ = makeLabel(this, "Label33", QStringLiteral("マウスカーソルを動かす"), 13320, 6120,
                         hintFont, kBlue);
    makeLabel(this, "Label25", QStringLiteral("カーソル座標"), 11760, 6840, meiryo12);
    makeLabel(this, "Label28", QStringLiteral("X"), 13800, 6480, times);
    makeLabel(this, "Label29", QStringLiteral("Y"), 15120, 6480, times);
    text4_ = makeTextBox(this, "Text4", QRect(13440, 6840, 1095, 450), times, ui::kButtonYellow);
    text5_ = makeTextBox(this, "Text5", QRect(14760, 6840, 1095, 450), times, ui::kButtonYellow);
    makeLabel(this, "Label30", QStringLiteral("cm"), 16080, 6840, times);
    makeLabel(this, "Label13", QStringLiteral("水吸収線量"), 11280, 7440, meiryo12);
    text8_ = makeTextBox(this, "Text8", QRect(12600, 7440, 1335, 450), times, ui::kButtonYellow);
    makeLabel(this, "Label21", QStringLiteral("＋"), 14040, 7440, sign, kBlue);
    text9_ = makeTextBox(this, "Text9", QRect(14400, 7440, 1335, 450), times, ui::kButtonYellow);
    makeLabel(this, "Label22", QStringLiteral("＝"), 15720, 7440, sign, kBlue);
    text10_ = makeTextBox(this, "Text10", QRect(16080, 7440, 1335, 450), times, ui::kButtonYellow);
    makeLabel(this, "Label24", QStringLiteral("Gy"), 17520, 7560, times, kBlue);
    makeLabel(this, "Label14", QStringLiteral("一次線線量"), 12480, 7920, hintFont, kBlue);
    makeLabel(this, "Label20", QStringLiteral("散乱線線量"), 14400, 7920, hintFont, kBlue);
    makeLabel(this, "Label19", QStringLiteral("総吸収線量"), 16200, 7920, hintFont, kBlue);
}

void Form1::buildNoteControls() {
    auto* picture6 = new QLabel(this);
    picture6->setObjectName(QStringLiteral("Picture6"));
    picture6->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picture6->setGeometry(ui::twipsRect(13800, 480, 3855, 4455));
    picture6->setPixmap(geometrySketch(picture6->size() - QSize(2 * kAreaBorder, 2 * kAreaBorder)));

    makeLabel(this, "Label44", QStringLiteral("注"), 11880, 8640, ui::namedFont(kMeiryo, 18), kRed);
    auto* label15 = new QLabel(
        QStringLiteral(" ここに表示される入射表面(水)吸収線量は、  Ｘ線焦点から FSD "
                       "の距離における空中の\u3000   一次線による空気カーマを 1.0 Gy とした     "
                       "相対値である。"),
        this);
    label15->setObjectName(QStringLiteral("Label15"));
    label15->setGeometry(ui::twipsRect(12480, 8640, 4935, 1575));
    label15->setFont(ui::namedFont(kMeiryo, 12));
    label15->setWordWrap(true);
    label15->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label15->setFrameStyle(QFrame::Box | QFrame::Plain);
    label15->setAutoFillBackground(true);
    QPalette palette = label15->palette();
    palette.setColor(QPalette::Window, QColor(192, 255, 255));
    label15->setPalette(palette);
    auto* shape1 = new RectangleShape(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    shape1->setGeometry(ui::twipsRect(12480, 8640, 4935, 1575));
}

void Form1::prepareForMainMenu() {
    refreshFileList();
    picture1_->clear();
    picture4_->clear();
    text4_->clear();
    text5_->clear();
    text8_->clear();
    text9_->clear();
    text10_->clear();
    label32_->hide();
    label33_->hide();
    command14_->setEnabled(false);
    command2_->setEnabled(false);
    command3_->setEnabled(false);
    module1_.mapDrawn = 0;
}

void Form1::refreshFileList() {
    const QSignalBlocker blocker(file1_);
    file1_->clear();
    const QStringList names =
        QDir::current().entryList({QStringLiteral("*.ddat")}, QDir::Files, QDir::Name);
    file1_->addItems(names);
}

QString Form1::selectedFileName() const {
    const QListWidgetItem* item = file1_->currentItem();
    if (item == nullptr || !item->isSelected()) return {};
    return item->text();
}

void Form1::showHeader(int row) {
    if (row < 0) return;
    const QString name = file1_->item(row)->text();
    std::array<std::string, kResultHeaderLines> header;
    try {
        header = readResultHeader(QFile::encodeName(name).toStdString());
    } catch (const InputError& error) {
        warn(QStringLiteral("ファイルの見出しを読めません。\n") + QString::fromStdString(error.what()));
        return;
    }
    picture4_->clear();
    for (const std::string& line : headerDisplayLines(header)) {
        picture4_->printLine(QString::fromStdString(line));
    }
    command14_->setEnabled(true);
    command14_->setFocus();
}

void Form1::loadDoses() {
    const QString name = selectedFileName();
    if (name.isEmpty()) {
        warn(QStringLiteral("ファイルを選択して下さい"));
        return;
    }
    // The whole file is read and checked into a scratch grid first, so that a
    // file that is incomplete (an engine still writing it) or not a result
    // file leaves the loaded data, the drawings and the buttons as they were.
    ViewerResult result;
    try {
        result = readViewerResult(QFile::encodeName(name).toStdString());
    } catch (const InputError& error) {
        warn(QStringLiteral("線量データを読み込めません。\n") + QString::fromStdString(error.what()));
        return;
    }

    picture1_->clear();
    picture2_->clear();
    clearLimitBoxes();
    text4_->clear();
    text5_->clear();

    module1_.doseGridValues = std::move(result.doseGridValues);
    bandMax_ = result.bandMax;
    bandMin_ = result.bandMin;
    loadedFileName_ = name;
    loadedHeader_ = result.headerUtf8;

    command2_->setEnabled(true);
    // The emptied limit boxes would paint every bin in band 1's colour: the
    // redraw waits until the map button has filled them again.
    command3_->setEnabled(false);
    module1_.mapDrawn = 0;
}

void Form1::drawMapAndProfiles() {
    const plot::BandLimits limits = plot::bandLimitsFor(bandMax_, bandMin_);
    const QStringList texts = plot::limitTexts(limits);
    for (int band = 0; band < plot::kBandCount; ++band) limitBoxes_[band]->setText(texts[band]);
    // The map uses the computed limits, not the rounded texts.
    drawMapWith(limits);
    // Pending window messages (repaints) are processed here; user input waits
    // until the handler has finished, so no other button can run half-way.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    plot::drawProfiles(picture2_->image(), DoseGridView(module1_));
    picture2_->imageChanged();
    module1_.mapDrawn = 1;
    command3_->setEnabled(true);
}

void Form1::redrawMap() {
    plot::BandLimits limits{};
    for (int band = 0; band < plot::kBandCount; ++band) {
        limits[band] = leadingNumber(limitBoxes_[band]->text().toStdString());
    }
    // Pending window messages (repaints) are processed here; user input waits
    // until the handler has finished, so no other button can run half-way.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    drawMapWith(limits);
}

void Form1::drawMapWith(const plot::BandLimits& limits) {
    plot::drawDoseMap(picture1_->image(), DoseGridView(module1_), limits);
    picture1_->imageChanged();
}

void Form1::reset() {
    picture1_->clear();
    picture2_->clear();
    picture4_->clear();
    clearReadout();
    clearLimitBoxes();
    line2_->hide();
    line3_->hide();
    command14_->setEnabled(false);
    command2_->setEnabled(false);
    command3_->setEnabled(false);
    refreshFileList();
    module1_.mapDrawn = 0;
}

void Form1::returnToMenu() {
    emit returnToMainMenu();
    hide();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closed by its title-bar button the viewer would otherwise leave the
    // program with no visible window: the main menu comes back as with the
    // return button.
    emit returnToMainMenu();
    event->accept();
}

void Form1::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        if (const QScreen* screen = this->screen()) {
            move(screen->availableGeometry().center() - rect().center());
        }
    }
    QWidget::showEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == file1_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QList<QListWidgetItem*> selected = file1_->selectedItems();
        selectedRowAtPress_ = selected.isEmpty() ? -1 : file1_->row(selected.first());
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::followCursor(QPointF pixel) {
    if (module1_.mapDrawn == 0) return;
    const QPointF unit = plot::mapUnit(pixel);
    const auto x = static_cast<float>(unit.x());
    const auto y = static_cast<float>(unit.y());
    if (!plot::insideMapArea(x, y)) {
        line2_->hide();
        line3_->hide();
        clearReadout();
        return;
    }
    const int crossRow = static_cast<int>(std::lround(y)) + plot::kMapYOrigin;
    const int crossColumn = static_cast<int>(std::lround(x));
    line2_->place(crossRow, 0, px(6000));
    line3_->place(crossColumn, 0, px(6000));
    line2_->show();
    line3_->show();

    const float fromCentre = x - 200.0f;
    const float down = -y;
    // Adding 0.0 turns a negative zero into zero, so the centre shows "0.0".
    text4_->setText(QString::fromStdString(formatFixedPattern(0.1 * fromCentre + 0.0, 1, 1)));
    text5_->setText(QString::fromStdString(formatFixedPattern(0.1 * down + 0.0, 1, 1)));

    const plot::MapBin bin = plot::binUnderCursor(x, y);
    const DoseGridView grid(module1_);
    text8_->setText(QString::fromStdString(formatScientificPattern(grid.primary(bin.ix, bin.iy), 3)));
    text9_->setText(QString::fromStdString(formatScientificPattern(grid.scatter(bin.ix, bin.iy), 3)));
    text10_->setText(QString::fromStdString(formatScientificPattern(grid.total(bin.ix, bin.iy), 3)));
}

void Form1::clearReadout() {
    text4_->clear();
    text5_->clear();
    text8_->clear();
    text9_->clear();
    text10_->clear();
}

void Form1::clearLimitBoxes() {
    for (QLineEdit* box : limitBoxes_) box->clear();
}

void Form1::warn(const QString& text) { ui::showWarning(this, text); }

QStringList Form1::exportTitleLines() const {
    if (loadedFileName_.isEmpty()) return {};
    return {loadedFileName_ + QStringLiteral(":  ") +
                QString::fromStdString(geometrySummary(loadedHeader_)),
            QString::fromStdString(photonCountLine(loadedHeader_.back())).trimmed() +
                QStringLiteral(";  線量は FSD における空中の一次線空気カーマ 1.0 Gy に対する相対値")};
}

QString Form1::saveMapImage(const QString& path) const {
    QStringList limits;
    for (const QLineEdit* box : limitBoxes_) limits << box->text();
    return writePng(path, plot::renderMapFigure(picture1_->image(), limits, exportTitleLines()));
}

QString Form1::saveProfileImage(const QString& path) const {
    return writePng(path, plot::renderProfileFigure(picture2_->image(), exportTitleLines()));
}

// The first line of an exported table: the result file and its run.
QString Form1::csvTitleLine() const {
    return QStringLiteral("# ") + loadedFileName_ + QStringLiteral(":  ") +
           QString::fromStdString(runSummary(loadedHeader_)) + QStringLiteral("\r\n");
}

namespace {
// ",total,primary,scatter" of one bin, ending the CSV line.
QString doseColumns(const DoseGridView& grid, int ix, int iy) {
    return u',' + number(grid.total(ix, iy)) + u',' + number(grid.primary(ix, iy)) + u',' +
           number(grid.scatter(ix, iy)) + QStringLiteral("\r\n");
}
}  // namespace

QString Form1::saveGridCsv(const QString& path) const {
    if (loadedFileName_.isEmpty()) return QStringLiteral("no result file is loaded");
    const DoseGridView grid(module1_);
    QString text = csvTitleLine();
    text += QStringLiteral(
        "# dose per 1.0 Gy of primary air kerma in free air at the FSD; ix: x bin of 0.1 cm, "
        "X = 0.1*(ix-200) cm; iy: |y| bin of 0.1 cm, 0.1*(iy-1) <= |Y| < 0.1*iy cm\r\n");
    text += QStringLiteral("ix,iy,total,primary,scatter\r\n");
    for (int ix = 1; ix <= kResultXBins; ++ix) {
        for (int iy = 1; iy <= kResultYBins; ++iy) {
            text += QString::number(ix) + u',' + QString::number(iy) + doseColumns(grid, ix, iy);
        }
    }
    return writeBytes(path, QByteArray::fromStdString(toShiftJisLossy(text)));
}

QString Form1::saveProfileCsv(const QString& path) const {
    if (loadedFileName_.isEmpty()) return QStringLiteral("no result file is loaded");
    const DoseGridView grid(module1_);
    QString text = csvTitleLine();
    text += QStringLiteral(
        "# central row (iy = 1, next to Y = 0); dose per 1.0 Gy of primary air kerma in free "
        "air at the FSD\r\n");
    text += QStringLiteral("ix,X_cm,total,primary,scatter\r\n");
    for (int ix = 1; ix <= kResultXBins; ++ix) {
        text += QString::number(ix) + u',' +
                QString::fromStdString(formatFixedPattern(0.1 * (ix - 200) + 0.0, 1, 1)) + doseColumns(grid, ix, 1);
    }
    return writeBytes(path, QByteArray::fromStdString(toShiftJisLossy(text)));
}

void Form1::showMapMenu(QPoint at) {
    showSaveMenu(picture1_, at, &Form1::saveMapImage, &Form1::saveGridCsv);
}

void Form1::showProfileMenu(QPoint at) {
    showSaveMenu(picture2_, at, &Form1::saveProfileImage, &Form1::saveProfileCsv);
}

// The context menu of a drawing area: its picture as PNG, or the numbers behind it as CSV.
void Form1::showSaveMenu(QWidget* area, QPoint at, SaveFunction saveImage, SaveFunction saveCsv) {
    QMenu menu(this);
    QAction* image = menu.addAction(QStringLiteral("画像を保存…"));
    QAction* table = menu.addAction(QStringLiteral("CSV で保存…"));
    table->setEnabled(!loadedFileName_.isEmpty());
    const QAction* chosen = menu.exec(area->mapToGlobal(at));
    if (chosen == nullptr) return;
    const bool asImage = chosen == image;
    const QString path = QFileDialog::getSaveFileName(
        this, chosen->text(), QString(),
        asImage ? QStringLiteral("PNG (*.png)") : QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) return;
    const QString error = (this->*(asImage ? saveImage : saveCsv))(path);
    if (!error.isEmpty()) warn(QStringLiteral("保存できません: ") + path + QStringLiteral("\n") + error);
}

}  // namespace velmora
