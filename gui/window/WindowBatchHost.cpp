#include "gui/window/WindowBatchHost.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>

#include "engine/output/OutputFiles.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {

MessageSink& WindowBatchHost::Messages() {
    return window_.messages();
}

OutputOptions WindowBatchHost::Output() {
    return window_.outputOptions();
}

int WindowBatchHost::TakeSeparate() {
    // The first separator radio that is on; the radios have no handler of their own.
    int separate = kSeparateNone;
    for (int k = 0; k < 3; ++k) {
        auto* radio = qobject_cast<QAbstractButton*>(window_.control(kIdSeparatorNone + k));
        if (radio && radio->isChecked()) {
            separate = k;
            break;
        }
    }
    window_.outputOptions().Separate = separate;
    return separate;
}

DiagramOptions WindowBatchHost::Diagram() {
    return window_.diagramOptions();
}

std::array<Colour, kItemCount> WindowBatchHost::Colours() {
    std::array<Colour, kItemCount> colours{};
    for (int i = 0; i < kItemCount; ++i) colours[std::size_t(i)] = window_.itemColour(i);
    return colours;
}

FigureSize WindowBatchHost::CurrentFigureSize() {
    const QSize size = window_.figureSize();
    return {size.width(), size.height()};
}

void WindowBatchHost::SetOutType(int outType) {
    window_.outputOptions().OutType = outType;
}

void WindowBatchHost::SetProgressRange(int maximum) {
    if (auto* bar = qobject_cast<QProgressBar*>(window_.control(kIdProgress))) {
        bar->setRange(0, maximum);
        bar->repaint();
    }
}

void WindowBatchHost::SetProgress(int position) {
    if (auto* bar = qobject_cast<QProgressBar*>(window_.control(kIdProgress))) {
        bar->setValue(position);
        // The run keeps the thread: show the bar's move now.
        bar->repaint();
    }
}

void WindowBatchHost::LoadNames(const StatementData& data) {
    for (int i = 0; i < kItemCount; ++i) {
        static_cast<QLineEdit*>(window_.control(kIdNameBase + i))
            ->setText(QString::fromStdString(data.items[std::size_t(i)].name));
    }
}

void WindowBatchHost::LoadPeriod(const StatementData& data, FigureSize size, const QImage& bs,
                                 const QImage& pl) {
    static_cast<QLineEdit*>(window_.control(kIdPeriod))
        ->setText(QString::fromStdString(data.period.text));
    // Setting the amounts runs the amount-change update, as typing would.
    for (int i = 0; i < kItemCount; ++i) {
        static_cast<QLineEdit*>(window_.control(kIdAmountBase + i))
            ->setText(QString::fromStdString(data.items[std::size_t(i)].amount));
    }
    window_.TakeBatchDiagrams(QSize(size.width, size.height), bs, pl);
}

void WindowBatchHost::OpenFolder(const QString& folder) {
    OpenFolderWindow(folder + QLatin1Char('/'), window_.messages());
}

}  // namespace quorvex
