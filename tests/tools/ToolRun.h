#pragma once

#include <string>

#include <QProcess>
#include <QStringList>

namespace korva::test {

// korva-deck run as a user runs it: its exit code and what it printed.
struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline ToolRun RunDeckTool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(KORVA_DECK_TOOL), args);
    process.waitForFinished(30000);
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace korva::test
