// The licence notice that travels with the program folder: it carries the
// copyright and licence of every Debian package whose data the build takes.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

TEST(ThirdPartyNotice, NamesEverySourceWithItsLicence)
{
    const std::string notice = TestSupport::ReadFile(TestSupport::GameDir() + "/THIRD-PARTY-NOTICES.txt");
    ASSERT_FALSE(notice.empty());
    // The sound font's authors and its MIT permission notice, whole.
    EXPECT_NE(notice.find("fluid-soundfont-gm"), std::string::npos);
    EXPECT_NE(notice.find("Frank Wen"), std::string::npos);
    EXPECT_NE(notice.find("The above copyright notice and this permission notice shall be"), std::string::npos);
    for (const char* package : {"fonts-dejavu-core", "fonts-roboto-slab", "fonts-adf-gillius", "fonts-courier-prime",
                                "fonts-paratype", "wamerican"}) {
        SCOPED_TRACE(package);
        const size_t at = notice.find(std::string("\n") + package + " (");
        ASSERT_NE(at, std::string::npos) << "no section of its own";
        EXPECT_GT(notice.find("Copyright", at), at);
    }
}
