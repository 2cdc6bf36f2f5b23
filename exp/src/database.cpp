// CTestInfo's database forms (current build only): the experiment information as the database
// server's experiment, protocol and sample records, reached through the server's experiment
// and sample objects with the caller's open connection.
#include <tesk/zorum.h>

#include <array>
#include <string>
#include <utility>

#include "build.h"

inline namespace TESK_OSTREL_NS {
namespace {

// Sample-information entries 4..7 live in the sample record's attribute list under these names.
constexpr std::array<const char*, 4> kAttributeNames = {"Project", "Comments", "Solution Type", "Solution Lot"};

template <class I>
tesk::ComPtr<I> CreateServerObject(REFCLSID clsid) {
  tesk::ComPtr<I> p;
  // The objects take their database from the connection handed to them.
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, tesk::InterfaceTraits<I>::Iid(), p.PutVoid()))) p.Reset();
  return p;
}

// get_Field/put_Field of either record object.
template <class I>
bool GetField(I* obj, const char* label, std::string& out) {
  tesk::Bstr l{std::string_view(label)}, v;
  if (FAILED(obj->get_Field(l.Get(), &v))) return false;
  out = v.Narrow();
  return true;
}
template <class I>
bool PutField(I* obj, const char* label, const std::string& value) {
  tesk::Bstr l{std::string_view(label)}, v{std::string_view(value)};
  return SUCCEEDED(obj->put_Field(l.Get(), v.Get()));
}

// A VARIANT holding a BSTR array of the texts.
bool PutTexts(VARIANT* out, const std::vector<std::string>& items) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
  if (!sa) return false;
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    tesk::Bstr b{std::string_view(items[static_cast<size_t>(i)])};
    if (FAILED(SafeArrayPutElement(sa, &i, b.Get()))) {
      SafeArrayDestroy(sa);
      return false;
    }
  }
  out->vt = VT_ARRAY | VT_BSTR;
  out->parray = sa;
  return true;
}

bool GetTexts(const VARIANT& v, std::vector<std::string>& out) {
  out.clear();
  if (v.vt != (VT_ARRAY | VT_BSTR)) return false;
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  for (LONG i = lo; i <= hi; ++i) {
    tesk::Bstr b;
    if (FAILED(SafeArrayGetElement(v.parray, &i, &b))) return false;
    out.push_back(b.Narrow());
  }
  return true;
}

// The experiment fields by label, in the order of the experiment file.
std::array<std::pair<const char*, std::string*>, 11> ExperimentFields(CTestInfo& t) {
  return {{{"Protocol", &t.Protocol},
           {"Station", &t.Station},
           {"Module", &t.Module},
           {"Hybridize Date", &t.HybridizeDate},
           {"Pixel Size", &t.PixelSize},
           {"Filter", &t.Filter},
           {"Scan Temperature", &t.ScanTemperature},
           {"Scan Date", &t.ScanDate},
           {"Scanner ID", &t.ScannerID},
           {"Number of Scans", &t.NumberOfScans},
           {"Scanner Type", &t.ScannerType}}};
}

std::array<std::pair<const char*, std::string*>, 6> SampleFields(CExperimentRecords& r) {
  return {{{"Chip Type", &r.SampleChipType},
           {"Lot", &r.SampleLot},
           {"Operator", &r.SampleOperator},
           {"Type", &r.SampleType},
           {"Description", &r.SampleDescription},
           {"User", &r.SampleUser}}};
}

}  // namespace

int CTestInfo::Exists(IDispatch* connection) {
  if (connection == nullptr) return 0;
  try {
    tesk::ComPtr<IExperiment> e = CreateServerObject<IExperiment>(CLSID_Experiment);
    tesk::Bstr name{std::string_view(Name)};
    VARIANT_BOOL known = VARIANT_FALSE;
    return e && SUCCEEDED(e->put_Name(name.Get())) && SUCCEEDED(e->Exists(connection, &known)) && known ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int CTestInfo::Read(IDispatch* connection) {
  DeleteContents();
  if (connection == nullptr) return Fail(tesk::ostrel::IDS_CANNOT_FIND);
  try {
    tesk::ComPtr<IExperiment> e = CreateServerObject<IExperiment>(CLSID_Experiment);
    tesk::Bstr name{std::string_view(Name)};
    if (!e || FAILED(e->put_Name(name.Get())) || FAILED(e->Fetch(connection))) return Fail(tesk::ostrel::IDS_CANNOT_FIND);
    CExperimentRecords records;
    bool ok = true;
    for (auto& [label, field] : ExperimentFields(*this)) ok = ok && GetField(e.Get(), label, *field);
    ok = ok && GetField(e.Get(), "Sample", records.SampleName) && GetField(e.Get(), "User", records.ExperimentUser);
    tesk::Variant steps;
    ok = ok && SUCCEEDED(e->get_ProtocolSteps(&steps)) && GetTexts(steps, ProtocolSteps);
    tesk::ComPtr<IDispatch> sd;
    tesk::ComPtr<ISampleRecord> s;
    ok = ok && SUCCEEDED(e->get_Sample(&sd)) && SUCCEEDED(sd.As(s));
    for (auto& [label, field] : SampleFields(records)) ok = ok && GetField(s.Get(), label, *field);
    tesk::Variant attributes;
    std::vector<std::string> flat;
    ok = ok && SUCCEEDED(s->get_Attributes(&attributes)) && GetTexts(attributes, flat) && flat.size() % 2 == 0;
    if (!ok) {
      DeleteContents();
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    }
    for (size_t i = 0; i < flat.size(); i += 2) records.SampleAttributes.emplace_back(flat[i], flat[i + 1]);
    Records = std::move(records);
    // The file fields of the sample, as WriteEx writes them.
    ChipType = Records.SampleChipType;
    SampleInfo[0] = Records.SampleLot;
    SampleInfo[1] = Records.SampleOperator;
    SampleInfo[2] = Records.SampleType;
    SampleInfo[3] = Records.SampleDescription;
    for (size_t k = 0; k < kAttributeNames.size(); ++k)
      for (const auto& [n, v] : Records.SampleAttributes)
        if (n == kAttributeNames[k]) SampleInfo[4 + k] = v;
    m_LastMessage = 0;
    return 1;
  } catch (...) {
    DeleteContents();
    return Fail(tesk::ostrel::IDS_CANNOT_READ);
  }
}

int CTestInfo::WriteExperiment(IDispatch* connection) {
  if (connection == nullptr) return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
  try {
    tesk::ComPtr<IExperiment> e = CreateServerObject<IExperiment>(CLSID_Experiment);
    tesk::Bstr name{std::string_view(Name)};
    bool ok = e && !Name.empty() && SUCCEEDED(e->put_Name(name.Get()));
    for (auto& [label, field] : ExperimentFields(*this)) ok = ok && PutField(e.Get(), label, *field);
    ok = ok && PutField(e.Get(), "Sample", Records.SampleName.empty() ? Name : Records.SampleName) &&
         PutField(e.Get(), "User", Records.ExperimentUser);
    tesk::Variant steps;
    ok = ok && PutTexts(&steps, ProtocolSteps) && SUCCEEDED(e->put_ProtocolSteps(steps)) && SUCCEEDED(e->Store(connection));
    if (!ok) return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
    m_LastMessage = 0;
    return 1;
  } catch (...) {
    return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
  }
}

int CTestInfo::WriteSample(IDispatch* connection) {
  if (connection == nullptr) return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
  try {
    tesk::ComPtr<ISampleRecord> s = CreateServerObject<ISampleRecord>(CLSID_SampleRecord);
    const std::string sampleName = Records.SampleName.empty() ? Name : Records.SampleName;
    tesk::Bstr name{std::string_view(sampleName)};
    bool ok = s && !sampleName.empty() && SUCCEEDED(s->put_Name(name.Get()));
    const std::pair<const char*, const std::string*> fields[] = {
        {"Chip Type", &ChipType},         {"Lot", &SampleInfo[0]},          {"Operator", &SampleInfo[1]},
        {"Type", &SampleInfo[2]},         {"Description", &SampleInfo[3]},  {"User", &Records.SampleUser}};
    for (const auto& [label, field] : fields) ok = ok && PutField(s.Get(), label, *field);
    // The four file entries, then any further attributes the record already had.
    std::vector<std::string> flat;
    for (size_t k = 0; k < kAttributeNames.size(); ++k) {
      flat.emplace_back(kAttributeNames[k]);
      flat.push_back(SampleInfo[4 + k]);
    }
    for (const auto& [n, v] : Records.SampleAttributes) {
      bool known = false;
      for (const char* a : kAttributeNames) known = known || n == a;
      if (!known) {
        flat.push_back(n);
        flat.push_back(v);
      }
    }
    tesk::Variant attributes;
    ok = ok && PutTexts(&attributes, flat) && SUCCEEDED(s->put_Attributes(attributes)) && SUCCEEDED(s->Store(connection));
    if (!ok) return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
    m_LastMessage = 0;
    return 1;
  } catch (...) {
    return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
  }
}

int CTestInfo::WriteEx() {
  ChipType = Records.SampleChipType;
  SampleInfo.assign(tesk::ostrel::kSampleInfoCount, std::string());
  SampleInfo[0] = Records.SampleLot;
  SampleInfo[1] = Records.SampleOperator;
  SampleInfo[2] = Records.SampleType;
  SampleInfo[3] = Records.SampleDescription;
  for (size_t k = 0; k < kAttributeNames.size(); ++k)
    for (const auto& [n, v] : Records.SampleAttributes)
      if (n == kAttributeNames[k]) SampleInfo[4 + k] = v;
  return Write();
}

}  // namespace TESK_OSTREL_NS
