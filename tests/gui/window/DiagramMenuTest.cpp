// The diagrams' context menu: which diagram a click hits, the four commands through scripted
// file dialogs and messages, the clipboard's two formats.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QXmlStreamReader>
#include <memory>

#include "engine/render/PixelRatio.h"
#include "gui/widgets/ChoiceDialog.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/DiagramMenu.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

class DiagramMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageHook(&sink_);
        SetFileDialogHook([this](const FileDialogRequest& r) {
            requests_.push_back(r);
            return answer_;
        });
        SetDiagramMenuHook([this](QMenu& menu) {
            ++menus_;
            for (QAction* a : menu.actions()) texts_.push_back(a->text());
            if (pick_.isEmpty()) return;  // closed without a choice
            if (QAction* a = menu.findChild<QAction*>(pick_)) a->trigger();
        });
        dlg_ = std::make_unique<CTesselDlg>();
        for (int i = 0; i < kItemCount; ++i) {
            Edit(3000 + i)->setText(QString::fromUtf8(kCanonicalNames[std::size_t(i)].data()));
            Edit(3100 + i)->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
        }
        Edit(1000)->setText(QStringLiteral("5"));
        dlg_->show();
        dlg_->resize(1200, 700);
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
        dlg_->RepaintFigureArea();
    }
    void TearDown() override {
        dlg_.reset();
        SetDiagramMenuHook(nullptr);
        SetFileDialogHook(nullptr);
        SetMessageHook(nullptr);
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dlg_->control(id)); }
    static QPoint Centre(const PixelRect& r) {
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A right click at pos, the menu's action `action` chosen.
    void RightClick(QPoint pos, const char* action) {
        pick_ = QString::fromLatin1(action);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, dlg_->mapToGlobal(pos));
        QApplication::sendEvent(dlg_.get(), &event);
    }
    QString Home() const { return QString::fromStdString(test::TestHome()); }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    test::RecordingMessageSink sink_;
    std::vector<FileDialogRequest> requests_;
    QString answer_;
    QString pick_;
    int menus_ = 0;
    QStringList texts_;
    std::unique_ptr<CTesselDlg> dlg_;
};

TEST_F(DiagramMenuTest, RightClickOnEitherDiagramOnlyOpensTheMenu) {
    const PixelRect bs = dlg_->bsFigureRect(), pl = dlg_->plFigureRect();
    ASSERT_GT(bs.width(), 0);
    EXPECT_EQ(DiagramKindAt(*dlg_, Centre(bs)), kOutTypeBs);
    EXPECT_EQ(DiagramKindAt(*dlg_, Centre(pl)), kOutTypePl);
    EXPECT_EQ(DiagramKindAt(*dlg_, {bs.left, bs.top}), kOutTypeBs);
    EXPECT_FALSE(DiagramKindAt(*dlg_, {bs.left - 1, bs.top}));
    EXPECT_FALSE(DiagramKindAt(*dlg_, {pl.left, pl.bottom}));

    RightClick(Centre(bs), "");
    EXPECT_EQ(menus_, 1);
    EXPECT_EQ(texts_, (QStringList{"画像として保存...", "SVGとして保存...",
                                   "PDF(ベクター)として保存...", "コピー", "高解像度で保存..."}));
    RightClick({bs.left - 1, bs.top}, "");
    EXPECT_EQ(menus_, 1);
    EXPECT_TRUE(requests_.empty());
    EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(DiagramMenuTest, SaveCommandsWriteTheChosenFileAtTheFigureSize) {
    const QSize size = dlg_->figureSize();
    struct Case {
        const char* action;
        bool bs;
        const char* answer;       // what the user types
        const char* defaultName;  // what the dialog proposes
        const char* written;
    };
    const Case cases[] = {
        {"saveImage", true, "a.png", "第5期_BS.png", "a.png"},
        {"saveImage", false, "b.JPG", "第5期_PL.png", "b.JPG"},
        {"saveImage", true, "c", "第5期_BS.png", "c.png"},
        {"saveImage", true, "d.webp", "第5期_BS.png", "d.webp.png"},
        {"saveSvg", true, "e", "第5期_BS.svg", "e.svg"},
        {"saveSvg", false, "f.svg", "第5期_PL.svg", "f.svg"},
        {"savePdf", false, "g", "第5期_PL.pdf", "g.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        requests_.clear();
        sink_.messages.clear();
        answer_ = Home() + "/" + c.answer;
        RightClick(Centre(c.bs ? dlg_->bsFigureRect() : dlg_->plFigureRect()), c.action);
        ASSERT_EQ(requests_.size(), 1u);
        EXPECT_TRUE(requests_[0].save);
        EXPECT_EQ(requests_[0].defaultName, QString::fromUtf8(c.defaultName));
        EXPECT_TRUE(sink_.messages.empty());
        const QString path = Home() + "/" + c.written;
        const QByteArray bytes = Read(path);
        ASSERT_FALSE(bytes.isEmpty());
        if (QString(c.action) == "saveImage") {
            const QImage image = QImage::fromData(bytes);
            EXPECT_EQ(image.size(), size);
            if (QString(c.written).endsWith(".png")) {
                const DiagramBitmap& b = c.bs ? dlg_->bsBitmap() : dlg_->plBitmap();
                EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), b.image());
            }
        } else if (QString(c.action) == "saveSvg") {
            QXmlStreamReader xml(bytes);
            ASSERT_TRUE(xml.readNextStartElement());
            EXPECT_EQ(xml.attributes().value("width").toInt(), size.width());
            EXPECT_EQ(xml.attributes().value("height").toInt(), size.height());
            EXPECT_TRUE(bytes.contains(c.bs ? "流動資産" : "売上原価"));
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF-"));
            EXPECT_FALSE(bytes.contains("/DCTDecode"));
        }
    }
}

TEST_F(DiagramMenuTest, CancelAndDeclinedReplaceWriteNothing) {
    const QString path = Home() + "/keep.svg";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();

    answer_.clear();  // cancelled
    RightClick(Centre(dlg_->bsFigureRect()), "saveSvg");
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(sink_.messages.empty());

    answer_ = path;
    sink_.answers = {kNo};
    RightClick(Centre(dlg_->bsFigureRect()), "saveSvg");
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgOverwrite});
    EXPECT_EQ(Read(path), "old");

    sink_.answers = {kYes};
    RightClick(Centre(dlg_->bsFigureRect()), "saveSvg");
    EXPECT_TRUE(Read(path).startsWith("<?xml"));
}

TEST_F(DiagramMenuTest, CopyPutsTheBitmapAndItsSvg) {
    RightClick(Centre(dlg_->plFigureRect()), "copy");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32),
              dlg_->plBitmap().image());
    const QByteArray svg = data->data("image/svg+xml");
    EXPECT_TRUE(svg.contains("売上高"));
    QXmlStreamReader xml(svg);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.attributes().value("width").toInt(), dlg_->plBitmap().width());
    ASSERT_EQ(sink_.messages.size(), 1u);
    EXPECT_EQ(sink_.messages[0].Text(), "損益計算書をクリップボードに保存しました");
    EXPECT_TRUE(requests_.empty());
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

// 高解像度で保存...: the diagram at 2x or 3x the figure size, drawn (not scaled), its PNG
// saying 192 or 288 dpi; cancelling the factor writes nothing.
TEST_F(DiagramMenuTest, HighResolutionSaveDrawsAtTheChosenFactor) {
    const QSize figure = dlg_->figureSize();
    for (const int choice : {0, 1, -1}) {
        SetChoiceHook([choice](const ChoiceRequest& r) {
            EXPECT_EQ(r.items.size(), 2);
            return choice;
        });
        answer_ = Home() + QStringLiteral("/hi%1").arg(choice + 1);
        RightClick(Centre(dlg_->plFigureRect()), "saveHighResolution");
        SetChoiceHook(nullptr);
        const QImage image(answer_ + QStringLiteral(".png"));
        if (choice < 0) {
            EXPECT_TRUE(image.isNull());
            continue;
        }
        const int factor = kHighResolutionFactors[choice];
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), figure * factor);
        EXPECT_EQ(image.dotsPerMeterX(), 3780 * factor);
        DiagramBitmap expected;
        ASSERT_TRUE(DrawDiagramAtRatio(expected, DiagramKind::ProfitAndLoss, figure.width(),
                                       figure.height(), factor, dlg_->statementData(),
                                       dlg_->diagramOptions(), {}));
        QImage want = expected.image();
        want.setDevicePixelRatio(1.0);
        EXPECT_TRUE(image.convertToFormat(QImage::Format_RGB32) == want);
    }
}

}  // namespace
}  // namespace quorvex
