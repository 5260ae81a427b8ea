#pragma once
#include "kit/Prompts.h"

#include <QStringList>

// Answers for the user and keeps every message shown.
class TestPrompts : public Prompts {
  public:
    QStringList messages;
    bool askYesNo(const QString&, const QString&) override { return false; }
    QString askOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString askSaveFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void showMessage(const QString& text, const QString&) override { messages << text; }
    void showError(const QString& text, const QString&) override { messages << text; }
};
