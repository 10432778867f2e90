// The setup's windows while a job runs on the user-interface thread: the job
// calls these between its pieces of work, so that Windows never counts the
// windows as not responding and they repaint when uncovered. Input and
// commands are dropped, so that nothing the user does during a job starts
// or closes anything, now or after the job.
#pragma once

namespace ovsetup::ui {

// Fetches every message waiting for this thread: keyboard and mouse input
// (also on the frames and close boxes) and posted commands, clicks and
// closes are dropped, the rest (painting, timers) goes to its window.
// Messages other threads send are handled on the way. A quit request is
// posted again and ends the fetching, for the message loop after the job.
// Returns at once when nothing waits.
void HandleBusyMessages();

// Waits `milliseconds` (at least, by the tick count) while it handles the
// messages as HandleBusyMessages does; between messages it sleeps. 0
// handles what waits and returns.
void WaitHandlingBusyMessages(unsigned milliseconds);

}  // namespace ovsetup::ui
