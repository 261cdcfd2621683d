#include "superfile/hex_pairs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "model/hex.h"

using namespace tavufe;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// Characters a data line may hold, and some it may not: neighbours of every digit range, a
// control character and bytes with the top bit set.
constexpr char kLineChars[] = "0123456789ABCDEFabcdef/:@G`g \r\nS\x80\xB0\xC1\xE6\xFF";

std::string randomDigits(std::mt19937& random, std::size_t pairs, bool invalidToo) {
  // Mostly digits, so most runs of sixteen pairs are valid and take the vector path whole.
  std::uniform_int_distribution<int> pick(0, invalidToo ? int(sizeof kLineChars) - 2 : 21);
  std::uniform_int_distribution<int> rare(0, 40);
  std::string text(2 * pairs, '0');
  for (char& c : text) c = kLineChars[rare(random) == 0 ? pick(random) : pick(random) % 22];
  return text;
}

}  // namespace

TEST(HexPairsTest, ScalarDecodesLiteralLines) {
  struct Case {
    std::string digits;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"", {}},
      {"00FF7fA5", {0x00, 0xFF, 0x7F, 0xA5}},
      {"G0", {0xFF}},  // an invalid character in either place makes the pair 0xFF
      {"0G", {0xFF}},
      {"1:2/", {0xFF, 0xFF}},
      {"\xB1"
       "1",
       {0xFF}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> out(c.bytes.size());
    const auto digits = bytesOf(c.digits);
    std::uint32_t sum = 0;
    for (std::uint8_t b : c.bytes) sum += b;
    EXPECT_EQ(decodePairsScalar(digits.data(), out.size(), out.data()), sum) << c.digits;
    EXPECT_EQ(out, c.bytes) << c.digits;
  }
}

TEST(HexPairsTest, ScalarEncodesUpperCaseAndAddsToBothSums) {
  const std::uint8_t bytes[] = {0x00, 0xAB, 0xFF, 0x3c};
  char out[8];
  HexSums sums{1, 2};
  encodePairsScalar(bytes, 4, out, sums);
  EXPECT_EQ(std::string(out, 8), "00ABFF3C");
  EXPECT_EQ(sums.bytes, 1u + 0x00 + 0xAB + 0xFF + 0x3C);
  EXPECT_EQ(sums.chars, 2u + '0' + '0' + 'A' + 'B' + 'F' + 'F' + '3' + 'C');
}

TEST(HexPairsTest, EveryVariantDecodesEveryPairOfCharactersAsTheScalarOne) {
  // All 65536 pairs of character codes in one run, so each passes through the vector path.
  std::vector<std::uint8_t> digits;
  std::vector<std::uint8_t> expected;
  for (int high = 0; high < 256; ++high) {
    for (int low = 0; low < 256; ++low) {
      digits.push_back(std::uint8_t(high));
      digits.push_back(std::uint8_t(low));
      expected.push_back(hexPairToByte(std::uint8_t(high), std::uint8_t(low)));
    }
  }
  std::uint32_t expectedSum = 0;
  for (std::uint8_t b : expected) expectedSum += b;
  for (const HexKernels* kernels : supportedHexKernels()) {
    std::vector<std::uint8_t> out(expected.size());
    EXPECT_EQ(kernels->decode(digits.data(), out.size(), out.data()), expectedSum) << kernels->name;
    EXPECT_EQ(out, expected) << kernels->name;
  }
}

TEST(HexPairsTest, EveryVariantMatchesScalarOnRandomLinesOfEveryLengthAndOffset) {
  std::mt19937 random(11);
  constexpr std::uint8_t kGuard = 0x5A;
  for (const HexKernels* kernels : supportedHexKernels()) {
    for (std::size_t count = 0; count <= 255; ++count) {
      for (std::size_t offset = 0; offset < 4; ++offset) {
        const bool invalidToo = (count + offset) % 2 == 0;
        const std::string text = randomDigits(random, count, invalidToo);
        // Sized exactly, so a read past the last pair is caught by the address sanitizer.
        std::vector<std::uint8_t> digits(offset, '0');
        digits.insert(digits.end(), text.begin(), text.end());
        std::vector<std::uint8_t> expected(count);
        const std::uint32_t expectedSum =
            decodePairsScalar(digits.data() + offset, count, expected.data());

        std::vector<std::uint8_t> out(offset + count + 1, kGuard);
        const std::uint32_t sum =
            kernels->decode(digits.data() + offset, count, out.data() + offset);
        ASSERT_EQ(sum, expectedSum) << kernels->name << " count " << count << " offset " << offset;
        ASSERT_EQ(std::vector<std::uint8_t>(out.begin() + long(offset), out.end() - 1), expected)
            << kernels->name << " count " << count << " offset " << offset;
        ASSERT_EQ(out.back(), kGuard) << kernels->name << " wrote past the end, count " << count;
      }
    }
  }
}

TEST(HexPairsTest, EveryVariantEncodesAsScalarOnRandomBytesOfEveryLengthAndOffset) {
  std::mt19937 random(12);
  std::uniform_int_distribution<int> byte(0, 255);
  for (const HexKernels* kernels : supportedHexKernels()) {
    for (std::size_t count = 0; count <= 255; ++count) {
      for (std::size_t offset = 0; offset < 4; ++offset) {
        std::vector<std::uint8_t> bytes(offset + count);
        for (auto& b : bytes) b = std::uint8_t(byte(random));
        std::string expected(2 * count, ' ');
        HexSums expectedSums{7, 9};
        encodePairsScalar(bytes.data() + offset, count, expected.data(), expectedSums);

        std::string out(offset + 2 * count + 1, '#');
        HexSums sums{7, 9};
        kernels->encode(bytes.data() + offset, count, out.data() + offset, sums);
        ASSERT_EQ(out.substr(offset, 2 * count), expected) << kernels->name << " count " << count;
        ASSERT_EQ(out.back(), '#') << kernels->name << " wrote past the end, count " << count;
        ASSERT_EQ(sums.bytes, expectedSums.bytes) << kernels->name << " count " << count;
        ASSERT_EQ(sums.chars, expectedSums.chars) << kernels->name << " count " << count;
      }
    }
  }
}

TEST(HexPairsTest, ChosenVariantIsOneThisProcessorRuns) {
  const auto all = supportedHexKernels();
  ASSERT_FALSE(all.empty());
  EXPECT_STREQ(all.front()->name, "scalar");
  EXPECT_NE(std::find(all.begin(), all.end(), &hexKernels()), all.end());
  // The widest one the processor has is the one chosen.
  EXPECT_EQ(all.back(), &hexKernels());
}

// Every byte value at every place of runs around the vector width: the first one that is not
// a hex digit is found, as the nibble table says.
TEST(HexPairsTest, FirstNonHexDigitIsFoundAtEveryPlace) {
  for (const std::size_t size :
       {std::size_t(0), std::size_t(15), std::size_t(16), std::size_t(17), std::size_t(40)}) {
    std::vector<std::uint8_t> text(size, 'a');
    EXPECT_EQ(firstNonHexDigit(text), size);
    for (std::size_t at = 0; at < size; ++at) {
      for (int c = 0; c < 256; ++c) {
        text[at] = std::uint8_t(c);
        const bool digit = std::isxdigit(c) != 0;
        ASSERT_EQ(firstNonHexDigit(text), digit ? size : at) << size << " " << at << " " << c;
      }
      text[at] = 'F';
    }
  }
}

// A 0xFF at every place of runs around the vector width, over bytes one short of it: found
// wherever it stands, and only then.
TEST(HexPairsTest, HoldsFFFindsTheByteAtEveryPlace) {
  for (const std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(15), std::size_t(16),
                                 std::size_t(17), std::size_t(70)}) {
    std::vector<std::uint8_t> bytes(size, 0xFE);
    EXPECT_FALSE(holdsFF(bytes)) << size;
    for (std::size_t at = 0; at < size; ++at) {
      bytes[at] = 0xFF;
      ASSERT_TRUE(holdsFF(bytes)) << size << " " << at;
      bytes[at] = 0xFE;
    }
  }
}

#if defined(__wasm_simd128__) || (defined(__aarch64__) && defined(__ARM_NEON))
// A build for a vector unit that every processor (or engine) it runs on has must choose it.
TEST(HexPairsTest, BuildsForAVectorUnitChooseItsVariant) {
#if defined(__wasm_simd128__)
  EXPECT_STREQ(hexKernels().name, "simd128");
#else
  EXPECT_STREQ(hexKernels().name, "neon");
#endif
}
#endif
