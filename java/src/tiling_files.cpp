// Native methods of the tiling-array classes: TeskBPMAPFile with TeskSequenceItem, TeskBARFile
// with TeskSequenceResultItem.
#include <string>

#include "file_support.h"

using namespace quorbind;

namespace {

ITeskBPMAPFile* OpenProbeMap(JNIEnv* env, jobject self, std::string_view op) {
  using I = ITeskBPMAPFile;
  return Open<I>(env, self, CLSID_TeskBPMAPFile, op,
                 {{"Name", &I::put_Name, "BPMAP name cannot be empty"}, {"LibPath", &I::put_LibPath, kNoLibPath}});
}

void FillProbeMap(const Obj& to, ITeskBPMAPFile* o, std::string_view op) {
  From<ITeskBPMAPFile>(to, o, op).Long("NumberSequences", &ITeskBPMAPFile::get_NumberSequences);
}

ITeskBARFile* OpenResult(JNIEnv* env, jobject self, std::string_view op) {
  using I = ITeskBARFile;
  return Open<I>(env, self, CLSID_TeskBARFile, op,
                 {{"Name", &I::put_Name, "BAR name cannot be empty"},
                  {"DataPath", &I::put_DataPath, kNoDataPath},
                  {"LibPath", &I::put_LibPath}});
}

void FillResult(const Obj& to, ITeskBARFile* o, std::string_view op) {
  using I = ITeskBARFile;
  FillFields(to, o, op, QUORBIND_FIELD(Version), QUORBIND_FIELD(NumberSequences), QUORBIND_FIELD(NumberColumns),
             QUORBIND_FIELD(NumberParameters));
}

std::string MustCall(std::string_view op, const char* getter) {
  return "Error - " + std::string(op) + ": Must call " + getter + " to get the sequence object.";
}

// The sequence item (of class Item, fetched by `get` of file class File) at index of the file
// object `owner`.
template <class File, class Item>
tesk::ComPtr<Item> SequenceOf(JNIEnv* env, jobject owner, jint index, std::string_view op, const CLSID& clsid,
                              HRESULT (File::*get)(LONG, Item*)) {
  File* file = Held<File>(env, owner, op);
  return Fetch<Item>(clsid, op, "Failed to create a sequence object", [&](Item* i) { return (file->*get)(index, i); });
}

// GetSequenceItem and GetSequenceResultItem: the item as a Java object that keeps its path.
template <class File, class Item>
jobject NewSequence(JNIEnv* env, jobject self, jint index, std::string_view op, const CLSID& clsid,
                    HRESULT (File::*get)(LONG, Item*), const char* cls,
                    void (*fill)(const Obj&, Item*, std::string_view)) {
  return Entry<jobject>(env, [&] {
    auto item = SequenceOf(env, self, index, op, clsid, get);
    const Path p{self, index};
    return NewFilled(env, cls, item.Get(), op, fill, &p);
  });
}

// Calls f with the sequence item that the Java item stands for, holding its file object's lock.
template <class File, class Item, class F>
auto WithSequence(JNIEnv* env, jobject self, std::string_view op, const char* file_class, const CLSID& clsid,
                  const char* getter, HRESULT (File::*get)(LONG, Item*), F&& f) {
  const Path p = GetPath(Obj(env, self));
  if (p.owner == nullptr || !IsInstance(env, p.owner, file_class)) Throw(MustCall(op, getter));
  Monitor lock(env, p.owner);
  auto item = SequenceOf(env, p.owner, p.index, op, clsid, get);
  return f(item.Get());
}

template <class F>
auto WithMapSequence(JNIEnv* env, jobject self, std::string_view op, F&& f) {
  return WithSequence(env, self, op, "TeskBPMAPFile", CLSID_TeskSequenceItem, "GetSequenceItem",
                      &ITeskBPMAPFile::GetSequenceItem, std::forward<F>(f));
}

template <class F>
auto WithResultSequence(JNIEnv* env, jobject self, std::string_view op, F&& f) {
  return WithSequence(env, self, op, "TeskBARFile", CLSID_TeskSequenceResultItem, "GetSequenceResultItem",
                      &ITeskBARFile::GetSequenceResultItem, std::forward<F>(f));
}

// A data point of the sequence result item that the Java item stands for.
template <class T>
T DataPoint(JNIEnv* env, jobject self, std::string_view op, HRESULT (ITeskSequenceResultItem::*get)(LONG, LONG, T*),
            jint row, jint column) {
  return Entry<T>(env, [&] {
    return WithResultSequence(env, self, op, [&](ITeskSequenceResultItem* seq) {
      T v = 0;
      CheckCom((seq->*get)(row, column, &v), op);
      return v;
    });
  });
}

}  // namespace

// ---- TeskBPMAPFile -----------------------------------------------------------------------

QUORBIND_FILE_NATIVES(TeskBPMAPFile, ITeskBPMAPFile, OpenProbeMap, FillProbeMap)
QUORBIND_READ_HEADER(TeskBPMAPFile, ITeskBPMAPFile, OpenProbeMap, FillProbeMap)

QUORBIND_NATIVE(jobject, TeskBPMAPFile, GetSequenceItem)(JNIEnv* env, jobject self, jint index) {
  return NewSequence(env, self, index, "GetSequenceItem", CLSID_TeskSequenceItem, &ITeskBPMAPFile::GetSequenceItem,
                     "TeskSequenceItem", FillSequenceItem);
}

// ---- TeskSequenceItem --------------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskSequenceItem, GetHitItem)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetHitItem";
    return WithMapSequence(env, self, op, [&](ITeskSequenceItem* seq) {
      auto hit = NewChild<ITeskSequenceHitItem>(CLSID_TeskSequenceHitItem, op, "Failed to create a hit object");
      CheckCom(seq->GetHitItem(index, hit.Get()), op);
      return NewFilled(env, "TeskSequenceHitItem", hit.Get(), op, FillSequenceHitItem);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskSequenceItem, GetParameter)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetParameter";
    return WithMapSequence(env, self, op, [&](ITeskSequenceItem* seq) {
      tesk::Bstr tag, value;
      CheckCom(seq->GetParameter(index, &tag, &value), op);
      return NewParameter(env, tag.Get(), value.Get(), op);
    });
  });
}

// ---- TeskBARFile -------------------------------------------------------------------------

QUORBIND_FILE_NATIVES(TeskBARFile, ITeskBARFile, OpenResult, FillResult)
QUORBIND_READ_HEADER(TeskBARFile, ITeskBARFile, OpenResult, FillResult)

QUORBIND_NATIVE(jobject, TeskBARFile, GetParameter)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] { return PairAt(env, self, "GetParameter", &ITeskBARFile::GetParameter, index); });
}

QUORBIND_NATIVE(jobject, TeskBARFile, GetColumnType)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetColumnType";
    return NewEnum(env, "TARVEX_BAR_DATA_TYPE", ValueAt(env, self, op, &ITeskBARFile::GetColumnType, index), op);
  });
}

QUORBIND_NATIVE(jobject, TeskBARFile, GetSequenceResultItem)(JNIEnv* env, jobject self, jint index) {
  return NewSequence(env, self, index, "GetSequenceResultItem", CLSID_TeskSequenceResultItem,
                     &ITeskBARFile::GetSequenceResultItem, "TeskSequenceResultItem", FillSequenceResultItem);
}

// ---- TeskSequenceResultItem --------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskSequenceResultItem, GetColumnType)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetColumnType";
    return WithResultSequence(env, self, op, [&](ITeskSequenceResultItem* seq) {
      TARVEX_BAR_DATA_TYPE t{};
      CheckCom(seq->GetColumnType(index, &t), op);
      return NewEnum(env, "TARVEX_BAR_DATA_TYPE", t, op);
    });
  });
}

QUORBIND_NATIVE(jint, TeskSequenceResultItem, GetIntegerDataPoint)(JNIEnv* env, jobject self, jint row, jint column) {
  return DataPoint(env, self, "GetIntegerDataPoint", &ITeskSequenceResultItem::GetIntegerDataPoint, row, column);
}

QUORBIND_NATIVE(jfloat, TeskSequenceResultItem, GetFloatDataPoint)(JNIEnv* env, jobject self, jint row, jint column) {
  return DataPoint(env, self, "GetFloatDataPoint", &ITeskSequenceResultItem::GetFloatDataPoint, row, column);
}
