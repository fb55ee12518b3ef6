// The quorvex executable: the window.
#include <QApplication>

#include "gui/window/TesselApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // What is left after the toolkit's own options: files to batch-create ("quorvex FILE.csv",
    // as the desktop entry starts it).
    quorvex::CTesselApp app;
    app.InitInstance(QApplication::arguments().mid(1));
    return 0;
}
