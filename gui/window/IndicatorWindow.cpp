#include "gui/window/IndicatorWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/aids/HelpTexts.h"
#include "core/model/Indicators.h"
#include "gui/widgets/ControlIds.h"

namespace quorvex {
namespace {

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

// The definitions, one line per ratio after the heading line.
QStringList DefinitionLines() {
    return Utf8(HelpTextOf(HelpText::Indicators)).split(QStringLiteral("\r\n"));
}

}  // namespace

IndicatorWindow::IndicatorWindow(IndicatorHost& host, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), host_(host) {
    setWindowTitle(QStringLiteral("指標"));
    const QStringList definitions = DefinitionLines();

    table_ = new QTableWidget(kIndicatorCount + 1, 2, this);
    table_->setObjectName(QString::number(kIdIndicatorTable));
    table_->setHorizontalHeaderLabels({QStringLiteral("指標"), QStringLiteral("値")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setWordWrap(false);
    table_->setAccessibleName(QStringLiteral("指標の表"));
    for (int row = 0; row <= kIndicatorCount; ++row) {
        for (int column = 0; column < 2; ++column) {
            auto* item = new QTableWidgetItem;
            if (column == 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // Row 0 is the period; the others carry their definition as the tip.
            if (row > 0 && row < definitions.size()) item->setToolTip(definitions[row].trimmed());
            table_->setItem(row, column, item);
        }
    }

    auto* copy = new QPushButton(QStringLiteral("コピー(&C)"), this);
    copy->setObjectName(QString::number(kIdIndicatorCopy));
    copy->setToolTip(QStringLiteral("表をタブ区切りのテキストとしてクリップボードにコピーします"));
    connect(copy, &QPushButton::clicked, this, [this] { CopyTable(); });
    auto* shortcut = new QShortcut(QKeySequence::Copy, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { CopyTable(); });

    auto* helpButton = new QPushButton(QStringLiteral("説明(&H)"), this);
    helpButton->setObjectName(QString::number(kIdIndicatorHelp));
    helpButton->setCheckable(true);
    helpButton->setToolTip(QStringLiteral("各指標の求め方を表示します"));
    help_ = new QPlainTextEdit(this);
    help_->setObjectName(QString::number(kIdIndicatorHelpText));
    help_->setReadOnly(true);
    help_->setPlainText(definitions.join(QLatin1Char('\n')).trimmed());
    help_->hide();
    connect(helpButton, &QPushButton::toggled, help_, &QWidget::setVisible);

    breakEven_ = new QCheckBox(QStringLiteral("損益分岐点(&L)"), this);
    breakEven_->setObjectName(QString::number(kIdIndicatorBreakEven));
    breakEven_->setToolTip(
        QStringLiteral("損益計算書の図の売上高に損益分岐点の線を描きます(線より上が安全余裕)"));
    connect(breakEven_, &QCheckBox::clicked, this, [this](bool on) { host_.setBreakEven(on); });
    batch_ = new QCheckBox(QStringLiteral("一括作成時に指標も出力"), this);
    batch_->setObjectName(QString::number(kIdIndicatorBatch));
    batch_->setToolTip(QStringLiteral(
        "一括作成で集計ファイルと同じフォルダに各期の指標のファイル(_指標)も作成します"));
    connect(batch_, &QCheckBox::clicked, this, [this](bool on) { host_.setBatchIndicators(on); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    layout->addWidget(breakEven_);
    layout->addWidget(batch_);
    layout->addWidget(help_, 1);
    resize(380, 480);
    Refresh();
}

void IndicatorWindow::Refresh() {
    const StatementData period = host_.shownPeriod();
    const IndicatorValues values = ComputeIndicators(period);
    table_->item(0, 0)->setText(QStringLiteral("期"));
    table_->item(0, 1)->setText(Utf8(period.period.Normalised()));
    for (int i = 0; i < kIndicatorCount; ++i) {
        table_->item(i + 1, 0)->setText(Utf8(IndicatorName(i, period)));
        table_->item(i + 1, 1)->setText(Utf8(IndicatorText(values, i, host_.ratioDecimals())));
    }
    breakEven_->setChecked(host_.breakEven());
    batch_->setChecked(host_.batchIndicators());
}

QString IndicatorWindow::TableText() const {
    QStringList lines;
    for (int row = 0; row < table_->rowCount(); ++row) {
        lines << table_->item(row, 0)->text() + QLatin1Char('\t') + table_->item(row, 1)->text();
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void IndicatorWindow::CopyTable() {
    QApplication::clipboard()->setText(TableText());
}

}  // namespace quorvex
