// FileRecord: whether the database knows a file, and its owner and description.
#include <optional>

#include "objects.h"
#include "store.h"

namespace tesk::zorum {
namespace {

constexpr DispParamInfo kExistsParams[] = {{VT_DISPATCH, PARAMFLAG_FIN, "connection"},
                                           {VT_BOOL | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, "known"}};

constexpr DispMember kMembers[] = {
    DispPropGet<&IFileRecord::get_FileName>("FileName", 1),
    DispPropPut<&IFileRecord::put_FileName>("FileName", 1),
    DispCustom<&IFileRecord::Exists>("Exists", 2, DISPATCH_METHOD, kExistsParams),
    DispMethod<&IFileRecord::Fetch>("Fetch", 3),
    DispPropGet<&IFileRecord::get_OwnerName>("OwnerName", 4),
    DispPropGet<&IFileRecord::get_Field>("Field", 5),
};
constexpr DispTable kTable{"IFileRecord", &IID_IFileRecord, kMembers};

class CFileRecord final : public ComClass<CFileRecord, DispatchImpl<IFileRecord>, SupportErrorInfoFor<IFileRecord>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CFileRecord(std::string) {}

  HRESULT get_FileName(BSTR* name) noexcept override {
    if (name == nullptr) return E_POINTER;
    return Guard("IFileRecord-get_FileName", IID_IFileRecord, [&] {
      *name = Hand(name_);
      return S_OK;
    });
  }
  HRESULT put_FileName(BSTR name) noexcept override {
    return Guard("IFileRecord-put_FileName", IID_IFileRecord, [&] {
      name_ = FromBstr(name);
      row_.reset();
      return S_OK;
    });
  }
  HRESULT Exists(IDispatch* connection, VARIANT_BOOL* known) noexcept override {
    if (known == nullptr) return E_POINTER;
    *known = VARIANT_FALSE;
    return Guard("IFileRecord-Exists", IID_IFileRecord, [&] {
      *known = FindFile(ConnectionDatabase(connection), name_) ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    });
  }
  HRESULT Fetch(IDispatch* connection) noexcept override {
    return Guard("IFileRecord-Fetch", IID_IFileRecord, [&] {
      row_ = FindFile(ConnectionDatabase(connection), name_);
      return S_OK;
    });
  }
  HRESULT get_OwnerName(BSTR* owner) noexcept override {
    if (owner == nullptr) return E_POINTER;
    return Guard("IFileRecord-get_OwnerName", IID_IFileRecord, [&] {
      *owner = Hand(row_ ? row_->owner : std::string());
      return S_OK;
    });
  }
  HRESULT get_Field(BSTR field, BSTR* value) noexcept override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return Guard("IFileRecord-get_Field", IID_IFileRecord, [&] {
      const std::string f = FromBstr(field);
      std::optional<std::string> v = FileField(row_ ? *row_ : FileRow{}, f);
      if (!v) Throw(E_INVALIDARG, "unknown field \"" + f + "\"");
      *value = Hand(*v);
      return S_OK;
    });
  }

 private:
  std::string name_;
  std::optional<FileRow> row_;
};

}  // namespace

const DispTable& FileRecordTable() { return kTable; }
HRESULT GetFileRecordFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CFileRecord>::Get(riid, ppv); }

}  // namespace tesk::zorum
