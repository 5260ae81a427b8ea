#pragma once
#include "model/LayoutModel.h"
#include "model/LayoutSnapshot.h"

#include <QUndoStack>
#include <functional>

class QMenu;

// The one history of layout edits, kept next to the model and handed to every editing window.
// Each step holds the layout before and after one edit. The stack's clean state is the layout
// as last opened or saved: stepping onto it clears LayoutChanged, leaving it sets the flag.
class LayoutHistory : public QUndoStack {
    Q_OBJECT
  public:
    // Enough for a long session; each step is two snapshots of a few kilobytes.
    static constexpr int StepLimit = 1000;

    explicit LayoutHistory(zeltra::LayoutModel& model, QObject* parent = nullptr);
    ~LayoutHistory() override;

    // Set by the main window: what the layout is now, and how a snapshot is put back.
    std::function<zeltra::LayoutSnapshot()> capture;
    std::function<void(const zeltra::LayoutSnapshot&)> restore;

    // Runs `edit`; when it changed the layout, the change becomes one step named `text`.
    // An edit made inside another edit belongs to the outer step. True when a step was added.
    bool record(const QString& text, const std::function<void()>& edit);
    // The same, for a step whose name depends on the edit's outcome.
    bool record(const std::function<QString()>& name, const std::function<void()>& edit);

    // A new history: after a layout was opened or the keyboard kind switched. LayoutChanged
    // stays as it is; while it is set no step leads back to a saved state.
    void startNew();
    // The layout now is the one in its file.
    void markSaved();

    // Adds "Undo" and "Redo" (named Undo1 and Redo1) with the platform's keys to a window's
    // "Edit" menu; their texts name the step they take back or make again.
    void addEditItems(QMenu* edit);

    // Puts a snapshot back (undo and redo do this); windows refresh on `restored`.
    void put(const zeltra::LayoutSnapshot& snapshot);

  signals:
    void restored();
    // After every recorded edit, whether or not it changed the layout.
    void edited();

  private:
    void followClean();

    zeltra::LayoutModel& model_;
    int depth_ = 0;
    int generation_ = 0; // counts new histories
};
