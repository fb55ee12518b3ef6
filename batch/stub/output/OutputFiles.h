#pragma once
// TEMPORARY stand-in until the output subsystem lands.
#include <QByteArray>
#include <QString>
#include "model/Messages.h"
#include "model/StatementData.h"
namespace quorvex {
QString DiagramFileName(const PeriodLabel& period, int outType, int outSaki);
bool EnsureOutputFolder(QString& folder, MessageSink& sink);
bool CommitFile(const QString& path, const QByteArray& bytes, MessageSink& sink);
bool OpenFolderWindow(const QString& folder, MessageSink& sink);
}  // namespace quorvex
