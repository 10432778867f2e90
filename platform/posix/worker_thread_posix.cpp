#include "platform/worker_thread.h"

#include <pthread.h>
#include <time.h>

namespace ovsetup::platform {

struct WorkerThreadEntry {
  static void* Run(void* self) {
    WorkerThread::Run(static_cast<WorkerThread*>(self));
    return nullptr;
  }
};

WorkerThread::~WorkerThread() { Wait(); }

bool WorkerThread::Start(Job job, void* context) {
  job_ = job;
  context_ = context;
  pthread_t* thread = new pthread_t;
  if (pthread_create(thread, nullptr, WorkerThreadEntry::Run, this) != 0) {
    delete thread;
    return false;
  }
  thread_ = thread;
  return true;
}

void WorkerThread::Wait() {
  while (!Wait(~0u)) {
  }
}

bool WorkerThread::Wait(unsigned milliseconds) {
  if (thread_ == nullptr) return true;
  timespec until{};
  clock_gettime(CLOCK_REALTIME, &until);
  until.tv_sec += milliseconds / 1000;
  until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (until.tv_nsec >= 1000000000L) {
    until.tv_sec += 1;
    until.tv_nsec -= 1000000000L;
  }
  pthread_t* thread = static_cast<pthread_t*>(thread_);
  if (pthread_timedjoin_np(*thread, nullptr, &until) != 0) return false;
  delete thread;
  thread_ = nullptr;
  return true;
}

}  // namespace ovsetup::platform
