#include "editor/WidgetPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include <cstdio>

namespace {
void echo(const QString& caption, const QString& text)
{
    QString line = caption + QStringLiteral(": ") + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "zeltra: %s\n", line.toLocal8Bit().constData());
}
} // namespace

bool WidgetPrompts::askYesNo(const QString& text, const QString& caption)
{
    if (ending_) {
        echo(caption, text + QStringLiteral(" (not asked: the program is ending; answered No)"));
        return false;
    }
    return QMessageBox::question(owner_, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString WidgetPrompts::askOpenFile(const QString& title, const QString& dir, const QString& filter,
                                   const QString& defaultSuffix)
{
    if (ending_)
        return {};
    if (defaultSuffix.isEmpty())
        return QFileDialog::getOpenFileName(owner_, title, dir, filter);
    QFileDialog dialog(owner_, title, dir, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WidgetPrompts::askSaveFile(const QString& title, const QString& dir, const QString& preset,
                                   const QString& filter)
{
    if (ending_)
        return {};
    QFileDialog dialog(owner_, title, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Replacing is asked by the caller, after ".bin" has been added to the name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!preset.isEmpty())
        dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

// Messages are echoed on stderr too, for a start from a terminal.
void WidgetPrompts::showMessage(const QString& text, const QString& caption)
{
    echo(caption, text);
    if (ending_)
        return;
    QMessageBox::information(owner_, caption, text);
}

void WidgetPrompts::showError(const QString& text, const QString& caption)
{
    echo(caption, text);
    if (ending_)
        return;
    QMessageBox::critical(owner_, caption, text);
}
