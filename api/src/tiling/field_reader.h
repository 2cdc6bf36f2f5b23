// Big-endian fields off a ByteSource, each checked against what is left of the file before it
// is used or allocated; a failure records what and where.
#ifndef TESK_API_SRC_TILING_FIELD_READER_H_
#define TESK_API_SRC_TILING_FIELD_READER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tiling/byte_source.h"
#include "tiling/encoding.h"

namespace tesk::tiling {

class FieldReader {
 public:
  FieldReader(ByteSource& in, std::string& error) : in_(in), error_(error) {}

  ByteSource& in() { return in_; }

  bool U32(std::uint32_t& v, const char* what) {
    const unsigned char* p = in_.Take(4);
    if (p == nullptr) return Fail(std::string("file ends in the ") + what);
    v = LoadBE32(p);
    return true;
  }

  bool Float(float& v, FloatEncoding e, const char* what) {
    const unsigned char* p = in_.Take(4);
    if (p == nullptr) return Fail(std::string("file ends in the ") + what);
    v = DecodeFloat(p, e);
    return true;
  }

  // A length, then that many bytes.
  bool String(std::string& s, const char* what) {
    std::uint32_t n = 0;
    if (!U32(n, what)) return false;
    if (n > in_.remaining()) {
      return Fail(std::string(what) + " of " + std::to_string(n) + " bytes runs past the end");
    }
    s.resize(n);
    if (!in_.CopyOut(s.data(), n)) return Fail(std::string("cannot read the ") + what);
    return true;
  }

  // A count, then that many pairs of strings (tag, value).
  bool Parameters(std::vector<std::pair<std::string, std::string>>& out, const char* what) {
    std::uint32_t n = 0;
    if (!U32(n, what)) return false;
    if (n > in_.remaining() / 8) {
      return Fail(std::to_string(n) + " " + what + " cannot fit in the file");
    }
    out.resize(n);
    for (auto& [tag, value] : out) {
      if (!String(tag, "parameter tag") || !String(value, "parameter value")) return false;
    }
    return true;
  }

  bool Fail(const std::string& what) { return FailAt(in_.position(), what); }
  bool FailAt(std::uint64_t offset, const std::string& what) {
    error_ = what + " (offset " + std::to_string(offset) + ")";
    return false;
  }

 private:
  ByteSource& in_;
  std::string& error_;
};

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_FIELD_READER_H_
