#include "transfer/file_worker.h"

#include <utility>

namespace selvarex {

FileWorker::FileWorker() : thread_([this] { Serve(); }) {}

FileWorker::~FileWorker() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    quitting_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void FileWorker::Start(std::function<void()> job) {
  Collect();
  {
    std::lock_guard lock(mutex_);
    job_ = std::move(job);
    busy_ = true;
  }
  changed_.notify_all();
}

void FileWorker::Collect() {
  std::exception_ptr thrown;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    thrown = std::exchange(thrown_, nullptr);
  }
  if (thrown) std::rethrow_exception(thrown);
}

void FileWorker::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || quitting_; });
    if (!busy_) return;
    std::function<void()> job = std::move(job_);
    lock.unlock();
    std::exception_ptr thrown;
    try {
      job();
    } catch (...) {
      thrown = std::current_exception();
    }
    lock.lock();
    thrown_ = thrown;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace selvarex
