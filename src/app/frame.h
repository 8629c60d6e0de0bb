#pragma once

// The application frame: start-up, the one AppState and EditorState of the
// run, MainWindow's creation step, and the end of the program.
//
// Calling order over a run: startApplication -> initMainWindow -> (events of
// all windows) -> quitApplication -> releaseAppState -> end of the process.

#include <memory>

#include "app/app_state.h"
#include "ui/main/main_window.h"

namespace yz::app {

// Everything that lives exactly as long as the program.
struct Program {
    AppState state;
    EditorState editor;
    std::unique_ptr<ui::MainWindow> mainWindow;
};

// The program's entry: sets up Qt (its own command-line options are not
// looked at either), registers releaseAppState as the end routine, runs the
// program and returns its exit code once the event loop has ended.
int startApplication(int argc, char** argv);

// With the application already set up: creates MainWindow over program's
// records, runs initMainWindow, shows it centred and runs the event loop
// until quitApplication. Returns the exit code.
int runProgram(Program& program);

// Creates MainWindow (not yet shown) and runs its creation step.
void createMainWindow(Program& program);

// MainWindow's creation step: the start-up values of AppState and the drop
// target registered on the window. The controls already show the matching
// states; this touches none of them.
void initMainWindow(Program& program);

// MainWindow is closing: ends the event loop with exit code 0.
void quitApplication();

// Releases the buffers of both records, in a fixed order.
void releaseAppState(Program& program);

}  // namespace yz::app
