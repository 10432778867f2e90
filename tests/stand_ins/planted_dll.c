/* A DLL planted beside a program under the name of a system DLL: when the
   program loads it, DllMain leaves FILE.ran beside it (FILE its own path)
   and refuses to load, so that the program carries on without it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    WCHAR path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      lstrcpyW(path + length, L".ran");
      HANDLE trace = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
      if (trace != INVALID_HANDLE_VALUE) CloseHandle(trace);
    }
  }
  return FALSE;
}
