#include "platform/win32/ui/busy_messages.h"

#include <windows.h>

namespace ovsetup::ui {
namespace {

// What the user does, and what another program posts in the user's name.
bool IsDropped(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= 0x020E /* WM_MOUSEHWHEEL */) ||
         (message >= WM_NCMOUSEMOVE && message <= 0x00AD /* WM_NCXBUTTONDBLCLK */) ||
         message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CLOSE ||
         message == BM_CLICK;
}

}  // namespace

void HandleBusyMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    // A request to quit is not the user's to drop: put back for the
    // message loop that runs after the job, as modal loops do.
    if (message.message == WM_QUIT) return PostQuitMessage(static_cast<int>(message.wParam));
    if (!IsDropped(message.message)) DispatchMessageW(&message);
  }
}

void WaitHandlingBusyMessages(unsigned milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    HandleBusyMessages();
    const DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return;
    // The queue is empty now: this wakes on the next message or at the end.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
  }
}

}  // namespace ovsetup::ui
