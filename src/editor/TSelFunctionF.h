#pragma once
#include "editing/FunctionList.h"
#include "model/FunctionTables.h"

#include <QDialog>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

// The function selection dialog: lists the table of its ListKind and gives back the chosen
// code in its Tag.
class TSelFunctionF : public QDialog {
    Q_OBJECT
  public:
    explicit TSelFunctionF(QWidget* parent = nullptr);
    void setVisible(bool visible) override;

    int ListKind = zeltra::ListMachine;
    int Tag = 0;                     // the code being chosen
    bool TopRowKey = false;          // set by the caller: top-row keys get no "Locate1"/"Locate2"
    zeltra::FunctionEntry Current{}; // the entry the code resolved to

    QLineEdit* FilterEdit = nullptr; // narrows the list to the rows that hold its text
    QListWidget* DescriptionList = nullptr;
    QPushButton* BitBtn3 = nullptr; // OK
    QPushButton* Cancel = nullptr;

    // Resolves `code` in the current table, makes that row current and preselects its list
    // row when the list shows it; returns the table row.
    int findfunction(int code);

    void FormShow();
    void BitBtn3Click();
    void FilterEditChange();

  protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void build();
    void showRows();

    std::vector<zeltra::functionlist::Row> rows_;  // every row the list may show
    std::vector<zeltra::functionlist::Row> shown_; // the rows that match the filter
};
