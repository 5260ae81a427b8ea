#pragma once
#include <QString>
#include <QStringList>

namespace zeltra { struct LayoutModel; }
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
// `history`, which lives as long as the model.
Windows createWindows(zeltra::LayoutModel& model, AppTitle& title, Prompts& prompts,
                      const QString& programDir, const QStringList& args,
                      LayoutHistory* history = nullptr);
