#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ByteSequenceText.h"

namespace tavrik {
namespace {

// Every parse starts over the same non-zero pattern, so the rows show which
// data bytes a parse wrote and which it left as they were.
constexpr std::uint8_t kFill = 0xEE;

ByteSeq Filled() {
  ByteSeq seq{};
  seq.length = 7;
  for (auto& b : seq.data) b = kFill;
  return seq;
}

TEST(ParseSequence, TableOfInputs) {
  struct Case {
    const char* text;
    bool ok;
    std::vector<std::uint8_t> written;  // the length is their count
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {"0x0D 0x0A", true, {0x0D, 0x0A}, "hexadecimal"},
      /*1*/ {"13 10", true, {0x0D, 0x0A}, "decimal"},
      /*2*/ {"015 012", true, {0x0D, 0x0A}, "a leading 0 is octal"},
      /*3*/ {"10", true, {0x0A}, "one number"},
      /*4*/ {"0x0a", true, {0x0A}, "lower-case hexadecimal"},
      /*5*/ {"0X0A", true, {0x0A}, "upper-case X"},
      /*6*/ {"", true, {}, "empty text is the empty sequence"},
      /*7*/ {" \t \n ", true, {}, "blanks only"},
      /*8*/ {"  1\t\t2  ", true, {1, 2}, "blanks of every kind around the numbers"},
      /*9*/ {"0 255 0xFF 0377", true, {0, 255, 255, 255}, "both ends of a byte in every base"},
      /*10*/ {"256", false, {}, "above a byte"},
      /*11*/ {"-1", false, {}, "negative"},
      /*12*/ {"+5", true, {5}, "a plus sign is allowed"},
      /*13*/ {"-0", true, {0}, "minus zero is zero"},
      /*14*/ {"1 2 3 4 5 6 7 8 9 10", true, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "ten numbers fill it"},
      /*15*/ {"1 2 3 4 5 6 7 8 9 10 11", false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "an eleventh fails, ten stay"},
      /*16*/ {"1 2 x", false, {1, 2}, "not a number after two"},
      /*17*/ {"0x0A,10", false, {0x0A}, "a comma is no separator"},
      /*18*/ {"1 300 2", false, {1}, "out of range in the middle"},
      /*19*/ {"08", false, {0}, "8 is no octal digit and is not a second number"},
      /*20*/ {"1+2", false, {1}, "a sign does not separate numbers"},
      /*21*/ {"0x", false, {0}, "0x without digits"},
      /*22*/ {"-", false, {}, "a sign alone"},
      /*23*/ {"99999999999999999999999", false, {}, "a long number does not wrap into a byte"},
      /*24*/ {"0x0D 0x0A ", true, {0x0D, 0x0A}, "trailing blanks"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(testing::Message() << "row " << row << " \"" << c.text << "\": " << c.why);
    ByteSeq seq = Filled();
    EXPECT_EQ(ParseSequence(c.text, seq), c.ok);
    ASSERT_EQ(seq.length, c.written.size());
    for (std::size_t i = 0; i < kSequenceCapacity; ++i) {
      const std::uint8_t expected = i < c.written.size() ? c.written[i] : kFill;
      EXPECT_EQ(seq.data[i], expected) << "byte " << i;
    }
  }
}

TEST(ParseSequence, RawFormHonoursASmallerCapacity) {
  std::uint8_t data[3] = {kFill, kFill, kFill};
  std::uint8_t length = 9;
  EXPECT_TRUE(ParseSequence("1 2", data, length, 2));
  EXPECT_EQ(length, 2);
  EXPECT_FALSE(ParseSequence("1 2 3", data, length, 2));
  EXPECT_EQ(length, 2);
  EXPECT_EQ(data[2], kFill);
}

TEST(FormatSequence, TextForm) {
  struct Case {
    ByteSeq seq;
    const char* text;
  };
  const Case cases[] = {
      /*0*/ {{0, {}}, ""},
      /*1*/ {{2, {0x0D, 0x0A, 0x77}}, "0x0D    0x0A"},
      /*2*/ {{1, {0xab}}, "0xAB"},
      /*3*/ {{10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 255}},
             "0x00    0x01    0x02    0x03    0x04    0x05    0x06    0x07    0x08    0xFF"},
      /*4*/ {{200, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
             "0x01    0x02    0x03    0x04    0x05    0x06    0x07    0x08    0x09    0x0A"},  // damaged length
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row);
    EXPECT_EQ(FormatSequence(cases[row].seq), cases[row].text);
  }
}

TEST(FormatSequence, ParsesBackToTheSameBytes) {
  const ByteSeq original{4, {0x00, 0x28, 0x0D, 0xFF, 9, 9, 9, 9, 9, 9}};
  ByteSeq back = Filled();
  ASSERT_TRUE(ParseSequence(FormatSequence(original), back));
  ASSERT_EQ(back.length, 4);
  EXPECT_TRUE(std::equal(back.data, back.data + 4, original.data));
}

}  // namespace
}  // namespace tavrik
