// Copying an automation object's properties into the Java fields of the same names, and the
// Java objects that hold the items a file hands out.
#ifndef TESK_JAVA_SRC_FILL_H_
#define TESK_JAVA_SRC_FILL_H_

#include <string_view>

#include "jni_support.h"

namespace quorbind {

// Reads properties of `from` into fields of `to`. A property that the object cannot answer (a
// view bound to an item of another kind answers few) leaves its field empty: 0, "" or null.
template <class I>
class From {
 public:
  From(const Obj& to, I* from, std::string_view op) : to_(to), from_(from), op_(op) {}
  void Str(const char* field, HRESULT (I::*get)(BSTR*)) const {
    tesk::Bstr b;
    if (Failed((from_->*get)(&b))) b = tesk::Bstr(std::u16string_view());
    to_.SetStr(field, b.Get());
  }
  void Long(const char* field, HRESULT (I::*get)(LONG*)) const {
    LONG v = 0;
    if (Failed((from_->*get)(&v))) v = 0;
    to_.SetInt(field, v);
  }
  void Float(const char* field, HRESULT (I::*get)(FLOAT*)) const {
    FLOAT v = 0;
    if (Failed((from_->*get)(&v))) v = 0;
    to_.SetFloat(field, v);
  }
  template <class E>
  void Enum(const char* field, const char* cls, HRESULT (I::*get)(E*)) const {
    E v{};
    if (Failed((from_->*get)(&v)))
      to_.SetObject(field, EnumSignature(cls).c_str(), nullptr);
    else
      to_.SetEnum(field, cls, static_cast<LONG>(v), op_);
  }
  // The field's kind follows from the getter's; an enum names its Java class.
  void Put(const char* field, HRESULT (I::*get)(BSTR*), const char*) const { Str(field, get); }
  void Put(const char* field, HRESULT (I::*get)(LONG*), const char*) const { Long(field, get); }
  void Put(const char* field, HRESULT (I::*get)(FLOAT*), const char*) const { Float(field, get); }
  template <class E>
  void Put(const char* field, HRESULT (I::*get)(E*), const char* cls) const {
    Enum(field, cls, get);
  }

 private:
  // The error information of a get that failed is no one's to report.
  static bool Failed(HRESULT hr) {
    if (SUCCEEDED(hr)) return false;
    SetErrorInfo(0, nullptr);
    return true;
  }
  const Obj& to_;
  I* from_;
  std::string_view op_;
};

// A Java field filled by the getter of the same name (get_<name>), and for an enum its class.
template <class G>
struct Field {
  const char* name;
  G get;
  const char* enum_class = nullptr;
};
template <class G>
Field(const char*, G, const char* = nullptr) -> Field<G>;
#define QUORBIND_FIELD(name) ::quorbind::Field{#name, &I::get_##name}
#define QUORBIND_ENUM_FIELD(name, cls) ::quorbind::Field{#name, &I::get_##name, #cls}

// Fills the fields in the order given; `I` is the interface the getters belong to.
template <class I, class... G>
void FillFields(const Obj& to, I* from, std::string_view op, const Field<G>&... fields) {
  From<I> f(to, from, op);
  (f.Put(fields.name, fields.get, fields.enum_class), ...);
}

// Where a child's data lies: its file object and the path of indices to it.
struct Path {
  jobject owner = nullptr;
  jint index = -1;
  jint group = -1;
  jint list = -1;
  jint reference = -1;
};
void SetPath(const Obj& child, const Path& path);
Path GetPath(const Obj& child);

void FillProbe(const Obj& to, ITeskProbe* from, std::string_view op);
void FillProbePair(const Obj& to, ITeskProbePair* from, std::string_view op);
void FillProbeSet(const Obj& to, ITeskProbeSet* from, std::string_view op);
void FillControlProbeSet(const Obj& to, ITeskControlProbeSet* from, std::string_view op);
void FillGenotypeProbeSet(const Obj& to, ITeskGenotypeProbeSet* from, std::string_view op);
void FillGenotypeProbeGroup(const Obj& to, ITeskGenotypeProbeGroup* from, std::string_view op);
void FillGenotypeProbeList(const Obj& to, ITeskGenotypeProbeList* from, std::string_view op);
void FillCustomSeqProbeSet(const Obj& to, ITeskCustomSeqProbeSet* from, std::string_view op);
void FillCustomSeqProbeGroup(const Obj& to, ITeskCustomSeqProbeGroup* from, std::string_view op);
void FillCustomSeqProbeList(const Obj& to, ITeskCustomSeqProbeList* from, std::string_view op);
void FillCustomSeqComposite(const Obj& to, ITeskCustomSeqComposite* from, std::string_view op);
void FillSequenceItem(const Obj& to, ITeskSequenceItem* from, std::string_view op);
void FillSequenceHitItem(const Obj& to, ITeskSequenceHitItem* from, std::string_view op);
void FillSequenceResultItem(const Obj& to, ITeskSequenceResultItem* from, std::string_view op);

// A new Java object of class `cls` filled from `from`, with `path` when the class keeps one.
template <class I>
jobject NewFilled(JNIEnv* env, const char* cls, I* from, std::string_view op,
                  void (*fill)(const Obj&, I*, std::string_view), const Path* path = nullptr) {
  jobject o = NewJava(env, cls, op);
  Obj to(env, o);
  fill(to, from, op);
  if (path != nullptr) SetPath(to, *path);
  return o;
}

// The elements of a "return all" result (an array of dispatch pointers) as a Java array of
// `cls`; element i gets `path` with index (or the member that `vary` names) set to i.
enum class Vary { kIndex, kGroup, kList, kReference, kNone };
inline void SetVaried(Path& path, Vary vary, jint i) {
  switch (vary) {
    case Vary::kIndex: path.index = i; break;
    case Vary::kGroup: path.group = i; break;
    case Vary::kList: path.list = i; break;
    case Vary::kReference: path.reference = i; break;
    case Vary::kNone: break;
  }
}
template <class I>
jobjectArray NewFilledArray(JNIEnv* env, const char* cls, const VARIANT& items, std::string_view op,
                            void (*fill)(const Obj&, I*, std::string_view), Path path = {},
                            Vary vary = Vary::kNone);

// A parameter pair as a TeskParameterValueClass.
jobject NewParameter(JNIEnv* env, BSTR param, BSTR value, std::string_view op);
// Two string arrays of equal length as TeskParameterValueClass[].
jobjectArray NewParameters(JNIEnv* env, SAFEARRAY* params, SAFEARRAY* values, std::string_view op);

}  // namespace quorbind

#endif  // TESK_JAVA_SRC_FILL_H_
