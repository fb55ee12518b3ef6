#pragma once
// The application object: prepares the toolkit, names the settings root and runs the
// main window until the user closes it.

namespace quorvex {

class CTesselApp final {
  public:
    // Runs the whole life of the program. Returns false: there is no further loop to run.
    bool InitInstance();
};

}  // namespace quorvex
