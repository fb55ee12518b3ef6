#include "gui/import/WindowImport.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QWidget>

#include "core/model/Consistency.h"
#include "engine/import/FilingImport.h"
#include "gui/widgets/ChoiceDialog.h"
#include "gui/widgets/Dialogs.h"

namespace quorvex {
namespace {

constexpr char kNoteProperty[] = "quorvexImportNote";
constexpr char kNotePeriodProperty[] = "quorvexImportNotePeriod";

void SetField(AidsHost& host, int id, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(host.control(id))) edit->setText(text);
}

// The local paths of a drop that holds only filings and folders of them; none otherwise.
QStringList DroppedFilings(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        if (!IsFilingPath(path) && !QFileInfo(path).isDir()) return {};
        paths << path;
    }
    return paths;
}

// Accepts drags of filings (one, several or folders) over the window and reads what was
// dropped; everything else goes on to the window as before.
class FilingDropFilter final : public QObject {
  public:
    FilingDropFilter(AidsHost& host, FilingRunHost& runs, QObject* parent)
        : QObject(parent), host_(host), runs_(runs) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
            return QObject::eventFilter(watched, event);
        }
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = DroppedFilings(drop->mimeData()->urls());
        if (paths.isEmpty()) return QObject::eventFilter(watched, event);
        drop->acceptProposedAction();
        if (type == QEvent::Drop) ImportFilingsIntoWindow(host_, runs_, paths);
        return true;
    }

  private:
    AidsHost& host_;
    FilingRunHost& runs_;
};

}  // namespace

bool IsFilingPath(const QString& path) {
    const QString lower = path.toLower();
    return !path.isEmpty() &&
           (lower.endsWith(QLatin1String(".xbrl")) || lower.endsWith(QLatin1String(".zip")));
}

bool ImportFilingIntoWindow(AidsHost& host, const QString& path) {
    MappedFiling filing = ImportFilingFile(path, FilingScope::Preferred);
    const int refused = filing.problem.messageId;
    // Consolidated statements the filing does not let us read: the parent's figures only
    // when the user asks for them.
    if (refused == kMsgImportUsGaap || refused == kMsgImportNoConsolidated ||
        refused == kMsgImportConsolidatedItems) {
        const std::string prefix = QFileInfo(path).fileName().toStdString() + "\n";
        if (host.messages().ShowMessage(kMsgImportAskNonConsolidated, prefix,
                                        MessageKind::Question) != kYes) {
            return false;
        }
        filing = ImportFilingFile(path, FilingScope::NonConsolidated);
    }
    if (filing.problem.messageId != 0) {
        ReportFilingProblem(path, filing.problem, host.messages());
        return false;
    }
    if (filing.periods.empty()) return false;
    // Newest first, so that confirming takes the latest year.
    std::size_t chosen = filing.periods.size() - 1;
    if (filing.periods.size() > 1) {
        ChoiceRequest request;
        request.title = QString::fromStdString(ApplicationTitle());
        request.label = QString::fromStdString(MessageText(kMsgImportChooseYear));
        for (auto p = filing.periods.rbegin(); p != filing.periods.rend(); ++p) {
            request.items << QString::fromStdString(PeriodChoiceText(*p));
        }
        const int answer = ChooseOne(host.hostWindow(), request);
        if (answer < 0 || answer >= request.items.size()) return false;
        chosen = filing.periods.size() - 1 - static_cast<std::size_t>(answer);
    }
    const ImportedPeriod& period = filing.periods[chosen];
    const auto names = PeriodItemNames(period);
    for (int i = 0; i < kItemCount; ++i) {
        SetField(host, kIdNameBase + i, QString::fromStdString(names[std::size_t(i)]));
        SetField(host, kIdAmountBase + i, QString::fromStdString(period.amounts[std::size_t(i)]));
    }
    // The filing's notes stay on the warning line while 期 names the period imported.
    if (auto* line = qobject_cast<QLabel*>(host.control(kIdConsistencyLine))) {
        std::string notes;
        for (const std::string& note : filing.notes) notes += (notes.empty() ? "" : " ") + note;
        line->setProperty(kNoteProperty, QString::fromStdString(notes));
        line->setProperty(kNotePeriodProperty, QString::fromStdString(period.name));
    }
    SetField(host, kIdPeriod, QString::fromStdString(period.name));
    host.repaintFigureArea();
    return true;
}

std::string PeriodChoiceText(const ImportedPeriod& period) {
    std::string text = period.name + "  (";
    if (!period.company.empty()) text += period.company + "・";
    return text + std::string(StandardName(period.standard)) + "・" +
           (period.nonConsolidated ? "単体" : "連結") + ")";
}

void ImportFilingsIntoWindow(AidsHost& host, FilingRunHost& runs, const QStringList& paths) {
    if (IsManyFilings(paths)) {
        ImportManyFilings(host, runs, paths);
    } else if (!paths.isEmpty()) {
        ImportFilingIntoWindow(host, paths.front());
    }
}

void OnImportFilingClicked(AidsHost& host, FilingRunHost& runs) {
    const QStringList paths = GetOpenFileNames(
        host.hostWindow(), QStringLiteral("EDINETの書類を指定"),
        QStringLiteral("XBRLファイル・ZIPファイル(*.xbrl *.zip);;すべてのファイル(*)"));
    ImportFilingsIntoWindow(host, runs, paths);
}

QString ConsistencyLineText(AidsHost& host) {
    StatementData data;
    for (int i = 0; i < kItemCount; ++i) {
        if (auto* edit = qobject_cast<QLineEdit*>(host.control(kIdAmountBase + i))) {
            data.items[std::size_t(i)].amount = edit->text().toStdString();
        }
    }
    if (auto* edit = qobject_cast<QLineEdit*>(host.control(kIdPeriod))) {
        data.period.text = edit->text().toStdString();
    }
    QString note;
    if (auto* line = qobject_cast<QLabel*>(host.control(kIdConsistencyLine))) {
        if (line->property(kNotePeriodProperty).toString().toStdString() == data.period.text) {
            note = line->property(kNoteProperty).toString();
        }
    }
    std::string text = ConsistencyText(CheckConsistency(data));
    if (text.empty()) {
        if (!note.isEmpty()) return note;
        return HasRoundingDifference(data) ? QString::fromStdString(MessageText(kMsgWarnRounding))
                                           : QString();
    }
    // The period as the files name it, like the tool's warning; none while 期 is empty.
    const std::string period = data.period.Normalised();
    if (!period.empty()) text = period + ": " + text;
    const QString warning = QString::fromStdString(MessageText(kMsgWarnPrefix) + text);
    return note.isEmpty() ? warning : note + QStringLiteral(" ") + warning;
}

void RefreshConsistencyLine(AidsHost& host) {
    auto* line = qobject_cast<QLabel*>(host.control(kIdConsistencyLine));
    if (!line) return;
    const QString text = ConsistencyLineText(host);
    // Rounding of published figures is no fault: grey, where a warning is red.
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText,
                     text == QString::fromStdString(MessageText(kMsgWarnRounding))
                         ? QColor(0x80, 0x80, 0x80)
                         : QColor(0xC0, 0, 0));
    line->setPalette(palette);
    // One line: what does not fit ends in "…", and the tip holds the whole text.
    line->setText(line->fontMetrics().elidedText(text, Qt::ElideRight, line->width()));
    line->setToolTip(text);
}

void ConnectWindowImport(AidsHost& host, FilingRunHost& runs) {
    QWidget* window = host.hostWindow();
    if (auto* button = qobject_cast<QAbstractButton*>(host.control(kIdImportFiling))) {
        QObject::connect(button, &QAbstractButton::clicked, window,
                         [&host, &runs] { OnImportFilingClicked(host, runs); });
    }
    window->setAcceptDrops(true);
    window->installEventFilter(new FilingDropFilter(host, runs, window));
    for (int i = 0; i <= kItemCount; ++i) {
        const int id = i == kItemCount ? kIdPeriod : kIdAmountBase + i;
        if (auto* edit = qobject_cast<QLineEdit*>(host.control(id))) {
            QObject::connect(edit, &QLineEdit::textChanged, window,
                             [&host] { RefreshConsistencyLine(host); });
        }
    }
    RefreshConsistencyLine(host);
}

}  // namespace quorvex
