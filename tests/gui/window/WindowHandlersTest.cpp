// The main window's handlers, painting, ending and dialog hooks on the offscreen platform.
#include "tests/gui/window/WindowFixture.h"

namespace quorvex {
namespace {

using test::WindowTest;

TEST_F(WindowTest, TypingAnAmountRefreshesLabelsButNotTheDiagrams) {
    Open();
    Show();
    const int paints = dlg_->paintCount();
    Edit(3100)->setText(QStringLiteral("5"));
    EXPECT_EQ(Text(3200), QStringLiteral("5円"));
    EXPECT_EQ(Text(3300), QStringLiteral("100.00"));
    EXPECT_EQ(Text(3301), QStringLiteral("0.00"));
    EXPECT_EQ(Text(3305), QStringLiteral("0.00"));
    EXPECT_EQ(dlg_->paintCount(), paints);
    Edit(3100)->clear();
    EXPECT_EQ(Text(3200), QStringLiteral("0円"));
    Edit(3106)->setText(QStringLiteral("123456789"));
    EXPECT_EQ(Text(3206), QStringLiteral("1億2345万6789円"));
    // Names and the period change nothing else.
    Edit(3000)->setText(QStringLiteral("現金"));
    Edit(1000)->setText(QStringLiteral("3"));
    // Not even once the labels have been drawn again.
    for (int k = 0; k < 3; ++k) QApplication::processEvents();
    dlg_->repaint(dlg_->control(3200)->geometry());
    EXPECT_EQ(dlg_->paintCount(), paints);
    // Anything that uncovers the figure area draws the new amounts.
    dlg_->repaint(dlg_->figureArea().adjusted(0, 0, 0, -100));
    EXPECT_EQ(dlg_->paintCount(), paints + 1);
}

TEST_F(WindowTest, DecimalsSpinRefreshesAllRatioLabelsAndClampsAtTheEnds) {
    Open();
    Show();
    // Liabilities and equity share one side; profit and loss items are parts of sales.
    for (int id : {3102, 3103, 3104, 3106}) Edit(id)->setText(QStringLiteral("1"));
    Edit(3105)->setText(QStringLiteral("3"));
    Edit(3107)->setText(QStringLiteral("2"));
    EXPECT_EQ(Text(3302), QStringLiteral("33.33"));
    EXPECT_EQ(Text(3306), QStringLiteral("33.33"));
    int paints = dlg_->paintCount();
    Spin(1015)->stepBy(1);
    EXPECT_EQ(Text(3302), QStringLiteral("33.333"));
    EXPECT_EQ(Text(3306), QStringLiteral("33.333"));
    EXPECT_EQ(Text(3305), QStringLiteral("100.000"));
    EXPECT_EQ(Text(3300), QStringLiteral("0.000"));
    EXPECT_EQ(dlg_->diagramOptions().Shosu, 3);
    EXPECT_EQ(Text(1001), QStringLiteral("3"));
    EXPECT_GT(dlg_->paintCount(), paints);
    Spin(1015)->stepBy(1);
    Spin(1015)->stepBy(1);
    paints = dlg_->paintCount();
    Spin(1015)->stepBy(1);  // already at 5: stays, still repaints
    EXPECT_EQ(dlg_->diagramOptions().Shosu, 5);
    EXPECT_EQ(Spin(1015)->value(), 5);
    EXPECT_GT(dlg_->paintCount(), paints);

    struct SpinCase {
        int id;
        int steps;
        int expected;
        int DiagramOptions::*field;
    };
    const SpinCase cases[] = {
        {1035, -20, 5, &DiagramOptions::FontSize}, {1035, 60, 50, &DiagramOptions::FontSize},
        {1036, -5, 0, &DiagramOptions::Futosa},    {1036, 30, 20, &DiagramOptions::Futosa},
        {1037, -15, 0, &DiagramOptions::Yohaku},   {1037, 70, 50, &DiagramOptions::Yohaku},
    };
    for (const SpinCase& c : cases) {
        for (int k = 0; k < std::abs(c.steps); ++k) Spin(c.id)->stepBy(c.steps > 0 ? 1 : -1);
        EXPECT_EQ(dlg_->diagramOptions().*c.field, c.expected) << c.id;
        EXPECT_EQ(Spin(c.id)->value(), c.expected) << c.id;
    }
    // The edit of a spin takes no typing.
    EXPECT_TRUE(Edit(1002)->isReadOnly());
}

TEST_F(WindowTest, CentreLinePicturesCheckTheirRadio) {
    Open();
    Show();
    int paints = dlg_->paintCount();
    Click(1007);  // upper already set
    EXPECT_EQ(dlg_->paintCount(), paints);
    EXPECT_TRUE(Checked(1013));
    Click(1006);
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 0);
    EXPECT_TRUE(Checked(1005));
    EXPECT_FALSE(Checked(1013));
    EXPECT_GT(dlg_->paintCount(), paints);
    Click(1008);
    EXPECT_TRUE(Checked(1014));
    EXPECT_FALSE(Checked(1005));
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 2);
    paints = dlg_->paintCount();
    Click(1013);
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 1);
    EXPECT_GT(dlg_->paintCount(), paints);
    paints = dlg_->paintCount();
    Click(1013);  // no change, no repaint
    EXPECT_EQ(dlg_->paintCount(), paints);
}

TEST_F(WindowTest, OptionHandlersAndTheirRepaints) {
    Open();
    Show();
    struct ClickCase {
        int id;
        bool repaints;
    };
    const ClickCase cases[] = {
        {1016, false}, {1017, false}, {1029, false}, {1030, false}, {1048, false},
        {1038, true},  {1039, true},  {1033, true},  {1034, true},
    };
    for (const ClickCase& c : cases) {
        const int paints = dlg_->paintCount();
        Click(c.id);
        EXPECT_EQ(dlg_->paintCount() > paints, c.repaints) << c.id;
    }
    EXPECT_EQ(dlg_->outputOptions().OutType, 1);
    EXPECT_EQ(dlg_->outputOptions().OutSaki, 6);
    EXPECT_EQ(dlg_->outputOptions().Separate, 0);
    EXPECT_EQ(dlg_->diagramOptions().DrawUnder, 1);
    EXPECT_EQ(dlg_->diagramOptions().DrawName, 0);
    EXPECT_EQ(dlg_->diagramOptions().DrawRitu, 0);
    // The radio groups are independent of each other.
    EXPECT_TRUE(Checked(1017));
    EXPECT_TRUE(Checked(1030));
    EXPECT_TRUE(Checked(1048));
    EXPECT_TRUE(Checked(1039));
    EXPECT_TRUE(Checked(1013));

    const int paints = dlg_->paintCount();
    static_cast<ColourButton*>(dlg_->control(3407))->choose(MakeColour(10, 20, 30));
    EXPECT_EQ(dlg_->itemColour(7), MakeColour(10, 20, 30));
    EXPECT_GT(dlg_->paintCount(), paints);
    dlg_->setItemColour(1, MakeColour(200, 0, 0));
    EXPECT_EQ(static_cast<ColourButton*>(dlg_->control(3401))->colour(), MakeColour(200, 0, 0));
}

TEST_F(WindowTest, ColourButtonPopupOffersAFiveColumnPaletteAndOtherColours) {
    Open();
    Show();
    auto* button = dynamic_cast<ColourButton*>(dlg_->control(3404));
    ASSERT_NE(button, nullptr);
    button->click();
    QFrame* popup = nullptr;
    for (QFrame* f : button->findChildren<QFrame*>()) {
        if (f->windowFlags() & Qt::Popup) popup = f;
    }
    ASSERT_NE(popup, nullptr);
    auto* more = popup->findChild<QPushButton*>();
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->text(), QStringLiteral("その他の色..."));
    const auto cells = popup->findChildren<QToolButton*>();
    ASSERT_EQ(cells.size(), qsizetype(ColourButton::Palette().size()));
    EXPECT_EQ(ColourButton::Palette().size() % ColourButton::kPaletteColumns, 0u);
    // The seventh cell is the second of the second row.
    EXPECT_EQ(cells[6]->x(), cells[1]->x());
    EXPECT_GT(cells[6]->y(), cells[1]->y());
    const int paints = dlg_->paintCount();
    cells[6]->click();
    EXPECT_EQ(dlg_->itemColour(4), ColourButton::Palette()[6]);
    EXPECT_EQ(button->colour(), ColourButton::Palette()[6]);
    EXPECT_GT(dlg_->paintCount(), paints);
}

TEST_F(WindowTest, ControlsInsideTheOutputGroupTakeTheirClicks) {
    Open();
    Show();
    for (int id : {1016, 1017, 1018, 1030, 1003, 1000}) {
        QWidget* w = dlg_->control(id);
        const QPoint centre = w->geometry().center();
        QWidget* hit = dlg_->childAt(centre);
        while (hit && hit->parentWidget() != dlg_.get()) hit = hit->parentWidget();
        EXPECT_EQ(hit, w) << id;
    }
}

TEST_F(WindowTest, MarginSpinLaysOutAgain) {
    Open();
    Show();
    dlg_->resize(1000, 600);
    const QSize before = dlg_->figureSize();
    for (int k = 0; k < 10; ++k) Spin(1037)->stepBy(1);
    EXPECT_EQ(dlg_->figureSize(), before - QSize(15, 20));
    EXPECT_EQ(
        Text(1020),
        QStringLiteral("図の大きさ : %1 × %2").arg(before.width() - 15).arg(before.height() - 20));
}

TEST_F(WindowTest, WindowLayoutAtClient1000x600) {
    Open();
    Show();
    // Smaller than this font's template allows, to meet the reference figures.
    dlg_->setMinimumSize(0, 0);
    dlg_->resize(1000, 600);
    ASSERT_EQ(dlg_->size(), QSize(1000, 600));
    const int s = dlg_->control(1031)->geometry().top();
    // With IPAPGothic 11 pt the base units are about 8.9 x 16 pixels.
    if (QFontInfo(dlg_->font()).family() == QStringLiteral("IPAPGothic")) {
        EXPECT_EQ(s, 374);
        EXPECT_EQ(dlg_->baseUnits().cy, 16);
    }
    EXPECT_EQ(s, dlg_->baseUnits().Y(187));
    EXPECT_EQ(dlg_->figureArea(), QRect(0, s, 1000, 600 - s));
    EXPECT_EQ(dlg_->bsFigureRect(), (PixelRect{10, s + 10, 495, 590}));
    EXPECT_EQ(dlg_->plFigureRect(), (PixelRect{505, s + 10, 990, 590}));
    EXPECT_EQ(dlg_->control(101)->geometry(), QRect(10, s + 10, 485, 580 - s));
    EXPECT_TRUE(dlg_->control(101)->isHidden());
    if (s == 374) {
        EXPECT_EQ(Text(1020), QStringLiteral("図の大きさ : 485 × 206"));
    }
}

TEST_F(WindowTest, PaintedWindowShowsBothDiagramsAtTheirRectangles) {
    Open();
    const Colour bsColour = MakeColour(250, 10, 10);
    const Colour plColour = MakeColour(10, 10, 250);
    for (int i = 0; i < kItemCount; ++i) {
        Edit(3100 + i)->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
    }
    dlg_->setItemColour(0, bsColour);
    dlg_->setItemColour(5, plColour);
    Show();
    dlg_->resize(1000, 600);
    const QImage shot = dlg_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto countIn = [&](const PixelRect& r, Colour c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (shot.pixel(x, y) == ToQColor(c).rgb()) ++n;
            }
        }
        return n;
    };
    const PixelRect bs = dlg_->bsFigureRect();
    const PixelRect pl = dlg_->plFigureRect();
    EXPECT_GT(countIn(bs, bsColour), bs.width() * bs.height() / 10);
    EXPECT_EQ(countIn(pl, bsColour), 0);
    EXPECT_GT(countIn(pl, plColour), pl.width() * pl.height() / 10);
    EXPECT_EQ(countIn(bs, plColour), 0);
    EXPECT_EQ(dlg_->bsBitmap().image().size(), QSize(bs.width(), bs.height()));
    EXPECT_EQ(dlg_->plBitmap().image().size(), QSize(pl.width(), pl.height()));
    // Between the diagrams the window's own background remains.
    EXPECT_EQ(countIn(PixelRect{bs.right, bs.top, pl.left, pl.bottom}, bsColour), 0);
}

TEST_F(WindowTest, NothingIsPaintedWhileAHelpTextIsShown) {
    Open();
    Show();
    dlg_->helpShown() = true;
    const int paints = dlg_->paintCount();
    dlg_->repaintFigureArea();
    EXPECT_EQ(dlg_->paintCount(), paints);
    dlg_->resize(1100, 700);
    EXPECT_TRUE(dlg_->control(103)->isVisible());
    EXPECT_EQ(dlg_->control(103)->geometry(), dlg_->figureArea());
}

TEST_F(WindowTest, EnterKeepsTheWindowOpenAndEscClosesIt) {
    Open();
    Show();
    Edit(3100)->setFocus();
    Edit(3100)->setText(QStringLiteral("42"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Enter);
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_EQ(Text(3100), QStringLiteral("42"));
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(dlg_->isVisible());
    EXPECT_TRUE(QFile::exists(SettingsFilePath()));
    EXPECT_EQ(LoadSettings().Kingaku[0], "42");
}

TEST_F(WindowTest, ExitButtonAndCloseBoxSaveLikeEsc) {
    for (int way = 0; way < 2; ++way) {
        QFile::remove(SettingsFilePath());
        Open();
        Show();
        Edit(1000)->setText(QString::number(way + 7));
        if (way == 0)
            Click(2);
        else
            dlg_->close();
        EXPECT_FALSE(dlg_->isVisible());
        EXPECT_EQ(LoadSettings().Ki, std::to_string(way + 7));
    }
}

TEST_F(WindowTest, MessagesGoToTheHook) {
    test::RecordingMessageSink sink;
    sink.answers.push_back(kNo);
    SetMessageHook(&sink);
    Open();
    EXPECT_EQ(dlg_->messages().ShowMessage(kMsgClear, "", MessageKind::Question), kNo);
    EXPECT_EQ(ShowMessage(kMsgWriteFailed, dlg_.get(), "a.png\n", MessageKind::Error), kOk);
    EXPECT_EQ(ShowMessage(30016, dlg_.get(), "", MessageKind::Error), kNoText);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1].Text(), "a.png\nファイルの書き込みに失敗しました");
    SetMessageHook(nullptr);
    // Without the hook an id without text still shows nothing.
    EXPECT_EQ(ShowMessage(30016, dlg_.get(), "", MessageKind::Error), kNoText);
}

TEST_F(WindowTest, FileDialogsAskTheHook) {
    std::vector<FileDialogRequest> asked;
    SetFileDialogHook([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return r.save ? QStringLiteral("/tmp/x.col") : QString();
    });
    EXPECT_EQ(GetOpenFileName(nullptr, QStringLiteral("CSVファイルを指定"),
                              QStringLiteral("コンマ区切りファイル(*.csv)")),
              QString());
    EXPECT_EQ(GetSaveFileName(nullptr, QStringLiteral("t"), QStringLiteral("a.col"),
                              QStringLiteral("*.col")),
              QStringLiteral("/tmp/x.col"));
    SetFileDialogHook(nullptr);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].filter, QStringLiteral("コンマ区切りファイル(*.csv)"));
    EXPECT_TRUE(asked[1].save);
    EXPECT_EQ(asked[1].defaultName, QStringLiteral("a.col"));
}

}  // namespace
}  // namespace quorvex
