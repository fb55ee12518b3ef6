#pragma once
// The application object: prepares the toolkit, names the settings root and runs the
// main window until the user closes it.

#include <QStringList>

namespace quorvex {

class CTesselApp final {
  public:
    // Runs the whole life of the program. Returns false: there is no further loop to run.
    // files: the command line's file arguments, offered for a batch run once the window
    // is up.
    bool InitInstance(const QStringList& files = {});
};

}  // namespace quorvex
