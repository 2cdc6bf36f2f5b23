// The library's process-wide part: joining the multithreaded apartment when the virtual machine
// loads the library, leaving it when the library is unloaded, and releasing a file object's
// automation object.
#include <atomic>

#include "file_support.h"

namespace {
std::atomic<int> attached{0};
}  // namespace

extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
  if (attached.fetch_add(1) == 0) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                         nullptr, EOAC_NONE, nullptr);
  }
  return JNI_VERSION_1_8;
}

// Each file object owns its automation object and releases it itself (close, or its cleaner),
// so nothing process-wide is left to release here.
extern "C" JNIEXPORT void JNICALL JNI_OnUnload(JavaVM*, void*) {
  if (attached.fetch_sub(1) == 1) CoUninitialize();
}

namespace quorbind {

jboolean ReleaseObject(JNIEnv* env, jobject self) {
  return Entry<jboolean>(env, [&] {
    FileObject(env, self).Release();
    return JNI_TRUE;
  });
}

jobjectArray ToStringArray(JNIEnv* env, SAFEARRAY* strings, std::string_view op) {
  LONG lower = 0, upper = -1;
  if (strings != nullptr) {
    CheckCom(SafeArrayGetLBound(strings, 1, &lower), op);
    CheckCom(SafeArrayGetUBound(strings, 1, &upper), op);
  }
  const LONG n = upper - lower + 1;
  jobjectArray array = NewStringArray(env, n, op);
  for (LONG i = 0; i < n; ++i) {
    LONG at = lower + i;
    tesk::Bstr s;
    CheckCom(SafeArrayGetElement(strings, &at, &s), op);
    jstring js = ToJava(env, s.Get());
    env->SetObjectArrayElement(array, i, js);
    env->DeleteLocalRef(js);
  }
  return array;
}

}  // namespace quorbind
