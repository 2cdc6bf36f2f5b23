// Decoder of the binary encoding (version 4):
//   magic 64, version, rows, cols, N, header, algorithm, parameters (int32 length + bytes),
//   cell margin, outlier count O, masked count M, sub-grid count S,
//   N cell records (MEAN f32, STDV f32, NPIXELS i16), M masked (X, Y), O outliers (X, Y),
//   S sub-grid records of 56 bytes. Little-endian throughout.
// Every count is checked against the bytes left before anything is allocated, and masked and
// outlier coordinates must lie inside the grid.
#include <algorithm>
#include <bit>
#include <cstring>

#include "binary_reader.h"
#include "parvel_impl.h"

namespace parvel {

static_assert(std::endian::native == std::endian::little,
              "the binary codec copies little-endian fields directly");

namespace {

constexpr std::uint32_t kMagic = 64;
constexpr std::size_t kCellRecord = 10;
constexpr std::size_t kCoordRecord = 4;
constexpr std::size_t kSubGridRecord = sizeof(SUBGRID);

// Reads the whole remaining input from memory.
class MemorySource {
 public:
  explicit MemorySource(Bytes bytes) : bytes_(bytes) {}
  std::uint64_t Remaining() const { return bytes_.size() - pos_; }
  bool Get(void* dst, std::size_t n) {
    if (n > Remaining()) return false;
    if (n > 0) std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  Bytes bytes_;
  std::size_t pos_ = 0;
};

// Reads a regular file through a window; large reads go straight to their destination.
class FileSource {
 public:
  static constexpr std::size_t kWindow = 64 * 1024;

  // `head` holds the first bytes of the file, already read.
  FileSource(InFile& file, ByteBuffer& head) : file_(file), window_(head) {
    win_len_ = head.size();
  }
  std::uint64_t Remaining() const {
    return file_.Size() > pos_ ? file_.Size() - pos_ : 0;
  }
  bool Get(void* dst, std::size_t n) {
    if (n > Remaining()) return false;
    auto* out = static_cast<unsigned char*>(dst);
    while (n > 0) {
      if (pos_ < win_begin_ + win_len_) {
        const std::size_t take =
            std::min<std::uint64_t>(n, win_begin_ + win_len_ - pos_);
        std::memcpy(out, window_.data() + (pos_ - win_begin_), take);
        pos_ += take;
        out += take;
        n -= take;
        continue;
      }
      if (n >= kWindow) {
        // The file may have shrunk since its size was taken: a short read fails.
        if (file_.Read(out, n) != static_cast<std::int64_t>(n)) return false;
        pos_ += n;
        win_begin_ = pos_;
        win_len_ = 0;
        return true;
      }
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, Remaining()));
      if (window_.size() < want) window_.Resize(want);
      const std::int64_t got = file_.Read(window_.data(), want);
      if (got <= 0) return false;
      win_begin_ = pos_;
      win_len_ = static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  InFile& file_;
  ByteBuffer& window_;
  std::uint64_t win_begin_ = 0;
  std::size_t win_len_ = 0;
  std::uint64_t pos_ = 0;
};

template <class Source>
bool GetI32(Source& s, std::int32_t& v) {
  return s.Get(&v, sizeof v);
}

template <class Source>
bool GetU32(Source& s, std::uint32_t& v) {
  return s.Get(&v, sizeof v);
}

// A text field: int32 length, then that many bytes. A NUL ends the text early, as it would
// end any C string the text is handed out as.
template <class Source>
bool GetText(Source& s, std::string& out) {
  std::int32_t n = 0;
  if (!GetI32(s, n) || n < 0 || static_cast<std::uint64_t>(n) > s.Remaining()) return false;
  std::string text(static_cast<std::size_t>(n), '\0');
  if (!s.Get(text.data(), text.size())) return false;
  text.resize(std::strlen(text.c_str()));
  out = std::move(text);
  return true;
}

// Widens m packed 10-byte records, which were read into the tail of the chunk at byte 6*m, into
// 16-byte entries from the chunk's start. Going forward, entry i ends at 16i + 16 <= 6m + 10(i+1),
// the start of record i + 1, so no record is overwritten before it has been read.
void WidenCells(CellEntryClass* chunk, std::size_t m, std::int64_t cols, std::int64_t& x,
                std::int64_t& y) {
  auto* base = reinterpret_cast<unsigned char*>(chunk);
  const unsigned char* src = base + 6 * m;
  for (std::size_t i = 0; i < m; ++i) {
    std::uint64_t values;
    std::uint16_t npixels;
    std::memcpy(&values, src + kCellRecord * i, 8);
    std::memcpy(&npixels, src + kCellRecord * i + 8, 2);
    const std::uint64_t rest = std::uint64_t{static_cast<std::uint16_t>(x)} |
                               (std::uint64_t{static_cast<std::uint16_t>(y)} << 16) |
                               (std::uint64_t{npixels} << 32);
    std::memcpy(base + 16 * i, &values, 8);
    std::memcpy(base + 16 * i + 8, &rest, 8);
    if (++x == cols) {
      x = 0;
      ++y;
    }
  }
}

// Masked or outlier records: set `flag` of the entry at Y * cols + X.
template <class Source>
bool MarkCells(ParvelClass::Impl& d, Source& s, std::uint32_t count,
               std::uint8_t CellEntryClass::*flag) {
  constexpr std::size_t kBlock = 4096;
  std::uint16_t xy[kBlock * 2];
  const std::int64_t cols = d.cols, rows = d.rows;
  const std::size_t n = d.cells.size();
  std::uint32_t left = count;
  while (left > 0) {
    const std::size_t take = std::min<std::size_t>(left, kBlock);
    if (!s.Get(xy, take * kCoordRecord)) return false;
    for (std::size_t k = 0; k < take; ++k) {
      const std::int64_t x = xy[2 * k], y = xy[2 * k + 1];
      if (x >= cols || y >= rows) return false;
      const std::int64_t i = y * cols + x;
      if (static_cast<std::uint64_t>(i) >= n) return false;
      d.cells[static_cast<std::size_t>(i)].*flag = 1;
    }
    left -= static_cast<std::uint32_t>(take);
  }
  return true;
}

template <class Source>
int Decode(ParvelClass::Impl& d, Source& s, bool header_only) {
  std::int32_t magic = 0, version = 0, rows = 0, cols = 0, n = 0;
  if (!GetI32(s, magic) || static_cast<std::uint32_t>(magic) != kMagic) return 0;
  if (!GetI32(s, version)) return 0;
  d.version = version;
  if (!GetI32(s, rows) || !GetI32(s, cols) || !GetI32(s, n)) return 0;
  // Cells get X = i mod cols: a table of cells needs a width, and no size may be negative.
  if (rows < 0 || cols < 0 || n < 0 || (n > 0 && cols == 0)) return 0;
  d.rows = rows;
  d.cols = cols;
  if (!GetText(s, d.header)) return 0;
  DeriveChipType(d);
  if (!GetText(s, d.algorithm) || !GetText(s, d.params)) return 0;
  std::int32_t margin = 0, n_sub = 0;
  std::uint32_t n_out = 0, n_mask = 0;
  if (!GetI32(s, margin) || !GetU32(s, n_out) || !GetU32(s, n_mask) || !GetI32(s, n_sub)) {
    return 0;
  }
  d.cell_margin = margin;
  if (n_sub < 0) return 0;
  const std::uint64_t need = std::uint64_t(n) * kCellRecord +
                             (std::uint64_t(n_out) + n_mask) * kCoordRecord +
                             std::uint64_t(n_sub) * kSubGridRecord;
  if (need > s.Remaining()) return 0;
  d.n_outliers = n_out;
  d.n_masked = n_mask;
  if (header_only) return 1;

  // Cells, chunk by chunk, read straight into the table's storage.
  d.cells.clear();
  d.cells.GrowRaw(static_cast<std::size_t>(n));
  std::int64_t x = 0, y = 0;
  for (std::size_t done = 0, c = 0; done < static_cast<std::size_t>(n); ++c) {
    const std::size_t m = std::min(CellStore::kChunk, static_cast<std::size_t>(n) - done);
    CellEntryClass* chunk = d.cells.Chunk(c);
    if (!s.Get(reinterpret_cast<unsigned char*>(chunk) + 6 * m, m * kCellRecord)) {
      d.cells.Truncate(done);
      return 0;
    }
    WidenCells(chunk, m, cols, x, y);
    done += m;
  }
  if (n > 0 && cols <= 65536 && (n - 1) / cols <= 65535) {
    d.index.SetPositional(cols);
  } else {
    d.index.Reset();
  }

  if (!MarkCells(d, s, n_mask, &CellEntryClass::MASKED)) return 0;
  if (!MarkCells(d, s, n_out, &CellEntryClass::OUTLIER)) return 0;

  d.subgrids.reserve(static_cast<std::size_t>(n_sub));
  for (std::int32_t k = 0; k < n_sub; ++k) {
    SUBGRID g;
    if (!s.Get(&g, sizeof g)) return 0;
    if (!SubGridInGrid(g, rows, cols)) return 0;
    d.subgrids.push_back(g);
  }
  return 1;
}

}  // namespace

bool IsBinaryMagic(const unsigned char* p, std::size_t n) {
  if (n < 4) return false;
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v == kMagic;
}

int ReadBinary(ParvelClass::Impl& d, Bytes bytes, bool header_only) {
  MemorySource s(bytes);
  return Decode(d, s, header_only);
}

int ReadBinaryFile(ParvelClass::Impl& d, InFile& file, ByteBuffer& head, bool header_only) {
  FileSource s(file, head);
  return Decode(d, s, header_only);
}

}  // namespace parvel
