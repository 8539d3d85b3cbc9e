// The properties file as start-up reads it: through the application's file
// functions, checked against its signature file, problems shown in the fatal box.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/app/PropertiesSignature.h"
#include "framework/app/ZantApp.h"
#include "platform/MessageBox.h"
#include "tests/support/TestSupport.h"
#include "tools/properties/PropertiesSigner.h"

using Zant::ZantApp;

namespace {

class LoadProperties : public ::testing::Test {
protected:
    void SetUp() override { Platform::SetMessageBoxes(&boxes); }
    void TearDown() override { Platform::SetMessageBoxes(nullptr); }

    // Writes a signed properties file (and its signature) into the temporary folder.
    std::string WriteSigned(const std::string& source)
    {
        PropertiesSigner::SignedFile signedFile;
        EXPECT_TRUE(PropertiesSigner::SignFile(source, Zant::PROPERTIES_SIGNING_NUMBER, signedFile));
        TestSupport::WriteFile(path, signedFile.mText);
        TestSupport::WriteFile(path + ".sig", signedFile.mSignature);
        return signedFile.mText;
    }
    std::string BoxText() const { return boxes.shown.empty() ? std::string() : boxes.shown.back().text; }

    TestSupport::TempDir dir;
    std::string path = dir.File("partner.xml");
    Platform::FakeMessageBoxService boxes;
    ZantApp app;
};

const char kSource[] = "<Properties>\n"
                       "  <String id=\"ProdName\">Tester</String>\n"
                       "  <Boolean id=\"DontUpdate\">TRUE</Boolean>\n"
                       "</Properties>\n";

} // namespace

TEST_F(LoadProperties, NoFileIsNoErrorUnlessRequired)
{
    EXPECT_TRUE(app.LoadPropertiesFile(path));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(app.LookupStringProperty("ProdName", "Plindor"), "Plindor");
    EXPECT_EQ(app.LookupIntProperty("NumOptionsLinks", 1), 1);

    EXPECT_FALSE(app.LoadPropertiesFile(path, true, true));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "FATAL ERROR");
    EXPECT_EQ(BoxText(), "Unable to open properties file: " + path);
}

TEST_F(LoadProperties, ASignedFileIsRead)
{
    WriteSigned(kSource);
    EXPECT_TRUE(app.LoadPropertiesFile(path));
    EXPECT_TRUE(boxes.shown.empty()) << BoxText();
    EXPECT_EQ(app.LookupStringProperty("ProdName"), "Tester");
    EXPECT_TRUE(app.LookupBoolProperty("DontUpdate", false));
}

TEST_F(LoadProperties, AChangedOrUnsignedFileStoresNothing)
{
    struct {
        const char* name;
        void (*spoil)(const std::string& path, const std::string& text);
    } cases[] = {
        {"one byte changed",
         [](const std::string& p, const std::string& text) {
             std::string changed = text;
             changed[changed.find("Tester")] = 'R';
             TestSupport::WriteFile(p, changed);
         }},
        {"signature file missing", [](const std::string& p, const std::string&) { std::remove((p + ".sig").c_str()); }},
        {"signature of another file",
         [](const std::string& p, const std::string&) { TestSupport::WriteFile(p + ".sig", "2D3E3481ED3C4DDA322811D0\n"); }},
    };
    for (const auto& c : cases) {
        ZantApp fresh;
        boxes.shown.clear();
        c.spoil(path, WriteSigned(kSource));
        EXPECT_FALSE(fresh.LoadPropertiesFile(path)) << c.name;
        ASSERT_EQ(boxes.shown.size(), 1u) << c.name;
        EXPECT_EQ(BoxText(), "Signature check failed on '" + path + "'") << c.name;
        EXPECT_FALSE(fresh.HasProperty("ProdName")) << c.name;
        EXPECT_FALSE(fresh.HasProperty("DontUpdate")) << c.name;
    }
}

TEST_F(LoadProperties, AFormatErrorIsShownAndEarlierPropertiesStay)
{
    WriteSigned("<Properties>\n<String id=\"ProdName\">Tester</String>\n<Boolean id=\"b\">Y</Boolean>\n</Properties>\n");
    EXPECT_FALSE(app.LoadPropertiesFile(path));
    EXPECT_EQ(BoxText(), "Invalid Boolean Value: 'Y' on Line 3");
    EXPECT_EQ(app.LookupStringProperty("ProdName"), "Tester");
}

TEST(ShippedProperties, TheProgramsOwnFilePassesItsCheck)
{
    Platform::FakeMessageBoxService boxes;
    Platform::SetMessageBoxes(&boxes);
    const std::string path = TestSupport::GameDir() + "/properties/partner.xml";
    ZantApp app;
    EXPECT_TRUE(app.LoadPropertiesFile(path, true, true));
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : boxes.shown[0].text);
    EXPECT_EQ(app.LookupStringProperty("ProdName"), "Plindor");
    EXPECT_TRUE(app.LookupBoolProperty("DontUpdate", false));
    EXPECT_EQ(app.LookupIntProperty("NumOptionsLinks", 1), 0);
    EXPECT_FALSE(app.HasProperty("Title")); // the game keeps its own window title
    EXPECT_FALSE(app.HasProperty("RegistryKey"));

    // A copy with one byte changed fails the check.
    TestSupport::TempDir dir;
    std::string text = TestSupport::ReadFile(path);
    text[text.find("Plindor")] = 'Q';
    TestSupport::WriteFile(dir.File("partner.xml"), text);
    TestSupport::WriteFile(dir.File("partner.xml.sig"), TestSupport::ReadFile(path + ".sig"));
    ZantApp other;
    EXPECT_FALSE(other.VerifyFileSignature(dir.File("partner.xml")));
    Platform::SetMessageBoxes(nullptr);
}
