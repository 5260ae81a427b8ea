#pragma once
#include "model/FunctionTables.h"

#include <QDialog>
#include <functional>

class TQveButton;

// The function selection dialog. It also gives a key button the face of its function.
class TSelFunctionF : public QDialog {
    Q_OBJECT
public:
    explicit TSelFunctionF(QWidget* parent = nullptr);

    int ListKind = zeltra::ListMachine;
    int Tag = 0;                     // the code being chosen
    zeltra::FunctionEntry Current{}; // the entry the code resolved to

    // Set by the main window: refreshes the macro captions.
    std::function<void()> updmacrolable;

    // Resolves `code` in the current table and makes that row current; returns the row.
    int findfunction(int code);
    // Gives the button the caption, lit colours and hint of the function its Tag holds.
    // The button's Tag is kept, also when the code is unknown.
    void setkeyfunction(TQveButton* button);
    static void settextcolour(TQveButton* button);
};
