#pragma once
#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimer;

// The splash window shown at start-up and the about window: product name, version, the web
// address and, when the credits file lies beside the program, a "Credits" key showing it.
// The splash closes after SplashTime ms, on "Continue", or at once on a click or a key.
class TSplashF : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Splash, About };
    static constexpr int SplashTime = 3000;

    // `programFile` names the credits file (its name with ".crd", in its folder).
    TSplashF(Kind kind, const QString& programFile, QWidget* parent = nullptr);

    // Asked to open the web address when its label is clicked.
    std::function<void(const QString& address)> openAddress;

    // Product name and version as the build gives them ("No Name!" / "No Version!" when
    // the build has none).
    static QString productText();
    static QString versionText();

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* WebAddress = nullptr;
    QPushButton* Continue = nullptr;
    QPushButton* Credits = nullptr;
    QPushButton* Back = nullptr;
    QPlainTextEdit* CreditsText = nullptr;
    QTimer* Timer1 = nullptr;

    void CreditsClick();
    void BackClick();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QWidget* buildFront();
    QWidget* buildCredits();
    bool closesOnAnyInput() const;

    Kind kind_;
    QString creditsPath_;
    QStackedWidget* pages_ = nullptr;
};
