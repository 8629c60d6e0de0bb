#include "app/frame.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include "ui/controls/look.h"
#include "ui/editor/hand_back.h"

namespace yz::app {

namespace {

// The program whose records the end routine releases; the end routine is a
// plain function, called by Qt as the application object goes away.
Program* endingProgram = nullptr;

void releaseAtExit() {
    if (endingProgram != nullptr) releaseAppState(*endingProgram);
    endingProgram = nullptr;
}

void release(ByteBuffer& buffer) {
    if (!buffer.empty()) ByteBuffer().swap(buffer);
}

}  // namespace

void initMainWindow(Program& program) {
    AppState& state = program.state;
    state.tolerance = 35;
    selectIconSize(state, 48);
    program.mainWindow->拖放对象1->registerOnWindow();
    program.mainWindow->拖放对象1->setAcceptFiles(true);
    state.keyColour = {0, 0, 0};
}

void createMainWindow(Program& program) {
    program.mainWindow = std::make_unique<ui::MainWindow>(program.state, program.editor);
    program.mainWindow->onClosing = [] { quitApplication(); };
    editor::attachEditor(*program.mainWindow);
    initMainWindow(program);
}

void quitApplication() { QCoreApplication::exit(0); }

void releaseAppState(Program& program) {
    release(program.state.headerTemplate);
    release(program.state.maskTemplate);
    release(program.state.pixelBuffer);
    release(program.state.iconBytes);
    release(program.editor.colourBytes);
    release(program.state.snapshotBytes);
}

int runProgram(Program& program) {
    createMainWindow(program);
    program.mainWindow->centreOnScreen();
    program.mainWindow->show();
    const int code = QApplication::exec();
    // Windows still open go with the program; none of their handlers runs.
    program.mainWindow->onClosing = nullptr;
    program.mainWindow.reset();
    qDeleteAll(QApplication::topLevelWidgets());
    return code;
}

int startApplication(int argc, char** argv) {
    // Only the program's own name reaches Qt: no argument is read.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    ui::setUpApplication(app);
    app.setWindowIcon(QIcon(QStringLiteral(":/yzicon.ico")));
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    static Program program;
    endingProgram = &program;
    qAddPostRoutine(releaseAtExit);
    return runProgram(program);
}

}  // namespace yz::app
