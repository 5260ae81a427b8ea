#pragma once
#include "kit/TQvForm.h"
#include "model/LayoutModel.h"

#include <QMainWindow>
#include <array>
#include <functional>

class AppTitle;
class LayoutHistory;
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
class TQvDlg;
class TSplashF;
namespace zeltra::launch { class Launcher; }
namespace zeltra::mail { class MailService; }

// The main window: the keyboard picture with its 22 keys and jog wheel, the main menu and
// the status bar. It owns the layout commands and passes key presses and jog moves on to
// the link window. Its keys, menus and caption are a view of the model: they are drawn from
// the model's state whenever it signals a change, and every edit goes to the history.
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
    // The history every layout edit goes on; adds the "Edit" menu (Trs422kbdf_history.cpp).
    void attachHistory(LayoutHistory& history);

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
    // The keys show what the image of the working kind holds.
    void setkbdval();
    void setkbdtype();
    void setmachine();
    void setmonitor();
    // The kind switch. The kind already checked puts the default keys back, as one step.
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
    // Wires the table windows made after `attach` and the "Set" menu items that open them.
    void attachTables(class TGPOF* gpo, class TtcenterF* tcenter, class Tloopf* loop);
    void key2RightClick(TQveButton* key);  // top-row keys
    void key10RightClick(TQveButton* key); // lower keys
    void newrightclick(TQveButton* key);
    void RemoteClick(TQveButton* key);
    void GPO2Click(QAction* sender); // "Set" > "Cues", "Loops", "GPO"

    // Monitor-layout editing: formats, trims, levels (Trs422kbdf_monitor.cpp)
    void attachFormats(class TDefFormat* defFormat, class TSelFormatF* selFormat,
                       class TSetgainF* setgain);
    void EditFormats1Click();
    void MonitorClick(TQveButton* key);
    void selectformat(TQveButton* key);

    // Side commands: macros, export, mail, manuals, splash and about (Trs422kbdf_side.cpp)
    // Connects the side commands' menu items; `dialog` asks the macro number and the support
    // question, a launcher and xdg-email start the rest.
    void attachSide(TQvDlg& dialog);
    void MacroAClick(QAction* sender);
    void DownmacroClick();
    void Export1Click();
    void Print1Click(); // the layout card, in the print preview (Trs422kbdf_print.cpp)
    void mail1Click();
    void English1Click();
    void French1Click();
    void English2Click();
    void French2Click();
    void All1Click();
    void About1Click();
    void OnlineSupport1Click();
    void openfile(const QString& name);
    // What the side commands use to ask, start programs, mail and grab the screen; tests put
    // their own here. Dialog results are 1 for OK and 2 for Cancel.
    std::function<int(const QString& prompt, QString& answer, const QString& initial,
                      const QString& caption)> stringEntry;
    std::function<int(const QString& text, const QString& caption)> query;
    std::function<void(TSplashF& about)> showAbout; // instead of running it modally
    zeltra::launch::Launcher* launcher = nullptr;
    zeltra::mail::MailService* mailService = nullptr;


protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void buildKeys(QWidget* panel);
    void buildWheel(QWidget* panel);
    void buildStatusBar();
    void buildMenu();
    QAction* addItem(QMenu* menu, const QString& caption, const QString& name, int tag = 0);
    QMenu* addMenu(QMenu* parent, const QString& caption, const QString& name);
    void followModel();
    void showImage(std::int32_t kind);
    void showKind();

    zeltra::LayoutModel& model_;
    AppTitle& title_;
    Prompts& prompts_;
    QStringList args_;
    TSelFunctionF* selFunction_ = nullptr;
    TDownloadf* link_ = nullptr;
    TComNumberF* picker_ = nullptr;
    QActionGroup* functionGroup_ = nullptr;
    bool shown_ = false;
    bool keysShown_ = false; // the keys have shown a layout
    bool traceCaptions_ = false; // echo caption changes on stderr, as AppTitle does

    // File commands' own state (kept by Trs422kbdf_files.cpp)
    enum class LoadResult { Loaded, Missing, Failed }; // Failed: unreadable or refused
    bool refuseUnstorable(const QString& path, const QString& caption);
    bool refuseWhileTransfer(const QString& caption);
    LoadResult loadFile(const QString& path);
    bool saveLayout();
    bool saveLayoutAs();
    bool writeLayout(const QString& path);
    bool refuseWithoutImage();
    void reportFileError(const QString& what, const QString& path, const QString& reason);
    QString lastSettingsError_; // the failure last reported by saveconfig

    // Layout history, the unsaved mark and the caption (Trs422kbdf_history.cpp)
    LayoutHistory* history_ = nullptr;
    void buildEditMenu();
    // One step: byte `at` of the image of the working kind becomes `value`.
    void editByte(const QString& step, std::size_t at, std::uint8_t value);
    int keyIndex(const TQveButton* key) const;
    // Names a step of key `index` by the function `code`: "key 5: Loc-3" (+ " " + `what`).
    QString keyStep(int index, int code, const QString& what = {}) const;
    void showUnsavedMark();
    void showCaption();

    // Recent layouts, dropped files and the command line (Trs422kbdf_recent.cpp)
    QStringList recent_; // the list while no settings file is attached
    void buildRecentMenu();
    void fillRecentMenu();
    QStringList recentLayouts() const;
    void setRecentLayouts(const QStringList& list);
    void rememberRecent(const QString& path);
    bool mayReplaceLayout();
    bool openLayout(const QString& path);
    bool openNamed(const QString& path);
    void openStartLayout();

    // Machine-layout editing state (Trs422kbdf_machine.cpp)
    class TGPOF* gpo_ = nullptr;
    class TtcenterF* tcenter_ = nullptr;
    class Tloopf* loop_ = nullptr;
    void editCue(int key, int k);
    void editLoop(int key, int k);
    void editMacro(int key, int m);
    void downloadTable(int block);
    bool refuseOutsideMachineMode();

    // Monitor-layout editing state (Trs422kbdf_monitor.cpp)
    class TDefFormat* defFormat_ = nullptr;
    class TSelFormatF* selFormat_ = nullptr;
    class TSetgainF* setgain_ = nullptr;
    // DIM cut and calibrated levels A..D: the layout has no field for them, so they are kept
    // for this run only and start at 0 (+0.0dB).
    std::array<int, 5> sessionLevels_{};
    void asklevel(int which, int code);
    void asktrim(int key, int code);

    // Side commands' state (Trs422kbdf_side.cpp)
    void openProgram(const QString& program, const QStringList& args, const QString& what,
                     bool opener);
    void sideMessage(const QString& text);
    static QString mailFailure(int result, const QString& detail);
    QString lastExport_; // the picture exported in this run, for a layout without a file

};
