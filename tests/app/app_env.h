#pragma once
// The program started in a fresh data directory: every form created in its
// order, the main window shown (which runs the start-up load).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/desktop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "platform/gui/application.h"
#include "platform/runtime/files.h"
#include "support/gui_test.h"

namespace velorim_test {

class ProgramTest : public ::testing::Test {
protected:
    std::filesystem::path dir;  // the data directory: root or a folder in it
    std::filesystem::path root;
    std::string previousDir;

    void SetUp() override {
        previousDir = GetCurrentDir();
        dir = std::filesystem::temp_directory_path() /
              ("velorim_app_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        root = dir;
        // A test left in the previous folder would write its files there.
        ASSERT_TRUE(SetCurrentDir(dir.string())) << dir;
    }

    void TearDown() override {
        Application->DestroyForms();
        Application->ProcessMessages();
        SetDesktopOpener(nullptr);
        SetCurrentDir(previousDir);
        std::filesystem::remove_all(root);
    }

    // Writes a data file (bytes as given: Windows-1252, CR LF where wanted).
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) { return ReadFileBytes((dir / name).string()); }

    // Copies the shipped index tables into the data directory, so that the
    // start-up finds every table it needs.
    void ShipTables() {
        int copied = 0;
        for (const auto& entry : std::filesystem::directory_iterator(VELORIM_SOURCE_DIR "/data"))
            if (entry.path().extension() == ".tab")
                copied += std::filesystem::copy_file(entry.path(), dir / entry.path().filename(),
                                                     std::filesystem::copy_options::overwrite_existing);
        ASSERT_GT(copied, 0) << "no tables in " VELORIM_SOURCE_DIR "/data";
    }

    // Makes a folder of root (its name in the system's UTF-8) the data directory.
    void EnterFolder(const std::filesystem::path& name) {
        dir = root / name;
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }

    // Creates the forms and shows the main window, as the program starts,
    // by default with the shipped tables in the data directory.
    void Start(bool withTables = true) {
        if (withTables) ShipTables();
        CreateProgramForms();
        Application->Dispatch(Form1, [] { Form1->Show(); });
        Application->ProcessMessages();
    }

    // Runs a handler as an event: a failure shows its message, never escapes.
    template <class F>
    void Event(F&& fn) {
        Application->Dispatch(Form1, std::forward<F>(fn));
        Application->ProcessMessages();
    }
};

}  // namespace velorim_test
