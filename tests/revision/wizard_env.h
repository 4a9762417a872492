#pragma once
// The program's forms, created once for the wizard tests, with a fresh data
// directory and neutral tables (every factor 1, minimum wage 1,00, ceiling
// 100000,00) from 01/1977 to 12/2002 for each test.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "grids/align_grid.h"
#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_wizard.h"
#include "revision/wizard_links.h"
#include "support/gui_test.h"
#include "tables/table_names.h"
#include "tables/table_status.h"
#include "tables/tables_form.h"

// A grid named wrong fails the test that asked for it.
inline TCellMatrix& Table(const std::string& name) {
    TCellMatrix* cells = wizard_links::TableCells(name);
    if (!cells) throw std::runtime_error("no table grid named " + name);
    return *cells;
}

inline TCellMatrix& Cells(TStringAlignGrid* grid) {
    return grid->Matrix();
}

class WizardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!Form12) CreateProgramForms();
    }

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("velorim_wizard_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ASSERT_TRUE(std::filesystem::is_directory(dir_)) << dir_;
        ASSERT_TRUE(Form1 && Form8 && Form12) << "the program's forms were not created";
        Form1->DataDir = dir_.string();
        Form8->DataDir = dir_.string();
        NeutralTables();
        SaveReloadedTables();
        // What the last test typed is nobody's case: "Novo" asks nothing.
        Form12->KeepInput();
        Form1->BtnRevisaoNovoClick(nullptr);
        Form12->Hide();
        // What "Novo" keeps from the last case goes back to the form's defaults.
        Form12->caplicar->SetChecked(true);
        for (TCheckBox* on : {Form12->Cadct1, Form12->Dteto, Form12->Dtetoinss, Form12->coefprop})
            on->SetChecked(true);
        for (TCheckBox* off : {Form12->Cjuros, Form12->Cadct2, Form12->Cadct1inss,
                               Form12->Cadct2inss, Form12->Csteto, Form12->Cstetoinss, Form12->Curv,
                               Form12->Curvinss, Form12->Cirsm, Form12->meuindice})
            off->SetChecked(false);
        Form12->umtrinta->SetText("");
        Form12->ComboBox1->SetText(calc::SeriesNames[0]);
        for (TStringAlignGrid* g : {Form12->Sdig, Form12->Sdem})
            Cells(g).SetRowCount(2);
        velorim_test::Dialogs().Clear();
    }

    void TearDown() override { std::filesystem::remove_all(dir_); }

    static void NeutralTables() {
        auto reset = [](const char* name, int cols) {
            TCellMatrix& t = Table(name);
            t.SetRowCount(1);
            t.SetColCount(cols);
            return &t;
        };
        TCellMatrix* corr = reset("GridCorrRev", 4);
        TCellMatrix* crmensal = reset("Gridcrmensal", 2);
        TCellMatrix* salmin = reset("GridSalmin", 2);
        TCellMatrix* teto = reset("gridiinss", 3);
        TCellMatrix* inpc = reset("INPCGrid", 4);
        reset("tabatusal", 2);
        for (const char* s : {"SRevisaoI", "SRevisaoII", "SRevisaoIII"})
            reset(s, 4);
        for (int y = 1977; y <= 2002; ++y)
            for (int m = 1; m <= 12; ++m) {
                std::string month = FormatDateTime("mm/yyyy", EncodeDate(y, m, 1));
                AddRow(*corr, {month, "1", "1,00", "Real"});
                AddRow(*crmensal, {month, "1"});
                AddRow(*salmin, {"01/" + month, "1,00"});
                AddRow(*teto, {month, "100000,00", "100000,00"});
                AddRow(*inpc, {month, "1"});
                // Monthly percentages, then index numbers.
                AddRow(Table("SRevisaoI"), {month, "0"});
                AddRow(Table("SRevisaoII"), {month, "0"});
                AddRow(Table("SRevisaoIII"), {month, "1"});
            }
    }

    // The tables a calculation reads again from the data directory.
    void SaveReloadedTables() const {
        tabelas::ClearTableProblems();
        SaveTableFile(Table("GridCorrRev"), DataFile(tabelas::CrMensalRev3File));
        SaveTableFile(Table("INPCGrid"), DataFile(tabelas::SeriesIIIFile));
        SaveTableFile(Table("SRevisaoI"), DataFile(tabelas::SeriesIFile));
        SaveTableFile(Table("SRevisaoII"), DataFile(tabelas::SeriesIIFile));
        for (const char* file : {tabelas::CrMensalRev3File, tabelas::SeriesIIIFile,
                                 tabelas::SeriesIFile, tabelas::SeriesIIFile})
            EXPECT_TRUE(std::filesystem::is_regular_file(DataFile(file)))
                << "not written: " << file;
    }

    static void AddRow(TCellMatrix& grid, const std::vector<std::string>& cells) {
        int row = grid.RowCount();
        grid.SetRowCount(row + 1);
        for (size_t c = 0; c < cells.size(); ++c)
            grid.SetCell(static_cast<int>(c), row, cells[c]);
    }

    static std::vector<std::string> Messages() { return velorim_test::Dialogs().Messages(); }

    std::string DataFile(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};
