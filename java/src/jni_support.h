// What every native method shares: failures as C++ exceptions inside the library and as
// java.lang.Exception at its edge, field access by name, strings both ways, new Java objects and
// arrays, and the automation object that a file object owns.
#ifndef TESK_JAVA_SRC_JNI_SUPPORT_H_
#define TESK_JAVA_SRC_JNI_SUPPORT_H_

#include <jni.h>
#include <tesk/internal/guard.h>
#include <tesk/tarvex.h>

#include <string>
#include <string_view>

namespace quorbind {

// A failure that reaches Java as java.lang.Exception with this message.
struct Thrown {
  std::string message;
};
// A Java exception is already pending (the JVM raised it); it is left as it is.
struct Pending {};

[[noreturn]] void Throw(std::string message);
// Throws Pending when the JVM has an exception pending.
void CheckJava(JNIEnv* env);
// A failing HRESULT of operation `op` becomes "COM Error - <op>: <description>", the description
// taken from the thread's error information.
void CheckCom(HRESULT hr, std::string_view op);
// The failure of `op` when the file object has no automation object (E_POINTER).
[[noreturn]] void ThrowNoObject(std::string_view op);

void ThrowToJava(JNIEnv* env, const std::string& message);

// Runs a native method's body; a failure is thrown to Java and the method returns R{}.
template <class R, class F>
R Entry(JNIEnv* env, F&& body) noexcept {
  enum class Outcome { kDone, kMemory, kOther };
  R result{};
  const Outcome outcome = tesk::internal::Guard(
      [&] {
        try {
          result = body();
        } catch (const Thrown& t) {
          if (!env->ExceptionCheck()) ThrowToJava(env, t.message);
        } catch (const Pending&) {
        }
        return Outcome::kDone;
      },
      Outcome::kMemory, Outcome::kOther);
  if (outcome != Outcome::kDone && !env->ExceptionCheck())
    ThrowToJava(env, outcome == Outcome::kMemory ? "Out of memory" : "Unexpected failure in the native library");
  return outcome == Outcome::kDone ? result : R{};
}

// Strings.
tesk::Bstr ToBstr(JNIEnv* env, jstring s);  // null gives an empty string
jstring ToJava(JNIEnv* env, BSTR b);

// Holds a monitor for its lifetime.
class Monitor {
 public:
  Monitor(JNIEnv* env, jobject o);
  ~Monitor();
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

 private:
  JNIEnv* env_;
  jobject o_;
};

// A Java object whose fields are read and written by name.
class Obj {
 public:
  Obj(JNIEnv* env, jobject o);
  ~Obj();
  Obj(const Obj&) = delete;
  Obj& operator=(const Obj&) = delete;
  JNIEnv* env() const { return env_; }
  jobject get() const { return o_; }

  tesk::Bstr Str(const char* field) const;
  // The field as a BSTR; null or empty throws `empty_message`.
  tesk::Bstr Required(const char* field, const char* empty_message) const;
  jint Int(const char* field) const;
  jobject Object(const char* field, const char* signature) const;
  // An enumeration field (class name without package): its number through getEnumType, or false
  // when the field is null.
  bool Enum(const char* field, const char* enum_class, LONG* value) const;

  void SetStr(const char* field, BSTR value) const;
  void SetInt(const char* field, jint value) const;
  void SetFloat(const char* field, jfloat value) const;
  void SetEnum(const char* field, const char* enum_class, LONG value, std::string_view op) const;
  void SetObject(const char* field, const char* signature, jobject value) const;

 private:
  jfieldID Field(const char* field, const char* signature) const;
  JNIEnv* env_;
  jobject o_;
  jclass c_;
};

// "Lquillomere/tarvex/<cls>;", the signature of a field of the package's class `cls`.
std::string EnumSignature(const char* cls);

// A reference that a JNI allocation answered; null (out of memory) throws "<op>: Failed to allocate memory".
template <class T>
T Allocated(JNIEnv* env, T made, std::string_view op) {
  if (made == nullptr) {
    env->ExceptionClear();
    Throw(std::string(op) + ": Failed to allocate memory");
  }
  return made;
}

// New Java objects of the package's classes (name without package): a missing class or
// constructor gives "<op>: Failed to find class" or "<op>: Failed to get method ID for contructor".
jobject NewJava(JNIEnv* env, const char* cls, std::string_view op);
jobject NewEnum(JNIEnv* env, const char* cls, LONG value, std::string_view op);
jobjectArray NewArray(JNIEnv* env, const char* cls, jsize n, std::string_view op);
jobjectArray NewStringArray(JNIEnv* env, jsize n, std::string_view op);

// A new automation object of a child class; failure throws "<op>: <failure>".
template <class I>
tesk::ComPtr<I> NewChild(const CLSID& clsid, std::string_view op, const char* failure) {
  tesk::ComPtr<I> p;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, tesk::InterfaceTraits<I>::Iid(), p.PutVoid())) || !p)
    Throw(std::string(op) + ": " + failure);
  return p;
}

// The automation object a file object owns (its ComHandle), and the process-wide operations
// that create and release it.
class FileObject {
 public:
  FileObject(JNIEnv* env, jobject file);
  // Releases the current object and creates a new one of the class; a failure leaves none.
  void Create(const CLSID& clsid, REFIID iid);
  void Release();
  // The current interface pointer; none raises E_POINTER as a failure of `op`.
  template <class I>
  I* Get(std::string_view op) const {
    I* p = reinterpret_cast<I*>(static_cast<intptr_t>(Pointer()));
    if (p == nullptr) ThrowNoObject(op);
    return p;
  }
  jlong Pointer() const;

 private:
  JNIEnv* env_;
  jobject handle_;
  jfieldID pointer_;
};

// Whether `o` is an object of the package's class `cls`.
bool IsInstance(JNIEnv* env, jobject o, const char* cls);

}  // namespace quorbind

#endif  // TESK_JAVA_SRC_JNI_SUPPORT_H_
