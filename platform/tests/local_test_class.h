// The class that local_test_server serves and local_server_test creates.
#ifndef TESK_PLATFORM_TESTS_LOCAL_TEST_CLASS_H_
#define TESK_PLATFORM_TESTS_LOCAL_TEST_CLASS_H_

#include <tesk/platform/com.h>

inline constexpr CLSID CLSID_LocalThing{0x3E0C5A47, 0x9B21, 0x4D6F, {0x8A, 0x13, 0x6C, 0x2F, 0x90, 0xE4, 0x5B, 0x71}};
inline constexpr IID IID_ILocalThing{0x7A94D2C8, 0x1E5B, 0x4F30, {0xB6, 0x4D, 0x0F, 0x83, 0xC1, 0x27, 0x9A, 0x5E}};
inline constexpr const char* kLocalThingProgId = "Tesk.LocalThing.1";

// Dispatch identifiers: 1 Echo(VARIANT, [retval] VARIANT*), 2 Split(BSTR, [out] SAFEARRAY(BSTR)*,
// [out] LONG*), 3 Fail(BSTR) (fails with the text as error information), 4 Objects ([retval]
// LONG*: live objects in the server), 5 Pid ([retval] LONG*), 6 Sleep(LONG milliseconds).
struct ILocalThing : IDispatch {
  virtual HRESULT Echo(VARIANT in, VARIANT* out) = 0;
  virtual HRESULT Split(BSTR text, SAFEARRAY** parts, LONG* count) = 0;
  virtual HRESULT Fail(BSTR text) = 0;
  virtual HRESULT get_Objects(LONG* n) = 0;
  virtual HRESULT get_Pid(LONG* pid) = 0;
  virtual HRESULT Sleep(LONG ms) = 0;
};
TESK_DECLARE_INTERFACE(ILocalThing, IDispatch, IID_ILocalThing);

#endif  // TESK_PLATFORM_TESTS_LOCAL_TEST_CLASS_H_
