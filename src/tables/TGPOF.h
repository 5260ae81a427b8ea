#pragma once
#include "tables/TableGrid.h"

#include <QDialog>
#include <array>
#include <functional>

namespace zeltra {
struct LayoutModel;
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
// timecodes, with an edit box for one row. It is modeless. What the grids hold is written into
// the machine image after every change and when the window goes, so the image, the main
// window's file commands and the link always see the grids' contents.
class TGPOF : public QDialog {
    Q_OBJECT
  public:
    TGPOF(zeltra::LayoutModel& model, Prompts& prompts, QWidget* parent = nullptr);
    void setVisible(bool visible) override;

    int Tag = zeltra::tables::Gpo;

    // Set by the main window: its file commands, and the connect window opened on a block.
    std::function<void()> open;
    std::function<void()> save;
    std::function<void()> saveAs;
    std::function<void(int block)> download;

    // "Set" menu: show the table of `tag`, writing back the table shown until now first.
    void showTable(int tag);
    // Fills the grids again from the image when the window is open (the image changed);
    // with `keepEdit` a row edit in progress stays open with what was typed.
    void refresh(bool keepEdit = false);
    // The keyboard kind changes: a row edit in progress is stored, the grids are written back
    // and the window closes, so nothing of it edits, saves or sends the other kind.
    void leaveMachineMode();
    // The history its edits go on; adds its "Edit" menu with Undo and Redo.
    void attachHistory(LayoutHistory* history);

    void FormShow();
    void writeback();
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
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildMenu();
    void build();
    void buildGrids();
    void buildEditBox();
    void placeControls(const zeltra::tables::Layout& l);
    void showCells(const zeltra::tables::Grids& g);
    void changed(const zeltra::tables::Grids& g);
    void setEditing(bool on);
    int blockOfTable() const;
    bool machineMode() const;
    bool refuseOutsideMachineMode();
    void storeEdit();
    void record(const QString& command, const std::function<void()>& edit);
    void addEditMenu();

    zeltra::LayoutModel& model_;
    Prompts& prompts_;
    int shownMode_ = 0; // the table the grids hold; 0 before the first show
    int editGrid_ = 0;
    int editRow_ = 1;
    zeltra::tables::Cell shownCell_; // the edited row as the edit box showed it
    zeltra::tables::Layout layout_;
    LayoutHistory* history_ = nullptr;
};
