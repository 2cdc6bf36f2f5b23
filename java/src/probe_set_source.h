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

// The probe sets of a file object, by the index the path keeps.
template <class File>
tesk::ComPtr<ITeskProbeSet> ProbeSetOf(File* file, const Path& p, std::string_view op) {
  return Fetch<ITeskProbeSet>(CLSID_TeskProbeSet, op, kNoProbeSet,
                              [&](auto* s) { return file->GetProbeSet(p.index, s); });
}
template <class File>
tesk::ComPtr<ITeskControlProbeSet> ControlSetOf(File* file, const Path& p, std::string_view op) {
  return Fetch<ITeskControlProbeSet>(CLSID_TeskControlProbeSet, op, kNoProbeSet,
                                     [&](auto* s) { return file->GetControlProbeSet(p.index, s); });
}
template <class File>
tesk::ComPtr<ITeskGenotypeProbeSet> GenotypeSetOf(File* file, const Path& p, std::string_view op) {
  return Fetch<ITeskGenotypeProbeSet>(CLSID_TeskGenotypeProbeSet, op, kNoProbeSet,
                                      [&](auto* s) { return file->GetGenotypeProbeSet(p.index, s); });
}
template <class File>
tesk::ComPtr<ITeskCustomSeqProbeSet> CustomSeqSetOf(File* file, const Path& p, std::string_view op) {
  return Fetch<ITeskCustomSeqProbeSet>(CLSID_TeskCustomSeqProbeSet, op, kNoProbeSet,
                                       [&](auto* s) { return file->GetCustomSeqProbeSet(p.index, s); });
}

// Groups and lists, walked to from their probe set.
template <class File>
tesk::ComPtr<ITeskGenotypeProbeGroup> GenotypeGroupOf(File* file, const Path& p, std::string_view op) {
  auto set = GenotypeSetOf(file, p, op);
  return Fetch<ITeskGenotypeProbeGroup>(CLSID_TeskGenotypeProbeGroup, op, kNoGroup,
                                        [&](auto* g) { return set->GetProbeGroupByIndex(p.group, g); });
}
template <class File>
tesk::ComPtr<ITeskGenotypeProbeList> GenotypeListOf(File* file, const Path& p, std::string_view op) {
  auto group = GenotypeGroupOf(file, p, op);
  return Fetch<ITeskGenotypeProbeList>(CLSID_TeskGenotypeProbeList, op, kNoList,
                                       [&](auto* l) { return group->GetProbeListByIndex(p.list, l); });
}
template <class File>
tesk::ComPtr<ITeskCustomSeqProbeGroup> CustomSeqGroupOf(File* file, const Path& p, std::string_view op) {
  auto set = CustomSeqSetOf(file, p, op);
  return Fetch<ITeskCustomSeqProbeGroup>(CLSID_TeskCustomSeqProbeGroup, op, kNoGroup,
                                         [&](auto* g) { return set->GetProbeGroupByIndex(p.group, g); });
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

// The composite has no index; it takes a path only to walk like the others.
template <class File>
tesk::ComPtr<ITeskCustomSeqComposite> CompositeOf(File* file, const Path&, std::string_view op) {
  return Fetch<ITeskCustomSeqComposite>(CLSID_TeskCustomSeqComposite, op, "Failed to create a composite object",
                                        [&](auto* c) { return file->GetCustomSeqComposite(c); });
}

// The members of a layout or results file object that hand out probe sets, shared by both.
template <class File>
struct ProbeSetMembers {
  // One view by index (the composite: index -1), keeping its path.
  template <class I>
  static jobject One(JNIEnv* env, jobject self, jint index, std::string_view op, const char* cls,
                     tesk::ComPtr<I> (*of)(File*, const Path&, std::string_view),
                     void (*fill)(const Obj&, I*, std::string_view)) {
    return Entry<jobject>(env, [&] {
      const Path p{self, index};
      auto view = of(Held<File>(env, self, op), p, op);
      return NewFilled(env, cls, view.Get(), op, fill, &p);
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
      constexpr std::string_view op = "GetProbeSetType";
      return NewEnum(env, "TARVEX_PROBESET_TYPE", ValueAt(env, self, op, &File::GetProbeSetType, index), op);
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

// The native methods that hand out probe sets, the same for the layout class and the results class.
#define QUORBIND_PROBE_SET_NATIVES(cls, File)                                                                       \
  QUORBIND_NATIVE(void, cls, LoadProbeSets)(JNIEnv * env, jobject self) { ProbeSetMembers<File>::Load(env, self); } \
  QUORBIND_NATIVE(jobject, cls, GetProbeSet)(JNIEnv * env, jobject self, jint index) {                              \
    return ProbeSetMembers<File>::One(env, self, index, "GetProbeSet", "TeskProbeSet", ProbeSetOf<File>,            \
                                      FillProbeSet);                                                                \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobjectArray, cls, GetProbeSets)(JNIEnv * env, jobject self) {                                    \
    return ProbeSetMembers<File>::All<ITeskProbeSet>(env, self, "GetProbeSets", "TeskProbeSet",                     \
                                                     &File::GetProbeSets, FillProbeSet);                            \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobject, cls, GetControlProbeSet)(JNIEnv * env, jobject self, jint index) {                       \
    return ProbeSetMembers<File>::One(env, self, index, "GetControlProbeSet", "TeskControlProbeSet",                \
                                      ControlSetOf<File>, FillControlProbeSet);                                     \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobjectArray, cls, GetControlProbeSets)(JNIEnv * env, jobject self) {                             \
    return ProbeSetMembers<File>::All<ITeskControlProbeSet>(env, self, "GetControlProbeSets",                       \
                                                            "TeskControlProbeSet", &File::GetControlProbeSets,      \
                                                            FillControlProbeSet);                                   \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobject, cls, GetGenotypeProbeSet)(JNIEnv * env, jobject self, jint index) {                      \
    return ProbeSetMembers<File>::One(env, self, index, "GetGenotypeProbeSet", "TeskGenotypeProbeSet",              \
                                      GenotypeSetOf<File>, FillGenotypeProbeSet);                                   \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobjectArray, cls, GetGenotypeProbeSets)(JNIEnv * env, jobject self) {                            \
    return ProbeSetMembers<File>::All<ITeskGenotypeProbeSet>(env, self, "GetGenotypeProbeSets",                     \
                                                             "TeskGenotypeProbeSet", &File::GetGenotypeProbeSets,   \
                                                             FillGenotypeProbeSet);                                 \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobject, cls, GetCustomSeqProbeSet)(JNIEnv * env, jobject self, jint index) {                     \
    return ProbeSetMembers<File>::One(env, self, index, "GetCustomSeqProbeSet", "TeskCustomSeqProbeSet",            \
                                      CustomSeqSetOf<File>, FillCustomSeqProbeSet);                                 \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobjectArray, cls, GetCustomSeqProbeSets)(JNIEnv * env, jobject self) {                           \
    return ProbeSetMembers<File>::All<ITeskCustomSeqProbeSet>(env, self, "GetCustomSeqProbeSets",                   \
                                                              "TeskCustomSeqProbeSet",                              \
                                                              &File::GetCustomSeqProbeSets, FillCustomSeqProbeSet); \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobject, cls, GetCustomSeqComposite)(JNIEnv * env, jobject self) {                                \
    return ProbeSetMembers<File>::One(env, self, -1, "GetCustomSeqComposite", "TeskCustomSeqComposite",             \
                                      CompositeOf<File>, FillCustomSeqComposite);                                   \
  }                                                                                                                 \
  QUORBIND_NATIVE(jobject, cls, GetProbeSetType)(JNIEnv * env, jobject self, jint index) {                          \
    return ProbeSetMembers<File>::ProbeSetType(env, self, index);                                                   \
  }

#endif  // TESK_JAVA_SRC_PROBE_SET_SOURCE_H_
