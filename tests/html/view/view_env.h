#pragma once
// A viewer on a form in a scratch folder, with helpers to write the files it
// shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "support/gui_test.h"

namespace velorim_test {

class ViewerTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    TForm* form = nullptr;
    THTMLViewer* v = nullptr;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("velorim_view_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 640, 480);
        v = new THTMLViewer(form);
        v->SetParent(form);
        v->SetBounds(0, 0, 600, 400);
        v->SetDefBackground(clWhite);
    }

    void TearDown() override {
        if (form) form->Free();
        Application->ProcessMessages();
        std::filesystem::remove_all(dir);
    }

    // Paints the view as a paint event does (what lies where is known after it).
    void Paint() {
        TCanvas canvas;
        v->PaintDocument(canvas, v->PaintPanel()->ClientRect());
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
};

}  // namespace velorim_test
