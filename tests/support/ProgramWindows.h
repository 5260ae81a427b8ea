#pragma once
#include "ScriptedPrompts.h"
#include "history/LayoutHistory.h"
#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "kit/TQveButton.h"
#include "model/LayoutModel.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

// Every window of the program, made as start-up makes them, in a program folder and a runtime
// folder of their own. A test writes what the program should find first, then calls create().
// Unless the test chose a COM1 of its own, COM1 (the stored port of a new settings record) is a
// pseudo-terminal of this fixture: no window test opens a real serial device, and tests running
// side by side never find each other's port in use.
struct ProgramWindows {
    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    zeltra::LayoutModel model;
    LayoutHistory history{model};
    AppTitle title;
    ScriptedPrompts prompts;
    Windows w;
    QStringList args; // the program's words, set before create()

    int portMaster = -1;

    ProgramWindows() {
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        if (qEnvironmentVariableIsSet("ZELTRA_COM1") && !ownPort())
            return;
        portMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (portMaster >= 0 && ::grantpt(portMaster) == 0 && ::unlockpt(portMaster) == 0)
            qputenv("ZELTRA_COM1", ::ptsname(portMaster));
        qputenv("ZELTRA_TEST_OWN_COM1", "1");
    }
    ~ProgramWindows() {
        delete w.main;
        if (portMaster >= 0)
            ::close(portMaster);
    }
    static bool ownPort() { return qEnvironmentVariableIsSet("ZELTRA_TEST_OWN_COM1"); }
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    void create() { w = createWindows(model, title, prompts, folder, args, &history); }
    TQveButton* key(int index) const { return w.main->KeyButtons[std::size_t(index)]; }

    // Byte `at` of the image of `kind` holds `value`, as a file brought it: no step, no mark.
    void put(std::int32_t kind, std::size_t at, std::uint8_t value) {
        model.writeImage(kind, at, std::span<const std::uint8_t>(&value, 1));
    }
    // The user's edit of that byte: one step of the history, marking the layout if it changed.
    void change(std::int32_t kind, std::size_t at, std::uint8_t value) {
        history.edit(QStringLiteral("edit"), kind, [at, value](std::span<std::uint8_t> image) {
            image[at] = value;
        });
    }
    // Two edits that cancel out: the layout is marked, its bytes are those it had.
    void markUnsaved() {
        const std::int32_t kind = model.KbdType();
        const std::uint8_t first = model.data().image(kind)[zeltra::mcn::KeyCodes];
        change(kind, zeltra::mcn::KeyCodes, std::uint8_t(first ^ 1));
        change(kind, zeltra::mcn::KeyCodes, first);
    }
};
