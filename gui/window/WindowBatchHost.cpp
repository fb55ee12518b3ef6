#include "gui/window/WindowBatchHost.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>

#include "engine/output/OutputFiles.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {

MessageSink& WindowBatchHost::Messages() {
    return window_.sink_;
}

OutputOptions WindowBatchHost::Output() {
    return window_.output_;
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
    window_.output_.Separate = separate;
    return separate;
}

DiagramOptions WindowBatchHost::Diagram() {
    return window_.diagram_;
}

std::array<Colour, kItemCount> WindowBatchHost::Colours() {
    return window_.colours_;
}

FigureSize WindowBatchHost::CurrentFigureSize() {
    return {window_.bsRect_.width(), window_.bsRect_.height()};
}

void WindowBatchHost::SetOutType(int outType) {
    window_.output_.OutType = outType;
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
    window_.batchFigureSize_ = QSize(size.width, size.height);
    window_.bsBitmap_.image() = bs;
    window_.plBitmap_.image() = pl;
}

void WindowBatchHost::OpenFolder(const QString& folder) {
    OpenFolderWindow(folder + QLatin1Char('/'), window_.sink_);
}

}  // namespace quorvex
