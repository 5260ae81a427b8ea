#pragma once
#include <QDialog>
#include <QPixmap>
#include <QPointer>

class QLabel;
class QLineEdit;
class QStackedWidget;
class TQveButton;

// The program's own modal dialog: a message with OK, a query with OK and Cancel, and a
// one-line text entry with OK and Cancel. One instance is made at start-up and reused; its
// pages (and the controls below) are made when it is first used or shown.
class TQvDlg : public QDialog {
    Q_OBJECT
public:
    enum PageIndex { PageStringEntry = 0, PageUnused = 1, PageStandard = 2, PageQuery = 3 };
    static constexpr int ResultOK = 1;
    static constexpr int ResultCancel = 2;

    explicit TQvDlg(QWidget* parent = nullptr);

    // The window that owns plain messages; none during start-up.
    void setMainWindow(QWidget* w) { mainWindow_ = w; }

    void Message(const QString& text);
    // 1 for OK, 2 for Cancel or when the dialog is closed otherwise.
    int Query(QWidget* owner, int kind, const QString& text, const QString& caption);
    // `answer` gets the edited text after OK and `initial` otherwise. Kind 2 masks the entry.
    int StringEntry(QWidget* owner, int kind, const QString& prompt, QString& answer,
                    const QString& initial, const QString& caption);

    // The picture for a kind byte: 0 DT_DEFAULT, 1 DT_NOENTRY, 2 DT_LOCK.
    static QPixmap picture(int kind);

    // Any way of closing other than a button counts as Cancel.
    void reject() override;
    void setVisible(bool visible) override;

    QStackedWidget* Pages = nullptr;
    QWidget* P_STRINGENTRY = nullptr;
    QLabel* STR_Image = nullptr;
    QLabel* STR_Text = nullptr;
    QLineEdit* STR_Edit = nullptr;
    TQveButton* STR_Cancel = nullptr;
    TQveButton* STR_OK = nullptr;
    QWidget* P_Standard = nullptr;
    QLabel* STD_Image = nullptr;
    QLabel* STD_Text = nullptr;
    TQveButton* STD_OK = nullptr;
    QWidget* P_QUERY = nullptr;
    QLabel* QRY_image = nullptr;
    QLabel* QRY_Text = nullptr;
    TQveButton* QRY_Cancel = nullptr;
    TQveButton* QRY_OK = nullptr;

private:
    void build();
    void buildStringEntryPage();
    void buildStandardPage();
    void buildQueryPage();
    QWidget* addPage(const QString& name);
    QLabel* addPicture(QWidget* page, const QString& name);
    QLabel* addText(QWidget* page, const QString& name);
    TQveButton* addButton(QWidget* page, const QString& name, const QString& caption, QRect place,
                          int result);

    void place(QWidget* owner);
    void showText(QLabel* text, const QString& message, QWidget* focus);
    void setPageHeight(int height);
    void anchorButtons(QWidget* page, int pageHeight);
    static int wrappedHeight(const QLabel* label, int minimum);
    int runModal(QWidget* owner);

    QPointer<QWidget> mainWindow_;
    bool running_ = false;
};
