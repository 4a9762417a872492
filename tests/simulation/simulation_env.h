#pragma once
// The program's forms, created once for the simulation tests, with a fresh
// data directory and small tables worked out by hand for each test:
// - indicegrid: 07/1994 to 11/2002, factor 2 for 07/1994 and 1 elsewhere;
// - grid98: 07/1994 to 11/1998, factor 1,1 except 1 for 11/1998;
// - gridiinss (oldest first): 1.900,00 from 07/1994, 5.000,00 from 01/2002;
// - GridSalmin: 130,00 from 11/1998, 136,00 from 05/1999, 200,00 from 04/2002
//   and 240,00 from 04/2003;
// - gridsvida (newest first, valid until the row's date): ages 59 to 61;
// - Gridcoeficientes: a row for each kind;
// - Gridcrmensal: 1 every month from 12/1998 except 1,0461 in 06/1999.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "revision/wizard_links.h"
#include "simulation/simulation_core.h"
#include "simulation/simulation_form.h"
#include "support/gui_test.h"

inline TCellMatrix& Table(const std::string& name) {
    TCellMatrix* table = wizard_links::TableCells(name);
    if (!table) {
        ADD_FAILURE() << "no table grid named " << name;
        throw std::invalid_argument(name);
    }
    return *table;
}

inline std::string Month(int year, int month) {
    return FormatDateTime("mm/yyyy", EncodeDate(year, month, 1));
}

class SimulationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!Form6) CreateProgramForms();
    }

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("velorim_sim_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ASSERT_NE(Form6, nullptr) << "the program's forms were not created";
        Form1->DataDir = dir_.string();
        Tables();
        // The series the tests set is the one the form reads.
        SaveTableFile(Table("indicegrid"), DataFile("tabela.tab"));
        Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kTempoContribuicao]);
        Form6->RBMasculino->SetChecked(true);
        Form6->MaskEdit1->SetText("01/07/1994");
        Form6->MaskEdit2->SetText("01/10/2002");
        Form6->MaskEdit3->SetText("01/10/1942");
        Form6->Edit9->SetText("35");
        Form6->Edit8->SetText("0");
        Form6->Edit6->SetText("0");
        Form6->Edit1->SetText("0,31");
        for (TEdit* e : {Form6->Edit10, Form6->Edit11, Form6->Edit12, Form6->Edit13, Form6->Edit14,
                         Form6->Edit15, Form6->Edit16, Form6->Edit17, Form6->Edit18, Form6->Edit3})
            e->SetText("");
        for (TCheckBox* b : {Form6->Ck8213, Form6->Ck9876, Form6->CkB80}) b->SetChecked(true);
        TCellMatrix& sal = Form6->salariogrid->Matrix();
        sal.Clear();
        sal.SetRowCount(2);
        sal.SetCell(0, 0, "Data");
        sal.SetCell(1, 0, "Salário");
        Form6->Resultados = {};
        velorim_test::Dialogs().Clear();
    }

    void TearDown() override { std::filesystem::remove_all(dir_); }

    static void Reset(TCellMatrix& t, const std::vector<std::string>& header) {
        t.Clear();
        t.SetColCount(static_cast<int>(header.size()));
        t.SetRowCount(1);
        for (size_t c = 0; c < header.size(); ++c) t.SetCell(static_cast<int>(c), 0, header[c]);
    }

    static void AddRow(TCellMatrix& t, const std::vector<std::string>& cells) {
        int row = t.RowCount();
        t.SetRowCount(row + 1);
        for (size_t c = 0; c < cells.size(); ++c) t.SetCell(static_cast<int>(c), row, cells[c]);
    }

    static void Tables() {
        TCellMatrix& indice = Table("indicegrid");
        Reset(indice, {"Data", "INPC"});
        for (TDateTime d = EncodeDate(1994, 7, 1); d <= EncodeDate(2002, 11, 1); d = IncMonth(d, 1))
            AddRow(indice, {FormatDateTime("mm/yyyy", d), d == EncodeDate(1994, 7, 1) ? "2,00000" : "1,00000"});
        TCellMatrix& f98 = Table("grid98");
        Reset(f98, {"Data", "INPC"});
        for (TDateTime d = EncodeDate(1994, 7, 1); d <= EncodeDate(1998, 11, 1); d = IncMonth(d, 1))
            AddRow(f98, {FormatDateTime("mm/yyyy", d), d == EncodeDate(1998, 11, 1) ? "1,0000" : "1,10000"});
        TCellMatrix& teto = Table("gridiinss");
        Reset(teto, {"Data", "Maior valor-teto", "Menor valor-teto"});
        AddRow(teto, {"07/1994", "1.900,00"});
        AddRow(teto, {"01/2002", "5.000,00"});
        AddRow(teto, {"12/2003", "5.000,00"}); // the last month a case reaches
        TCellMatrix& sm = Table("GridSalmin");
        Reset(sm, {"Data", "Salário Mínimo"});
        AddRow(sm, {"01/11/1998", "130,00"});
        AddRow(sm, {"01/05/1999", "136,00"});
        AddRow(sm, {"01/04/2002", "200,00"});
        AddRow(sm, {"01/04/2003", "240,00"});
        AddRow(sm, {"01/12/2003", "240,00"});
        TCellMatrix& vida = Table("gridsvida");
        Reset(vida, {"Data", "59", "60", "61"});
        AddRow(vida, {"30/11/2003", "21,5", "20,5", "19,5"});
        AddRow(vida, {"30/11/2002", "22,0", "21,0", "20,0"});
        TCellMatrix& coef = Table("Gridcoeficientes");
        Reset(coef, {"Benefício", "Percentual", "Acréscimos", "Contribuições", "Carência H",
                     "Carência M", "Anos Ben. H", "Anos Ben. M"});
        AddRow(coef, {simulacao::Beneficios[simulacao::kAuxilioDoenca], "0,91", "", "", "12", "12", "", ""});
        AddRow(coef, {simulacao::Beneficios[simulacao::kIdade], "0,70", "1", "", "180", "180", "0", "0"});
        AddRow(coef, {simulacao::Beneficios[simulacao::kTempoContribuicao], "0,70", "6", "5", "180",
                      "180", "35", "30"});
        AddRow(coef, {simulacao::Beneficios[simulacao::kProfessor], "1", "", "", "180", "180", "", ""});
        TCellMatrix& cr = Table("Gridcrmensal");
        Reset(cr, {"Data", "Índice"});
        for (TDateTime d = EncodeDate(1998, 1, 1); d <= EncodeDate(2002, 12, 1); d = IncMonth(d, 1))
            AddRow(cr, {FormatDateTime("mm/yyyy", d), d == EncodeDate(1999, 6, 1) ? "1,0461" : "1"});
    }

    // After criaindice: salary 1000 + 10 i for the i-th month from 07/1994
    // (i = 1 .. 100, to 10/2002), 3.000,00 for i = 50 (08/1998).
    static void HundredSalaries() {
        Form6->criaindice();
        TCellMatrix& sal = Form6->salariogrid->Matrix();
        for (int i = 1; i < sal.RowCount(); ++i)
            sal.SetCell(1, i, i == 50 ? "3.000,00" : FormatFloat("#,##0.00", 1000 + 10 * i));
    }

    static void SetSalary(const std::string& month, const std::string& value) {
        TCellMatrix& sal = Form6->salariogrid->Matrix();
        for (int i = 1; i < sal.RowCount(); ++i)
            if (sal.Cell(0, i) == month) sal.SetCell(1, i, value);
    }

    static std::vector<std::string> Messages() { return velorim_test::Dialogs().Messages(); }

    std::string DataFile(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};
