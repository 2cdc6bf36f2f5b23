// Native methods of TeskEXPFile, TeskDATFile and TeskCELFile.
#include "file_support.h"

using namespace quorbind;

namespace {

// ---- Experiment files --------------------------------------------------------------------

ITeskEXPFile* OpenExp(JNIEnv* env, jobject self, std::string_view op) {
  return OpenDataFile<ITeskEXPFile>(env, self, CLSID_TeskEXPFile, op, "EXP name cannot be empty");
}

void FillExp(const Obj& to, ITeskEXPFile* o, std::string_view op) {
  using I = ITeskEXPFile;
  FillFields(to, o, op, QUORBIND_FIELD(FullPathName), QUORBIND_FIELD(ChipType), QUORBIND_FIELD(Date),
             QUORBIND_FIELD(ChipLot), QUORBIND_FIELD(Operator), QUORBIND_FIELD(SampleType), QUORBIND_FIELD(SampleDesc),
             QUORBIND_FIELD(Project), QUORBIND_FIELD(Comments), QUORBIND_FIELD(Reagents), QUORBIND_FIELD(ReagentLot),
             QUORBIND_FIELD(Protocol), QUORBIND_FIELD(Station), QUORBIND_FIELD(Module), QUORBIND_FIELD(HybridizeDate),
             QUORBIND_FIELD(ScanPixelSize), QUORBIND_FIELD(ScanFilter), QUORBIND_FIELD(ScanDate),
             QUORBIND_FIELD(ScannerID), QUORBIND_FIELD(NumberOfScans), QUORBIND_FIELD(ScannerType),
             QUORBIND_FIELD(NumProtocolSteps));
}

// ---- Image files -------------------------------------------------------------------------

ITeskDATFile* OpenDat(JNIEnv* env, jobject self, std::string_view op) {
  return OpenDataFile<ITeskDATFile>(env, self, CLSID_TeskDATFile, op, "DAT name cannot be empty", false);
}

// Reading the header alone needs LibPath as well.
ITeskDATFile* OpenDatHeader(JNIEnv* env, jobject self, std::string_view op) {
  return OpenDataFile<ITeskDATFile>(env, self, CLSID_TeskDATFile, op, "DAT name cannot be empty");
}

void FillDat(const Obj& to, ITeskDATFile* o, std::string_view op) {
  using I = ITeskDATFile;
  FillFields(to, o, op, QUORBIND_FIELD(FullPathName), QUORBIND_FIELD(ChipType), QUORBIND_FIELD(Date),
             QUORBIND_FIELD(NumPixelsPerRow), QUORBIND_FIELD(NumRows), QUORBIND_FIELD(MinData), QUORBIND_FIELD(MaxData),
             QUORBIND_FIELD(PixelSize), QUORBIND_FIELD(CellMargin), QUORBIND_FIELD(ScanSpeed), QUORBIND_FIELD(ScanDate),
             QUORBIND_FIELD(ScannerID), QUORBIND_FIELD(UpperLeftX), QUORBIND_FIELD(UpperLeftY),
             QUORBIND_FIELD(UpperRightX), QUORBIND_FIELD(UpperRightY), QUORBIND_FIELD(LowerLeftX),
             QUORBIND_FIELD(LowerLeftY), QUORBIND_FIELD(LowerRightX), QUORBIND_FIELD(LowerRightY));
}

// ---- Intensity files ---------------------------------------------------------------------

ITeskCELFile* OpenCel(JNIEnv* env, jobject self, std::string_view op) {
  return OpenDataFile<ITeskCELFile>(env, self, CLSID_TeskCELFile, op, "CEL name cannot be empty");
}

void FillCel(const Obj& to, ITeskCELFile* o, std::string_view op) {
  using I = ITeskCELFile;
  FillFields(to, o, op, QUORBIND_FIELD(FullPathName), QUORBIND_FIELD(ChipType), QUORBIND_FIELD(Date),
             QUORBIND_FIELD(FileVersion), QUORBIND_FIELD(Algorithm), QUORBIND_FIELD(AlgParams),
             QUORBIND_FIELD(NumAlgParams), QUORBIND_FIELD(CellMargin), QUORBIND_FIELD(Rows), QUORBIND_FIELD(Cols),
             QUORBIND_FIELD(NumMasked), QUORBIND_FIELD(NumOutliers), QUORBIND_FIELD(NumProbes),
             QUORBIND_FIELD(UpperLeftX), QUORBIND_FIELD(UpperLeftY), QUORBIND_FIELD(UpperRightX),
             QUORBIND_FIELD(UpperRightY), QUORBIND_FIELD(LowerLeftX), QUORBIND_FIELD(LowerLeftY),
             QUORBIND_FIELD(LowerRightX), QUORBIND_FIELD(LowerRightY), QUORBIND_FIELD(DatHeader));
}

// GetProbeByIndex and GetProbeByPosition: a fresh probe that `get(file, probe)` fills.
template <class Get>
jobject NewProbe(JNIEnv* env, jobject self, std::string_view op, Get&& get) {
  return Entry<jobject>(env, [&] {
    ITeskCELFile* o = Held<ITeskCELFile>(env, self, op);
    auto probe = Fetch<ITeskProbe>(CLSID_TeskProbe, op, "Failed to create a probe object",
                                   [&](ITeskProbe* p) { return get(o, p); });
    return NewFilled(env, "TeskProbe", probe.Get(), op, FillProbe);
  });
}

}  // namespace

QUORBIND_FILE_NATIVES(TeskEXPFile, ITeskEXPFile, OpenExp, FillExp)

QUORBIND_NATIVE(jstring, TeskEXPFile, GetProtocolStep)(JNIEnv* env, jobject self, jint index) {
  return Entry<jstring>(env, [&] {
    return TextAt(env, self, "GetProtocolStep", &ITeskEXPFile::GetProtocolStep, index);
  });
}

QUORBIND_NATIVE(jobjectArray, TeskEXPFile, GetProtocolSteps)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    SAFEARRAY* steps = nullptr;
    CheckCom(Held<ITeskEXPFile>(env, self, "GetProtocolSteps")->GetProtocolSteps(&steps), "GetProtocolSteps");
    ArrayGuard free_steps(steps);
    return ToStringArray(env, steps, "GetProtocolSteps");
  });
}

QUORBIND_FILE_NATIVES(TeskDATFile, ITeskDATFile, OpenDat, FillDat)
QUORBIND_READ_HEADER(TeskDATFile, ITeskDATFile, OpenDatHeader, FillDat)

QUORBIND_NATIVE(jint, TeskDATFile, GetIntensity)(JNIEnv* env, jobject self, jint x, jint y) {
  return Entry<jint>(env, [&] { return ValueAt(env, self, "GetIntensity", &ITeskDATFile::GetIntensity, x, y); });
}

QUORBIND_NATIVE(jintArray, TeskDATFile, GetLineIntensities)(JNIEnv* env, jobject self, jint line) {
  return Entry<jintArray>(env, [&]() -> jintArray {
    constexpr std::string_view op = "GetLineIntensities";
    SAFEARRAY* values = nullptr;
    CheckCom(Held<ITeskDATFile>(env, self, op)->GetLineIntensities(line, &values), op);
    if (values == nullptr) return nullptr;
    ArrayGuard free_values(values);
    VARTYPE vt = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(values, &vt)) || vt != VT_I4)
      Throw(std::string(op) + ": the image object answered an array of another type");
    LONG lower = 0, upper = -1;
    CheckCom(SafeArrayGetLBound(values, 1, &lower), op);
    CheckCom(SafeArrayGetUBound(values, 1, &upper), op);
    const jsize n = upper - lower + 1;
    jintArray array = Allocated(env, env->NewIntArray(n), op);
    void* data = nullptr;
    CheckCom(SafeArrayAccessData(values, &data), op);
    env->SetIntArrayRegion(array, 0, n, static_cast<const jint*>(data));
    SafeArrayUnaccessData(values);
    return array;
  });
}

QUORBIND_FILE_NATIVES(TeskCELFile, ITeskCELFile, OpenCel, FillCel)
QUORBIND_READ_HEADER(TeskCELFile, ITeskCELFile, OpenCel, FillCel)

QUORBIND_NATIVE(void, TeskCELFile, ConvertToVersion3)(JNIEnv* env, jobject self) {
  Entry<int>(env, [&] {
    CheckCom(Held<ITeskCELFile>(env, self, "ConvertToVersion3")->ConvertToVersion3(), "ConvertToVersion3");
    return 0;
  });
}

QUORBIND_NATIVE(jobject, TeskCELFile, GetAlgParam)(JNIEnv* env, jobject self, jint index) {
  return Entry<jobject>(env, [&] { return PairAt(env, self, "GetAlgParam", &ITeskCELFile::GetAlgParam, index); });
}

QUORBIND_NATIVE(jobjectArray, TeskCELFile, GetAlgParams)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] { return Pairs(env, self, "GetAlgParams", &ITeskCELFile::GetAlgParams); });
}

QUORBIND_NATIVE(jfloat, TeskCELFile, GetIntensity)(JNIEnv* env, jobject self, jint x, jint y) {
  return Entry<jfloat>(env, [&] { return ValueAt(env, self, "GetIntensity", &ITeskCELFile::GetIntensity, x, y); });
}

QUORBIND_NATIVE(jfloat, TeskCELFile, GetStdv)(JNIEnv* env, jobject self, jint x, jint y) {
  return Entry<jfloat>(env, [&] { return ValueAt(env, self, "GetStdv", &ITeskCELFile::GetStdv, x, y); });
}

QUORBIND_NATIVE(jint, TeskCELFile, GetPixels)(JNIEnv* env, jobject self, jint x, jint y) {
  return Entry<jint>(env, [&] { return ValueAt(env, self, "GetPixels", &ITeskCELFile::GetPixels, x, y); });
}

QUORBIND_NATIVE(jboolean, TeskCELFile, IsMasked)(JNIEnv* env, jobject self, jint x, jint y) {
  return Entry<jboolean>(env, [&] {
    return ValueAt(env, self, "IsMasked", &ITeskCELFile::IsMasked, x, y) != 0 ? JNI_TRUE : JNI_FALSE;
  });
}

QUORBIND_NATIVE(jboolean, TeskCELFile, IsOutlier)(JNIEnv* env, jobject self, jint x, jint y) {
  return Entry<jboolean>(env, [&] {
    return ValueAt(env, self, "IsOutlier", &ITeskCELFile::IsOutlier, x, y) != 0 ? JNI_TRUE : JNI_FALSE;
  });
}

QUORBIND_NATIVE(jobject, TeskCELFile, GetProbeByIndex)(JNIEnv* env, jobject self, jint index) {
  return NewProbe(env, self, "GetProbeByIndex", [&](auto* o, auto* p) { return o->GetProbeByIndex(index, p); });
}

QUORBIND_NATIVE(jobject, TeskCELFile, GetProbeByPosition)(JNIEnv* env, jobject self, jint x, jint y) {
  return NewProbe(env, self, "GetProbeByPosition", [&](auto* o, auto* p) { return o->GetProbeByPosition(x, y, p); });
}

QUORBIND_NATIVE(jobjectArray, TeskCELFile, GetProbes)(JNIEnv* env, jobject self) {
  return Entry<jobjectArray>(env, [&] {
    constexpr std::string_view op = "GetProbes";
    tesk::Variant probes;
    CheckCom(Held<ITeskCELFile>(env, self, op)->GetProbes(&probes), op);
    return NewFilledArray<ITeskProbe>(env, "TeskProbe", probes, op, FillProbe);
  });
}
