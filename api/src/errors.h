// Error reporting of every member: the member's prefix ("Failure in ITeskCELFile-Read: "), a
// detail text, and the thread's error information with the class's ProgID as source and the
// object's interface.
#ifndef TESK_API_SRC_ERRORS_H_
#define TESK_API_SRC_ERRORS_H_

#include <tesk/tarvex.h>

#include <new>
#include <string>
#include <string_view>

namespace tarvex {

// What an error report says about the object that failed.
struct ClassInfo {
  const CLSID* clsid;
  const IID* iid;
  const char* interfaceName;  // "ITeskCELFile"
  const char* progId;         // version-dependent ProgID, used when the registry has none
};

// The error source of a class: its version-dependent ProgID as the registry gives it for the
// class identifier, or the built-in one when the class is not registered.
std::string ErrorSource(const ClassInfo& info);

// One member call: holds the error text, which starts as the member's prefix.
class Member {
 public:
  // Prefix "Failure in " + where + "-" + member + ": "; `where` defaults to the interface name.
  Member(const ClassInfo& info, std::string_view member, const char* where = nullptr);

  const std::string& Prefix() const { return prefix_; }
  // Fails with the prefix and string-table text `id`.
  HRESULT Fail(int id, HRESULT hr = E_FAIL) const;
  // Fails with the prefix and a detail of its own (a text a library or the server gave).
  HRESULT FailWith(std::string_view detail, HRESULT hr = E_FAIL) const;

 private:
  const ClassInfo& info_;
  std::string prefix_;
};

// Runs body() and turns an escaping exception into a failure of the member, so that nothing is
// thrown across the interface.
template <class Body>
HRESULT Guarded(const Member& m, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    try {
      return m.Fail(5203, E_OUTOFMEMORY);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace tarvex

#endif  // TESK_API_SRC_ERRORS_H_
