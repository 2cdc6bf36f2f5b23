// The tiling-array objects: TeskBPMAPFile and TeskBARFile, which read their files themselves,
// and the items they fill: TeskSequenceItem, TeskSequenceHitItem, TeskSequenceResultItem.
//
// Their error texts are complete: "Failure in " + interface + "->" + member + ": " + detail.
// An item holds the data it shows (shared, never changed once read), so it stays valid after
// its file object is released or reads another file.
#ifndef TESK_API_SRC_TILING_OBJECTS_H_
#define TESK_API_SRC_TILING_OBJECTS_H_

#include <tesk/tarvex.h>

#include <memory>
#include <string>
#include <string_view>

#include "errors.h"
#include "module.h"
#include "tiling/probe_map.h"
#include "tiling/tiling_result.h"

namespace tarvex {

extern const tesk::DispTable kTeskSequenceItemTable;
extern const tesk::DispTable kTeskSequenceHitItemTable;
extern const tesk::DispTable kTeskBPMAPFileTable;
extern const tesk::DispTable kTeskBARFileTable;
extern const tesk::DispTable kTeskSequenceResultItemTable;

HRESULT GetTeskSequenceItemFactory(REFIID riid, void** ppv);
HRESULT GetTeskSequenceHitItemFactory(REFIID riid, void** ppv);
HRESULT GetTeskBPMAPFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskBARFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskSequenceResultItemFactory(REFIID riid, void** ppv);

// Texts of the tiling objects.
inline constexpr std::string_view kNotRead = "The file has not yet been read.";
inline constexpr std::string_view kOutOfRange = "Index out of range.";
inline constexpr std::string_view kObjectNull = "The interface object should not be NULL.";
inline constexpr std::string_view kForeignObject = "The object is not an object of this library.";

// One member call of a tiling object: fails with the complete "->" text.
class ArrowMember {
 public:
  ArrowMember(const ClassInfo& info, std::string_view member) : info_(info), member_(member) {}
  HRESULT Fail(std::string_view detail, HRESULT hr = E_FAIL) const;

 private:
  const ClassInfo& info_;
  std::string_view member_;
};

// Runs body() so that no exception crosses the interface: memory exhaustion fails the member
// with E_OUTOFMEMORY, anything else with E_FAIL.
template <class Body>
HRESULT ArrowGuarded(const ArrowMember& m, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    try {
      return m.Fail("Out of memory.", E_OUTOFMEMORY);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  } catch (...) {
    return E_FAIL;
  }
}

// "/" after a directory that lacks one (an empty value gives "/"): the file read is the
// directory followed directly by the name.
std::string WithSeparator(std::string dir);

class CTeskSequenceHitItem final
    : public tesk::ComClass<CTeskSequenceHitItem, tesk::DispatchImpl<ITeskSequenceHitItem>,
                            tesk::SupportErrorInfoFor<ITeskSequenceHitItem>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;
  static CTeskSequenceHitItem* FromInterface(ITeskSequenceHitItem* p) noexcept {
    return dynamic_cast<CTeskSequenceHitItem*>(p);
  }

  HRESULT get_PMPosX(LONG* pVal) noexcept override;
  HRESULT get_PMPosY(LONG* pVal) noexcept override;
  HRESULT get_MMPosX(LONG* pVal) noexcept override;
  HRESULT get_MMPosY(LONG* pVal) noexcept override;
  HRESULT get_ProbeLength(char* pVal) noexcept override;
  HRESULT get_PMProbe(BSTR* pVal) noexcept override;
  HRESULT get_MatchScore(FLOAT* pVal) noexcept override;
  HRESULT get_Position(LONG* pVal) noexcept override;
  HRESULT get_TopStrand(LONG* pVal) noexcept override;

  tesk::tiling::ProbeHit hit;  // a copy; zeros until filled
};

class CTeskSequenceItem final
    : public tesk::ComClass<CTeskSequenceItem, tesk::DispatchImpl<ITeskSequenceItem>,
                            tesk::SupportErrorInfoFor<ITeskSequenceItem>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;
  static CTeskSequenceItem* FromInterface(ITeskSequenceItem* p) noexcept {
    return dynamic_cast<CTeskSequenceItem*>(p);
  }

  HRESULT get_Name(BSTR* pVal) noexcept override;
  HRESULT get_Number(LONG* pVal) noexcept override;
  HRESULT get_NumberHits(LONG* pVal) noexcept override;
  HRESULT GetHitItem(LONG index, ITeskSequenceHitItem* hit) noexcept override;
  HRESULT get_GroupName(BSTR* pVal) noexcept override;
  HRESULT get_Version(BSTR* pVal) noexcept override;
  HRESULT GetParameter(LONG index, BSTR* tag, BSTR* value) noexcept override;
  HRESULT get_NumberParameters(LONG* pVal) noexcept override;

  // The sequence shown; none until filled (an empty sequence).
  std::shared_ptr<const tesk::tiling::ProbeSequence> sequence;
};

class CTeskSequenceResultItem final
    : public tesk::ComClass<CTeskSequenceResultItem, tesk::DispatchImpl<ITeskSequenceResultItem>,
                            tesk::SupportErrorInfoFor<ITeskSequenceResultItem>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;
  static CTeskSequenceResultItem* FromInterface(ITeskSequenceResultItem* p) noexcept {
    return dynamic_cast<CTeskSequenceResultItem*>(p);
  }

  HRESULT get_Name(BSTR* pVal) noexcept override;
  HRESULT get_Version(BSTR* pVal) noexcept override;
  HRESULT get_NumberDataPoints(LONG* pVal) noexcept override;
  HRESULT GetColumnType(LONG index, TARVEX_BAR_DATA_TYPE* pVal) noexcept override;
  HRESULT get_NumberColumns(LONG* pVal) noexcept override;
  HRESULT GetIntegerDataPoint(LONG dataIndex, LONG columnIndex, LONG* pVal) noexcept override;
  HRESULT GetFloatDataPoint(LONG dataIndex, LONG columnIndex, FLOAT* pVal) noexcept override;

  // The file read (for its column types) and the sequence shown; none until filled.
  std::shared_ptr<const tesk::tiling::TilingResult> file;
  const tesk::tiling::ResultSequence* sequence = nullptr;

 private:
  // The value at (dataIndex, columnIndex), or a failure of member m.
  HRESULT Value(const ArrowMember& m, LONG dataIndex, LONG columnIndex, bool integer,
                std::uint32_t* bits) const;
};

}  // namespace tarvex

template <>
struct tesk::DispatchTableOf<ITeskSequenceItem> {
  static const DispTable& Get() { return tarvex::kTeskSequenceItemTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskSequenceHitItem> {
  static const DispTable& Get() { return tarvex::kTeskSequenceHitItemTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskBPMAPFile> {
  static const DispTable& Get() { return tarvex::kTeskBPMAPFileTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskBARFile> {
  static const DispTable& Get() { return tarvex::kTeskBARFileTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskSequenceResultItem> {
  static const DispTable& Get() { return tarvex::kTeskSequenceResultItemTable; }
};

#endif  // TESK_API_SRC_TILING_OBJECTS_H_
