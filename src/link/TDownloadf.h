#pragma once
#include "link/LinkEngine.h"
#include "link/TransferDriver.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

namespace zeltra {
struct LayoutModel;
}
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
// The link itself lives in LinkEngine; the window shows its state.
class TDownloadf : public QDialog {
    Q_OBJECT
  public:
    TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
               QWidget* parent = nullptr);
    // With another channel, for tests.
    TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
               std::unique_ptr<zeltra::link::SerialChannel> channel, QWidget* parent = nullptr);
    ~TDownloadf() override;

    // Set by the main window: refresh the keys after the key block came back, store settings.
    std::function<void()> setkbdval;
    std::function<void()> saveconfig;

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
    void buildWindow();
    void FormShow();
    void LoadkeyClick();
    void Check1Click();
    // Opens the chosen port; "Com Port Invalid" when it does not open, now or later.
    void openPort();
    void reportPort(bool opened);
    void showDisplay();
    void showProgress(int done, int total, qint64 msLeft);

    zeltra::LayoutModel& model_;
    TComNumberF& picker_;
    Prompts& prompts_;
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
    QString networkPort_;
    QString addressError_; // why networkPort_ names no port
};
