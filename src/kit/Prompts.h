#pragma once
#include <QString>

// Questions and messages a window puts to the user. Windows hold one by reference, so that
// tests can answer for the user instead of a modal box.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;
    // The chosen path, or an empty string when the user cancelled. A name typed without a
    // suffix gets `defaultSuffix` (without the dot) when one is given.
    virtual QString askOpenFile(const QString& title, const QString& dir, const QString& filter,
                                const QString& defaultSuffix = QString()) = 0;
    virtual QString askSaveFile(const QString& title, const QString& dir, const QString& preset,
                                const QString& filter) = 0;
    virtual void showMessage(const QString& text, const QString& caption) = 0;
    virtual void showError(const QString& text, const QString& caption) = 0;
};
