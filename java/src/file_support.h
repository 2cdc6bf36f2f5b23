// What the file classes' native methods share: their inputs, the fresh automation object of a
// first operation, and small conversions of results.
#ifndef TESK_JAVA_SRC_FILE_SUPPORT_H_
#define TESK_JAVA_SRC_FILE_SUPPORT_H_

#include "fill.h"
#include "jni_support.h"

#define QUORBIND_NATIVE(ret, cls, method) extern "C" JNIEXPORT ret JNICALL Java_quillomere_tarvex_##cls##_##method

namespace quorbind {

// Sets a string property from a field that must not be empty.
template <class I>
void PutRequired(const Obj& from, I* to, const char* field, const char* empty_message, HRESULT (I::*put)(BSTR),
                 std::string_view op) {
  tesk::Bstr v = from.Required(field, empty_message);
  CheckCom((to->*put)(v.Get()), op);
}

// Sets a string property from a field when the field holds text.
template <class I>
void PutOptional(const Obj& from, I* to, const char* field, HRESULT (I::*put)(BSTR), std::string_view op) {
  tesk::Bstr v = from.Str(field);
  if (v.Length() != 0) CheckCom((to->*put)(v.Get()), op);
}

// Makes a fresh automation object for the first operation on a file and answers it.
template <class I>
I* Fresh(JNIEnv* env, jobject self, const CLSID& clsid, std::string_view op) {
  FileObject file(env, self);
  file.Create(clsid, tesk::InterfaceTraits<I>::Iid());
  return file.Get<I>(op);
}

template <class I>
I* Held(JNIEnv* env, jobject self, std::string_view op) {
  return FileObject(env, self).Get<I>(op);
}

// ReleaseCOMObject of every file class.
jboolean ReleaseObject(JNIEnv* env, jobject self);

// The result of Exists.
template <class I>
jboolean ExistsOf(I* o, std::string_view op) {
  LONG exists = 0;
  CheckCom(o->Exists(&exists), op);
  return exists != 0 ? JNI_TRUE : JNI_FALSE;
}

// String arrays (a SAFEARRAY of BSTR) as String[].
jobjectArray ToStringArray(JNIEnv* env, SAFEARRAY* strings, std::string_view op);

}  // namespace quorbind

#endif  // TESK_JAVA_SRC_FILE_SUPPORT_H_
