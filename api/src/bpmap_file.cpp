// TeskBPMAPFile: a probe map file, read by the kit's own reader, and the sequence items it
// fills.
#include <tesk/internal/file.h>

#include <memory>

#include "classes.h"
#include "text.h"
#include "tiling_objects.h"

namespace tarvex {

class CTeskBPMAPFile final
    : public tesk::ComClass<CTeskBPMAPFile, tesk::DispatchImpl<ITeskBPMAPFile>,
                            tesk::SupportErrorInfoFor<ITeskBPMAPFile>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;

  HRESULT get_Name(BSTR* pVal) noexcept override { return HandOut(name_, pVal); }
  HRESULT put_Name(BSTR newVal) noexcept override {
    const ArrowMember m(kInfo, "put_Name");
    return ArrowGuarded(m, [&] {
      std::string v = tesk::FromBstr(newVal);
      // A name of more than six characters gets the extension unless it ends in "bpmap".
      if (v.size() > 6 && !EqualsNoCase(std::string_view(v).substr(v.size() - 5), "bpmap")) {
        v += ".bpmap";
      }
      name_ = std::move(v);
      return S_OK;
    });
  }
  HRESULT get_LibPath(BSTR* pVal) noexcept override { return HandOut(libPath_, pVal); }
  HRESULT put_LibPath(BSTR newVal) noexcept override {
    const ArrowMember m(kInfo, "put_LibPath");
    return ArrowGuarded(m, [&] {
      libPath_ = WithSeparator(tesk::FromBstr(newVal));
      return S_OK;
    });
  }
  HRESULT get_NumberSequences(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = static_cast<LONG>(count_);
    return S_OK;
  }

  HRESULT Exists(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = 0;
    const ArrowMember m(kInfo, "Exists");
    return ArrowGuarded(m, [&] {
      *pVal = tesk::internal::Exists(libPath_ + name_) ? 1 : 0;
      return S_OK;
    });
  }

  HRESULT Read() noexcept override { return Load("Read", false); }
  HRESULT ReadHeader() noexcept override { return Load("ReadHeader", true); }

  HRESULT GetSequenceItem(LONG index, ITeskSequenceItem* item) noexcept override {
    const ArrowMember m(kInfo, "GetSequenceItem");
    if (item == nullptr) return m.Fail(kObjectNull, E_POINTER);
    CTeskSequenceItem* target = CTeskSequenceItem::FromInterface(item);
    if (target == nullptr) return m.Fail(kForeignObject, E_INVALIDARG);
    if (!map_) return m.Fail(kNotRead);
    if (index < 0 || static_cast<std::size_t>(index) >= map_->sequences.size()) {
      return m.Fail(kOutOfRange);
    }
    // The item shares the read data, which no later read changes: it is the item's own copy.
    target->sequence = std::shared_ptr<const tesk::tiling::ProbeSequence>(
        map_, &map_->sequences[static_cast<std::size_t>(index)]);
    return S_OK;
  }

 private:
  // A full read replaces the sequences and marks the file read; a header read leaves it marked
  // not read. A failure leaves nothing read.
  HRESULT Load(const char* member, bool header_only) noexcept {
    const ArrowMember m(kInfo, member);
    return ArrowGuarded(m, [&] {
      map_.reset();
      count_ = 0;
      auto map = std::make_shared<tesk::tiling::ProbeMap>();
      std::string error;  // what the reader found; the client sees the fixed text
      if (!tesk::tiling::ReadProbeMap(libPath_ + name_, header_only, *map, error)) {
        return m.Fail("Unable to read the BPMAP file.");
      }
      count_ = map->sequence_count;
      if (!header_only) map_ = std::move(map);
      return S_OK;
    });
  }

  std::string name_;
  std::string libPath_;
  std::uint32_t count_ = 0;                               // N of the last header or file read
  std::shared_ptr<const tesk::tiling::ProbeMap> map_;  // none until a full read succeeded
};

const ClassInfo CTeskBPMAPFile::kInfo{&CLSID_TeskBPMAPFile, &IID_ITeskBPMAPFile, "ITeskBPMAPFile",
                                      TESKBPMAPFILE_PROGID};

constexpr tesk::DispMember kBPMAPFileMembers[] = {
    tesk::DispPropGet<&ITeskBPMAPFile::get_Name>("Name", 1),
    tesk::DispPropPut<&ITeskBPMAPFile::put_Name>("Name", 1),
    tesk::DispPropGet<&ITeskBPMAPFile::get_LibPath>("LibPath", 2),
    tesk::DispPropPut<&ITeskBPMAPFile::put_LibPath>("LibPath", 2),
    tesk::DispPropGet<&ITeskBPMAPFile::get_NumberSequences>("NumberSequences", 3),
    tesk::DispMethod<&ITeskBPMAPFile::Exists, tesk::kRetval>("Exists", 4),
    tesk::DispMethod<&ITeskBPMAPFile::Read>("Read", 5),
    tesk::DispMethod<&ITeskBPMAPFile::ReadHeader>("ReadHeader", 6),
    tesk::DispMethod<&ITeskBPMAPFile::GetSequenceItem>("GetSequenceItem", 7),
};
const tesk::DispTable kTeskBPMAPFileTable{"ITeskBPMAPFile", &IID_ITeskBPMAPFile, kBPMAPFileMembers};

HRESULT GetTeskBPMAPFileFactory(REFIID riid, void** ppv) {
  return tesk::ClassFactory<CTeskBPMAPFile>::Get(riid, ppv);
}

}  // namespace tarvex
