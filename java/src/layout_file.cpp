// Native methods of TeskCDFFile.
#include "probe_set_source.h"

using namespace quorbind;

namespace {

using I = ITeskCDFFile;

I* OpenLayout(JNIEnv* env, jobject self, std::string_view op) {
  return Open<I>(env, self, CLSID_TeskCDFFile, op,
                 {{"ChipType", &I::put_ChipType, "ChipType cannot be empty"},
                  {"LibPath", &I::put_LibPath, kNoLibPath}});
}

void FillLayout(const Obj& to, I* o, std::string_view op) {
  FillFields(to, o, op, QUORBIND_FIELD(FullPathName), QUORBIND_FIELD(Date), QUORBIND_FIELD(Rows), QUORBIND_FIELD(Cols),
             QUORBIND_FIELD(NumProbeSets), QUORBIND_FIELD(NumQCProbeSets));
}

}  // namespace

QUORBIND_FILE_NATIVES(TeskCDFFile, I, OpenLayout, FillLayout)

QUORBIND_PROBE_SET_NATIVES(TeskCDFFile, I)
