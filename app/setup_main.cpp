// Entry point of setup.exe: hands over to the application at once.
#include "app/setup_app.h"

int main() { return ovsetup::app::SetupApp().InitInstance(); }
