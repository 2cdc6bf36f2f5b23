// TeskDATFile: a scanner image file read through ImageData of Imbrel7. Pixel rows are reached
// through the reader's mapped window of at most 250 rows, mapped forward from the row asked for.
#include <tesk/imbrel7.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "classes.h"
#include "file_object.h"

namespace tarvex {
namespace {

// The operations of Imbrel7 this object calls, bound on first use. The destructor is virtual,
// so only the constructor and the plain members need binding.
struct ImbrelOps {
  void (*construct)(ImageData*) = nullptr;
  void (*setName)(ImageData*, const char*) = nullptr;
  int (*exists)(ImageData*) = nullptr;
  int (*readHeader)(ImageData*) = nullptr;
  int (*open)(ImageData*, RWAccess, ShareMode) = nullptr;
  int (*mapData)(ImageData*, int, int) = nullptr;
  void (*close)(ImageData*) = nullptr;
};

const ImbrelOps* Imbrel7() {
  static const ImbrelOps* const ops = []() -> const ImbrelOps* {
    static ImbrelOps o;
    bool ok = BindLibrary("libimbrel7.so", {{"_ZN7imbrel79ImageDataC1Ev", reinterpret_cast<void**>(&o.construct)},
                                            {"_ZN7imbrel79ImageData7SetNameEPKc", reinterpret_cast<void**>(&o.setName)},
                                            {"_ZN7imbrel79ImageData6ExistsEv", reinterpret_cast<void**>(&o.exists)},
                                            {"_ZN7imbrel79ImageData10ReadHeaderEv", reinterpret_cast<void**>(&o.readHeader)},
                                            {"_ZN7imbrel79ImageData4OpenEii", reinterpret_cast<void**>(&o.open)},
                                            {"_ZN7imbrel79ImageData7MapDataEii", reinterpret_cast<void**>(&o.mapData)},
                                            {"_ZN7imbrel79ImageData5CloseEv", reinterpret_cast<void**>(&o.close)}});
    return ok ? &o : nullptr;
  }();
  return ops;
}

struct DestroyImage {
  void operator()(ImageData* p) const { delete p; }  // the virtual destructor is the library's
};

constexpr int kWindowRows = 250;

}  // namespace

class CTeskDATFile final : public FileObject<CTeskDATFile, ITeskDATFile> {
 public:
  static const ClassInfo kInfo;
  static constexpr FileKind kKind{".DAT", IDS_DAT_NAME_EMPTY, IDS_DAT_EXTENSION};
  static constexpr const char* kLibrary = "libimbrel7.so";

  ~CTeskDATFile() override {
    if (reader_) GiveBack();
  }

  bool BindReader() {
    if (reader_) return true;
    ops_ = Imbrel7();
    if (ops_ == nullptr) return false;
    void* storage = ::operator new(sizeof(ImageData));
    ops_->construct(static_cast<ImageData*>(storage));
    reader_.reset(static_cast<ImageData*>(storage));
    return true;
  }
  void ReaderSetPath(const std::string& path) { ops_->setName(reader_.get(), path.c_str()); }
  int ReaderExists() { return ops_->exists(reader_.get()); }
  void ReaderClose() {
    std::lock_guard lock(window_);
    ops_->close(reader_.get());
  }

  HRESULT get_ChipType(BSTR* pVal) noexcept override { return HandOut(Header() ? reader_->ChipField[1] : "", pVal); }
  HRESULT get_NumPixelsPerRow(LONG* pVal) noexcept override { return Value(pVal, &ImageData::Cols); }
  HRESULT get_NumRows(LONG* pVal) noexcept override { return Value(pVal, &ImageData::Rows); }
  HRESULT get_MinData(LONG* pVal) noexcept override { return Value(pVal, &ImageData::MinData); }
  HRESULT get_MaxData(LONG* pVal) noexcept override { return Value(pVal, &ImageData::MaxData); }
  HRESULT get_PixelSize(LONG* pVal) noexcept override { return Value(pVal, &ImageData::PixelSize); }
  HRESULT get_CellMargin(LONG* pVal) noexcept override { return Value(pVal, &ImageData::CellMargin); }
  HRESULT get_ScanSpeed(LONG* pVal) noexcept override { return Value(pVal, &ImageData::ScanSpeed); }
  HRESULT get_ScanDate(BSTR* pVal) noexcept override {
    try {
      return HandOut(Header() ? ReformatDateText(reader_->ScanDate) : std::string(), pVal);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  HRESULT get_ScannerID(BSTR* pVal) noexcept override { return HandOut(Header() ? reader_->ScannerID : "", pVal); }
  // The header keeps upper left, upper right, lower right, lower left.
  HRESULT get_UpperLeftX(LONG* pVal) noexcept override { return Corner(pVal, 0); }
  HRESULT get_UpperLeftY(LONG* pVal) noexcept override { return Corner(pVal, 1); }
  HRESULT get_UpperRightX(LONG* pVal) noexcept override { return Corner(pVal, 2); }
  HRESULT get_UpperRightY(LONG* pVal) noexcept override { return Corner(pVal, 3); }
  HRESULT get_LowerLeftX(LONG* pVal) noexcept override { return Corner(pVal, 6); }
  HRESULT get_LowerLeftY(LONG* pVal) noexcept override { return Corner(pVal, 7); }
  HRESULT get_LowerRightX(LONG* pVal) noexcept override { return Corner(pVal, 4); }
  HRESULT get_LowerRightY(LONG* pVal) noexcept override { return Corner(pVal, 5); }

  HRESULT Exists(LONG* pVal) noexcept override { return ExistsWithServer(pVal); }

  HRESULT Read() noexcept override {
    Member m(kInfo, "Read");
    return Guarded(m, [&] {
      if (HRESULT hr = BeginRead(m, false, IDS_DAT_NOT_FOUND); FAILED(hr)) return hr;
      std::lock_guard lock(window_);
      // A header that cannot be read makes the read fail: the file is not an image, and
      // answering success would hand out a zero-sized image as if it had been read.
      if (ops_->readHeader(reader_.get()) == 0 || ops_->open(reader_.get(), IMAGE_READ, IMAGE_SHARE_READ) == 0) {
        ops_->close(reader_.get());
        s_.database.GiveBackMarker();
        return m.Fail(IDS_DAT_CANNOT_READ);
      }
      StampFileDate();
      s_.headerLoaded = s_.dataLoaded = true;
      return S_OK;
    });
  }

  HRESULT ReadHeader() noexcept override {
    Member m(kInfo, "ReadHeader");
    return Guarded(m, [&] {
      if (HRESULT hr = BeginRead(m, true, IDS_DAT_NOT_FOUND); FAILED(hr)) return hr;
      int ok = 0;
      try {
        std::lock_guard lock(window_);
        ok = ops_->readHeader(reader_.get());
      } catch (...) {
        ok = 0;
      }
      GiveBack();
      if (ok == 0) return m.Fail(IDS_DAT_CANNOT_READ_HEADER);
      s_.headerLoaded = true;
      return S_OK;
    });
  }

  // The window lock makes one caller's use of the mapped rows, and any remap, exclusive: two
  // threads asking for rows in different windows would otherwise read a window the other one
  // has just unmapped.
  HRESULT GetIntensity(LONG x, LONG y, LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = 65535;
    if (!s_.dataLoaded) return S_OK;
    Member m(kInfo, "GetIntensity");
    return Guarded(m, [&] {
      std::lock_guard lock(window_);
      MakeRowAvailable(y);
      const ImageData& r = *reader_;
      if (r.Pixels == nullptr) return S_OK;
      if (x < 0 || x >= r.Cols) return m.Fail(IDS_X_OUT_OF_RANGE);
      if (!InWindow(y)) return m.Fail(IDS_Y_OUT_OF_RANGE);
      *pVal = r.Pixels[static_cast<size_t>(y - r.FirstLine) * static_cast<size_t>(r.Cols) + static_cast<size_t>(x)];
      return S_OK;
    });
  }

  HRESULT GetLineIntensities(LONG line, SAFEARRAY** values) noexcept override {
    Member m(kInfo, "GetLineIntensities");
    return Guarded(m, [&] {
      if (values == nullptr) return m.Fail(IDS_ARRAY_NULL, E_POINTER);
      if (!s_.dataLoaded) return S_OK;
      std::lock_guard lock(window_);
      MakeRowAvailable(line);
      const ImageData& r = *reader_;
      if (r.Pixels == nullptr) return S_OK;
      if (!InWindow(line)) return m.Fail(IDS_INDEX_OUT_OF_RANGE);
      SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(r.Cols));
      if (array == nullptr) return m.Fail(IDS_LINE_ARRAY_CREATE);
      LONG* out = nullptr;
      if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&out)))) {
        SafeArrayDestroy(array);
        return m.Fail(IDS_LINE_ARRAY_ACCESS);
      }
      const std::uint16_t* row = r.Pixels + static_cast<size_t>(line - r.FirstLine) * static_cast<size_t>(r.Cols);
      std::copy(row, row + r.Cols, out);
      SafeArrayUnaccessData(array);
      *values = array;
      return S_OK;
    });
  }

 private:
  bool Header() const { return s_.headerLoaded && reader_; }

  template <class T>
  HRESULT Value(LONG* pVal, T ImageData::*field) noexcept {
    if (pVal == nullptr) return E_POINTER;
    *pVal = Header() ? static_cast<LONG>((*reader_).*field) : 0;
    return S_OK;
  }
  HRESULT Corner(LONG* pVal, int i) noexcept {
    if (pVal == nullptr) return E_POINTER;
    *pVal = Header() ? reader_->GridCorners[i] : 0;
    return S_OK;
  }

  bool InWindow(LONG row) const {
    const ImageData& r = *reader_;
    return r.NumLines != 0 && row >= r.FirstLine && row < static_cast<LONG>(r.FirstLine) + r.NumLines;
  }
  // Maps from `row` the next (up to) 250 rows unless it is already in the window. Rows outside
  // the image are never mapped. Called with the window lock held.
  void MakeRowAvailable(LONG row) {
    if (InWindow(row)) return;
    const ImageData& r = *reader_;
    if (row < 0 || row >= r.Rows) return;
    ops_->mapData(reader_.get(), row, std::min<LONG>(kWindowRows, r.Rows - row));
  }

  const ImbrelOps* ops_ = nullptr;
  std::unique_ptr<ImageData, DestroyImage> reader_;
  std::mutex window_;
};

const ClassInfo CTeskDATFile::kInfo{&CLSID_TeskDATFile, &IID_ITeskDATFile, "ITeskDATFile", TESKDATFILE_PROGID};

constexpr tesk::DispMember kDatMembers[] = {
    tesk::DispPropGet<&ITeskDATFile::get_Name>("Name", 1),
    tesk::DispPropPut<&ITeskDATFile::put_Name>("Name", 1),
    tesk::DispPropGet<&ITeskDATFile::get_DataPath>("DataPath", 2),
    tesk::DispPropPut<&ITeskDATFile::put_DataPath>("DataPath", 2),
    tesk::DispPropGet<&ITeskDATFile::get_LibPath>("LibPath", 3),
    tesk::DispPropPut<&ITeskDATFile::put_LibPath>("LibPath", 3),
    tesk::DispPropGet<&ITeskDATFile::get_FullPathName>("FullPathName", 4),
    tesk::DispPropGet<&ITeskDATFile::get_ChipType>("ChipType", 5),
    tesk::DispPropGet<&ITeskDATFile::get_Date>("Date", 6),
    tesk::DispPropGet<&ITeskDATFile::get_NumPixelsPerRow>("NumPixelsPerRow", 7),
    tesk::DispPropGet<&ITeskDATFile::get_NumRows>("NumRows", 8),
    tesk::DispPropGet<&ITeskDATFile::get_MinData>("MinData", 9),
    tesk::DispPropGet<&ITeskDATFile::get_MaxData>("MaxData", 10),
    tesk::DispPropGet<&ITeskDATFile::get_PixelSize>("PixelSize", 11),
    tesk::DispPropGet<&ITeskDATFile::get_CellMargin>("CellMargin", 12),
    tesk::DispPropGet<&ITeskDATFile::get_ScanSpeed>("ScanSpeed", 13),
    tesk::DispPropGet<&ITeskDATFile::get_ScanDate>("ScanDate", 14),
    tesk::DispPropGet<&ITeskDATFile::get_ScannerID>("ScannerID", 15),
    tesk::DispPropGet<&ITeskDATFile::get_UpperLeftX>("UpperLeftX", 16),
    tesk::DispPropGet<&ITeskDATFile::get_UpperLeftY>("UpperLeftY", 17),
    tesk::DispPropGet<&ITeskDATFile::get_UpperRightX>("UpperRightX", 18),
    tesk::DispPropGet<&ITeskDATFile::get_UpperRightY>("UpperRightY", 19),
    tesk::DispPropGet<&ITeskDATFile::get_LowerLeftX>("LowerLeftX", 20),
    tesk::DispPropGet<&ITeskDATFile::get_LowerLeftY>("LowerLeftY", 21),
    tesk::DispPropGet<&ITeskDATFile::get_LowerRightX>("LowerRightX", 22),
    tesk::DispPropGet<&ITeskDATFile::get_LowerRightY>("LowerRightY", 23),
    tesk::DispPropGet<&ITeskDATFile::get_ServerName>("ServerName", 24),
    tesk::DispPropPut<&ITeskDATFile::put_ServerName>("ServerName", 24),
    tesk::DispPropGet<&ITeskDATFile::get_NTUserName>("NTUserName", 25),
    tesk::DispPropPut<&ITeskDATFile::put_NTUserName>("NTUserName", 25),
    tesk::DispMethod<&ITeskDATFile::Exists, tesk::kRetval>("Exists", 26),
    tesk::DispMethod<&ITeskDATFile::Read>("Read", 27),
    tesk::DispMethod<&ITeskDATFile::ReadHeader>("ReadHeader", 28),
    tesk::DispMethod<&ITeskDATFile::GetIntensity, tesk::kRetval>("GetIntensity", 29),
    tesk::DispCustom<&ITeskDATFile::GetLineIntensities>("GetLineIntensities", 30, DISPATCH_METHOD, kLineOfLongs),
};
const tesk::DispTable kTeskDATFileTable{"ITeskDATFile", &IID_ITeskDATFile, kDatMembers};

HRESULT GetTeskDATFileFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskDATFile>::Get(riid, ppv); }

}  // namespace tarvex
