// The quorvex executable: the window.
#include <QApplication>

#include "gui/window/TesselApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quorvex::CTesselApp app;
    app.InitInstance();
    return 0;
}
