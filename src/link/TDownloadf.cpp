#include "link/TDownloadf.h"

#include "history/LayoutHistory.h"
#include "kit/Prompts.h"
#include "kit/QtColours.h"
#include "kit/TQvSettingsFile.h"
#include "link/BlockTables.h"
#include "link/LinkTexts.h"
#include "link/PortDiagnosis.h"
#include "link/PortChannels.h"
#include "link/TComNumberF.h"
#include "model/LayoutModel.h"
#include "model/LayoutSteps.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using zeltra::link::LabelState;
using zeltra::link::LinkEngine;
using zeltra::link::TransferDriver;

namespace {

constexpr int BorderWidth = 5;
constexpr int MessageFontPixels = 16;
const char* const TagProperty = "Tag";
const QString FastTransferKey = QStringLiteral("LinkFastTransfer");
const QString NetworkPortKey = QStringLiteral("LinkNetworkPort");

// A label's background; no colour is the system's button face.
void showLabel(QLabel* label, const LabelState& state)
{
    label->setText(state.text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, state.colour
                                           ? toQColor(*state.colour)
                                           : QApplication::palette().color(QPalette::Button));
    label->setPalette(palette);
}

QPushButton* tagButton(const QString& caption, const QString& name, int tag, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setProperty(TagProperty, tag);
    return button;
}

QLabel* namedLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

TDownloadf::TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
                       QWidget* parent)
    : TDownloadf(model, picker, prompts, std::make_unique<zeltra::link::PortChannel>(), parent)
{
}

TDownloadf::TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
                       std::unique_ptr<zeltra::link::SerialChannel> channel, QWidget* parent)
    : QDialog(parent), model_(model), picker_(picker), prompts_(prompts),
      work_(model.data()), Serial(std::move(channel)),
      engine_(std::make_unique<LinkEngine>(work_, *Serial))
{
    setObjectName(QStringLiteral("Downloadf"));
    setWindowTitle(QStringLiteral("Connect"));
    driver_ = new TransferDriver(*engine_, this);
    engine_->setComboIndex(block_);
    connect(engine_.get(), &LinkEngine::displayChanged, this, &TDownloadf::showDisplay);
    connect(engine_.get(), &LinkEngine::portLost, this, [this] {
        showPortChecked(false); // shown as after a failed selection
        emit portClosed(engine_->display().portCaption);
    });
    connect(engine_.get(), &LinkEngine::portOpened, this, [this](bool opened) {
        reportPort(opened);
        showPortChecked(opened);
    });
    connect(driver_, &TransferDriver::progress, this, &TDownloadf::showProgress);
    connect(driver_, &TransferDriver::progress, this, &TDownloadf::transferProgress);
    connect(driver_, &TransferDriver::finished, this, [this] {
        if (engine_->transferBase() == zeltra::link::UploadBase)
            takeUpload();
        emit transferEnded();
    });
}

// The engine goes before the channel it holds on to.
TDownloadf::~TDownloadf()
{
    engine_.reset();
}

// The controls are made when the window is first shown or its trace asked for; until then
// the window keeps what they are to show.
void TDownloadf::build()
{
    if (MainMenu1)
        return;
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Port1 = MainMenu1->addAction(QStringLiteral("Port"));
    Port1->setObjectName(QStringLiteral("Port1"));
    Port1->setCheckable(true);
    connect(Port1, &QAction::triggered, this, &TDownloadf::Port1Click);
    Check1 = MainMenu1->addAction(QStringLiteral("Check"));
    Check1->setObjectName(QStringLiteral("Check1"));
    connect(Check1, &QAction::triggered, this, &TDownloadf::Check1Click);

    umessage = namedLabel(QStringLiteral("umessage"), this);
    QFont font = umessage->font();
    font.setPixelSize(MessageFontPixels);
    umessage->setFont(font);
    Label1 = namedLabel(QStringLiteral("Label1"), this);
    Label2 = namedLabel(QStringLiteral("Label2"), this);

    Keyboad = new QGroupBox(this);
    Keyboad->setObjectName(QStringLiteral("Keyboad"));
    ComboBox1 = new QComboBox(Keyboad);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(zeltra::link::initialBlockList());
    ComboBox1->setCurrentIndex(block_);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        block_ = index;
        engine_->setComboIndex(index);
    });
    Setkey = tagButton(QStringLiteral("Download (Set)"), QStringLiteral("Setkey"), 0, Keyboad);
    Loadkey = tagButton(QStringLiteral("Upload"), QStringLiteral("Loadkey"), 10, Keyboad);
    verifykey = tagButton(QStringLiteral("Verify"), QStringLiteral("verifykey"), 20, Keyboad);
    for (auto* button : {Setkey, Loadkey, verifykey})
        connect(button, &QPushButton::clicked, this, &TDownloadf::LoadkeyClick);
    auto* group = new QHBoxLayout(Keyboad);
    group->addWidget(ComboBox1);
    group->addWidget(Setkey);
    group->addWidget(Loadkey);
    group->addWidget(verifykey);

    FastTransfer = new QCheckBox(QStringLiteral("Fast transfer"), this);
    FastTransfer->setObjectName(QStringLiteral("FastTransfer"));
    FastTransfer->setToolTip(
        QStringLiteral("Send each frame as soon as the keyboard has answered the last one"));
    FastTransfer->setChecked(driver_->fast());
    connect(FastTransfer, &QCheckBox::toggled, this, &TDownloadf::setFastTransfer);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QString());

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVisible(traceShown_);
    connect(engine_.get(), &LinkEngine::traceAppended, Memo1, &QPlainTextEdit::appendPlainText);
    connect(engine_.get(), &LinkEngine::traceCleared, Memo1, &QPlainTextEdit::clear);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->setContentsMargins(BorderWidth, BorderWidth, BorderWidth, BorderWidth);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(umessage);
    auto* labels = new QHBoxLayout;
    labels->addWidget(Label2);
    labels->addWidget(Label1);
    layout->addLayout(labels);
    layout->addWidget(Keyboad);
    layout->addWidget(FastTransfer);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Memo1);
    Port1->setChecked(portChecked_);
    showDisplay();
}

void TDownloadf::setVisible(bool visible)
{
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}

void TDownloadf::showPortChecked(bool on)
{
    portChecked_ = on;
    if (Port1)
        Port1->setChecked(on);
}

void TDownloadf::showDisplay()
{
    if (!MainMenu1)
        return;
    const auto& d = engine_->display();
    showLabel(umessage, d.umessage);
    showLabel(Label1, d.Label1);
    showLabel(Label2, d.Label2);
    Port1->setText(d.portCaption.isEmpty() ? QStringLiteral("Port") : d.portCaption);
}

void TDownloadf::attachSettings(TQvSettingsFile* settings)
{
    settings_ = nullptr; // reading the option back is no change to store
    const auto stored = settings ? settings->option(FastTransferKey) : std::nullopt;
    setFastTransfer(stored && stored->trimmed() == QLatin1String("1"));
    networkPort_ = settings ? settings->option(NetworkPortKey).value_or(QString()).trimmed() : QString();
    settings_ = settings;
}

void TDownloadf::setFastTransfer(bool on)
{
    driver_->setFast(on);
    if (FastTransfer && FastTransfer->isChecked() != on)
        FastTransfer->setChecked(on);
    if (settings_)
        settings_->setOption(FastTransferKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TDownloadf::fastTransfer() const
{
    return driver_->fast();
}

QString TDownloadf::progressText(int done, int total, qint64 msLeft)
{
    QString text = QStringLiteral("%1 of %2 frames").arg(done).arg(total);
    if (msLeft >= 0 && done < total)
        text += QStringLiteral(", %1 s left").arg((msLeft + 999) / 1000);
    return text;
}

void TDownloadf::showProgress(int done, int total, qint64 msLeft)
{
    if (!ProgressBar1)
        return;
    ProgressBar1->setRange(0, total > 0 ? total : 1);
    ProgressBar1->setValue(done);
    ProgressBar1->setFormat(progressText(done, total, msLeft));
}

void TDownloadf::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TDownloadf::FormShow()
{
    const auto items = zeltra::link::blockListItems(model_.KbdType());
    if (!items)
        return;
    const int index = block_;
    ComboBox1->clear();
    ComboBox1->addItems(*items);
    ComboBox1->setCurrentIndex(index < ComboBox1->count() ? index : -1);
}

void TDownloadf::reportPort(bool opened)
{
    if (opened)
        return;
    const auto address = engine_->portAddress();
    const QString why =
        !addressError_.isEmpty() ? QStringLiteral("\"%1\": %2").arg(networkPort_, addressError_)
        : address.isNetwork()    ? QStringLiteral("%1: %2").arg(address.text(), Serial->errorString())
                                 : zeltra::link::portFailureText(model_.Settings.comPort(),
                                                                 Serial->errorString());
    prompts_.showMessage(zeltra::link::texts::comPortInvalid() + QLatin1Char('\n') + why,
                         QApplication::applicationDisplayName());
}

// A network port when one is chosen, else the settings record's COM number. An address that
// names no port is refused with its reason, never taken for something else.
void TDownloadf::openPort()
{
    const auto parsed = zeltra::link::parseNetworkAddress(networkPort_);
    addressError_ = networkPort_.isEmpty() ? QString()
                    : parsed.address       ? QString()
                    : parsed.error.isEmpty() ? QStringLiteral("a network port is rfc2217://HOST:PORT or tcp://HOST:PORT")
                                             : parsed.error;
    engine_->setPortAddress(parsed.address);
    if (!addressError_.isEmpty()) {
        engine_->refusePort();
        engine_->setPortCaption(zeltra::link::texts::portUnknown());
        reportPort(false);
        return;
    }
    reportPort(engine_->tryport());
}

void TDownloadf::Setupcom()
{
    work_.Settings.setComPort(model_.Settings.comPort());
    picker_.setTag(model_.Settings.comPort());
    picker_.setNetworkAddress(networkPort_);
    const auto parsed = zeltra::link::parseNetworkAddress(networkPort_);
    engine_->setPortCaption(parsed.address ? parsed.address->text()
                                           : zeltra::link::texts::portNumbered(model_.Settings.comPort()));
    openPort();
}

void TDownloadf::Port1Click()
{
    engine_->clearPortReady();
    picker_.setTag(model_.Settings.comPort());
    picker_.setNetworkAddress(networkPort_);
    picker_.exec(); // whatever closed it, the last number typed or picked counts
    model_.Settings.setComPort(picker_.Tag());
    work_.Settings.setComPort(picker_.Tag());
    networkPort_ = picker_.networkAddress();
    if (settings_)
        settings_->setOption(NetworkPortKey, networkPort_);
    engine_->setPortCaption(picker_.comboText());
    if (saveconfig)
        saveconfig();
    openPort();
    showPortChecked(Serial->active());
}

void TDownloadf::LoadkeyClick()
{
    const int tag = sender() ? sender()->property(TagProperty).toInt() : 0;
    if (!driver_->running()) {
        engine_->setComboIndex(block_);
        work_ = model_.data();
        started_ = work_;
        startedOn_ = history_ ? history_->generation() : 0;
    }
    driver_->start(zeltra::link::Direction(tag), block_);
}

// The bytes the keyboard gave that differ from the layout as the upload found it, one step.
// Bytes the user changed meanwhile elsewhere stay his. Another layout opened meanwhile gets
// nothing (opening one is refused while a transfer runs).
void TDownloadf::takeUpload()
{
    const std::int32_t kind = work_.KbdType();
    const std::span<const std::uint8_t> got = work_.image(kind);
    const std::span<const std::uint8_t> before = started_.image(kind);
    auto take = [&](std::span<std::uint8_t> image) {
        for (std::size_t i = 0; i < image.size() && i < got.size(); ++i)
            if (got[i] != before[i])
                image[i] = got[i];
    };
    if (!history_) {
        zeltra::LayoutData now = model_.data();
        take(now.image(kind));
        model_.writeImage(kind, 0, now.image(kind));
        return;
    }
    if (history_->generation() != startedOn_) {
        prompts_.showMessage(QStringLiteral("The bytes the keyboard sent were not taken: another "
                                            "layout was opened while they were read."),
                             windowTitle());
        return;
    }
    history_->edit(zeltra::steps::windowCommand(windowTitle(), QStringLiteral("Upload")), kind, take);
}

void TDownloadf::Check1Click()
{
    setTraceVisible(!traceShown_);
}

void TDownloadf::sendkey(std::uint8_t code)
{
    engine_->sendkey(code);
}

void TDownloadf::sendjog(int speed)
{
    engine_->sendjog(speed);
}

// A trace asked for makes the window's controls, so no line of it is lost.
void TDownloadf::setTraceVisible(bool visible)
{
    traceShown_ = visible;
    if (visible)
        build();
    if (Memo1)
        Memo1->setVisible(visible);
    engine_->setTraceVisible(visible);
}

bool TDownloadf::traceVisible() const
{
    return traceShown_;
}

void TDownloadf::selectBlock(int index)
{
    block_ = index;
    engine_->setComboIndex(index);
    if (ComboBox1)
        ComboBox1->setCurrentIndex(index);
}

QString TDownloadf::portCaption() const
{
    return engine_->display().portCaption;
}
