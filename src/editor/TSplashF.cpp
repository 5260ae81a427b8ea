#include "editor/TSplashF.h"

#include "program/Links.h"
#include "program/SideFiles.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#ifndef ZELTRA_PRODUCT_NAME
#define ZELTRA_PRODUCT_NAME ""
#endif
#ifndef ZELTRA_VERSION
#define ZELTRA_VERSION ""
#endif

TSplashF::TSplashF(Kind kind, const QString& programFile, QWidget* parent)
    : QDialog(parent), kind_(kind), creditsPath_(zeltra::side::creditsPath(programFile))
{
    setObjectName(kind == Kind::Splash ? QStringLiteral("SplashF") : QStringLiteral("AboutF"));
    setWindowTitle(kind == Kind::Splash ? productText() : QStringLiteral("About"));
    setModal(true);
    if (kind == Kind::Splash)
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    else
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(buildFront());
    pages_->addWidget(buildCredits());
    auto* frame = new QFrame(this); // the splash has no window frame: it draws its own
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(kind == Kind::Splash ? 2 : 0);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(pages_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    setMinimumSize(360, 200);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(SplashTime);
    connect(Timer1, &QTimer::timeout, this, &QDialog::accept);
}

QString TSplashF::productText()
{
    const QString name = QStringLiteral(ZELTRA_PRODUCT_NAME);
    return name.isEmpty() ? QStringLiteral("No Name!") : name;
}

QString TSplashF::versionText()
{
    const QString version = QStringLiteral(ZELTRA_VERSION);
    return version.isEmpty() ? QStringLiteral("No Version!") : QStringLiteral("v") + version;
}

QWidget* TSplashF::buildFront()
{
    auto* page = new QWidget;
    ProductName = new QLabel(productText(), page);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel(versionText(), page);
    Version->setObjectName(QStringLiteral("Version"));
    const QString address = QLatin1String(zeltra::links::WebAddress);
    WebAddress = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()), page);
    WebAddress->setObjectName(QStringLiteral("WebAddress"));
    WebAddress->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    // The address goes to the opener as it is, never as a link the label opens by itself.
    connect(WebAddress, &QLabel::linkActivated, this, [this, address] {
        if (openAddress)
            openAddress(address);
    });

    Continue = new QPushButton(QStringLiteral("Continue"), page);
    Continue->setObjectName(QStringLiteral("Continue"));
    Continue->setDefault(true);
    connect(Continue, &QPushButton::clicked, this, &QDialog::accept);
    Credits = new QPushButton(QStringLiteral("Credits"), page);
    Credits->setObjectName(QStringLiteral("Credits"));
    Credits->setVisible(QFileInfo(creditsPath_).isFile());
    connect(Credits, &QPushButton::clicked, this, &TSplashF::CreditsClick);

    auto* keys = new QHBoxLayout;
    keys->addWidget(Credits);
    keys->addStretch();
    keys->addWidget(Continue);
    auto* layout = new QVBoxLayout(page);
    for (QLabel* l : {ProductName, Version, WebAddress}) {
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    layout->addStretch();
    layout->addLayout(keys);
    return page;
}

QWidget* TSplashF::buildCredits()
{
    auto* page = new QWidget;
    CreditsText = new QPlainTextEdit(page);
    CreditsText->setObjectName(QStringLiteral("CreditsText"));
    CreditsText->setReadOnly(true);
    Back = new QPushButton(QStringLiteral("Back"), page);
    Back->setObjectName(QStringLiteral("Back"));
    connect(Back, &QPushButton::clicked, this, &TSplashF::BackClick);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(CreditsText);
    layout->addWidget(Back, 0, Qt::AlignRight);
    return page;
}

void TSplashF::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (kind_ == Kind::Splash && pages_->currentIndex() == 0)
        Timer1->start();
}

void TSplashF::done(int result)
{
    Timer1->stop();
    QDialog::done(result);
}

void TSplashF::CreditsClick()
{
    Timer1->stop();
    CreditsText->setPlainText(zeltra::side::readCredits(creditsPath_));
    pages_->setCurrentIndex(1);
    Back->setFocus();
}

void TSplashF::BackClick()
{
    pages_->setCurrentIndex(0);
    Continue->setFocus();
}

// A start-up splash gets out of the way at the first click or key, unless the credits are
// being read.
bool TSplashF::closesOnAnyInput() const
{
    return kind_ == Kind::Splash && pages_->currentIndex() == 0;
}

void TSplashF::mousePressEvent(QMouseEvent* e)
{
    if (closesOnAnyInput()) {
        accept();
        return;
    }
    QDialog::mousePressEvent(e);
}

void TSplashF::keyPressEvent(QKeyEvent* e)
{
    if (closesOnAnyInput()) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
