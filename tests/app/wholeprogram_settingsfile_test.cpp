// The whole program with a settings file in the working folder that is no regular file:
// the start goes on with the default constants and a message names the file.
#include "wholeprogram.h"

namespace kr5::test {
namespace {

TEST_F(WholeProgram, ASettingsFileThatIsNoFileIsNamedAtStartAndTheDefaultsAreUsed) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    at(4000, "exit", [&] { menu("cend")->trigger(); });
    runProgram();
    const auto named =
        std::find_if(dialogs.shown.begin(), dialogs.shown.end(), [](const auto& box) {
            return box.text.contains(QStringLiteral("kr5au1.ini is not a regular file"));
        });
    ASSERT_NE(named, dialogs.shown.end());
    EXPECT_EQ(named->buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("kousei"), QStringLiteral("Text5"))->text(),
              QStringLiteral(" 100"));
    EXPECT_GT(frames().size(), 20) << "the loop ran";
}

}  // namespace
}  // namespace kr5::test
