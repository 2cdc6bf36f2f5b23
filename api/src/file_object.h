// The frame that the file objects (experiment, image, intensity and results files) share: the
// common state, the Name/DataPath/LibPath/ServerName/NTUserName members with their rules,
// Exists and the start of the read sequence.
//
// A file object derives from FileObject<CTeskXFile, ITeskXFile> and supplies:
//   static const ClassInfo kInfo;   static const FileKind kKind;
//   bool BindReader();              // creates the reader on first use; false when its library
//   static const char* kLibrary;    //   (this file) cannot be bound
//   void ReaderSetPath(const std::string&); int ReaderExists(); void ReaderClose();
#ifndef TESK_API_SRC_FILE_OBJECT_H_
#define TESK_API_SRC_FILE_OBJECT_H_

#include <tesk/tarvex.h>

#include <string>

#include "binding.h"
#include "database.h"
#include "dates.h"
#include "errors.h"
#include "module.h"
#include "string_table.h"
#include "text.h"

namespace tarvex {

// The name rules of one file kind.
struct FileKind {
  const char* extension;  // ".CEL"
  int emptyName;          // text of an empty name
  int wrongExtension;     // text of another extension
};

// Common state of a file object.
struct FileState {
  std::string name;
  std::string dataPath;
  std::string libPath;
  std::string fullPath;
  std::string serverName;
  std::string ntUserName;
  std::string date;
  bool headerLoaded = false;
  bool dataLoaded = false;
  DatabaseSession database;
};

template <class D, class I>
class FileObject : public tesk::ComClass<D, tesk::DispatchImpl<I>, tesk::SupportErrorInfoFor<I>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }

  HRESULT get_Name(BSTR* pVal) noexcept override { return HandOut(s_.name, pVal); }
  HRESULT put_Name(BSTR newVal) noexcept override {
    Member m(D::kInfo, "put_Name");
    return Guarded(m, [&] {
      std::string v = Trim(tesk::FromBstr(newVal));
      if (v.empty()) return m.Fail(D::kKind.emptyName);
      const size_t dot = v.rfind('.');
      if (dot == std::string::npos) return m.Fail(IDS_INVALID_EXTENSION);
      if (!EqualsNoCase(std::string_view(v).substr(dot), D::kKind.extension)) return m.Fail(D::kKind.wrongExtension);
      s_.name = std::move(v);
      if (!s_.dataPath.empty()) s_.fullPath = s_.dataPath + "/" + s_.name;
      return S_OK;
    });
  }
  HRESULT get_DataPath(BSTR* pVal) noexcept override { return HandOut(s_.dataPath, pVal); }
  HRESULT put_DataPath(BSTR newVal) noexcept override {
    Member m(D::kInfo, "put_DataPath");
    return Guarded(m, [&] {
      std::string v = Trim(tesk::FromBstr(newVal));
      if (v.empty()) return m.Fail(IDS_DATA_PATH_EMPTY);
      s_.dataPath = std::move(v);
      s_.fullPath = s_.dataPath + "/" + s_.name;
      return S_OK;
    });
  }
  HRESULT get_LibPath(BSTR* pVal) noexcept override { return HandOut(s_.libPath, pVal); }
  HRESULT put_LibPath(BSTR newVal) noexcept override {
    Member m(D::kInfo, "put_LibPath");
    return Guarded(m, [&] {
      std::string v = Trim(tesk::FromBstr(newVal));
      if (v.empty()) return m.Fail(IDS_LIB_PATH_EMPTY);
      s_.libPath = std::move(v);
      return S_OK;
    });
  }
  HRESULT get_FullPathName(BSTR* pVal) noexcept override { return HandOut(s_.fullPath, pVal); }
  HRESULT get_Date(BSTR* pVal) noexcept override { return HandOut(s_.date, pVal); }
  HRESULT get_ServerName(BSTR* pVal) noexcept override { return HandOut(s_.serverName, pVal); }
  HRESULT put_ServerName(BSTR newVal) noexcept override { return Store(newVal, s_.serverName, "put_ServerName"); }
  HRESULT get_NTUserName(BSTR* pVal) noexcept override { return HandOut(s_.ntUserName, pVal); }
  HRESULT put_NTUserName(BSTR newVal) noexcept override { return Store(newVal, s_.ntUserName, "put_NTUserName"); }

 protected:
  ~FileObject() override = default;
  D& Self() { return static_cast<D&>(*this); }

  // Exists of the objects with a server check.
  HRESULT ExistsWithServer(LONG* pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = 0;
    Member m(D::kInfo, "Exists");
    return Guarded(m, [&] {
      std::string detail;
      if (!s_.database.VerifyDatabaseFile(s_.serverName, s_.name, kRoleBrowse, &detail)) return m.FailWith(detail);
      if (HRESULT hr = GiveReaderPath(m); FAILED(hr)) return hr;
      if (s_.name.empty()) return m.Fail(D::kKind.emptyName);
      if (s_.dataPath.empty()) return m.Fail(IDS_DATA_PATH_EMPTY);
      if (!TakeMarker(&detail)) return m.FailWith(detail);
      *pVal = Self().ReaderExists() == 1 ? 1 : 0;
      // Closing the reader would drop the cells or pixels of an earlier Read while the object
      // still answers as loaded; in file mode there is no marker to give back, so loaded data
      // stays readable.
      if (s_.database.HoldsMarker() || !s_.serverName.empty() || !s_.dataLoaded) GiveBack();
      return S_OK;
    });
  }

  // The read sequence up to the reader's own read: server check, the reader given the path,
  // the name checks, the marker and the existence test. S_OK to go on, else the failure.
  HRESULT BeginRead(const Member& m, bool needLibPath, int notFound) {
    std::string detail;
    if (!s_.database.VerifyDatabaseFile(s_.serverName, s_.name, kRoleBrowse, &detail)) return m.FailWith(detail);
    if (HRESULT hr = GiveReaderPath(m); FAILED(hr)) return hr;
    if (s_.name.empty()) return m.Fail(D::kKind.emptyName);
    if (s_.dataPath.empty()) return m.Fail(IDS_DATA_PATH_EMPTY);
    if (needLibPath && s_.libPath.empty()) return m.Fail(IDS_LIB_PATH_EMPTY);
    if (!TakeMarker(&detail)) return m.FailWith(detail);
    if (Self().ReaderExists() == 0) {
      GiveBack();
      return m.Fail(notFound);
    }
    return S_OK;
  }

  // Binds the reader's library and gives the reader FullPathName.
  HRESULT GiveReaderPath(const Member& m) {
    if (!Self().BindReader()) return m.FailWith(CannotBind(D::kLibrary));
    Self().ReaderSetPath(s_.fullPath);
    return S_OK;
  }

  // Closes the reader and gives back the file-use marker.
  void GiveBack() {
    Self().ReaderClose();
    s_.database.GiveBackMarker();
  }

  // Gives back a marker still held (closing the reader first), then takes a new one.
  bool TakeMarker(std::string* detail) {
    if (s_.database.HoldsMarker()) GiveBack();
    return s_.database.TakeMarker(s_.serverName, s_.fullPath, detail);
  }

  void StampFileDate() {
    if (auto date = FileDateText(s_.fullPath)) s_.date = std::move(*date);
  }

  FileState s_;

 private:
  HRESULT Store(BSTR value, std::string& field, const char* member) {
    Member m(D::kInfo, member);
    return Guarded(m, [&] {
      field = tesk::FromBstr(value);
      return S_OK;
    });
  }
};

}  // namespace tarvex

#endif  // TESK_API_SRC_FILE_OBJECT_H_
