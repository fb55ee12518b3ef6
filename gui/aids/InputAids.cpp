#include "gui/aids/InputAids.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

namespace quorvex {

namespace {

// Setting the text runs the window's amount-change update, as typing would.
void SetField(AidsHost& host, int id, const QString& text) {
    if (auto* field = qobject_cast<QLineEdit*>(host.control(id))) field->setText(text);
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString GetClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

void OnPaste(AidsHost& host, int base) {
    const auto fields = PasteFields(GetClipboardText().toStdString());
    for (int i = 0; i < kItemCount; ++i) SetField(host, base + i, FromUtf8(fields[i]));
}

void OnClear(AidsHost& host, int base) {
    if (!Confirmed(host.messages().ShowMessage(kMsgClear, "", MessageKind::Question))) return;
    for (int i = 0; i < kItemCount; ++i) SetField(host, base + i, QString());
}

void OnSample(AidsHost& host) {
    if (!Confirmed(host.messages().ShowMessage(kMsgSetSample, "", MessageKind::Question))) return;
    for (int i = 0; i < kItemCount; ++i) {
        SetField(host, kIdNameBase + i, FromUtf8(kCanonicalNames[i]));
        SetField(host, kIdAmountBase + i, FromUtf8(kSampleAmounts[i]));
    }
    host.repaintFigureArea();
}

}  // namespace quorvex
