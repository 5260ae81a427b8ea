#include "history/LayoutHistory.h"

#include <QMenu>
#include <QUndoCommand>
#include <QWidget>
#include <vector>

using zeltra::LayoutModel;

namespace {
// One edit: the changed bytes of one image, before and after.
class ImageStep : public QUndoCommand {
  public:
    ImageStep(LayoutModel& model, const QString& text, std::int32_t kind, std::size_t offset,
              QByteArray before, QByteArray after)
        : QUndoCommand(text), model_(model), kind_(kind), offset_(offset),
          before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { put(before_); }
    void redo() override { put(after_); }

  private:
    void put(const QByteArray& bytes) {
        model_.writeImage(kind_, offset_,
                          {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
    }
    LayoutModel& model_;
    const std::int32_t kind_;
    const std::size_t offset_;
    const QByteArray before_;
    const QByteArray after_;
};

QByteArray bytesOf(std::span<const std::uint8_t> s) {
    return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size()));
}
} // namespace

LayoutHistory::LayoutHistory(LayoutModel& model, QObject* parent)
    : QUndoStack(parent), model_(model) {
    setUndoLimit(StepLimit);
    connect(this, &QUndoStack::cleanChanged, this, &LayoutHistory::followClean);
    connect(this, &QUndoStack::indexChanged, this, &LayoutHistory::followClean);
}

// The stack empties itself as it goes, after this part of it has gone: nobody is to hear that.
LayoutHistory::~LayoutHistory() {
    blockSignals(true);
}

// The one place the unsaved mark is set.
void LayoutHistory::followClean() {
    if (!holding_)
        model_.setUnsaved(!isClean());
}

bool LayoutHistory::edit(const QString& name, std::int32_t kind,
                         const std::function<void(std::span<std::uint8_t>)>& change) {
    const std::span<const std::uint8_t> now = model_.data().image(kind);
    if (now.empty())
        return false;
    std::vector<std::uint8_t> next(now.begin(), now.end());
    change(next);
    std::size_t first = 0;
    while (first < next.size() && next[first] == now[first])
        ++first;
    if (first == next.size())
        return false;
    std::size_t end = next.size();
    while (next[end - 1] == now[end - 1])
        --end;
    push(name, kind, now.subspan(first, end - first),
         std::span<const std::uint8_t>(next).subspan(first, end - first));
    return true;
}

namespace {
// The change of a whole image made on a copy of its bytes.
template <class Image>
std::function<void(std::span<std::uint8_t>)> onImage(const std::function<void(Image&)>& change) {
    return [&change](std::span<std::uint8_t> bytes) {
        Image image;
        std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
        change(image);
        std::copy(image.bytes.begin(), image.bytes.end(), bytes.begin());
    };
}
} // namespace

bool LayoutHistory::editMachine(const QString& name,
                                const std::function<void(zeltra::MachineImage&)>& change) {
    return edit(name, zeltra::KbdMachine, onImage(change));
}

bool LayoutHistory::editMonitor(const QString& name,
                                const std::function<void(zeltra::MonitorImage&)>& change) {
    return edit(name, zeltra::KbdMonitor, onImage(change));
}

void LayoutHistory::push(const QString& name, std::int32_t kind, std::span<const std::uint8_t> before,
                         std::span<const std::uint8_t> after) {
    const std::size_t offset = std::size_t(before.data() - model_.data().image(kind).data());
    QUndoStack::push(new ImageStep(model_, name, kind, offset, bytesOf(before), bytesOf(after)));
}

void LayoutHistory::startNew(Start start) {
    const bool unsaved = start == Start::KeepMark && model_.LayoutChanged;
    ++generation_;
    holding_ = true;
    clear();
    if (unsaved)
        resetClean();
    holding_ = false;
    followClean();
}

void LayoutHistory::markSaved() {
    setClean();
    followClean();
}

QList<QAction*> LayoutHistory::editActions(QObject* parent) {
    QAction* undo = createUndoAction(parent);
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = createRedoAction(parent);
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcut(QKeySequence::Redo);
    return {undo, redo};
}

void LayoutHistory::addEditItems(QMenu* edit) {
    edit->addActions(editActions(edit));
}

void LayoutHistory::addEditKeys(QWidget* window) {
    window->addActions(editActions(window));
}
