#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "testsupport/ImageBytes.h"

namespace tavrik {
namespace {

using Image = std::array<std::uint8_t, kPlacementSize>;

Image DefaultImage(std::uint8_t model) {
  SetCurrentModel(model);
  Image image{};
  InitPlacement(image.data(), nullptr);
  return image;
}

ByteSeq Seq(std::initializer_list<std::uint8_t> bytes) {
  ByteSeq s{};
  s.length = static_cast<std::uint8_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), s.data);
  return s;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override { ResetProcessState(); }
};

// The table itself: the image layout is a contract with scanners and files.
TEST_F(SettingsTest, FieldTableCoversTheImageExactlyOnceButTheReservedByte) {
  std::vector<int> owner(kPlacementSize, -1);
  int index = 0;
  std::set<std::size_t> members;
  for (const FieldSpec& f : ImageFields()) {
    SCOPED_TRACE(f.name);
    EXPECT_TRUE(members.insert(f.member).second) << "member bound twice";
    for (std::size_t i = f.offset; i < f.offset + FieldWidth(f.type); ++i) {
      ASSERT_LT(i, kPlacementSize);
      EXPECT_EQ(owner[i], -1) << "byte " << i << " bound twice";
      owner[i] = index;
    }
    ++index;
  }
  EXPECT_EQ(index, 125);
  for (std::size_t i = 3; i < kPlacementSize; ++i) {
    if (i == kReservedOffset) EXPECT_EQ(owner[i], -1);
    else EXPECT_NE(owner[i], -1) << "byte " << i << " has no field";
  }
  // Every byte of the record belongs to some field (no padding to carry by accident).
  std::size_t bytes = 0;
  for (const FieldSpec& f : ImageFields()) bytes += FieldWidth(f.type);
  EXPECT_EQ(bytes, kPlacementSize - 3 - 1);
}

// Model rules D1..D8 at the offsets they touch, byte for byte in the default image.
TEST_F(SettingsTest, DefaultImagesFollowTheModelRules) {
  struct Case {
    int model;
    std::uint8_t interface_94, datamatrix_61, qr_66, databar_81, config_63, trigger_57, currency_start_131,
        illumination_59;
    std::vector<std::uint8_t> suffix_hid_32;  // length byte and data
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {0, 2, 1, 1, 1, 1, 4, 2, 0, {1, 0x28}, "no model: the last branch of every rule"},
      /*1*/ {100, 0, 1, 1, 1, 1, 4, 2, 0, {2, 0x0D, 0x0A}, "UART model"},
      /*2*/ {153, 0, 1, 1, 1, 1, 4, 2, 0, {2, 0x0D, 0x0A}, "last UART model of the 15x range"},
      /*3*/ {154, 2, 1, 1, 1, 1, 4, 1, 0, {1, 0x28}, "double-press currency start"},
      /*4*/ {159, 4, 1, 1, 1, 1, 4, 2, 0, {1, 0x28}, "Bluetooth HID model"},
      /*5*/ {200, 0, 0, 0, 1, 2, 1, 2, 0, {2, 0x0D, 0x0A}, "stationary UART: no 2D, motion detector"},
      /*6*/ {202, 2, 0, 0, 1, 2, 1, 2, 0, {1, 0x28}, "no 2D but HID"},
      /*7*/ {204, 0, 0, 0, 1, 2, 2, 2, 1, {2, 0x0D, 0x0A}, "every rule's special branch at once"},
      /*8*/ {207, 2, 0, 0, 1, 2, 2, 2, 1, {1, 0x28}, "continuous, light on"},
      /*9*/ {208, 2, 1, 1, 0, 1, 2, 2, 0, {1, 0x28}, "no DataBar"},
      /*10*/ {210, 2, 1, 1, 0, 1, 2, 2, 0, {1, 0x28}, "no DataBar"},
      /*11*/ {211, 2, 1, 1, 1, 1, 2, 2, 0, {1, 0x28}, "continuous"},
      /*12*/ {255, 2, 1, 1, 1, 1, 4, 2, 0, {1, 0x28}, "unknown code: last branches"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << c.model << ": " << c.why);
    const Image image = DefaultImage(static_cast<std::uint8_t>(c.model));
    EXPECT_EQ(image[0], 0x01);
    EXPECT_EQ(image[1], 0x0C);
    EXPECT_EQ(image[2], 0x01);
    EXPECT_EQ(image[94], c.interface_94);
    EXPECT_EQ(image[61], c.datamatrix_61);
    EXPECT_EQ(image[66], c.qr_66);
    EXPECT_EQ(image[81], c.databar_81);
    EXPECT_EQ(image[63], c.config_63);
    EXPECT_EQ(image[57], c.trigger_57);
    EXPECT_EQ(image[131], c.currency_start_131);
    EXPECT_EQ(image[59], c.illumination_59);
    std::vector<std::uint8_t> suffix(image.begin() + 32, image.begin() + 32 + c.suffix_hid_32.size());
    EXPECT_EQ(suffix, c.suffix_hid_32);
    for (int i = 32 + static_cast<int>(c.suffix_hid_32.size()); i < 43; ++i) EXPECT_EQ(image[i], 0) << i;
  }
}

TEST_F(SettingsTest, StartUpDefaults) {
  const Settings& s = CurrentSettings();
  EXPECT_EQ(s.barcode_interface, usb_hid);
  EXPECT_EQ(s.trigger_mode, 4);
  EXPECT_EQ(s.config_barcodes_mode, 1);
  EXPECT_EQ(s.barcode_suffix_hid, Seq({0x28}));
  EXPECT_TRUE(s.datamatrix_enabled && s.qrcode_enabled && s.databar14_enabled);
  EXPECT_EQ(s.barcode_prefix_hid, Seq({}));
  EXPECT_EQ(s.up_button_message, Seq({}));
  EXPECT_EQ(s.barcode_suffix_ascii, Seq({0x0D, 0x0A}));
  EXPECT_EQ(s.currency_suffix_ascii, Seq({0x0D, 0x0A}));
  EXPECT_EQ(s.currency_suffix_hid, Seq({0x28}));
  EXPECT_EQ(s.barcode_suffix_pos, Seq({}));
  EXPECT_EQ(s.currency_suffix_pos, Seq({}));
  EXPECT_EQ(s.lens_upper, 180);
  EXPECT_EQ(s.lens_lower, -180);
  EXPECT_EQ(s.pharmacode_min_value, 31u);
  EXPECT_EQ(s.bt_pin, kBtPinDefault);
  EXPECT_EQ(s.inter_barcode_delay, 100);
  EXPECT_EQ(s.opaque_138, 255);
  // Multi-byte fields lie little-endian in the image.
  const Image image = DefaultImage(0);
  EXPECT_EQ(image[14], 180);
  EXPECT_EQ(image[15], 0);
  EXPECT_EQ(image[16], 0x4C);  // -180
  EXPECT_EQ(image[17], 0xFF);
  EXPECT_EQ(image[75], 31);
  EXPECT_EQ(image[265], 100);
  EXPECT_EQ(image[266], 0);
}

// A record with a distinct value in every field, so that a conversion that
// mixes up two fields or drops one shows.
Settings DistinctRecord() {
  Settings s{};
  LoadDefaults(s);
  std::uint8_t counter = 1;
  for (const FieldSpec& f : ImageFields()) {
    auto* p = reinterpret_cast<std::uint8_t*>(&s) + f.member;
    switch (f.type) {
      case FieldType::boolean: {
        bool b = !(*p);
        std::memcpy(p, &b, 1);
        break;
      }
      case FieldType::byte_seq:
        for (std::size_t i = 0; i < sizeof(ByteSeq); ++i) p[i] = static_cast<std::uint8_t>(counter + i);
        p[0] = counter % 11;
        break;
      default:
        for (std::size_t i = 0; i < FieldWidth(f.type); ++i) p[i] = static_cast<std::uint8_t>(counter * 7 + i + 1);
    }
    ++counter;
  }
  return s;
}

TEST_F(SettingsTest, RecordSurvivesTheImageRoundTrip) {
  const Settings original = DistinctRecord();
  Image image{};
  InitPlacement(image.data(), &original);
  EXPECT_EQ(PlacementVersion(image.data()), 1);
  EXPECT_EQ(PlacementSize(image.data()), 268);
  Settings back{};
  SettingsFromPlacement(back, image.data());
  EXPECT_TRUE(back == original);
  // Each field is at its offset: spot checks across widths.
  EXPECT_EQ(image[151] | (image[152] << 8), original.bt_pin);
  std::uint32_t pharma = 0;
  std::memcpy(&pharma, image.data() + 75, 4);
  EXPECT_EQ(pharma, original.pharmacode_min_value);
  EXPECT_EQ(image[220], original.barcode_suffix_ascii.length);
  EXPECT_EQ(0, std::memcmp(image.data() + 221, original.barcode_suffix_ascii.data, 10));
}

// The image is the field table laid out: every member at its offset, the
// header 01 0C 01, for an edited record and for the defaults of each model rule.
TEST_F(SettingsTest, InitPlacementLaysOutTheFieldTable) {
  const Settings edited = DistinctRecord();
  Image image{};
  InitPlacement(image.data(), &edited);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.end()), test::ImageLaidOut(edited));
  for (std::uint8_t model : {0, 150, 204}) {
    SCOPED_TRACE(int(model));
    SetCurrentModel(model);
    Settings defaults{};
    LoadDefaults(defaults);
    const Image fresh = DefaultImage(model);
    EXPECT_EQ(std::vector<std::uint8_t>(fresh.begin(), fresh.end()), test::ImageLaidOut(defaults));
  }
}

// Fields wholly inside the declared size are read, all others take defaults.
TEST_F(SettingsTest, DeclaredSizeDecidesWhichFieldsAreRead) {
  struct Case {
    int size;
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {268, "current layout: everything read"},
      /*1*/ {300, "newer scanner: first 268 bytes used"},
      /*2*/ {176, "older scanner: no ascii/pos slots, no fields from 176 on"},
      /*3*/ {100, "hid_poll_interval (100) and hid_key_delay (101..102) default"},
      /*4*/ {76, "pharmacode_min_value (75..78) straddles the end"},
      /*5*/ {3, "header only"},
      /*6*/ {0, "empty"},
      /*7*/ {-32768, "top bit set: nothing read"},
  };
  const Settings source = DistinctRecord();
  Image full{};
  InitPlacement(full.data(), &source);
  SetCurrentModel(204);  // defaults are taken for the model current at conversion
  Settings defaults{};
  LoadDefaults(defaults);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << ": " << c.why);
    Image image = full;
    SetPlacementSize(image.data(), static_cast<std::int16_t>(c.size));
    Settings s{};
    SettingsFromPlacement(s, image.data());
    for (const FieldSpec& f : ImageFields()) {
      SCOPED_TRACE(f.name);
      const bool inside = static_cast<int>(f.offset + FieldWidth(f.type)) <= c.size;
      const auto* got = reinterpret_cast<const std::uint8_t*>(&s) + f.member;
      const auto* want = reinterpret_cast<const std::uint8_t*>(inside ? &source : &defaults) + f.member;
      EXPECT_EQ(0, std::memcmp(got, want, FieldWidth(f.type)));
    }
  }
}

TEST_F(SettingsTest, VersionAboveOneReadsAsDefaultsOnly) {
  const Settings source = DistinctRecord();
  for (std::uint8_t version : {2, 0x7F}) {
    Image image{};
    InitPlacement(image.data(), &source);
    image[0] = version;
    Settings s = source;
    SettingsFromPlacement(s, image.data());
    Settings defaults{};
    LoadDefaults(defaults);
    EXPECT_TRUE(s == defaults) << int(version);
  }
  // 0xFF is -1, which is "at most 1": read like version 1.
  Image image{};
  InitPlacement(image.data(), &source);
  image[0] = 0xFF;
  Settings s{};
  SettingsFromPlacement(s, image.data());
  EXPECT_TRUE(s == source);
}

TEST_F(SettingsTest, WritingIntoAnOldHeaderLeavesTheCurrentHeader) {
  const Settings source = DistinctRecord();
  Image image{};
  image.fill(0xEE);
  image[0] = 0;
  SetPlacementSize(image.data(), 200);
  SettingsToPlacement(image.data(), &source);
  EXPECT_EQ(image[0], 1);
  EXPECT_EQ(PlacementSize(image.data()), 268);
  EXPECT_EQ(image[kReservedOffset], 0xEE) << "the reserved byte is never written";
  Settings back{};
  SettingsFromPlacement(back, image.data());
  EXPECT_TRUE(back == source) << "all fields written, also those past the old size";

  // A size above 268 is kept: a newer scanner's image keeps its length.
  image[0] = 1;
  SetPlacementSize(image.data(), 300);
  SettingsToPlacement(image.data(), &source);
  EXPECT_EQ(PlacementSize(image.data()), 300);
}

TEST_F(SettingsTest, DamagedBoolBytesReadAsTrue) {
  Image image = DefaultImage(0);
  image[6] = 0xFF;   // code128_enabled
  image[52] = 0x02;  // aztec_enabled
  Settings s{};
  SettingsFromPlacement(s, image.data());
  EXPECT_TRUE(s.code128_enabled);
  EXPECT_TRUE(s.aztec_enabled);
  Image again{};
  InitPlacement(again.data(), &s);
  EXPECT_EQ(again[6], 1);
  EXPECT_EQ(again[52], 1);
}

// A length byte above the ten data bytes is read as ten wherever an image is
// read (file, scanner), so nothing longer ever reaches a record, a file or a
// scanner; the data bytes are kept.
TEST_F(SettingsTest, DamagedSequenceLengthsReadAsTen) {
  struct Case {
    std::size_t offset;  // of the length byte
    std::size_t member;
    std::uint8_t length;
    std::uint8_t expected;
  };
  const Case cases[] = {
      /*0*/ {21, offsetof(Settings, barcode_prefix_hid), 11, 10},   // one past the end
      /*1*/ {32, offsetof(Settings, barcode_suffix_hid), 200, 10},
      /*2*/ {162, offsetof(Settings, up_button_message), 255, 10},
      /*3*/ {253, offsetof(Settings, currency_suffix_pos), 10, 10},  // the longest that is whole
      /*4*/ {176, offsetof(Settings, barcode_prefix_ascii), 0, 0},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE("row " + std::to_string(row));
    Image image = DefaultImage(0);
    image[c.offset] = c.length;
    for (std::size_t i = 1; i <= 10; ++i) image[c.offset + i] = static_cast<std::uint8_t>(0x40 + i);
    Settings s{};
    SettingsFromPlacement(s, image.data());
    ByteSeq seq;
    std::memcpy(&seq, reinterpret_cast<const std::uint8_t*>(&s) + c.member, sizeof seq);
    EXPECT_EQ(seq.length, c.expected);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(seq.data[i], 0x41 + i);
    Image again{};
    InitPlacement(again.data(), &s);
    EXPECT_EQ(again[c.offset], c.expected);
  }
  // A record that holds a damaged length itself (a caller's fault) still gives an image of ten.
  Settings s{};
  LoadDefaults(s);
  s.up_button_message.length = 77;
  Image image{};
  InitPlacement(image.data(), &s);
  EXPECT_EQ(image[162], 10);
}

// The hid_class slots are the only ones an older scanner has.
TEST_F(SettingsTest, ShortLayoutSlotCopyAndItsUndo) {
  struct Case {
    std::uint8_t barcode_interface, currency_interface;
    const char* barcode_from;  // which set ends in the barcode hid slots
    const char* currency_from;
  };
  const Case cases[] = {
      /*0*/ {uart, usb_hid, "ascii", "hid"},
      /*1*/ {bt_pos_hid, bt_spp, "pos", "ascii"},
      /*2*/ {usb_hid, usb_pos_hid, "hid", "pos"},
      /*3*/ {200, 200, "hid", "hid"},  // unknown codes count as hid_class
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.barcode_interface) << "/" << int(c.currency_interface));
    Settings s{};
    LoadDefaults(s);
    s.barcode_interface = c.barcode_interface;
    s.currency_interface = c.currency_interface;
    s.barcode_prefix_hid = Seq({1});
    s.barcode_suffix_hid = Seq({2});
    s.currency_prefix_hid = Seq({3});
    s.currency_suffix_hid = Seq({4});
    s.barcode_prefix_ascii = Seq({0x41, 0x42});
    s.barcode_suffix_ascii = Seq({0x0D});
    s.currency_prefix_ascii = Seq({0x43});
    s.currency_suffix_ascii = Seq({0x0A, 0x0A, 0x0A});
    s.barcode_prefix_pos = Seq({9, 9, 9, 9});
    s.barcode_suffix_pos = Seq({8});
    s.currency_prefix_pos = Seq({7, 7});
    s.currency_suffix_pos = Seq({6, 6, 6});
    // Bytes behind the length travel too.
    s.barcode_prefix_ascii.data[9] = 0x99;
    const Settings before = s;

    auto expect_slots = [&](const char* from, const ByteSeq& prefix, const ByteSeq& suffix, bool barcode) {
      const SequenceClass cls = std::string(from) == "ascii" ? SequenceClass::ascii_class
                                : std::string(from) == "pos" ? SequenceClass::pos_class
                                                             : SequenceClass::hid_class;
      const SequenceSlots& slots = SlotsOf(cls);
      EXPECT_EQ(prefix, before.*(barcode ? slots.barcode_prefix : slots.currency_prefix));
      EXPECT_EQ(suffix, before.*(barcode ? slots.barcode_suffix : slots.currency_suffix));
    };
    {
      ShortLayoutSlotCopy copy(s);
      expect_slots(c.barcode_from, s.barcode_prefix_hid, s.barcode_suffix_hid, true);
      expect_slots(c.currency_from, s.currency_prefix_hid, s.currency_suffix_hid, false);
      // The image of a 176-byte scanner carries them at 21, 32, 109, 120.
      Image image{};
      InitPlacement(image.data(), &s);
      EXPECT_EQ(0, std::memcmp(image.data() + 21, &s.barcode_prefix_hid, 11));
      EXPECT_EQ(0, std::memcmp(image.data() + 120, &s.currency_suffix_hid, 11));
    }
    EXPECT_TRUE(s == before) << "the record's own slots are back";
  }
}

TEST_F(SettingsTest, InterfaceNamesAndClasses) {
  struct Case {
    int code;
    const char* name;
    SequenceClass cls;
  };
  const Case cases[] = {
      {0, "UART (RS232)", SequenceClass::ascii_class},   {1, "USB CDC", SequenceClass::ascii_class},
      {2, "USB HID", SequenceClass::hid_class},          {3, "USB HID Only", SequenceClass::hid_class},
      {4, "BT HID", SequenceClass::hid_class},           {5, "BT POS HID", SequenceClass::pos_class},
      {6, "BT Classic HID", SequenceClass::hid_class},   {7, "BT SPP", SequenceClass::ascii_class},
      {8, "USB POS HID", SequenceClass::pos_class},      {9, "Неизвестный интерфейс", SequenceClass::hid_class},
      {255, "Неизвестный интерфейс", SequenceClass::hid_class},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_STREQ(InterfaceName(static_cast<std::uint8_t>(c.code)), c.name);
    EXPECT_EQ(SequenceClassOf(static_cast<std::uint8_t>(c.code)), c.cls);
  }
}

}  // namespace
}  // namespace tavrik
