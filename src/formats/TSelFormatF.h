#pragma once
#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;
class TDefFormat;
namespace zeltra { struct LayoutModel; }

// The list of the sixteen monitor formats. Shown without waiting (with "Edit") to look at
// and edit formats, or modally (without "Edit") to pick the format of a format key.
class TSelFormatF : public QDialog {
    Q_OBJECT
public:
    explicit TSelFormatF(zeltra::LayoutModel& model, QWidget* parent = nullptr);
    void setVisible(bool visible) override;
    void attach(TDefFormat* editor) { editor_ = editor; }

    QListWidget* Monformat = nullptr;
    int MonformatTag = 0;           // the entry selected on opening
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // "Edit"

    // "Edit Monitor Formats": the list without waiting, "Edit" shown.
    void showForEditing();
    // A format key: the list modally, "Edit" hidden, `current` selected. The chosen entry
    // (0..15) after OK; nothing when the list was closed otherwise.
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

    zeltra::LayoutModel& model_;
    TDefFormat* editor_ = nullptr;
};
