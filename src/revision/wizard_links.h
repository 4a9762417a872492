#pragma once
// What the wizard and its dialogs take from the main window (TForm1) and the
// tables form (TForm8): the data directory, the report font, the report
// viewer, the index tables and their regeneration. Kept in one place so the
// forms' code reads the same whichever way the other forms hold them.
#include <functional>
#include <string>
#include <vector>

#include "revision/arrears_engine.h"

namespace wizard_links {

// What the main window lends the wizard: it sits above the wizard and hands
// these over when it is created (until then: the current directory, no font,
// no viewer).
struct TMainWindowLinks {
    std::function<std::string()> DataDir;
    std::function<std::string()> ReportFontSize;
    std::function<std::string()> ReportFontName;
    std::function<void(const std::string&)> ShowReport;
    // The report's text shown as the file fileName, painted at once.
    std::function<void(const std::string& source, const std::string& fileName)> ShowReportText;
};
void SetMainWindowLinks(TMainWindowLinks links);

// Form1->DataDir: the data directory, without a trailing separator.
std::string DataDir();
// DataDir joined with a file name.
std::string DataFile(const std::string& name);
// Form1->Cfont and Form1->Cnomefont: the report font size and face.
std::string ReportFontSize();
std::string ReportFontName();
// Form1->HTMLViewer1->LoadFromFile.
void ShowReport(const std::string& fileName);
// Form1->HTMLViewer1 shows the report's text as the file fileName (which
// need not exist yet), on screen before this returns.
void ShowReportText(const std::string& source, const std::string& fileName);

// The cells of the tables form's grid of that name ("GridCorrRev",
// "indicegrid"...); nullptr when there is no such grid.
TCellMatrix* TableCells(const std::string& gridName);
// The cells of the tables form's grids that the calculations read, with the
// revision form's ceiling-table choice.
calc::TTableGrids Tables();
// Brings the tables a calculation reads up to date and checks them and the
// months it looks up (tables/table_watch.h): the correction table and the
// series are made again from their files, the others read again when their
// files changed since. Raises one tabelas::ETableError for all that stands
// in the way, the lines `more` adds to it included.
void PrepareTables(const std::vector<calc::TTableNeed>& needs,
                   const tabelas::TMoreRefusals& more = {});
// Reloads Form8->GridCorrRev from the data directory's table `name`, read
// and checked whole: a missing or damaged table raises tabelas::ETableError.
void ReloadCorrRev(const std::string& name);
// The truncating reloaders of the tables form, each with a date text.
void geraindicex(const std::string& D);
void geraindiceINSSI(const std::string& D);
void geraindiceINSSII(const std::string& D);
void geraindiceINSSIII(const std::string& D);

// Form10->planilha, the revision form's copy of the paid values (nullptr
// while that form has no grid), and the refresh after writing it.
TCellMatrix* RecalcGrid();
void RecalcGridChanged();

} // namespace wizard_links
