// Opening the output folder in the file manager: xdg-open's outcome decides, through a
// stand-in xdg-open first in PATH.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>
#include <cstdlib>

#include "engine/output/OutputFiles.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

using test::RecordingMessageSink;

QString Log() {
    QFile f(QString::fromStdString(test::TestHome()) + "/xdg-open.log");
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(FileManager, AFolderThatNoFileManagerOpensIsReported) {
    const QString home = QString::fromStdString(test::TestHome());
    const QString folder = home + "/Desktop/BS_PL";
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::string log = " && printf '%s\\n' \"$1\" >> \"$HOME/xdg-open.log\"";
    struct Case {
        const char* what;
        std::string script;  // empty: no xdg-open at all
        bool opened;
    };
    const Case cases[] = {
        {"a file manager takes it", "true" + log, true},
        {"no method to open a folder (exit 3)", "true" + log + "; exit 3", false},
        {"the file manager failed (exit 4)", "true" + log + "; exit 4", false},
        {"xdg-open killed", "true" + log + "; kill -9 $$", false},
        {"no xdg-open installed", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(home + "/xdg-open.log");
        if (c.script.empty()) {
            ASSERT_TRUE(QFile::remove(home + "/bin/xdg-open"));
            const std::string path = test::TestHome() + "/bin";
            setenv("PATH", path.c_str(), 1);  // nothing else to find it in
        } else {
            test::SetXdgOpen(c.script);
        }
        RecordingMessageSink messages;
        EXPECT_EQ(OpenFolderWindow(folder + "/", messages), c.opened);
        EXPECT_EQ(messages.Ids(), c.opened ? std::vector<int>{} : std::vector<int>{kMsgExplorer});
        if (!c.script.empty()) {
            const QString url = Log().trimmed();
            EXPECT_EQ(QDir::cleanPath(QUrl(url).toLocalFile()), folder) << url.toStdString();
        }
    }
}

TEST(FileManager, AFileManagerRunningInTheForegroundIsNotWaitedFor) {
    test::SetXdgOpen("exec /bin/sleep 20");
    RecordingMessageSink messages;
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(OpenFolderWindow(QString::fromStdString(test::TestHome()) + "/", messages));
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_TRUE(messages.Ids().empty());
}

}  // namespace
}  // namespace quorvex
