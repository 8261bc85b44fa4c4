// Form1, "Simulated dose distribution": the result viewer with its file list,
// header display, dose map, legend, profiles and cursor read-out.
#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>
#include <array>
#include <string>

#include "formats/result_file.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora {

struct Module1;
class DrawingSurface;
class LineObject;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Module1& module1, QWidget* parent = nullptr);

    // What the main menu's results button does before showing the viewer:
    // refresh the file list, clear the map and header, empty the read-out,
    // hide the hint labels, disable OK / map / redraw, clear mapDrawn.
    void prepareForMainMenu();

    // Band range of the last load (largest total on the central row, smallest
    // inside its primary field).
    double bandMax() const { return bandMax_; }
    double bandMin() const { return bandMin_; }

    // Pictures and numbers out. Each returns an empty text on success and the
    // reason otherwise; the context menus ask for the path and call these.
    QString saveMapImage(const QString& path) const;      // map, legend, limits
    QString saveProfileImage(const QString& path) const;  // the three profiles
    QString saveGridCsv(const QString& path) const;       // all bins of the loaded file
    QString saveProfileCsv(const QString& path) const;    // the central row

signals:
    // The return button, or the title-bar close: the main menu shows itself again.
    void returnToMainMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFileAndHeaderControls();
    void buildMapControls();
    void buildReadoutControls();
    void buildNoteControls();

    void refreshFileList();
    void showHeader(int row);
    void loadDoses();
    void drawMapAndProfiles();
    void redrawMap();
    void reset();
    void returnToMenu();
    void followCursor(QPointF pixel);

    void drawMapWith(const std::array<double, 11>& limits);
    void clearReadout();
    void clearLimitBoxes();
    QString selectedFileName() const;
    QStringList exportTitleLines() const;
    void showMapMenu(QPoint at);
    void showProfileMenu(QPoint at);
    using SaveFunction = QString (Form1::*)(const QString&) const;
    QString csvTitleLine() const;
    void showSaveMenu(QWidget* area, QPoint at, SaveFunction saveImage, SaveFunction saveCsv);
    void warn(const QString& text);

    Module1& module1_;
    double bandMax_ = 0;
    double bandMin_ = 0;
    bool shownBefore_ = false;
    int selectedRowAtPress_ = -1;

    // The file whose doses are loaded, with its header, for exports.
    QString loadedFileName_;
    std::array<std::string, kResultHeaderLines> loadedHeader_;

    QListWidget* file1_ = nullptr;
    DrawingSurface* picture4_ = nullptr;  // header display
    DrawingSurface* picture1_ = nullptr;  // map
    DrawingSurface* picture2_ = nullptr;  // profiles
    DrawingSurface* picture5_ = nullptr;  // legend
    LineObject* line2_ = nullptr;         // cross-hair, horizontal
    LineObject* line3_ = nullptr;         // cross-hair, vertical
    QPushButton* command14_ = nullptr;    // OK
    QPushButton* command2_ = nullptr;     // map and profiles
    QPushButton* command3_ = nullptr;     // redraw with edited limits
    QPushButton* command1_ = nullptr;     // Reset
    QPushButton* command6_ = nullptr;     // back to the main menu
    std::array<QLineEdit*, 11> limitBoxes_{};
    QLineEdit* text4_ = nullptr;   // X, cm
    QLineEdit* text5_ = nullptr;   // Y, cm
    QLineEdit* text8_ = nullptr;   // primary
    QLineEdit* text9_ = nullptr;   // scatter
    QLineEdit* text10_ = nullptr;  // total
    QLabel* label32_ = nullptr;
    QLabel* label33_ = nullptr;
};

}  // namespace velmora
