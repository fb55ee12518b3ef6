// The quorvex executable: the window.
#include <QApplication>

#include "app/TesselApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quorvex::CTesselApp app;
    app.InitInstance();
    return 0;
}
