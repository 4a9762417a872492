// The scenario driver's runner on its own test form: start-ups, data
// directories, dialogs answered by default, errors that do not stop a script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gui/application.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/gui/forms.h"
#include "script_runner.h"

namespace fs = std::filesystem;

namespace {

struct Runner : ::testing::Test {
    std::ostringstream out;
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / "velorim_test_runner";
        fs::remove_all(dir);
        fs::create_directories(dir / "dados");
        std::ofstream(dir / "dados" / "font.ini", std::ios::binary) << "Arial\r\n8\r\nCora\xE7\xE3o\r\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Run(const std::string& script) {
        {
            TScriptRunner runner(out, dir.string(), dir.string());
            runner.RunText(script);
        }
        return out.str();
    }
};

TEST_F(Runner, StartCopiesTheDataDirectoryAndFilesPrintAsUtf8) {
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(Run("startwith selftest dados\nfile font.ini\nfile nada.ini\n"),
              "Arial\n8\nCora\xC3\xA7\xC3\xA3o\nERROR: no file nada.ini\n");  // UTF-8 out
    EXPECT_EQ(fs::current_path().string(), cwd) << "the working copy is gone and the directory restored";
    EXPECT_EQ(Screen->FindForm("FormTeste"), nullptr) << "the forms are freed with the runner";
}

TEST_F(Runner, AStartWithoutAProgramOrADirectoryIsAnError) {
    const bool program = HasScriptStartup("");
    const std::string text = Run("start\nstartwith selftest semdados\nstartwith outro\n");
    if (!program) {
        EXPECT_NE(text.find("ERROR: no start-up registered\n"), std::string::npos);
    }
    EXPECT_NE(text.find("ERROR: no data directory semdados\n"), std::string::npos);
    EXPECT_NE(text.find("ERROR: no start-up outro\n"), std::string::npos);
}

TEST_F(Runner, UnansweredDialogsTakeTheirDefaultAndAreRecorded) {
    std::ostringstream local;
    TScriptRunner runner(local, dir.string(), dir.string());
    runner.RunText(
        "startwith selftest dados\n"
        "click FormTeste.Salvar\n"
        "click FormTeste.Saudar\n"
        "answer OK\n"
        "messages\n"
        "messages\n");
    EXPECT_EQ(local.str(), "MSG: Digite o nome\n");
    const auto& records = runner.Dialogs().Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Kind, TDialogKind::SaveFile);
    EXPECT_EQ(records[0].Answer, "Cancel");
    EXPECT_EQ(records[1].Answer, "OK");
    EXPECT_EQ(runner.Dialogs().PendingAnswers(), 1);
}

TEST_F(Runner, ShotsKeysAndStateQueries) {
    const fs::path png = dir / "tela.png";
    const std::string text = Run(
        "startwith selftest dados\n"
        "shot " + png.string() + "\n"
        "print FormTeste.Saudar Enabled\n"
        "print FormTeste.Nome Checked\n"
        "key FormTeste.Nome a b Shift+Tab Tab Tab\n"
        "print FormTeste.Nome\n"
        "print FormTeste.Saudar Focused\n"
        "key FormTeste.Nome Banana\n"
        "print FormTeste.Nome\n"
        "key FormTeste.Nome Ctrl+L\n"
        "print FormTeste.Nome\n");
    EXPECT_EQ(text,
              "FormTeste.Saudar.Enabled=on\n"
              "ERROR: FormTeste.Nome has no Checked\n"
              "FormTeste.Nome=ab\n"
              "FormTeste.Saudar.Focused=on\n"
              "FormTeste.Nome=Banana\n"
              "FormTeste.Nome=\n");
    EXPECT_TRUE(fs::exists(png));
    EXPECT_GT(fs::file_size(png), 100u);
}

}  // namespace
