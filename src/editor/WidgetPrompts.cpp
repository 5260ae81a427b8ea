#include "editor/WidgetPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

bool WidgetPrompts::askYesNo(const QString& text, const QString& caption)
{
    return QMessageBox::question(owner_, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString WidgetPrompts::askOpenFile(const QString& title, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(owner_, title, dir, filter);
}

QString WidgetPrompts::askSaveFile(const QString& title, const QString& dir, const QString& preset,
                                   const QString& filter)
{
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

void WidgetPrompts::showMessage(const QString& text, const QString& caption)
{
    QMessageBox::information(owner_, caption, text);
}

void WidgetPrompts::showError(const QString& text, const QString& caption)
{
    QMessageBox::critical(owner_, caption, text);
}
