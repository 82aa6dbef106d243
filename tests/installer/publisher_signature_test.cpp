// The publisher signature's bytes: the .sig file's DER, the signed message
// and the build option's keys.
#include "app/publisher_signature.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A DER signature of two integers written as given (content bytes).
Bytes Der(const Bytes& r, const Bytes& s) {
  Bytes der = {0x30, static_cast<uint8_t>(4 + r.size() + s.size()), 0x02, static_cast<uint8_t>(r.size())};
  der.insert(der.end(), r.begin(), r.end());
  der.push_back(0x02);
  der.push_back(static_cast<uint8_t>(s.size()));
  der.insert(der.end(), s.begin(), s.end());
  return der;
}

std::optional<RawSignature> Parse(const Bytes& b) { return parse_signature_file(b.data(), b.size()); }

TEST(PublisherSignature, TheFileIsOneDerSignatureOfTwoPositiveNumbers) {
  Bytes high(32, 0xAB), low(32, 0x11);
  Bytes signed_high = high;
  signed_high.insert(signed_high.begin(), 0x00);  // a number with its top bit set carries a sign byte

  std::optional<RawSignature> full = Parse(Der(signed_high, low));
  ASSERT_TRUE(full);
  EXPECT_EQ(Bytes(full->begin(), full->begin() + 32), high);
  EXPECT_EQ(Bytes(full->begin() + 32, full->end()), low);
  std::optional<RawSignature> short_numbers = Parse(Der({0x01}, {0x7F, 0x02}));
  ASSERT_TRUE(short_numbers) << "shorter numbers are right-aligned";
  EXPECT_EQ((*short_numbers)[31], 0x01);
  EXPECT_EQ((*short_numbers)[62], 0x7F);
  EXPECT_EQ((*short_numbers)[63], 0x02);
  EXPECT_EQ((*short_numbers)[0], 0x00);

  Bytes good = Der(signed_high, low);
  Bytes trailing = good;
  trailing.push_back(0);
  Bytes cut(good.begin(), good.end() - 1);
  Bytes long_form = good;
  long_form.insert(long_form.begin() + 1, 0x81);
  long_form[0] = 0x30;
  Bytes not_a_sequence = good;
  not_a_sequence[0] = 0x31;
  const std::pair<const char*, Bytes> refused[] = {
      {"empty", {}},
      {"a byte after it", trailing},
      {"cut short", cut},
      {"a long-form length", long_form},
      {"not a sequence", not_a_sequence},
      {"negative", Der(high, low)},
      {"zero", Der({0x00}, low)},
      {"a needless leading zero", Der({0x00, 0x01}, low)},
      {"longer than 32 bytes", Der(Bytes(33, 0x01), low)},
      {"one number", {0x30, 0x03, 0x02, 0x01, 0x01}},
      {"longer than the limit", Bytes(kMaxSignatureFileBytes + 1, 0x30)},
  };
  for (const auto& [what, bytes] : refused) EXPECT_FALSE(Parse(bytes)) << what;
}

TEST(PublisherSignature, TheMessageIsTheArchivesHashFollowedByItsName) {
  uint8_t hash[32];
  for (int i = 0; i < 32; ++i) hash[i] = static_cast<uint8_t>(i);
  Bytes message = signed_message(hash, "qelmo_app.zip");
  ASSERT_EQ(message.size(), 32u + 13u);
  EXPECT_EQ(Bytes(message.begin(), message.begin() + 32), Bytes(hash, hash + 32));
  EXPECT_EQ(std::string(message.begin() + 32, message.end()), "qelmo_app.zip");
}

TEST(PublisherSignature, KeysAreUncompressedPointsInHexadecimal) {
  std::string first = "04" + std::string(64, 'a') + std::string(64, '0');
  std::string second = "04" + std::string(62, 'F') + "0e" + std::string(64, '9');
  std::optional<std::vector<PublisherKey>> keys = parse_publisher_keys(" " + first + " ;" + second + ",");
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 2u);
  EXPECT_EQ((*keys)[0][0], 0xAA);
  EXPECT_EQ((*keys)[0][63], 0x00);
  EXPECT_EQ((*keys)[1][31], 0x0E);
  EXPECT_EQ((*keys)[1][32], 0x99);
  ASSERT_TRUE(parse_publisher_keys(""));
  EXPECT_TRUE(parse_publisher_keys("")->empty()) << "no keys: no check";

  const std::string refused[] = {
      "02" + first.substr(2),      // a compressed point's prefix
      first.substr(0, 128),        // cut short
      first + "00",                // too long
      "04" + std::string(127, 'a') + "g",
      first + ";x",                // one bad key spoils the list
  };
  for (const std::string& text : refused) EXPECT_FALSE(parse_publisher_keys(text)) << text;
}

}  // namespace
