#pragma once
#include "kit/Prompts.h"

class QWidget;

// Prompts shown as the platform's message boxes and file dialogs.
class WidgetPrompts : public Prompts {
public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    // The program is ending: nothing more is shown; questions are answered No, file dialogs
    // cancelled, and messages only echoed on stderr.
    void setEnding() { ending_ = true; }
    bool askYesNo(const QString& text, const QString& caption) override;
    QString askOpenFile(const QString& title, const QString& dir, const QString& filter,
                        const QString& defaultSuffix) override;
    QString askSaveFile(const QString& title, const QString& dir, const QString& preset,
                        const QString& filter) override;
    void showMessage(const QString& text, const QString& caption) override;
    void showError(const QString& text, const QString& caption) override;

private:
    QWidget* owner_ = nullptr;
    bool ending_ = false;
};
