#pragma once
// The main window on the offscreen platform, opened fresh by each test; helpers reach its
// controls by identifier. Every test has its own HOME and settings file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <memory>
#include <set>

#include "engine/settings/SettingsStore.h"
#include "gui/widgets/ColourButton.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/ControlTable.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex::test {

inline void Store(const QString& name, const QVariant& value) {
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.setValue(QStringLiteral("Last/") + name, value);
}

class WindowTest : public ::testing::Test {
  protected:
    void TearDown() override { SetMessageHook(nullptr); }

    CTesselDlg& Open() {
        dlg_ = std::make_unique<CTesselDlg>();
        return *dlg_;
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dlg_->control(id)); }
    QString Text(int id) {
        QWidget* w = dlg_->control(id);
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return {};
    }
    bool Checked(int id) {
        auto* b = qobject_cast<QAbstractButton*>(dlg_->control(id));
        return b && b->isChecked();
    }
    QSpinBox* Spin(int id) { return qobject_cast<QSpinBox*>(dlg_->control(id)); }
    void Click(int id) { qobject_cast<QAbstractButton*>(dlg_->control(id))->click(); }
    void Show() {
        dlg_->show();
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
    }
    void Key(int key) {
        QWidget* target = dlg_->focusWidget() ? dlg_->focusWidget() : dlg_.get();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    std::unique_ptr<CTesselDlg> dlg_;
};

}  // namespace quorvex::test
