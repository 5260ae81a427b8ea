#include "editor/LayoutHistory.h"

#include <QMenu>
#include <QUndoCommand>

using zeltra::LayoutSnapshot;

namespace {
// One edit: the layout before and after it.
class LayoutStep : public QUndoCommand {
  public:
    LayoutStep(LayoutHistory& history, const QString& text, LayoutSnapshot before,
               LayoutSnapshot after)
        : QUndoCommand(text), history_(history), before_(std::move(before)),
          after_(std::move(after)) {}
    void undo() override { history_.put(before_); }
    void redo() override {
        if (pushed_) // the edit itself has just made this state
            history_.put(after_);
        pushed_ = true;
    }

  private:
    LayoutHistory& history_;
    const LayoutSnapshot before_;
    const LayoutSnapshot after_;
    bool pushed_ = false;
};
} // namespace

LayoutHistory::LayoutHistory(zeltra::LayoutModel& model, QObject* parent)
    : QUndoStack(parent), model_(model) {
    setUndoLimit(StepLimit);
    connect(this, &QUndoStack::indexChanged, this, &LayoutHistory::followClean);
    connect(this, &QUndoStack::cleanChanged, this, &LayoutHistory::followClean);
}

// The stack empties itself as it goes, after this part of it has gone: nobody is to hear that.
LayoutHistory::~LayoutHistory() {
    blockSignals(true);
}

void LayoutHistory::followClean() {
    model_.LayoutChanged = !isClean();
}

bool LayoutHistory::record(const QString& text, const std::function<void()>& edit) {
    return record([&text] { return text; }, edit);
}

// A history started anew during the edit (a layout opened from inside it) has no place for it.
bool LayoutHistory::record(const std::function<QString()>& name,
                           const std::function<void()>& edit) {
    if (depth_ > 0 || !capture) {
        edit();
        return false;
    }
    LayoutSnapshot before = capture();
    const int generation = generation_;
    ++depth_;
    edit();
    --depth_;
    LayoutSnapshot after = capture();
    const bool changed = !after.sameLayout(before) && generation == generation_;
    if (changed)
        push(new LayoutStep(*this, name(), std::move(before), std::move(after)));
    emit edited();
    return changed;
}

void LayoutHistory::startNew() {
    const bool changed = model_.LayoutChanged;
    ++generation_;
    clear();
    if (changed)
        resetClean();
    model_.LayoutChanged = changed;
    emit edited();
}

void LayoutHistory::markSaved() {
    setClean();
    model_.LayoutChanged = false;
    emit edited();
}

void LayoutHistory::put(const LayoutSnapshot& snapshot) {
    if (restore)
        restore(snapshot);
    emit restored();
}

void LayoutHistory::addEditItems(QMenu* edit) {
    QAction* undo = createUndoAction(edit);
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = createRedoAction(edit);
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addActions({undo, redo});
}
