// The publisher's signature: the .sig file's DER, the build option's keys,
// and the system's verification of a signature made by the signing tool.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/publisher_check.h"
#include "app/publisher_signature.h"
#include "tests/installer/installer_runtime.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// A DER signature of two integers, their content bytes in hexadecimal.
Bytes Der(const std::string& r, const std::string& s) {
  Bytes der = {0x30, static_cast<uint8_t>(4 + (r.size() + s.size()) / 2)};
  for (const std::string* number : {&r, &s}) {
    Bytes content = FromHex(*number);
    der.push_back(0x02);
    der.push_back(static_cast<uint8_t>(content.size()));
    der.insert(der.end(), content.begin(), content.end());
  }
  return der;
}

std::optional<RawSignature> Parse(const Bytes& b) { return parse_signature_file(b.data(), b.size()); }

TEST(PublisherSignature, TheFileIsOneDerSignatureOfTwoPositiveNumbers) {
  const std::string high(64, 'a'), low(64, '1');
  // A number with its top bit set carries a sign byte; shorter ones are right-aligned.
  std::optional<RawSignature> parsed = Parse(Der("00" + high, "7f02"));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(Bytes(parsed->begin(), parsed->end()), FromHex(high + std::string(60, '0') + "7f02"));

  Bytes good = Der("00" + high, low);
  Bytes trailing = good, cut(good.begin(), good.end() - 1), long_form = good, not_a_sequence = good;
  trailing.push_back(0);
  long_form.insert(long_form.begin() + 1, 0x81);
  not_a_sequence[0] = 0x31;
  const std::pair<const char*, Bytes> refused[] = {
      {"empty", {}},
      {"a byte after it", trailing},
      {"cut short", cut},
      {"a long-form length", long_form},
      {"not a sequence", not_a_sequence},
      {"negative", Der(high, low)},
      {"zero", Der("00", low)},
      {"a needless leading zero", Der("0001", low)},
      {"longer than 32 bytes", Der(std::string(66, '1'), low)},
      {"one number", FromHex("3003020101")},
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
  std::optional<RawSignature> signature =
      Parse(Der("324d46a8fe49a6525963bf22cef4d29389c34cf5fa26c5172e45237a12190156",
                "00a9cf9d7f21c46cfd2bb180af1ced3c4798e392ca3c172a1e93e12c0d35a22184"));
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
  EXPECT_EQ(Bytes((*keys)[0].begin(), (*keys)[0].end()), FromHex(first.substr(2)));
  EXPECT_EQ(Bytes((*keys)[1].begin(), (*keys)[1].end()), FromHex(second.substr(2))) << "either case";
  ASSERT_TRUE(parse_publisher_keys(""));
  EXPECT_TRUE(parse_publisher_keys("")->empty()) << "no keys: no check";

  const std::string refused[] = {
      "02" + first.substr(2),  // a compressed point's prefix
      first.substr(0, 128),    // cut short
      first + "00",            // too long
      "04" + std::string(127, 'a') + "g",
      first + ";x",  // one bad key spoils the list
  };
  for (const std::string& text : refused) EXPECT_FALSE(parse_publisher_keys(text)) << text;
}

}  // namespace
