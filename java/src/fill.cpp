#include "fill.h"

namespace quorbind {
namespace {

bool Has(const Obj& o, const char* field, const char* sig) {
  jclass c = o.env()->GetObjectClass(o.get());
  jfieldID id = o.env()->GetFieldID(c, field, sig);
  o.env()->DeleteLocalRef(c);
  if (id == nullptr) o.env()->ExceptionClear();
  return id != nullptr;
}

// Bounds of a one-dimensional array; an empty or missing array gives 0 elements.
LONG Count(SAFEARRAY* a, LONG* lower) {
  *lower = 0;
  if (a == nullptr) return 0;
  LONG upper = -1;
  if (FAILED(SafeArrayGetLBound(a, 1, lower)) || FAILED(SafeArrayGetUBound(a, 1, &upper))) return 0;
  return upper - *lower + 1;
}

}  // namespace

void SetPath(const Obj& child, const Path& path) {
  child.SetObject("m_owner", "Ljava/lang/Object;", path.owner);
  if (Has(child, "m_nIndex", "I")) child.SetInt("m_nIndex", path.index);
  if (Has(child, "m_nGroup", "I")) child.SetInt("m_nGroup", path.group);
  if (Has(child, "m_nList", "I")) child.SetInt("m_nList", path.list);
  if (Has(child, "m_nReference", "I")) child.SetInt("m_nReference", path.reference);
}

Path GetPath(const Obj& child) {
  Path p;
  p.owner = child.Object("m_owner", "Ljava/lang/Object;");
  if (Has(child, "m_nIndex", "I")) p.index = child.Int("m_nIndex");
  if (Has(child, "m_nGroup", "I")) p.group = child.Int("m_nGroup");
  if (Has(child, "m_nList", "I")) p.list = child.Int("m_nList");
  if (Has(child, "m_nReference", "I")) p.reference = child.Int("m_nReference");
  return p;
}

void FillProbe(const Obj& to, ITeskProbe* from, std::string_view op) {
  using I = ITeskProbe;
  From<I> f(to, from, op);
  f.Long("PosX", &I::get_PosX);
  f.Long("PosY", &I::get_PosY);
  f.Float("Intensity", &I::get_Intensity);
  f.Long("Pixels", &I::get_Pixels);
  f.Float("StdDev", &I::get_StdDev);
  f.Long("Outlier", &I::get_Outlier);
  f.Long("Masked", &I::get_Masked);
  f.Float("Background", &I::get_Background);
  f.Enum("ProbeType", "TARVEX_PROBE_TYPE", &I::get_ProbeType);
  f.Str("PBase", &I::get_PBase);
  f.Str("TBase", &I::get_TBase);
}

void FillProbePair(const Obj& to, ITeskProbePair* from, std::string_view op) {
  using I = ITeskProbePair;
  From<I> f(to, from, op);
  f.Long("ProbeSetNumber", &I::get_ProbeSetNumber);
  f.Long("ProbePairNumber", &I::get_ProbePairNumber);
  f.Enum("UseProbePair", "TARVEX_PROBEPAIR_USAGE_TYPE", &I::get_UseProbePair);
  f.Float("Background", &I::get_Background);
  f.Long("PMPosX", &I::get_PMPosX);
  f.Long("PMPosY", &I::get_PMPosY);
  f.Float("PMIntensity", &I::get_PMIntensity);
  f.Float("PMStdDev", &I::get_PMStdDev);
  f.Long("PMPixels", &I::get_PMPixels);
  f.Long("PMOutlier", &I::get_PMOutlier);
  f.Long("PMMasked", &I::get_PMMasked);
  f.Long("MMPosX", &I::get_MMPosX);
  f.Long("MMPosY", &I::get_MMPosY);
  f.Float("MMIntensity", &I::get_MMIntensity);
  f.Float("MMStdDev", &I::get_MMStdDev);
  f.Long("MMPixels", &I::get_MMPixels);
  f.Long("MMOutlier", &I::get_MMOutlier);
  f.Long("MMMasked", &I::get_MMMasked);
}

void FillProbeSet(const Obj& to, ITeskProbeSet* from, std::string_view op) {
  using I = ITeskProbeSet;
  From<I> f(to, from, op);
  f.Str("Name", &I::get_Name);
  f.Long("CompDataExists", &I::get_CompDataExists);
  f.Long("NumPairs", &I::get_NumPairs);
  f.Long("NumPairsUsed", &I::get_NumPairsUsed);
  f.Float("Signal", &I::get_Signal);
  f.Enum("Detection", "TARVEX_ABS_CALL_TYPE", &I::get_Detection);
  f.Float("DetectionPValue", &I::get_DetectionPValue);
  f.Long("CommonPairs", &I::get_CommonPairs);
  f.Float("SignalLogRatio", &I::get_SignalLogRatio);
  f.Float("SignalLogRatioLow", &I::get_SignalLogRatioLow);
  f.Float("SignalLogRatioHigh", &I::get_SignalLogRatioHigh);
  f.Enum("Change", "TARVEX_COMP_CALL_TYPE", &I::get_Change);
  f.Float("ChangePValue", &I::get_ChangePValue);
  f.Long("Positive", &I::get_Positive);
  f.Long("Negative", &I::get_Negative);
  f.Long("NumPairsUsedInAvgDiff", &I::get_NumPairsUsedInAvgDiff);
  f.Float("PositiveFraction", &I::get_PositiveFraction);
  f.Float("LogAverage", &I::get_LogAverage);
  f.Float("PosNegRatio", &I::get_PosNegRatio);
  f.Float("AverageDifference", &I::get_AverageDifference);
  f.Enum("AbsoluteCall", "TARVEX_ABS_CALL_TYPE", &I::get_AbsoluteCall);
  f.Long("Increase", &I::get_Increase);
  f.Long("Decrease", &I::get_Decrease);
  f.Float("IncreaseRatio", &I::get_IncreaseRatio);
  f.Float("DecreaseRatio", &I::get_DecreaseRatio);
  f.Long("PositiveChange", &I::get_PositiveChange);
  f.Long("NegativeChange", &I::get_NegativeChange);
  f.Float("IncDecRatio", &I::get_IncDecRatio);
  f.Float("DPosDNegDiffRatio", &I::get_DPosDNegDiffRatio);
  f.Float("LogAvgRatioChange", &I::get_LogAvgRatioChange);
  f.Float("AvgDiffChange", &I::get_AvgDiffChange);
  f.Long("BaselineIsAbsent", &I::get_BaselineIsAbsent);
  f.Float("FoldChange", &I::get_FoldChange);
  f.Float("SortScore", &I::get_SortScore);
  f.Enum("DifferenceCall", "TARVEX_COMP_CALL_TYPE", &I::get_DifferenceCall);
  f.Long("NumQCProbes", &I::get_NumQCProbes);
  f.Enum("QCType", "TARVEX_QC_PROBESET_TYPE", &I::get_QCType);
  f.Enum("ProbeSetType", "TARVEX_PROBESET_TYPE", &I::get_ProbeSetType);
}

void FillControlProbeSet(const Obj& to, ITeskControlProbeSet* from, std::string_view op) {
  using I = ITeskControlProbeSet;
  From<I> f(to, from, op);
  f.Long("NumQCProbes", &I::get_NumQCProbes);
  f.Enum("QCType", "TARVEX_QC_PROBESET_TYPE", &I::get_QCType);
  f.Enum("ProbeSetType", "TARVEX_PROBESET_TYPE", &I::get_ProbeSetType);
}

void FillGenotypeProbeSet(const Obj& to, ITeskGenotypeProbeSet* from, std::string_view op) {
  using I = ITeskGenotypeProbeSet;
  From<I> f(to, from, op);
  f.Str("SNPID", &I::get_SNPID);
  f.Long("NumGroups", &I::get_NumGroups);
  f.Enum("ProbeSetType", "TARVEX_PROBESET_TYPE", &I::get_ProbeSetType);
  f.Enum("Call", "TARVEX_GENOTYPE_RESULT_TYPE", &I::get_Call);
  f.Float("Confidence", &I::get_Confidence);
  f.Float("RAS1", &I::get_RAS1);
  f.Float("RAS2", &I::get_RAS2);
  f.Float("AA_PValue", &I::get_AA_PValue);
  f.Float("AB_PValue", &I::get_AB_PValue);
  f.Float("BB_PValue", &I::get_BB_PValue);
  f.Float("NoCall_PValue", &I::get_NoCall_PValue);
}

void FillGenotypeProbeGroup(const Obj& to, ITeskGenotypeProbeGroup* from, std::string_view op) {
  using I = ITeskGenotypeProbeGroup;
  From<I> f(to, from, op);
  f.Long("GroupIndex", &I::get_GroupIndex);
  f.Long("NumLists", &I::get_NumLists);
  f.Enum("Direction", "TARVEX_STRAND_DIRECTION_TYPE", &I::get_Direction);
}

void FillGenotypeProbeList(const Obj& to, ITeskGenotypeProbeList* from, std::string_view op) {
  using I = ITeskGenotypeProbeList;
  From<I> f(to, from, op);
  f.Long("ListIndex", &I::get_ListIndex);
  f.Long("NumProbes", &I::get_NumProbes);
}

void FillCustomSeqProbeSet(const Obj& to, ITeskCustomSeqProbeSet* from, std::string_view op) {
  using I = ITeskCustomSeqProbeSet;
  From<I> f(to, from, op);
  f.Long("NumGroups", &I::get_NumGroups);
  f.Enum("ProbeSetType", "TARVEX_PROBESET_TYPE", &I::get_ProbeSetType);
}

void FillCustomSeqProbeGroup(const Obj& to, ITeskCustomSeqProbeGroup* from, std::string_view op) {
  using I = ITeskCustomSeqProbeGroup;
  From<I> f(to, from, op);
  f.Long("GroupIndex", &I::get_GroupIndex);
  f.Long("NumLists", &I::get_NumLists);
  f.Str("Name", &I::get_Name);
}

void FillCustomSeqProbeList(const Obj& to, ITeskCustomSeqProbeList* from, std::string_view op) {
  using I = ITeskCustomSeqProbeList;
  From<I> f(to, from, op);
  f.Long("ListIndex", &I::get_ListIndex);
  f.Long("NumProbes", &I::get_NumProbes);
  f.Long("ReferenceIndex", &I::get_ReferenceIndex);
  f.Long("SequencePosition", &I::get_SequencePosition);
  f.Long("GroupIndex", &I::get_GroupIndex);
}

void FillCustomSeqComposite(const Obj& to, ITeskCustomSeqComposite* from, std::string_view op) {
  From<ITeskCustomSeqComposite>(to, from, op).Long("NumBases", &ITeskCustomSeqComposite::get_NumBases);
}

void FillSequenceItem(const Obj& to, ITeskSequenceItem* from, std::string_view op) {
  using I = ITeskSequenceItem;
  From<I> f(to, from, op);
  f.Str("Name", &I::get_Name);
  f.Long("Number", &I::get_Number);
  f.Long("NumberHits", &I::get_NumberHits);
  f.Str("GroupName", &I::get_GroupName);
  f.Str("Version", &I::get_Version);
  f.Long("NumberParameters", &I::get_NumberParameters);
}

void FillSequenceHitItem(const Obj& to, ITeskSequenceHitItem* from, std::string_view op) {
  using I = ITeskSequenceHitItem;
  From<I> f(to, from, op);
  f.Long("PMPosX", &I::get_PMPosX);
  f.Long("PMPosY", &I::get_PMPosY);
  f.Long("MMPosX", &I::get_MMPosX);
  f.Long("MMPosY", &I::get_MMPosY);
  char length = 0;
  CheckCom(from->get_ProbeLength(&length), op);
  to.SetInt("ProbeLength", static_cast<unsigned char>(length));
  f.Str("PMProbe", &I::get_PMProbe);
  f.Float("MatchScore", &I::get_MatchScore);
  f.Long("Position", &I::get_Position);
  f.Long("TopStrand", &I::get_TopStrand);
}

void FillSequenceResultItem(const Obj& to, ITeskSequenceResultItem* from, std::string_view op) {
  using I = ITeskSequenceResultItem;
  From<I> f(to, from, op);
  f.Str("Name", &I::get_Name);
  f.Str("Version", &I::get_Version);
  f.Long("NumberDataPoints", &I::get_NumberDataPoints);
  f.Long("NumberColumns", &I::get_NumberColumns);
}

template <class I>
jobjectArray NewFilledArray(JNIEnv* env, const char* cls, const VARIANT& items, std::string_view op,
                            void (*fill)(const Obj&, I*, std::string_view), Path path, Vary vary) {
  LONG lower = 0;
  const LONG n = items.vt == (VT_ARRAY | VT_DISPATCH) ? Count(items.parray, &lower) : 0;
  jobjectArray array = NewArray(env, cls, n, op);
  for (LONG i = 0; i < n; ++i) {
    LONG at = lower + i;
    IDispatch* item = nullptr;
    CheckCom(SafeArrayGetElement(items.parray, &at, &item), op);
    tesk::ComPtr<IDispatch> owned;
    *&owned = item;  // SafeArrayGetElement added a reference
    tesk::ComPtr<I> typed;
    CheckCom(owned.As(typed), op);
    switch (vary) {
      case Vary::kIndex: path.index = i; break;
      case Vary::kGroup: path.group = i; break;
      case Vary::kList: path.list = i; break;
      case Vary::kNone: break;
    }
    jobject o = NewFilled(env, cls, typed.Get(), op, fill, vary == Vary::kNone ? nullptr : &path);
    env->SetObjectArrayElement(array, i, o);
    env->DeleteLocalRef(o);
    CheckJava(env);
  }
  return array;
}

#define QUORBIND_ARRAY(I)                                                                          \
  template jobjectArray NewFilledArray<I>(JNIEnv*, const char*, const VARIANT&, std::string_view, \
                                          void (*)(const Obj&, I*, std::string_view), Path, Vary);
QUORBIND_ARRAY(ITeskProbe)
QUORBIND_ARRAY(ITeskProbePair)
QUORBIND_ARRAY(ITeskProbeSet)
QUORBIND_ARRAY(ITeskControlProbeSet)
QUORBIND_ARRAY(ITeskGenotypeProbeSet)
QUORBIND_ARRAY(ITeskGenotypeProbeGroup)
QUORBIND_ARRAY(ITeskGenotypeProbeList)
QUORBIND_ARRAY(ITeskCustomSeqProbeSet)
QUORBIND_ARRAY(ITeskCustomSeqProbeGroup)
QUORBIND_ARRAY(ITeskCustomSeqProbeList)
#undef QUORBIND_ARRAY

jobject NewParameter(JNIEnv* env, BSTR param, BSTR value, std::string_view op) {
  jobject o = NewJava(env, "TeskParameterValueClass", op);
  Obj to(env, o);
  to.SetStr("Param", param);
  to.SetStr("Value", value);
  return o;
}

jobjectArray NewParameters(JNIEnv* env, SAFEARRAY* params, SAFEARRAY* values, std::string_view op) {
  LONG lower = 0, value_lower = 0;
  const LONG n = Count(params, &lower);
  if (Count(values, &value_lower) != n) Throw(std::string(op) + ": names and values differ in number");
  jobjectArray array = NewArray(env, "TeskParameterValueClass", n, op);
  for (LONG i = 0; i < n; ++i) {
    LONG p = lower + i, v = value_lower + i;
    tesk::Bstr name, value;
    CheckCom(SafeArrayGetElement(params, &p, &name), op);
    CheckCom(SafeArrayGetElement(values, &v, &value), op);
    jobject o = NewParameter(env, name.Get(), value.Get(), op);
    env->SetObjectArrayElement(array, i, o);
    env->DeleteLocalRef(o);
    CheckJava(env);
  }
  return array;
}

}  // namespace quorbind
