// Native methods of TeskCDFFile.
#include "probe_set_source.h"

using namespace quorbind;

namespace {

using I = ITeskCDFFile;
using Members = ProbeSetMembers<I>;

I* OpenLayout(JNIEnv* env, jobject self, std::string_view op) {
  I* o = Fresh<I>(env, self, CLSID_TeskCDFFile, op);
  Obj f(env, self);
  PutRequired(f, o, "ChipType", "ChipType cannot be empty", &I::put_ChipType, op);
  PutRequired(f, o, "LibPath", "LibPath cannot be empty", &I::put_LibPath, op);
  return o;
}

void FillLayout(const Obj& to, I* o, std::string_view op) {
  FillFields(to, o, op, QUORBIND_FIELD(FullPathName), QUORBIND_FIELD(Date), QUORBIND_FIELD(Rows), QUORBIND_FIELD(Cols),
             QUORBIND_FIELD(NumProbeSets), QUORBIND_FIELD(NumQCProbeSets));
}

}  // namespace

QUORBIND_NATIVE(jboolean, TeskCDFFile, Exists)(JNIEnv* env, jobject self) {
  return ExistsOf(env, self, OpenLayout);
}

QUORBIND_NATIVE(void, TeskCDFFile, Read)(JNIEnv* env, jobject self) {
  ReadInto(env, self, "Read", OpenLayout, &I::Read, FillLayout);
}

QUORBIND_NATIVE(void, TeskCDFFile, LoadProbeSets)(JNIEnv* env, jobject self) { Members::Load(env, self); }

QUORBIND_NATIVE(jobject, TeskCDFFile, GetProbeSet)(JNIEnv* env, jobject self, jint index) {
  return Members::ProbeSet(env, self, index);
}

QUORBIND_NATIVE(jobjectArray, TeskCDFFile, GetProbeSets)(JNIEnv* env, jobject self) {
  return Members::All<ITeskProbeSet>(env, self, "GetProbeSets", "TeskProbeSet", &I::GetProbeSets, FillProbeSet);
}

QUORBIND_NATIVE(jobject, TeskCDFFile, GetControlProbeSet)(JNIEnv* env, jobject self, jint index) {
  return Members::ControlSet(env, self, index);
}

QUORBIND_NATIVE(jobjectArray, TeskCDFFile, GetControlProbeSets)(JNIEnv* env, jobject self) {
  return Members::All<ITeskControlProbeSet>(env, self, "GetControlProbeSets", "TeskControlProbeSet",
                                            &I::GetControlProbeSets, FillControlProbeSet);
}

QUORBIND_NATIVE(jobject, TeskCDFFile, GetGenotypeProbeSet)(JNIEnv* env, jobject self, jint index) {
  return Members::GenotypeSet(env, self, index);
}

QUORBIND_NATIVE(jobjectArray, TeskCDFFile, GetGenotypeProbeSets)(JNIEnv* env, jobject self) {
  return Members::All<ITeskGenotypeProbeSet>(env, self, "GetGenotypeProbeSets", "TeskGenotypeProbeSet",
                                             &I::GetGenotypeProbeSets, FillGenotypeProbeSet);
}

QUORBIND_NATIVE(jobject, TeskCDFFile, GetCustomSeqProbeSet)(JNIEnv* env, jobject self, jint index) {
  return Members::CustomSeqSet(env, self, index);
}

QUORBIND_NATIVE(jobjectArray, TeskCDFFile, GetCustomSeqProbeSets)(JNIEnv* env, jobject self) {
  return Members::All<ITeskCustomSeqProbeSet>(env, self, "GetCustomSeqProbeSets", "TeskCustomSeqProbeSet",
                                              &I::GetCustomSeqProbeSets, FillCustomSeqProbeSet);
}

QUORBIND_NATIVE(jobject, TeskCDFFile, GetCustomSeqComposite)(JNIEnv* env, jobject self) {
  return Members::Composite(env, self);
}

QUORBIND_NATIVE(jobject, TeskCDFFile, GetProbeSetType)(JNIEnv* env, jobject self, jint index) {
  return Members::ProbeSetType(env, self, index);
}

QUORBIND_NATIVE(jboolean, TeskCDFFile, ReleaseCOMObject)(JNIEnv* env, jobject self) { return ReleaseObject(env, self); }
