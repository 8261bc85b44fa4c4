// Starting the two programs the front end hands work to: the spectrum tool
// X-TUBEX and the simulation engine velmc. Windows receive the launcher as an
// interface, so that tests can stand in for it.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>

namespace velmora {

struct LaunchResult {
    bool started = false;
    QString reason;  // why the program could not be started; empty when started

    static LaunchResult success() { return {true, {}}; }
    static LaunchResult failure(QString why) { return {false, std::move(why)}; }
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Starts X-TUBEX without arguments in the working directory; no waiting.
    virtual LaunchResult startSpectrumTool(const QString& workingDirectory) = 0;

    // Starts velmc without arguments in the working directory, in a console
    // window of its own (it asks the operator for Enter); no waiting.
    virtual LaunchResult startEngine(const QString& workingDirectory) = 0;
};

inline constexpr const char* kSpectrumToolProgram = "X-TUBEX";
inline constexpr const char* kEngineProgram = "velmc";

// One way of opening a terminal that runs a program: the terminal and the
// option after which the program and its arguments follow.
struct TerminalCommand {
    QString terminal;
    QString runOption;
};

// The terminals tried for the engine's console, in order of preference.
const QList<TerminalCommand>& knownTerminals();

// The real launcher: programs are looked up beside Velmora, then on PATH, and
// started detached; the process is not followed afterwards.
class SystemProcessLauncher final : public ProcessLauncher {
public:
    LaunchResult startSpectrumTool(const QString& workingDirectory) override;
    LaunchResult startEngine(const QString& workingDirectory) override;

    // Full path of a program beside the running executable, else on PATH;
    // empty when neither has it.
    static QString findProgram(const QString& name);

private:
    static LaunchResult startDetached(const QString& program, const QStringList& arguments,
                                      const QString& workingDirectory);
};

}  // namespace velmora
