// The publisher's signature: the .sig file's DER, the build option's keys,
// and the system's verification of a signature made by the signing tool.
#include <gtest/gtest.h>

#include "app/publisher_check.h"
#include "app/publisher_signature.h"
#include "tests/installer/installer_runtime.h"

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

// A signature tools/publisher_sign.py made, of the archive whose SHA-256 is
// the bytes 0 to 31 saved as "qelmo_app.zip", and the system's verdicts on
// it: the tool and the program agree on the message, the key and the file.
TEST(PublisherSignature, TheSystemVerifiesOnlyThatArchiveUnderThatNameByThoseKeys) {
  StartInstallerRuntime();
  const std::string signer = "04bc3feeae216be0f420a17a3dda1c578675d7ca98a326ffe29de279e90f93f48deb6be07e2bdb9180"
                             "292cee91c1878d30c948c18c892366ce6cde84f191496149";
  const std::string stranger = "04eed99ac95ff49a776157c47606e6d8b1ba3e5a448a776cd366917bb0dee22653b5977e95a9e95a0"
                               "6495123854e5c6f31b5624821d3bd5cf988f5de4d15dae36d";
  const Bytes der = {0x30, 0x45, 0x02, 0x20, 0x32, 0x4d, 0x46, 0xa8, 0xfe, 0x49, 0xa6, 0x52, 0x59, 0x63, 0xbf, 0x22,
                     0xce, 0xf4, 0xd2, 0x93, 0x89, 0xc3, 0x4c, 0xf5, 0xfa, 0x26, 0xc5, 0x17, 0x2e, 0x45, 0x23, 0x7a,
                     0x12, 0x19, 0x01, 0x56, 0x02, 0x21, 0x00, 0xa9, 0xcf, 0x9d, 0x7f, 0x21, 0xc4, 0x6c, 0xfd, 0x2b,
                     0xb1, 0x80, 0xaf, 0x1c, 0xed, 0x3c, 0x47, 0x98, 0xe3, 0x92, 0xca, 0x3c, 0x17, 0x2a, 0x1e, 0x93,
                     0xe1, 0x2c, 0x0d, 0x35, 0xa2, 0x21, 0x84};
  std::optional<RawSignature> signature = Parse(der);
  ASSERT_TRUE(signature);
  std::vector<PublisherKey> signer_key = *parse_publisher_keys(signer);
  std::vector<PublisherKey> stranger_key = *parse_publisher_keys(stranger);
  std::vector<PublisherKey> key_roll = *parse_publisher_keys(stranger + ";" + signer);
  uint8_t hash[32];
  for (int i = 0; i < 32; ++i) hash[i] = static_cast<uint8_t>(i);

  EXPECT_TRUE(publisher_signed(signer_key, hash, "qelmo_app.zip", *signature));
  EXPECT_TRUE(publisher_signed(key_roll, hash, "qelmo_app.zip", *signature)) << "the second of two keys";
  EXPECT_FALSE(publisher_signed(stranger_key, hash, "qelmo_app.zip", *signature)) << "another key";
  EXPECT_FALSE(publisher_signed(signer_key, hash, "qelmo.rar", *signature)) << "another archive's name";
  EXPECT_FALSE(publisher_signed({}, hash, "qelmo_app.zip", *signature)) << "no key";
  hash[31] ^= 1;
  EXPECT_FALSE(publisher_signed(signer_key, hash, "qelmo_app.zip", *signature)) << "another archive";
  hash[31] ^= 1;
  RawSignature changed = *signature;
  changed[63] ^= 1;
  EXPECT_FALSE(publisher_signed(signer_key, hash, "qelmo_app.zip", changed)) << "a changed signature";
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
