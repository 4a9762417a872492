#pragma once
// The wizard's state file ("atualrev.back" and its ".bev" copies): every
// input of the wizard and its three grids, one value a line. Check boxes are
// written "true"/"false"; a grid is a count line followed by one comma-text
// line per row.
#include <string>
#include <vector>

class TForm12;

namespace wizard_state {

// The lines of the file for the wizard as it stands.
std::vector<std::string> StateLines(TForm12& form);

// Runs the totals pass of the last calculation (with or without interest)
// over planilha, so the differences, corrected values, totals and the sums
// row follow the cells the user edited. A spreadsheet never computed stays
// as it is; a cell that must hold a number and does not raises
// ECellValueError and nothing changes.
void AddUpPlanilha(TForm12& form);

// Writes the lines to fileName (CR LF, Windows-1252) atomically: a failure
// raises EInOutError and keeps the previous file.
void WriteStateFile(TForm12& form, const std::string& fileName);

// Restores the wizard from the file, in the order the writer wrote it, with
// the calculation (BTNcorrigir) rerun after the check boxes; the page index
// ends at 0. The file is read whole and checked first: one that cannot be
// read, ends before its last line or goes on after it, or holds a line its
// control cannot take (an amount or date that does not read, an amount the
// control would clamp, a box that is not "true" or "false", a grid row of
// another width, an unknown correction series) is refused with a message
// naming the line and the field, and EAbort; nothing changes then. The
// calculation runs with the file's own correction series; when it refuses
// the case (its message shown, or a table it needs is missing), or the
// stored spreadsheet is not one row a month of the case's dates (with its
// thirteenth-salary rows) or does not add up by its own rows, the wizard is
// put back as it was and the exception goes on.
void ReadStateFile(TForm12& form, const std::string& fileName);

} // namespace wizard_state
