// velmora-dose-png RESULT.ddat OUT.png: the viewer's map (bands scaled as its
// map button scales them), legend, limits and central-row profiles of a result
// file, as one PNG. Runs without a display.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>
#include <exception>

#include "formats/input_error.h"
#include "frontend/dose_plot.h"
#include "frontend/viewer_load.h"

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "velmora-dose-png: %s\n", message.toLocal8Bit().constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return fail(QStringLiteral("usage: velmora-dose-png RESULT.ddat OUT.png"));
    const QString resultPath = QFile::decodeName(argv[1]);
    const QString pngPath = QFile::decodeName(argv[2]);

    // The file is read and checked before any window-system code starts.
    velmora::ViewerResult result;
    try {
        result = velmora::readViewerResult(argv[1]);
    } catch (const velmora::InputError& error) {
        return fail(QString::fromStdString(error.what()));
    }

    // Text needs a GUI application; without a display the offscreen platform serves.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const velmora::DoseGridView grid(result.doseGridValues);
    const auto limits = velmora::plot::bandLimitsFor(result.bandMax, result.bandMin);
    const QStringList title = {
        resultPath,
        QString::fromStdString(velmora::geometrySummary(result.headerUtf8)),
        QString::fromStdString(velmora::photonCountLine(result.headerUtf8.back())).trimmed() +
            QStringLiteral(";  dose per 1.0 Gy of primary air kerma in free air at the FSD"),
    };
    const QImage figure = velmora::plot::renderSummaryFigure(grid, limits, title);

    QSaveFile file(pngPath);
    if (!file.open(QIODevice::WriteOnly) || !figure.save(&file, "PNG") || !file.commit()) {
        return fail(QStringLiteral("cannot write \"%1\": %2").arg(pngPath, file.errorString()));
    }
    return 0;
}
