#pragma once
#include "model/LayoutModel.h"

#include <QUndoStack>
#include <functional>
#include <span>

class QMenu;
class QWidget;

// The one history of layout edits, kept next to the model and handed to every editing window.
// A step holds the bytes of one image before and after one edit (only the range it changed),
// and undo and redo put them back through the model, whose signals redraw every window.
// The model's unsaved mark follows the stack's clean state and nothing else: the stack is
// clean at the layout as last opened or saved.
class LayoutHistory : public QUndoStack {
    Q_OBJECT
  public:
    // Enough for a long session; a step costs a few hundred bytes.
    static constexpr int StepLimit = 1000;

    explicit LayoutHistory(zeltra::LayoutModel& model, QObject* parent = nullptr);
    ~LayoutHistory() override;

    // One step named `name`: `change` made to a copy of the image of `kind`, which then goes
    // into the model. An edit that changes no byte makes no step. True when it made one.
    bool edit(const QString& name, std::int32_t kind,
              const std::function<void(std::span<std::uint8_t>)>& change);
    bool editMachine(const QString& name, const std::function<void(zeltra::MachineImage&)>& change);
    bool editMonitor(const QString& name, const std::function<void(zeltra::MonitorImage&)>& change);

    // A new history. `Saved`: a layout was opened, it is its file's. `KeepMark`: the kind was
    // switched; unsaved changes stay marked (no step leads back to a saved state then).
    enum class Start { Saved, KeepMark };
    void startNew(Start start);
    // The layout now is the one in its file.
    void markSaved();
    // Counts the histories begun: an edit prepared on one layout belongs to no other.
    int generation() const { return generation_; }

    // Adds "Undo" and "Redo" (named Undo1 and Redo1) with the platform's keys to a window's
    // "Edit" menu; their texts name the step they take back or make again.
    void addEditItems(QMenu* edit);
    // The same keys for a window without an "Edit" menu, working while it is the active one.
    void addEditKeys(QWidget* window);

  private:
    QList<QAction*> editActions(QObject* parent);
    void push(const QString& name, std::int32_t kind, std::span<const std::uint8_t> before,
              std::span<const std::uint8_t> after);
    void followClean();

    zeltra::LayoutModel& model_;
    int generation_ = 0;
    bool holding_ = false; // the clean state is being set anew; the mark follows afterwards
};
