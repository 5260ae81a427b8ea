#include "formats/TDefFormat.h"

#include "editing/FormatPresets.h"
#include "formats/TSetgainF.h"
#include "history/KindWindow.h"
#include "history/LayoutHistory.h"
#include "model/LayoutModel.h"
#include "model/LayoutSteps.h"
#include "model/Levels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QValidator>
#include <QVBoxLayout>

using namespace zeltra;
using namespace zeltra::formats;

// Takes printable ASCII, and the characters the stored name already held.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;
    QString stored;
    State validate(QString& input, int&) const override
    {
        return acceptableName(input, stored) ? Acceptable : Invalid;
    }
};

namespace {
const char* const InputNames[] = {"InLeft", "InRight", "InCentre", "inLFE",
                                  "InLeftSur", "InRightSur", "InLeftX", "InRightX"};
struct OutputBox {
    const char* name;
    const char* caption;
};
const OutputBox OutputBoxes[] = {
    {"OutLeft", "Left"}, {"OutRight", "Right"}, {"OutCentre", "Centre"}, {"OutLFE", "Sub"},
    {"OutLeftSur", "Left Sur"}, {"OutRightSur", "Right Sur"}, {"OutLeftrear", "Rear Left"},
    {"OutRightRear", "Rear Right"}, {"OutNearLeft", "TV Left"}, {"OutNearRight", "TV Right"},
    {"OutTop", "Top"}, {"OutMono", "Mono"}, {"OutLeftMix", "Left Sum"},
    {"OutRightMix", "Right Sum"}, {"OutInnerLeft", "Inner Left"}, {"OutInnerRight", "Inner Right"}};

void showIndex(QComboBox* box, int index)
{
    const QSignalBlocker block(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void showCheck(QCheckBox* box, bool on)
{
    const QSignalBlocker block(box);
    box->setChecked(on);
}
} // namespace

TDefFormat::TDefFormat(LayoutModel& model, LayoutHistory& history, QWidget* parent)
    : QDialog(parent), model_(model), history_(history)
{
    setObjectName(QStringLiteral("DefFormat"));
    setWindowTitle(QStringLiteral("Set format"));
    closeWhenKindLeaves(this, model_, KbdMonitor);
}

// The controls are made when the window is first shown or used.
void TDefFormat::build()
{
    if (OKBtn)
        return;
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildSource());
    left->addWidget(buildTrims());
    left->addStretch();
    columns->addLayout(left);
    columns->addWidget(buildInputs(), 0, Qt::AlignTop);
    columns->addWidget(buildOutputs(), 0, Qt::AlignTop);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TDefFormat::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildName());
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QComboBox* TDefFormat::addCombo(const char* name, const QStringList& items)
{
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QCheckBox* TDefFormat::addCheck(const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A change made by the user goes to the working state, and the window shows the result.
void TDefFormat::react(const std::function<void()>& change)
{
    change();
    showstate();
}

QWidget* TDefFormat::buildName()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    formatname = new QLineEdit(box);
    formatname->setObjectName(QStringLiteral("formatname"));
    formatname->setMaxLength(NameSize);
    formatname->setFixedWidth(formatname->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWWW")) + 12);
    validator_ = new NameValidator(formatname);
    formatname->setValidator(validator_);
    connect(formatname, &QLineEdit::textChanged, this, [this](const QString& t) { edit_.name = t; });
    QStringList presets;
    for (const Preset& p : Presets)
        presets << QString::fromLatin1(p.name);
    initialformat = addCombo("initialformat", presets);
    initialformat->setPlaceholderText(QStringLiteral("Select New Format"));
    initialformat->setMaxVisibleItems(PresetCount);
    // The user's choice, also of the preset already shown, resets the entry.
    connect(initialformat, &QComboBox::activated, this, [this](int i) {
        if (i < 0)
            return;
        react([this, i] { edit_.choosePreset(i); });
        formatname->setText(edit_.name);
    });
    row->addWidget(new QLabel(QStringLiteral("Name"), box));
    row->addWidget(formatname);
    row->addSpacing(16);
    row->addWidget(new QLabel(QStringLiteral("Preset"), box));
    row->addWidget(initialformat);
    row->addStretch();
    return box;
}

QWidget* TDefFormat::buildSource()
{
    auto* group = new QGroupBox(QStringLiteral("Source"), this);
    auto* form = new QFormLayout(group);
    inputchan = addCombo("inputchan", choices::inputs());
    iptype = addCombo("iptype", choices::inputTypes());
    stereoinput = addCombo("stereoinput", choices::stereoPairs());
    lcr = addCombo("lcr", choices::orders());
    Surround = addCombo("Surround", choices::surrounds());
    LFE = addCombo("LFE", choices::subSources());
    Gain = addCombo("Gain", choices::subGains());
    IMAX = addCheck("IMAX", QStringLiteral("IMAX"));
    TV = addCheck("TV", QStringLiteral("TV"));
    lere = addCheck("lere", QStringLiteral("L&&R Extra"));

    // The panel's place stays while it is hidden, so the window never jumps.
    auto* place = new QWidget(group);
    auto* placeLayout = new QVBoxLayout(place);
    placeLayout->setContentsMargins(0, 0, 0, 0);
    StereoPanel = new QWidget(place);
    StereoPanel->setObjectName(QStringLiteral("StereoPanel"));
    auto* panel = new QHBoxLayout(StereoPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(stereoinput);
    placeLayout->addWidget(StereoPanel);
    place->setFixedHeight(StereoPanel->sizeHint().height());
    stereoLabel_ = new QLabel(QStringLiteral("Stereo pair"), group);
    StereoPanel->hide();

    form->addRow(QStringLiteral("Input"), inputchan);
    form->addRow(QStringLiteral("Input type"), iptype);
    form->addRow(stereoLabel_, place);
    form->addRow(QStringLiteral("Order"), lcr);
    form->addRow(QStringLiteral("Surround"), Surround);
    form->addRow(QStringLiteral("Sub source"), LFE);
    form->addRow(QStringLiteral("Sub gain"), Gain);
    auto* checks = new QHBoxLayout;
    for (QCheckBox* c : {IMAX, TV, lere})
        checks->addWidget(c);
    form->addRow(checks);

    auto onIndex = [this](QComboBox* box, void (FormatEdit::*choose)(int)) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, choose](int i) {
            if (i >= 0)
                react([this, choose, i] { (edit_.*choose)(i); });
        });
    };
    onIndex(inputchan, &FormatEdit::chooseInput);
    onIndex(iptype, &FormatEdit::chooseInputType);
    onIndex(stereoinput, &FormatEdit::chooseStereoPair);
    onIndex(lcr, &FormatEdit::chooseOrder);
    onIndex(Surround, &FormatEdit::chooseSurround);
    onIndex(LFE, &FormatEdit::chooseSource);
    onIndex(Gain, &FormatEdit::chooseGain);
    connect(IMAX, &QCheckBox::toggled, this, [this](bool on) { react([this, on] { edit_.setImax(on); }); });
    connect(TV, &QCheckBox::toggled, this, [this](bool on) { react([this, on] { edit_.setTv(on); }); });
    connect(lere, &QCheckBox::toggled, this, [this](bool on) { react([this, on] { edit_.setLrExtra(on); }); });
    return group;
}

QWidget* TDefFormat::buildInputs()
{
    auto* group = new QGroupBox(QStringLiteral("Inputs"), this);
    auto* column = new QVBoxLayout(group);
    const QString widest = QStringLiteral("8: Right Extra");
    for (int i = 0; i < InputCount; ++i) {
        QCheckBox* box = addCheck(InputNames[i], QString());
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(widest) + 32);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { edit_.setInput(i, on); });
        column->addWidget(box);
        Inputs[std::size_t(i)] = box;
    }
    return group;
}

QWidget* TDefFormat::buildOutputs()
{
    auto* group = new QGroupBox(QStringLiteral("Outputs"), this);
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < 16; ++i) {
        QCheckBox* box = addCheck(OutputBoxes[i].name, QString::fromLatin1(OutputBoxes[i].caption));
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { edit_.setOutput(i, on); });
        grid->addWidget(box, i % 8, i / 8);
        Outputs[std::size_t(i)] = box;
    }
    return group;
}

QWidget* TDefFormat::buildTrims()
{
    auto* group = new QGroupBox(QStringLiteral("Trims"), this);
    auto* form = new QFormLayout(group);
    auto button = [this, form](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("-15.0dB ")) + 24);
        form->addRow(caption, b);
        return b;
    };
    Formattrim = button("Formattrim", QStringLiteral("Input Trim"));
    Stereotrim = button("Stereotrim", QStringLiteral("Stereo Trim"));
    Monotrim = button("Monotrim", QStringLiteral("Mono Trim"));
    connect(Formattrim, &QPushButton::clicked, this, &TDefFormat::FormattrimClick);
    connect(Stereotrim, &QPushButton::clicked, this, &TDefFormat::StereotrimClick);
    connect(Monotrim, &QPushButton::clicked, this, &TDefFormat::MonotrimClick);
    return group;
}

int TDefFormat::edit(int n)
{
    build();
    edit_.open(model_.MonImage, n);
    setWindowTitle(edit_.caption());
    validator_->stored = edit_.name;
    formatname->setText(edit_.name);
    showIndex(initialformat, -1);
    showstate();
    return exec();
}

void TDefFormat::showstate()
{
    const FormatFields& f = edit_.fields();
    showIndex(inputchan, f.input);
    showIndex(iptype, f.inputType);
    showIndex(stereoinput, f.stereoPair);
    showIndex(lcr, f.order);
    showIndex(Surround, f.surround < SurroundChoices ? f.surround : -1);
    showIndex(LFE, f.source);
    showIndex(Gain, f.gain);
    showCheck(IMAX, f.imax);
    showCheck(TV, edit_.tv());
    showCheck(lere, f.lrExtra);
    settrimcaption();
    enabinout();
    setiocaption();
}

void TDefFormat::enabinout()
{
    const FormatFields& f = edit_.fields();
    for (int i = 0; i < 8; ++i) {
        showCheck(Inputs[std::size_t(i)], (f.inputMask >> i) & 1);
        showCheck(Outputs[std::size_t(i)], (f.outputMask1 >> i) & 1);
        showCheck(Outputs[std::size_t(i + 8)], (f.outputMask2 >> i) & 1);
    }
}

void TDefFormat::setiocaption()
{
    StereoPanel->setVisible(edit_.stereoPanelVisible());
    stereoLabel_->setVisible(edit_.stereoPanelVisible());
    const InputCaptions captions = edit_.captions();
    for (int i = 0; i < InputCount; ++i)
        Inputs[std::size_t(i)]->setText(captions[std::size_t(i)]);
}

void TDefFormat::settrimcaption()
{
    Formattrim->setText(levelText(edit_.inputTrim, inputTrimUse().zero));
    Stereotrim->setText(levelText(edit_.stereoTrim, stereoTrimUse().zero));
    Monotrim->setText(edit_.monoTrim ? levelText(*edit_.monoTrim, monoTrimUse().zero)
                                     : QStringLiteral("Mono Trim"));
}

void TDefFormat::FormattrimClick()
{
    if (gain_)
        react([this] { edit_.inputTrim = gain_->run(inputTrimUse(), edit_.inputTrim); });
}

void TDefFormat::StereotrimClick()
{
    if (gain_)
        react([this] { edit_.stereoTrim = gain_->run(stereoTrimUse(), edit_.stereoTrim); });
}

// The mono trim starts from the stereo trim; the record has no place for it.
void TDefFormat::MonotrimClick()
{
    if (gain_)
        react([this] { edit_.monoTrim = gain_->run(monoTrimUse(), edit_.stereoTrim); });
}

// "Set format 3: OK" on the layout history; the keys that show the record follow the model.
void TDefFormat::OKBtnClick()
{
    history_.editMonitor(zeltra::steps::windowCommand(edit_.caption(), QStringLiteral("OK")),
                         [this](MonitorImage& image) { edit_.store(image); });
    accept();
}

void TDefFormat::setVisible(bool visible)
{
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}
