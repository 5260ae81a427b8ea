#pragma once
#include "kit/TQvForm.h"
#include "model/LayoutModel.h"

#include <QMainWindow>
#include <array>
#include <functional>

class AppTitle;
class Prompts;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTimer;
class TQveButton;
class TShape;
class TSelFunctionF;
class TDownloadf;
class TComNumberF;

// The main window: the keyboard picture with its 22 keys and jog wheel, the main menu and
// the status bar. It owns the layout commands and passes key presses and jog moves on to
// the link window.
class Trs422kbdf : public TQvForm {
    Q_OBJECT
    using Base = TQvForm;

public:
    static constexpr int DesignWidth = 751;
    static constexpr int DesignHeight = 397;
    static constexpr int StatusPanels = 4;

    Trs422kbdf(zeltra::LayoutModel& model, AppTitle& title, Prompts& prompts,
               const QString& programDir, const QStringList& args, QWidget* parent = nullptr);
    ~Trs422kbdf() override;

    // The windows made after this one at start-up.
    void attach(TSelFunctionF* selFunction, TDownloadf* link, TComNumberF* picker);

    std::array<TQveButton*, zeltra::KeyCount> KeyButtons{};
    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    QLabel* shiftf = nullptr;
    QTimer* Timer1 = nullptr;
    std::array<QLabel*, StatusPanels> StatusPanel{};
    // Where the cursor is, in screen coordinates, and where key and jog frames go (the link
    // window once attached); tests may replace them.
    std::function<int()> cursorX;
    std::function<void(int)> sendjog;
    std::function<void(std::uint8_t)> sendkey;

    // Layout model operations
    void setkbdval();
    void updkbddta();
    void setkbdtype();
    void setmachine();
    void setmonitor();
    void MonitorControl1Click(QAction* sender);
    void updmacrolable();

    // Files and settings
    void readsettings();
    void saveconfig();
    void openlast();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();

    // Life cycle, hints, jog wheel, link
    void FormCreate();
    void FormShow();
    void FormClose();
    void displayhint(const QString& hint);
    void Shape1MouseDown();
    void Shape1MouseUp();
    void Timer1Timer();
    void Download1Click();
    void Com1Click();
    void key2MouseDown(TQveButton* key, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void newkeyClick(TQveButton* key);

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;

    // Machine-layout editing: key functions, cues, loops, GPO (Trs422kbdf_machine.cpp)

    // Monitor-layout editing: formats, trims, levels (Trs422kbdf_monitor.cpp)

    // Side commands: macros, export, mail, manuals, splash and about (Trs422kbdf_side.cpp)


protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void buildKeys(QWidget* panel);
    static void showDesignFace(TQveButton* key, int code);
    void buildWheel(QWidget* panel);
    void buildStatusBar();
    void buildMenu();
    QAction* addItem(QMenu* menu, const QString& caption, const QString& name, int tag = 0);
    QMenu* addMenu(QMenu* parent, const QString& caption, const QString& name);
    void setCaptionFromLastFile();

    zeltra::LayoutModel& model_;
    AppTitle& title_;
    Prompts& prompts_;
    QStringList args_;
    TSelFunctionF* selFunction_ = nullptr;
    TDownloadf* link_ = nullptr;
    TComNumberF* picker_ = nullptr;
    QActionGroup* functionGroup_ = nullptr;
    bool shown_ = false;
    bool traceCaptions_ = false; // echo caption changes on stderr, as AppTitle does

    // File commands' own state (kept by Trs422kbdf_files.cpp)
    enum class LoadResult { Loaded, Missing, Failed }; // Failed: unreadable or refused
    bool refuseUnstorable(const QString& path, const QString& caption);
    LoadResult loadLastFile();
    bool saveLayout();
    bool saveLayoutAs();
    bool writeLayout(const QString& path);
    bool refuseWithoutImage();
    void applyLoadedKind(std::int32_t kind);
    void reportFileError(const QString& what, const QString& path, const QString& reason);
    QString lastSettingsError_; // the failure last reported by saveconfig

    // Machine-layout editing state (Trs422kbdf_machine.cpp)

    // Monitor-layout editing state (Trs422kbdf_monitor.cpp)

    // Side commands' state (Trs422kbdf_side.cpp)

};
