#include <gtest/gtest.h>

#include <string>

#include "framework/app/PropertiesParser.h"
#include "framework/app/PropertiesSignature.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "tools/properties/PropertiesSigner.h"

using Zant::CheckPropertiesSignature;

namespace {

constexpr uint32_t kNumber = 12345678; // the signing number the fixtures were signed with
const std::string kEmpty = "<Properties/>";
const std::string kEmptySignature = "2D3E3481ED3C4DDA322811D0";

bool Check(const std::string& data, const std::string& signature, uint32_t number = kNumber)
{
    return CheckPropertiesSignature(reinterpret_cast<const uint8_t*>(data.data()), data.size(), signature, number);
}

BigInt Digest(const std::string& data, uint32_t number = kNumber)
{
    return Zant::PropertiesDigest(reinterpret_cast<const uint8_t*>(data.data()), data.size(), number);
}

} // namespace

TEST(PropertiesSignature, VerifyTable)
{
    struct {
        std::string data, signature;
        uint32_t number;
        bool valid;
    } cases[] = {
        {kEmpty, kEmptySignature, kNumber, true},
        {"<Properties\r\n/>\r\n", kEmptySignature, kNumber, true}, // line endings do not count
        {"\t <Properties/>\n\n", kEmptySignature, kNumber, true},  // nor does indentation
        {"<Properties/>", kEmptySignature + "\n", kNumber, true},  // what follows 24 digits is ignored
        {"<Properties/>", "2d3e3481ed3c4dda322811d0", kNumber, true},
        {"<PropertieS/>", kEmptySignature, kNumber, false},        // one letter changed
        {"<Properties/>", kEmptySignature.substr(1) + "\n", kNumber, false}, // 23 digits
        {"<Properties/>", "", kNumber, false},
        {"<Properties/>", kEmptySignature, kNumber + 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(c.data, c.signature, c.number), c.valid) << c.data << " / " << c.signature;
}

TEST(PropertiesSignature, DigestIgnoresExactlyTheSixWhitespaceBytes)
{
    EXPECT_EQ(Digest(kEmpty).ToHex(), "2F74FB078ED5F267CC290018");
    const std::string compact = "<Properties><String id=\"ProdName\">Plindor</String></Properties>";
    const std::string spaced =
        "<Properties>\r\n  <String id=\"ProdName\">Plindor</String>\r\n</Properties>\r\n";
    EXPECT_EQ(Digest(compact).ToHex(), "380FC0068C69FA2AAA0FA1C2");
    EXPECT_EQ(Digest(spaced), Digest(compact));
    // A non-breaking space (0xA0) is data, not whitespace, whatever char's sign.
    EXPECT_NE(Digest(kEmpty + "\xA0"), Digest(kEmpty));
}

TEST(PropertiesSigner, SignsWhatTheProgramAcceptsAndRetriesUnsignableDigests)
{
    // This digest is 2 mod 4: no signature exists under the modulus.
    BigInt signature;
    EXPECT_FALSE(PropertiesSigner::SignDigest(BigInt(std::string("380FC0068C69FA2AAA0FA1C2")), signature));
    EXPECT_FALSE(PropertiesSigner::SignDigest(BigInt(std::string(Zant::PROPERTIES_MODULUS_HEX)), signature));

    const std::string unsignable = "<Properties><String id=\"ProdName\">Plindor</String></Properties>";
    PropertiesSigner::SignedFile signedFile;
    ASSERT_TRUE(PropertiesSigner::SignFile(unsignable, kNumber, signedFile));
    EXPECT_GE(signedFile.mNonce, 1);
    EXPECT_EQ(signedFile.mText.rfind(unsignable, 0), 0u);
    EXPECT_NE(signedFile.mText.find("<!-- nonce "), std::string::npos);
    EXPECT_EQ(signedFile.mSignature.size(), 25u);
    EXPECT_TRUE(Check(signedFile.mText, signedFile.mSignature));

    // The comment is no property: the signed file reads as the source does.
    Zant::ZantApp app;
    Zant::Buffer data;
    data.SetData(signedFile.mText);
    Zant::PropertiesParser parser(&app);
    EXPECT_TRUE(parser.ParsePropertiesBuffer(data)) << parser.GetErrorText();
    EXPECT_EQ(app.LookupStringProperty("ProdName"), "Plindor");
}

TEST(PropertiesSigner, EveryFileGetsASignatureThatChecks)
{
    int retried = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string source = "<Properties><Integer id=\"N\">" + std::to_string(i) + "</Integer></Properties>\n";
        PropertiesSigner::SignedFile signedFile;
        ASSERT_TRUE(PropertiesSigner::SignFile(source, kNumber, signedFile)) << i;
        EXPECT_TRUE(Check(signedFile.mText, signedFile.mSignature)) << i;
        EXPECT_FALSE(Check(signedFile.mText + "x", signedFile.mSignature)) << i;
        retried += signedFile.mNonce > 0;
    }
    // About half of all digests need a changed file; a signer that never retries or
    // always does would be broken.
    EXPECT_GT(retried, 5);
    EXPECT_LT(retried, 35);
}
