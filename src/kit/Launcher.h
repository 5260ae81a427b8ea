#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Starting other programs (the desktop's opener, the mail composer, the support program):
// always by path and argument list, never through a shell.
namespace zeltra::launch {

struct Outcome {
    enum class Kind { Finished, NotFound, FailedToStart, Crashed };
    Kind kind = Kind::Finished;
    int exitCode = 0;
    bool ok() const { return kind == Kind::Finished && exitCode == 0; }
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` (a bare name is looked for on the PATH) with `args` in `workDir` and
    // returns at once; `done` is called once, on the caller's thread, when it has ended or
    // could not start.
    virtual void start(const QString& program, const QStringList& args, const QString& workDir,
                       std::function<void(const Outcome&)> done) = 0;
};

// The real one: QProcess, with each process deleted once it has ended.
class ProcessLauncher : public QObject, public Launcher {
public:
    using QObject::QObject;
    void start(const QString& program, const QStringList& args, const QString& workDir,
               std::function<void(const Outcome&)> done) override;
};

// The program file to start for `program`: itself when it holds a folder, else the first
// executable of that name on the PATH; empty when there is none.
QString findProgram(const QString& program);

// Why xdg-open (or xdg-email) failed, in words; empty when it worked. Its exit statuses:
// 1 command line not understood, 2 file missing, 3 nothing to open it, 4 opening failed,
// 5 no permission to read the file.
QString openerFailure(const QString& opener, const Outcome& outcome);
// Why another program failed, in words; empty when it worked.
QString programFailure(const QString& program, const Outcome& outcome);

} // namespace zeltra::launch
