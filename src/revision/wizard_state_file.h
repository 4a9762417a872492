#pragma once
// The wizard's state file ("atualrev.back" and its ".bev" copies): every
// input of the wizard and its three grids, one value a line. Check boxes are
// written "true"/"false" and read as checked unless the line is exactly
// "false"; a grid is a count line followed by one comma-text line per row.
#include <string>
#include <vector>

class TForm12;

namespace wizard_state {

// The lines of the file for the wizard as it stands.
std::vector<std::string> StateLines(TForm12& form);

// Writes the lines to fileName (CR LF, Windows-1252) atomically: a failure
// raises EInOutError and keeps the previous file.
void WriteStateFile(TForm12& form, const std::string& fileName);

// Restores the wizard from the file, in the order the writer wrote it, with
// the calculation (BTNcorrigir) rerun after the check boxes; the page index
// ends at 0. A calculation that stops (its message shown), a count line
// that asks for more rows than the file has left, or a value a control
// refuses ends the reading with a message and EAbort. A file that cannot be
// read raises EInOutError.
void ReadStateFile(TForm12& form, const std::string& fileName);

} // namespace wizard_state
