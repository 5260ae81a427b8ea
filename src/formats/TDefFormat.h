#pragma once
#include "formats/FormatEdit.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TSetgainF;
class LayoutHistory;
namespace zeltra { struct LayoutModel; }

// The monitor format editor for one entry of the format table. The working state and every
// rule between the fields live in zeltra::formats::FormatEdit; the window shows it.
class TDefFormat : public QDialog {
    Q_OBJECT
public:
    explicit TDefFormat(zeltra::LayoutModel& model, QWidget* parent = nullptr);
    void setVisible(bool visible) override;
    // The gain dialog for the trims, and what refreshes the main window's key captions.
    void attach(TSetgainF* gain, std::function<void()> refreshKeys);
    // The history OK's changes go on.
    void attachHistory(LayoutHistory* history) { history_ = history; }

    // Opens the editor modally on entry n (0..15); the dialog result.
    int edit(int n);
    const zeltra::formats::FormatEdit& state() const { return edit_; }

    QLineEdit* formatname = nullptr;
    QComboBox* inputchan = nullptr;
    QComboBox* initialformat = nullptr;
    QComboBox* iptype = nullptr;
    QWidget* StereoPanel = nullptr;
    QComboBox* stereoinput = nullptr;
    QComboBox* lcr = nullptr;
    QComboBox* Surround = nullptr;
    QCheckBox* IMAX = nullptr;
    QCheckBox* TV = nullptr;
    QCheckBox* lere = nullptr;
    QComboBox* LFE = nullptr;
    QComboBox* Gain = nullptr;
    std::array<QCheckBox*, 8> Inputs{};   // InLeft .. InRightX
    std::array<QCheckBox*, 16> Outputs{}; // OutLeft .. OutInnerRight: mask 1 bits, then mask 2
    QPushButton* Formattrim = nullptr;
    QPushButton* Stereotrim = nullptr;
    QPushButton* Monotrim = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void FormattrimClick();
    void StereotrimClick();
    void MonotrimClick();
    void OKBtnClick();

private:
    QWidget* buildName();
    void build();
    QWidget* buildSource();
    QWidget* buildInputs();
    QWidget* buildOutputs();
    QWidget* buildTrims();
    QComboBox* addCombo(const char* name, const QStringList& items);
    QCheckBox* addCheck(const char* name, const QString& caption);
    void react(const std::function<void()>& change);
    void showstate();
    void enabinout();
    void setiocaption();
    void settrimcaption();

    zeltra::LayoutModel& model_;
    zeltra::formats::FormatEdit edit_;
    TSetgainF* gain_ = nullptr;
    std::function<void()> refreshKeys_;
    LayoutHistory* history_ = nullptr;
    class NameValidator* validator_ = nullptr;
    QLabel* stereoLabel_ = nullptr;
};
