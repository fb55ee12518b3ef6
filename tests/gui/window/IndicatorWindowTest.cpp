// The 指標 window: its table follows typing, copies as tab-separated text, keeps its place
// across runs; its two options are stored, off by default, and reach the diagram and the
// window's batch run.
#include <QClipboard>
#include <QTableWidget>

#include "core/model/Indicators.h"
#include "gui/window/IndicatorWindow.h"
#include "tests/common/Isolation.h"
#include "tests/gui/window/WindowFixture.h"

namespace quorvex::test {
namespace {

class IndicatorWindowTest : public WindowTest {
  protected:
    void SetUp() override { SetMessageHook(&sink_); }
    IndicatorWindow& OpenIndicators() {
        Click(kIdIndicators);
        QApplication::processEvents();
        IndicatorWindow* w = dlg_->indicatorWindow();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    QTableWidget* Table() {
        return dlg_->indicatorWindow()->findChild<QTableWidget*>(
            QString::number(kIdIndicatorTable));
    }
    QCheckBox* Option(int id) {
        return dlg_->indicatorWindow()->findChild<QCheckBox*>(QString::number(id));
    }
    // The value shown for the row of the indicator named name.
    QString Value(const QString& name) {
        for (int row = 0; row < Table()->rowCount(); ++row) {
            if (Table()->item(row, 0)->text() == name) return Table()->item(row, 1)->text();
        }
        return QStringLiteral("<no row ") + name + QLatin1Char('>');
    }
    RecordingMessageSink sink_;
};

TEST_F(IndicatorWindowTest, TableFollowsTypingDecimalsAndNames) {
    Open();
    Show();
    Click(kIdSample);
    Edit(kIdPeriod)->setText(QStringLiteral("5"));
    IndicatorWindow& w = OpenIndicators();
    EXPECT_TRUE(w.isVisible());
    struct Step {
        const char* what;
        std::function<void()> act;
        QString name, value;
    };
    const Step steps[] = {
        {"sample", [] {}, "自己資本比率", "18.77%"},
        {"sample", [] {}, "損益分岐点売上高", "76億6101万6625円"},
        {"sample", [] {}, "総資本回転率", "2.01回"},
        {"sample", [] {}, "期", "第5期"},
        // Typing an amount: fixed costs 0 put the break-even point at nothing.
        {"typed fixed costs", [this] { Edit(kIdAmountBase + 8)->setText("0"); }, "損益分岐点比率",
         "0.00%"},
        {"typed equity", [this] { Edit(kIdAmountBase + 4)->setText("-1"); }, "固定比率", "―"},
        {"decimals", [this] { Spin(kIdDecimalsSpin)->stepDown(); }, "安全余裕率", "100.0%"},
        {"IFRS name", [this] { Edit(kIdNameBase + 9)->setText("税引前利益"); },
         "売上高税引前利益率", "0.5%"},
        {"period", [this] { Edit(kIdPeriod)->setText("2024年3月期"); }, "期", "2024年3月期"},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(Value(s.name), s.value) << s.what;
    }

    // Ctrl+C and the button give the same tab-separated text.
    QApplication::clipboard()->clear();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(Table(), &copy);
    QApplication::processEvents();
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("期\t2024年3月期\n流動比率\t111.3%\n")) << text.toStdString();
    EXPECT_EQ(text.count(QLatin1Char('\n')), kIndicatorCount + 1);
    QApplication::clipboard()->clear();
    qobject_cast<QPushButton*>(w.findChild<QWidget*>(QString::number(kIdIndicatorCopy)))->click();
    EXPECT_EQ(QApplication::clipboard()->text(), text);
}

TEST_F(IndicatorWindowTest, OptionsAreOffByDefaultStoredAndReachTheDiagramAndTheBatch) {
    Open();
    Show();
    Click(kIdSample);
    OpenIndicators();
    EXPECT_FALSE(Option(kIdIndicatorBreakEven)->isChecked());
    EXPECT_FALSE(Option(kIdIndicatorBatch)->isChecked());
    const QImage before = dlg_->plBitmap().image().copy();
    Option(kIdIndicatorBreakEven)->click();
    EXPECT_EQ(dlg_->diagramOptions().BreakEven, 1);
    EXPECT_NE(dlg_->plBitmap().image(), before);  // painted again, with the line
    Option(kIdIndicatorBatch)->click();

    // The window's batch run writes the indicators file beside the summary.
    const QString csv = QString::fromStdString(TestHome()) + "/w.csv";
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n"
        "1,50,50,50,0,50,100,60,40,20,20\n");
    f.close();
    Click(1027);  // PNG
    sink_.answers = {kNo};
    dlg_->RunBatchFile(csv, QStringLiteral("w"));
    const QString indicators = QString::fromStdString(TestHome()) + "/Desktop/BS_PL/w_指標.csv";
    QFile written(indicators);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("\r\n第1期,100.00,50.00,100.00,100.00,1.00,40.00,"));

    dlg_->indicatorWindow()->move(40, 60);
    const QRect placed = dlg_->indicatorWindow()->geometry();
    dlg_->reject();
    dlg_.reset();
    Open();
    EXPECT_EQ(dlg_->diagramOptions().BreakEven, 1);
    EXPECT_EQ(dlg_->outputOptions().BatchIndicators, 1);
    OpenIndicators();
    EXPECT_TRUE(Option(kIdIndicatorBreakEven)->isChecked());
    EXPECT_TRUE(Option(kIdIndicatorBatch)->isChecked());
    EXPECT_EQ(dlg_->indicatorWindow()->geometry(), placed);
}

TEST_F(IndicatorWindowTest, OlderSettingsWithoutTheNewKeysLoadWithBothOptionsOff) {
    Store("FontSize", 12);
    Store("HireiShukushaku", 1);
    Open();
    EXPECT_EQ(dlg_->diagramOptions().BreakEven, 0);
    EXPECT_EQ(dlg_->outputOptions().BatchIndicators, 0);
    EXPECT_EQ(dlg_->indicatorWindow(), nullptr);  // made at the first click only
}

}  // namespace
}  // namespace quorvex::test
