// The experiment object with its protocol steps, and the sample record behind it.
#include "objects.h"
#include "store.h"

namespace tesk::zorum {
namespace {

constexpr DispParamInfo kExistsParams[] = {{VT_DISPATCH, PARAMFLAG_FIN, "connection"},
                                           {VT_BOOL | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, "known"}};

constexpr DispMember kExperimentMembers[] = {
    DispPropGet<&IExperiment::get_Name>("Name", 1),
    DispPropPut<&IExperiment::put_Name>("Name", 1),
    DispCustom<&IExperiment::Exists>("Exists", 2, DISPATCH_METHOD, kExistsParams),
    DispMethod<&IExperiment::Fetch>("Fetch", 3),
    DispPropGet<&IExperiment::get_Field>("Field", 4),
    DispPropPut<&IExperiment::put_Field>("Field", 4),
    DispPropGet<&IExperiment::get_ProtocolSteps>("ProtocolSteps", 5),
    DispPropPut<&IExperiment::put_ProtocolSteps>("ProtocolSteps", 5),
    DispPropGet<&IExperiment::get_Sample>("Sample", 6),
    DispMethod<&IExperiment::Store>("Store", 7),
};
constexpr DispTable kExperimentTable{"IExperiment", &IID_IExperiment, kExperimentMembers};

constexpr DispMember kSampleMembers[] = {
    DispPropGet<&ISampleRecord::get_Name>("Name", 1),
    DispPropPut<&ISampleRecord::put_Name>("Name", 1),
    DispPropGet<&ISampleRecord::get_Field>("Field", 2),
    DispPropPut<&ISampleRecord::put_Field>("Field", 2),
    DispPropGet<&ISampleRecord::get_Attributes>("Attributes", 3),
    DispPropPut<&ISampleRecord::put_Attributes>("Attributes", 3),
    DispMethod<&ISampleRecord::Fetch>("Fetch", 4),
    DispMethod<&ISampleRecord::Store>("Store", 5),
};
constexpr DispTable kSampleTable{"ISampleRecord", &IID_ISampleRecord, kSampleMembers};

HRESULT PutText(BSTR* out, const std::string& text) {
  *out = Hand(text);
  return S_OK;
}

class CSampleRecord final : public ComClass<CSampleRecord, DispatchImpl<ISampleRecord>, SupportErrorInfoFor<ISampleRecord>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CSampleRecord(std::string) {}
  CSampleRecord(std::string, SampleRecord record) : rec_(std::move(record)) {}

  HRESULT get_Name(BSTR* name) noexcept override {
    if (!name) return E_POINTER;
    return Guard("ISampleRecord-get_Name", IID_ISampleRecord, [&] { return PutText(name, rec_.name); });
  }
  HRESULT put_Name(BSTR name) noexcept override {
    return Guard("ISampleRecord-put_Name", IID_ISampleRecord, [&] {
      rec_.name = FromBstr(name);
      return S_OK;
    });
  }
  HRESULT get_Field(BSTR name, BSTR* value) noexcept override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Guard("ISampleRecord-get_Field", IID_ISampleRecord, [&] {
      const std::string n = Checked(name);
      auto it = rec_.fields.find(n);
      return PutText(value, it == rec_.fields.end() ? std::string() : it->second);
    });
  }
  HRESULT put_Field(BSTR name, BSTR value) noexcept override {
    return Guard("ISampleRecord-put_Field", IID_ISampleRecord, [&] {
      rec_.fields[Checked(name)] = FromBstr(value);
      return S_OK;
    });
  }
  HRESULT get_Attributes(VARIANT* pairs) noexcept override {
    if (!pairs) return E_POINTER;
    return Guard("ISampleRecord-get_Attributes", IID_ISampleRecord, [&] {
      std::vector<std::string> flat;
      for (const auto& [n, v] : rec_.attributes) {
        flat.push_back(n);
        flat.push_back(v);
      }
      PutList(pairs, flat);
      return S_OK;
    });
  }
  HRESULT put_Attributes(VARIANT pairs) noexcept override {
    return Guard("ISampleRecord-put_Attributes", IID_ISampleRecord, [&] {
      const std::vector<std::string> flat = GetList(pairs);
      if (flat.size() % 2) Throw(E_INVALIDARG, "attributes come in pairs of name and value");
      rec_.attributes.clear();
      for (size_t i = 0; i < flat.size(); i += 2) rec_.attributes.emplace_back(flat[i], flat[i + 1]);
      return S_OK;
    });
  }
  HRESULT Fetch(IDispatch* connection) noexcept override {
    return Guard("ISampleRecord-Fetch", IID_ISampleRecord, [&] {
      std::optional<SampleRecord> r = ReadSample(ConnectionDatabase(connection), rec_.name);
      if (!r) Throw(E_FAIL, "the sample \"" + rec_.name + "\" is unknown");
      rec_ = std::move(*r);
      return S_OK;
    });
  }
  HRESULT Store(IDispatch* connection) noexcept override {
    return Guard("ISampleRecord-Store", IID_ISampleRecord, [&] {
      if (rec_.name.empty()) Throw(E_INVALIDARG, "the sample has no name");
      Database& db = ConnectionDatabase(connection);
      Transaction t(db);
      WriteSample(db, rec_);
      t.Commit();
      return S_OK;
    });
  }

 private:
  static std::string Checked(BSTR name) {
    std::string n = FromBstr(name);
    if (!IsSampleField(n)) Throw(E_INVALIDARG, "unknown sample field \"" + n + "\"");
    return n;
  }
  SampleRecord rec_;
};

class CExperiment final : public ComClass<CExperiment, DispatchImpl<IExperiment>, SupportErrorInfoFor<IExperiment>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CExperiment(std::string server) : server_(std::move(server)) {}

  HRESULT get_Name(BSTR* name) noexcept override {
    if (!name) return E_POINTER;
    return Guard("IExperiment-get_Name", IID_IExperiment, [&] { return PutText(name, rec_.name); });
  }
  HRESULT put_Name(BSTR name) noexcept override {
    return Guard("IExperiment-put_Name", IID_IExperiment, [&] {
      rec_.name = FromBstr(name);
      return S_OK;
    });
  }
  HRESULT Exists(IDispatch* connection, VARIANT_BOOL* known) noexcept override {
    if (!known) return E_POINTER;
    *known = VARIANT_FALSE;
    return Guard("IExperiment-Exists", IID_IExperiment, [&] {
      *known = ExperimentExists(ConnectionDatabase(connection), rec_.name) ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    });
  }
  HRESULT Fetch(IDispatch* connection) noexcept override {
    return Guard("IExperiment-Fetch", IID_IExperiment, [&] {
      Database& db = ConnectionDatabase(connection);
      std::optional<ExperimentRecord> e = ReadExperiment(db, rec_.name);
      if (!e) Throw(E_FAIL, "the experiment \"" + rec_.name + "\" is unknown");
      const std::string sampleName = e->fields["Sample"];
      std::optional<SampleRecord> s = ReadSample(db, sampleName);
      rec_ = std::move(*e);
      sample_ = s ? std::move(*s) : SampleRecord{sampleName, {}, {}};
      return S_OK;
    });
  }
  HRESULT get_Field(BSTR label, BSTR* value) noexcept override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Guard("IExperiment-get_Field", IID_IExperiment, [&] {
      auto it = rec_.fields.find(Checked(label));
      return PutText(value, it == rec_.fields.end() ? std::string() : it->second);
    });
  }
  HRESULT put_Field(BSTR label, BSTR value) noexcept override {
    return Guard("IExperiment-put_Field", IID_IExperiment, [&] {
      rec_.fields[Checked(label)] = FromBstr(value);
      return S_OK;
    });
  }
  HRESULT get_ProtocolSteps(VARIANT* steps) noexcept override {
    if (!steps) return E_POINTER;
    return Guard("IExperiment-get_ProtocolSteps", IID_IExperiment, [&] {
      PutList(steps, rec_.steps);
      return S_OK;
    });
  }
  HRESULT put_ProtocolSteps(VARIANT steps) noexcept override {
    return Guard("IExperiment-put_ProtocolSteps", IID_IExperiment, [&] {
      rec_.steps = GetList(steps);
      return S_OK;
    });
  }
  HRESULT get_Sample(IDispatch** sample) noexcept override {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    return Guard("IExperiment-get_Sample", IID_IExperiment, [&] { return NewSampleObject(server_, sample_, sample); });
  }
  HRESULT Store(IDispatch* connection) noexcept override {
    return Guard("IExperiment-Store", IID_IExperiment, [&] {
      if (rec_.name.empty()) Throw(E_INVALIDARG, "the experiment has no name");
      Database& db = ConnectionDatabase(connection);
      Transaction t(db);
      WriteExperiment(db, rec_);
      t.Commit();
      return S_OK;
    });
  }

 private:
  static std::string Checked(BSTR label) {
    std::string n = FromBstr(label);
    if (!IsExperimentField(n)) Throw(E_INVALIDARG, "unknown experiment field \"" + n + "\"");
    return n;
  }
  std::string server_;
  ExperimentRecord rec_;
  SampleRecord sample_;
};

}  // namespace

HRESULT NewSampleObject(const std::string& server, const SampleRecord& record, IDispatch** out) {
  return CreateComObject<CSampleRecord>(IID_IDispatch, reinterpret_cast<void**>(out), server, record);
}

const DispTable& ExperimentTable() { return kExperimentTable; }
const DispTable& SampleTable() { return kSampleTable; }
HRESULT GetExperimentFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CExperiment>::Get(riid, ppv); }
HRESULT GetSampleFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CSampleRecord>::Get(riid, ppv); }

}  // namespace tesk::zorum
