#pragma once
#include "kit/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers the program's questions from a script and records what was asked.
class FakePrompts : public Prompts {
public:
    QList<bool> yesNoAnswers;   // consumed in order; "No" once they run out
    QStringList fileAnswers;    // consumed in order; cancelled ("") once they run out
    QStringList asked;          // "caption|text" of every question and message
    QStringList dialogTitles;   // titles of the file dialogs shown
    QStringList errors;

    bool askYesNo(const QString& text, const QString& caption) override
    {
        asked << caption + QLatin1Char('|') + text;
        return yesNoAnswers.isEmpty() ? false : yesNoAnswers.takeFirst();
    }
    QString askOpenFile(const QString& title, const QString&, const QString&) override
    {
        dialogTitles << title;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QString askSaveFile(const QString& title, const QString&, const QString&,
                        const QString&) override
    {
        dialogTitles << title;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    void showMessage(const QString& text, const QString& caption) override
    {
        asked << caption + QLatin1Char('|') + text;
    }
    void showError(const QString& text, const QString& caption) override
    {
        errors << caption + QLatin1Char('|') + text;
    }
};
