// A second thread for one job at a time (the extraction reads the next
// piece of a compressed body there while it decodes the last one).
#pragma once

#include "platform/non_copyable.h"

namespace ovsetup::platform {

class WorkerThread : NonCopyable {
 public:
  using Job = void (*)(void* context);

  // Waits for a job still running.
  ~WorkerThread();

  // Runs `job(context)` on a new thread. False when none could be started:
  // the caller then runs the job itself. At most one job at a time.
  bool Start(Job job, void* context);

  // Returns when the job started last has finished (at once when none runs).
  void Wait();
  // As Wait, but gives up after `milliseconds`: true when no job runs any
  // more, false when it still does (0 only looks).
  bool Wait(unsigned milliseconds);

 private:
  static void Run(WorkerThread* self) { self->job_(self->context_); }
  Job job_ = nullptr;
  void* context_ = nullptr;
  void* thread_ = nullptr;  // the host's thread handle, owned
  friend struct WorkerThreadEntry;
};

}  // namespace ovsetup::platform
