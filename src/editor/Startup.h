#pragma once
#include <QString>
#include <QStringList>

namespace zeltra { class LayoutModel; }
class AppTitle;
class LayoutHistory;
class Prompts;
class Trs422kbdf;
class TGPOF;
class TSelFunctionF;
class TtcenterF;
class Tloopf;
class TDefFormat;
class TComNumberF;
class TDownloadf;
class TSetgainF;
class TSelFormatF;

// Every window of the program, each made once at start-up and kept until the end.
struct Windows {
    Trs422kbdf* main = nullptr;
    TGPOF* gpo = nullptr;
    TSelFunctionF* selFunction = nullptr;
    TtcenterF* tcenter = nullptr;
    Tloopf* loop = nullptr;
    TDefFormat* defFormat = nullptr;
    TComNumberF* comNumber = nullptr;
    TDownloadf* download = nullptr;
    TSetgainF* setgain = nullptr;
    TSelFormatF* selFormat = nullptr;
};

// Makes the windows in their fixed order, tracing each step in the application title. The
// other windows are children of the main window and go with it. Every layout edit goes on
// `history`, which lives as long as the model; without one the windows make their own.
Windows createWindows(zeltra::LayoutModel& model, AppTitle& title, Prompts& prompts,
                      const QString& programDir, const QStringList& args,
                      LayoutHistory* history = nullptr);

// The end of a run whose main window has closed and stored the settings: the port is closed,
// then the program ends with `status` without taking every widget apart one by one. Built
// with the address sanitizer, or while the program holds the clipboard (the system takes it
// over at a normal exit), the windows are deleted and `status` returned instead.
int endRun(const Windows& windows, int status);
