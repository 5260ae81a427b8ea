#pragma once
#include "editing/TableGrid.h"

#include <QDialog>
#include <array>
#include <functional>

namespace zeltra {
class LayoutModel;
}
class LayoutHistory;
class Prompts;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTableWidget;
class TimecodeEdit;

// The GPO, cue and loop window: the table of its Tag (1 GPO, 2 cues, 3 loops) as grids of
// timecodes, with an edit box for one row. It is modeless. The grids show the machine image:
// they are drawn again whenever the model says the image changed (a row edit in progress goes
// on), and every command writes straight into the model as one step of the history. It
// belongs to machine control and closes when the kind changes away, keeping a row edit.
class TGPOF : public QDialog {
    Q_OBJECT
  public:
    TGPOF(zeltra::LayoutModel& model, LayoutHistory& history, Prompts& prompts,
          QWidget* parent = nullptr);
    void setVisible(bool visible) override;

    int Tag = zeltra::tables::Gpo;

    // Set by the main window: its file commands, and the connect window opened on a block.
    std::function<void()> open;
    std::function<void()> save;
    std::function<void()> saveAs;
    std::function<void(int block)> download;

    // "Set" menu: show the table of `tag`.
    void showTable(int tag);

    void FormShow();
    void selectRow(int grid, int row);
    void tceditEnter();
    void ClipEditEnter();
    void savekeyClick();
    void Cancel1Click();
    void RstallClick();
    void one2allClick();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Download1Click();

    std::array<QTableWidget*, zeltra::tables::GridCount> Grid{};
    std::array<QLabel*, zeltra::tables::GridCount> Label{};
    QGroupBox* editbox = nullptr;
    TimecodeEdit* tcedit = nullptr;
    QLineEdit* ClipEdit = nullptr;
    QPushButton* savekey = nullptr;
    QPushButton* Cancel1 = nullptr;
    QPushButton* Rstall = nullptr;
    QPushButton* one2all = nullptr;
    QMenuBar* MainMenu1 = nullptr;

    // The grids' cells as the window shows them.
    zeltra::tables::Grids cells() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildMenu();
    void build();
    void buildGrids();
    void buildEditBox();
    void placeControls(const zeltra::tables::Layout& l);
    void showCells(const zeltra::tables::Grids& g);
    void showImage();
    void setEditing(bool on);
    int blockOfTable() const;
    bool machineMode() const;
    bool refuseOutsideMachineMode();
    void storeEdit();
    void edit(const QString& step, const std::function<void(zeltra::tables::Grids&)>& change);
    void addEditMenu();

    zeltra::LayoutModel& model_;
    Prompts& prompts_;
    int shownMode_ = 0; // the table the grids hold; 0 before the first show
    int editGrid_ = 0;
    int editRow_ = 1;
    zeltra::tables::Cell shownCell_; // the edited row as the edit box showed it
    zeltra::tables::Layout layout_;
    LayoutHistory& history_;
};
