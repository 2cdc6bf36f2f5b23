// Prints the first probes of sample.CEL in a directory (default build/sample), through the
// object model created by ProgID. The README shows this program.
#include <tesk/tarvex.h>

#include <cstdio>

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : "build/sample";
  CoInitialize(nullptr);
  CLSID clsid;
  ITeskCELFile* cel = nullptr;
  if (FAILED(CLSIDFromProgID(u"VarolithTarvex.TeskCELFile", &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITeskCELFile,
                              reinterpret_cast<void**>(&cel)))) {
    std::fprintf(stderr, "VarolithTarvex.TeskCELFile is not registered\n");
    return 1;
  }
  tesk::Bstr name("sample.CEL"), path(std::string_view{dir});
  cel->put_Name(name.Get());
  cel->put_DataPath(path.Get());
  cel->put_LibPath(path.Get());
  if (cel->Read() != S_OK) {
    std::fprintf(stderr, "%s\n", tesk::PeekErrorDescription().c_str());  // "Failure in ITeskCELFile-Read: ..."
    cel->Release();
    return 1;
  }
  LONG rows = 0, cols = 0;
  cel->get_Rows(&rows);
  cel->get_Cols(&cols);
  std::printf("%d x %d cells\n", static_cast<int>(cols), static_cast<int>(rows));

  ITeskProbe* probe = nullptr;  // filled by the file object, one cell at a time
  CoCreateInstance(CLSID_TeskProbe, nullptr, CLSCTX_INPROC_SERVER, IID_ITeskProbe,
                   reinterpret_cast<void**>(&probe));
  for (LONG i = 0; i < 5 && probe != nullptr; ++i) {
    LONG x = 0, y = 0;
    FLOAT intensity = 0;
    cel->GetProbeByIndex(i, probe);
    probe->get_PosX(&x);
    probe->get_PosY(&y);
    probe->get_Intensity(&intensity);
    std::printf("probe %d at (%d, %d): %.1f\n", static_cast<int>(i), static_cast<int>(x),
                static_cast<int>(y), intensity);
  }
  if (probe != nullptr) probe->Release();
  cel->Release();
  CoUninitialize();
  return 0;
}
