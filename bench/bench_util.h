// Fixture pieces the benchmarks share (scratch directories and file bytes come from the test
// support): a plain whole-file read to measure against, and timing a subject against its
// baseline interleaved in the same run, with the ratio printed after the benchmark table.
#ifndef TESK_BENCH_BENCH_UTIL_H_
#define TESK_BENCH_BENCH_UTIL_H_

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <tesk/testing/bytes.h>
#include <tesk/testing/scratch_dir.h>

namespace tesk::bench {

namespace fs = std::filesystem;

inline double Now() {
  using Seconds = std::chrono::duration<double>;
  return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// All of a file's bytes, read with plain read(2) calls into an uninitialised buffer.
inline std::unique_ptr<char[]> ReadBytes(const fs::path& path, std::size_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  struct stat st;
  ::fstat(fd, &st);
  size = static_cast<std::size_t>(st.st_size);
  auto buf = std::make_unique_for_overwrite<char[]>(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t r = ::read(fd, buf.get() + done, size - done);
    if (r <= 0) break;
    done += static_cast<std::size_t>(r);
  }
  ::close(fd);
  return buf;
}

// Mean milliseconds per run of each side.
struct PairTimes {
  double baseline_ms = 0, subject_ms = 0;
};

// Times baseline and subject alternately in every iteration, so both see the same machine, and
// reports the means as counters "baseline_ms", "<subject>_ms" and "ratio". between() runs
// untimed after each iteration (checks, freeing, preparing the next run).
template <class B, class S, class Between>
PairTimes Interleaved(benchmark::State& state, std::string_view subject_name, B&& baseline,
                      S&& subject, Between&& between) {
  double tb = 0, ts = 0;
  std::int64_t n = 0;
  for (auto _ : state) {
    const bool subject_first = (n & 1) != 0;
    const double t0 = Now();
    if (subject_first) subject(); else baseline();
    const double t1 = Now();
    if (subject_first) baseline(); else subject();
    const double t2 = Now();
    (subject_first ? ts : tb) += t1 - t0;
    (subject_first ? tb : ts) += t2 - t1;
    state.SetIterationTime(t2 - t0);
    ++n;
    between();
  }
  state.counters["baseline_ms"] = tb / n * 1e3;
  state.counters[std::string(subject_name) + "_ms"] = ts / n * 1e3;
  state.counters["ratio"] = ts / tb;
  return {tb / n * 1e3, ts / n * 1e3};
}

template <class B, class S>
PairTimes Interleaved(benchmark::State& state, std::string_view subject_name, B&& baseline,
                      S&& subject) {
  return Interleaved(state, subject_name, baseline, subject, [] {});
}

// The closing summary: one line per measured pair, printed at exit (after the table), as
// "<program>: <name>  <subject> N ms  baseline N ms  ratio R (target <= T)".
class RatioReport {
 public:
  // name_width pads the names so that the lines of one program align.
  RatioReport(std::string program, std::string subject, int name_width = 0)
      : program_(std::move(program)), subject_(std::move(subject)), width_(name_width) {}
  ~RatioReport() {
    for (const auto& [name, r] : rows_) {
      std::printf("%s: %-*s  %s %7.2f ms  baseline %7.2f ms  ratio %.2f (target <= %.1f)\n",
                  program_.c_str(), width_, name.c_str(), subject_.c_str(), r.times.subject_ms,
                  r.times.baseline_ms, r.times.subject_ms / r.times.baseline_ms, r.target);
    }
  }
  RatioReport(const RatioReport&) = delete;
  RatioReport& operator=(const RatioReport&) = delete;

  void Add(const std::string& name, PairTimes times, double target) {
    rows_[name] = {times, target};
  }

 private:
  struct Row {
    PairTimes times;
    double target = 0;
  };
  std::string program_, subject_;
  int width_;
  std::map<std::string, Row> rows_;
};

}  // namespace tesk::bench

#endif  // TESK_BENCH_BENCH_UTIL_H_
