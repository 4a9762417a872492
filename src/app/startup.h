#pragma once
// The program's main block: the application's title and its forms, created in
// their fixed order into their global instances.

// Creates every form (the scenario driver calls this too, without the loop).
void CreateProgramForms();
// Creates the main form alone; showing it makes the other forms, in their
// order, once its window is first painted, and runs the start-up load then.
void CreateMainFormFirst();
// The data folder is the current one. One whose name the program cannot hold
// (a folder named in Chinese) is refused with a message, false: the program
// would read and write another folder.
bool DataDirUsable();
// The data folder is this process's alone: a second copy started in it is
// refused with a message, false, since both would write the same state file
// and settings; so is a copy that cannot tell (the folder's lock cannot be
// taken or checked).
bool DataDirToItself();
// Brings the application up, creates the forms (the main window first) and runs the message loop
// until the main window closes; returns the process exit code.
int RunVelorim(int argc, char* argv[]);
