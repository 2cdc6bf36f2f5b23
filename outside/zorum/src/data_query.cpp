// DataQuery: the browsing object of the file chooser, and LocalSettings: the directories of
// this computer's server.
#include "objects.h"
#include "store.h"

namespace tesk::zorum {
namespace {

constexpr DispMember kQueryMembers[] = {
    DispPropGet<&IDataQuery::get_Filter>("Filter", 1),
    DispPropPut<&IDataQuery::put_Filter>("Filter", 1),
    DispMethod<&IDataQuery::List>("List", 2),
    DispMethod<&IDataQuery::ListFiles>("ListFiles", 3),
};
constexpr DispTable kQueryTable{"IDataQuery", &IID_IDataQuery, kQueryMembers};

constexpr DispMember kSettingsMembers[] = {
    DispMethod<&ILocalSettings::Initialize>("Initialize", 1),
    DispPropGet<&ILocalSettings::get_DataPath>("DataPath", 2),
    DispPropGet<&ILocalSettings::get_LibraryPath>("LibraryPath", 3),
};
constexpr DispTable kSettingsTable{"ILocalSettings", &IID_ILocalSettings, kSettingsMembers};

class CDataQuery final : public ComClass<CDataQuery, DispatchImpl<IDataQuery>, SupportErrorInfoFor<IDataQuery>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CDataQuery(std::string) {}

  HRESULT get_Filter(BSTR name, BSTR* value) noexcept override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Guard("IDataQuery-get_Filter", IID_IDataQuery, [&] {
      auto it = filters_.find(Checked(name));
      *value = Hand(it == filters_.end() ? std::string() : it->second);
      return S_OK;
    });
  }
  HRESULT put_Filter(BSTR name, BSTR value) noexcept override {
    return Guard("IDataQuery-put_Filter", IID_IDataQuery, [&] {
      filters_[Checked(name)] = FromBstr(value);
      return S_OK;
    });
  }
  HRESULT List(IDispatch* connection, BSTR kind, VARIANT* values) noexcept override {
    if (!values) return E_POINTER;
    return Guard("IDataQuery-List", IID_IDataQuery, [&] {
      const std::string k = FromBstr(kind);
      std::optional<std::vector<std::string>> v = ListValues(ConnectionDatabase(connection), k, filters_);
      if (!v) Throw(E_INVALIDARG, "unknown list \"" + k + "\"");
      PutList(values, *v);
      return S_OK;
    });
  }
  HRESULT ListFiles(IDispatch* connection, VARIANT* names, VARIANT* samples, VARIANT* experiments, VARIANT* projects,
                    VARIANT* types, VARIANT* owners) noexcept override {
    if (!names || !samples || !experiments || !projects || !types || !owners) return E_POINTER;
    return Guard("IDataQuery-ListFiles", IID_IDataQuery, [&] {
      std::vector<std::string> n, s, e, p, t, o;
      for (FileRow& f : tesk::zorum::ListFiles(ConnectionDatabase(connection), filters_)) {
        n.push_back(std::move(f.name));
        s.push_back(std::move(f.sample));
        e.push_back(std::move(f.experiment));
        p.push_back(std::move(f.project));
        t.push_back(std::move(f.type));
        o.push_back(std::move(f.owner));
      }
      PutList(names, n);
      PutList(samples, s);
      PutList(experiments, e);
      PutList(projects, p);
      PutList(types, t);
      PutList(owners, o);
      return S_OK;
    });
  }

 private:
  static std::string Checked(BSTR name) {
    std::string n = FromBstr(name);
    if (!IsFilterName(n)) Throw(E_INVALIDARG, "unknown filter \"" + n + "\"");
    return n;
  }
  Filters filters_;
};

class CLocalSettings final
    : public ComClass<CLocalSettings, DispatchImpl<ILocalSettings>, SupportErrorInfoFor<ILocalSettings>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CLocalSettings(std::string) {}

  HRESULT Initialize() noexcept override {
    return Guard("ILocalSettings-Initialize", IID_ILocalSettings, [&] {
      std::unique_ptr<Database> db = OpenServer(RequireServer(ResolveServerName("")));
      data_ = GetSetting(*db, "dataPath");
      library_ = GetSetting(*db, "libraryPath");
      return S_OK;
    });
  }
  HRESULT get_DataPath(BSTR* path) noexcept override {
    if (!path) return E_POINTER;
    return Guard("ILocalSettings-get_DataPath", IID_ILocalSettings, [&] {
      *path = Hand(data_);
      return S_OK;
    });
  }
  HRESULT get_LibraryPath(BSTR* path) noexcept override {
    if (!path) return E_POINTER;
    return Guard("ILocalSettings-get_LibraryPath", IID_ILocalSettings, [&] {
      *path = Hand(library_);
      return S_OK;
    });
  }

 private:
  std::string data_, library_;
};

}  // namespace

const DispTable& DataQueryTable() { return kQueryTable; }
const DispTable& LocalSettingsTable() { return kSettingsTable; }
HRESULT GetDataQueryFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CDataQuery>::Get(riid, ppv); }
HRESULT GetLocalSettingsFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CLocalSettings>::Get(riid, ppv); }

}  // namespace tesk::zorum
