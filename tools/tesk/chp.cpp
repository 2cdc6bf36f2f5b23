// Result files in the `tesk` program: the sample result file of the sample array and a summary
// of any result file.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include <dlfcn.h>

#include <tesk/pendrix71.h>
#include <tesk/platform/activation.h>
#include <tesk/tarvex.h>

#include "chp_sample.h"
#include "sample_names.h"
#include "tesk_tool.h"
#include "unit_summary.h"

namespace {

namespace fs = std::filesystem;
using tesk::tool::fail;
using tesk::tool::UnitTypeName;

// The sample result: the sample layout read with the intensities of the sample cell file,
// analysed, and written as version 13.
int Sample(const fs::path& dir) {
  const std::string layout = (dir / tesk::sample::kLayout).string();
  const std::string cells = (dir / tesk::sample::kCelBinary).string();
  const fs::path path = dir / tesk::sample::kResult;
  ChipClass chip;
  chip.layoutFile = layout.c_str();
  chip.cellFile = cells.c_str();
  chip.libraryPath = dir.string().c_str();
  if (int rc = chip.ReadCell(); rc != 0) {
    return fail(layout, std::string("cannot read the sample layout with its cell file: ") +
                            CheckError(rc));
  }
  chip.chipType = tesk::sample::kChipType;
  chip.cellFile = tesk::sample::kCelBinary;  // result files name the cell file, not its path
  tesk::sample::result::FillResults(chip);
  if (int rc = chip.WriteChip(path.string().c_str()); rc != 0) {
    return fail(path, std::string("cannot write: ") + CheckError(rc));
  }
  // The object model finds a result's layout by its chip type in the library directory.
  const fs::path named = dir / (std::string(tesk::sample::kChipType) + ".CDF");
  std::error_code ec;
  fs::copy_file(layout, named, fs::copy_options::overwrite_existing, ec);
  if (ec) return fail(named, "cannot write: " + ec.message());
  std::printf("%s\n%s\n", path.string().c_str(), named.string().c_str());
  return 0;
}

bool Recognises(const fs::path& f) {
  return tesk::tool::ReadHead(f, kChipFileMagicLength) ==
         std::string_view(kChipFileMagic, kChipFileMagicLength);
}

// The text, or a dash for none.
const char* Show(const String& s) { return s.IsEmpty() ? "-" : s.c_str(); }

// ---- The same file through the object model ----

// An object made by libtarvex's own class factory; null when the library is not at hand. The
// library is opened by its full path beside the platform library, where it is installed and
// built: a bare name would be looked up with the search path of whoever calls dlopen, which a
// sanitizer runtime that wraps dlopen replaces with its own.
template <class I>
tesk::ComPtr<I> NewTarvexObject(const CLSID& clsid, const IID& iid) {
  static const auto getClassObject = [] {
    const fs::path platform = tesk::ModulePath(reinterpret_cast<const void*>(&SysAllocString));
    if (platform.empty()) return LPFNGETCLASSOBJECT{};
    void* lib = dlopen((platform.parent_path() / "libtarvex.so").c_str(), RTLD_NOW);
    return lib ? reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(lib, "DllGetClassObject")) : nullptr;
  }();
  tesk::ComPtr<IClassFactory> factory;
  tesk::ComPtr<I> object;
  if (getClassObject != nullptr && SUCCEEDED(getClassObject(clsid, IID_IClassFactory, factory.PutVoid())))
    factory->CreateInstance(nullptr, iid, object.PutVoid());
  return object;
}

std::string Text(BSTR b) {
  std::string s = tesk::FromBstr(b);
  SysFreeString(b);
  return s;
}

// Counts the values that differ between the two readings, saying which.
struct Agreement {
  int differences = 0;
  void Check(const char* what, bool same) {
    if (same) return;
    ++differences;
    std::printf("    DIFFERS: %s\n", what);
  }
};

// The header and the first result of each kind as TeskCHPFile gives them, checked against the
// chip model that Pendrix71 read.
void ObjectModelInfo(const fs::path& f, ChipClass& chip) {
  std::printf("  through the object model (TeskCHPFile):\n");
  tesk::ComPtr<ITeskCHPFile> chp = NewTarvexObject<ITeskCHPFile>(CLSID_TeskCHPFile, IID_ITeskCHPFile);
  if (!chp) {
    std::printf("    libtarvex.so cannot be loaded\n");
    return;
  }
  const std::string dir = f.has_parent_path() ? f.parent_path().string() : ".";
  BSTR name = tesk::AllocBstr(f.filename().string()), path = tesk::AllocBstr(dir);
  HRESULT hr = chp->put_Name(name);
  if (SUCCEEDED(hr)) hr = chp->put_DataPath(path);
  if (SUCCEEDED(hr)) hr = chp->put_LibPath(path);
  if (SUCCEEDED(hr)) hr = chp->Read();
  SysFreeString(name);
  SysFreeString(path);
  if (FAILED(hr)) {
    tesk::ComPtr<IErrorInfo> error;
    BSTR description = nullptr;
    if (GetErrorInfo(0, &error) == S_OK && error) error->GetDescription(&description);
    std::printf("    not read: %s\n", description ? Text(description).c_str() : "(no description)");
    return;
  }
  Agreement agree;
  BSTR b = nullptr;
  LONG n = 0, m = 0;
  chp->get_ChipType(&b);
  const std::string chipType = Text(b);
  chp->get_Algorithm(&b);
  const std::string algorithm = Text(b);
  TARVEX_ALGORITHM_TYPE type{};
  chp->get_AlgType(&type);
  chp->get_NumProbeSets(&n);
  chp->get_NumQCProbeSets(&m);
  std::printf("    chip type %s, algorithm %s (type %d), %d probe sets, %d QC probe sets\n", chipType.c_str(),
              algorithm.c_str(), static_cast<int>(type), static_cast<int>(n), static_cast<int>(m));
  agree.Check("chip type", chipType == chip.chipType.c_str());
  agree.Check("algorithm", algorithm == chip.algorithmName.c_str());
  agree.Check("number of probe sets", n == chip.numberOfUnits);
  chp->get_NumAlgParams(&n);
  if (n > 0) {
    BSTR pn = nullptr, pv = nullptr;
    chp->GetAlgParam(0, &pn, &pv);
    const std::string first = Text(pn), value = Text(pv);
    std::printf("    %d parameters, the first %s=%s\n", static_cast<int>(n), first.c_str(), value.c_str());
  }

  // The first unit of each kind.
  bool expression = false, genotyping = false;
  for (int i = 0; i < chip.units.count && i < chip.unitTypes.count; ++i) {
    const AllUnitTypes* holder = chip.GetUnit(i);
    if (holder == nullptr) continue;
    if (!expression && chip.unitTypes.data[i] == TILING_EXPRESSION && holder->geneExpression) {
      expression = true;
      const GeneExpressionUnitClass& u = *holder->geneExpression;
      FLOAT signal = 0;
      LONG pairs = 0, compared = 0;
      chp->GetExprSignal(i, &signal);
      chp->GetExprNumPairs(i, &pairs);
      chp->GetExprCompDataExists(i, &compared);
      std::printf("    expression probe set %d: signal %g, %d pairs, comparison %s\n", i, signal,
                  static_cast<int>(pairs), compared ? "yes" : "no");
      if (type == STATISTICAL_ALGORITHM_TYPE) agree.Check("signal", signal == u.value1);
      agree.Check("number of pairs", pairs == u.numberOfAtoms);
    }
    if (!genotyping && chip.unitTypes.data[i] == TILING_GENOTYPING && holder->block) {
      genotyping = true;
      TARVEX_GENOTYPE_RESULT_TYPE call{};
      FLOAT confidence = 0;
      chp->GetGenoCall(i, &call);
      chp->GetGenoConfidence(i, &confidence);
      std::printf("    genotyping probe set %d: call %d, confidence %g\n", i, static_cast<int>(call), confidence);
    }
  }
  if (chip.composite.sequence.count > 0) {
    auto composite =
        NewTarvexObject<ITeskCustomSeqComposite>(CLSID_TeskCustomSeqComposite, IID_ITeskCustomSeqComposite);
    BSTR calls = nullptr;
    if (composite && SUCCEEDED(chp->GetCustomSeqComposite(composite.Get())) && SUCCEEDED(composite->GetBaseCalls(&calls))) {
      const std::string text = Text(calls);
      std::printf("    base calls %.60s%s\n", text.c_str(), text.size() > 60 ? "..." : "");
      agree.Check("number of base calls", static_cast<int>(text.size()) == chip.composite.sequence.count);
    }
  }
  if (agree.differences == 0) std::printf("    agrees with the chip results library\n");
}

int Info(const fs::path& f) {
  const std::string name = f.string();
  ChipClass chip;
  if (int rc = chip.ReadChip(name.c_str()); rc != 0) {
    return fail(f, std::string("not a readable result file: ") + CheckError(rc));
  }
  std::error_code ec;
  const auto bytes = fs::file_size(f, ec);
  std::printf("result file %s\n", name.c_str());
  std::printf("  version      %d\n", chip.resultVersion);
  std::printf("  file size    %llu bytes\n", static_cast<unsigned long long>(ec ? 0 : bytes));
  std::printf("  chip type    %s\n", Show(chip.chipType));
  std::printf("  cell file    %s\n", Show(chip.cellFile));
  std::printf("  size         %d cols x %d rows\n", chip.cols, chip.rows);
  std::printf("  algorithm    %s", Show(chip.algorithmName));
  if (!chip.algorithmVersion.IsEmpty()) std::printf(" %s", chip.algorithmVersion.c_str());
  std::printf("\n  parameters   %s\n", Show(chip.algorithmParameters));
  std::printf("  summary      %s\n", Show(chip.chipSummary));
  std::printf("  identifier   %s\n", Show(chip.algorithmIdentifier));
  std::map<int, std::pair<int, long long>> byType;  // units, atoms
  for (int i = 0; i < chip.numberOfUnits && i < chip.unitTypes.count; ++i) {
    auto& t = byType[chip.unitTypes.data[i]];
    ++t.first;
    t.second += chip.unitAtoms.data[i];
  }
  std::printf("  units        %d (highest unit number %d)\n", chip.numberOfUnits, chip.maxUnit);
  for (const auto& [type, t] : byType) {
    std::printf("    %-18s %6d units, %8lld atoms\n", UnitTypeName(type), t.first, t.second);
  }
  tesk::tool::PrintQCUnits(chip);
  if (chip.composite.sequence.count > 0) {
    std::printf("  composite    %d positions\n", chip.composite.sequence.count);
  }
  ObjectModelInfo(f, chip);
  return 0;
}

const tesk::tool::Registrar kKind{tesk::tool::Kind{"chp", 50, &Sample, &Recognises, &Info}};

}  // namespace
