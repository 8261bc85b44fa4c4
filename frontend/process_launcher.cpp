#include "frontend/process_launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velmora {

const QList<TerminalCommand>& knownTerminals() {
    // x-terminal-emulator is the desktop's chosen terminal on Debian; the
    // others cover desktops without that alternative.
    static const QList<TerminalCommand> terminals{
        {QStringLiteral("x-terminal-emulator"), QStringLiteral("-e")},
        {QStringLiteral("xterm"), QStringLiteral("-e")},
        {QStringLiteral("gnome-terminal"), QStringLiteral("--")},
        {QStringLiteral("konsole"), QStringLiteral("-e")},
        {QStringLiteral("xfce4-terminal"), QStringLiteral("-x")},
    };
    return terminals;
}

QString SystemProcessLauncher::findProgram(const QString& name) {
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(name));
    if (beside.isFile() && beside.isExecutable()) return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

LaunchResult SystemProcessLauncher::startDetached(const QString& program,
                                                  const QStringList& arguments,
                                                  const QString& workingDirectory) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    if (process.startDetached()) return LaunchResult::success();
    const QString reason = process.errorString();
    return LaunchResult::failure(reason.isEmpty() ? QStringLiteral("起動に失敗しました") : reason);
}

namespace {

QString notFoundReason(const QString& name) {
    return QStringLiteral("%1 が見つかりません（Velmora と同じフォルダーにも PATH 上にもありません）")
        .arg(name);
}

}  // namespace

LaunchResult SystemProcessLauncher::startSpectrumTool(const QString& workingDirectory) {
    const QString name = QString::fromLatin1(kSpectrumToolProgram);
    const QString program = findProgram(name);
    if (program.isEmpty()) return LaunchResult::failure(notFoundReason(name));
    return startDetached(program, {}, workingDirectory);
}

LaunchResult SystemProcessLauncher::startEngine(const QString& workingDirectory) {
    const QString name = QString::fromLatin1(kEngineProgram);
    const QString engine = findProgram(name);
    if (engine.isEmpty()) return LaunchResult::failure(notFoundReason(name));
    // The engine talks to the operator on its console, so it runs inside a
    // terminal window, which the window manager gives the focus.
    for (const TerminalCommand& command : knownTerminals()) {
        const QString terminal = QStandardPaths::findExecutable(command.terminal);
        if (terminal.isEmpty()) continue;
        return startDetached(terminal, {command.runOption, engine}, workingDirectory);
    }
    return LaunchResult::failure(
        QStringLiteral("%1 を実行する端末（x-terminal-emulator, xterm など）が見つかりません").arg(name));
}

}  // namespace velmora
