#include "platform/worker_thread.h"

#include <pthread.h>

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
  if (thread_ == nullptr) return;
  pthread_t* thread = static_cast<pthread_t*>(thread_);
  pthread_join(*thread, nullptr);
  delete thread;
  thread_ = nullptr;
}

}  // namespace ovsetup::platform
