#pragma once
#include "kit/Prompts.h"

#include <QQueue>
#include <QStringList>

// Answers the window's questions from a script and records what was asked. An empty
// script cancels file dialogs and answers No.
class ScriptedPrompts : public Prompts {
public:
    QQueue<bool> answers;
    QQueue<QString> openFiles;
    QQueue<QString> saveFiles;
    QStringList asked;  // "caption|text" of questions, messages and errors
    QStringList errors; // errors only, "caption|text"
    QStringList messages; // texts of the messages and errors shown
    QStringList dialogs; // "open|title|dir|filter" and "save|title|dir|preset|filter"

    bool askYesNo(const QString& text, const QString& caption) override
    {
        asked << caption + QLatin1Char('|') + text;
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString askOpenFile(const QString& title, const QString& dir, const QString& filter,
                        const QString& suffix) override
    {
        const QString more = suffix.isEmpty() ? QString() : QLatin1Char('|') + suffix;
        dialogs << QStringList{QStringLiteral("open"), title, dir, filter}.join(QLatin1Char('|')) + more;
        return openFiles.isEmpty() ? QString() : openFiles.dequeue();
    }
    QString askSaveFile(const QString& title, const QString& dir, const QString& preset,
                        const QString& filter) override
    {
        dialogs << QStringList{QStringLiteral("save"), title, dir, preset, filter}.join(QLatin1Char('|'));
        return saveFiles.isEmpty() ? QString() : saveFiles.dequeue();
    }
    void showMessage(const QString& text, const QString& caption) override
    {
        asked << caption + QLatin1Char('|') + text;
        messages << text;
    }
    void showError(const QString& text, const QString& caption) override
    {
        asked << caption + QLatin1Char('|') + text;
        errors << caption + QLatin1Char('|') + text;
        messages << text;
    }
};
