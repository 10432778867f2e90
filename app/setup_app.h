// Start-up: reads SetupCfg.ini beside the executable and runs the welcome
// window as the one modal window of the process.
#pragma once

namespace ovsetup::app {

class SetupApp {
 public:
  // Runs the setup to its end; always 0 (false: no message loop follows).
  int InitInstance();
};

}  // namespace ovsetup::app
