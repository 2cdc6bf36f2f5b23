// Test support: objects of libtarvex driven late-bound through IDispatch, by name or by dispatch
// identifier, as a scripting client would; the thread's error information; scratch directories.
#ifndef TESK_API_TESTS_LATE_BOUND_H_
#define TESK_API_TESTS_LATE_BOUND_H_

#include <gtest/gtest.h>
#include <tesk/tarvex.h>
#include <tesk/testing/scratch_dir.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvex_test {

using tesk::testing::ScratchDir;

// An object of this library made by its class factory, as IDispatch. The factory is asked of
// libtarvex itself, as other server libraries in the process export the same entry points.
tesk::ComPtr<IDispatch> Create(const CLSID& clsid);

// Variant arguments.
inline VARIANT Long(LONG v) {
  VARIANT r;
  VariantInit(&r);
  r.vt = VT_I4;
  r.lVal = v;
  return r;
}
inline VARIANT Text(const std::string& v) {
  VARIANT r;
  VariantInit(&r);
  r.vt = VT_BSTR;
  r.bstrVal = tesk::AllocBstr(v);
  return r;
}
inline VARIANT Object(IDispatch* p) {
  VARIANT r;
  VariantInit(&r);
  r.vt = VT_DISPATCH;
  r.pdispVal = p;  // borrowed: not released by the caller
  return r;
}
inline VARIANT Out(VARIANT* into) {
  VARIANT r;
  VariantInit(&r);
  r.vt = VT_VARIANT | VT_BYREF;
  r.pvarVal = into;
  return r;
}

std::string AsText(const VARIANT& v);
LONG AsLong(const VARIANT& v);
float AsFloat(const VARIANT& v);

// The thread's error information, taken.
struct SeenError {
  std::string description;
  std::string source;
  GUID iid{};
};
SeenError TakeError();

// An object driven late-bound. Members are named, or given by identifier (`#12`).
class Late {
 public:
  explicit Late(tesk::ComPtr<IDispatch> d) : d_(std::move(d)) {}
  IDispatch* Get() const { return d_.Get(); }
  DISPID Id(const std::string& member) const;

  // Invoke with arguments in their natural order (owned BSTR arguments are cleared).
  HRESULT Invoke(const std::string& member, WORD flags, std::vector<VARIANT> args, VARIANT* result) const;
  HRESULT Call(const std::string& member, std::vector<VARIANT> args = {}, VARIANT* result = nullptr) const {
    return Invoke(member, DISPATCH_METHOD, std::move(args), result);
  }
  HRESULT Put(const std::string& member, const std::string& value) const;
  // A property's value; fails the test when the get fails.
  std::string Str(const std::string& member) const;
  LONG Num(const std::string& member) const;
  float Real(const std::string& member) const;
  // One trailing [out, retval] value of a method with (long x, long y).
  LONG NumAt(const std::string& member, LONG x, LONG y) const;
  float RealAt(const std::string& member, LONG x, LONG y) const;
  // The exception of the last failing Invoke (description and source).
  const SeenError& Error() const { return last_; }

 private:
  tesk::ComPtr<IDispatch> d_;
  mutable SeenError last_;
};

// The objects of a dispatch array (as GetProbeSets and the like return them), checked to start
// at 0; none for anything else.
std::vector<Late> Items(const VARIANT& v);

}  // namespace tarvex_test

#endif  // TESK_API_TESTS_LATE_BOUND_H_
