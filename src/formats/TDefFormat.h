#pragma once
#include "editing/FormatEdit.h"

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
namespace zeltra { class LayoutModel; }

// The monitor format editor for one entry of the format table. The working state and every
// rule between the fields live in zeltra::formats::FormatEdit; the window shows it, and OK
// stores the entry as one step of the history. It belongs to monitor control.
class TDefFormat : public QDialog {
    Q_OBJECT
public:
    TDefFormat(zeltra::LayoutModel& model, LayoutHistory& history, QWidget* parent = nullptr);
    void setVisible(bool visible) override;
    // The gain dialog for the trims.
    void attach(TSetgainF* gain) { gain_ = gain; }

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
    LayoutHistory& history_;
    TSetgainF* gain_ = nullptr;
    class NameValidator* validator_ = nullptr;
    QLabel* stereoLabel_ = nullptr;
};
