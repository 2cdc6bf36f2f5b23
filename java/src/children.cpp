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

// One item of a child: a fresh automation object of the item's class, filled by `get` at index.
template <class Item, class Child>
jobject ItemOf(JNIEnv* env, Child* child, const CLSID& clsid, const char* failure, std::string_view op,
               HRESULT (Child::*get)(LONG, Item*), jint index, const char* cls,
               void (*fill)(const Obj&, Item*, std::string_view), const Path* path = nullptr) {
  auto item = NewChild<Item>(clsid, op, failure);
  CheckCom((child->*get)(index, item.Get()), op);
  return NewFilled(env, cls, item.Get(), op, fill, path);
}

template <class Item, class Child>
jobjectArray ItemsOf(JNIEnv* env, Child* child, std::string_view op, HRESULT (Child::*get)(VARIANT*),
                     const char* cls, void (*fill)(const Obj&, Item*, std::string_view), const Path& path = {},
                     Vary vary = Vary::kNone) {
  tesk::Variant items;
  CheckCom((child->*get)(&items), op);
  return NewFilledArray<Item>(env, cls, items, op, fill, path, vary);
}

}  // namespace

// ---- TeskProbeSet ------------------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskProbeSet, GetProbePair)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbePair";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetProbeSet", "probe set"), [&](auto* file) {
      auto set = ProbeSetOf(file, p, op);
      return ItemOf<ITeskProbePair>(env, set.Get(), CLSID_TeskProbePair, "Failed to create instance of TeskProbePair",
                                    op, &ITeskProbeSet::GetProbePair, index, "TeskProbePair", FillProbePair);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskProbeSet, GetProbePairs)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbePairs";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetProbeSet", "probe set"), [&](auto* file) {
      auto set = ProbeSetOf(file, p, op);
      return ItemsOf<ITeskProbePair>(env, set.Get(), op, &ITeskProbeSet::GetProbePairs, "TeskProbePair",
                                     FillProbePair);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskProbeSet, GetQCProbe)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetQCProbe";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetProbeSet", "probe set"), [&](auto* file) {
      auto set = ProbeSetOf(file, p, op);
      return ItemOf<ITeskProbe>(env, set.Get(), CLSID_TeskProbe, kProbe, op, &ITeskProbeSet::GetQCProbe, index,
                                "TeskProbe", FillProbe);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskProbeSet, GetQCProbes)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetQCProbes";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetProbeSet", "probe set"), [&](auto* file) {
      auto set = ProbeSetOf(file, p, op);
      return ItemsOf<ITeskProbe>(env, set.Get(), op, &ITeskProbeSet::GetQCProbes, "TeskProbe", FillProbe);
    });
  });
}

// ---- TeskControlProbeSet -----------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskControlProbeSet, GetQCProbe)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetQCProbe";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetControlProbeSet", "probe set"), [&](auto* file) {
      auto set = ControlSetOf(file, p, op);
      return ItemOf<ITeskProbe>(env, set.Get(), CLSID_TeskProbe, kProbe, op, &ITeskControlProbeSet::GetQCProbe,
                                index, "TeskProbe", FillProbe);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskControlProbeSet, GetQCProbes)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetQCProbes";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetControlProbeSet", "probe set"), [&](auto* file) {
      auto set = ControlSetOf(file, p, op);
      return ItemsOf<ITeskProbe>(env, set.Get(), op, &ITeskControlProbeSet::GetQCProbes, "TeskProbe", FillProbe);
    });
  });
}

// ---- Genotyping views --------------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskGenotypeProbeSet, GetProbeGroupByIndex)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeGroupByIndex";
    Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetGenotypeProbeSet", "probe set"), [&](auto* file) {
      auto set = GenotypeSetOf(file, p, op);
      p.group = index;
      return ItemOf<ITeskGenotypeProbeGroup>(env, set.Get(), CLSID_TeskGenotypeProbeGroup, kNoGroup, op,
                                             &ITeskGenotypeProbeSet::GetProbeGroupByIndex, index,
                                             "TeskGenotypeProbeGroup", FillGenotypeProbeGroup, &p);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskGenotypeProbeSet, GetProbeGroups)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbeGroups";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetGenotypeProbeSet", "probe set"), [&](auto* file) {
      auto set = GenotypeSetOf(file, p, op);
      return ItemsOf<ITeskGenotypeProbeGroup>(env, set.Get(), op, &ITeskGenotypeProbeSet::GetProbeGroups,
                                              "TeskGenotypeProbeGroup", FillGenotypeProbeGroup, p, Vary::kGroup);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskGenotypeProbeGroup, GetProbeListByIndex)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeListByIndex";
    Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, GroupNotReady(op), [&](auto* file) {
      auto group = GenotypeGroupOf(file, p, op);
      p.list = index;
      return ItemOf<ITeskGenotypeProbeList>(env, group.Get(), CLSID_TeskGenotypeProbeList, kNoList, op,
                                            &ITeskGenotypeProbeGroup::GetProbeListByIndex, index,
                                            "TeskGenotypeProbeList", FillGenotypeProbeList, &p);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskGenotypeProbeGroup, GetProbeLists)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbeLists";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, GroupNotReady(op), [&](auto* file) {
      auto group = GenotypeGroupOf(file, p, op);
      return ItemsOf<ITeskGenotypeProbeList>(env, group.Get(), op, &ITeskGenotypeProbeGroup::GetProbeLists,
                                             "TeskGenotypeProbeList", FillGenotypeProbeList, p, Vary::kList);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskGenotypeProbeList, GetProbeByIndex)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeByIndex";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustHaveList(op), [&](auto* file) {
      auto list = GenotypeListOf(file, p, op);
      return ItemOf<ITeskProbe>(env, list.Get(), CLSID_TeskProbe, kProbe, op, &ITeskGenotypeProbeList::GetProbeByIndex,
                                index, "TeskProbe", FillProbe);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskGenotypeProbeList, GetProbes)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbes";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustHaveList(op), [&](auto* file) {
      auto list = GenotypeListOf(file, p, op);
      return ItemsOf<ITeskProbe>(env, list.Get(), op, &ITeskGenotypeProbeList::GetProbes, "TeskProbe", FillProbe);
    });
  });
}

// ---- Custom-sequence views ---------------------------------------------------------------

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeSet, GetProbeGroupByIndex)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeGroupByIndex";
    Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetCustomSeqProbeSet", "probe set"), [&](auto* file) {
      auto set = CustomSeqSetOf(file, p, op);
      p.group = index;
      return ItemOf<ITeskCustomSeqProbeGroup>(env, set.Get(), CLSID_TeskCustomSeqProbeGroup, kNoGroup, op,
                                              &ITeskCustomSeqProbeSet::GetProbeGroupByIndex, index,
                                              "TeskCustomSeqProbeGroup", FillCustomSeqProbeGroup, &p);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskCustomSeqProbeSet, GetProbeGroups)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbeGroups";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetCustomSeqProbeSet", "probe set"), [&](auto* file) {
      auto set = CustomSeqSetOf(file, p, op);
      return ItemsOf<ITeskCustomSeqProbeGroup>(env, set.Get(), op, &ITeskCustomSeqProbeSet::GetProbeGroups,
                                               "TeskCustomSeqProbeGroup", FillCustomSeqProbeGroup, p, Vary::kGroup);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeSet, GetProbeListByReferenceIndex)(JNIEnv* env, jobject self,
                                                                             jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeListByReferenceIndex";
    Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustCall(op, "GetCustomSeqProbeSet", "probe set"), [&](auto* file) {
      auto set = CustomSeqSetOf(file, p, op);
      p.reference = index;
      return ItemOf<ITeskCustomSeqProbeList>(env, set.Get(), CLSID_TeskCustomSeqProbeList, kNoList, op,
                                             &ITeskCustomSeqProbeSet::GetProbeListByReferenceIndex, index,
                                             "TeskCustomSeqProbeList", FillCustomSeqProbeList, &p);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeGroup, GetProbeListByIndex)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeListByIndex";
    Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, GroupNotReady(op), [&](auto* file) {
      auto group = CustomSeqGroupOf(file, p, op);
      p.list = index;
      return ItemOf<ITeskCustomSeqProbeList>(env, group.Get(), CLSID_TeskCustomSeqProbeList, kNoList, op,
                                             &ITeskCustomSeqProbeGroup::GetProbeListByIndex, index,
                                             "TeskCustomSeqProbeList", FillCustomSeqProbeList, &p);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskCustomSeqProbeGroup, GetProbeLists)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbeLists";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, GroupNotReady(op), [&](auto* file) {
      auto group = CustomSeqGroupOf(file, p, op);
      return ItemsOf<ITeskCustomSeqProbeList>(env, group.Get(), op, &ITeskCustomSeqProbeGroup::GetProbeLists,
                                              "TeskCustomSeqProbeList", FillCustomSeqProbeList, p, Vary::kList);
    });
  });
}

QUORBIND_NATIVE(jobject, TeskCustomSeqProbeList, GetProbeByIndex)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] {
    constexpr std::string_view op = "GetProbeByIndex";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustHaveList(op), [&](auto* file) {
      auto list = CustomSeqListOf(file, p, op);
      return ItemOf<ITeskProbe>(env, list.Get(), CLSID_TeskProbe, kProbe, op,
                                &ITeskCustomSeqProbeList::GetProbeByIndex, index, "TeskProbe", FillProbe);
    });
  });
}

QUORBIND_NATIVE(jobjectArray, TeskCustomSeqProbeList, GetProbes)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbes";
    const Path p = GetPath(Obj(env, self));
    return WithFile(env, p, op, MustHaveList(op), [&](auto* file) {
      auto list = CustomSeqListOf(file, p, op);
      return ItemsOf<ITeskProbe>(env, list.Get(), op, &ITeskCustomSeqProbeList::GetProbes, "TeskProbe", FillProbe);
    });
  });
}

// ---- TeskCustomSeqComposite --------------------------------------------------------------

namespace {

// Runs f with the composite of the file object that produced the Java composite.
template <class F>
auto WithComposite(JNIEnv* env, jobject self, std::string_view op, F&& f) {
  const Path p = GetPath(Obj(env, self));
  return WithFile(env, p, op, MustCall(op, "GetCustomSeqComposite", "composite"), [&](auto* file) {
    auto composite = CompositeOf(file, p, op);
    return f(composite.Get());
  });
}

jstring CompositeText(JNIEnv* env, jobject self, std::string_view op,
                      HRESULT (ITeskCustomSeqComposite::*get)(LONG, BSTR*), jint index) {
  return WithComposite(env, self, op, [&](ITeskCustomSeqComposite* c) {
    tesk::Bstr b;
    CheckCom((c->*get)(index, &b), op);
    return ToJava(env, b.Get());
  });
}

jstring CompositeTexts(JNIEnv* env, jobject self, std::string_view op,
                       HRESULT (ITeskCustomSeqComposite::*get)(BSTR*)) {
  return WithComposite(env, self, op, [&](ITeskCustomSeqComposite* c) {
    tesk::Bstr b;
    CheckCom((c->*get)(&b), op);
    return ToJava(env, b.Get());
  });
}

}  // namespace

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetBaseCall)(JNIEnv* env, jobject self, jint index) {
  return Entry<jstring>(env, [&] {
    return CompositeText(env, self, "GetBaseCall", &ITeskCustomSeqComposite::GetBaseCall, index);
  });
}

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetBaseCalls)(JNIEnv* env, jobject self) {
  return Entry<jstring>(env, [&] {
    return CompositeTexts(env, self, "GetBaseCalls", &ITeskCustomSeqComposite::GetBaseCalls);
  });
}

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetReferenceBase)(JNIEnv* env, jobject self, jint index) {
  return Entry<jstring>(env, [&] {
    return CompositeText(env, self, "GetReferenceBase", &ITeskCustomSeqComposite::GetReferenceBase, index);
  });
}

QUORBIND_NATIVE(jstring, TeskCustomSeqComposite, GetReferenceBases)(JNIEnv* env, jobject self) {
  return Entry<jstring>(env, [&] {
    return CompositeTexts(env, self, "GetReferenceBases", &ITeskCustomSeqComposite::GetReferenceBases);
  });
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
      jfloatArray array = env->NewFloatArray(n);
      if (array == nullptr) {
        env->ExceptionClear();
        Throw(std::string(op) + ": Failed to allocate memory");
      }
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
