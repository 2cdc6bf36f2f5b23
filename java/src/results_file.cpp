// Native methods of TeskCHPFile.
#include "probe_set_source.h"

using namespace quorbind;

namespace {

using I = ITeskCHPFile;

I* OpenResults(JNIEnv* env, jobject self, std::string_view op) {
  return OpenDataFile<I>(env, self, CLSID_TeskCHPFile, op, "CHP name cannot be empty");
}

void FillResults(const Obj& to, I* o, std::string_view op) {
  FillFields(to, o, op, QUORBIND_FIELD(FullPathName), QUORBIND_FIELD(ChipType), QUORBIND_FIELD(Date),
             QUORBIND_FIELD(CellFile), QUORBIND_FIELD(Algorithm), QUORBIND_ENUM_FIELD(AlgType, TARVEX_ALGORITHM_TYPE),
             QUORBIND_FIELD(AlgVersion), QUORBIND_FIELD(NumAlgParams), QUORBIND_FIELD(AlgParams),
             QUORBIND_FIELD(NumChipSummary), QUORBIND_FIELD(ChipSummary), QUORBIND_FIELD(Rows), QUORBIND_FIELD(Cols),
             QUORBIND_FIELD(NumProbeSets), QUORBIND_FIELD(NumQCProbeSets), QUORBIND_FIELD(NumProbeSetsLoaded));
}

template <class E>
jobject EnumAt(JNIEnv* env, jobject self, std::string_view op, const char* cls, HRESULT (I::*get)(LONG, E*),
               jint index) {
  return NewEnum(env, cls, static_cast<LONG>(ValueAt(env, self, op, get, index)), op);
}

}  // namespace

QUORBIND_FILE_NATIVES(TeskCHPFile, I, OpenResults, FillResults)
QUORBIND_READ_HEADER(TeskCHPFile, I, OpenResults, FillResults)

QUORBIND_NATIVE(jobject, TeskCHPFile, GetAlgParam)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] { return PairAt(env, self, "GetAlgParam", &I::GetAlgParam, index); });
}

QUORBIND_NATIVE(jobjectArray, TeskCHPFile, GetAlgParams)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] { return Pairs(env, self, "GetAlgParams", &I::GetAlgParams); });
}

QUORBIND_NATIVE(jobject, TeskCHPFile, GetChipSummary)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] { return PairAt(env, self, "GetChipSummary", &I::GetChipSummary, index); });
}

QUORBIND_NATIVE(jobjectArray, TeskCHPFile, GetChipSummaries)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] { return Pairs(env, self, "GetChipSummaries", &I::GetChipSummaries); });
}

QUORBIND_PROBE_SET_NATIVES(TeskCHPFile, I)

QUORBIND_NATIVE(jstring, TeskCHPFile, GetProbeSetName)(JNIEnv* env, jobject self, jint index) {
  return Entry<jstring>(env, [&] { return TextAt(env, self, "GetProbeSetName", &I::GetProbeSetName, index); });
}

// The expression and genotyping accessors: one value of one loaded probe set.
#define QUORBIND_VALUE(jtype, member)                                                         \
  QUORBIND_NATIVE(jtype, TeskCHPFile, member)(JNIEnv * env, jobject self, jint index) {      \
    return Entry<jtype>(env, [&] { return static_cast<jtype>(ValueAt(env, self, #member, &I::member, index)); }); \
  }
#define QUORBIND_ENUM(cls, member)                                                            \
  QUORBIND_NATIVE(jobject, TeskCHPFile, member)(JNIEnv * env, jobject self, jint index) {    \
    return Entry<jobject>(env, [&] { return EnumAt(env, self, #member, #cls, &I::member, index); }); \
  }

QUORBIND_VALUE(jint, GetExprCompDataExists)
QUORBIND_VALUE(jint, GetExprNumPairs)
QUORBIND_VALUE(jint, GetExprNumPairsUsed)
QUORBIND_VALUE(jfloat, GetExprSignal)
QUORBIND_ENUM(TARVEX_ABS_CALL_TYPE, GetExprDetection)
QUORBIND_VALUE(jfloat, GetExprDetectionPValue)
QUORBIND_VALUE(jint, GetExprCommonPairs)
QUORBIND_VALUE(jfloat, GetExprSignalLogRatio)
QUORBIND_VALUE(jfloat, GetExprSignalLogRatioLow)
QUORBIND_VALUE(jfloat, GetExprSignalLogRatioHigh)
QUORBIND_ENUM(TARVEX_COMP_CALL_TYPE, GetExprChange)
QUORBIND_VALUE(jfloat, GetExprChangePValue)
QUORBIND_ENUM(TARVEX_GENOTYPE_RESULT_TYPE, GetGenoCall)
QUORBIND_VALUE(jfloat, GetGenoConfidence)
QUORBIND_VALUE(jfloat, GetGenoRAS1)
QUORBIND_VALUE(jfloat, GetGenoRAS2)
QUORBIND_VALUE(jfloat, GetGenoAAPValue)
QUORBIND_VALUE(jfloat, GetGenoABPValue)
QUORBIND_VALUE(jfloat, GetGenoBBPValue)
QUORBIND_VALUE(jfloat, GetGenoNoCallPValue)
#undef QUORBIND_VALUE
#undef QUORBIND_ENUM
