#include "superfile/shx_tokenizer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
#include <thread>
#define TAVUFE_DECODE_THREAD 1
#endif

#include "model/byte_order.h"
#include "model/finalise.h"
#include "model/flash_image.h"
#include "model/hex.h"
#include "superfile/header_block.h"
#include "superfile/hex_pairs.h"

namespace tavufe {

std::uint32_t ShxLine::address() const { return read32be(bytes.data() + 1); }

namespace {

#ifdef TAVUFE_DECODE_THREAD
// Below this much text a second thread costs more to start than it saves.
constexpr std::size_t kMinSplitText = std::size_t(4) << 20;
#endif
// Below this much text a run on the same thread saves too little to be worth its setup.
constexpr std::size_t kMinRunText = std::size_t(256) << 10;
// How much more data a run lays before it tells a watcher: large enough for a disk write.
constexpr std::size_t kLaidStep = std::size_t(2) << 20;

// Where the first character that is not a hex digit stands, or the digits' size. The vector
// decoder gives a pair with such a character as 0xFF, so a line without 0xFF bytes is all
// digits and needs no second look; one with them is checked sixteen characters at a time.
std::size_t firstBadDigit(std::span<const std::uint8_t> digits,
                          std::span<const std::uint8_t> decoded) {
  if (digits.size() % 2 == 0 && !holdsFF(decoded)) return digits.size();
  return firstNonHexDigit(digits);
}

// Where the S3 line at `pos` ends when it is ended by CR LF where its count says, as nearly
// every line is: the LF; nothing when it is not.
const std::uint8_t* expectedLineEnd(std::span<const std::uint8_t> file, std::size_t pos) {
  if (file.size() - pos < 4 || file[pos] != 'S' || file[pos + 1] != '3') return nullptr;
  const std::size_t count = hexPairToByte(file[pos + 2], file[pos + 3]);
  const std::size_t cr = pos + 4 + 2 * count;
  if (cr + 1 >= file.size() || file[cr] != '\r' || file[cr + 1] != '\n') return nullptr;
  return file.data() + cr + 1;
}

// Decodes from the line at `from` the data lines a run may hold, stopping before the first
// line that is anything else, at `until`, before data that would not fit `space` (when one is
// lent), or once `stop` is set. `laid`, when set, follows the data laid in lent space.
void decodeRun(std::span<const std::uint8_t> file, std::size_t from, std::size_t until,
               std::span<std::uint8_t> space, const std::atomic<bool>& stop,
               const ShxRunGuard::Laid& laid, ShxDataRun& run) {
  constexpr std::size_t kFixed = 5;  // count and address
  const HexKernels& hex = hexKernels();
  run.begin = from;
  run.inPlace = !space.empty();
  if (!run.inPlace) {
    // Half a character a byte bounds the data.
    const std::size_t bound = (until - from) / 2;
    run.own.reset(new std::uint8_t[bound]);
    space = {run.own.get(), bound};
  }
  const bool watched = run.inPlace && laid;
  std::size_t told = 0;
  std::size_t filled = 0;
  std::uint8_t bytes[256];
  std::size_t pos = from;
  while (pos < until) {
    const std::uint8_t* lf = expectedLineEnd(file, pos);
    if (lf == nullptr) break;
    // A look at the flag now and then is enough: it only shortens a run that is not wanted.
    if ((run.lines & 0xFF) == 0 && stop.load(std::memory_order_relaxed)) break;
    const std::size_t cr = std::size_t(lf - file.data()) - 1;
    const std::size_t pairs = (cr - pos - 2) / 2;
    if (pairs < kFixed + 1) break;
    const std::uint8_t* digits = file.data() + pos + 2;
    const std::uint32_t sum = hex.decode(digits, pairs, bytes);
    if (firstBadDigit({digits, 2 * pairs}, {bytes, pairs}) != 2 * pairs) break;
    const std::uint8_t checksum = bytes[pairs - 1];
    if (checksum != std::uint8_t(0xFF - ((sum - checksum) & 0xFF))) break;
    const std::uint32_t address = read32be(bytes + 1);
    if (run.lines > 0 && address != run.nextAddress) break;
    const std::size_t dataBytes = pairs - kFixed - 1;
    if (dataBytes > space.size() - filled) break;
    if (run.lines == 0) run.firstAddress = address;
    std::uint32_t fixed = checksum;
    for (std::size_t k = 0; k < kFixed; ++k) fixed += bytes[k];
    std::memcpy(space.data() + filled, bytes + kFixed, dataBytes);
    filled += dataBytes;
    if (watched && filled - told >= kLaidStep) {
      laid(told, filled);
      told = filled;
    }
    run.dataSum += sum - fixed;
    run.nextAddress = address + std::uint32_t(dataBytes);
    ++run.lines;
    pos = std::size_t(lf - file.data()) + 1;
  }
  run.end = pos;
  run.data = space.first(filled);
  if (watched && filled > told) laid(told, filled);
  // Lent space is the run's to set to the last byte.
  if (run.inPlace) std::fill(space.begin() + std::ptrdiff_t(filled), space.end(), kErased);
  run.charSum = byteSum(file.subspan(from, pos - from));
}

// Decodes a run on a second thread where there is one; joining waits for it. Without threads,
// or when none can be started, it decodes at once, which gives the same run.
class Ahead : public ShxRunGuard {
 public:
  Ahead(std::span<const std::uint8_t> file, std::size_t from, std::size_t until)
      : file_(file), from_(from), until_(until) {}
  Ahead(const Ahead&) = delete;
  Ahead& operator=(const Ahead&) = delete;
  ~Ahead() { join(); }

  void start(std::span<std::uint8_t> space, bool sameThread) {
    space_ = space;
#ifdef TAVUFE_DECODE_THREAD
    if (!sameThread) {
      try {
        thread_ = std::thread([this] { decode(); });
        return;
      } catch (const std::exception&) {  // no thread to be had: decode on this one
      }
    }
#else
    (void)sameThread;
#endif
    decode();
  }

  ShxDataRun& join() {
#ifdef TAVUFE_DECODE_THREAD
    if (thread_.joinable()) thread_.join();
#endif
    return run_;
  }

  void stop() override {
    stop_.store(true, std::memory_order_relaxed);
    join();
    stopped_ = true;
  }
  void onLaid(Laid laid) override { laid_ = std::move(laid); }
  bool stopped() const { return stopped_; }

 private:
  void decode() noexcept {
    try {
      decodeRun(file_, from_, until_, space_, stop_, laid_, run_);
    } catch (const std::exception&) {  // out of memory: the walk decodes these lines itself
      run_.lines = 0;
    }
  }

  std::span<const std::uint8_t> file_;
  std::size_t from_;
  std::size_t until_;
  std::span<std::uint8_t> space_;
  std::atomic<bool> stop_{false};
  bool stopped_ = false;
  Laid laid_;
  ShxDataRun run_;
#ifdef TAVUFE_DECODE_THREAD
  std::thread thread_;
#endif
};

class ShxTokenizer {
 public:
  ShxTokenizer(std::span<const std::uint8_t> file, ShxTokenSink& sink) : file_(file), sink_(sink) {}

  void run(ShxSplit split) {
    if (split.mode == ShxSplit::Mode::Auto) split = chooseSplit();
    const std::size_t at =
        split.mode == ShxSplit::Mode::At ? lineStartFrom(split.at) : std::size_t(0);
    // Where the walk's own runs may reach: the second run's first line, or the end.
    const std::size_t until = at != 0 ? at : file_.size();
    // Each run's data goes where the walk would lay it, when a sink lends that space.
    const std::optional<std::uint32_t> address =
        at != 0 ? addressAt(at) : std::optional<std::uint32_t>{};
    std::optional<Ahead> ahead;
    if (at != 0) {
      ahead.emplace(file_, at, file_.size());
      ahead->start(address ? sink_.runSpace(*address, (file_.size() - at) / 2, *ahead)
                           : std::span<std::uint8_t>{},
                   split.sameThread);
    }
    std::size_t pos = kHeaderSize;
    if (split.lead == ShxSplit::kWhenTaken) {
      // Each group's data lines as a run, once its first lines are behind the walk. One try a
      // group: a run given up costs its space twice over, and a hostile file has many lines.
      std::uint64_t triedIn = ~std::uint64_t(0);
      while ((pos = walkUntilTaken(pos, until, triedIn)) < until) {
        triedIn = s0Lines_;
        const std::size_t next = ownRun(pos, pos, until, address);
        pos = next != pos ? next : walkLine(pos);
      }
    } else if (const std::size_t lead = split.lead != 0 ? lineStartFrom(split.lead) : 0;
               lead != 0 && lead < until) {
      pos = ownRun(pos, lead, until, address);
    }
    walk(pos, until);
    if (ahead) walk(offer(*ahead, at), file_.size());
  }

 private:
  // Walks from `pos` to `lead` while this thread's run decodes from there up to `until` (in
  // space that ends where the second run's, at `address`, begins); returns where the walk
  // goes on.
  std::size_t ownRun(std::size_t pos, std::size_t lead, std::size_t until,
                     std::optional<std::uint32_t> address) {
    Ahead own(file_, lead, until);
    std::span<std::uint8_t> space;
    if (const std::optional<std::uint32_t> from = addressAt(lead)) {
      std::size_t bytes = (until - lead) / 2;
      if (address && *address > *from) bytes = std::min<std::size_t>(bytes, *address - *from);
      space = sink_.runSpace(*from, bytes, own);
    }
    walk(pos, lead);
    if (!own.stopped()) own.start(space, true);
    return offer(own, lead);
  }

  // Hands the sinks the run, or tells them it is declined; returns where the walk goes on.
  std::size_t offer(Ahead& ahead, std::size_t from) {
    const ShxDataRun& run = ahead.join();
    if (run.lines > 0 && !ahead.stopped() && sink_.takesRun(run)) {
      sink_.run(run, line_.number + 1);
      line_.number += run.lines;
      return run.end;
    }
    sink_.runDeclined(run);
    return from;
  }

  // The address of the S3 line at `pos`, when it has one in hex digits.
  std::optional<std::uint32_t> addressAt(std::size_t pos) const {
    const std::uint8_t* lf = expectedLineEnd(file_, pos);
    if (lf == nullptr || std::size_t(lf - file_.data()) < pos + 13) return std::nullopt;
    const std::span<const std::uint8_t> digits = file_.subspan(pos + 4, 8);
    if (firstNonHexDigit(digits) != digits.size()) return std::nullopt;
    std::uint32_t address = 0;
    for (std::size_t k = 0; k < 8; k += 2)
      address = address << 8 | hexPairToByte(digits[k], digits[k + 1]);
    return address;
  }

  // Where a run is worth its start, and on which thread. A run costs about two thirds of what
  // the walk spends on the same lines, which hand each line to every sink: even on one thread
  // a run that starts early in the text, most of which is one code group's data, is cheaper.
  ShxSplit chooseSplit() const {
    const std::size_t text = file_.size() > kHeaderSize ? file_.size() - kHeaderSize : 0;
#ifdef TAVUFE_DECODE_THREAD
    if (text >= kMinSplitText && std::thread::hardware_concurrency() >= 2) {
      // Each thread takes half, the walk's half as runs of its own from each group's first
      // lines on.
      return {ShxSplit::Mode::At, kHeaderSize + text / 2, false, ShxSplit::kWhenTaken};
    }
#endif
    if (text < kMinRunText) return {ShxSplit::Mode::None};
    return {ShxSplit::Mode::None, 0, false, ShxSplit::kWhenTaken};
  }

  // The first line start at or after `target`, or 0 for none before the end. Lines end at
  // their first LF, so a line starts just after each one.
  std::size_t lineStartFrom(std::size_t target) const {
    if (file_.size() <= kHeaderSize) return 0;
    if (target <= kHeaderSize) return kHeaderSize;
    if (target >= file_.size()) return 0;
    const auto* lf = static_cast<const std::uint8_t*>(
        std::memchr(file_.data() + target - 1, '\n', file_.size() - (target - 1)));
    if (lf == nullptr || lf + 1 == file_.data() + file_.size()) return 0;
    return std::size_t(lf - file_.data()) + 1;
  }

  void walk(std::size_t pos, std::size_t to) {
    while (pos < to) pos = walkLine(pos);
  }

  // Walks lines until the sinks would take a run from the next one, past the group counted
  // `triedIn` S0 lines in; returns where that line starts.
  std::size_t walkUntilTaken(std::size_t pos, std::size_t to, std::uint64_t triedIn) {
    while (pos < to) {
      if (s0Lines_ != triedIn) {
        const std::optional<std::uint32_t> address = addressAt(pos);
        if (address && sink_.takesRunFrom(*address)) break;
      }
      pos = walkLine(pos);
    }
    return pos;
  }

  // Hands the sinks the line at `pos`; returns where the next one starts.
  std::size_t walkLine(std::size_t pos) {
    ShxLine& line = line_;
    ++line.number;
    line.offset = pos;
    const std::uint8_t* lf = expectedLineEnd(file_, pos);
    if (lf != nullptr) {
      describe(line, lf);
      // A line of digits only holds no LF: the end its count gave is its end.
      if (!line.certain()) lf = nullptr;
    }
    if (lf == nullptr) {
      lf = static_cast<const std::uint8_t*>(
          std::memchr(file_.data() + pos, '\n', file_.size() - pos));
      describe(line, lf);
    }
    if (line.type == '0') ++s0Lines_;
    sink_.line(line);
    return lf != nullptr ? std::size_t(lf - file_.data()) + 1 : file_.size();
  }

  // Takes the line from its offset to `lf` (or the end of the file) and decodes it.
  void describe(ShxLine& line, const std::uint8_t* lf) {
    const std::size_t end = lf != nullptr ? std::size_t(lf - file_.data()) : file_.size();
    std::size_t contentEnd = end;
    if (contentEnd > line.offset && file_[contentEnd - 1] == '\r') --contentEnd;
    line.text = file_.subspan(line.offset, contentEnd - line.offset);
    const std::span<const std::uint8_t> text = line.text;
    line.bytes = {};
    line.byteSum = 0;
    line.fault = ShxLineFault::None;
    line.badColumn = 0;
    if (text.size() < 2 || text[0] != 'S' || (text[1] != '0' && text[1] != '3' && text[1] != '7')) {
      line.type = 0;
      return;
    }
    line.type = char(text[1]);
    const std::span<const std::uint8_t> digits = text.subspan(2);
    const std::size_t count = digits.size() / 2;
    if (bytes_.size() < kLead + count) bytes_.resize(kLead + count);
    std::uint8_t* const decoded = bytes_.data() + kLead;
    line.bytes = std::span<const std::uint8_t>(decoded, count);
    line.byteSum = count > 0 ? hex_.decode(digits.data(), count, decoded) : 0;

    if (const std::size_t bad = firstBadDigit(digits, line.bytes); bad != digits.size()) {
      line.fault = ShxLineFault::NotHexDigit;
      line.badColumn = bad + 3;
      return;
    }
    if (digits.size() % 2 != 0 || !line.hasFields()) {
      line.fault = ShxLineFault::TooShort;
    } else if (line.bytes[0] != count - 1) {
      line.fault = ShxLineFault::LengthField;
    } else {
      const std::uint32_t sum = line.byteSum - line.bytes.back();
      if (line.bytes.back() != std::uint8_t(0xFF - (sum & 0xFF))) {
        line.fault = ShxLineFault::Checksum;
      }
    }
  }

  // The decoded bytes start this far into the buffer, so that a data line's data, after the
  // count and the 4-byte address, starts on a word: the copy into the image then moves words,
  // where a libc without vector loads would move bytes.
  static constexpr std::size_t kLead = 3;

  std::span<const std::uint8_t> file_;
  ShxTokenSink& sink_;
  const HexKernels& hex_ = hexKernels();
  std::vector<std::uint8_t> bytes_;
  ShxLine line_;
  std::uint64_t s0Lines_ = 0;  // walked so far
};

}  // namespace

void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink, ShxSplit split) {
  ShxTokenizer(file, sink).run(split);
}

}  // namespace tavufe
