// Entry point of setup.exe: makes DLLs load from the system folder only, then
// hands over to the application.
#include "app/setup_app.h"
#include "platform/dll_search.h"

int main() {
  ovsetup::platform::LoadDllsFromSystemFolderOnly();
  return ovsetup::app::SetupApp().InitInstance();
}
