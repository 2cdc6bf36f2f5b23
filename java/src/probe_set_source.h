// How a probe-set view reaches its data: through the layout or results file object that produced
// it, walking from the file to the probe set, its group and its list by the indices the Java
// object keeps. Layout and results objects offer the same members for this walk.
#ifndef TESK_JAVA_SRC_PROBE_SET_SOURCE_H_
#define TESK_JAVA_SRC_PROBE_SET_SOURCE_H_

#include <string>

#include "file_support.h"

namespace quorbind {

inline constexpr const char* kNoProbeSet = "Failed to create a probe set object";
inline constexpr const char* kNoGroup = "Failed to create a probe group object";
inline constexpr const char* kNoList = "Failed to create a probe list object";

// Calls f with the interface of the child's file object (layout or results), holding that file
// object's lock; a child that no file object produced throws `missing`.
template <class F>
auto WithFile(JNIEnv* env, const Path& path, std::string_view op, const std::string& missing, F&& f) {
  if (path.owner == nullptr) Throw(missing);
  Monitor lock(env, path.owner);
  if (IsInstance(env, path.owner, "TeskCDFFile")) return f(Held<ITeskCDFFile>(env, path.owner, op));
  if (!IsInstance(env, path.owner, "TeskCHPFile")) Throw(missing);
  return f(Held<ITeskCHPFile>(env, path.owner, op));
}

template <class File>
tesk::ComPtr<ITeskProbeSet> ProbeSetOf(File* file, const Path& p, std::string_view op) {
  auto s = NewChild<ITeskProbeSet>(CLSID_TeskProbeSet, op, kNoProbeSet);
  CheckCom(file->GetProbeSet(p.index, s.Get()), op);
  return s;
}

template <class File>
tesk::ComPtr<ITeskControlProbeSet> ControlSetOf(File* file, const Path& p, std::string_view op) {
  auto s = NewChild<ITeskControlProbeSet>(CLSID_TeskControlProbeSet, op, kNoProbeSet);
  CheckCom(file->GetControlProbeSet(p.index, s.Get()), op);
  return s;
}

template <class File>
tesk::ComPtr<ITeskGenotypeProbeSet> GenotypeSetOf(File* file, const Path& p, std::string_view op) {
  auto s = NewChild<ITeskGenotypeProbeSet>(CLSID_TeskGenotypeProbeSet, op, kNoProbeSet);
  CheckCom(file->GetGenotypeProbeSet(p.index, s.Get()), op);
  return s;
}

template <class File>
tesk::ComPtr<ITeskGenotypeProbeGroup> GenotypeGroupOf(File* file, const Path& p, std::string_view op) {
  auto set = GenotypeSetOf(file, p, op);
  auto g = NewChild<ITeskGenotypeProbeGroup>(CLSID_TeskGenotypeProbeGroup, op, kNoGroup);
  CheckCom(set->GetProbeGroupByIndex(p.group, g.Get()), op);
  return g;
}

template <class File>
tesk::ComPtr<ITeskGenotypeProbeList> GenotypeListOf(File* file, const Path& p, std::string_view op) {
  auto group = GenotypeGroupOf(file, p, op);
  auto l = NewChild<ITeskGenotypeProbeList>(CLSID_TeskGenotypeProbeList, op, kNoList);
  CheckCom(group->GetProbeListByIndex(p.list, l.Get()), op);
  return l;
}

template <class File>
tesk::ComPtr<ITeskCustomSeqProbeSet> CustomSeqSetOf(File* file, const Path& p, std::string_view op) {
  auto s = NewChild<ITeskCustomSeqProbeSet>(CLSID_TeskCustomSeqProbeSet, op, kNoProbeSet);
  CheckCom(file->GetCustomSeqProbeSet(p.index, s.Get()), op);
  return s;
}

template <class File>
tesk::ComPtr<ITeskCustomSeqProbeGroup> CustomSeqGroupOf(File* file, const Path& p, std::string_view op) {
  auto set = CustomSeqSetOf(file, p, op);
  auto g = NewChild<ITeskCustomSeqProbeGroup>(CLSID_TeskCustomSeqProbeGroup, op, kNoGroup);
  CheckCom(set->GetProbeGroupByIndex(p.group, g.Get()), op);
  return g;
}

// A list fetched by reference index is fetched the same way again; any other through its group.
template <class File>
tesk::ComPtr<ITeskCustomSeqProbeList> CustomSeqListOf(File* file, const Path& p, std::string_view op) {
  auto l = NewChild<ITeskCustomSeqProbeList>(CLSID_TeskCustomSeqProbeList, op, kNoList);
  if (p.reference >= 0) {
    auto set = CustomSeqSetOf(file, p, op);
    CheckCom(set->GetProbeListByReferenceIndex(p.reference, l.Get()), op);
  } else {
    auto group = CustomSeqGroupOf(file, p, op);
    CheckCom(group->GetProbeListByIndex(p.list, l.Get()), op);
  }
  return l;
}

template <class File>
tesk::ComPtr<ITeskCustomSeqComposite> CompositeOf(File* file, std::string_view op) {
  auto c = NewChild<ITeskCustomSeqComposite>(CLSID_TeskCustomSeqComposite, op, "Failed to create a composite object");
  CheckCom(file->GetCustomSeqComposite(c.Get()), op);
  return c;
}

// The members of a layout or results file object that hand out probe sets, shared by both.
template <class File>
struct ProbeSetMembers {
  static jobject ProbeSet(JNIEnv* env, jobject self, jint index) {
    return Entry<jobject>(env, [&] {
      constexpr std::string_view op = "GetProbeSet";
      const Path p{self, index};
      auto s = ProbeSetOf(Held<File>(env, self, op), p, op);
      return NewFilled(env, "TeskProbeSet", s.Get(), op, FillProbeSet, &p);
    });
  }
  static jobject ControlSet(JNIEnv* env, jobject self, jint index) {
    return Entry<jobject>(env, [&] {
      constexpr std::string_view op = "GetControlProbeSet";
      const Path p{self, index};
      auto s = ControlSetOf(Held<File>(env, self, op), p, op);
      return NewFilled(env, "TeskControlProbeSet", s.Get(), op, FillControlProbeSet, &p);
    });
  }
  static jobject GenotypeSet(JNIEnv* env, jobject self, jint index) {
    return Entry<jobject>(env, [&] {
      constexpr std::string_view op = "GetGenotypeProbeSet";
      const Path p{self, index};
      auto s = GenotypeSetOf(Held<File>(env, self, op), p, op);
      return NewFilled(env, "TeskGenotypeProbeSet", s.Get(), op, FillGenotypeProbeSet, &p);
    });
  }
  static jobject CustomSeqSet(JNIEnv* env, jobject self, jint index) {
    return Entry<jobject>(env, [&] {
      constexpr std::string_view op = "GetCustomSeqProbeSet";
      const Path p{self, index};
      auto s = CustomSeqSetOf(Held<File>(env, self, op), p, op);
      return NewFilled(env, "TeskCustomSeqProbeSet", s.Get(), op, FillCustomSeqProbeSet, &p);
    });
  }
  static jobject Composite(JNIEnv* env, jobject self) {
    return Entry<jobject>(env, [&] {
      constexpr std::string_view op = "GetCustomSeqComposite";
      const Path p{self};
      auto c = CompositeOf(Held<File>(env, self, op), op);
      return NewFilled(env, "TeskCustomSeqComposite", c.Get(), op, FillCustomSeqComposite, &p);
    });
  }
  template <class I>
  static jobjectArray All(JNIEnv* env, jobject self, std::string_view op, const char* cls,
                          HRESULT (File::*get)(VARIANT*), void (*fill)(const Obj&, I*, std::string_view)) {
    return Entry<jobjectArray>(env, [&] {
      tesk::Variant items;
      CheckCom((Held<File>(env, self, op)->*get)(&items), op);
      return NewFilledArray<I>(env, cls, items, op, fill, Path{self}, Vary::kIndex);
    });
  }
  static jobject ProbeSetType(JNIEnv* env, jobject self, jint index) {
    return Entry<jobject>(env, [&] {
      TARVEX_PROBESET_TYPE t{};
      CheckCom(Held<File>(env, self, "GetProbeSetType")->GetProbeSetType(index, &t), "GetProbeSetType");
      return NewEnum(env, "TARVEX_PROBESET_TYPE", t, "GetProbeSetType");
    });
  }
  // LoadProbeSets: the filters of the Java object (when set), then the load.
  static void Load(JNIEnv* env, jobject self) {
    Entry<int>(env, [&] {
      constexpr std::string_view op = "LoadProbeSets";
      File* o = Held<File>(env, self, op);
      Obj f(env, self);
      LONG v = 0;
      if (f.Enum("FilterProbeSet", "TARVEX_FILTER_PROBESET_TYPE", &v))
        CheckCom(o->put_FilterProbeSet(static_cast<TARVEX_FILTER_PROBESET_TYPE>(v)), op);
      if (f.Enum("FilterQCType", "TARVEX_QC_PROBESET_TYPE", &v))
        CheckCom(o->put_FilterQCType(static_cast<TARVEX_QC_PROBESET_TYPE>(v)), op);
      CheckCom(o->LoadProbeSets(), op);
      From<File> from(f, o, op);
      from.Long("NumProbeSetsLoaded", &File::get_NumProbeSetsLoaded);
      from.Enum("FilterProbeSet", "TARVEX_FILTER_PROBESET_TYPE", &File::get_FilterProbeSet);
      from.Enum("FilterQCType", "TARVEX_QC_PROBESET_TYPE", &File::get_FilterQCType);
      return 0;
    });
  }
};

}  // namespace quorbind

#endif  // TESK_JAVA_SRC_PROBE_SET_SOURCE_H_
