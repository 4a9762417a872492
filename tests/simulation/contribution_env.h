#pragma once
// The program's forms, created once, with a fresh data directory for each
// test of the contribution-time form and its dialogs, and an empty period
// list under its header.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text_file.h"
#include "simulation/contribution_core.h"
#include "simulation/contribution_time_form.h"
#include "simulation/date_reentry_form.h"
#include "simulation/grace_periods_form.h"
#include "support/gui_test.h"

using Texts = std::vector<std::string>;

class ContributionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!Form2) CreateProgramForms();
    }

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("velorim_soma_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Form1->DataDir = dir_.string();
        TCellMatrix& grid = Form2->IconGrid3->Matrix();
        grid.Clear();
        grid.SetRowCount(10);
        for (int c = 0; c < 5; ++c)
            grid.SetCell(c, 0, soma::PeriodoHeaders[c]);
        Form2->IconGrid3->MatrixChanged();
        Form2->RadioButton5->SetChecked(true);
        velorim_test::Dialogs().Clear();
    }

    void TearDown() override {
        for (TForm* f :
             {static_cast<TForm*>(Form2), static_cast<TForm*>(Form3), static_cast<TForm*>(Form5)})
            f->Hide();
        std::filesystem::remove_all(dir_);
    }

    // Periods as (employer, start, end, factor) from row 1 on.
    static void Periods(TCellMatrix& grid, const std::vector<Texts>& rows) {
        for (size_t r = 0; r < rows.size(); ++r) {
            const int row = static_cast<int>(r) + 1;
            grid.SetCell(0, row, rows[r][0]);
            grid.SetCell(2, row, rows[r][1]);
            grid.SetCell(3, row, rows[r][2]);
            grid.SetCell(4, row, rows[r][3]);
        }
    }

    static Texts Row(const TCellMatrix& grid, int row, int cols) {
        Texts out;
        for (int c = 0; c < cols; ++c)
            out.push_back(grid.Cell(c, row));
        return out;
    }

    static Texts FileLines(const std::string& path) {
        TTextFileReader in(path);
        Texts lines;
        while (!in.Eof())
            lines.push_back(in.Readln());
        return lines;
    }

    static void WriteLines(const std::string& path, const Texts& lines) {
        TTextFileWriter out(path);
        for (const std::string& line : lines)
            out.Writeln(line);
        out.Close();
    }

    static Texts Messages() { return velorim_test::Dialogs().Messages(); }

    std::string DataFile(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};
