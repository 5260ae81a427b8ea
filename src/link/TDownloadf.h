#pragma once
#include "link/LinkEngine.h"
#include "link/TransferDriver.h"
#include "model/LayoutData.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

namespace zeltra {
class LayoutModel;
}
class LayoutHistory;
class Prompts;
class TComNumberF;
class QAction;
class QCheckBox;
class TQvSettingsFile;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The connect window: downloads and uploads layout blocks and sends live key and jog frames.
// The link itself lives in LinkEngine; the window shows its state. A transfer works on a copy
// of the layout taken when it starts, so it sends and compares the layout as it was then and
// goes on unchanged when the window closes; what an upload read comes into the model as one
// step when the transfer ends, on the layout it started on.
class TDownloadf : public QDialog {
    Q_OBJECT
  public:
    TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
               QWidget* parent = nullptr);
    // With another channel, for tests.
    TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
               std::unique_ptr<zeltra::link::SerialChannel> channel, QWidget* parent = nullptr);
    ~TDownloadf() override;
    void setVisible(bool visible) override;

    // Set by the main window: store the settings.
    std::function<void()> saveconfig;
    // The history an upload's bytes go on; without one they go into the model directly.
    void attachHistory(LayoutHistory* history) { history_ = history; }
    // A transfer is running (also while the window is closed).
    bool transferRunning() const { return driver_->running(); }

    // The settings file keeps the "Fast transfer" option (off when it holds nothing).
    void attachSettings(TQvSettingsFile* settings);
    void setFastTransfer(bool on);
    bool fastTransfer() const;
    // The network port chosen in the picker (kept in the settings file); empty: the COM
    // number of the settings record.
    QString networkPort() const { return networkPort_; }

    void Setupcom();
    void Port1Click();
    void sendkey(std::uint8_t code);
    void sendjog(int speed);
    void setTraceVisible(bool visible);
    bool traceVisible() const;
    void selectBlock(int index);
    QString portCaption() const;
    // "120 of 475 frames, 18 s left": how far a transfer is.
    static QString progressText(int done, int total, qint64 msLeft);

    const zeltra::link::LinkEngine& engine() const { return *engine_; }
    zeltra::link::TransferDriver& driver() { return *driver_; }
    zeltra::link::SerialChannel& channel() { return *Serial; }

  signals:
    // The port was closed because the device went away: the main window's Com item shows it.
    void portClosed(const QString& caption);
    // Progress of a running transfer, for the main window while this one is hidden.
    void transferProgress(int done, int total, qint64 msLeft);
    void transferEnded();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void build();
    void showPortChecked(bool on);
    void FormShow();
    void LoadkeyClick();
    void Check1Click();
    // Opens the chosen port; "Com Port Invalid" when it does not open, now or later.
    void openPort();
    void reportPort(bool opened);
    void showDisplay();
    void showProgress(int done, int total, qint64 msLeft);
    void takeUpload();

    zeltra::LayoutModel& model_;
    TComNumberF& picker_;
    Prompts& prompts_;
    LayoutHistory* history_ = nullptr;
    zeltra::LayoutData work_;    // what the transfer reads and writes
    zeltra::LayoutData started_; // the layout as the transfer found it
    int startedOn_ = 0;          // the history's generation then
    std::unique_ptr<zeltra::link::SerialChannel> Serial;
    std::unique_ptr<zeltra::link::LinkEngine> engine_;
    zeltra::link::TransferDriver* driver_ = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QAction* Port1 = nullptr;
    QAction* Check1 = nullptr;
    QLabel* umessage = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* Keyboad = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Setkey = nullptr;
    QPushButton* Loadkey = nullptr;
    QPushButton* verifykey = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QCheckBox* FastTransfer = nullptr;
    TQvSettingsFile* settings_ = nullptr;
    int block_ = 0;            // the block list's item, also while there is no list yet
    bool traceShown_ = false;
    bool portChecked_ = false; // the Port item's check: the port a selection opened
    QString networkPort_;
    QString addressError_; // why networkPort_ names no port
};
