#pragma once
#include <QString>
#include <QStringList>
#include <cstdio>

// The application title. During start-up and while settings are stored it carries a short
// progress trace ("Splash", "Splash1", ...), so it is kept apart from window captions.
// With ZELTRA_TRACE_TITLE set in the environment each step is also printed on stderr.
class AppTitle {
public:
    AppTitle() : echo_(qEnvironmentVariableIsSet("ZELTRA_TRACE_TITLE")) {}
    void set(const QString& title)
    {
        current_ = title;
        history_.append(title);
        if (echo_)
            std::fprintf(stderr, "title: %s\n", title.toLocal8Bit().constData());
    }
    QString current() const { return current_; }
    const QStringList& history() const { return history_; }

private:
    QString current_;
    QStringList history_;
    bool echo_;
};
