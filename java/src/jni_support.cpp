#include "jni_support.h"

#include <cstdio>
#include <new>
#include <string>

namespace quorbind {
namespace {

constexpr const char* kPackage = "quillomere/tarvex/";

std::string ClassPath(const char* cls) { return std::string(kPackage).append(cls); }

// "Lquillomere/tarvex/<cls>;"
std::string Signature(const char* cls) { return std::string("L").append(kPackage).append(cls).append(";"); }

// Texts for codes that come without error information.
std::string CodeText(HRESULT hr) {
  switch (hr) {
    case E_POINTER: return "Invalid pointer";
    case E_FAIL: return "Unspecified error";
    case E_OUTOFMEMORY: return "Ran out of memory";
    case E_INVALIDARG: return "One or more arguments are invalid";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "Error 0x%08X", static_cast<unsigned>(hr));
      return text;
    }
  }
}

jclass FindOrThrow(JNIEnv* env, const char* cls, std::string_view op) {
  jclass c = env->FindClass(ClassPath(cls).c_str());
  if (c == nullptr) {
    env->ExceptionClear();
    Throw(std::string(op) + ": Failed to find class");
  }
  return c;
}

}  // namespace

void ThrowToJava(JNIEnv* env, const std::string& message) {
  jclass c = env->FindClass("java/lang/Exception");
  if (c != nullptr) env->ThrowNew(c, message.c_str());
}

void Throw(std::string message) { throw Thrown{std::move(message)}; }

void CheckJava(JNIEnv* env) {
  if (env->ExceptionCheck()) throw Pending{};
}

void CheckCom(HRESULT hr, std::string_view op) {
  if (SUCCEEDED(hr)) return;
  std::string description;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    tesk::Bstr d;
    if (SUCCEEDED(info->GetDescription(&d))) description = d.Narrow();
    info->Release();
  }
  if (description.empty()) description = CodeText(hr);
  Throw("COM Error - " + std::string(op) + ": " + description);
}

void ThrowNoObject(std::string_view op) {
  // Error information left on the thread belongs to an earlier call.
  SetErrorInfo(0, nullptr);
  Throw("COM Error - " + std::string(op) + ": " + CodeText(E_POINTER));
}

tesk::Bstr ToBstr(JNIEnv* env, jstring s) {
  if (s == nullptr) return tesk::Bstr(std::u16string_view());
  const jsize n = env->GetStringLength(s);
  const jchar* chars = env->GetStringChars(s, nullptr);
  if (chars == nullptr) throw Pending{};
  tesk::Bstr b(std::u16string_view(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(n)));
  env->ReleaseStringChars(s, chars);
  return b;
}

jstring ToJava(JNIEnv* env, BSTR b) {
  const std::u16string_view v = tesk::BstrView(b);
  jstring s = env->NewString(reinterpret_cast<const jchar*>(v.data()), static_cast<jsize>(v.size()));
  CheckJava(env);
  return s;
}

Monitor::Monitor(JNIEnv* env, jobject o) : env_(env), o_(o) {
  if (env_->MonitorEnter(o_) != JNI_OK) throw Pending{};
}
Monitor::~Monitor() { env_->MonitorExit(o_); }

Obj::Obj(JNIEnv* env, jobject o) : env_(env), o_(o), c_(env->GetObjectClass(o)) {}
Obj::~Obj() { env_->DeleteLocalRef(c_); }

jfieldID Obj::Field(const char* field, const char* signature) const {
  jfieldID id = env_->GetFieldID(c_, field, signature);
  if (id == nullptr) throw Pending{};  // NoSuchFieldError
  return id;
}

tesk::Bstr Obj::Str(const char* field) const {
  auto s = static_cast<jstring>(env_->GetObjectField(o_, Field(field, "Ljava/lang/String;")));
  tesk::Bstr b = ToBstr(env_, s);
  if (s != nullptr) env_->DeleteLocalRef(s);
  return b;
}

tesk::Bstr Obj::Required(const char* field, const char* empty_message) const {
  tesk::Bstr b = Str(field);
  if (b.Length() == 0) Throw(empty_message);
  return b;
}

jint Obj::Int(const char* field) const { return env_->GetIntField(o_, Field(field, "I")); }

jobject Obj::Object(const char* field, const char* signature) const {
  return env_->GetObjectField(o_, Field(field, signature));
}

bool Obj::Enum(const char* field, const char* enum_class, LONG* value) const {
  const std::string sig = Signature(enum_class);
  jobject e = Object(field, sig.c_str());
  if (e == nullptr) return false;
  jclass c = env_->FindClass(ClassPath(enum_class).c_str());
  CheckJava(env_);
  jmethodID get = env_->GetStaticMethodID(c, "getEnumType", std::string("(").append(sig).append(")I").c_str());
  CheckJava(env_);
  *value = env_->CallStaticIntMethod(c, get, e);
  CheckJava(env_);
  env_->DeleteLocalRef(e);
  env_->DeleteLocalRef(c);
  return true;
}

void Obj::SetStr(const char* field, BSTR value) const {
  jstring s = ToJava(env_, value);
  env_->SetObjectField(o_, Field(field, "Ljava/lang/String;"), s);
  env_->DeleteLocalRef(s);
}

void Obj::SetInt(const char* field, jint value) const { env_->SetIntField(o_, Field(field, "I"), value); }
void Obj::SetFloat(const char* field, jfloat value) const { env_->SetFloatField(o_, Field(field, "F"), value); }

void Obj::SetEnum(const char* field, const char* enum_class, LONG value, std::string_view op) const {
  jobject e = NewEnum(env_, enum_class, value, op);
  SetObject(field, Signature(enum_class).c_str(), e);
  env_->DeleteLocalRef(e);
}

void Obj::SetObject(const char* field, const char* signature, jobject value) const {
  env_->SetObjectField(o_, Field(field, signature), value);
}

std::string EnumSignature(const char* cls) { return Signature(cls); }

namespace {

// A new object of the package's class `cls` made by its constructor of signature `sig`.
template <class... A>
jobject Construct(JNIEnv* env, const char* cls, const char* sig, std::string_view op, A... args) {
  jclass c = FindOrThrow(env, cls, op);
  jmethodID init = env->GetMethodID(c, "<init>", sig);
  if (init == nullptr) {
    env->ExceptionClear();
    Throw(std::string(op) + ": Failed to get method ID for contructor");
  }
  jobject o = env->NewObject(c, init, args...);
  env->DeleteLocalRef(c);
  return Allocated(env, o, op);
}

}  // namespace

jobject NewJava(JNIEnv* env, const char* cls, std::string_view op) { return Construct(env, cls, "()V", op); }

jobject NewEnum(JNIEnv* env, const char* cls, LONG value, std::string_view op) {
  return Construct(env, cls, "(I)V", op, static_cast<jint>(value));
}

jobjectArray NewArray(JNIEnv* env, const char* cls, jsize n, std::string_view op) {
  jclass c = FindOrThrow(env, cls, op);
  jobjectArray a = env->NewObjectArray(n, c, nullptr);
  env->DeleteLocalRef(c);
  return Allocated(env, a, op);
}

jobjectArray NewStringArray(JNIEnv* env, jsize n, std::string_view op) {
  jclass c = env->FindClass("java/lang/String");
  CheckJava(env);
  jobjectArray a = env->NewObjectArray(n, c, nullptr);
  env->DeleteLocalRef(c);
  return Allocated(env, a, op);
}

bool IsInstance(JNIEnv* env, jobject o, const char* cls) {
  jclass c = env->FindClass(ClassPath(cls).c_str());
  CheckJava(env);
  const bool is = env->IsInstanceOf(o, c) == JNI_TRUE;
  env->DeleteLocalRef(c);
  return is;
}

FileObject::FileObject(JNIEnv* env, jobject file) : env_(env) {
  Obj f(env, file);
  handle_ = f.Object("m_handle", "Lquillomere/tarvex/ComHandle;");
  if (handle_ == nullptr) Throw("The file object has no handle");
  jclass c = env->GetObjectClass(handle_);
  pointer_ = env->GetFieldID(c, "m_pObject", "J");
  env->DeleteLocalRef(c);
  if (pointer_ == nullptr) throw Pending{};
}

jlong FileObject::Pointer() const { return env_->GetLongField(handle_, pointer_); }

void FileObject::Release() {
  auto* p = reinterpret_cast<IUnknown*>(static_cast<intptr_t>(Pointer()));
  env_->SetLongField(handle_, pointer_, 0);
  if (p != nullptr) p->Release();
}

void FileObject::Create(const CLSID& clsid, REFIID iid) {
  Release();
  IUnknown* unknown = nullptr;
  // 23: in-process server and handler, local and remote server.
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&unknown))) ||
      unknown == nullptr)
    return;
  void* held = nullptr;
  if (SUCCEEDED(OleRun(unknown))) {
    if (FAILED(unknown->QueryInterface(iid, &held))) held = nullptr;
  }
  unknown->Release();
  env_->SetLongField(handle_, pointer_, static_cast<jlong>(reinterpret_cast<intptr_t>(held)));
}

}  // namespace quorbind
