// The SHX grammar, in one place: where records start and end, their pairs decoded, their faults.
//
// Runs. A group's clean data lines are decoded as one run, straight into space the sinks give
// (the image), on the walk's own thread; the sinks then take the run as they would its lines.
//
// The second thread, the only one this reader starts: on a large text it decodes the run of
// data lines that starts the text's second half. It reads nothing but the file's bytes, writes
// nothing but memory of its run's own, and its run is handed to the sinks only after it is
// joined; a run the sinks decline is walked line by line. So the sinks, the image and the
// checker are only ever touched by the walk's thread. That memory is laid out as the image
// would hold the data, so that once the thread is joined the image takes its pages over
// instead of copying them (PagedBuffer, FlashImage::takeOver).
#include "superfile/shx_tokenizer.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <vector>

#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
#include <thread>
#define TAVUFE_DECODE_THREAD 1
#endif

#include "model/byte_order.h"
#include "model/finalise.h"
#include "model/hex.h"
#include "model/slots.h"
#include "superfile/header_block.h"
#include "superfile/hex_pairs.h"

namespace tavufe {

std::uint32_t ShxRecord::address() const { return read32be(bytes.data() + 1); }

ShxCountedData countedData(const ShxRecord& record) {
  const std::span<const std::uint8_t> fields = record.bytes;
  const std::size_t count = fields.empty() ? 0xFF : fields[0];
  const std::size_t dataBytes = count > kS3FixedBytes ? count - kS3FixedBytes : 0;
  const std::size_t checksumAt = kS3FixedBytes + dataBytes;
  ShxCountedData counted;
  counted.chars = 2 + 2 * (checksumAt + 1);
  if (checksumAt >= fields.size()) return counted;
  counted.whole = true;
  // Framed as its count says, the record's checksum is its last byte, and the tokenizer has
  // summed the rest.
  const std::uint32_t sum = checksumAt + 1 == fields.size()
                                ? record.byteSum - fields[checksumAt]
                                : std::uint32_t(byteSum(fields.first(checksumAt)));
  std::uint32_t fixed = 0;
  for (std::size_t k = 0; k < kS3FixedBytes; ++k) fixed += fields[k];
  counted.data = fields.subspan(kS3FixedBytes, dataBytes);
  counted.dataSum = sum - fixed;
  counted.checksumHolds = fields[checksumAt] == std::uint8_t(0xFF - (sum & 0xFF));
  return counted;
}

namespace {

#ifdef TAVUFE_DECODE_THREAD
// Below this much text a second thread costs more to start than it saves.
constexpr std::size_t kMinSplitText = std::size_t(4) << 20;
#endif
// Below this much text runs save too little to be worth their setup.
constexpr std::size_t kMinRunText = std::size_t(256) << 10;

bool isHexDigit(std::uint8_t c) { return (detail::kNibble[c] & 0xF0) == 0; }
bool isKnownType(std::uint8_t c) { return c == '0' || c == '3' || c == '7'; }

// Where the first character that is not a hex digit stands, or the digits' size. The vector
// decoder gives a pair with such a character as 0xFF, so a record without 0xFF bytes is all
// digits and needs no second look; one with them is checked sixteen characters at a time.
std::size_t firstBadDigit(std::span<const std::uint8_t> digits,
                          std::span<const std::uint8_t> decoded) {
  if (digits.size() % 2 == 0 && !holdsFF(decoded)) return digits.size();
  return firstNonHexDigit(digits);
}

// Decodes the record `r.text`, an S0, S3 or S7 from its "S", into `decoded` (room for
// text.size() / 2 bytes) and finds its first fault.
void describe(std::uint8_t* decoded, ShxRecord& r) {
  const std::span<const std::uint8_t> digits = r.text.subspan(2);
  const std::size_t count = digits.size() / 2;
  r.bytes = std::span<const std::uint8_t>(decoded, count);
  r.byteSum = count > 0 ? hexKernels().decode(digits.data(), count, decoded) : 0;
  r.fault = ShxRecordFault::None;
  r.badAt = 0;
  if (const std::size_t bad = firstBadDigit(digits, r.bytes); bad != digits.size()) {
    r.fault = ShxRecordFault::NotHexDigit;
    r.badAt = bad + 2;
  } else if (digits.size() % 2 != 0 || !r.hasFields()) {
    r.fault = ShxRecordFault::TooShort;
  } else if (r.bytes[0] != count - 1) {
    r.fault = ShxRecordFault::LengthField;
  } else if (const std::uint32_t sum = r.byteSum - r.bytes.back();
             r.bytes.back() != std::uint8_t(0xFF - (sum & 0xFF))) {
    r.fault = ShxRecordFault::Checksum;
  }
}

// Where the record whose "S" stands at `s` of a line's `text` ends: past its count's pairs, or
// its hex digits where they run on further, but never past the line or into the next "S".
std::size_t recordEnd(std::span<const std::uint8_t> text, std::size_t s) {
  const std::size_t n = text.size();
  std::size_t digits = s + 2;
  while (digits < n && isHexDigit(text[digits])) ++digits;
  std::size_t end = digits;
  if (s + 3 < n && isHexDigit(text[s + 2]) && isHexDigit(text[s + 3])) {
    const std::size_t counted = s + 4 + 2 * std::size_t(hexPairToByte(text[s + 2], text[s + 3]));
    end = std::max(end, std::min(n, counted));
  }
  const auto next = std::find(text.begin() + std::ptrdiff_t(s) + 1,
                              text.begin() + std::ptrdiff_t(end), std::uint8_t('S'));
  return std::size_t(next - text.begin());
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

// The address of the S3 line at `pos` when it is ended by CR LF where its count says and its
// address is hex digits; nothing otherwise.
std::optional<std::uint32_t> lineAddress(std::span<const std::uint8_t> file, std::size_t pos) {
  const std::uint8_t* lf = expectedLineEnd(file, pos);
  if (lf == nullptr || std::size_t(lf - file.data()) < pos + 13) return std::nullopt;
  const std::span<const std::uint8_t> digits = file.subspan(pos + 4, 8);
  if (firstNonHexDigit(digits) != digits.size()) return std::nullopt;
  return hexToU32(digits.data(), 0);
}

// Decodes from the line at `from` the data lines a run may hold, stopping before the first line
// that is anything else, at `until`, or before data that would not fit `space` (when one is
// given; otherwise the run takes memory of its own). Text that arrives in pieces is decoded as
// far as it has come, and on from there with the next.
class RunDecoder {
 public:
  RunDecoder(std::span<const std::uint8_t> text, std::size_t from, std::size_t until,
             std::span<std::uint8_t> space, ShxDataRun& run)
      : until_(until), space_(space), run_(run), pos_(from) {
    run.begin = from;
    run.inSinkSpace = !space.empty();
    if (!run.inSinkSpace) {
      // Half a character a byte bounds the data. It starts where its image offset does in a
      // page, so that the image can take its pages over.
      const std::optional<std::uint32_t> address = lineAddress(text, from);
      run.own = PagedBuffer((until - from) / 2, address ? imageOffsetFor(false, *address) : 0);
      space_ = run.own.bytes();
    }
  }

  // Decodes the lines that lie wholly in `text`, the file as far as it has come (all of it
  // when `whole`); returns whether the run has ended.
  bool decode(std::span<const std::uint8_t> text, bool whole) {
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
      const std::size_t cr = std::size_t(lf - text.data()) - 1;
      const std::size_t pairs = (cr - pos - 2) / 2;
      if (pairs < kS3FixedBytes + 1) break;
      const std::size_t dataBytes = pairs - kS3FixedBytes - 1;
      if (dataBytes > space_.size() - filled_) break;
      // The data goes straight to its place: past what the run has laid, a line given up
      // leaves nothing that counts.
      const std::uint8_t* digits = text.data() + pos + 2;
      std::uint8_t* data = space_.data() + filled_;
      std::uint8_t fields[kS3FixedBytes];
      std::uint32_t fixedSum = 0;
      bool maybeBad = false;  // a byte of 0xFF may stand for a pair that is not one
      for (std::size_t k = 0; k < kS3FixedBytes; ++k) {
        fields[k] = hexPairToByte(digits[2 * k], digits[2 * k + 1]);
        fixedSum += fields[k];
        maybeBad |= fields[k] == 0xFF;
      }
      const std::uint32_t dataSum = hex.decode(digits + 2 * kS3FixedBytes, dataBytes, data);
      const std::uint8_t checksum = hexPairToByte(digits[2 * pairs - 2], digits[2 * pairs - 1]);
      maybeBad |= checksum == 0xFF || holdsFF({data, dataBytes});
      if (maybeBad && firstNonHexDigit({digits, 2 * pairs}) != 2 * pairs) break;
      if (checksum != std::uint8_t(0xFF - ((fixedSum + dataSum) & 0xFF))) break;
      const std::uint32_t address = read32be(fields + 1);
      if (run.lines > 0 && address != run.nextAddress) break;
      if (run.lines == 0) run.firstAddress = address;
      filled_ += dataBytes;
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
    return true;
  }

 private:
  std::size_t until_;
  std::span<std::uint8_t> space_;
  ShxDataRun& run_;
  std::size_t pos_;
  std::size_t filled_ = 0;
};

// A run of the walk's own, decoded as the text comes.
struct OwnRun {
  ShxDataRun run;
  std::optional<RunDecoder> decoder;
};

#ifdef TAVUFE_DECODE_THREAD
// The run from the line at `from` to the end of the text, decoded on a second thread into
// memory of its own; join() waits for it. Where no thread can be had it is decoded at once.
class SecondHalf {
 public:
  SecondHalf(std::span<const std::uint8_t> text, std::size_t from) : text_(text), from_(from) {
    try {
      thread_ = std::thread([this] { decode(); });
    } catch (const std::exception&) {
      decode();
    }
  }
  SecondHalf(const SecondHalf&) = delete;
  SecondHalf& operator=(const SecondHalf&) = delete;
  ~SecondHalf() { join(); }

  ShxDataRun& join() {
    if (thread_.joinable()) thread_.join();
    return run_;
  }

 private:
  void decode() noexcept {
    try {
      RunDecoder(text_, from_, text_.size(), {}, run_).decode(text_, true);
    } catch (const std::bad_alloc&) {  // no memory for it: the walk decodes these lines itself
      run_.lines = 0;
    }
  }

  std::span<const std::uint8_t> text_;
  std::size_t from_;
  ShxDataRun run_;
  std::thread thread_;  // last: started once the rest is set
};
#endif

}  // namespace

class ShxWalk {
 public:
  ShxWalk(std::span<const std::uint8_t> file, ShxTokenSink& sink, bool runs)
      : full_(file), file_(file), sink_(sink), runs_(runs), until_(file.size()) {}

  // The whole text, its second half from the first line at or after `secondHalf` (0 for none)
  // decoded meanwhile.
  void whole(std::size_t secondHalf) {
#ifdef TAVUFE_DECODE_THREAD
    const std::size_t at = secondHalf != 0 ? lineStartFrom(secondHalf) : 0;
    if (at != 0) {
      SecondHalf second(full_, at);
      until_ = at;
      feed(full_.size());
      pos_ = offer(second.join(), at);
      until_ = full_.size();
    }
#else
    (void)secondHalf;
#endif
    feed(full_.size());
  }

  // Takes the text as far as `received` bytes of it have come, up to `until_`: the lines wholly
  // there are walked, each group's data lines as a run of this thread's once the group's first
  // lines are behind them. One try a group: a run given up costs its space twice over, and a
  // hostile file has many lines.
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
        if (own_->decoder && !own_->decoder->decode(file_, whole)) return;
        const std::size_t lead = ownFrom_;
        pos_ = offer(own_->run, lead);
        own_.reset();
        if (pos_ == lead) pos_ = walkLine(pos_);
      }
      if ((pos_ = walkUntilTaken(pos_, until)) >= until) return;
      triedIn_ = s0Lines_;
      ownFrom_ = pos_;
      own_ = std::make_unique<OwnRun>();
      try {
        own_->decoder.emplace(file_, pos_, until_, spaceFor(pos_), own_->run);
      } catch (const std::bad_alloc&) {  // the walk decodes these lines itself
      }
    }
  }

 private:
  // Space the sinks give for a run from the line at `from`, up to `until_`; none when they
  // give none.
  std::span<std::uint8_t> spaceFor(std::size_t from) {
    const std::optional<std::uint32_t> address = lineAddress(file_, from);
    return address ? sink_.runSpace(*address, (until_ - from) / 2) : std::span<std::uint8_t>();
  }

  // Hands the sinks the run, or tells them it is declined; returns where the walk goes on.
  std::size_t offer(ShxDataRun& run, std::size_t from) {
    if (run.lines > 0 && sink_.takesRun(run)) {
      sink_.run(run, line_ + 1);
      line_ += run.lines;
      return run.end;
    }
    sink_.runDeclined(run);
    return from;
  }

  // The first line start at or after `target`, or 0 for none before the end. Lines end at
  // their first LF, so a line starts just after each one.
  std::size_t lineStartFrom(std::size_t target) const {
    if (full_.size() <= kHeaderSize) return 0;
    if (target <= kHeaderSize) return kHeaderSize;
    if (target >= full_.size()) return 0;
    const auto* lf = static_cast<const std::uint8_t*>(
        std::memchr(full_.data() + target - 1, '\n', full_.size() - (target - 1)));
    if (lf == nullptr || lf + 1 == full_.data() + full_.size()) return 0;
    return std::size_t(lf - full_.data()) + 1;
  }

  // Walks lines until the sinks would take a run from the next one, past the group counted
  // `triedIn_` S0 lines in; returns where that line starts.
  std::size_t walkUntilTaken(std::size_t pos, std::size_t to) {
    while (pos < to) {
      if (runs_ && s0Lines_ != triedIn_) {
        const std::optional<std::uint32_t> address = lineAddress(file_, pos);
        if (address && sink_.takesRunFrom(*address)) break;
      }
      pos = walkLine(pos);
    }
    return pos;
  }

  // Hands the sinks what the line at `pos` holds; returns where the next one starts.
  std::size_t walkLine(std::size_t pos) {
    ++line_;
    const std::uint8_t* expected = expectedLineEnd(file_, pos);
    if (expected != nullptr && wholeRecord(pos, std::size_t(expected - file_.data()) - 1)) {
      return std::size_t(expected - file_.data()) + 1;
    }
    const auto* lf =
        static_cast<const std::uint8_t*>(std::memchr(file_.data() + pos, '\n', file_.size() - pos));
    const std::size_t end = lf != nullptr ? std::size_t(lf - file_.data()) : file_.size();
    std::size_t contentEnd = end;
    if (contentEnd > pos && file_[contentEnd - 1] == '\r') --contentEnd;
    // The same line end was tried as one record above: it is not one.
    const bool tried = lf != nullptr && lf == expected;
    if (tried || !wholeRecord(pos, contentEnd)) mixedLine(pos, contentEnd);
    return lf != nullptr ? end + 1 : file_.size();
  }

  // The text from `pos` to `end` as one record, when it is an S0, S3 or S7 of hex digits alone.
  bool wholeRecord(std::size_t pos, std::size_t end) {
    if (end - pos < 2 || file_[pos] != 'S' || !isKnownType(file_[pos + 1])) return false;
    ShxRecord& r = start(pos, pos, end);
    r.wholeLine = true;
    describe(decoded(r.text.size()), r);
    if (!r.certain()) return false;
    emit(r);
    return true;
  }

  // A line that is not one record: its records wherever "S" and a digit stand, and the text
  // between them passed over.
  void mixedLine(std::size_t pos, std::size_t end) {
    const std::span<const std::uint8_t> text = file_.subspan(pos, end - pos);
    const std::size_t n = text.size();
    std::size_t at = 0;
    while (true) {
      const std::size_t s =
          std::size_t(std::find(text.begin() + std::ptrdiff_t(at), text.end(), std::uint8_t('S')) -
                      text.begin());
      // (A CR is a line end of a file that ends its lines so.)
      const auto passed =
          std::find_if(text.begin() + std::ptrdiff_t(at), text.begin() + std::ptrdiff_t(s),
                       [](std::uint8_t c) { return c != '\r'; });
      if (passed != text.begin() + std::ptrdiff_t(s)) {
        const auto column = std::size_t(passed - text.begin());
        sink_.passedOver(line_, column + 1, text[column]);
      }
      if (s == n) break;
      if (pos + s + 1 == full_.size()) {
        ShxRecord& r = start(pos, pos + s, pos + s + 1);
        r.fault = ShxRecordFault::CutShort;
        emit(r);
        break;
      }
      const std::uint8_t type = s + 1 < n ? text[s + 1] : 0;
      if (type < '0' || type > '9') {
        sink_.passedOver(line_, s + 1, 'S');
        at = s + 1;
        continue;
      }
      const std::size_t e = recordEnd(text, s);
      ShxRecord& r = start(pos, pos + s, pos + e);
      r.type = char(type);
      if (isKnownType(type)) describe(decoded(r.text.size()), r);
      emit(r);
      at = e;
    }
    sink_.lineEnd(line_, n == 0);
  }

  // The record of the current line from `from` to `to`, its line starting at `lineStart`.
  ShxRecord& start(std::size_t lineStart, std::size_t from, std::size_t to) {
    ShxRecord& r = record_;
    r = {};
    r.line = line_;
    r.offset = from;
    r.column = from - lineStart + 1;
    r.text = file_.subspan(from, to - from);
    r.type = to - from >= 2 ? char(file_[from + 1]) : 0;
    return r;
  }

  void emit(const ShxRecord& r) {
    if (r.type == '0') ++s0Lines_;
    sink_.record(r);
  }

  std::uint8_t* decoded(std::size_t chars) {
    if (bytes_.size() < kLead + chars / 2) bytes_.resize(kLead + chars / 2);
    return bytes_.data() + kLead;
  }

  // The decoded bytes start this far into the buffer, so that a data line's data, after the
  // count and the 4-byte address, starts on a word: the copy into the image then moves words,
  // where a libc without vector loads would move bytes.
  static constexpr std::size_t kLead = 3;

  std::span<const std::uint8_t> full_;
  std::span<const std::uint8_t> file_;  // as far as the walk may read
  ShxTokenSink& sink_;
  bool runs_;
  std::vector<std::uint8_t> bytes_;
  ShxRecord record_;
  std::uint64_t line_ = 0;     // lines walked or run so far
  std::uint64_t s0Lines_ = 0;  // S0 records so far
  std::size_t until_;          // where this thread's runs stop
  // The text fed so far: the walk's place, the end of the last whole line, what was searched
  // for it, and the run under way.
  std::size_t pos_ = kHeaderSize;
  std::size_t limit_ = 0;
  std::size_t seen_ = 0;
  std::uint64_t triedIn_ = ~std::uint64_t(0);
  std::unique_ptr<OwnRun> own_;
  std::size_t ownFrom_ = 0;
};

ShxTokenizer::ShxTokenizer(std::span<const std::uint8_t> file, ShxTokenSink& sink)
    : walk_(std::make_unique<ShxWalk>(file, sink, true)) {}

ShxTokenizer::~ShxTokenizer() = default;

void ShxTokenizer::received(std::size_t bytes) { walk_->feed(bytes); }

void ShxTokenizer::finish() { walk_->feed(~std::size_t(0)); }

// The plan every whole-text walk follows, and tests name when they hold one plan to another:
// runs or none, and where a second thread takes up the text (0 for nowhere).
void tokenizeShxPlanned(std::span<const std::uint8_t> file, ShxTokenSink& sink, bool runs,
                        std::size_t secondHalf) {
  ShxWalk(file, sink, runs).whole(secondHalf);
}

void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink) {
  const std::size_t text = file.size() > kHeaderSize ? file.size() - kHeaderSize : 0;
  std::size_t secondHalf = 0;
#ifdef TAVUFE_DECODE_THREAD
  if (text >= kMinSplitText && std::thread::hardware_concurrency() >= 2) {
    secondHalf = kHeaderSize + text / 2;
  }
#endif
  tokenizeShxPlanned(file, sink, text >= kMinRunText, secondHalf);
}

}  // namespace tavufe
