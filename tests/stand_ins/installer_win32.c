/* Stand-in for the driver-package installer in the Wine tests: sleeps
   STAND_IN_SLEEP_MS, then exits with STAND_IN_EXIT_CODE. */
#include <windows.h>

int main(void) {
  Sleep(STAND_IN_SLEEP_MS);
  return STAND_IN_EXIT_CODE;
}
