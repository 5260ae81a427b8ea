#pragma once
#include "ScriptedPrompts.h"
#include "editor/AppTitle.h"
#include "editor/LayoutHistory.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "kit/TQveButton.h"
#include "model/LayoutModel.h"

#include <QTemporaryDir>

// Every window of the program, made as start-up makes them, in a program folder and a runtime
// folder of their own. A test writes what the program should find first, then calls create().
struct ProgramWindows {
    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    zeltra::LayoutModel model;
    LayoutHistory history{model};
    AppTitle title;
    ScriptedPrompts prompts;
    Windows w;
    QStringList args; // the program's words, set before create()

    ProgramWindows() { qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit()); }
    ~ProgramWindows() { delete w.main; }
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    void create() { w = createWindows(model, title, prompts, folder, args, &history); }
    TQveButton* key(int index) const { return w.main->KeyButtons[std::size_t(index)]; }
};
