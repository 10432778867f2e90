#include "platform/worker_thread.h"

#include <windows.h>

namespace ovsetup::platform {

struct WorkerThreadEntry {
  static DWORD WINAPI Run(void* self) {
    WorkerThread::Run(static_cast<WorkerThread*>(self));
    return 0;
  }
};

WorkerThread::~WorkerThread() { Wait(); }

bool WorkerThread::Start(Job job, void* context) {
  job_ = job;
  context_ = context;
  thread_ = CreateThread(nullptr, 0, WorkerThreadEntry::Run, this, 0, nullptr);
  return thread_ != nullptr;
}

void WorkerThread::Wait() { (void)Wait(INFINITE); }

bool WorkerThread::Wait(unsigned milliseconds) {
  if (thread_ == nullptr) return true;
  if (WaitForSingleObject(thread_, milliseconds) != WAIT_OBJECT_0) return false;
  CloseHandle(thread_);
  thread_ = nullptr;
  return true;
}

}  // namespace ovsetup::platform
