// What the file classes' native methods share: their inputs, the fresh automation object of a
// first operation, and small conversions of results.
#ifndef TESK_JAVA_SRC_FILE_SUPPORT_H_
#define TESK_JAVA_SRC_FILE_SUPPORT_H_

#include <initializer_list>

#include "fill.h"
#include "jni_support.h"

#define QUORBIND_NATIVE(ret, cls, method) extern "C" JNIEXPORT ret JNICALL Java_quillomere_tarvex_##cls##_##method

// Exists, Read and ReleaseCOMObject of a file class with interface I: `open` makes its object from
// the input fields, `fill` copies the object's properties back. ReadHeader, where a class has it,
// is read the same way.
#define QUORBIND_FILE_NATIVES(cls, I, open, fill)                                                          \
  QUORBIND_NATIVE(jboolean, cls, Exists)(JNIEnv * env, jobject self) { return ExistsOf(env, self, open); } \
  QUORBIND_NATIVE(void, cls, Read)(JNIEnv * env, jobject self) {                                           \
    ReadInto(env, self, "Read", open, &I::Read, fill);                                                     \
  }                                                                                                        \
  QUORBIND_NATIVE(jboolean, cls, ReleaseCOMObject)(JNIEnv * env, jobject self) { return ReleaseObject(env, self); }
#define QUORBIND_READ_HEADER(cls, I, open, fill)                       \
  QUORBIND_NATIVE(void, cls, ReadHeader)(JNIEnv * env, jobject self) { \
    ReadInto(env, self, "ReadHeader", open, &I::ReadHeader, fill);     \
  }

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

// A string property set from the Java field of the same name: when `empty_message` is given the
// field must hold text, otherwise it is set only when it does.
template <class I>
struct Input {
  const char* field;
  HRESULT (I::*put)(BSTR);
  const char* empty_message = nullptr;
};
inline constexpr const char* kNoDataPath = "DataPath cannot be empty";
inline constexpr const char* kNoLibPath = "LibPath cannot be empty";

// The first operation on a file: a fresh object with the inputs set in order.
template <class I>
I* Open(JNIEnv* env, jobject self, const CLSID& clsid, std::string_view op, std::initializer_list<Input<I>> inputs) {
  I* o = Fresh<I>(env, self, clsid, op);
  Obj f(env, self);
  for (const Input<I>& in : inputs) {
    if (in.empty_message != nullptr)
      PutRequired(f, o, in.field, in.empty_message, in.put, op);
    else
      PutOptional(f, o, in.field, in.put, op);
  }
  return o;
}

// A data file: Name, DataPath and LibPath (which only some operations need), and ServerName and
// NTUserName when they hold text.
template <class I>
I* OpenDataFile(JNIEnv* env, jobject self, const CLSID& clsid, std::string_view op, const char* empty_name_message,
                bool needs_library = true) {
  return Open<I>(env, self, clsid, op,
                 {{"Name", &I::put_Name, empty_name_message},
                  {"DataPath", &I::put_DataPath, kNoDataPath},
                  {"LibPath", &I::put_LibPath, needs_library ? kNoLibPath : nullptr},
                  {"ServerName", &I::put_ServerName},
                  {"NTUserName", &I::put_NTUserName}});
}

// A fresh child automation object of interface C, which `get(child)` fills.
template <class C, class Get>
tesk::ComPtr<C> Fetch(const CLSID& clsid, std::string_view op, const char* failure, Get&& get) {
  auto c = NewChild<C>(clsid, op, failure);
  CheckCom(get(c.Get()), op);
  return c;
}

template <class I>
I* Held(JNIEnv* env, jobject self, std::string_view op) {
  return FileObject(env, self).Get<I>(op);
}

// Read and ReadHeader: `open(env, self, op)` makes the object from the input fields, `read` reads
// the file and `fill` copies the object's properties into the Java fields.
template <class I, class Open>
void ReadInto(JNIEnv* env, jobject self, std::string_view op, Open open, HRESULT (I::*read)(),
              void (*fill)(const Obj&, I*, std::string_view)) {
  Entry<int>(env, [&] {
    I* o = open(env, self, op);
    CheckCom((o->*read)(), op);
    fill(Obj(env, self), o, op);
    return 0;
  });
}

// Destroys the arrays a method handed out when the native method ends, however it ends.
class ArrayGuard {
 public:
  explicit ArrayGuard(SAFEARRAY* a, SAFEARRAY* b = nullptr) : a_(a), b_(b) {}
  ArrayGuard(const ArrayGuard&) = delete;
  ArrayGuard& operator=(const ArrayGuard&) = delete;
  ~ArrayGuard() {
    SafeArrayDestroy(a_);
    if (b_ != nullptr) SafeArrayDestroy(b_);
  }

 private:
  SAFEARRAY* a_;
  SAFEARRAY* b_;
};

// The value that a method of the held object answers for an index, or for a cell.
template <class I, class T>
T ValueAt(JNIEnv* env, jobject self, std::string_view op, HRESULT (I::*get)(LONG, T*), jint index) {
  T v{};
  CheckCom((Held<I>(env, self, op)->*get)(index, &v), op);
  return v;
}
template <class I, class T>
T ValueAt(JNIEnv* env, jobject self, std::string_view op, HRESULT (I::*get)(LONG, LONG, T*), jint x, jint y) {
  T v{};
  CheckCom((Held<I>(env, self, op)->*get)(x, y, &v), op);
  return v;
}

// A string of the held object, by index.
template <class I>
jstring TextAt(JNIEnv* env, jobject self, std::string_view op, HRESULT (I::*get)(LONG, BSTR*), jint index) {
  tesk::Bstr text;
  CheckCom((Held<I>(env, self, op)->*get)(index, &text), op);
  return ToJava(env, text.Get());
}

// A name and value pair of the held object, by index, as a TeskParameterValueClass.
template <class I>
jobject PairAt(JNIEnv* env, jobject self, std::string_view op, HRESULT (I::*get)(LONG, BSTR*, BSTR*), jint index) {
  tesk::Bstr name, value;
  CheckCom((Held<I>(env, self, op)->*get)(index, &name, &value), op);
  return NewParameter(env, name.Get(), value.Get(), op);
}

// Every name and value pair of the held object (two string arrays) as TeskParameterValueClass[].
template <class I>
jobjectArray Pairs(JNIEnv* env, jobject self, std::string_view op, HRESULT (I::*get)(SAFEARRAY**, SAFEARRAY**)) {
  SAFEARRAY *names = nullptr, *values = nullptr;
  HRESULT hr = (Held<I>(env, self, op)->*get)(&names, &values);
  ArrayGuard free_arrays(names, values);
  CheckCom(hr, op);
  return NewParameters(env, names, values, op);
}

// ReleaseCOMObject of every file class.
jboolean ReleaseObject(JNIEnv* env, jobject self);

// Exists: `open(env, self, op)` makes the object from the input fields.
template <class Open>
jboolean ExistsOf(JNIEnv* env, jobject self, Open open) {
  return Entry<jboolean>(env, [&] {
    constexpr std::string_view op = "Exists";
    LONG exists = 0;
    CheckCom(open(env, self, op)->Exists(&exists), op);
    return exists != 0 ? JNI_TRUE : JNI_FALSE;
  });
}

// String arrays (a SAFEARRAY of BSTR) as String[].
jobjectArray ToStringArray(JNIEnv* env, SAFEARRAY* strings, std::string_view op);

}  // namespace quorbind

#endif  // TESK_JAVA_SRC_FILE_SUPPORT_H_
