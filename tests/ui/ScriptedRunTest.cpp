#include "UiTestSupport.h"

#include "app/ScriptedRun.h"

#include <QTest>

namespace kolvane::testing {
namespace {

class ScriptedRunTest : public UiFixture {
  protected:
    // The window on the program's Data/ as `kolvane --run-into output` starts it, until it has ended.
    const ScriptedRun& RunInto(const std::string& output, const QStringList& coordinates) {
        auto run = std::make_unique<ScriptedRun>(QString::fromStdString(output));
        ScriptedRun& script = *run;
        std::string app = AppFolder();
        app.pop_back();
        window = std::make_unique<frmKolvane>(QString::fromStdString(app), std::move(run));
        window->Form_Load();
        window->show();
        SetCoordinates(window.get(), coordinates);
        script.Start(*window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 60000)) << output;
        return script;
    }

    std::unique_ptr<frmKolvane> window;
};

TEST_F(ScriptedRunTest, ConvertsEveryMonthListedAndEndsThroughTheExitButtonWhateverHappens) {
    EXPECT_EQ(ScriptedRun::OutputFolderArgument(Strings({"kolvane", "--run-into", "out"})),
              QStringLiteral("out"));
    EXPECT_EQ(ScriptedRun::OutputFolderArgument(Strings({"kolvane", "--run-into"})), QString());
    EXPECT_EQ(ScriptedRun::OutputFolderArgument(Strings({"kolvane", "--quit-after-start"})), QString());

    const std::string data = Folder("app/Data");
    WriteMonthlyFile(data, 2024, 5, "0101");
    WriteMonthlyFile(data, 2025, 1, "0101");
    const QStringList coordinates = Strings({"35", "30", "0", "139", "45", "0"});
    const std::string output = Folder("output");
    const ScriptedRun& done = RunInto(output, coordinates);
    EXPECT_TRUE(done.succeeded()) << done.messages().join(u'\n').toStdString();
    EXPECT_TRUE(Entries(output).contains(QStringLiteral("Y2024_0101.csv")) &&
                Entries(output).contains(QStringLiteral("Y2025_0101.csv")))
        << Entries(output).join(u' ').toStdString();
    // Saved as at a user's exit: the next start asks for the output folder there.
    EXPECT_NE(Bytes(SettingsFile()).find("Save="), std::string::npos);

    // A refused run ends too, as a failure, and writes nothing.
    const std::string refused = Folder("refused");
    EXPECT_FALSE(RunInto(refused, Strings({"", "30", "0", "139", "45", "0"})).succeeded());
    EXPECT_TRUE(Entries(refused).isEmpty());

    // So does one stopped at the question before replacing a yearly file it did not merge from, which
    // says nothing more; the file stays.
    const std::string yearly = Bytes(output + "Y2024_0101.csv");
    EXPECT_FALSE(RunInto(output, coordinates).succeeded());
    EXPECT_EQ(Bytes(output + "Y2024_0101.csv"), yearly);
}

} // namespace
} // namespace kolvane::testing
