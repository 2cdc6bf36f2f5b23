// Polling for a condition that another process brings about (a server starting or ending).
#ifndef TESK_INTERNAL_INCLUDE_TESK_TESTING_WAIT_H_
#define TESK_INTERNAL_INCLUDE_TESK_TESTING_WAIT_H_

#include <chrono>
#include <thread>

namespace tesk::testing {

// Asks done() every 20 ms until it answers true or limit has passed; its last answer.
template <class F>
bool WaitFor(F done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

}  // namespace tesk::testing

#endif  // TESK_INTERNAL_INCLUDE_TESK_TESTING_WAIT_H_
