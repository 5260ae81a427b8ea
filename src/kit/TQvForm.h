#pragma once
#include "kit/TQvSettingsFile.h"
#include "kit/TitleBar.h"

#include <QMainWindow>

// The form base of the main window: an optional self-hiding title bar (with the menu bar),
// a border that may refuse resizing, and the window's placement kept in the settings file.
class TQvForm : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(bool AutoHideTitleBar READ AutoHideTitleBar WRITE setAutoHideTitleBar)
    Q_PROPERTY(bool AutoShowInactiveTitleBar READ AutoShowInactiveTitleBar WRITE setAutoShowInactiveTitleBar)
    Q_PROPERTY(bool BorderStopResize READ BorderStopResize WRITE setBorderStopResize)

public:
    enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

    explicit TQvForm(QWidget* parent = nullptr);
    ~TQvForm() override;

    bool AutoHideTitleBar() const { return autoHide_; }
    void setAutoHideTitleBar(bool on);
    bool AutoShowInactiveTitleBar() const { return autoShowInactive_; }
    void setAutoShowInactiveTitleBar(bool on) { autoShowInactive_ = on; }
    bool BorderStopResize() const { return borderStopResize_; }
    void setBorderStopResize(bool on) { borderStopResize_ = on; }
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style) { borderStyle_ = style; }
    bool TitleBarHidden() const { return titleBarHidden_; }

    // The settings object of this run. The form that holds it as the main window writes
    // App/Exe and releases it at its close.
    void attachSettings(TQvSettingsFile* settings, bool mainWindow = true);
    TQvSettingsFile* settingsFile() const { return settings_; }

    void savePlacement();
    void hideTitleBar();
    void showTitleBar();
    // Runs the pointer rules for a hit the window system would answer, carries out the
    // title bar action and returns the answer to give.
    zeltra::titlebar::Hit pointerHit(zeltra::titlebar::Hit normal);

signals:
    void OnLoaded();

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    TQvSettingsFile::Placement placement(Qt::WindowStates state) const;
    void savePlacementAs(Qt::WindowStates state);
    void rememberNormalFrame();
    void watchPointer(bool on);
    int hiddenHeight() const;
    zeltra::titlebar::State titleBarState() const;

    TQvSettingsFile* settings_ = nullptr;
    bool mainWindow_ = false;
    bool autoHide_ = false;
    bool autoShowInactive_ = false;
    bool borderStopResize_ = false;
    bool titleBarHidden_ = false;
    bool menuKept_ = false;
    bool loaded_ = false;
    int hitCounter_ = 0;
    BorderStyle borderStyle_ = BorderStyle::Sizeable;
    QRect normalFrame_;
};
