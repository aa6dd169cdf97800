// A thread of its own for the image file, so the disk works on one block
// while the programmer works on the next. One job at a time: the process
// hands a job over, goes on with its library calls, and collects the job
// before it looks at its result or reuses its buffer.
//
// Each side watches the other briefly before it sleeps: waking a sleeping
// thread costs tens of microseconds on some machines, as much as a whole
// block's file work, and with a fast programmer that was paid twice a block.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace selvarex {

class FileWorker {
 public:
  FileWorker();
  // Waits for the job in hand, so nothing it uses goes away under it.
  ~FileWorker();
  FileWorker(const FileWorker&) = delete;
  FileWorker& operator=(const FileWorker&) = delete;

  // Runs job on the worker thread; collects the previous job first.
  void Start(std::function<void()> job);
  // Waits until the job in hand (if any) has run; rethrows what it threw.
  void Collect();

 private:
  void Serve();
  // Watches until done() holds or the watch is over.
  template <typename Done>
  static void Watch(Done done);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  // Changed under mutex_ only; atomic so that a side may watch them without it.
  std::atomic<bool> busy_ = false;
  std::atomic<bool> quitting_ = false;
  std::exception_ptr thrown_;
  std::thread thread_;  // last: starts once the members above exist
};

}  // namespace selvarex
