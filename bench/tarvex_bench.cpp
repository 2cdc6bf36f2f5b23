// The object model's GetProbes on a 1164 x 1164 intensity file (1,354,896 TeskProbe objects
// made through the class factory) against a baseline that allocates as many minimal
// reference-counted objects into a SAFEARRAY of IDispatch*, measured interleaved in the same
// run; both sides also free their arrays (untimed). Target <= 3x. The memory held per probe
// object is measured from the allocator's count of bytes in use (target <= 96 bytes).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <tesk/parvel.h>
#include <tesk/tarvex.h>

#include "bench_util.h"

namespace {

constexpr int kSide = 1164;
constexpr LONG kCells = kSide * kSide;

// A cell intensity file written once and an intensity object that has read it.
struct Subject {
  tesk::bench::ScratchDir dir{"tarvex_bench"};
  tesk::ComPtr<ITeskCELFile> cel;

  Subject() {
    ParvelClass file;
    file.SetName((dir / "bench.CEL").c_str());
    file.SetHeader(
        "Cols=1164\nRows=1164\nGridCornerUL=24 24\nGridCornerUR=4071 24\nGridCornerLR=4071 4071\n"
        "GridCornerLL=24 4071\nAlgorithm=Percentile\nAlgorithmParameters=Percentile:75;CellMargin:2\n");
    file.SetAlgorithm("Percentile");
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        CellEntryClass e;
        e.X = static_cast<std::uint16_t>(x);
        e.Y = static_cast<std::uint16_t>(y);
        e.MEAN = static_cast<float>(x + y);
        file.AddCellData(&e);
      }
    if (!file.Write()) std::abort();
    tesk::ComPtr<IClassFactory> factory;
    // Every server library of the kit exports DllGetClassObject: ask libtarvex's own.
    void* lib = dlopen("libtarvex.so", RTLD_NOW);
    auto getClassObject = lib ? reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(lib, "DllGetClassObject")) : nullptr;
    if (getClassObject == nullptr || FAILED(getClassObject(CLSID_TeskCELFile, IID_IClassFactory, factory.PutVoid())))
      std::abort();
    if (FAILED(factory->CreateInstance(nullptr, IID_ITeskCELFile, cel.PutVoid()))) std::abort();
    tesk::Bstr name("bench.CEL"), path(dir.path().string());
    if (cel->put_Name(name.Get()) != S_OK || cel->put_DataPath(path.Get()) != S_OK ||
        cel->put_LibPath(path.Get()) != S_OK || cel->Read() != S_OK)
      std::abort();
  }
};

Subject& TheSubject() {
  static Subject s;
  return s;
}

// The smallest reference-counted automation object.
class Minimal final : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      AddRef();
      *ppv = this;
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() override {
    ULONG n = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0) delete this;
    return n;
  }
  HRESULT GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

 private:
  std::atomic<ULONG> refs_{1};
};

void Baseline(VARIANT& out) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, kCells);
  IDispatch** slots = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&slots));
  for (LONG i = 0; i < kCells; ++i) slots[i] = new Minimal;
  SafeArrayUnaccessData(array);
  out.vt = VT_ARRAY | VT_DISPATCH;
  out.parray = array;
}

tesk::bench::RatioReport g_summary("tarvex_bench", "GetProbes");

void GetProbes(benchmark::State& state) {
  Subject& s = TheSubject();
  tesk::Variant mine, base;
  g_summary.Add("GetProbes 1164x1164 / minimal objects",
                tesk::bench::Interleaved(
                    state, "GetProbes", [&] { Baseline(base); },
                    [&] {
                      if (s.cel->GetProbes(&mine) != S_OK) std::abort();
                    },
                    [&] {
                      VariantClear(&mine);
                      VariantClear(&base);
                    }),
                3.0);
}

// Bytes the allocator holds per probe while the array of probes lives (the array's own
// pointer slot included).
void ProbeMemory(benchmark::State& state) {
  Subject& s = TheSubject();
  double perProbe = 0;
  for (auto _ : state) {
    tesk::Variant probes;
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    if (s.cel->GetProbes(&probes) != S_OK) std::abort();
    const size_t after = mallinfo2().uordblks;
    perProbe = static_cast<double>(after - before) / kCells;
  }
  state.counters["bytes_per_probe"] = perProbe;
  std::printf("tarvex_bench: memory held per probe object: %.1f bytes (target <= 96)\n", perProbe);
}

}  // namespace

BENCHMARK(GetProbes)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ProbeMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
