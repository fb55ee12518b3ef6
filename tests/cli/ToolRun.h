#pragma once
// Runs quorvex-batch (or another program) as a process and collects what it said.

#include <gtest/gtest.h>

#include <QProcess>
#include <functional>
#include <string>

namespace quorvex::test {

struct ToolRun {
    int exitCode = -1;  // -1: ended by a signal
    std::string out, err;
};

inline ToolRun RunProgram(const QString& program, const QStringList& arguments,
                          const std::function<void()>& inChild = {}) {
    QProcess p;
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(120000));
    ToolRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

inline ToolRun RunTool(const QStringList& arguments, const std::function<void()>& inChild = {}) {
    return RunProgram(QStringLiteral(QUORVEX_BATCH_TOOL), arguments, inChild);
}

}  // namespace quorvex::test
