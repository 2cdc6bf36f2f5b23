// The program's count of objects and server locks, and the monitor that ends the program a
// quiet period after the count has fallen to zero.
#ifndef TESK_CHOOSER_SRC_SERVER_MODULE_H_
#define TESK_CHOOSER_SRC_SERVER_MODULE_H_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <tesk/platform/comhelpers.h>

namespace selvane {

class ServerModule final : public tesk::ComModule {
 public:
  explicit ServerModule(std::chrono::milliseconds period = std::chrono::seconds(5)) : period_(period) {}
  ~ServerModule();

  // Counts an object or a lock; an object created also tells the monitor that a client came.
  void Lock();
  // Uncounts; at zero the monitor is signalled.
  void Unlock();
  LONG Count() const { return LockCount(); }
  // Signals the monitor as a last release does (a program started for a client that never
  // comes ends too).
  void Signal();

  // Starts the monitor thread: after a signal it waits in periods; a further signal within a
  // period starts a new period; a quiet period with the count still zero and no object created
  // meanwhile calls quit (once), otherwise it waits for the next signal.
  void StartMonitor(std::function<void()> quit);
  // Stops the monitor without calling quit.
  void StopMonitor();

 private:
  void Run();

  const std::chrono::milliseconds period_;
  std::mutex mu_;
  std::condition_variable cv_;
  bool signalled_ = false;
  bool stop_ = false;
  unsigned long created_ = 0;  // Lock calls so far, to see a client that came and went
  std::function<void()> quit_;
  std::thread thread_;
};

// The program's one module.
ServerModule& Module();

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_SERVER_MODULE_H_
