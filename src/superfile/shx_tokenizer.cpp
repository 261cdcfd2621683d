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
// lent), or once `stop` is set. `laid`, when set, follows the data laid in lent space. Text
// that arrives in pieces is decoded as far as it has come, and on from there with the next.
class RunDecoder {
 public:
  RunDecoder(std::size_t from, std::size_t until, std::span<std::uint8_t> space,
             const std::atomic<bool>& stop, const ShxRunGuard::Laid& laid, ShxDataRun& run)
      : until_(until), space_(space), stop_(stop), laid_(laid), run_(run), pos_(from) {
    run.begin = from;
    run.inPlace = !space.empty();
    if (!run.inPlace) {
      // Half a character a byte bounds the data.
      const std::size_t bound = (until - from) / 2;
      run.own.reset(new std::uint8_t[bound]);
      space_ = {run.own.get(), bound};
    }
    watched_ = run.inPlace && laid;
  }

  // Decodes the lines that lie wholly in `text`, the file as far as it has come (all of it
  // when `whole`); returns whether the run has ended.
  bool decode(std::span<const std::uint8_t> text, bool whole) {
    constexpr std::size_t kFixed = 5;  // count and address
    const HexKernels& hex = hexKernels();
    ShxDataRun& run = run_;
    const std::size_t from = pos_;
    const std::size_t until = std::min(until_, text.size());
    std::size_t pos = pos_;
    bool stopped = false;
    while (pos < until) {
      stopped = true;
      const std::uint8_t* lf = expectedLineEnd(text, pos);
      if (lf == nullptr) break;
      // A look at the flag now and then is enough: it only shortens a run that is not wanted.
      if ((run.lines & 0xFF) == 0 && stop_.load(std::memory_order_relaxed)) break;
      const std::size_t cr = std::size_t(lf - text.data()) - 1;
      const std::size_t pairs = (cr - pos - 2) / 2;
      if (pairs < kFixed + 1) break;
      const std::size_t dataBytes = pairs - kFixed - 1;
      if (dataBytes > space_.size() - filled_) break;
      // The data goes straight to its place: past what the run has laid, a line given up
      // leaves nothing that counts.
      const std::uint8_t* digits = text.data() + pos + 2;
      std::uint8_t* data = space_.data() + filled_;
      std::uint8_t fields[kFixed];
      std::uint32_t fixedSum = 0;
      bool maybeBad = false;  // a byte of 0xFF may stand for a pair that is not one
      for (std::size_t k = 0; k < kFixed; ++k) {
        fields[k] = hexPairToByte(digits[2 * k], digits[2 * k + 1]);
        fixedSum += fields[k];
        maybeBad |= fields[k] == 0xFF;
      }
      const std::uint32_t dataSum = hex.decode(digits + 2 * kFixed, dataBytes, data);
      const std::uint8_t checksum = hexPairToByte(digits[2 * pairs - 2], digits[2 * pairs - 1]);
      maybeBad |= checksum == 0xFF || holdsFF({data, dataBytes});
      if (maybeBad && firstNonHexDigit({digits, 2 * pairs}) != 2 * pairs) break;
      if (checksum != std::uint8_t(0xFF - ((fixedSum + dataSum) & 0xFF))) break;
      const std::uint32_t address = read32be(fields + 1);
      if (run.lines > 0 && address != run.nextAddress) break;
      if (run.lines == 0) run.firstAddress = address;
      filled_ += dataBytes;
      if (watched_ && filled_ - told_ >= kLaidStep) {
        laid_(told_, filled_);
        told_ = filled_;
      }
      run.dataSum += dataSum;
      run.nextAddress = address + std::uint32_t(dataBytes);
      ++run.lines;
      pos = std::size_t(lf - text.data()) + 1;
      stopped = false;
    }
    pos_ = pos;
    run.charSum += byteSum(text.subspan(from, pos - from));
    // Only a line that is there stops a run: the text's end so far does not, until it is all.
    if (!stopped && !whole && pos < until_) return false;
    run.end = pos;
    run.data = space_.first(filled_);
    if (watched_ && filled_ > told_) laid_(told_, filled_);
    return true;
  }

 private:
  std::size_t until_;
  std::span<std::uint8_t> space_;
  const std::atomic<bool>& stop_;
  const ShxRunGuard::Laid& laid_;
  ShxDataRun& run_;
  std::size_t pos_;
  std::size_t filled_ = 0;
  std::size_t told_ = 0;
  bool watched_ = false;
};

// Decodes a run on a second thread where there is one; joining waits for it. Without threads,
// or when none can be started, it decodes at once, which gives the same run. A run of text
// that arrives in pieces is decoded on this thread as it comes (begin, then extend).
class Ahead final : public ShxRunGuard {
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

  void begin(std::span<std::uint8_t> space) {
    space_ = space;
    try {
      decoder_.emplace(from_, until_, space_, stop_, laid_, run_);
    } catch (const std::exception&) {  // out of memory: the walk decodes these lines itself
      run_.lines = 0;
    }
  }
  // Decodes the lines `text` holds beyond the last; whether the run has ended.
  bool extend(std::span<const std::uint8_t> text, bool whole) {
    return !decoder_ || decoder_->decode(text, whole);
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
    begin(space_);
    extend(file_, true);
  }

  std::span<const std::uint8_t> file_;
  std::size_t from_;
  std::size_t until_;
  std::span<std::uint8_t> space_;
  std::atomic<bool> stop_{false};
  bool stopped_ = false;
  Laid laid_;
  ShxDataRun run_;
  std::optional<RunDecoder> decoder_;
#ifdef TAVUFE_DECODE_THREAD
  std::thread thread_;
#endif
};

}  // namespace

class ShxTokenizer {
 public:
  ShxTokenizer(std::span<const std::uint8_t> file, ShxTokenSink& sink)
      : full_(file), file_(file), sink_(sink), until_(file.size()) {}

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
    until_ = until;
    second_ = address;
    std::size_t pos = kHeaderSize;
    if (split.lead == ShxSplit::kWhenTaken) {
      feed(file_.size());
      pos = pos_;
    } else if (const std::size_t lead = split.lead != 0 ? lineStartFrom(split.lead) : 0;
               lead != 0 && lead < until) {
      Ahead own(file_, lead, until);
      const std::span<std::uint8_t> space = spaceFor(own, lead);
      walk(pos, lead);
      if (!own.stopped()) own.start(space, true);
      pos = offer(own, lead);
    }
    walk(pos, until);
    if (ahead) walk(offer(*ahead, at), file_.size());
  }

  // Takes the text as far as `received` bytes of it have come, up to the split: the lines wholly
  // there go to the sinks, each group's data lines as a run of this thread's once the group's
  // first lines are behind them. One try a group: a run given up costs its space twice over,
  // and a hostile file has many lines.
  void feed(std::size_t received) {
    const bool whole = received >= full_.size();
    if (whole) {
      limit_ = full_.size();
    } else {
      // Just past the last line end that has come; each byte is looked at once.
      for (std::size_t k = received; k > std::max(seen_, limit_); --k) {
        if (full_[k - 1] == '\n') {
          limit_ = k;
          break;
        }
      }
      seen_ = std::max(seen_, received);
    }
    file_ = full_.first(limit_);
    const std::size_t until = std::min(until_, limit_);
    while (true) {
      if (own_) {
        if (!own_->extend(file_, whole)) return;
        const std::size_t lead = ownLead_;
        pos_ = offer(*own_, lead);
        own_.reset();
        if (pos_ == lead) pos_ = walkLine(pos_);
      }
      if ((pos_ = walkUntilTaken(pos_, until, triedIn_)) >= until) return;
      triedIn_ = s0Lines_;
      ownLead_ = pos_;
      own_.emplace(full_, pos_, until_);
      own_->begin(spaceFor(*own_, pos_));
    }
  }

 private:
  // Space lent for a run of this thread's from the line at `lead` up to the split, ending where
  // the second run's begins when that follows on; none when no sink lends it.
  std::span<std::uint8_t> spaceFor(Ahead& own, std::size_t lead) {
    const std::optional<std::uint32_t> from = addressAt(lead);
    if (!from) return {};
    std::size_t bytes = (until_ - lead) / 2;
    if (second_ && *second_ > *from) bytes = std::min<std::size_t>(bytes, *second_ - *from);
    return sink_.runSpace(*from, bytes, own);
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
    const std::span<const std::uint8_t> text = file_.subspan(line.offset, contentEnd - line.offset);
    if (bytes_.size() < kLead + text.size() / 2) bytes_.resize(kLead + text.size() / 2);
    describeShxRecord(text, bytes_.data() + kLead, line);
  }

  // The decoded bytes start this far into the buffer, so that a data line's data, after the
  // count and the 4-byte address, starts on a word: the copy into the image then moves words,
  // where a libc without vector loads would move bytes.
  static constexpr std::size_t kLead = 3;

  std::span<const std::uint8_t> full_;
  std::span<const std::uint8_t> file_;  // as far as the walk may read
  ShxTokenSink& sink_;
  std::vector<std::uint8_t> bytes_;
  ShxLine line_;
  std::uint64_t s0Lines_ = 0;  // walked so far
  // Where this thread's runs stop, and the second run's first address when there is one.
  std::size_t until_;
  std::optional<std::uint32_t> second_;
  // The text fed so far: the walk's place, the end of the last whole line, what was searched
  // for it, and the run under way.
  std::size_t pos_ = kHeaderSize;
  std::size_t limit_ = 0;
  std::size_t seen_ = 0;
  std::uint64_t triedIn_ = ~std::uint64_t(0);
  std::optional<Ahead> own_;
  std::size_t ownLead_ = 0;
};

void describeShxRecord(std::span<const std::uint8_t> text, std::uint8_t* decoded, ShxLine& line) {
  line.text = text;
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
  line.bytes = std::span<const std::uint8_t>(decoded, count);
  line.byteSum = count > 0 ? hexKernels().decode(digits.data(), count, decoded) : 0;

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

void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink, ShxSplit split) {
  ShxTokenizer(file, sink).run(split);
}

ShxTextStream::ShxTextStream(std::span<const std::uint8_t> file, ShxTokenSink& sink)
    : tokenizer_(std::make_unique<ShxTokenizer>(file, sink)), size_(file.size()) {}

ShxTextStream::~ShxTextStream() = default;

void ShxTextStream::received(std::size_t bytes) { tokenizer_->feed(std::min(bytes, size_)); }

void ShxTextStream::finish() { tokenizer_->feed(size_); }

}  // namespace tavufe
