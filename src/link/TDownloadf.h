#pragma once
#include <QDialog>
#include <cstdint>
#include <functional>

namespace zeltra { struct LayoutModel; }
class Prompts;
class TComNumberF;
class QComboBox;
class QPlainTextEdit;

// The connect window: downloads and uploads layout blocks and sends live key and jog frames.
class TDownloadf : public QDialog {
    Q_OBJECT
public:
    TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
               QWidget* parent = nullptr);

    // Set by the main window: refresh the keys after the key block came back, store settings.
    std::function<void()> setkbdval;
    std::function<void()> saveconfig;

    void Setupcom();
    void Port1Click();
    void sendkey(std::uint8_t code);
    void sendjog(int speed);
    void setTraceVisible(bool visible);
    bool traceVisible() const;
    void selectBlock(int index);
    QString portCaption() const;

private:
    zeltra::LayoutModel& model_;
    TComNumberF& picker_;
    Prompts& prompts_;
    QComboBox* ComboBox1;
    QPlainTextEdit* Memo1;
};
