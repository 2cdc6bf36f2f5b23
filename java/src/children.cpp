// Native methods of the probe-set views: each walks from the file object that produced it to its
// own automation object, then calls the member of the same name.
#include "probe_set_source.h"

using namespace quorbind;

namespace {

constexpr const char* kProbe = "Failed to create a probe object";

std::string MustCall(std::string_view op, const char* getter, const char* what) {
  return "Error - " + std::string(op) + ": Must call " + getter + " to get the " + what + " object.";
}
std::string MustHaveList(std::string_view op) {
  return "Error - " + std::string(op) + ": Must have a probe list object retrieved from the CHP or CDF object.";
}
std::string GroupNotReady(std::string_view op) {
  return "Error - " + std::string(op) + ": The group object has not been properly initialized.";
}

// The kinds of view: how one is walked to from its file object, and the error when no file object
// produced it.
#define QUORBIND_VIEW(name, walk, missing)                              \
  struct name {                                                         \
    static std::string Missing(std::string_view op) { return missing; } \
    template <class File>                                               \
    static auto Of(File* file, const Path& p, std::string_view op) {    \
      return walk(file, p, op);                                         \
    }                                                                   \
  };
QUORBIND_VIEW(ProbeSetView, ProbeSetOf, MustCall(op, "GetProbeSet", "probe set"))
QUORBIND_VIEW(ControlSetView, ControlSetOf, MustCall(op, "GetControlProbeSet", "probe set"))
QUORBIND_VIEW(GenotypeSetView, GenotypeSetOf, MustCall(op, "GetGenotypeProbeSet", "probe set"))
QUORBIND_VIEW(GenotypeGroupView, GenotypeGroupOf, GroupNotReady(op))
QUORBIND_VIEW(GenotypeListView, GenotypeListOf, MustHaveList(op))
QUORBIND_VIEW(CustomSeqSetView, CustomSeqSetOf, MustCall(op, "GetCustomSeqProbeSet", "probe set"))
QUORBIND_VIEW(CustomSeqGroupView, CustomSeqGroupOf, GroupNotReady(op))
QUORBIND_VIEW(CustomSeqListView, CustomSeqListOf, MustHaveList(op))
QUORBIND_VIEW(CompositeView, CompositeOf, MustCall(op, "GetCustomSeqComposite", "composite"))
#undef QUORBIND_VIEW

// Runs f with the automation object of the view at `p`, holding its file object's lock.
template <class View, class F>
auto WithView(JNIEnv* env, const Path& p, std::string_view op, F&& f) {
  return WithFile(env, p, op, View::Missing(op), [&](auto* file) {
    auto view = View::Of(file, p, op);
    return f(view.Get());
  });
}

// One item of the view `self`: a fresh automation object of the item's class, filled by `get` at
// index. An item that is itself a view keeps the path, with the member `keep` names set to index.
template <class View, class Item, class Child>
jobject ItemOf(JNIEnv* env, jobject self, jint index, std::string_view op, HRESULT (Child::*get)(LONG, Item*),
               const CLSID& clsid, const char* failure, const char* cls,
               void (*fill)(const Obj&, Item*, std::string_view), Vary keep = Vary::kNone) {
  return Entry<jobject>(env, [&] {
    Path p = GetPath(Obj(env, self));
    return WithView<View>(env, p, op, [&](Child* child) {
      auto item = NewChild<Item>(clsid, op, failure);
      CheckCom((child->*get)(index, item.Get()), op);
      SetVaried(p, keep, index);
      return NewFilled(env, cls, item.Get(), op, fill, keep == Vary::kNone ? nullptr : &p);
    });
  });
}

// Every item of the view `self`; items that are views get the path with the member `vary` names
// set to their position.
template <class View, class Item, class Child>
jobjectArray ItemsOf(JNIEnv* env, jobject self, std::string_view op, HRESULT (Child::*get)(VARIANT*),
                     const char* cls, void (*fill)(const Obj&, Item*, std::string_view), Vary vary = Vary::kNone) {
  return Entry<jobjectArray>(env, [&] {
    const Path p = GetPath(Obj(env, self));
    return WithView<View>(env, p, op, [&](Child* child) {
      tesk::Variant items;
      CheckCom((child->*get)(&items), op);
      return NewFilledArray<Item>(env, cls, items, op, fill, p, vary);
    });
  });
}

}  // namespace

// ---- TeskProbeSet ------------------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskProbeSet, GetProbePair)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<ProbeSetView>(env, self, index, "GetProbePair", &ITeskProbeSet::GetProbePair, CLSID_TeskProbePair,
                              "Failed to create instance of TeskProbePair", "TeskProbePair", FillProbePair);
}

QUORBIND_NATIVE(jobjectArray, TeskProbeSet, GetProbePairs)(JNIEnv* env, jobject self) {
  return ItemsOf<ProbeSetView>(env, self, "GetProbePairs", &ITeskProbeSet::GetProbePairs, "TeskProbePair",
                               FillProbePair);
}

QUORBIND_NATIVE(jobject, TeskProbeSet, GetQCProbe)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<ProbeSetView>(env, self, index, "GetQCProbe", &ITeskProbeSet::GetQCProbe, CLSID_TeskProbe, kProbe,
                              "TeskProbe", FillProbe);
}

QUORBIND_NATIVE(jobjectArray, TeskProbeSet, GetQCProbes)(JNIEnv* env, jobject self) {
  return ItemsOf<ProbeSetView>(env, self, "GetQCProbes", &ITeskProbeSet::GetQCProbes, "TeskProbe", FillProbe);
}

// ---- TeskControlProbeSet -----------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskControlProbeSet, GetQCProbe)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<ControlSetView>(env, self, index, "GetQCProbe", &ITeskControlProbeSet::GetQCProbe, CLSID_TeskProbe,
                                kProbe, "TeskProbe", FillProbe);
}

QUORBIND_NATIVE(jobjectArray, TeskControlProbeSet, GetQCProbes)(JNIEnv* env, jobject self) {
  return ItemsOf<ControlSetView>(env, self, "GetQCProbes", &ITeskControlProbeSet::GetQCProbes, "TeskProbe",
                                 FillProbe);
}

// ---- Genotyping views --------------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskGenotypeProbeSet, GetProbeGroupByIndex)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<GenotypeSetView>(env, self, index, "GetProbeGroupByIndex", &ITeskGenotypeProbeSet::GetProbeGroupByIndex,
                                 CLSID_TeskGenotypeProbeGroup, kNoGroup, "TeskGenotypeProbeGroup",
                                 FillGenotypeProbeGroup, Vary::kGroup);
}

QUORBIND_NATIVE(jobjectArray, TeskGenotypeProbeSet, GetProbeGroups)(JNIEnv* env, jobject self) {
  return ItemsOf<GenotypeSetView>(env, self, "GetProbeGroups", &ITeskGenotypeProbeSet::GetProbeGroups,
                                  "TeskGenotypeProbeGroup", FillGenotypeProbeGroup, Vary::kGroup);
}

QUORBIND_NATIVE(jobject, TeskGenotypeProbeGroup, GetProbeListByIndex)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<GenotypeGroupView>(env, self, index, "GetProbeListByIndex",
                                   &ITeskGenotypeProbeGroup::GetProbeListByIndex, CLSID_TeskGenotypeProbeList, kNoList,
                                   "TeskGenotypeProbeList", FillGenotypeProbeList, Vary::kList);
}

QUORBIND_NATIVE(jobjectArray, TeskGenotypeProbeGroup, GetProbeLists)(JNIEnv* env, jobject self) {
  return ItemsOf<GenotypeGroupView>(env, self, "GetProbeLists", &ITeskGenotypeProbeGroup::GetProbeLists,
                                    "TeskGenotypeProbeList", FillGenotypeProbeList, Vary::kList);
}

QUORBIND_NATIVE(jobject, TeskGenotypeProbeList, GetProbeByIndex)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<GenotypeListView>(env, self, index, "GetProbeByIndex", &ITeskGenotypeProbeList::GetProbeByIndex,
                                  CLSID_TeskProbe, kProbe, "TeskProbe", FillProbe);
}

QUORBIND_NATIVE(jobjectArray, TeskGenotypeProbeList, GetProbes)(JNIEnv* env, jobject self) {
  return ItemsOf<GenotypeListView>(env, self, "GetProbes", &ITeskGenotypeProbeList::GetProbes, "TeskProbe",
                                   FillProbe);
}

// ---- Custom-sequence views ---------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeSet, GetProbeGroupByIndex)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<CustomSeqSetView>(env, self, index, "GetProbeGroupByIndex",
                                  &ITeskCustomSeqProbeSet::GetProbeGroupByIndex, CLSID_TeskCustomSeqProbeGroup,
                                  kNoGroup, "TeskCustomSeqProbeGroup", FillCustomSeqProbeGroup, Vary::kGroup);
}

QUORBIND_NATIVE(jobjectArray, TeskCustomSeqProbeSet, GetProbeGroups)(JNIEnv* env, jobject self) {
  return ItemsOf<CustomSeqSetView>(env, self, "GetProbeGroups", &ITeskCustomSeqProbeSet::GetProbeGroups,
                                   "TeskCustomSeqProbeGroup", FillCustomSeqProbeGroup, Vary::kGroup);
}

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeSet, GetProbeListByReferenceIndex)(JNIEnv* env, jobject self,
                                                                             jint index) {
  return ItemOf<CustomSeqSetView>(env, self, index, "GetProbeListByReferenceIndex",
                                  &ITeskCustomSeqProbeSet::GetProbeListByReferenceIndex, CLSID_TeskCustomSeqProbeList,
                                  kNoList, "TeskCustomSeqProbeList", FillCustomSeqProbeList, Vary::kReference);
}

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeGroup, GetProbeListByIndex)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<CustomSeqGroupView>(env, self, index, "GetProbeListByIndex",
                                    &ITeskCustomSeqProbeGroup::GetProbeListByIndex, CLSID_TeskCustomSeqProbeList,
                                    kNoList, "TeskCustomSeqProbeList", FillCustomSeqProbeList, Vary::kList);
}

QUORBIND_NATIVE(jobjectArray, TeskCustomSeqProbeGroup, GetProbeLists)(JNIEnv* env, jobject self) {
  return ItemsOf<CustomSeqGroupView>(env, self, "GetProbeLists", &ITeskCustomSeqProbeGroup::GetProbeLists,
                                     "TeskCustomSeqProbeList", FillCustomSeqProbeList, Vary::kList);
}

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeList, GetProbeByIndex)(JNIEnv* env, jobject self, jint index) {
  return ItemOf<CustomSeqListView>(env, self, index, "GetProbeByIndex", &ITeskCustomSeqProbeList::GetProbeByIndex,
                                   CLSID_TeskProbe, kProbe, "TeskProbe", FillProbe);
}

QUORBIND_NATIVE(jobjectArray, TeskCustomSeqProbeList, GetProbes)(JNIEnv* env, jobject self) {
  return ItemsOf<CustomSeqListView>(env, self, "GetProbes", &ITeskCustomSeqProbeList::GetProbes, "TeskProbe",
                                    FillProbe);
}

// ---- TeskCustomSeqComposite --------------------------------------------------------------

namespace {

// Runs f with the composite of the file object that produced the Java composite.
template <class F>
auto WithComposite(JNIEnv* env, jobject self, std::string_view op, F&& f) {
  return WithView<CompositeView>(env, GetPath(Obj(env, self)), op, std::forward<F>(f));
}

// A string that `get(composite, &text)` answers.
template <class Get>
jstring CompositeText(JNIEnv* env, jobject self, std::string_view op, Get&& get) {
  return Entry<jstring>(env, [&] {
    return WithComposite(env, self, op, [&](ITeskCustomSeqComposite* c) {
      tesk::Bstr b;
      CheckCom(get(c, &b), op);
      return ToJava(env, b.Get());
    });
  });
}

}  // namespace

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetBaseCall)(JNIEnv* env, jobject self, jint index) {
  return CompositeText(env, self, "GetBaseCall", [&](auto* c, BSTR* b) { return c->GetBaseCall(index, b); });
}

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetBaseCalls)(JNIEnv* env, jobject self) {
  return CompositeText(env, self, "GetBaseCalls", [&](auto* c, BSTR* b) { return c->GetBaseCalls(b); });
}

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetReferenceBase)(JNIEnv* env, jobject self, jint index) {
  return CompositeText(env, self, "GetReferenceBase", [&](auto* c, BSTR* b) { return c->GetReferenceBase(index, b); });
}

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetReferenceBases)(JNIEnv* env, jobject self) {
  return CompositeText(env, self, "GetReferenceBases", [&](auto* c, BSTR* b) { return c->GetReferenceBases(b); });
}

QUORBIND_NATIVE(jfloat, TeskCustomSeqComposite, GetBaseCallScore)(JNIEnv* env, jobject self, jint index) {
  return Entry<jfloat>(env, [&] {
    constexpr std::string_view op = "GetBaseCallScore";
    return WithComposite(env, self, op, [&](ITeskCustomSeqComposite* c) {
      FLOAT v = 0;
      CheckCom(c->GetBaseCallScore(index, &v), op);
      return v;
    });
  });
}

QUORBIND_NATIVE(jfloatArray, TeskCustomSeqComposite, GetBaseCallScores)(JNIEnv* env, jobject self) {
  return Entry<jfloatArray>(env, [&] {
    constexpr std::string_view op = "GetBaseCallScores";
    return WithComposite(env, self, op, [&](ITeskCustomSeqComposite* c) {
      tesk::Variant scores;
      CheckCom(c->GetBaseCallScores(&scores), op);
      LONG lower = 0, upper = -1;
      if (scores.vt != VT_EMPTY && scores.vt != (VT_ARRAY | VT_R4))
        Throw(std::string(op) + ": the composite answered an array of another type");
      SAFEARRAY* a = scores.vt == VT_EMPTY ? nullptr : scores.parray;
      if (a != nullptr) {
        CheckCom(SafeArrayGetLBound(a, 1, &lower), op);
        CheckCom(SafeArrayGetUBound(a, 1, &upper), op);
      }
      const jsize n = upper - lower + 1;
      jfloatArray array = Allocated(env, env->NewFloatArray(n), op);
      for (jsize i = 0; i < n; ++i) {
        LONG at = lower + i;
        FLOAT v = 0;
        CheckCom(SafeArrayGetElement(a, &at, &v), op);
        env->SetFloatArrayRegion(array, i, 1, &v);
      }
      return array;
    });
  });
}
