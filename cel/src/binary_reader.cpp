// Decoder of the binary encoding (version 4; layout in doc/formats/cel.md).
// Every count is checked against the bytes left before anything is allocated, and masked and
// outlier coordinates must lie inside the grid (they index the cell table). Sub-grid records
// index nothing: they are kept byte for byte as the file has them. The sections behind the cells are read (and
// checked) first, so that the table is filled in one pass with its flags.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <tesk/internal/little_endian.h>

#include "binary_reader.h"
#include "parvel_impl.h"

namespace parvel {

static_assert(tesk::internal::kLittleEndianHost,
              "the binary codec copies little-endian fields and records directly");

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
    if (!PeekAt(0, dst, n)) return false;
    pos_ += n;
    return true;
  }
  // Copies n bytes that start `ahead` bytes past the current position, without moving.
  bool PeekAt(std::uint64_t ahead, void* dst, std::size_t n) {
    if (ahead > Remaining() || n > Remaining() - ahead) return false;
    if (n > 0) std::memcpy(dst, bytes_.data() + pos_ + ahead, n);
    return true;
  }
  // Hands the next n bytes to f(bytes, length) in pieces of whole units.
  template <class F>
  bool Stream(std::size_t n, std::size_t /*unit*/, F&& f) {
    if (n > Remaining()) return false;
    if (n > 0) f(bytes_.data() + pos_, n);
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
  // Pieces handed out by Stream: small enough to stay in the core's cache while they are used.
  static constexpr std::size_t kPiece = 256 * 1024;

  // `head` holds the first bytes of the file, already read.
  FileSource(File& file, std::uint64_t size, ByteBuffer& head)
      : file_(file), size_(size), window_(head) {
    win_len_ = head.size();
  }
  std::uint64_t Remaining() const { return size_ > pos_ ? size_ - pos_ : 0; }
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
  bool PeekAt(std::uint64_t ahead, void* dst, std::size_t n) {
    if (ahead > Remaining() || n > Remaining() - ahead) return false;
    const std::uint64_t at = pos_ + ahead;
    if (at >= win_begin_ && at + n <= win_begin_ + win_len_) {
      if (n > 0) std::memcpy(dst, window_.data() + (at - win_begin_), n);
      return true;
    }
    return file_.ReadAt(dst, n, at) == static_cast<std::int64_t>(n);
  }
  template <class F>
  bool Stream(std::size_t n, std::size_t unit, F&& f) {
    if (n > Remaining()) return false;
    const std::size_t piece = kPiece / unit * unit;
    if (n > 0) piece_.Resize(std::min(n, piece));
    while (n > 0) {
      const std::size_t take = std::min(n, piece);
      if (!Get(piece_.data(), take)) return false;
      f(piece_.data(), take);
      n -= take;
    }
    return true;
  }

 private:
  File& file_;
  std::uint64_t size_;
  ByteBuffer& window_;
  ByteBuffer piece_;
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

// Flags of an entry as they sit in its second eight bytes (OUTLIER byte 14, MASKED byte 15).
constexpr std::uint64_t kOutlierBits = std::uint64_t{1} << 48;
constexpr std::uint64_t kMaskedBits = std::uint64_t{1} << 56;

// Tables larger than this are written with streaming stores: they do not fit the cache anyway,
// and the stores then skip reading every line of the table before overwriting it.
constexpr std::size_t kStreamAbove = std::size_t{4} << 20;

// Writes `count` entries of one row from packed 10-byte records; entry k gets X = x + k.
template <bool kStreaming>
void WriteRun(CellEntryClass* dst, const unsigned char* src, std::size_t count, std::uint64_t x,
              std::uint64_t y_bits) {
  auto* out = reinterpret_cast<unsigned char*>(dst);
  for (std::size_t k = 0; k < count; ++k) {
    std::uint64_t values;
    std::uint16_t npixels;
    std::memcpy(&values, src + kCellRecord * k, 8);
    std::memcpy(&npixels, src + kCellRecord * k + 8, 2);
    const std::uint64_t rest = ((x + k) & 0xFFFF) | y_bits | (std::uint64_t{npixels} << 32);
#if defined(__SSE2__)
    if constexpr (kStreaming) {
      _mm_stream_si128(reinterpret_cast<__m128i*>(out + 16 * k),
                       _mm_set_epi64x(static_cast<long long>(rest), static_cast<long long>(values)));
      continue;
    }
#endif
    std::memcpy(out + 16 * k, &values, 8);
    std::memcpy(out + 16 * k + 8, &rest, 8);
  }
}

// Fills the table from its packed records, fed in pieces of whole records, in one pass that
// also sets the flags of the masked and outlier cells (sorted table indices).
class Widener {
 public:
  Widener(CellEntryClass* table, std::size_t n, std::int64_t cols,
          const std::vector<std::uint32_t>& masked, const std::vector<std::uint32_t>& outliers)
      : table_(table), cols_(cols), masked_(masked), outliers_(outliers),
        streaming_(n * sizeof(CellEntryClass) > kStreamAbove) {}
  ~Widener() {
#if defined(__SSE2__)
    if (streaming_) _mm_sfence();
#endif
  }
  Widener(const Widener&) = delete;
  Widener& operator=(const Widener&) = delete;

  void Feed(const unsigned char* src, std::size_t m) {
    while (m > 0) {
      const std::uint64_t flagged = std::min(Next(masked_, next_masked_), Next(outliers_, next_outlier_));
      std::uint64_t run = std::min<std::uint64_t>(m, static_cast<std::uint64_t>(cols_ - x_));
      run = std::min(run, flagged - i_);
      if (run == 0) {
        // A flagged cell: every mark of it, then the entry with its flags.
        std::uint64_t flags = 0;
        for (; next_masked_ < masked_.size() && masked_[next_masked_] == i_; ++next_masked_) {
          flags |= kMaskedBits;
        }
        for (; next_outlier_ < outliers_.size() && outliers_[next_outlier_] == i_;
             ++next_outlier_) {
          flags |= kOutlierBits;
        }
        auto* e = reinterpret_cast<unsigned char*>(table_ + i_);
        WriteRun<false>(table_ + i_, src, 1, static_cast<std::uint64_t>(x_), YBits());
        std::uint64_t rest;
        std::memcpy(&rest, e + 8, 8);
        rest |= flags;
        std::memcpy(e + 8, &rest, 8);
        run = 1;
      } else if (streaming_) {
        WriteRun<true>(table_ + i_, src, run, static_cast<std::uint64_t>(x_), YBits());
      } else {
        WriteRun<false>(table_ + i_, src, run, static_cast<std::uint64_t>(x_), YBits());
      }
      src += kCellRecord * run;
      m -= run;
      i_ += run;
      x_ += static_cast<std::int64_t>(run);
      if (x_ == cols_) {
        x_ = 0;
        ++y_;
      }
    }
  }

 private:
  static std::uint64_t Next(const std::vector<std::uint32_t>& v, std::size_t k) {
    return k < v.size() ? v[k] : std::uint64_t(-1);
  }
  std::uint64_t YBits() const { return std::uint64_t{static_cast<std::uint16_t>(y_)} << 16; }

  CellEntryClass* table_;
  std::int64_t cols_;
  const std::vector<std::uint32_t>& masked_;
  const std::vector<std::uint32_t>& outliers_;
  bool streaming_;
  std::size_t next_masked_ = 0, next_outlier_ = 0;
  std::uint64_t i_ = 0;
  std::int64_t x_ = 0, y_ = 0;
};

// Masked or outlier records, `ahead` bytes past the current position: each must name a cell
// of the grid and of the table. Returns their table indices, sorted (4 bytes per record: no
// more than the file holds).
template <class Source>
bool ReadMarks(Source& s, std::uint64_t ahead, std::uint32_t count, std::int64_t rows,
               std::int64_t cols, std::size_t n, std::vector<std::uint32_t>& marks) {
  constexpr std::size_t kBlock = 4096;
  std::uint16_t xy[kBlock * 2];
  marks.reserve(count);
  std::uint32_t left = count;
  while (left > 0) {
    const std::size_t take = std::min<std::size_t>(left, kBlock);
    if (!s.PeekAt(ahead, xy, take * kCoordRecord)) return false;
    for (std::size_t k = 0; k < take; ++k) {
      const std::int64_t x = xy[2 * k], y = xy[2 * k + 1];
      if (x >= cols || y >= rows) return false;
      const std::int64_t i = y * cols + x;
      if (static_cast<std::uint64_t>(i) >= n) return false;
      marks.push_back(static_cast<std::uint32_t>(i));  // n fits an int32
    }
    ahead += take * kCoordRecord;
    left -= static_cast<std::uint32_t>(take);
  }
  if (!std::is_sorted(marks.begin(), marks.end())) std::sort(marks.begin(), marks.end());
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
  const std::uint64_t cell_bytes = std::uint64_t(n) * kCellRecord;
  const std::uint64_t mark_bytes = (std::uint64_t(n_out) + n_mask) * kCoordRecord;
  const std::uint64_t need = cell_bytes + mark_bytes + std::uint64_t(n_sub) * kSubGridRecord;
  if (need > s.Remaining()) return 0;
  d.n_outliers = n_out;
  d.n_masked = n_mask;
  if (header_only) {
    d.announced_cells = static_cast<std::size_t>(n);
    return 1;
  }

  // The sections behind the cells first (all of them fit the file: checked above), so that
  // the cells are written once, flags included, in a single pass over the table.
  const std::size_t cells = static_cast<std::size_t>(n);
  std::vector<std::uint32_t> masked, outliers;
  if (!ReadMarks(s, cell_bytes, n_mask, rows, cols, cells, masked)) return 0;
  if (!ReadMarks(s, cell_bytes + std::uint64_t{n_mask} * kCoordRecord, n_out, rows, cols, cells,
                 outliers)) {
    return 0;
  }
  std::vector<SUBGRID> subgrids(static_cast<std::size_t>(n_sub));
  if (!s.PeekAt(cell_bytes + mark_bytes, subgrids.data(), subgrids.size() * kSubGridRecord)) {
    return 0;
  }

  CellEntryClass* table = d.cells.AssignRaw(cells);
  bool ok;
  {
    Widener widen(table, cells, cols, masked, outliers);
    ok = s.Stream(static_cast<std::size_t>(cell_bytes), kCellRecord,
                  [&](const unsigned char* p, std::size_t len) { widen.Feed(p, len / kCellRecord); });
  }
  if (!ok) {
    d.cells.clear();
    return 0;
  }
  if (n > 0 && cols <= 65536 && (n - 1) / cols <= 65535) {
    d.index.SetPositional(cols);
  } else {
    d.index.Reset();
  }
  d.subgrids = std::move(subgrids);
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

int ReadBinaryFile(ParvelClass::Impl& d, File& file, std::uint64_t size, ByteBuffer& head,
                   bool header_only) {
  FileSource s(file, size, head);
  return Decode(d, s, header_only);
}

}  // namespace parvel
