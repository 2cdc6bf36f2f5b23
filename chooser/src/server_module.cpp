// Object and lock counting, and the shutdown monitor.
#include "server_module.h"

namespace selvane {

ServerModule::~ServerModule() { StopMonitor(); }

void ServerModule::Lock() {
  tesk::ComModule::Lock();
  std::lock_guard<std::mutex> lock(mu_);
  ++created_;
}

void ServerModule::Unlock() {
  tesk::ComModule::Unlock();
  if (LockCount() == 0) {
    std::lock_guard<std::mutex> lock(mu_);
    signalled_ = true;
    cv_.notify_all();
  }
}

void ServerModule::Signal() {
  std::lock_guard<std::mutex> lock(mu_);
  signalled_ = true;
  cv_.notify_all();
}

void ServerModule::StartMonitor(std::function<void()> quit) {
  std::lock_guard<std::mutex> lock(mu_);
  if (thread_.joinable()) return;
  quit_ = std::move(quit);
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
}

void ServerModule::StopMonitor() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
    cv_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void ServerModule::Run() {
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    cv_.wait(lock, [this] { return signalled_ || stop_; });
    if (stop_) return;
    // Periods of quiet: each signal within one starts another.
    unsigned long createdAtSignal;
    do {
      signalled_ = false;
      createdAtSignal = created_;
      cv_.wait_for(lock, period_, [this] { return signalled_ || stop_; });
      if (stop_) return;
    } while (signalled_);
    if (LockCount() == 0 && created_ == createdAtSignal) {
      if (quit_) quit_();
      return;
    }
  }
}

ServerModule& Module() {
  static ServerModule module;
  return module;
}

}  // namespace selvane
