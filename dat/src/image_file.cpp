// ImageData: creating, opening, mapping, reading, writing, renaming and deleting image files.
//
// The pixels are never copied: a view maps either the whole file from byte 0 (Create, Read,
// Write, Rename, SetSize) or a window of lines starting at a page boundary (MapData). Before a
// view is made the file is checked to hold every mapped byte, because touching a mapped page past
// the end of a file kills the process.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "build.h"
#include "codec.h"
#include "file_io.h"
#include "guard.h"
#include "handles.h"
#include "file_io.h"

inline namespace TESK_IMBREL_NS {

using namespace imbrel_detail;

namespace {

constexpr std::int64_t kPixelChunk = 65536;  // pixels go to a new file in pieces of this size

void ClearView(ImageData& image, Handles& h) {
  h.view.Reset();
  image.Pixels = nullptr;
  image.FirstLine = 0;
  image.NumLines = 0;
}

// Maps the header and all pixels of fd; a writable view grows a short file (zero-filled), a
// read-only one refuses it.
bool MapWhole(ImageData& image, Handles& h, int fd, bool writable) {
  ClearView(image, h);
  if (!ValidDimensions(image.Cols, image.Rows)) return false;
  std::int64_t size = PixelEnd(image.Cols, image.Rows);
  std::int64_t have = FileSize(fd);
  if (have < size && (!writable || !Truncate(fd, size))) return false;
  MappedView view = MapView(fd, 0, size, writable);
  if (!view) return false;
  h.view = std::move(view);
  image.Pixels = reinterpret_cast<std::uint16_t*>(h.view.data() + kHeaderSize);
  image.FirstLine = 0;
  image.NumLines = image.Rows;
  return true;
}

// Trailer and sub-grid records, laid out as they follow the pixels.
std::vector<std::uint8_t> EncodeTail(ImageData& image) {
  std::vector<std::uint8_t> tail(kTrailerSize + kSubGridSize * image.NumSubGrids);
  EncodeTrailer(image, tail.data());
  SUBGRID record;
  for (int i = 0; i < image.NumSubGrids && image.GetSubGrid(i, &record); ++i)
    std::memcpy(tail.data() + kTrailerSize + kSubGridSize * i, &record, sizeof record);
  return tail;
}

// Trailer and sub-grids of an open file whose header has been decoded. The record count comes
// from the file, so it is checked against the file's size before anything is allocated.
bool ReadTail(ImageData& image, int fd, std::int64_t fileSize) {
  image.RemoveSubGrids();
  std::fill(std::begin(image.TrailerValues), std::end(image.TrailerValues), 0);
#if TESK_IMBREL_BUILD == 6
  image.Barcode.clear();
#endif
  image.NumSubGridsOnDisk = 0;
  std::int64_t at = PixelEnd(image.Cols, image.Rows);
  std::uint8_t trailer[kTrailerSize];
  std::int64_t got = fileSize > at ? ReadAt(fd, trailer, kTrailerSize, at) : 0;
  if (got == 0) {
    image.TrailerVersion = 0;  // the file ends right behind the pixels
    return true;
  }
  if (got < kTrailerSize) return false;
  std::uint16_t count = DecodeTrailer(trailer, image);
  if (count == 0) return true;
  std::int64_t bytes = kSubGridSize * count;
  if (fileSize - (at + kTrailerSize) < bytes) return false;
  std::vector<std::uint8_t> records(static_cast<std::size_t>(bytes));
  if (ReadAt(fd, records.data(), bytes, at + kTrailerSize) != bytes) return false;
  for (std::uint16_t i = 0; i < count; ++i) {
    SUBGRID record;
    std::memcpy(&record, records.data() + kSubGridSize * i, sizeof record);
    if (!image.AddSubGrid(&record)) return false;
  }
  image.NumSubGridsOnDisk = count;
  return true;
}

bool WriteHeaderAndTail(ImageData& image, int fd) {
  std::uint8_t header[kHeaderSize];
  EncodeHeader(image, header);
  std::vector<std::uint8_t> tail = EncodeTail(image);
  return WriteAt(fd, header, kHeaderSize, 0) &&
         WriteAt(fd, tail.data(), static_cast<std::int64_t>(tail.size()),
                 PixelEnd(image.Cols, image.Rows));
}

// Rewrites header, trailer and sub-grids of the mapped file in place; the pixels are in the
// mapping already.
int WriteInPlace(ImageData& image, Handles& h) {
  File own;
  int fd = h.file.fd();
  if (!h.file || !h.fileWritable) {
    own = File::Open(image.FileName, O_RDWR);
    if (!own) return 0;
    fd = own.fd();
  }
  if (!WriteHeaderAndTail(image, fd)) return 0;
  bool cut = image.NumSubGrids < image.NumSubGridsOnDisk;
  if (cut) {
    // Fewer records than the file holds: drop the stale ones. The cut lies behind the pixels,
    // so no mapped page is affected.
    std::int64_t end = SubGridStart(image.Cols, image.Rows) + kSubGridSize * image.NumSubGrids;
    if (!Truncate(fd, end)) return 0;
  }
  image.NumSubGridsOnDisk = image.NumSubGrids;
  image.TrailerVersion = kTrailerVersion;
  h.unsaved = false;
  // Imbrel6 leaves a cut file mapped read-write; otherwise the file ends up mapped read-only.
  bool writable = kLegacy && cut;
  return MapWhole(image, h, fd, writable) ? 1 : 0;
}

// Writes a complete file from the pixel pointer into a temporary file beside the target and
// renames it over the target only when everything was written.
int WriteNew(ImageData& image, Handles& h) {
  if (image.Pixels == nullptr) return 0;
  // A window of lines does not hold every pixel; reading past it would leave the mapping.
  if (h.view && (image.FirstLine != 0 || image.NumLines < image.Rows)) return 0;
  TempFile file;
  if (!file.Create(image.FileName)) return 0;
  std::uint8_t header[kHeaderSize];
  EncodeHeader(image, header);
  if (!WriteAt(file.fd(), header, kHeaderSize, 0)) return 0;
  const auto* pixels = reinterpret_cast<const std::uint8_t*>(image.Pixels);
  std::int64_t total = PixelEnd(image.Cols, image.Rows) - kHeaderSize;
  for (std::int64_t done = 0; done < total; done += kPixelChunk) {
    std::int64_t piece = std::min(kPixelChunk, total - done);
    if (!WriteAt(file.fd(), pixels + done, piece, kHeaderSize + done)) return 0;
  }
  std::vector<std::uint8_t> tail = EncodeTail(image);
  if (!WriteAt(file.fd(), tail.data(), static_cast<std::int64_t>(tail.size()),
               PixelEnd(image.Cols, image.Rows)))
    return 0;
  if (!file.Commit()) return 0;
  // Only now does the file under the name hold these pixels; after a failure a later Write
  // must not mistake the untouched target for the mapped file.
  image.OpenPath = image.FileName;
  image.NumSubGridsOnDisk = image.NumSubGrids;
  image.TrailerVersion = kTrailerVersion;
  h.unsaved = false;
  if (!h.view) return 1;
  // The view belonged to the file the pixels came from: map the new file instead.
  h.file.Reset();
  h.fileWritable = false;
  h.mappingObject = false;
  File fd = file.Release();
  return MapWhole(image, h, fd.fd(), false) ? 1 : 0;
}

}  // namespace

int ImageData::Create(int cols, int rows) {
  return Guarded([&] {
    Close();
    if (!ValidDimensions(cols, rows)) return 0;
    Handles& h = H();
    Cols = cols;
    Rows = rows;
    OpenPath = FileName;
    // Built beside the target and renamed over it once it exists in full, so a failed Create
    // leaves an earlier file alone.
    TempFile file;
    if (!file.Create(FileName)) return 0;
    std::int64_t size = PixelEnd(cols, rows);
    if (!Truncate(file.fd(), size)) return 0;
    MappedView view = MapView(file.fd(), 0, size, true);
    if (!view) return 0;
    std::uint8_t* bytes = view.data();
    bytes[0] = 0xFC;
    StoreLE<std::uint16_t>(bytes + 1, static_cast<std::uint16_t>(cols));
    StoreLE<std::uint16_t>(bytes + 3, static_cast<std::uint16_t>(rows));
    StoreLE<std::uint32_t>(bytes + 5, static_cast<std::uint32_t>(static_cast<std::int64_t>(cols) * rows));
    if (!file.Commit()) return 0;
    h.file = file.Release();
    h.fileWritable = true;
    h.viewWritable = true;
    h.view = std::move(view);
    Pixels = reinterpret_cast<std::uint16_t*>(h.view.data() + kHeaderSize);
    FirstLine = 0;
    NumLines = rows;
    h.unsaved = true;
    h.createdPath = FileName;
    return 1;
  });
}

int ImageData::Read() {
  return Guarded([&] {
    Handles& h = H();
    OpenPath = FileName;
    File fd = File::Open(FileName, O_RDONLY);
    if (!fd) return 0;
    Close();
    std::uint8_t header[kHeaderSize];
    if (ReadAt(fd.fd(), header, kHeaderSize, 0) != kHeaderSize) return 0;
    if (!DecodeHeader(header, *this)) return 0;
    // A file shorter than its header announces is refused, never mapped past its end.
    std::int64_t size = FileSize(fd.fd());
    if (!ValidDimensions(Cols, Rows) || size < PixelEnd(Cols, Rows)) return 0;
    if (!MapWhole(*this, h, fd.fd(), false)) return 0;
    if (!ReadTail(*this, fd.fd(), size)) {
      ClearView(*this, h);
      return 0;
    }
    return 1;  // the file closes here; the mapping stays
  });
}

int ImageData::Write() {
  return Guarded([&] {
    if (!ValidDimensions(Cols, Rows)) return 0;
    Handles& h = H();
    if (h.view && OpenPath == FileName) return WriteInPlace(*this, h);
    return WriteNew(*this, h);
  });
}

void ImageData::SetSize(int cols, int rows) {
  if (cols == Cols && rows == Rows) return;
  if (!handles_ || !handles_->view) {
    Cols = cols;
    Rows = rows;
    return;
  }
  if (!ValidDimensions(cols, rows)) return;  // a mapped file keeps a size the header can carry
  GuardedVoid([&] {
    Handles& h = *handles_;
    std::int64_t oldEnd = PixelEnd(Cols, Rows);
    std::int64_t newEnd = PixelEnd(cols, rows);
    ClearView(*this, h);
    h.mappingObject = false;
    // Cut behind the pixels that stay (dropping trailer and sub-grids, which would otherwise
    // turn into pixels), then grow zero-filled to the new size.
    File fd = File::Open(OpenPath, O_RDWR);
    if (fd) {
      if (!Truncate(fd.fd(), std::min(oldEnd, newEnd)) ||
          !Truncate(fd.fd(), newEnd))
        fd.Reset();
    }
    Cols = cols;
    Rows = rows;
    NumSubGridsOnDisk = 0;
    if (fd) MapWhole(*this, h, fd.fd(), false);
  });
}

void ImageData::Close() {
  if (handles_) {
    Handles& h = *handles_;
    // Imbrel6 removes an image that was created but never written.
    if (kLegacy && h.view && h.unsaved && !h.createdPath.empty()) ::unlink(h.createdPath.c_str());
    h.unsaved = false;
    ClearView(*this, h);
    h.mappingObject = false;
    h.file.Reset();
    h.fileWritable = false;
  }
  Pixels = nullptr;
  if constexpr (kLegacy) {
    Cols = 0;
    Rows = 0;
    MinData = 0;
    MaxData = 0;
  }
}

int ImageData::Rename(const char* newName) {
  if (newName == nullptr || *newName == '\0') return 0;
  return Guarded([&] {
    Handles& h = H();
    bool wasMapped = static_cast<bool>(h.view);
    ClearView(*this, h);
    if (FileName.empty() || ::rename(FileName.c_str(), newName) != 0) return 0;
    if (h.createdPath == FileName) h.createdPath = newName;
    FileName = newName;
    OpenPath = FileName;
    if (!wasMapped) return 1;
    File fd = File::Open(FileName, O_RDONLY);
    return fd && MapWhole(*this, h, fd.fd(), false) ? 1 : 0;
  });
}

int ImageData::Delete() {
  return Guarded([&] {
    Handles& h = H();
    ClearView(*this, h);
    h.mappingObject = false;
    h.file.Reset();
    h.fileWritable = false;
    h.unsaved = false;
    if (FileName.empty()) return 0;
    return ::unlink(FileName.c_str()) == 0 ? 1 : 0;
  });
}

#if TESK_IMBREL_BUILD == 7

int ImageData::Open(RWAccess access, ShareMode /*share: no share locks on this platform*/) {
  return Guarded([&] {
    Close();
    if (FileName.empty()) return 0;
    Handles& h = H();
    OpenPath = FileName;
    bool write = (access & IMAGE_WRITE) != 0;
    int flags = O_RDONLY;
    if (write) flags = (access & IMAGE_READ) ? O_RDWR | O_CREAT : O_RDWR | O_CREAT | O_TRUNC;
    h.file = File::Open(FileName, flags);
    h.fileWritable = write && h.file;
    h.viewWritable = write;
    return h.file ? 1 : 0;
  });
}

int ImageData::MapData(int firstLine, int numLines) {
  return Guarded([&] {
    Handles& h = H();
    if (!h.file) return 0;
    auto fail = [&] {
      ClearView(*this, h);
      h.mappingObject = false;
      return 0;
    };
    if (!ValidDimensions(Cols, Rows)) return fail();
    std::int64_t size = PixelEnd(Cols, Rows);
    std::int64_t have = FileSize(h.file.fd());
    if (!h.mappingObject) {
      // The mapping covers header and pixels: a writable one grows the file, a read-only one
      // needs a file that holds them.
      if (have < size) {
        if (!h.viewWritable || !Truncate(h.file.fd(), size)) return fail();
        have = size;
      }
      h.mappingObject = true;
    }
    if (firstLine < 0 || firstLine >= Rows || numLines <= 0) return fail();
    std::int64_t lines = std::min<std::int64_t>(numLines, Rows - firstLine);
    std::int64_t offset = kHeaderSize + 2 * static_cast<std::int64_t>(Cols) * firstLine;
    std::int64_t start = offset - offset % MappedView::Granularity();
    std::int64_t length = offset - start + 2 * static_cast<std::int64_t>(Cols) * lines;
    // Another process may have cut the file since the mapping was made.
    if (have < start + length) return fail();
    ClearView(*this, h);
    MappedView view = MapView(h.file.fd(), start, length, h.viewWritable);
    if (!view) return fail();
    h.view = std::move(view);
    Pixels = reinterpret_cast<std::uint16_t*>(h.view.data() + (offset - start));
    FirstLine = firstLine;
    NumLines = static_cast<std::int32_t>(lines);
    return 1;
  });
}

int ImageData::ReadHeader() {
  return Guarded([&] {
    File fd = File::Open(FileName, O_RDONLY);
    if (!fd) return 0;
    std::uint8_t header[kHeaderSize];
    if (ReadAt(fd.fd(), header, kHeaderSize, 0) != kHeaderSize) return 0;
    if (!DecodeHeader(header, *this)) return 0;
    return ReadTail(*this, fd.fd(), FileSize(fd.fd())) ? 1 : 0;
  });
}

int ImageData::WriteHeader() {
  return Guarded([&] {
    if (!ValidDimensions(Cols, Rows)) return 0;
    Handles& h = H();
    File own;
    int fd = h.file.fd();
    if (!h.file || !h.fileWritable) {
      own = File::Open(FileName, O_WRONLY | O_CREAT);
      if (!own) return 0;
      fd = own.fd();
    }
    if (!WriteHeaderAndTail(*this, fd)) return 0;
    // Records beyond the count stay in the file until a Write cuts them.
    NumSubGridsOnDisk = std::max(NumSubGridsOnDisk, NumSubGrids);
    TrailerVersion = kTrailerVersion;
    return 1;
  });
}

#endif  // TESK_IMBREL_BUILD == 7

}  // inline namespace
