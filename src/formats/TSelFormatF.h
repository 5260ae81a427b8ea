#pragma once
#include <QDialog>
#include <optional>

class LayoutHistory;
class QListWidget;
class QPushButton;
class TDefFormat;
namespace zeltra { class LayoutModel; }

// The list of the sixteen monitor formats. Shown without waiting (with "Edit") to look at
// and edit formats, or modally (without "Edit") to pick the format of a format key. Its names
// follow the monitor image as the model changes it; it belongs to monitor control and closes
// when the kind changes away. Undo and Redo work while it is the active window.
class TSelFormatF : public QDialog {
    Q_OBJECT
public:
    TSelFormatF(zeltra::LayoutModel& model, LayoutHistory& history, QWidget* parent = nullptr);
    void setVisible(bool visible) override;
    void attach(TDefFormat* editor) { editor_ = editor; }

    QListWidget* Monformat = nullptr;
    int MonformatTag = 0;           // the entry selected on opening
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // "Edit"

    // "Edit Monitor Formats": the list without waiting, "Edit" shown.
    void showForEditing();
    // A format key: the list modally, "Edit" hidden, `current` selected. The chosen entry
    // (0..15) after OK; nothing when the list was closed otherwise. A list open for editing
    // steps aside meanwhile and comes back as it was.
    std::optional<int> pick(int current);
    // The selected entry, always 0..15.
    int selectedIndex() const;

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();
    void showNames();

    zeltra::LayoutModel& model_;
    TDefFormat* editor_ = nullptr;
};
