#include "transfer/file_worker.h"

#include <chrono>
#include <utility>

namespace selvarex {

namespace {
// Long enough for a block's file work, short against a real programmer's
// block (4 ms and more), so a watch that misses costs little processor time;
// the watcher yields, so a library host that needs the core gets it.
constexpr auto kWatch = std::chrono::microseconds(150);
}  // namespace

template <typename Done>
void FileWorker::Watch(Done done) {
  const auto until = std::chrono::steady_clock::now() + kWatch;
  while (!done() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
}

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
  Watch([this] { return !busy_; });
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
    if (!busy_ && !quitting_) {
      lock.unlock();
      Watch([this] { return busy_ || quitting_; });
      lock.lock();
    }
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
