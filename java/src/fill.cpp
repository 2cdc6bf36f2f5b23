#include "fill.h"

namespace quorbind {
namespace {

// Bounds of a one-dimensional array; an empty or missing array gives 0 elements.
LONG Count(SAFEARRAY* a, LONG* lower) {
  *lower = 0;
  if (a == nullptr) return 0;
  LONG upper = -1;
  if (FAILED(SafeArrayGetLBound(a, 1, lower)) || FAILED(SafeArrayGetUBound(a, 1, &upper))) return 0;
  return upper - *lower + 1;
}

}  // namespace

// Every child class keeps the whole path (its base class holds it).
void SetPath(const Obj& child, const Path& path) {
  child.SetObject("m_owner", "Ljava/lang/Object;", path.owner);
  child.SetInt("m_nIndex", path.index);
  child.SetInt("m_nGroup", path.group);
  child.SetInt("m_nList", path.list);
  child.SetInt("m_nReference", path.reference);
}

Path GetPath(const Obj& child) {
  Path p;
  p.owner = child.Object("m_owner", "Ljava/lang/Object;");
  p.index = child.Int("m_nIndex");
  p.group = child.Int("m_nGroup");
  p.list = child.Int("m_nList");
  p.reference = child.Int("m_nReference");
  return p;
}

void FillProbe(const Obj& to, ITeskProbe* from, std::string_view op) {
  using I = ITeskProbe;
  FillFields(to, from, op, QUORBIND_FIELD(PosX), QUORBIND_FIELD(PosY), QUORBIND_FIELD(Intensity),
             QUORBIND_FIELD(Pixels), QUORBIND_FIELD(StdDev), QUORBIND_FIELD(Outlier), QUORBIND_FIELD(Masked),
             QUORBIND_FIELD(Background), QUORBIND_ENUM_FIELD(ProbeType, TARVEX_PROBE_TYPE), QUORBIND_FIELD(PBase),
             QUORBIND_FIELD(TBase));
}

void FillProbePair(const Obj& to, ITeskProbePair* from, std::string_view op) {
  using I = ITeskProbePair;
  FillFields(to, from, op, QUORBIND_FIELD(ProbeSetNumber), QUORBIND_FIELD(ProbePairNumber),
             QUORBIND_ENUM_FIELD(UseProbePair, TARVEX_PROBEPAIR_USAGE_TYPE), QUORBIND_FIELD(Background),
             QUORBIND_FIELD(PMPosX), QUORBIND_FIELD(PMPosY), QUORBIND_FIELD(PMIntensity), QUORBIND_FIELD(PMStdDev),
             QUORBIND_FIELD(PMPixels), QUORBIND_FIELD(PMOutlier), QUORBIND_FIELD(PMMasked), QUORBIND_FIELD(MMPosX),
             QUORBIND_FIELD(MMPosY), QUORBIND_FIELD(MMIntensity), QUORBIND_FIELD(MMStdDev), QUORBIND_FIELD(MMPixels),
             QUORBIND_FIELD(MMOutlier), QUORBIND_FIELD(MMMasked));
}

void FillProbeSet(const Obj& to, ITeskProbeSet* from, std::string_view op) {
  using I = ITeskProbeSet;
  FillFields(to, from, op, QUORBIND_FIELD(Name), QUORBIND_FIELD(CompDataExists), QUORBIND_FIELD(NumPairs),
             QUORBIND_FIELD(NumPairsUsed), QUORBIND_FIELD(Signal), QUORBIND_ENUM_FIELD(Detection, TARVEX_ABS_CALL_TYPE),
             QUORBIND_FIELD(DetectionPValue), QUORBIND_FIELD(CommonPairs), QUORBIND_FIELD(SignalLogRatio),
             QUORBIND_FIELD(SignalLogRatioLow), QUORBIND_FIELD(SignalLogRatioHigh),
             QUORBIND_ENUM_FIELD(Change, TARVEX_COMP_CALL_TYPE), QUORBIND_FIELD(ChangePValue), QUORBIND_FIELD(Positive),
             QUORBIND_FIELD(Negative), QUORBIND_FIELD(NumPairsUsedInAvgDiff), QUORBIND_FIELD(PositiveFraction),
             QUORBIND_FIELD(LogAverage), QUORBIND_FIELD(PosNegRatio), QUORBIND_FIELD(AverageDifference),
             QUORBIND_ENUM_FIELD(AbsoluteCall, TARVEX_ABS_CALL_TYPE), QUORBIND_FIELD(Increase),
             QUORBIND_FIELD(Decrease), QUORBIND_FIELD(IncreaseRatio), QUORBIND_FIELD(DecreaseRatio),
             QUORBIND_FIELD(PositiveChange), QUORBIND_FIELD(NegativeChange), QUORBIND_FIELD(IncDecRatio),
             QUORBIND_FIELD(DPosDNegDiffRatio), QUORBIND_FIELD(LogAvgRatioChange), QUORBIND_FIELD(AvgDiffChange),
             QUORBIND_FIELD(BaselineIsAbsent), QUORBIND_FIELD(FoldChange), QUORBIND_FIELD(SortScore),
             QUORBIND_ENUM_FIELD(DifferenceCall, TARVEX_COMP_CALL_TYPE), QUORBIND_FIELD(NumQCProbes),
             QUORBIND_ENUM_FIELD(QCType, TARVEX_QC_PROBESET_TYPE),
             QUORBIND_ENUM_FIELD(ProbeSetType, TARVEX_PROBESET_TYPE));
}

void FillControlProbeSet(const Obj& to, ITeskControlProbeSet* from, std::string_view op) {
  using I = ITeskControlProbeSet;
  FillFields(to, from, op, QUORBIND_FIELD(NumQCProbes), QUORBIND_ENUM_FIELD(QCType, TARVEX_QC_PROBESET_TYPE),
             QUORBIND_ENUM_FIELD(ProbeSetType, TARVEX_PROBESET_TYPE));
}

void FillGenotypeProbeSet(const Obj& to, ITeskGenotypeProbeSet* from, std::string_view op) {
  using I = ITeskGenotypeProbeSet;
  FillFields(to, from, op, QUORBIND_FIELD(SNPID), QUORBIND_FIELD(NumGroups),
             QUORBIND_ENUM_FIELD(ProbeSetType, TARVEX_PROBESET_TYPE),
             QUORBIND_ENUM_FIELD(Call, TARVEX_GENOTYPE_RESULT_TYPE), QUORBIND_FIELD(Confidence), QUORBIND_FIELD(RAS1),
             QUORBIND_FIELD(RAS2), QUORBIND_FIELD(AA_PValue), QUORBIND_FIELD(AB_PValue), QUORBIND_FIELD(BB_PValue),
             QUORBIND_FIELD(NoCall_PValue));
}

void FillGenotypeProbeGroup(const Obj& to, ITeskGenotypeProbeGroup* from, std::string_view op) {
  using I = ITeskGenotypeProbeGroup;
  FillFields(to, from, op, QUORBIND_FIELD(GroupIndex), QUORBIND_FIELD(NumLists),
             QUORBIND_ENUM_FIELD(Direction, TARVEX_STRAND_DIRECTION_TYPE));
}

void FillGenotypeProbeList(const Obj& to, ITeskGenotypeProbeList* from, std::string_view op) {
  using I = ITeskGenotypeProbeList;
  FillFields(to, from, op, QUORBIND_FIELD(ListIndex), QUORBIND_FIELD(NumProbes));
}

void FillCustomSeqProbeSet(const Obj& to, ITeskCustomSeqProbeSet* from, std::string_view op) {
  using I = ITeskCustomSeqProbeSet;
  FillFields(to, from, op, QUORBIND_FIELD(NumGroups), QUORBIND_ENUM_FIELD(ProbeSetType, TARVEX_PROBESET_TYPE));
}

void FillCustomSeqProbeGroup(const Obj& to, ITeskCustomSeqProbeGroup* from, std::string_view op) {
  using I = ITeskCustomSeqProbeGroup;
  FillFields(to, from, op, QUORBIND_FIELD(GroupIndex), QUORBIND_FIELD(NumLists), QUORBIND_FIELD(Name));
}

void FillCustomSeqProbeList(const Obj& to, ITeskCustomSeqProbeList* from, std::string_view op) {
  using I = ITeskCustomSeqProbeList;
  FillFields(to, from, op, QUORBIND_FIELD(ListIndex), QUORBIND_FIELD(NumProbes), QUORBIND_FIELD(ReferenceIndex),
             QUORBIND_FIELD(SequencePosition), QUORBIND_FIELD(GroupIndex));
}

void FillCustomSeqComposite(const Obj& to, ITeskCustomSeqComposite* from, std::string_view op) {
  From<ITeskCustomSeqComposite>(to, from, op).Long("NumBases", &ITeskCustomSeqComposite::get_NumBases);
}

void FillSequenceItem(const Obj& to, ITeskSequenceItem* from, std::string_view op) {
  using I = ITeskSequenceItem;
  FillFields(to, from, op, QUORBIND_FIELD(Name), QUORBIND_FIELD(Number), QUORBIND_FIELD(NumberHits),
             QUORBIND_FIELD(GroupName), QUORBIND_FIELD(Version), QUORBIND_FIELD(NumberParameters));
}

void FillSequenceHitItem(const Obj& to, ITeskSequenceHitItem* from, std::string_view op) {
  using I = ITeskSequenceHitItem;
  FillFields(to, from, op, QUORBIND_FIELD(PMPosX), QUORBIND_FIELD(PMPosY), QUORBIND_FIELD(MMPosX),
             QUORBIND_FIELD(MMPosY));
  char length = 0;
  CheckCom(from->get_ProbeLength(&length), op);
  to.SetInt("ProbeLength", static_cast<unsigned char>(length));
  FillFields(to, from, op, QUORBIND_FIELD(PMProbe), QUORBIND_FIELD(MatchScore), QUORBIND_FIELD(Position),
             QUORBIND_FIELD(TopStrand));
}

void FillSequenceResultItem(const Obj& to, ITeskSequenceResultItem* from, std::string_view op) {
  using I = ITeskSequenceResultItem;
  FillFields(to, from, op, QUORBIND_FIELD(Name), QUORBIND_FIELD(Version), QUORBIND_FIELD(NumberDataPoints),
             QUORBIND_FIELD(NumberColumns));
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
    SetVaried(path, vary, i);
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
